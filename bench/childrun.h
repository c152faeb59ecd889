// The command run as a child process on a list of words (no shell between), its output thrown
// away (its messages not), and what the system counted of it: wall and processor time, peak
// memory. And the tasks the plug-in's window lists, to run each.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "pluginhost.h"

struct ChildRun {
  bool ok = false;   // ended with status 0
  double wall = 0;   // seconds from start to end
  double cpu = 0;    // processor time, user and system, of it and its workers, in seconds
  double peakMb = 0; // the most memory it held at once (resident), in MB
};

inline ChildRun RunChild(const std::vector<std::string>& words) {
  fflush(stdout);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& w : words)
      argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ChildRun r;
  int status = 0;
  struct rusage usage = {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return r;
  r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  r.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peakMb = usage.ru_maxrss / 1024.0; // kilobytes on Linux
  return r;
}

// Writes the text to a file; false when it cannot.
inline bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  bool ok = f && fwrite(text.data(), 1, text.size(), f) == text.size();
  return f && fclose(f) == 0 && ok;
}

// The tasks the window of the plug-in at path lists, by name; empty (with the reason said)
// when it does not load.
inline std::vector<std::string> TaskNames(const char* path) {
  PluginEntries plugin;
  std::string error;
  std::vector<std::string> names;
  if (!LoadPlugin(path, &plugin, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return names;
  }
  for (const TaskInfo& t : TaskCatalogue(plugin))
    names.push_back(t.name);
  return names;
}
