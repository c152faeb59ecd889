// Score files from the fuzzer through Explode and Reduce, the tasks that replace whole voices
// and write new notes, rests, backups and forwards into other parts' measures: any input ends
// with either an error and no output, or output; no edit or frame is left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "fuzzcheck.h"
#include "linkedplugin.h"
#include "scorejob.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    char path[] = "/tmp/qvlinesfuzz.XXXXXX";
    return std::string(mkdtemp(path) ? path : "/tmp") + "/host";
  }();
  FuzzedDataProvider in(data, size);
  ScoreJobOptions options;
  options.task = in.ConsumeBool() ? "Explode" : "Reduce";
  options.bottom = in.ConsumeBool();
  options.dryRun = in.ConsumeBool();
  options.listChanges = in.ConsumeBool();
  options.displayTexts = false;
  if (in.ConsumeBool()) options.measures = in.ConsumeRandomLengthString(8);
  std::vector<uint8_t> file = in.ConsumeRemainingBytes<uint8_t>();
  ScoreJobResult r = RunScoreJob(std::move(file), "fuzzed.musicxml", options, LinkedPlugin(folder));
  if (r.status != 0) {
    FUZZ_CHECK(r.output.empty());
    FUZZ_CHECK(!r.error.empty());
  } else {
    FUZZ_CHECK(options.dryRun || !r.output.empty());
  }
  FUZZ_CHECK(!hostsim::TheHost().editOpen);
  FUZZ_CHECK(hostsim::TheHost().framesOut.empty());
  return 0;
}
