// Many score files in one command: folders stand for their score files, each file is one job
// in a worker process of its own (the host simulator and the plug-in's module state are one
// per process, so workers never share them), as many at once as asked. A progress bar on a
// terminal, a plain line per file otherwise, and one table at the end.
#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cleanup.h"
#include "printable.h"
#include "manyfiles.h"
#include "scorecommand.h"
#include "taskname.h"

namespace {

bool IsScoreName(const std::string& name) {
  std::string lower;
  for (char c : name)
    lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  auto ends = [&lower](const char* e) {
    size_t n = strlen(e);
    return lower.size() > n && lower.compare(lower.size() - n, n, e) == 0;
  };
  return name[0] != '.' && (ends(".musicxml") || ends(".xml") || ends(".mxl"));
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names of the results the command writes beside a folder's files the command wrote there from
// another of its scores
// ("song-drop-2nd.musicxml" beside "song.musicxml", for any task): not a score to change again.
std::set<std::string> EarlierOutputs(const std::set<std::string>& names,
                                     const std::vector<std::string>& tasks) {
  std::set<std::string> outputs;
  for (const std::string& name : names)
    for (const std::string& task : tasks)
      outputs.insert(OutputBeside(name, task));
  return outputs;
}

// Every score named: a folder's score files in name order, each file once; of a folder's
// files, the command's own earlier results are left out (and counted in *skipped).
std::vector<std::string> ScoreFiles(const std::vector<std::string>& inputs,
                                    const std::vector<std::string>& tasks,
                                    std::vector<std::string>* emptyFolders,
                                    std::vector<std::string>* skipped) {
  std::vector<std::string> files;
  std::set<std::pair<dev_t, ino_t>> seen;
  auto add = [&](const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) return;
    files.push_back(path);
  };
  for (const std::string& input : inputs) {
    struct stat st;
    DIR* dir =
        stat(input.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? opendir(input.c_str()) : nullptr;
    if (!dir) {
      add(input);
      continue;
    }
    std::string folder = input.back() == '/' ? input : input + "/";
    std::set<std::string> names;
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      struct stat fs;
      if (IsScoreName(name) && stat((folder + name).c_str(), &fs) == 0 && S_ISREG(fs.st_mode))
        names.insert(name);
    }
    closedir(dir);
    std::set<std::string> outputs = EarlierOutputs(names, tasks);
    size_t taken = 0;
    for (const std::string& n : names)
      if (outputs.count(n)) {
        skipped->push_back(folder + n);
      } else {
        add(folder + n);
        ++taken;
      }
    if (!taken) emptyFolders->push_back(input);
  }
  return files;
}

// ---- what a worker sends back: its outcome's fields, each as its length and its bytes ------

void Put(std::string* s, const std::string& field) {
  *s += std::to_string(field.size()) + "\n" + field;
}

bool Take(const std::string& s, size_t* at, std::string* field) {
  size_t nl = s.find('\n', *at);
  if (nl == std::string::npos) return false;
  size_t n = strtoul(s.c_str() + *at, nullptr, 10);
  if (nl + 1 + n > s.size()) return false;
  *field = s.substr(nl + 1, n);
  *at = nl + 1 + n;
  return true;
}

std::string Encode(const FileOutcome& o) {
  std::string s;
  for (const std::string& f :
       {std::to_string(o.status), o.error, o.written, o.leftAlone, o.changes, o.summary,
        std::to_string(o.changed), std::to_string(o.leftAloneCount), o.notice, o.skipped})
    Put(&s, f);
  return s;
}

bool Decode(const std::string& s, FileOutcome* o) {
  std::string f[10];
  size_t at = 0;
  for (std::string& field : f)
    if (!Take(s, &at, &field)) return false;
  o->status = atoi(f[0].c_str());
  o->error = f[1];
  o->written = f[2];
  o->leftAlone = f[3];
  o->changes = f[4];
  o->summary = f[5];
  o->changed = strtoul(f[6].c_str(), nullptr, 10);
  o->leftAloneCount = strtoul(f[7].c_str(), nullptr, 10);
  o->notice = f[8];
  o->skipped = f[9];
  return true;
}

bool WriteAll(int fd, const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    ssize_t n = write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Runs f in a worker whose answer comes back through a pipe; -1 when no worker can start.
template <typename F> pid_t StartWorker(F f, int* readEnd) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  fflush(stdout);
  fflush(stderr);
  pid_t pid = ForkWorker();
  if (pid == 0) {
    close(fds[0]);
    _exit(WriteAll(fds[1], f()) ? 0 : 1);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return -1;
  }
  *readEnd = fds[0];
  return pid;
}

// The task named, checked once for all files, and the names of all tasks (in a worker: the
// plug-in's window is opened there, not in this process, whose state the file workers inherit).
bool CheckTask(const std::string& task, const PluginEntries& plugin,
               std::vector<std::string>* tasks, std::string* error) {
  int fd = -1;
  pid_t pid = StartWorker(
      [&] {
        std::vector<std::string> names;
        for (const TaskInfo& t : AllTasks(plugin))
          names.push_back(t.name);
        std::string message; // no list at all: each file's job says why
        bool wrong = !task.empty() && !names.empty() && MatchTask(names, task, &message) < 0;
        std::string answer;
        Put(&answer, wrong ? message : std::string());
        for (const std::string& name : names)
          Put(&answer, name);
        return answer;
      },
      &fd);
  if (pid < 0) return true; // the files' own jobs will say it
  std::string answer;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0)
    if (n > 0)
      answer.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR)
      break;
  close(fd);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ForgetWorker(pid);
  size_t at = 0;
  if (!Take(answer, &at, error)) error->clear();
  for (std::string name; Take(answer, &at, &name);)
    tasks->push_back(name);
  return error->empty();
}

std::string Clock(double seconds) {
  long s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600)
    snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

// The first line of a message, without the file name it starts with (the table names it).
std::string Short(const std::string& error, const std::string& file) {
  std::string line = error.substr(0, error.find('\n'));
  if (line.compare(0, file.size(), file) == 0 && line.size() > file.size() &&
      (line[file.size()] == ':'))
    line = line.substr(file.size() + 1);
  while (!line.empty() && line[0] == ' ')
    line.erase(0, 1);
  return line;
}

struct Running {
  size_t file;        // its index among the files
  pid_t pid;          // the worker
  int fd;             // the worker's answer, as it comes
  std::string answer; // what came so far
};

// The scores of a run and what became of each.
struct Run {
  Run(const CommandLine& command, const PluginEntries& entries) : c(command), plugin(entries) {}
  const CommandLine& c;
  const PluginEntries& plugin;
  std::vector<std::string> files, emptyFolders, skipped;
  std::vector<FileOutcome> outcomes;
  std::vector<bool> finished; // its worker answered
  size_t done = 0;
  bool terminal = false; // a progress bar on the terminal instead of a line a score
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// The files to work on, checked before any is; answers 0, or the status to end with.
int Prepare(Run* run) {
  const CommandLine& c = run->c;
  std::string error;
  std::vector<std::string> tasks;
  if (!CheckTask(c.task, run->plugin, &tasks, &error)) {
    fprintf(stderr, "%s\n", Printable(error, true).c_str());
    return 2;
  }
  run->files = ScoreFiles(c.inputs, tasks, &run->emptyFolders, &run->skipped);
  if (!c.out.empty() && run->files.size() != 1) {
    fprintf(stderr, "--out names one file, but there are %zu scores: use --out-dir FOLDER\n",
            run->files.size());
    return 2;
  }
  if (run->files.empty()) {
    fprintf(stderr, "%s: no score files (.musicxml, .xml, .mxl) in this folder\n",
            run->emptyFolders.empty() ? "" : Printable(run->emptyFolders[0]).c_str());
    return 2;
  }
  // Two scores of the same name would be written to the same file in one folder.
  if (!c.outDir.empty()) {
    std::map<std::string, std::string> byName;
    for (const std::string& f : run->files) {
      auto it = byName.insert({BaseName(f), f});
      if (!it.second) {
        fprintf(stderr,
                "%s and %s would both be written into %s under one name; rename one, or "
                "give them separately\n",
                it.first->second.c_str(), f.c_str(), c.outDir.c_str());
        return 2;
      }
    }
  }
  if (!c.outDir.empty() && !c.dryRun && !MakeFolders(c.outDir, &error)) {
    fprintf(stderr, "%s\n", Printable(error).c_str());
    return 1;
  }
  for (const std::string& f : run->skipped)
    printf("%s: skipped, a result of an earlier run\n", Printable(f).c_str());
  // What a run killed outright left in the output folders goes once, before the workers.
  if (!c.dryRun)
    for (const std::string& f : run->files)
      RemoveDeadStrays(OutputFolder(f, c), ".qvscore");
  run->outcomes.resize(run->files.size());
  run->finished.resize(run->files.size());
  run->terminal = isatty(STDERR_FILENO);
  return 0;
}

void Bar(const Run& run) {
  if (!run.terminal) return;
  double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - run.start).count();
  const int cells = 30;
  size_t total = run.files.size(), done = run.done;
  int full = static_cast<int>(cells * done / total);
  std::string left = done ? ", about " + Clock(elapsed / done * (total - done)) + " left" : "";
  fprintf(stderr, "\r\033[K[%s%s] %zu of %zu scores%s", std::string(full, '#').c_str(),
          std::string(cells - full, '.').c_str(), done, total, left.c_str());
  fflush(stderr);
}

void Report(const Run& run, size_t i) {
  const FileOutcome& o = run.outcomes[i];
  const std::string& file = run.files[i];
  if (run.terminal) fprintf(stderr, "\r\033[K");
  std::string line =
      Printable(o.status             ? o.error.substr(0, o.error.find('\n'))
                : !o.skipped.empty() ? o.skipped
                : o.written.empty()  ? file + ": " + o.summary
                                     : file + ": " + o.summary + "; written to " + o.written);
  if (!run.terminal)
    printf("[%zu/%zu] %s\n", run.done, run.files.size(), line.c_str());
  else if (o.status || !o.skipped.empty())
    fprintf(stderr, "%s\n", line.c_str());
  if (!o.notice.empty()) fprintf(stderr, "%s\n", Printable(o.notice).c_str());
  if (!o.changes.empty())
    printf("%s:\n%s", Printable(file).c_str(), Printable(o.changes, true).c_str());
  fflush(stdout);
  Bar(run);
}

// A worker's end: its answer decoded, or why it ended without one.
void Finish(Run* run, const Running& r) {
  int status = 0;
  while (waitpid(r.pid, &status, 0) < 0 && errno == EINTR) {
  }
  ForgetWorker(r.pid);
  FileOutcome& o = run->outcomes[r.file];
  bool answered = WIFEXITED(status) && WEXITSTATUS(status) == 0 && Decode(r.answer, &o);
  if (!answered) {
    o = FileOutcome();
    o.status = 1;
    o.error = run->files[r.file] + ": the job ended without finishing" +
              (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                   : std::string());
  }
  run->finished[r.file] = answered;
  ++run->done;
  // once interrupted, the workers stopped by it are not news
  if (answered || !PendingInterrupt()) Report(*run, r.file);
}

// The files in as many workers at once as asked, each answer read as it comes; until every
// file is done, or an interruption stopped the workers.
void Work(Run* run) {
  long cores = sysconf(_SC_NPROCESSORS_ONLN);
  size_t width = static_cast<size_t>(run->c.jobs > 0 ? run->c.jobs : cores > 0 ? cores : 1);
  width = std::min<size_t>(width, kMaxWorkers);
  std::vector<Running> running;
  size_t next = 0;
  Bar(*run);
  while (!running.empty() || (next < run->files.size() && !PendingInterrupt())) {
    while (running.size() < width && next < run->files.size() && !PendingInterrupt()) {
      int fd = -1;
      size_t i = next++;
      pid_t pid = StartWorker(
          [&] { return Encode(ScoreOneFile(run->files[i], run->c, run->plugin)); }, &fd);
      if (pid < 0 && errno == EINTR) break;
      if (pid < 0) {
        run->outcomes[i].status = 1;
        run->outcomes[i].error =
            run->files[i] + ": cannot start a worker (" + strerror(errno) + ")";
        ++run->done;
        Report(*run, i);
        continue;
      }
      running.push_back({i, pid, fd, std::string()});
    }
    if (running.empty()) continue;
    // Answers are read as they come, so that a long list of changes never fills the pipe.
    std::vector<pollfd> polls;
    for (const Running& r : running)
      polls.push_back({r.fd, POLLIN, 0});
    if (poll(polls.data(), polls.size(), -1) < 0) continue;
    for (size_t k = running.size(); k-- > 0;) {
      if (!polls[k].revents) continue;
      Running& r = running[k];
      char buffer[65536];
      ssize_t n = read(r.fd, buffer, sizeof buffer);
      if (n > 0) {
        r.answer.append(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      close(r.fd);
      Finish(run, r);
      running.erase(running.begin() + static_cast<long>(k));
    }
  }
  if (run->terminal) fprintf(stderr, "\r\033[K");
}

// After Ctrl-C: which scores were finished (and kept), and that the others were not changed;
// the terminal's line and cursor as they were before the bar.
void SayInterrupted(const Run& run) {
  size_t finished = 0;
  for (bool f : run.finished)
    finished += f;
  if (run.terminal) fprintf(stderr, "\r\033[K\033[?25h");
  fprintf(stderr, "interrupted: %zu of %zu scores finished%s\n", finished, run.files.size(),
          finished ? ":" : "");
  for (size_t i = 0; i < run.files.size(); ++i)
    if (run.finished[i]) {
      const FileOutcome& o = run.outcomes[i];
      std::string what = o.status             ? "error: " + Short(o.error, run.files[i])
                         : !o.written.empty() ? "written to " + o.written
                                              : o.summary;
      fprintf(stderr, "  %s: %s\n", Printable(run.files[i]).c_str(), Printable(what).c_str());
    }
  if (finished < run.files.size())
    fprintf(stderr, "the other %zu were left as they were\n", run.files.size() - finished);
  fflush(stderr);
}

// The table: one row a score, then the counts; answers the command's status.
int Table(const Run& run) {
  const CommandLine& c = run.c;
  const std::vector<std::string>& files = run.files;
  size_t nameWidth = 4;
  for (const std::string& f : files)
    nameWidth = std::max(nameWidth, std::min<size_t>(f.size(), 48));
  printf("\n%-*s  %7s  %10s  %s\n", static_cast<int>(nameWidth), "file", "changed", "left alone",
         c.dryRun ? "result (dry run: nothing written)" : "result");
  size_t failed = 0, skipped = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const FileOutcome& o = run.outcomes[i];
    std::string name = Printable(files[i]);
    if (o.status) {
      ++failed;
      printf("%-*s  %7s  %10s  error: %s\n", static_cast<int>(nameWidth), name.c_str(), "-", "-",
             Printable(Short(o.error, files[i])).c_str());
    } else if (!o.skipped.empty()) {
      ++skipped;
      printf("%-*s  %7s  %10s  skipped: %s\n", static_cast<int>(nameWidth), name.c_str(), "-", "-",
             Printable(Short(o.skipped, files[i])).c_str());
    } else {
      printf("%-*s  %7zu  %10zu  %s\n", static_cast<int>(nameWidth), name.c_str(), o.changed,
             o.leftAloneCount,
             !o.written.empty() ? ("written to " + Printable(o.written)).c_str()
             : o.changed        ? "would change"
                                : "nothing to change");
    }
  }
  for (const std::string& f : run.emptyFolders) {
    ++failed;
    printf("%-*s  %7s  %10s  error: no score files in this folder\n", static_cast<int>(nameWidth),
           Printable(f).c_str(), "-", "-");
  }
  size_t total = files.size() + run.emptyFolders.size();
  printf("%zu score%s: %zu %s, %s%zu failed\n", total, total == 1 ? "" : "s",
         total - failed - skipped, c.dryRun ? "looked at" : "written",
         skipped ? (std::to_string(skipped) + " skipped, ").c_str() : "", failed);
  return failed ? 2 : 0;
}

} // namespace

int RunManyFiles(const CommandLine& c, const PluginEntries& plugin) {
  DeferInterrupts();
  Run run(c, plugin);
  int status = Prepare(&run);
  if (status == 0 && !PendingInterrupt()) Work(&run);
  if (PendingInterrupt()) {
    fflush(stdout);
    SayInterrupted(run);
    EndByInterrupt();
  }
  return status ? status : Table(run);
}
