// The sixteen tasks over a score whose entries and frames come from the fuzzer, each applied
// as the tool window applies it: through the undo block. After each task no frame is left
// out and no edit is open; a task that changed nothing left the score exactly as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "entry.h"
#include "fcchordshaperblockhandler.h"
#include "fuzzcheck.h"
#include "handedframes.h"
#include "tasks.h"

namespace {

// An entry the host could hold: either any bytes at all, or a chord of fuzzed pitches.
EXENTRY MakeEntry(FuzzedDataProvider& in, uint32_t number) {
  EXENTRY e;
  memset(&e, 0, sizeof e);
  if (in.ConsumeBool()) {
    in.ConsumeData(&e, sizeof e);
    return e;
  }
  e.entnum = number;
  e.duration = 1024;
  e.measurepos = in.ConsumeIntegralInRange(-1, 4096);
  e.notecount = in.ConsumeIntegralInRange<twobyte>(0, MAX_NOTES);
  if (e.notecount > 0) e.flags = ENTRY_NOTE;
  for (int i = 0; i < e.notecount; ++i) {
    // Pitches near the middle of the staff, or anywhere in the 16-bit range.
    e.notes[i].displacement = in.ConsumeBool() ? in.ConsumeIntegralInRange<twobyte>(-16, 16)
                                               : in.ConsumeIntegral<twobyte>();
    e.notes[i].raiselower = in.ConsumeIntegralInRange<twobyte>(-2, 2);
    e.notes[i].noteID = static_cast<twobyte>(i + 1);
    e.notes[i].flags = NOTE_CREATED | (in.ConsumeBool() ? in.ConsumeIntegral<uint32_t>() : 0);
  }
  return e;
}

// What the host does to each frame it hands out, one byte of the plan per frame: the counts
// and pointers a faulty host could give (never more entries than the array holds).
void Tamper(EXTGF2005a* frame, unsigned char how) {
  switch (how % 8) {
  case 1:
    frame->entrycount = static_cast<twobyte>(-1 - how);
    break;
  case 2:
    if (frame->entrycount > 0) frame->entries = nullptr;
    break;
  case 3:
    frame->slot = static_cast<twobyte>(how - 128);
    break;
  case 4:
    if (frame->entrycount > 0) frame->entries[how % frame->entrycount].notecount = how * 97;
    break;
  case 5:
    frame->entrycount = frame->entrycount > 0 ? frame->entrycount - 1 : 0;
    break;
  default:
    break;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FreshHost();
  int staves = in.ConsumeIntegralInRange(1, 4);
  int measures = in.ConsumeIntegralInRange(1, 3);
  hostsim::NewDocument(staves, measures);
  if (in.ConsumeBool()) hostsim::AddPart({static_cast<int16_t>(staves)});
  if (in.ConsumeBool()) hostsim::AddPart({1, static_cast<int16_t>(staves)});
  hostsim::TheHost().maxLayers = in.ConsumeIntegralInRange<int16_t>(-1, 8);
  for (int i = in.ConsumeIntegralInRange(0, 24); i > 0; --i) {
    int16_t staff = in.ConsumeIntegralInRange<int16_t>(1, staves);
    int16_t measure = in.ConsumeIntegralInRange<int16_t>(1, measures);
    int16_t layer = in.ConsumeIntegralInRange<int16_t>(0, 3);
    hostsim::Cell(staff, measure, layer).push_back(MakeEntry(in, hostsim::Doc().nextEntryNumber++));
  }
  if (in.ConsumeBool()) {
    hostsim::SetSelection(in.ConsumeIntegralInRange<int16_t>(-1, staves + 1),
                          in.ConsumeIntegralInRange<int16_t>(-1, measures + 1),
                          in.ConsumeBool() ? 0 : in.ConsumeIntegral<int32_t>(),
                          in.ConsumeIntegralInRange<int16_t>(-1, staves + 1),
                          in.ConsumeIntegralInRange<int16_t>(-1, measures + 1),
                          in.ConsumeBool() ? 0x7FFFFFFF : in.ConsumeIntegral<int32_t>());
  }
  ChordRules rules;
  rules.fourNoteDropChords = in.ConsumeBool();
  rules.spellInKey = in.ConsumeBool();
  GlobalUserSettings.bRespaceMusic = in.ConsumeBool();
  bool top = in.ConsumeBool();
  std::string plan = in.ConsumeRemainingBytesAsString();

  size_t next = 0;
  hostsim::ScopedFrameTamper tamper([&](EXTGF2005a* frame) {
    if (!plan.empty()) Tamper(frame, static_cast<unsigned char>(plan[next++ % plan.size()]));
  });
  for (int task = 0; task < TASKCOUNT; ++task) {
    next = 0;
    hostsim::Document before = hostsim::Doc();
    size_t undoSteps = hostsim::TheHost().undoList.size();
    FCUI ui(nullptr);
    FCChordShaperBlockHandler handler(TaskDescriptors[task].taskid, top, &ui, rules);
    FCString name(TaskDescriptors[task].name);
    FCUndoBlock block;
    bool changed = block.Execute(&handler, &name);
    CheckNothingLeftOpen();
    if (changed) {
      FUZZ_CHECK(hostsim::TheHost().undoList.size() == undoSteps + 1);
      FUZZ_CHECK(hostsim::TheHost().undoList.back().name == TaskDescriptors[task].name);
    } else {
      FUZZ_CHECK(hostsim::TheHost().undoList.size() == undoSteps);
      FUZZ_CHECK(hostsim::SameScore(before, hostsim::Doc()));
    }
  }
  return 0;
}
