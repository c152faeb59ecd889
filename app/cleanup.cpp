#include "cleanup.h"

#include <limits.h>
#include <signal.h>
#include <sys/wait.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

const int kPlaces = 8;
const int kWorkers = 256;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Written only with the signals held off; read by the handler.
char gPaths[kPlaces][PATH_MAX];
volatile sig_atomic_t gUsed[kPlaces];
volatile sig_atomic_t gFolder[kPlaces];
volatile pid_t gWorkers[kWorkers];

void OnSignal(int sig) {
  int saved = errno;
  for (int i = 0; i < kWorkers; ++i)
    if (gWorkers[i] > 0) kill(gWorkers[i], sig);
  // The workers remove their own files; the run is over when they are gone.
  for (int i = 0; i < kWorkers; ++i)
    if (gWorkers[i] > 0) waitpid(gWorkers[i], nullptr, 0);
  // Files first, then the folders that held them: a folder goes only once it is empty.
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < kPlaces; ++i)
      if (gUsed[i] && (gFolder[i] != 0) == (pass == 1)) {
        if (pass == 0)
          unlink(gPaths[i]);
        else
          rmdir(gPaths[i]);
      }
  errno = saved;
  // The handler was reset to the default on entry and the signal is not held: this ends the
  // process by the signal, as if no handler had been there.
  raise(sig);
}

// Holds the three signals off for the life of the object.
class HoldSignals {
public:
  HoldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals)
      sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &_old);
  }
  ~HoldSignals() { sigprocmask(SIG_SETMASK, &_old, nullptr); }

private:
  sigset_t _old;
};

int NoteHeld(const char* path, bool folder) {
  if (strlen(path) >= PATH_MAX) return -1;
  for (int i = 0; i < kPlaces; ++i) {
    if (gUsed[i]) continue;
    strcpy(gPaths[i], path);
    gFolder[i] = folder;
    gUsed[i] = 1;
    return i;
  }
  return -1;
}

} // namespace

void RemoveOnInterrupt() {
  struct sigaction sa;
  memset(&sa, 0, sizeof sa);
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESETHAND | SA_NODEFER;
  for (int s : kSignals) {
    struct sigaction old;
    // a signal the caller ignores (nohup) stays ignored
    if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    sigaction(s, &sa, nullptr);
  }
}

int Remember(const std::string& path, bool folder) {
  HoldSignals hold;
  return NoteHeld(path.c_str(), folder);
}

void Forget(int handle) {
  if (handle < 0 || handle >= kPlaces) return;
  HoldSignals hold;
  gUsed[handle] = 0;
}

int MakeNotedTemporary(std::string* templatePath, int* handle) {
  HoldSignals hold;
  std::string t = *templatePath;
  int fd = mkstemp(&t[0]);
  if (fd < 0) return -1;
  *templatePath = t;
  *handle = NoteHeld(t.c_str(), false);
  return fd;
}

int RenameNoted(const std::string& from, const std::string& to, int handle) {
  HoldSignals hold;
  int result = rename(from.c_str(), to.c_str());
  int saved = errno;
  if (result == 0 && handle >= 0 && handle < kPlaces) gUsed[handle] = 0;
  errno = saved;
  return result;
}

pid_t ForkWorker() {
  HoldSignals hold;
  pid_t pid = fork();
  if (pid == 0) {
    for (int i = 0; i < kWorkers; ++i)
      gWorkers[i] = 0;
    for (int i = 0; i < kPlaces; ++i)
      gUsed[i] = 0;
  } else if (pid > 0) {
    for (int i = 0; i < kWorkers; ++i)
      if (gWorkers[i] <= 0) {
        gWorkers[i] = pid;
        break;
      }
  }
  return pid;
}

void ForgetWorker(pid_t pid) {
  HoldSignals hold;
  for (int i = 0; i < kWorkers; ++i)
    if (gWorkers[i] == pid) gWorkers[i] = 0;
}
