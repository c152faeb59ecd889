// The command run as a child process on a list of words (no shell between), its output thrown
// away, and what the system counted of it: processor time and peak memory.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

struct ChildRun {
  bool ok = false;   // ended with status 0
  double cpu = 0;    // processor time, user and system, in seconds
  double peakMb = 0; // the most memory it held at once (resident), in MB
};

inline ChildRun RunChild(const std::vector<std::string>& words) {
  fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& w : words)
      argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ChildRun r;
  int status = 0;
  struct rusage usage = {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return r;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  r.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peakMb = usage.ru_maxrss / 1024.0; // kilobytes on Linux
  return r;
}
