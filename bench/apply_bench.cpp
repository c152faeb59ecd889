// Applying each chord task to a selection of four-note chords, as the tool window does (one
// undo block around the block handler, respacing on), over about 10,000 and 100,000 entries.
//
// Counters:
//   entry        processor time per entry of the selection (the machine may be shared)
//   calls/cell   host calls per cell (one measure on one staff) of the selection
//   pluginPeakB  the most heap the plug-in held at once during an apply, above what it held
//                before the apply: every block is tagged with whether the plug-in or the host
//                asked for it (host services run behind counting wrappers)
//   framesPeak   the most entry frames handed out at once
//   changed      1 when the apply changed the score (and so respaced and ended the edit)
// The cost per entry and the memory held must not grow with the selection. Natively only: the
// wrappers rely on integer arguments travelling in registers, as on the 64-bit native targets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <new>
#include <utility>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "data/fcundoblock.h"
#include "entry.h"
#include "fcchordshaperblockhandler.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"
#include "winshim.h"

// ---- Heap attribution ---------------------------------------------------------------------
namespace {
int hostDepth = 0;        // host services on the stack
bool tracking = false;    // an apply is being measured
long long pluginLive = 0; // bytes the plug-in allocated while tracking and has not freed
long long pluginPeak = 0; // the most of them at once
long long hostCalls = 0;  // host services called while tracking
size_t framesPeak = 0;    // the most frames out at once while tracking

struct alignas(16) BlockHeader {
  size_t size;   // bytes asked for
  size_t plugin; // 1 when the plug-in asked for them while tracking
};

void* Allocate(size_t size) {
  BlockHeader* h = static_cast<BlockHeader*>(malloc(sizeof(BlockHeader) + size));
  if (!h) throw std::bad_alloc();
  h->size = size;
  h->plugin = tracking && hostDepth == 0;
  if (h->plugin) {
    pluginLive += static_cast<long long>(size);
    pluginPeak = std::max(pluginPeak, pluginLive);
  }
  return h + 1;
}

void Release(void* p) {
  if (!p) return;
  BlockHeader* h = static_cast<BlockHeader*>(p) - 1;
  if (h->plugin) pluginLive -= static_cast<long long>(h->size);
  free(h);
}
} // namespace

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  Release(p);
}

// ---- Host services behind counting wrappers ----------------------------------------------
// Every service the apply reaches takes integer and pointer arguments only, at most six of
// them with the version word, so one register-passing shape forwards them all natively.
namespace {
typedef int64_t (*Service)(int64_t, int64_t, int64_t, int64_t, int64_t, int64_t);

const char* const WRAPPED[] = {"FX_GetMaxLayers",     "FX_GetShowLayer",
                               "FX_SlotToInst",       "FX_InstToSlot",
                               "FX_LoadTGF",          "FX_SaveTGF",
                               "FX_FreeTGF",          "FX_DeleteEXENTRY",
                               "FX_NoteToMidi",       "FX_LoadEData",
                               "FX_NextEData",        "FX_GetCurERegions",
                               "FX_SetCurERegion",    "FX_GetCurrentEnigmaDocument",
                               "FX_StartFinaleEdit",  "FX_EndFinaleEdit",
                               "FX_CancelFinaleEdit", "FX_ExecuteMenuItem",
                               "FX_GetCurrentPartID", "FX_SetCurrentPartID",
                               "FX_GetNextPartID",    "FX_RedrawMusic"};
const int WRAPPED_COUNT = sizeof WRAPPED / sizeof WRAPPED[0];
void* originals[WRAPPED_COUNT]; // the simulator's own services
const size_t LOG_LIMIT = 4096;  // calls the simulator's log keeps at most

template <int I> int64_t Wrapper(int64_t a, int64_t b, int64_t c, int64_t d, int64_t e, int64_t f) {
  ++hostDepth;
  if (tracking) ++hostCalls;
  int64_t result = reinterpret_cast<Service>(originals[I])(a, b, c, d, e, f);
  --hostDepth;
  // The simulator logs every call for the tests; a bounded log keeps that instrument's own
  // memory from growing with the selection.
  if (hostsim::Calls().size() >= LOG_LIMIT) hostsim::ClearCalls();
  if (tracking) framesPeak = std::max(framesPeak, hostsim::TheHost().framesOut.size());
  return result;
}

template <int... I> void InstallWrappers(std::integer_sequence<int, I...>) {
  HMODULE host = GetModuleHandleA("FINALE.EXE");
  void* wrappers[] = {reinterpret_cast<void*>(&Wrapper<I>)...};
  for (int i = 0; i < WRAPPED_COUNT; ++i) {
    if (!originals[i]) originals[i] = reinterpret_cast<void*>(GetProcAddress(host, WRAPPED[i]));
    if (originals[i]) WinShim_RegisterProc(host, WRAPPED[i], wrappers[i]);
  }
}

// A Reset enters the simulator's own services again; the bridge binds each service once, so
// the wrappers go back in before anything is bound.
void ResetHost() {
  hostsim::Reset();
  InstallWrappers(std::make_integer_sequence<int, WRAPPED_COUNT>());
  LoadedTGFCounter = 0;
  FinaleEditDepth = 0;
}

// ---- The scores -------------------------------------------------------------------------
const int STAVES = 4;
const int ENTRIES_PER_CELL = 4;

// Four-note chords in turn, so that every task finds chords it changes: a close chord (drops,
// rotation, the edge tasks), a chord with a unison, one with an octave, an open chord.
const int16_t SHAPES[4][4] = {{0, 2, 4, 6}, {0, 4, 7, 7}, {0, 4, 7, 14}, {0, 4, 9, 11}};

struct Score {
  hostsim::Document document; // the score as generated, put back before every apply
  int entries;
  int cells;
};

Score& MakeScore(int entries) {
  static std::map<int, Score> made;
  auto it = made.find(entries);
  if (it != made.end()) return it->second;
  ResetHost();
  int measures = entries / (STAVES * ENTRIES_PER_CELL);
  hostsim::NewDocument(STAVES, measures);
  hostsim::AddPart({1, 2});
  hostsim::AddPart({3, 4});
  int n = 0;
  for (int16_t m = 1; m <= measures; ++m)
    for (int16_t s = 1; s <= STAVES; ++s)
      for (int i = 0; i < ENTRIES_PER_CELL; ++i, ++n) {
        hostsim::EntrySpec e;
        e.pos = 1024 * i;
        for (int16_t d : SHAPES[n % 4])
          e.notes.push_back({d});
        hostsim::AddEntry(s, m, 0, e);
      }
  hostsim::SetSelection(1, 1, 0, STAVES, static_cast<int16_t>(measures), REGION_TO_END);
  Score& score = made[entries];
  score.document = hostsim::Doc();
  score.entries = n;
  score.cells = measures * STAVES;
  return score;
}

// How the apply is bracketed: the whole undo block as the tool window runs it, or the block
// handler alone inside an edit opened and cancelled outside the timing. The second leaves out
// the simulator's copy of the whole document at the start of every edit (its rollback), which
// costs the host, not the plug-in, and grows with the document rather than the selection.
enum Bracket { WHOLE_UNDO_BLOCK, HANDLER_IN_OPEN_EDIT };

void Run(benchmark::State& state, Bracket bracket) {
  int task = static_cast<int>(state.range(0));
  Score& score = MakeScore(static_cast<int>(state.range(1)));
  ResetHost();
  GlobalUserSettings.bRespaceMusic = true;
  GlobalUserSettings.bFourNoteDropChords = false;
  hostsim::TheHost().documents.assign(1, score.document);
  hostsim::TheHost().currentDocument = 0;
  FCUI ui(nullptr);
  FCString name(TaskDescriptors[task].name);
  long long calls = 0, peak = 0;
  size_t frames = 0;
  bool changed = false;
  for (auto _ : state) {
    state.PauseTiming();
    hostsim::Doc() = score.document;
    hostsim::TheHost().undoList.clear();
    hostsim::TheHost().menuCommands.clear();
    hostsim::ClearCalls();
    if (bracket == HANDLER_IN_OPEN_EDIT) FX_StartFinaleEdit(name.GetCString());
    hostCalls = 0;
    framesPeak = 0;
    pluginLive = pluginPeak = 0;
    tracking = true;
    state.ResumeTiming();

    FCChordShaperBlockHandler handler(task, true, &ui);
    if (bracket == WHOLE_UNDO_BLOCK) {
      FCUndoBlock block;
      changed = block.Execute(&handler, &name);
    } else {
      changed = handler.Execute();
    }

    state.PauseTiming();
    tracking = false;
    if (bracket == HANDLER_IN_OPEN_EDIT) FX_CancelFinaleEdit();
    calls = std::max(calls, hostCalls);
    peak = std::max(peak, pluginPeak);
    frames = std::max(frames, framesPeak);
    if (LoadedTGFCounter != 0 || FinaleEditDepth != 0 || hostsim::TheHost().editOpen)
      state.SkipWithError("a frame or an edit was left open");
    state.ResumeTiming();
  }
  state.counters["entry"] = benchmark::Counter(static_cast<double>(score.entries),
                                               benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.counters["calls/cell"] = static_cast<double>(calls) / score.cells;
  state.counters["pluginPeakB"] = static_cast<double>(peak);
  state.counters["framesPeak"] = static_cast<double>(frames);
  state.counters["changed"] = changed ? 1 : 0;
  state.SetLabel(TaskDescriptors[task].name);
}

void BM_Apply(benchmark::State& state) {
  Run(state, WHOLE_UNDO_BLOCK);
}

void BM_ApplyInOpenEdit(benchmark::State& state) {
  Run(state, HANDLER_IN_OPEN_EDIT);
}

} // namespace

BENCHMARK(BM_Apply)
    ->ArgsProduct({benchmark::CreateDenseRange(0, TASKCOUNT - 1, 1), {10000, 100000}})
    ->ArgNames({"task", "entries"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_ApplyInOpenEdit)
    ->ArgsProduct({benchmark::CreateDenseRange(0, TASKCOUNT - 1, 1), {10000, 100000}})
    ->ArgNames({"task", "entries"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

BENCHMARK_MAIN();
