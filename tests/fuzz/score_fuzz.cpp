// Score files from the fuzzer, MusicXML text or .mxl containers, through the whole job of
// ./run --score: read, the task applied by the plug-in through its tool window, written back.
// Any input ends (the fuzzer times out a hang) with either an error and no output, or output.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "fuzzcheck.h"
#include "linkedplugin.h"
#include "scorejob.h"

namespace {

const char* const TASKS[] = {"",
                             "Add Third",
                             "Drop 2nd",
                             "Rotate",
                             "Keep Lines",
                             "Delete Unisons",
                             "No Such Task",
                             "Realize Chord Symbols",
                             "Block Chords"};
const char* const VOICINGS[] = {"", "drop2", "drop24", "shell", "root", "no such voicing"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    char path[] = "/tmp/qvscorefuzz.XXXXXX";
    return std::string(mkdtemp(path) ? path : "/tmp") + "/host";
  }();
  FuzzedDataProvider in(data, size);
  ScoreJobOptions options;
  options.task = in.PickValueInArray(TASKS);
  options.bottom = in.ConsumeBool();
  options.fourNoteDrops = in.ConsumeBool();
  options.dryRun = in.ConsumeBool();
  options.markChanges = in.ConsumeBool();
  options.voicing = in.PickValueInArray(VOICINGS);
  options.leading = in.ConsumeBool();
  options.displayTexts = false;
  if (in.ConsumeBool()) options.measures = in.ConsumeRandomLengthString(8);
  if (in.ConsumeBool()) options.parts = in.ConsumeRandomLengthString(8);
  std::vector<uint8_t> file = in.ConsumeRemainingBytes<uint8_t>();
  WriteHostOptions(folder, options);
  ScoreJobResult r = RunScoreJob(std::move(file), "fuzzed.musicxml", options, LinkedPlugin(folder));
  if (r.status != 0) {
    FUZZ_CHECK(r.output.empty());
    FUZZ_CHECK(!r.error.empty());
  } else {
    FUZZ_CHECK(options.dryRun || !r.skipped.empty() || !r.output.empty()); // skipped: no part named
  }
  FUZZ_CHECK(!hostsim::TheHost().editOpen);
  FUZZ_CHECK(hostsim::TheHost().framesOut.empty());
  return 0;
}
