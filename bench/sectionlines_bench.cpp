// Explode and Reduce against Drop 2nd on a score of 500 measures and four staves in the host
// simulator, each applied as the tool window applies it (one undo block, respacing on). Prints
// each task's time over Drop 2nd's on the same selection, the least of several applies each,
// measured in this one run; the goal is a ratio of 2 or less.
// build/bench/bench/sectionlines_bench [MEASURES] [REPEATS]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "data/fcundoblock.h"
#include "fcchordshaperblockhandler.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"

namespace {

const int16_t STAVES = 4;

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// Four-note chords on the top staff, four to a measure, quarter rests on the staves below.
hostsim::Document ChordScore(int16_t measures) {
  hostsim::Reset();
  hostsim::SetLogging(false);
  hostsim::NewDocument(STAVES, measures);
  const int16_t shapes[4][4] = {{0, 2, 4, 6}, {-1, 1, 4, 6}, {0, 4, 7, 9}, {-3, 1, 3, 5}};
  for (int m = 1; m <= measures; ++m)
    for (int16_t s = 1; s <= STAVES; ++s)
      for (int i = 0; i < 4; ++i) {
        hostsim::EntrySpec e;
        e.pos = 1024 * i;
        if (s == 1)
          for (int16_t d : shapes[(m + i) % 4])
            e.notes.push_back({d});
        hostsim::AddEntry(s, m, 0, e);
      }
  hostsim::SetSelection(1, 1, 0, STAVES, measures, REGION_TO_END);
  return hostsim::Doc();
}

bool Apply(int task) {
  GlobalUserSettings.bRespaceMusic = true;
  FCUI ui(nullptr);
  FCChordShaperBlockHandler handler(task, true, &ui);
  FCString name(TaskDescriptors[task].name);
  FCUndoBlock block;
  return block.Execute(&handler, &name);
}

// The least time of repeats applies of the task, each on the score given.
double Time(int task, const hostsim::Document& score, int repeats) {
  double best = 1e9;
  for (int r = 0; r < repeats; ++r) {
    hostsim::Doc() = score;
    hostsim::TheHost().undoList.clear();
    hostsim::TheHost().menuCommands.clear();
    double start = ThreadSeconds();
    bool changed = Apply(task);
    best = std::min(best, ThreadSeconds() - start);
    if (!changed) {
      fprintf(stderr, "%s changed nothing\n", TaskDescriptors[task].name);
      exit(1);
    }
  }
  return best;
}

} // namespace

int main(int argc, char** argv) {
  int16_t measures = static_cast<int16_t>(argc > 1 ? atoi(argv[1]) : 500);
  int repeats = argc > 2 ? atoi(argv[2]) : 7;
  if (measures < 1 || repeats < 1) {
    fprintf(stderr, "usage: %s [MEASURES] [REPEATS]\n", argv[0]);
    return 2;
  }
  hostsim::Document chords = ChordScore(measures);
  double drop = Time(Drop2nd, chords, repeats);
  double explode = Time(Explode, chords, repeats);
  // Reduce gathers the lines Explode dealt.
  hostsim::Doc() = chords;
  Apply(Explode);
  hostsim::Document lines = hostsim::Doc();
  double reduce = Time(Reduce, lines, repeats);
  printf("%d measures, %d staves, least of %d applies each\n", measures, STAVES, repeats);
  printf("Drop 2nd  %.2f ms\n", drop * 1e3);
  printf("Explode   %.2f ms  %.2fx Drop 2nd (goal 2x or less)\n", explode * 1e3, explode / drop);
  printf("Reduce    %.2f ms  %.2fx Drop 2nd (goal 2x or less)\n", reduce * 1e3, reduce / drop);
  return explode / drop <= 2 && reduce / drop <= 2 ? 0 : 1;
}
