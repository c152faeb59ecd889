// Voice Leading against Drop 2nd on the same passage: 4,000 six-note chords on one staff (four
// to a measure, random inner notes under a random melody), each task applied as the tool window
// applies it (one undo block around the block handler, respacing on). Prints the least time of
// several applies of each and their ratio, all within this one run (goal: at most 3), and the
// ratio at a passage twice as long, which stays near the first when the work grows linearly.
//   build/bench/bench/voiceleading_bench [CHORDS] [RUNS]
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "data/fcundoblock.h"
#include "entry.h"
#include "fcchordshaperblockhandler.h"
#include "hostsim.h"
#include "score.h"
#include "voiceleading.h"

namespace {

const int CHORDS_PER_MEASURE = 4;
const int NOTES = 6;

// The sounding key of a step of C major (C4 = 0 = key 60), as the host simulator has it.
int KeyOf(int step) {
  static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
  int octave = step >= 0 ? step / 7 : -((6 - step) / 7);
  return 60 + 12 * octave + major[step - 7 * octave];
}

// The passage: a melody moving by small steps, five notes below it anywhere within two
// octaves and a half, so that most chords have inner notes to move. Also as the plan's chords,
// to time the choice alone.
hostsim::Document MakePassage(int chords, std::vector<voiceleading::Chord>* plain = nullptr) {
  hostsim::Reset();
  hostsim::SetLogging(false);
  int measures = (chords + CHORDS_PER_MEASURE - 1) / CHORDS_PER_MEASURE;
  hostsim::NewDocument(1, static_cast<int16_t>(measures));
  std::mt19937 random(4000);
  std::uniform_int_distribution<int> step(-2, 2), below(1, 17);
  int top = 7;
  for (int c = 0; c < chords; ++c) {
    top = std::max(0, std::min(14, top + step(random)));
    hostsim::EntrySpec e;
    e.pos = 1024 * (c % CHORDS_PER_MEASURE);
    e.notes.push_back({static_cast<int16_t>(top)});
    for (int i = 1; i < NOTES; ++i)
      e.notes.push_back({static_cast<int16_t>(top - below(random))});
    if (plain) {
      voiceleading::Chord chord;
      for (const auto& n : e.notes) {
        voiceleading::Note note;
        note.step = n.displacement;
        note.key = KeyOf(n.displacement);
        chord.notes.push_back(note);
      }
      chord.asWritten = c == 0;
      plain->push_back(chord);
    }
    hostsim::AddEntry(1, static_cast<int16_t>(c / CHORDS_PER_MEASURE + 1), 0, e);
  }
  hostsim::SetSelection(1, 1, 0, 1, static_cast<int16_t>(measures), REGION_TO_END);
  return hostsim::Doc();
}

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The least processor time of runs applies of the task to the passage, each on a fresh copy.
double Least(const hostsim::Document& passage, int task, int runs) {
  double least = 1e9;
  for (int r = 0; r < runs; ++r) {
    hostsim::Doc() = passage;
    hostsim::TheHost().undoList.clear();
    hostsim::TheHost().menuCommands.clear();
    GlobalUserSettings.bRespaceMusic = true;
    GlobalUserSettings.bFourNoteDropChords = false;
    FCUI ui(nullptr);
    FCString name(TaskDescriptors[task].name);
    FCChordShaperBlockHandler handler(task, true, &ui);
    FCUndoBlock block;
    double start = ThreadSeconds();
    bool changed = block.Execute(&handler, &name);
    double seconds = ThreadSeconds() - start;
    if (!changed) {
      fprintf(stderr, "%s changed nothing\n", TaskDescriptors[task].name);
      exit(1);
    }
    least = std::min(least, seconds);
  }
  return least;
}

// The least processor time of runs choices of the plan alone, without the walks over the score.
double LeastChoice(const std::vector<voiceleading::Chord>& passage, int runs) {
  double least = 1e9;
  for (int r = 0; r < runs; ++r) {
    double start = ThreadSeconds();
    voiceleading::Plan plan = voiceleading::Choose(passage, true);
    least = std::min(least, ThreadSeconds() - start);
    if (plan.size() != passage.size()) exit(1);
  }
  return least;
}

double Ratio(int chords, int runs, bool print) {
  std::vector<voiceleading::Chord> plain;
  hostsim::Document passage = MakePassage(chords, &plain);
  double drop = Least(passage, Drop2nd, runs);
  double lead = Least(passage, VoiceLeading, runs);
  double choice = LeastChoice(plain, runs);
  if (print)
    printf("%d six-note chords: Drop 2nd %.2f ms, Voice Leading %.2f ms, ratio %.2f; of it the "
           "choice alone %.2f ms (%.2f x Drop 2nd)\n",
           chords, drop * 1e3, lead * 1e3, lead / drop, choice * 1e3, choice / drop);
  return lead / drop;
}

} // namespace

int main(int argc, char** argv) {
  int chords = argc > 1 ? atoi(argv[1]) : 4000;
  int runs = argc > 2 ? atoi(argv[2]) : 15;
  if (chords < 8 || runs < 1) {
    fprintf(stderr, "usage: voiceleading_bench [CHORDS (8 or more)] [RUNS]\n");
    return 2;
  }
  Ratio(chords / 4, 2, false); // the first apply binds the bridge; not measured
  double ratio = Ratio(chords, runs, true);
  double twice = Ratio(2 * chords, runs, true);
  printf("Voice Leading over Drop 2nd: %.2f (goal: at most 3)  %s\n", ratio,
         ratio <= 3 ? "ok" : "OVER");
  printf("the ratio at twice the chords over the ratio at %d: %.2f (linear: near 1)\n", chords,
         twice / ratio);
  return 0;
}
