// The command's peak memory on a large score, as a ratio to the score's MusicXML text: every
// task the tool window lists (first direction) and --check alone, each run as people run it
// (qvhost of this build, the score from a file, the result into a file). The score is
// generated: 2,000 parts of one staff, 150 measures of one six-note chord each, some 190 MB.
// The goal is a peak within 15 times the score for every run.
// build/bench/bench/memory_bench [PARTS] [MEASURES] [TASK ...]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/manyparts.h"

const double BOUND = 15;

int main(int argc, char** argv) {
  long parts = argc > 1 ? atol(argv[1]) : 2000;
  int measures = argc > 2 ? atoi(argv[2]) : 150;
  std::vector<std::string> tasks(argv + std::min(argc, 3), argv + argc);
  if (tasks.empty()) tasks = TaskNames(QV_PLUGIN_PATH);
  if (tasks.empty()) return 1;
  std::string dir = "/tmp/qvmemorybench." + std::to_string(getpid());
  std::string in = dir + "/score.musicxml", out = dir + "/out.musicxml";
  double scoreMb = 0;
  {
    std::string text = ManyPartsScore(parts, measures, 6);
    if (mkdir(dir.c_str(), 0700) != 0 || !WriteText(in, text)) return 1;
    scoreMb = text.size() / 1048576.0;
  }
  printf("score: %ld parts, %d measures of six-note chords, %.1f MB of MusicXML\n", parts, measures,
         scoreMb);
  printf("%-26s %9s %8s %8s\n", "run", "peak MB", "ratio", "seconds");
  int failed = 0, over = 0;
  auto report = [&](const std::string& what, const ChildRun& r) {
    double ratio = r.peakMb / scoreMb;
    failed += !r.ok;
    over += ratio > BOUND;
    printf("%-26s %9.0f %8.1f %8.1f%s\n", what.c_str(), r.peakMb, ratio, r.cpu,
           !r.ok           ? "  (failed)"
           : ratio > BOUND ? "  (over the bound)"
                           : "");
  };
  for (const std::string& task : tasks) {
    report(task,
           RunChild({QV_HOST_PATH, QV_PLUGIN_PATH, "--score", in, "--task", task, "--out", out}));
    unlink(out.c_str());
  }
  report("--check", RunChild({QV_HOST_PATH, QV_PLUGIN_PATH, "--score", in, "--check"}));
  printf("peak over the score: %d of %zu runs over %.0f times%s\n", over, tasks.size() + 1, BOUND,
         failed ? "; some failed" : "");
  unlink(in.c_str());
  rmdir(dir.c_str());
  return failed || over ? 1 : 0;
}
