// The score command on a large file, against pugixml alone: a generated MusicXML score of
// 100,000 four-note chords is read, changed by a task and written by the headless host
// (qvhost --score, a child process), and loaded and saved by pugixml in another child with
// the same parse and save options. Prints the time ratio and the peak memory of each against
// the file's size, all from one run. Optional arguments: the chord count, then the task.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <pugixml.hpp>

#include "support/generatedscore.h"

namespace {

struct Measured {
  double seconds; // wall time
  double cpu;     // user and system time: steadier than wall time on a shared machine
  long peakKb;
  int status;
};

// Runs the function in a child process; its wall time and peak resident memory.
template <typename F> Measured InChild(F f) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) _exit(f());
  int status = 0;
  struct rusage usage = {};
  wait4(pid, &status, 0, &usage);
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return {s, cpu, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

int main(int argc, char** argv) {
  long chords = argc > 1 ? atol(argv[1]) : 100000;
  std::string task = argc > 2 ? argv[2] : "Drop 2nd";
  std::string dir = "/tmp/qvbench." + std::to_string(getpid());
  std::string in = dir + "/score.musicxml", out = dir + "/out.musicxml";
  std::string plain = dir + "/pugixml.musicxml";
  if (system(("mkdir -p " + dir).c_str()) != 0) return 1;
  long size = WriteScore(in, chords);
  if (size <= 0) return 1;

  Measured pugi = InChild([&] {
    pugi::xml_document doc;
    if (!doc.load_file(in.c_str(), pugi::parse_full | pugi::parse_ws_pcdata)) return 1;
    return doc.save_file(plain.c_str(), "", pugi::format_raw | pugi::format_no_declaration) ? 0 : 1;
  });
  Measured command = InChild([&] {
    execl(QV_HOST_PATH, QV_HOST_PATH, QV_PLUGIN_PATH, "--score", in.c_str(), "--task", task.c_str(),
          "--out", out.c_str(), static_cast<char*>(nullptr));
    return 127;
  });

  double mb = size / 1048576.0;
  printf("score         %ld four-note chords, %.1f MB\n", chords, mb);
  printf("pugixml       load and save %.3f s (cpu %.3f s), peak %.1f MB (%.2fx the file)\n",
         pugi.seconds, pugi.cpu, pugi.peakKb / 1024.0, pugi.peakKb * 1024.0 / size);
  printf("qvhost        read, %s, write %.3f s (cpu %.3f s), peak %.1f MB (%.2fx the file)%s\n",
         task.c_str(), command.seconds, command.cpu, command.peakKb / 1024.0,
         command.peakKb * 1024.0 / size, command.status ? "  FAILED" : "");
  printf("time ratio    %.2f wall, %.2f cpu (target <= 3)\n", command.seconds / pugi.seconds,
         command.cpu / pugi.cpu);
  printf("memory ratio  %.2f of the file size (target <= 4)\n", command.peakKb * 1024.0 / size);
  if (system(("rm -rf " + dir).c_str()) != 0) return 1;
  return command.status || pugi.status;
}
