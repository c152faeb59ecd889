// The score job (read, the task applied through the tool window, written back) on generated
// scores of 500 to 8,000 parts, one staff and four chords each, in this process with the
// plug-in linked in. After the benchmarks it prints the time of each size over the size half
// as large: a job linear in the parts doubles its time (bound 2.6 a doubling, for the cache
// and the allocator), where one looking each staff up among all of them grows fourfold or
// more. Times are the thread's processor time, the least of the iterations: the machine is
// shared. build/bench/bench/parts_bench [--no-figures]
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "linkedplugin.h"
#include "scorejob.h"
#include "support/manyparts.h"

namespace {

const int SIZES[] = {500, 1000, 2000, 4000, 8000};
const int MEASURES = 4;
const double BOUND = 2.6;

std::map<int, double> best; // least seconds by parts

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

const std::string& HostFolder() {
  static const std::string folder = [] {
    char path[] = "/tmp/qvpartsbench.XXXXXX";
    return std::string(mkdtemp(path) ? path : "/tmp") + "/host";
  }();
  return folder;
}

void Job(benchmark::State& state) {
  const int parts = static_cast<int>(state.range(0));
  std::string text = ManyPartsScore(parts, MEASURES);
  ScoreJobOptions options;
  options.task = "Drop 2nd";
  options.displayTexts = false;
  WriteHostOptions(HostFolder(), options);
  PluginEntries plugin = LinkedPlugin(HostFolder());
  for (auto _ : state) {
    std::vector<uint8_t> input(text.begin(), text.end());
    double start = ThreadSeconds();
    ScoreJobResult r = RunScoreJob(std::move(input), "parts.musicxml", options, plugin);
    double seconds = ThreadSeconds() - start;
    if (r.status != 0 || r.changedCount != static_cast<size_t>(parts) * MEASURES) {
      state.SkipWithError(("the job failed: " + r.error).c_str());
      return;
    }
    state.SetIterationTime(seconds);
    auto found = best.find(parts);
    if (found == best.end() || seconds < found->second) best[parts] = seconds;
  }
  state.counters["parts"] = parts;
}
BENCHMARK(Job)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->UseManualTime()->Unit(
    benchmark::kMillisecond);

void PrintFigures() {
  printf("\nThe job's time at each size over the size half as large (processor time, least of "
         "the iterations; bound %.1f):\n",
         BOUND);
  bool ok = true;
  for (size_t i = 1; i < sizeof SIZES / sizeof SIZES[0]; ++i) {
    double ratio = best[SIZES[i]] / best[SIZES[i - 1]];
    ok = ok && ratio <= BOUND;
    printf("   %5d parts %8.1f ms  / %5d parts %8.1f ms = %4.2f  %s\n", SIZES[i],
           best[SIZES[i]] * 1e3, SIZES[i - 1], best[SIZES[i - 1]] * 1e3, ratio,
           ratio <= BOUND ? "within" : "OVER");
  }
  printf("   8,000 parts over 500: %.1f (linear: 16)  %s\n", best[8000] / best[500],
         ok ? "within" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
  bool figures = !(argc > 1 && strcmp(argv[1], "--no-figures") == 0);
  if (!figures) {
    argv[1] = argv[0];
    --argc;
    ++argv;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (figures && best.size() == sizeof SIZES / sizeof SIZES[0]) PrintFigures();
  return 0;
}
