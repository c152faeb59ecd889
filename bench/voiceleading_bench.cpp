// Voice Leading against Drop 2nd on the same passage: 4,000 six-note chords on one staff (four
// to a measure, random inner notes under a random melody), each task applied as the tool window
// applies it (one undo block around the block handler, respacing on). Prints the least time of
// several applies of each and their ratio, all within this one run (goal: at most 3), and the
// ratio at a passage twice as long, which stays near the first when the work grows linearly.
// It also times two parts of the work of an exact choice, each alone: weighing the motion of every
// way between the voicings of consecutive chords (which the least total over the passage needs)
// and counting the crossed voices of the way kept for each voicing (which its first tie-break
// needs), to judge the goal against them. Last, the whole command (qvhost --score, a child
// process) on the same passage as a MusicXML file: reading, Voice Leading and writing against
// the same with Drop 2nd (goal: at most 1.5), with and without the strict setting.
//   build/bench/bench/voiceleading_bench [CHORDS] [RUNS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include "core/fcstring.h"
#include "data/fcui.h"
#include "data/fcundoblock.h"
#include "entry.h"
#include "fcchordshaperblockhandler.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"
#include "voiceleading.h"

namespace {

const int CHORDS_PER_MEASURE = 4;
const int NOTES = 6;

// The passage's chords, each its notes' displacements (C4 = 0): a melody moving by small
// steps, five notes below it anywhere within two octaves and a half, so that most chords have
// inner notes to move.
std::vector<std::vector<int>> PassageSteps(int chords) {
  std::vector<std::vector<int>> out;
  std::mt19937 random(4000);
  std::uniform_int_distribution<int> step(-2, 2), below(1, 17);
  int top = 7;
  for (int c = 0; c < chords; ++c) {
    top = std::max(0, std::min(14, top + step(random)));
    out.push_back({top});
    for (int i = 1; i < NOTES; ++i)
      out.back().push_back(top - below(random));
  }
  return out;
}

// The passage in the host. Also as the plan's chords, to time the choice alone.
hostsim::Document MakePassage(int chords, std::vector<voiceleading::Chord>* plain = nullptr) {
  hostsim::Reset();
  hostsim::SetLogging(false);
  int measures = (chords + CHORDS_PER_MEASURE - 1) / CHORDS_PER_MEASURE;
  hostsim::NewDocument(1, static_cast<int16_t>(measures));
  std::vector<std::vector<int>> steps = PassageSteps(chords);
  for (int c = 0; c < chords; ++c) {
    hostsim::EntrySpec e;
    e.pos = 1024 * (c % CHORDS_PER_MEASURE);
    for (int d : steps[c])
      e.notes.push_back({static_cast<int16_t>(d)});
    if (plain) {
      voiceleading::Chord chord;
      for (const auto& n : e.notes) {
        voiceleading::Note note;
        note.step = n.displacement;
        ENOTE slot{};
        slot.displacement = n.displacement;
        note.key = FX_NoteToMidi(&slot, 0); // as the task reads it, in C major
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

// One chord's voicings as the weighing below takes them: each one's keys ascending, by place
// (place k of voicing u at k * stride + u), as bytes above the chord's lowest key, padded to
// sixteen voicings; and the places where they differ, one after another, the same way.
struct Columns {
  int count = 0, notes = 0, stride = 0, base = 0;
  std::vector<uint8_t> bytes, differing;
  std::vector<int> differ; // which places differ
};

Columns MakeColumns(const voiceleading::Chord& chord) {
  Columns c;
  std::vector<std::vector<int>> voicings = voiceleading::Voicings(chord, true);
  c.count = static_cast<int>(voicings.size());
  c.notes = static_cast<int>(chord.notes.size());
  c.stride = (c.count + 15) / 16 * 16;
  std::vector<std::vector<int>> keys;
  c.base = 1 << 30;
  for (const std::vector<int>& shifts : voicings) {
    std::vector<int> k;
    for (int i = 0; i < c.notes; ++i)
      k.push_back(chord.notes[i].key + 12 * shifts[i]);
    std::sort(k.begin(), k.end());
    c.base = std::min(c.base, k[0]);
    keys.push_back(k);
  }
  c.bytes.assign(static_cast<size_t>(c.notes) * c.stride, 0);
  // The lanes past the last voicing repeat it, so that the least way is always a voicing's.
  keys.resize(c.stride, keys.back());
  for (int u = 0; u < c.stride; ++u)
    for (int k = 0; k < c.notes; ++k) {
      int above = keys[u][k] - c.base;
      if (above > 255) exit(1); // the passage keeps every chord within two and a half octaves
      c.bytes[static_cast<size_t>(k) * c.stride + u] = static_cast<uint8_t>(above);
    }
  for (int k = 0; k < c.notes; ++k)
    for (int u = 1; u < c.count; ++u)
      if (keys[u][k] != keys[0][k]) {
        c.differ.push_back(k);
        const uint8_t* column = &c.bytes[static_cast<size_t>(k) * c.stride];
        c.differing.insert(c.differing.end(), column, column + c.stride);
        break;
      }
  return c;
}

// For every voicing here, the voicing before whose way to it moves the least, into kept: the
// motion of every way, sixteen at an instruction, over the places where the voicings before
// differ (the others add the same to every way).
void LeastWays(const Columns& before, const Columns& here, uint8_t* into, uint8_t* kept) {
  int places = static_cast<int>(before.differ.size()), count = here.count;
  for (int p = 0; p < places; ++p) {
    const uint8_t* keys = &here.bytes[static_cast<size_t>(before.differ[p]) * here.stride];
    for (int v = 0; v < count; ++v)
      into[p * count + v] =
          static_cast<uint8_t>(std::max(0, std::min(255, here.base + keys[v] - before.base)));
  }
  static const uint8_t nothing[256] = {}; // no motion so far
  for (int v = 0; v < count; ++v) {
    uint8_t keys[12], sums[256];
    for (int p = 0; p < places; ++p)
      keys[p] = into[p * count + v];
    uint8_t low = voiceleading::WaysInBytes(before.differing.data(), before.stride, keys, places,
                                            nothing, sums);
    kept[v] =
        static_cast<uint8_t>(static_cast<const uint8_t*>(memchr(sums, low, before.count)) - sums);
  }
}

// The crossed voices of the way from voicing u before to voicing v here, as Crossed counts
// them, read straight from the columns.
int CrossedWay(const Columns& before, int u, const Columns& here, int v) {
  const uint8_t* a = &before.bytes[u];
  const uint8_t* b = &here.bytes[v];
  int lift = here.base - before.base, crossed = 0;
  for (int k = 0; k + 1 < here.notes; ++k) {
    int a0 = a[k * before.stride], a1 = a[(k + 1) * before.stride];
    int b0 = b[k * here.stride] + lift, b1 = b[(k + 1) * here.stride] + lift;
    crossed += static_cast<int>(b0 > a1) + static_cast<int>(b1 < a0);
  }
  return crossed;
}

// The least processor time of weighing every way of the passage, and of counting the crossed
// voices of the way kept for each voicing, done here without making the voicings, breaking ties
// or keeping the way back.
void TwoParts(const std::vector<voiceleading::Chord>& passage, int runs, double* weigh,
              double* cross) {
  std::vector<Columns> chords;
  long long ways = 0;
  for (const voiceleading::Chord& chord : passage) {
    chords.push_back(MakeColumns(chord));
    if (chords.size() > 1)
      ways += static_cast<long long>(chords[chords.size() - 2].count) * chords.back().count;
  }
  std::vector<uint8_t> kept(chords.size() * 256), into(12 * 256);
  *weigh = *cross = 1e9;
  long long crossed = 0;
  for (int r = 0; r < runs; ++r) {
    double start = ThreadSeconds();
    for (size_t c = 1; c < chords.size(); ++c)
      LeastWays(chords[c - 1], chords[c], into.data(), &kept[c * 256]);
    double middle = ThreadSeconds();
    for (size_t c = 1; c < chords.size(); ++c)
      for (int v = 0; v < chords[c].count; ++v)
        crossed += CrossedWay(chords[c - 1], kept[c * 256 + v], chords[c], v);
    double end = ThreadSeconds();
    *weigh = std::min(*weigh, middle - start);
    *cross = std::min(*cross, end - middle);
  }
  // The counts are printed so that no step of them is left out as unused.
  printf("%lld ways between voicings of consecutive chords, %.0f a chord; crossed voices of the "
         "ways kept over %d runs: %lld\n",
         ways, static_cast<double>(ways) / static_cast<double>(passage.size() - 1), runs, crossed);
}

// The passage as a MusicXML file: one part, quarter-note chords, four a measure, in C major.
bool WritePassage(const std::string& path, int chords) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n"
                  "<part-list><score-part id=\"P1\"><part-name>Piano</part-name></score-part>"
                  "</part-list>\n<part id=\"P1\">\n";
  std::vector<std::vector<int>> steps = PassageSteps(chords);
  for (int c = 0; c < chords; ++c) {
    if (c % CHORDS_PER_MEASURE == 0) {
      if (c) s += "</measure>\n";
      s += "<measure number=\"" + std::to_string(c / CHORDS_PER_MEASURE + 1) + "\">\n";
      if (c == 0)
        s += "<attributes><divisions>1</divisions><key><fifths>0</fifths></key></attributes>\n";
    }
    for (size_t i = 0; i < steps[c].size(); ++i) {
      int d = steps[c][i], octave = d >= 0 ? d / 7 : -((6 - d) / 7);
      s += std::string("<note>") + (i ? "<chord/>" : "") + "<pitch><step>" +
           "CDEFGAB"[d - 7 * octave] + "</step><octave>" + std::to_string(4 + octave) +
           "</octave></pitch><duration>1</duration><voice>1</voice><type>quarter</type></note>\n";
    }
  }
  s += "</measure>\n</part>\n</score-partwise>\n";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(s.data(), 1, s.size(), f) == s.size();
  return fclose(f) == 0 && ok;
}

// The least processor time (user and system) of runs of the command on the file, each a child
// process: qvhost --score IN --task TASK --out OUT, and --strict when asked.
double LeastCommand(const std::string& in, const std::string& out, const char* task, bool strict,
                    int runs) {
  double least = 1e9;
  for (int r = 0; r < runs; ++r) {
    fflush(stdout); // what is printed so far is not the child's to print again
    pid_t pid = fork();
    if (pid == 0) {
      if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
      execl(QV_HOST_PATH, QV_HOST_PATH, QV_PLUGIN_PATH, "--score", in.c_str(), "--task", task,
            "--out", out.c_str(), strict ? "--strict" : static_cast<char*>(nullptr),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      fprintf(stderr, "the command failed on %s with %s\n", in.c_str(), task);
      exit(1);
    }
    least = std::min(least, usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
  }
  return least;
}

// The whole command with Voice Leading (plain and strict) over the same with Drop 2nd.
double CommandRatio(int chords, int runs) {
  std::string dir = "/tmp/qvleadbench." + std::to_string(getpid());
  std::string in = dir + "/passage.musicxml", out = dir + "/out.musicxml";
  if (system(("mkdir -p " + dir).c_str()) != 0 || !WritePassage(in, chords)) exit(1);
  double drop = LeastCommand(in, out, "Drop 2nd", false, runs);
  double lead = LeastCommand(in, out, "Voice Leading", false, runs);
  double strict = LeastCommand(in, out, "Voice Leading", true, runs);
  if (system(("rm -rf " + dir).c_str()) != 0) exit(1);
  printf("the whole command on %d six-note chords: Drop 2nd %.1f ms, Voice Leading %.1f ms "
         "(ratio %.2f), strict %.1f ms (ratio %.2f)\n",
         chords, drop * 1e3, lead * 1e3, lead / drop, strict * 1e3, strict / drop);
  return lead / drop;
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
  if (print && chords < 8000) {
    double weigh = 0, cross = 0;
    TwoParts(plain, runs, &weigh, &cross);
    printf("two parts of an exact choice, each alone: weighing every way %.2f ms (%.2f x "
           "Drop 2nd), counting the crossed voices of each way kept %.2f ms (%.2f x); with one "
           "walk over the score (Drop 2nd itself) that is %.2f x, before the voicings are made\n",
           weigh * 1e3, weigh / drop, cross * 1e3, cross / drop, 1 + (weigh + cross) / drop);
  }
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
  double whole = CommandRatio(chords, std::max(3, runs / 3));
  printf("the whole command, Voice Leading over Drop 2nd: %.2f (goal: at most 1.5)  %s\n", whole,
         whole <= 1.5 ? "ok" : "OVER");
  return 0;
}
