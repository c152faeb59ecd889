// An interruption at any moment (Ctrl-C, a kill, a closed terminal) leaves no half-written
// or temporary file and an intact input, with --out, with --in-place and over many files:
// the command is stopped at random moments on a large generated score.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <random>
#include <thread>

#include "cleanup.h"
#include "scorefixture.h"
#include "support/commandrun.h"

using namespace scoretest;

namespace {

// Starts the headless host on the words, quietly, with its temporary folder in tmp.
pid_t Start(const std::vector<std::string>& words, const std::string& tmp) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<std::string> all = {QV_HOST_PATH, QV_PLUGIN_PATH};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& w : all)
      argv.push_back(&w[0]);
    argv.push_back(nullptr);
    setenv("TMPDIR", tmp.c_str(), 1);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// The names in a folder, files and folders alike.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir))
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
    closedir(dir);
  }
  return names;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// Every file under the folder, by its path below it.
void Files(const std::string& folder, const std::string& below, std::vector<std::string>* out) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (e->d_type == DT_DIR)
      Files(folder + "/" + name, below + name + "/", out);
    else
      out->push_back(below + name);
  }
  closedir(dir);
}

TEST(Interruption, LeavesNoStrayFileAndAnIntactInputAtAnyMoment) {
  TempFolder folder;
  const std::string original = GeneratedScore(8000); // some 7 MB
  const std::vector<std::string> task = {"--task", "drop2", "--four-note-drops"};
  std::vector<std::string> words = {"--score", folder.Write("whole.musicxml", original), "--out",
                                    folder.Path("whole-out.musicxml")};
  words.insert(words.end(), task.begin(), task.end());
  mkdir(folder.Path("tmp").c_str(), 0700);
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(0, Wait(Start(words, folder.Path("tmp"))));
  double whole = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::vector<uint8_t> done = ReadBytes(folder.Path("whole-out.musicxml"));
  const std::vector<uint8_t> input(original.begin(), original.end());
  ASSERT_NE(input, done);

  std::random_device seed;
  unsigned s = seed();
  std::mt19937 random(s);
  std::uniform_real_distribution<double> moment(0, whole * 1.1);
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  int interrupted = 0;
  for (int k = 0; k < 36; ++k) {
    std::string run = folder.Path("run" + std::to_string(k)), tmp = run + "-tmp";
    mkdir(run.c_str(), 0700);
    mkdir(tmp.c_str(), 0700);
    std::string in = run + "/song.musicxml";
    std::ofstream(in, std::ios::binary) << original;
    std::vector<std::string> w;
    int mode = k % 3; // --out, --in-place, two scores into a folder
    if (mode == 0) w = {"--score", in, "--out", run + "/song-out.musicxml"};
    if (mode == 1) w = {"--score", in, "--in-place"};
    if (mode == 2) {
      std::ofstream(run + "/other.musicxml", std::ios::binary) << original;
      w = {run, "--out-dir", run + "/out", "-j", "2"};
    }
    w.insert(w.end(), task.begin(), task.end());
    int sig = signals[(k / 3) % 3];
    double at = moment(random);
    pid_t pid = Start(w, tmp);
    std::this_thread::sleep_for(std::chrono::duration<double>(at));
    kill(pid, sig);
    int status = Wait(pid);
    bool stopped = WIFSIGNALED(status);
    interrupted += stopped;
    EXPECT_TRUE(stopped ? WTERMSIG(status) == sig : WIFEXITED(status) && !WEXITSTATUS(status))
        << "run " << k << ": status " << status;

    // the options file's private folder goes too, emptied first
    EXPECT_TRUE(Entries(tmp).empty())
        << "run " << k << ": " << Entries(tmp)[0] << " left in TMPDIR";
    std::vector<std::string> files;
    Files(run, "", &files);
    for (const std::string& f : files) {
      std::vector<uint8_t> bytes = ReadBytes(run + "/" + f);
      bool isInput = f == "song.musicxml" || f == "other.musicxml";
      bool isOutput = f == "song-out.musicxml" || f == "out/song-drop-2nd.musicxml" ||
                      f == "out/other-drop-2nd.musicxml";
      // an input is as it was, or (in place) wholly changed; an output is whole
      EXPECT_TRUE((isInput && (bytes == input || (mode == 1 && bytes == done))) ||
                  (isOutput && bytes == done))
          << "run " << k << " (seed " << s << ", signal " << sig << " at " << at << " s): " << f
          << ", " << bytes.size() << " bytes";
    }
  }
  // most runs are stopped half-way (a run is as likely to end before its signal as 1 in 11)
  EXPECT_GE(interrupted, 18) << "seed " << s << ", a whole run " << whole << " s";
}

} // namespace

namespace {

// Whether any name in the folder starts so.
bool Has(const std::string& folder, const std::string& start) {
  return !commandrun::Find(folder, start).empty();
}

// Not only Ctrl-C, a kill and a closed terminal: every signal that ends a process and can be
// caught, each sent once the output is being written.
TEST(Interruption, EverySignalThatEndsTheCommandLeavesNothingBehind) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", GeneratedScore(8000)), tmp = folder.Path("tmp");
  mkdir(tmp.c_str(), 0700);
  for (int sig : {SIGQUIT, SIGPIPE, SIGABRT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM}) {
    pid_t pid = commandrun::Start(
        QV_HOST_PATH, QV_PLUGIN_PATH,
        {"--score", in, "--task", "drop2", "--out", folder.Path("out.musicxml")}, tmp);
    ASSERT_FALSE(commandrun::WaitFor(folder.Path(""), ".qvscore.", pid).empty()) << sig;
    kill(pid, sig);
    int status = commandrun::Wait(pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << ": status " << status;
    EXPECT_FALSE(Has(folder.Path(""), ".qvscore")) << sig;
    EXPECT_FALSE(Has(folder.Path(""), "out.musicxml")) << sig;
    EXPECT_TRUE(Entries(tmp).empty()) << sig;
  }
}

// SIGKILL cannot be caught: what it leaves is removed by the next run that writes there, and
// only what a process that is gone left.
TEST(Interruption, WhatARunKilledOutrightLeftIsRemovedByTheNextRunThere) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", GeneratedScore(8000)), tmp = folder.Path("tmp");
  mkdir(tmp.c_str(), 0700);
  pid_t pid = commandrun::Start(QV_HOST_PATH, QV_PLUGIN_PATH,
                                {"--score", in, "--task", "drop2", "--in-place"}, tmp);
  ASSERT_FALSE(commandrun::WaitFor(folder.Path(""), ".qvscore.", pid).empty());
  kill(pid, SIGKILL);
  commandrun::Wait(pid);
  ASSERT_TRUE(Has(folder.Path(""), ".qvscore.")); // what SIGKILL leaves
  ASSERT_TRUE(Has(tmp, "qvhost."));
  // a live process's file is not a stray, nor is a file of another name
  std::string live = ".qvscore." + std::to_string(getpid()) + ".abcdef";
  folder.Write(live, "in use");
  folder.Write(".qvscore.other", "not the command's");
  std::string small = folder.Write("small.musicxml", GeneratedScore(8));
  pid = commandrun::Start(QV_HOST_PATH, QV_PLUGIN_PATH,
                          {"--score", small, "--task", "drop2", "--in-place"}, tmp);
  EXPECT_EQ(0, commandrun::Wait(pid));
  std::vector<std::string> left = Entries(folder.Path(""));
  std::sort(left.begin(), left.end());
  std::vector<std::string> expected = {live, ".qvscore.other", "small.musicxml", "song.musicxml",
                                       "tmp"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, left);
  EXPECT_TRUE(Entries(tmp).empty());
  std::vector<uint8_t> after = ReadBytes(in);
  EXPECT_EQ(GeneratedScore(8000), std::string(after.begin(), after.end()));
}

// However many workers run, an interruption stops each of them: none is left running on.
TEST(Interruption, EveryWorkerIsStoppedHoweverMany) {
  const int workers = 300;
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  pid_t parent = fork();
  if (parent == 0) {
    close(fds[0]);
    RemoveOnInterrupt();
    for (int i = 0; i < workers; ++i) {
      pid_t w = ForkWorker();
      if (w == 0) {
        close(fds[1]);
        for (;;)
          pause();
      }
      if (w < 0 || write(fds[1], &w, sizeof w) != sizeof w) _exit(1);
    }
    close(fds[1]);
    for (;;)
      pause();
  }
  close(fds[1]);
  std::vector<pid_t> started;
  pid_t w;
  // (the workers hold the pipe too: the count, not its end, says all are there)
  while (started.size() < static_cast<size_t>(workers) && read(fds[0], &w, sizeof w) == sizeof w)
    started.push_back(w);
  close(fds[0]);
  ASSERT_EQ(static_cast<size_t>(workers), started.size());
  kill(parent, SIGTERM);
  int status = commandrun::Wait(parent);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  int escaped = 0;
  for (pid_t pid : started)
    if (kill(pid, 0) == 0) { // still there: it escaped (the parent reaped every one it stopped)
      ++escaped;
      kill(pid, SIGKILL);
    }
  EXPECT_EQ(0, escaped);
}

// Ctrl-C over many scores: the finished ones are kept and named, the others left as they were.
TEST(Interruption, CtrlCOverManyScoresSaysWhichWereFinished) {
  TempFolder folder;
  mkdir(folder.Path("in").c_str(), 0700);
  folder.Write("in/a.musicxml", GeneratedScore(8));
  std::string big = GeneratedScore(8000);
  folder.Write("in/b.musicxml", big);
  folder.Write("in/c.musicxml", big);
  pid_t pid =
      commandrun::Start(QV_HOST_PATH, QV_PLUGIN_PATH,
                        {folder.Path("in"), "--task", "drop2", "-j", "1"}, "", folder.Path("log"));
  ASSERT_FALSE(commandrun::WaitFor(folder.Path("in"), "a-drop-2nd", pid).empty());
  ASSERT_FALSE(commandrun::WaitFor(folder.Path("in"), ".qvscore.", pid).empty()); // b's
  kill(pid, SIGINT);
  int status = commandrun::Wait(pid);
  std::vector<uint8_t> logBytes = ReadBytes(folder.Path("log"));
  std::string log(logBytes.begin(), logBytes.end());
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status << "\n" << log;
  EXPECT_NE(std::string::npos,
            log.find("interrupted: 1 of 3 scores finished:\n  " + folder.Path("in/a.musicxml") +
                     ": written to " + folder.Path("in/a-drop-2nd.musicxml") +
                     "\nthe other 2 were left as they were\n"))
      << log;
  std::vector<std::string> left = Entries(folder.Path("in"));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(
      (std::vector<std::string>{"a-drop-2nd.musicxml", "a.musicxml", "b.musicxml", "c.musicxml"}),
      left);
}

} // namespace
