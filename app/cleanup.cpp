#include "cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>

namespace {

const int kPlaces = 8;
// Signals that end a process and can be held off: one comes at any moment from outside.
const int kSignals[] = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1,
                        SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF, SIGABRT, SIGPOLL};
// Faults of the program itself; the sanitizer's build reports them with its own handler.
#if defined(__SANITIZE_ADDRESS__)
const int kFaults[] = {SIGSYS};
#else
const int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGSYS, SIGTRAP};
#endif

// Written only with the signals held off; read by the handler.
char gPaths[kPlaces][PATH_MAX];
volatile sig_atomic_t gUsed[kPlaces];
volatile sig_atomic_t gFolder[kPlaces];
volatile pid_t gWorkers[kMaxWorkers];
volatile sig_atomic_t gDefer = 0;   // Ctrl-C and SIGTERM wait for EndByInterrupt
volatile sig_atomic_t gPending = 0; // the signal waiting, once deferred

// What the workers are told: the user's own signals as they came, anything else a SIGTERM
// (a broken pipe or a fault of this process is none of theirs).
int ForWorkers(int sig) {
  return sig == SIGINT || sig == SIGTERM || sig == SIGHUP || sig == SIGQUIT ? sig : SIGTERM;
}

void PassOn(int sig) {
  for (int i = 0; i < kMaxWorkers; ++i)
    if (gWorkers[i] > 0) kill(gWorkers[i], ForWorkers(sig));
}

[[noreturn]] void End(int sig) {
  // The workers remove their own files; the run is over when they are gone.
  for (int i = 0; i < kMaxWorkers; ++i)
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
  // Ends the process by the signal, as if no handler had been there.
  struct sigaction dfl;
  memset(&dfl, 0, sizeof dfl);
  dfl.sa_handler = SIG_DFL;
  sigaction(sig, &dfl, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);
  _exit(128 + sig); // a signal whose default is not to end the process
}

void OnSignal(int sig) {
  int saved = errno;
  PassOn(sig);
  if (gDefer && !gPending && (sig == SIGINT || sig == SIGTERM)) {
    gPending = sig;
    errno = saved;
    return;
  }
  End(sig);
}

// Holds the signals that come from outside off for the life of the object.
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

void Install(int s) {
  struct sigaction sa, old;
  memset(&sa, 0, sizeof sa);
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_NODEFER;
  // a signal the caller ignores (nohup) stays ignored
  if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) return;
  sigaction(s, &sa, nullptr);
}

// The process id in "PREFIX.PID.XXXXXX", or 0.
pid_t PidIn(const char* name, const std::string& prefix) {
  if (strncmp(name, prefix.c_str(), prefix.size()) != 0 || name[prefix.size()] != '.') return 0;
  const char* digits = name + prefix.size() + 1;
  char* end = nullptr;
  long pid = strtol(digits, &end, 10);
  return end != digits && *end == '.' && pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

} // namespace

void RemoveOnInterrupt() {
  for (int s : kSignals)
    Install(s);
  for (int s : kFaults)
    Install(s);
  // Past the file-size limit a write fails with EFBIG and the command names the file.
  signal(SIGXFSZ, SIG_IGN);
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

int RenameNoted(const std::string& from, const std::string& to, int handle, bool noReplace) {
  HoldSignals hold;
  int result = noReplace ? renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE)
                         : rename(from.c_str(), to.c_str());
  int saved = errno;
  if (result == 0 && handle >= 0 && handle < kPlaces) gUsed[handle] = 0;
  errno = saved;
  return result;
}

std::string StrayPrefix(const std::string& prefix) {
  return prefix + "." + std::to_string(getpid()) + ".";
}

void RemoveDeadStrays(const std::string& folder, const std::string& prefix) {
  static std::set<std::string> swept; // a worker inherits what its parent swept
  if (!swept.insert(prefix + "\n" + folder).second) return;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  int fd = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    pid_t pid = PidIn(e->d_name, prefix);
    struct stat st;
    // Ours only (this user's, by a process that is gone), and never through a link.
    if (pid == 0 || pid == getpid() || fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        st.st_uid != geteuid() || kill(pid, 0) == 0 || errno != ESRCH)
      continue;
    if (S_ISREG(st.st_mode)) unlinkat(fd, e->d_name, 0);
    if (!S_ISDIR(st.st_mode)) continue;
    // A folder of ours holds files only (the options file).
    int inner = openat(fd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (DIR* sub = inner >= 0 ? fdopendir(inner) : nullptr) {
      while (dirent* f = readdir(sub))
        if (f->d_type != DT_DIR) unlinkat(inner, f->d_name, 0);
      closedir(sub);
    } else if (inner >= 0) {
      close(inner);
    }
    unlinkat(fd, e->d_name, AT_REMOVEDIR);
  }
  closedir(dir);
}

pid_t ForkWorker() {
  HoldSignals hold;
  int slot = 0;
  while (slot < kMaxWorkers && gWorkers[slot] > 0)
    ++slot;
  if (slot == kMaxWorkers || gPending) {
    errno = gPending ? EINTR : EAGAIN;
    return -1;
  }
  pid_t pid = fork();
  if (pid == 0) {
    for (int i = 0; i < kMaxWorkers; ++i)
      gWorkers[i] = 0;
    for (int i = 0; i < kPlaces; ++i)
      gUsed[i] = 0;
    gDefer = 0;
  } else if (pid > 0) {
    gWorkers[slot] = pid;
  }
  return pid;
}

void ForgetWorker(pid_t pid) {
  HoldSignals hold;
  for (int i = 0; i < kMaxWorkers; ++i)
    if (gWorkers[i] == pid) gWorkers[i] = 0;
}

void DeferInterrupts() {
  gDefer = 1;
}

int PendingInterrupt() {
  return gPending;
}

void EndByInterrupt() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : kSignals)
    sigaddset(&set, s);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  End(gPending ? static_cast<int>(gPending) : SIGINT);
}
