// The command as people call it, against the program it starts, in one run:
//  1. starting: ./run --score on a generated 200-measure score, against the optimised
//     build's host called directly on the same file (what ./run starts when its build is up
//     to date): the ratio of the medians, and the difference in seconds;
//  2. many files: the command over 200 copies of that score with -j 2 against -j 1 (the
//     bench build's host): the throughput ratio.
// Optional arguments: the number of calls for 1 (default 15), the copies for 2 (default 200).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/generatedscore.h"

namespace {

// Runs the words as a program, its output thrown away; wall seconds, or -1 when it failed.
// *cpu, when given, receives the processor time of it and its workers.
double Timed(const std::vector<std::string>& words, double* cpu = nullptr) {
  ChildRun r = RunChild(words);
  if (cpu) *cpu = r.cpu;
  return r.ok ? r.wall : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
  int calls = argc > 1 ? atoi(argv[1]) : 15;
  int copies = argc > 2 ? atoi(argv[2]) : 200;
  std::string dir = "/tmp/qvcommandbench." + std::to_string(getpid());
  std::string in = dir + "/score.musicxml";
  if (mkdir(dir.c_str(), 0700) != 0 || WriteScore(in, 200 * 4) <= 0) return 1;
  const std::string source = QV_SOURCE_DIR;
  std::vector<std::string> run = {source + "/run",      "--score", in, "--task", "drop2", "--out",
                                  dir + "/run.musicxml"};
  std::vector<std::string> direct = {source + "/build/release/qvhost",
                                     source + "/build/release/QVChordShaper.so",
                                     "--score",
                                     in,
                                     "--task",
                                     "drop2",
                                     "--out",
                                     dir + "/direct.musicxml"};
  int failed = 0;
  if (Timed(run) < 0) { // brings the optimised build up to date first
    fprintf(stderr, "./run failed\n");
    return 1;
  }
  std::vector<double> viaRun, called;
  for (int i = 0; i < calls; ++i) { // in turns, so that the machine's load falls on both
    viaRun.push_back(Timed(run));
    called.push_back(Timed(direct));
  }
  for (double t : viaRun)
    failed += t < 0;
  for (double t : called)
    failed += t < 0;
  double r = Median(viaRun), d = Median(called);
  printf("score           200 measures, 800 four-note chords\n");
  printf("./run --score   median %.4f s over %d calls\n", r, calls);
  printf("qvhost directly median %.4f s\n", d);
  printf("starting ratio  %.2f (target <= 1.2), %.3f s above the job (target <= 0.2)\n", r / d,
         r - d);

  // Many files: the same score copied into a folder, revoiced into another.
  std::string folder = dir + "/many";
  mkdir(folder.c_str(), 0700);
  for (int i = 0; i < copies; ++i) {
    char name[64];
    snprintf(name, sizeof name, "/score%03d.musicxml", i);
    if (system(("cp '" + in + "' '" + folder + name + "'").c_str()) != 0) return 1;
  }
  auto many = [&](const char* jobs, double* cpu) {
    return Timed({QV_HOST_PATH, QV_PLUGIN_PATH, folder, "--task", "drop2", "--out-dir",
                  dir + "/out" + jobs, "-j", jobs},
                 cpu);
  };
  double cpuOne = 0, cpuTwo = 0;
  double one = many("1", &cpuOne), two = many("2", &cpuTwo);
  failed += one < 0 || two < 0;
  long cores = sysconf(_SC_NPROCESSORS_ONLN);
  printf("many files      %d scores: -j 1 %.2f s (%.0f a second), -j 2 %.2f s (%.0f a second)\n",
         copies, one, copies / one, two, copies / two);
  printf("parallel ratio  %.2f with -j 2 over -j 1 (target >= 1.8; %ld cores here)\n", one / two,
         cores);
  // Processor time over wall time: how many cores the run kept busy (the machine's other
  // load shows here as less than the -j asked for).
  printf("cores busy      %.2f with -j 1, %.2f with -j 2 (loadavg ", cpuOne / one, cpuTwo / two);
  if (FILE* f = fopen("/proc/loadavg", "r")) {
    char load[64] = "";
    if (fgets(load, sizeof load, f)) printf("%.14s", load);
    fclose(f);
  }
  printf(")\n");
  if (system(("rm -rf '" + dir + "'").c_str()) != 0) return 1;
  return failed ? 1 : 0;
}
