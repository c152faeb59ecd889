// Every task the tool window lists (first direction) on a score of 32,767 measures, the most
// the host holds, against the same score of 16,384 measures: each run as people run it
// (qvhost of this build, the score from a file, the result into a file), timed by the
// processor time the system counted, the least of a few runs. A task linear in the measures
// takes twice as long; the goal is a ratio of 2 or less for every task.
// build/bench/bench/measures_bench [RUNS] [TASK ...]
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/manyparts.h"

namespace {

const double BOUND = 2;
const int MOST = 32767, HALF = 16384;

} // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
  std::vector<std::string> tasks(argv + std::min(argc, 2), argv + argc);
  if (tasks.empty()) tasks = TaskNames(QV_PLUGIN_PATH);
  if (tasks.empty()) return 1;
  std::string dir = "/tmp/qvmeasuresbench." + std::to_string(getpid());
  std::string most = dir + "/most.musicxml", half = dir + "/half.musicxml";
  std::string out = dir + "/out.musicxml";
  // two parts of one staff, so that the tasks that move notes between staves have two
  if (mkdir(dir.c_str(), 0700) != 0 || !WriteText(most, ManyPartsScore(2, MOST)) ||
      !WriteText(half, ManyPartsScore(2, HALF)))
    return 1;
  // The least processor time of the runs; negative when one failed.
  auto time = [&](const std::string& task, const std::string& score) {
    double least = -1;
    for (int i = 0; i < runs; ++i) {
      ChildRun r =
          RunChild({QV_HOST_PATH, QV_PLUGIN_PATH, "--score", score, "--task", task, "--out", out});
      if (!r.ok) return -1.0;
      least = least < 0 ? r.cpu : std::min(least, r.cpu);
    }
    return least;
  };
  printf("two parts, %d measures against %d, one four-note chord a measure; least of %d runs\n",
         MOST, HALF, runs);
  printf("%-26s %9s %9s %7s\n", "task", "32767 s", "16384 s", "ratio");
  int failed = 0, over = 0;
  for (const std::string& task : tasks) {
    double a = time(task, most), b = time(task, half);
    bool ok = a >= 0 && b > 0;
    double ratio = ok ? a / b : 0;
    failed += !ok;
    over += ok && ratio > BOUND;
    printf("%-26s %9.3f %9.3f %7.2f%s\n", task.c_str(), a, b, ratio,
           !ok             ? "  (failed)"
           : ratio > BOUND ? "  (over the bound)"
                           : "");
  }
  printf("time at 32767 measures over 16384: %d of %zu tasks over %.0f%s\n", over, tasks.size(),
         BOUND, failed ? "; some failed" : "");
  unlink(most.c_str());
  unlink(half.c_str());
  unlink(out.c_str());
  rmdir(dir.c_str());
  return failed || over ? 1 : 0;
}
