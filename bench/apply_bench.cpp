// Applying chord tasks to large selections of four-note chords in the host simulator, as the
// tool window does (one undo block around the block handler, respacing on), against a plain
// loop that makes the same change straight in the stored entries. After the benchmarks it
// prints five figures, each with its bound, all ratios or counts within this one run:
//   1. an apply over a plain loop at 100,000 entries, for Add Third, Drop 2nd, Delete Unisons
//      and Transpose Octave (Chord), once both were seen to give the same notes
//   2. the cost per entry from 1,000 to 1,000,000 entries: the slowest size over the fastest,
//      with the plain loop's beside it
//   3. the instructions a bound bridge call adds to a direct call of a do-nothing service,
//      counted by valgrind's callgrind (this program runs itself under it)
//   4. the plug-in's heap allocations per visited entry in an apply, and its peak heap at two
//      selection sizes
//   5. the host simulator's own work per call with logging off and no answer set:
//      instructions (callgrind) and allocations
// Times are the thread's processor time, the least of the iterations: the machine is shared.
// The counts of 4 need the host services behind counting wrappers, which would slow every
// host call; they are taken in a child process before anything binds the bridge, so that the
// timed applies call the simulator's services directly. Natively only: the wrappers rely on
// integer arguments travelling in registers, as on the 64-bit native targets.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <tuple>
#include <utility>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "data/fcundoblock.h"
#include "entry.h"
#include "fcchordshaperblockhandler.h"
#include "fxbridge.h"
#include "hostapi/fxhost.h"
#include "hostsim.h"
#include "nothing.h"
#include "score.h"
#include "winshim.h"

// ---- Heap attribution ---------------------------------------------------------------------
namespace {
int hostDepth = 0;          // host services on the stack (behind the wrappers)
bool tracking = false;      // an apply is being measured
long long pluginLive = 0;   // bytes the plug-in allocated while tracking and has not freed
long long pluginPeak = 0;   // the most of them at once
long long pluginAllocs = 0; // allocations the plug-in made while tracking
long long allocations = 0;  // every allocation of the process

struct alignas(16) BlockHeader {
  size_t size;   // bytes asked for
  size_t plugin; // 1 when the plug-in asked for them while tracking
};

void* Allocate(size_t size) {
  BlockHeader* h = static_cast<BlockHeader*>(malloc(sizeof(BlockHeader) + size));
  if (!h) throw std::bad_alloc();
  ++allocations;
  h->size = size;
  h->plugin = tracking && hostDepth == 0;
  if (h->plugin) {
    ++pluginAllocs;
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

namespace {

// ---- Host services behind counting wrappers (the child process only) -----------------------
// Every service the apply reaches takes integer and pointer arguments only, at most six of
// them with the version word, so one register-passing shape forwards them all natively.
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
bool wrapping = false;          // this process counts through the wrappers
long long hostCalls = 0;        // host services called while tracking
size_t framesPeak = 0;          // the most frames out at once while tracking

template <int I> int64_t Wrapper(int64_t a, int64_t b, int64_t c, int64_t d, int64_t e, int64_t f) {
  ++hostDepth;
  if (tracking) ++hostCalls;
  int64_t result = reinterpret_cast<Service>(originals[I])(a, b, c, d, e, f);
  --hostDepth;
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
// the wrappers go back in before anything is bound. Nothing here is a test: no logging.
void ResetHost() {
  hostsim::Reset();
  hostsim::SetLogging(false);
  if (wrapping) InstallWrappers(std::make_integer_sequence<int, WRAPPED_COUNT>());
  LoadedTGFCounter = 0;
  FinaleEditDepth = 0;
}

// ---- The scores -------------------------------------------------------------------------
// Ten staves at every size, so that a million entries take 25,000 measures.
const int STAVES = 10;
const int ENTRIES_PER_CELL = 4;
const int SIZES[] = {1000, 10000, 100000, 1000000};
const int RATIO_SIZE = 100000;
// The tasks that change one chord at a time, the ones measured here; Voice Leading holds a
// whole passage before it writes and has its own benchmark (voiceleading_bench).
const int CHORD_TASKS = VoiceLeading;
// The tasks the plain loop knows.
const int DIRECT_TASKS[] = {AddThird, Drop2nd, DeleteUnisons, TransposeOctaveChord};

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
  for (int m = 1; m <= measures; ++m)
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

// The host as it was before any apply, with the score in front.
void PutBack(const Score& score) {
  if (hostsim::TheHost().documents.size() != 1) {
    ResetHost();
    hostsim::TheHost().documents.assign(1, score.document);
    hostsim::TheHost().currentDocument = 0;
  }
  hostsim::Doc() = score.document;
  hostsim::TheHost().undoList.clear();
  hostsim::TheHost().menuCommands.clear();
}

// One apply of the task (first direction) as the tool window runs it; whether it changed the
// score.
bool Apply(int task) {
  GlobalUserSettings.bRespaceMusic = true;
  GlobalUserSettings.bFourNoteDropChords = false;
  FCUI ui(nullptr);
  FCString name(TaskDescriptors[task].name);
  FCChordShaperBlockHandler handler(task, true, &ui);
  FCUndoBlock block;
  return block.Execute(&handler, &name);
}

// ---- The plain loop ---------------------------------------------------------------------
bool Higher(const ENOTE& a, const ENOTE& b) {
  return a.displacement > b.displacement ||
         (a.displacement == b.displacement && a.raiselower > b.raiselower);
}

// The highest note, or the highest strictly lower than note `below`; -1 for none.
int Highest(const EXENTRY& e, int below) {
  int best = -1;
  for (int i = 0; i < e.notecount; ++i) {
    if (below >= 0 && !Higher(e.notes[below], e.notes[i])) continue;
    if (best < 0 || Higher(e.notes[i], e.notes[best])) best = i;
  }
  return best;
}

bool SamePitch(const ENOTE& a, const ENOTE& b) {
  return a.displacement == b.displacement && a.raiselower == b.raiselower;
}

bool DirectChange(int task, EXENTRY& e) {
  int n = e.notecount;
  switch (task) {
  case AddThird: {
    int top = Highest(e, -1);
    if (top < 0 || n >= MAX_NOTES) return false;
    ENOTE& added = e.notes[n];
    added = ENOTE();
    added.displacement = static_cast<twobyte>(e.notes[top].displacement + 2);
    added.raiselower = e.notes[top].raiselower;
    added.flags = NOTE_CREATED | (e.notes[top].flags & NOTE_TIE);
    e.notecount = static_cast<twobyte>(n + 1);
    return true;
  }
  case Drop2nd: {
    int second = n < 2 ? -1 : Highest(e, Highest(e, -1));
    if (second < 0) return false;
    e.notes[second].displacement = static_cast<twobyte>(e.notes[second].displacement - 7);
    return true;
  }
  case DeleteUnisons: {
    int kept = 0;
    for (int i = 0; i < n; ++i) {
      bool repeat = false;
      for (int j = 0; j < kept && !repeat; ++j)
        repeat = SamePitch(e.notes[j], e.notes[i]);
      if (!repeat) e.notes[kept++] = e.notes[i];
    }
    e.notecount = static_cast<twobyte>(kept);
    return kept < n;
  }
  case TransposeOctaveChord:
    if (n < 2) return false;
    for (int i = 0; i < n; ++i)
      e.notes[i].displacement = static_cast<twobyte>(e.notes[i].displacement + 7);
    return true;
  }
  return false;
}

// The same change as the task's apply over the whole score, straight in the stored entries.
void DirectLoop(int task, hostsim::Document& d) {
  for (auto& cell : d.cells)
    for (EXENTRY& e : cell.second)
      if ((e.flags & ENTRY_NOTE) && DirectChange(task, e)) e.flags2 |= ENTRY2_NOTESCHANGED;
}

// Whether two scores hold the same notes (count, displacement and alteration, in slot order)
// in every entry; cell layers without entries count as absent.
bool SameNotes(const hostsim::Document& a, const hostsim::Document& b) {
  auto filled = [](const hostsim::Document& d) {
    size_t n = 0;
    for (auto& c : d.cells)
      n += c.second.empty() ? 0 : 1;
    return n;
  };
  if (filled(a) != filled(b)) return false;
  for (auto& c : a.cells) {
    if (c.second.empty()) continue;
    auto other = b.cells.find(c.first);
    if (other == b.cells.end() || other->second.size() != c.second.size()) return false;
    for (size_t k = 0; k < c.second.size(); ++k) {
      const EXENTRY& x = c.second[k];
      const EXENTRY& y = other->second[k];
      if (x.notecount != y.notecount) return false;
      for (int i = 0; i < x.notecount; ++i)
        if (!SamePitch(x.notes[i], y.notes[i])) return false;
    }
  }
  return true;
}

// ---- Timing -------------------------------------------------------------------------------
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The least time per entry seen, by kind ('A' apply, 'D' plain loop), task and size.
std::map<std::tuple<char, int, int>, double> best;

void Keep(char kind, int task, int entries, double seconds) {
  double& b = best.emplace(std::make_tuple(kind, task, entries), 1e9).first->second;
  b = std::min(b, seconds / entries);
}

void BM_Apply(benchmark::State& state) {
  int task = static_cast<int>(state.range(0));
  const Score& score = MakeScore(static_cast<int>(state.range(1)));
  bool changed = false;
  for (auto _ : state) {
    PutBack(score);
    double start = ThreadSeconds();
    changed = Apply(task);
    double seconds = ThreadSeconds() - start;
    state.SetIterationTime(seconds);
    Keep('A', task, score.entries, seconds);
    if (LoadedTGFCounter != 0 || FinaleEditDepth != 0 || hostsim::TheHost().editOpen)
      state.SkipWithError("a frame or an edit was left open");
  }
  state.counters["entry"] = benchmark::Counter(static_cast<double>(score.entries),
                                               benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.counters["changed"] = changed ? 1 : 0;
  state.SetLabel(TaskDescriptors[task].name);
}

void BM_PlainLoop(benchmark::State& state) {
  int task = static_cast<int>(state.range(0));
  const Score& score = MakeScore(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    PutBack(score);
    double start = ThreadSeconds();
    DirectLoop(task, hostsim::Doc());
    double seconds = ThreadSeconds() - start;
    state.SetIterationTime(seconds);
    Keep('D', task, score.entries, seconds);
  }
  state.counters["entry"] = benchmark::Counter(static_cast<double>(score.entries),
                                               benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
  state.SetLabel(TaskDescriptors[task].name);
}

void DirectTasksAtEverySize(benchmark::internal::Benchmark* b) {
  for (int task : DIRECT_TASKS)
    for (int size : SIZES)
      b->Args({task, size});
}

void OtherTasks(benchmark::internal::Benchmark* b) {
  for (int task = 0; task < CHORD_TASKS; ++task)
    if (std::find(std::begin(DIRECT_TASKS), std::end(DIRECT_TASKS), task) == std::end(DIRECT_TASKS))
      b->Args({task, RATIO_SIZE});
}

// Long enough for a few iterations at a million entries: the least of them is kept.
BENCHMARK(BM_Apply)
    ->Apply(DirectTasksAtEverySize)
    ->ArgNames({"task", "entries"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.5);
BENCHMARK(BM_PlainLoop)
    ->Apply(DirectTasksAtEverySize)
    ->ArgNames({"task", "entries"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);
BENCHMARK(BM_Apply)
    ->Apply(OtherTasks)
    ->ArgNames({"task", "entries"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

// ---- Counted calls (run under callgrind) --------------------------------------------------
const int LOOP_CALLS = 1000000;
typedef fxhost::FX_GetMaxLayers* GetMaxLayersService;

extern "C" __attribute__((noinline)) int QvDirectCalls(int n) {
  int sum = 0;
  for (int i = 0; i < n; ++i)
    sum += NothingService(1, 1, FINALEVERSION);
  return sum;
}

extern "C" __attribute__((noinline)) int QvBridgedCalls(int n) {
  int sum = 0;
  for (int i = 0; i < n; ++i)
    sum += FX_GetKeySig(1, 1);
  return sum;
}

extern "C" __attribute__((noinline)) int QvServiceCalls(GetMaxLayersService service, int n) {
  int sum = 0;
  for (int i = 0; i < n; ++i)
    sum += service(FINALEVERSION);
  return sum;
}

extern "C" __attribute__((noinline)) int QvOwnWorkCalls(GetMaxLayersService service, int n) {
  int sum = 0;
  for (int i = 0; i < n; ++i)
    sum += service(FINALEVERSION);
  return sum;
}

GetMaxLayersService SimulatorsGetMaxLayers() {
  return reinterpret_cast<GetMaxLayersService>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("FINALE.EXE"), "FX_GetMaxLayers")));
}

// The four loops: the do-nothing service called directly and through the bridge (bound at the
// call before), the simulator's FX_GetMaxLayers with logging off and no answer set, and its
// own work alone.
int RunLoops() {
  ResetHost();
  WinShim_RegisterProc(GetModuleHandleA("FINALE.EXE"), "FX_GetKeySig",
                       reinterpret_cast<void*>(&NothingService));
  FX_GetKeySig(1, 1);
  volatile int sum = QvDirectCalls(LOOP_CALLS) + QvBridgedCalls(LOOP_CALLS) +
                     QvServiceCalls(SimulatorsGetMaxLayers(), LOOP_CALLS) +
                     QvOwnWorkCalls(&OwnWorkOfGetMaxLayers, LOOP_CALLS);
  (void)sum;
  return 0;
}

// Instructions callgrind counted inside the function, or -1 when valgrind did not run.
long long Instructions(const std::string& self, const char* function) {
  std::string out = "/tmp/qv_apply_bench." + std::to_string(getpid()) + "." + function;
  std::string command = "valgrind --tool=callgrind --callgrind-out-file=" + out +
                        " --toggle-collect=" + function + " " + self + " --loops >/dev/null 2>&1";
  if (system(command.c_str()) != 0) return -1;
  std::ifstream in(out);
  std::string line;
  long long count = -1;
  while (std::getline(in, line))
    if (line.rfind("summary:", 0) == 0 || line.rfind("totals:", 0) == 0)
      count = atoll(line.c_str() + line.find(':') + 1);
  std::remove(out.c_str());
  return count;
}

// ---- Allocation counts (the child process) ------------------------------------------------
struct Counts {
  double allocsPerEntry[CHORD_TASKS]; // at the ratio size
  long long peak[2][CHORD_TASKS];     // the plug-in's peak heap at 10,000 and 100,000 entries
  double callsPerCell;                // host calls per cell, the most of any task
  long long framesPeak;               // the most frames out at once
  long long serviceAllocsPerMillion;  // allocations of a million simulator calls, logging off
};

Counts CountAllocations() {
  Counts c = {};
  const int sizes[2] = {10000, RATIO_SIZE};
  // Once over a small score first: what the plug-in allocates at its first apply only (its
  // bindings, module-wide buffers) is no part of an apply's peak.
  for (int task = 0; task < CHORD_TASKS; ++task) {
    PutBack(MakeScore(SIZES[0]));
    Apply(task);
  }
  for (int s = 0; s < 2; ++s) {
    const Score& score = MakeScore(sizes[s]);
    for (int task = 0; task < CHORD_TASKS; ++task) {
      PutBack(score);
      pluginLive = pluginPeak = pluginAllocs = hostCalls = 0;
      framesPeak = 0;
      tracking = true;
      Apply(task);
      tracking = false;
      c.peak[s][task] = pluginPeak;
      c.allocsPerEntry[task] = static_cast<double>(pluginAllocs) / score.entries;
      c.callsPerCell = std::max(c.callsPerCell, static_cast<double>(hostCalls) / score.cells);
      c.framesPeak = std::max(c.framesPeak, static_cast<long long>(framesPeak));
    }
  }
  GetMaxLayersService service = reinterpret_cast<GetMaxLayersService>(originals[0]);
  long long before = allocations;
  QvServiceCalls(service, LOOP_CALLS);
  c.serviceAllocsPerMillion = allocations - before;
  return c;
}

// Runs the counts in a child process that wraps the services; false when it failed.
bool CountInChild(Counts* counts) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    wrapping = true;
    Counts c = CountAllocations();
    bool written = write(fds[1], &c, sizeof c) == static_cast<ssize_t>(sizeof c);
    _exit(written ? 0 : 1);
  }
  close(fds[1]);
  bool read_ = child > 0 && read(fds[0], counts, sizeof *counts) == sizeof *counts;
  close(fds[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return read_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// ---- The figures ----------------------------------------------------------------------------
const char* Verdict(bool ok) {
  return ok ? "within" : "OVER";
}

void PrintFigures(const Counts* counts, const std::string& self) {
  std::ifstream loadavg("/proc/loadavg");
  std::string load;
  std::getline(loadavg, load);
  printf("\nFigures (processor time, least of the iterations; load average %s)\n", load.c_str());

  printf("1. apply through the undo block / plain loop, %d entries (bound 4):\n", RATIO_SIZE);
  for (int task : DIRECT_TASKS) {
    const Score& score = MakeScore(RATIO_SIZE);
    PutBack(score);
    Apply(task);
    hostsim::Document applied = hostsim::Doc();
    hostsim::Document direct = score.document;
    DirectLoop(task, direct);
    bool same = SameNotes(applied, direct);
    double ratio =
        best[std::make_tuple('A', task, RATIO_SIZE)] / best[std::make_tuple('D', task, RATIO_SIZE)];
    printf("   %-26s %5.2f  %s; same notes as the plain loop: %s\n", TaskDescriptors[task].name,
           ratio, Verdict(ratio <= 4 && same), same ? "yes" : "NO");
  }

  printf("2. cost per entry, slowest size over fastest, 1,000 to 1,000,000 entries (bound 1.20);\n"
         "   the plain loop's beside it, for how the memory alone changes the cost:\n");
  for (int task : DIRECT_TASKS) {
    double lo[2] = {1e9, 1e9}, hi[2] = {0, 0};
    printf("   %-26s", TaskDescriptors[task].name);
    for (int k = 0; k < 2; ++k) {
      for (int size : SIZES) {
        double t = best[std::make_tuple(k == 0 ? 'A' : 'D', task, size)];
        lo[k] = std::min(lo[k], t);
        hi[k] = std::max(hi[k], t);
        printf(" %5.1f", t * 1e9);
      }
      printf(k == 0 ? " ns/entry %5.2f %-6s plain loop" : " ns/entry %5.2f\n", hi[k] / lo[k],
             Verdict(hi[0] / lo[0] <= 1.2));
    }
  }

  long long direct = Instructions(self, "QvDirectCalls");
  long long bridged = Instructions(self, "QvBridgedCalls");
  long long service = Instructions(self, "QvServiceCalls");
  long long ownWork = Instructions(self, "QvOwnWorkCalls");
  if (direct < 0 || bridged < 0 || service < 0 || ownWork < 0) {
    printf("3. and 5. not counted: valgrind did not run\n");
  } else {
    double extra = static_cast<double>(bridged - direct) / LOOP_CALLS;
    printf("3. a bound bridge call: %.2f instructions more than a direct call (bound 10)  %s\n",
           extra, Verdict(extra <= 10));
  }

  if (!counts) {
    printf("4. not counted: the counting process failed\n");
  } else {
    double most = 0;
    int worst = 0;
    bool flat = true;
    for (int task = 0; task < CHORD_TASKS; ++task) {
      if (counts->allocsPerEntry[task] > most) worst = task;
      most = std::max(most, counts->allocsPerEntry[task]);
      flat = flat && counts->peak[0][task] == counts->peak[1][task];
    }
    printf("4. plug-in heap allocations per visited entry, most of the 16 tasks: %.4f (%s; "
           "bound 1)  %s\n",
           most, TaskDescriptors[worst].name, Verdict(most <= 1));
    printf("   plug-in peak heap at 10,000 and 100,000 entries: %lld and %lld bytes (most of the "
           "tasks; equal for every task: %s)  %s\n",
           *std::max_element(counts->peak[0], counts->peak[0] + CHORD_TASKS),
           *std::max_element(counts->peak[1], counts->peak[1] + CHORD_TASKS), flat ? "yes" : "NO",
           Verdict(flat));
    printf("   host calls per cell: %.1f; frames out at once: %lld\n", counts->callsPerCell,
           counts->framesPeak);
  }

  if (service >= 0 && ownWork >= 0 && counts) {
    double extra = static_cast<double>(service - ownWork) / LOOP_CALLS;
    double allocs = static_cast<double>(counts->serviceAllocsPerMillion) / LOOP_CALLS;
    printf("5. the simulator's FX_GetMaxLayers, logging off and no answer set: %.2f instructions "
           "over its own work (bound 6: two flag tests), %.4f allocations per call (bound 0)  %s\n",
           extra, allocs, Verdict(extra <= 6 && allocs == 0));
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "--loops") == 0) return RunLoops();
  // --no-figures: the benchmarks alone (for a profiler, or a quick look at one of them).
  bool figures = !(argc > 1 && strcmp(argv[1], "--no-figures") == 0);
  if (!figures) {
    argv[1] = argv[0];
    --argc;
    ++argv;
  }
  // Before anything binds the bridge: the child binds it to the wrappers, this process not.
  Counts counts;
  bool counted = figures && CountInChild(&counts);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!figures) return 0;
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) strcpy(self, argv[0]);
  PrintFigures(counted ? &counts : nullptr, self);
  return 0;
}
