// The headless host started in the background on a list of words (no shell between), its
// output into a file, its temporary folder where the test says; and waiting on a folder for a
// file of the command's to appear, to act while it runs.
#pragma once
#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace commandrun {

// Starts host module words...; both output streams to log ("/dev/null": none), TMPDIR tmp
// (empty: as it is), standard input from input (empty: as it is).
inline pid_t Start(const std::string& host, const std::string& module,
                   const std::vector<std::string>& words, const std::string& tmp,
                   const std::string& log = "/dev/null", const std::string& input = "") {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<std::string> all = {host, module};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& w : all)
      argv.push_back(&w[0]);
    argv.push_back(nullptr);
    if (!tmp.empty()) setenv("TMPDIR", tmp.c_str(), 1);
    if (!freopen(log.c_str(), "w", stdout) || dup2(fileno(stdout), STDERR_FILENO) < 0) _exit(126);
    if (!input.empty() && !freopen(input.c_str(), "r", stdin)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// The wait status of the process.
inline int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// The first name in the folder that starts with start, or empty.
inline std::string Find(const std::string& folder, const std::string& start) {
  std::string found;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir))
      if (found.empty() && strncmp(e->d_name, start.c_str(), start.size()) == 0) found = e->d_name;
    closedir(dir);
  }
  return found;
}

// Waits until a name starting so is in the folder, or the process has ended, or a minute
// has passed; answers the name (empty if none came).
inline std::string WaitFor(const std::string& folder, const std::string& start, pid_t pid) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < until) {
    std::string name = Find(folder, start);
    if (!name.empty()) return name;
    siginfo_t info;
    memset(&info, 0, sizeof info);
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0)
      break; // ended (and left to Wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return Find(folder, start);
}

} // namespace commandrun
