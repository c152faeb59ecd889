// Voice Leading: the plan of least motion over a passage (against an exhaustive search over
// every allowed voicing), and the task applied to the host's score through the undo block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "support/chords.h"
#include "support/moduleglobals.h"

#include "core/fcstring.h"
#include "data/fcui.h"
#include "fcchordshaperblockhandler.h"
#include "voiceleading.h"

using hostsim::TheHost;

namespace {

// Declared here, so that the names win over the Windows drawing call named Chord.
using voiceleading::Choose;
using voiceleading::Chord;
using voiceleading::Cost;
using voiceleading::Crossed;
using voiceleading::Faults;
using voiceleading::Motion;
using voiceleading::Note;
using voiceleading::Plan;
using voiceleading::PlanCost;
using voiceleading::Shifts;
using voiceleading::Voicings;

// The sounding key of a step of C major (C4 = 0 = key 60), as the host simulator has it.
int KeyOf(int step, int raiselower) {
  static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
  int octave = step >= 0 ? step / 7 : -((6 - step) / 7);
  return 60 + 12 * octave + major[step - 7 * octave] + raiselower;
}

// A chord of the given (step, alteration) pairs, its kept note found as the entry finds it.
Chord MakeChord(const std::vector<std::pair<int, int>>& notes, bool top, bool asWritten = false) {
  Chord c;
  for (const auto& p : notes) {
    Note n;
    n.step = p.first;
    n.raiselower = p.second;
    n.key = KeyOf(p.first, p.second);
    c.notes.push_back(n);
  }
  for (size_t i = 1; i < c.notes.size(); ++i) {
    const Note& n = c.notes[i];
    const Note& k = c.notes[c.kept];
    bool better = top ? (n.step > k.step || (n.step == k.step && n.raiselower > k.raiselower))
                      : (n.step < k.step || (n.step == k.step && n.raiselower < k.raiselower));
    if (better) c.kept = static_cast<int>(i);
  }
  c.asWritten = asWritten;
  return c;
}

Chord Plain(const std::vector<int>& steps, bool top, bool asWritten = false) {
  std::vector<std::pair<int, int>> notes;
  for (int s : steps)
    notes.push_back({s, 0});
  return MakeChord(notes, top, asWritten);
}

// Whether a voicing keeps the rules, worked out plainly: no unison the chord as written lacks;
// with top, no note below the one written lowest; upper voices within an octave when written so.
bool Keeps(const Chord& c, const std::vector<int>& shifts, bool top) {
  size_t n = c.notes.size();
  auto at = [&](size_t i, int s) {
    return std::make_pair(c.notes[i].step + 7 * s, c.notes[i].raiselower);
  };
  size_t low = 0;
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = i + 1; j < n; ++j)
      if (at(i, shifts[i]) == at(j, shifts[j]) && at(i, 0) != at(j, 0)) return false;
    if (at(i, 0) < at(low, 0)) low = i;
  }
  for (size_t i = 0; i < n; ++i)
    if (top && at(i, shifts[i]) < at(low, shifts[low])) return false;
  auto wide = [&](const std::vector<int>& s) {
    std::vector<int> keys;
    for (size_t i = 0; i < n; ++i)
      keys.push_back(c.notes[i].key + 12 * s[i]);
    std::sort(keys.begin(), keys.end());
    for (size_t k = 1; k + 1 < n; ++k)
      if (keys[k + 1] - keys[k] > 12) return true;
    return false;
  };
  return wide(std::vector<int>(n, 0)) || !wide(shifts);
}

// Every voicing of each note on its own over its shifts that keeps the rules (the chord as
// written when none does), every plan of them, and the least cost among them.
Cost Exhaustive(const std::vector<Chord>& passage, bool top, bool strict = false) {
  std::vector<std::vector<std::vector<int>>> allowed(passage.size());
  for (size_t c = 0; c < passage.size(); ++c) {
    std::vector<int> v(passage[c].notes.size(), 0);
    std::function<void(size_t)> each = [&](size_t i) {
      if (i == v.size()) {
        if (Keeps(passage[c], v, top)) allowed[c].push_back(v);
        return;
      }
      for (int s : Shifts(passage[c], static_cast<int>(i), top)) {
        v[i] = s;
        each(i + 1);
      }
    };
    each(0);
    if (allowed[c].empty()) allowed[c].push_back(std::vector<int>(v.size(), 0));
  }
  Plan plan(passage.size());
  Cost best;
  bool any = false;
  std::function<void(size_t)> walk = [&](size_t c) {
    if (c == passage.size()) {
      Cost cost = PlanCost(passage, plan, strict);
      if (!any || cost < best) best = cost;
      any = true;
      return;
    }
    for (const std::vector<int>& v : allowed[c]) {
      plan[c] = v;
      walk(c + 1);
    }
  };
  walk(0);
  return best;
}

double Combinations(const std::vector<Chord>& passage, bool top) {
  double n = 1;
  for (const Chord& c : passage)
    for (size_t i = 0; i < c.notes.size(); ++i)
      n *= static_cast<double>(Shifts(c, static_cast<int>(i), top).size());
  return n;
}

// Chord by chord: each voicing the least costly from the one chosen before.
Cost Greedy(const std::vector<Chord>& passage, bool top) {
  Plan plan;
  for (size_t c = 0; c < passage.size(); ++c) {
    std::vector<std::vector<int>> voicings = Voicings(passage[c], top);
    Cost best;
    std::vector<int> chosen;
    for (const std::vector<int>& v : voicings) {
      Plan trial(plan.begin() + (c ? c - 1 : 0), plan.end());
      std::vector<Chord> two(passage.begin() + (c ? c - 1 : 0), passage.begin() + c + 1);
      trial.push_back(v);
      Cost cost = PlanCost(two, trial);
      if (chosen.empty() || cost < best) {
        best = cost;
        chosen = v;
      }
    }
    plan.push_back(chosen);
  }
  return PlanCost(passage, plan);
}

std::vector<Chord> RandomPassage(std::mt19937& random, bool top) {
  std::uniform_int_distribution<int> chords(2, 8), notes(2, 5), step(-12, 16), alter(-3, 3),
      tie(0, 9);
  std::vector<Chord> passage;
  int count = chords(random);
  for (int c = 0; c < count; ++c) {
    std::vector<std::pair<int, int>> n;
    int size = notes(random);
    for (int i = 0; i < size; ++i) {
      int a = alter(random);
      n.push_back({step(random), a == -3 ? -1 : a == 3 ? 1 : 0});
    }
    Chord chord = MakeChord(n, top, c == 0);
    for (Note& note : chord.notes)
      note.fixed = tie(random) == 0;
    passage.push_back(chord);
  }
  return passage;
}

TEST(VoiceLeadingPlan, EqualsTheExhaustiveSearchOnShortRandomPassagesAndBeatsGreedy) {
  std::mt19937 random(20261207);
  int searched = 0, greedyWorse = 0, strictFewer = 0;
  for (int trial = 0; trial < 4000 && searched < 300; ++trial) {
    bool top = trial % 2 == 0;
    std::vector<Chord> passage = RandomPassage(random, top);
    if (Combinations(passage, top) > 4000) continue;
    ++searched;
    for (bool strict : {false, true}) {
      Cost total;
      Plan plan = Choose(passage, top, strict, &total);
      Cost exhaustive = Exhaustive(passage, top, strict);
      ASSERT_TRUE(exhaustive == total)
          << "trial " << trial << (strict ? " strict" : "") << ": faults " << total.faults << " vs "
          << exhaustive.faults << ", motion " << total.motion << " vs " << exhaustive.motion
          << ", crossed " << total.crossed << " vs " << exhaustive.crossed << ", moved "
          << total.moved << " vs " << exhaustive.moved;
      ASSERT_TRUE(PlanCost(passage, plan, strict) == total);
      for (size_t c = 0; c < passage.size(); ++c) {
        // A chord left as written (no voicing keeps the rules) may be out of reach.
        if (plan[c] == std::vector<int>(plan[c].size())) continue;
        EXPECT_TRUE(Keeps(passage[c], plan[c], top)) << "trial " << trial << ", chord " << c;
        for (size_t i = 0; i < passage[c].notes.size(); ++i) {
          std::vector<int> allowed = Shifts(passage[c], static_cast<int>(i), top);
          EXPECT_NE(allowed.end(), std::find(allowed.begin(), allowed.end(), plan[c][i]));
        }
      }
      if (strict) {
        strictFewer += PlanCost(passage, Choose(passage, top), true).faults > total.faults;
        continue;
      }
      Cost greedy = Greedy(passage, top);
      EXPECT_FALSE(greedy < total);
      if (total.motion < greedy.motion) ++greedyWorse;
    }
  }
  EXPECT_GE(searched, 300);
  EXPECT_GT(greedyWorse, 0) << "no passage where the chord-by-chord choice paints itself in";
  EXPECT_GT(strictFewer, 0) << "no passage where the strict choice avoids a fault";
}

// The plain dynamic programme: every voicing of a chord weighed against every voicing of the
// chord before. A voicing's way is taken from the voicing before that gives the least cost;
// among equal costs, from the one with the least cost so far, then the one made first.
Plan AllPairs(const std::vector<Chord>& passage, bool top, bool strict) {
  std::vector<std::vector<std::vector<int>>> voicings;
  std::vector<std::vector<std::vector<int>>> keys; // each voicing's keys ascending
  for (const Chord& chord : passage) {
    voicings.push_back(Voicings(chord, top));
    keys.emplace_back();
    for (const std::vector<int>& v : voicings.back()) {
      std::vector<int> k;
      for (size_t i = 0; i < v.size(); ++i)
        k.push_back(chord.notes[i].key + 12 * v[i]);
      std::sort(k.begin(), k.end());
      keys.back().push_back(k);
    }
  }
  auto moved = [](const std::vector<int>& v) {
    long long m = 0;
    for (int s : v)
      m += std::abs(s);
    return m;
  };
  std::vector<Cost> best;
  for (const std::vector<int>& v : voicings[0]) {
    Cost cost;
    cost.moved = moved(v);
    best.push_back(cost);
  }
  std::vector<std::vector<size_t>> back(passage.size());
  for (size_t c = 1; c < passage.size(); ++c) {
    std::vector<Cost> reach;
    for (size_t v = 0; v < voicings[c].size(); ++v) {
      const std::vector<int>& b = keys[c][v];
      size_t from = 0;
      Cost least;
      for (size_t u = 0; u < voicings[c - 1].size(); ++u) {
        const std::vector<int>& a = keys[c - 1][u];
        Cost way = best[u];
        way.motion +=
            Motion(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
        if (strict)
          way.faults +=
              Faults(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
        way.crossed +=
            Crossed(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
        way.moved += moved(voicings[c][v]);
        if (u == 0 || way < least || (way == least && best[u] < best[from])) {
          least = way;
          from = u;
        }
      }
      reach.push_back(least);
      back[c].push_back(from);
    }
    best.swap(reach);
  }
  size_t v = std::min_element(best.begin(), best.end()) - best.begin();
  Plan plan(passage.size());
  for (size_t c = passage.size(); c-- > 0;) {
    plan[c] = voicings[c][v];
    if (c > 0) v = back[c][v];
  }
  return plan;
}

// A passage as an arranger writes one: a line moving by steps with the other notes anywhere
// within two octaves and a half on the side of it, a few of them tied, sharpened or flattened,
// now and then a chord of another size. Chords of eight notes have up to 128 voicings each, so
// the weighing of many of them side by side is tried too.
std::vector<Chord> LongPassage(std::mt19937& random, bool top, int chords, int size = 6) {
  std::uniform_int_distribution<int> move(-2, 2), side(1, 17), sizes(0, 9), alter(-6, 6),
      tie(0, 29);
  std::vector<Chord> passage;
  int line = 7;
  for (int c = 0; c < chords; ++c) {
    line = std::max(0, std::min(14, line + move(random)));
    int notes = size, kind = sizes(random);
    if (kind == 0) notes = 2 + sizes(random) % 5;
    if (kind == 1) notes = size + 1;
    std::vector<std::pair<int, int>> n = {{line, 0}};
    for (int i = 1; i < notes; ++i) {
      int a = alter(random);
      n.push_back({top ? line - side(random) : line + side(random), a == -6 ? -1 : a == 6 ? 1 : 0});
    }
    Chord chord = MakeChord(n, top, c == 0);
    for (Note& note : chord.notes)
      note.fixed = tie(random) == 0;
    passage.push_back(chord);
  }
  return passage;
}

TEST(VoiceLeadingPlan, PicksTheSameVoicingsAsThePlainAllPairsProgrammeOnLongPassages) {
  std::mt19937 random(8000);
  for (int trial = 0; trial < 20; ++trial) {
    // Strict on every third, and on chords of twelve notes, whose pairs of voices pass
    // sixty-four.
    bool top = trial % 2 == 0, strict = trial % 3 == 0 || trial >= 16;
    std::vector<Chord> passage = trial < 12   ? LongPassage(random, top, 200)
                                 : trial < 16 ? LongPassage(random, top, 40, 8)
                                              : LongPassage(random, top, 40);
    if (trial >= 16) // twelve notes close together, all tied but three: few voicings
      for (size_t c = 0; c < passage.size(); ++c) {
        std::uniform_int_distribution<int> step(-9, 9);
        std::vector<int> steps;
        for (int i = 0; i < 12; ++i)
          steps.push_back(step(random));
        passage[c] = Plain(steps, top, c == 0);
        for (size_t i = 0; i < 12; ++i)
          passage[c].notes[i].fixed = i % 4 != c % 4;
      }
    Cost total;
    Plan plan = Choose(passage, top, strict, &total);
    Plan plain = AllPairs(passage, top, strict);
    for (size_t c = 0; c < passage.size(); ++c)
      ASSERT_EQ(plain[c], plan[c]) << "trial " << trial << ", chord " << c;
    EXPECT_TRUE(PlanCost(passage, plain, strict) == total) << "trial " << trial;
  }
}

TEST(VoiceLeadingPlan, HandMadePassagesEqualTheExhaustiveSearch) {
  // C E G -> F A C (written low) -> G B D -> C E G, melody kept.
  std::vector<Chord> cadence = {Plain({0, 2, 4}, true, true), Plain({-4, -2, 7}, true),
                                Plain({-3, -1, 8}, true), Plain({-7, -5, 2, 7}, true)};
  Cost total;
  Choose(cadence, true, &total);
  EXPECT_TRUE(Exhaustive(cadence, true) == total);
  // The bass kept: five-note chords over a walking bass.
  std::vector<Chord> bass = {Plain({-7, 0, 2, 4, 6}, false, true),
                             Plain({-6, 8, 10, 12, 13}, false), Plain({-5, -2, 0, 3, 5}, false),
                             Plain({-4, 10, 12, 14, 16}, false)};
  Choose(bass, false, &total);
  EXPECT_TRUE(Exhaustive(bass, false) == total);
}

TEST(VoiceLeadingDistance, SortedMatchingForOneSizeAndEveryNoteMatchedForTwo) {
  int a[] = {60, 64, 67}, b[] = {60, 65, 69};
  EXPECT_EQ(3, Motion(a, 3, b, 3));
  int two[] = {60, 67};
  EXPECT_EQ(3, Motion(two, 2, a, 3)); // E4 comes from C4 or G4, three semitones
  EXPECT_EQ(3, Motion(a, 3, two, 2));
  int wide[] = {48, 84};
  EXPECT_EQ(12 + 16 + 17, Motion(wide, 2, a, 3)); // C3 to C4 and E4, C6 to G4
  EXPECT_EQ(0, Motion(a, 0, b, 3));
}

TEST(VoiceLeadingDistance, CrossedCountsAVoicePassingWhereItsNeighbourWas) {
  int a[] = {60, 64}, up[] = {66, 72}, down[] = {54, 72};
  EXPECT_EQ(1, Crossed(a, 2, up, 2)); // the lower voice rises past E4
  EXPECT_EQ(0, Crossed(a, 2, down, 2));
  int c[] = {60, 64, 67}, d[] = {50, 55, 70};
  EXPECT_EQ(1, Crossed(c, 3, d, 3)); // the middle voice falls below C4
  EXPECT_EQ(0, Crossed(c, 3, c, 3));
}

TEST(VoiceLeadingShifts, NotesStayOnTheirSideWithinTwoOctavesOfTheKeptNote) {
  // Top C5 (7): D written at -20 may be D3 (-6) or D4 (1), not D5 (above) nor D2 (too far).
  Chord top = Plain({-20, 7}, true);
  EXPECT_EQ(std::vector<int>({2, 3}), Shifts(top, 0, true));
  EXPECT_EQ(std::vector<int>({0}), Shifts(top, 1, true)); // the kept note
  // Its own step: C5 itself, C4 and C3 (exactly two octaves); C#5 over the top C5 may not.
  Chord octaves = MakeChord({{0, 0}, {7, 1}, {7, 0}}, true);
  EXPECT_EQ(1, octaves.kept);
  Chord sharp = MakeChord({{0, 1}, {7, 0}}, true);
  EXPECT_EQ(std::vector<int>({-1, 0}), Shifts(sharp, 0, true)); // C#3, C#4; not C#5
  Chord flat = MakeChord({{0, -1}, {7, 0}}, true);
  EXPECT_EQ(std::vector<int>({-1, 0, 1}), Shifts(flat, 0, true)); // Cb3, Cb4, Cb5
  // The bass kept: above it only.
  Chord bottom = Plain({0, 2}, false);
  EXPECT_EQ(std::vector<int>({0, 1}), Shifts(bottom, 1, false)); // E4, E5; E6 is too far
  Chord fixed = Plain({-20, 7}, true);
  fixed.notes[0].fixed = true;
  EXPECT_EQ(std::vector<int>({0}), Shifts(fixed, 0, true)); // a tie keeps it where it is
  // Onto the kept note's pitch only when written there: C4 under C5 is C3 or C4, a C5 written
  // beside the top C5 may stay; over the bass C4, C5 goes to C5 or C6.
  EXPECT_EQ(std::vector<int>({-1, 0}), Shifts(Plain({0, 7}, true), 0, true));
  EXPECT_EQ(std::vector<int>({-2, -1, 0}), Shifts(Plain({7, 7}, true), 1, true));
  EXPECT_EQ(std::vector<int>({0, 1}), Shifts(Plain({0, 7}, false), 1, false));
}

TEST(VoiceLeadingShifts, AChordAsWrittenOrWithTooManyVoicingsHasOnlyItself) {
  Chord first = Plain({0, 2, 4}, true, true);
  EXPECT_EQ(1u, Voicings(first, true).size());
  // Two notes written on one pitch share their places: C3 C3 under C5 make three (C3 C3, C3 C4,
  // C4 C4), not four; C3 C4 under C5 never meet on one, and C3 stays lowest: only as written.
  EXPECT_EQ(3u, Voicings(Plain({-7, -7, 7}, true), true).size());
  EXPECT_EQ(1u, Voicings(Plain({-7, 0, 7}, true), true).size());
  std::vector<int> eleven;
  for (int s = 0; s < 11; ++s)
    eleven.push_back(s * 8 % 77 - 30); // eleven pitch classes spread wide
  eleven.push_back(40);
  Chord wide = Plain(eleven, true);
  std::vector<std::vector<int>> only = Voicings(wide, true);
  ASSERT_EQ(1u, only.size());
  EXPECT_EQ(std::vector<int>(12, 0), only[0]);
}

TEST(VoiceLeadingPlan, NoNewUnisonNoWideUpperVoicesTheInversionStaysAndStrictAvoidsFifths) {
  struct Case {
    const char* what;
    bool top, strict;
    std::vector<int> from, to, expected; // steps of the chord before, the chord, its result
  };
  const Case cases[] = {
      // Formerly E4 G4 C5 C5: a C moved onto the kept C5.
      {"no unison with the top", true, false, {2, 4, 7}, {0, 2, 4, 7}, {0, 2, 4, 7}},
      // Formerly A3 F4 C5: F, written lowest, stays lowest.
      {"the inversion stays", true, false, {0, 2, 4}, {-4, -2, 7}, {3, 5, 7}},
      // Formerly C3 F3 A4 after C3 G3 B4, F3 and A4 more than an octave apart.
      {"upper voices within an octave", false, false, {-7, -3, 6}, {-7, -2, 3}, {-7, -2, 3}},
      // Formerly C3 C3 E3 after C3 D3 F3: a C moved onto the kept bass.
      {"no unison with the bass", false, false, {-7, -6, -4}, {-7, 0, 2}, {-7, 0, -5}},
      // D4 A4 D5 moves least, in fifths and octaves with C4 G4 C5.
      {"parallels allowed", true, false, {0, 4, 7}, {-6, -2, 8}, {1, 5, 8}},
      {"parallels avoided", true, true, {0, 4, 7}, {-6, -2, 8}, {-6, 5, 8}},
  };
  for (const Case& c : cases) {
    std::vector<Chord> passage = {Plain(c.from, c.top, true), Plain(c.to, c.top)};
    Plan plan = Choose(passage, c.top, c.strict, nullptr);
    std::vector<int> steps;
    for (size_t i = 0; i < c.to.size(); ++i)
      steps.push_back(c.to[i] + 7 * plan[1][i]);
    EXPECT_EQ(c.expected, steps) << c.what;
  }
}

TEST(VoiceLeadingPlan, ChordsLeftAloneAreCountedByWhy) {
  // Nine notes within the bound are voiced; ten of nine pitches with two places each under C5
  // (512 ways) are not; and C2 C3 C4 under C5 cannot take three places among C3 and C4.
  std::vector<int> nine = {-10, -9, -8, -6, -5, -4, -3, -1, 7};
  Chord ten = MakeChord(
      {{1, 0}, {1, 1}, {2, 0}, {2, -1}, {3, 0}, {3, 1}, {4, 0}, {5, 0}, {5, -1}, {7, 0}}, true);
  std::vector<Chord> passage = {Plain({0, 2, 4}, true, true), Plain(nine, true), ten,
                                Plain({-14, -7, 0, 7}, true)};
  voiceleading::LeftAlone alone;
  Plan plan = Choose(passage, true, false, nullptr, &alone);
  EXPECT_NE(std::vector<int>(nine.size(), 0), plan[1]);
  EXPECT_EQ(1, alone.tooMany);
  EXPECT_EQ(1, alone.noVoicing);
  EXPECT_EQ(std::vector<int>(4, 0), plan[3]);
}

// The task through the undo block, against the host simulator's score.
class VoiceLeadingTask : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    GlobalUserSettings.bRespaceMusic = false;
    hostsim::NewDocument(2, 4);
  }

  void AddNotes(int16_t measure, int32_t pos, std::vector<hostsim::NoteSpec> notes,
                int16_t layer = 0, uint32_t flags = 0, int16_t staff = 1) {
    hostsim::EntrySpec e = testsupport::E(pos, std::move(notes));
    e.flags = flags;
    hostsim::AddEntry(staff, measure, layer, e);
  }
  void Add(int16_t measure, int32_t pos, std::vector<int16_t> steps, int16_t layer = 0) {
    hostsim::AddEntry(1, measure, layer, testsupport::Chord(pos, steps));
  }

  bool Run(bool top, int16_t lastMeasure = 4, int16_t lastSlot = 2,
           ChordsLeftAlone* alone = nullptr) {
    hostsim::SetSelection(1, 1, 0, lastSlot, lastMeasure, REGION_TO_END);
    FCUI ui(nullptr);
    FCChordShaperBlockHandler handler(VoiceLeading, top, &ui);
    FCString name(TaskDescriptors[VoiceLeading].name);
    FCUndoBlock block;
    bool ok = block.Execute(&handler, &name);
    if (alone) *alone = handler.GetChordsLeftAlone();
    EXPECT_TRUE(TheHost().framesOut.empty());
    EXPECT_EQ(0, FinaleEditDepth);
    return ok;
  }

  static std::vector<int> Steps(int16_t measure, size_t index, int16_t layer = 0,
                                int16_t staff = 1) {
    std::vector<int> out;
    const std::vector<EXENTRY>& cell = hostsim::Cell(staff, measure, layer);
    if (index >= cell.size()) return out;
    for (int i = 0; i < cell[index].notecount; ++i)
      out.push_back(cell[index].notes[i].displacement);
    return out;
  }
};

TEST_F(VoiceLeadingTask, TheMelodyStaysAndTheInnerNotesMoveTheLeastAsOneUndoStep) {
  Add(1, 0, {0, 2, 4});      // C4 E4 G4
  Add(1, 1024, {-4, -2, 7}); // F3 A3 C5: F4 A4 C5 moves 5 + 5 + 5 semitones, F staying lowest
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(std::vector<int>({0, 2, 4}), Steps(1, 0));
  EXPECT_EQ(std::vector<int>({3, 5, 7}), Steps(1, 1));
  ASSERT_EQ(1u, TheHost().undoList.size());
  EXPECT_EQ("Voice Leading", TheHost().undoList[0].name);
  EXPECT_EQ(ENTRY2_NOTESCHANGED, hostsim::Cell(1, 1, 0)[1].flags2 & ENTRY2_NOTESCHANGED);
  EXPECT_EQ(0, hostsim::Cell(1, 1, 0)[0].flags2 & ENTRY2_NOTESCHANGED);
}

TEST_F(VoiceLeadingTask, TheBassStaysAndTheUpperNotesMoveAboveIt) {
  Add(1, 0, {-7, 2, 4}); // C3 E4 G4
  Add(2, 0, {-3, 5, 7}); // F3 A4 C5 -> F3 A4 C4
  EXPECT_TRUE(Run(false));
  EXPECT_EQ(std::vector<int>({-3, 5, 0}), Steps(2, 0));
}

TEST_F(VoiceLeadingTask, SingleNotesAndRestsInsideDoNotEndThePassage) {
  Add(1, 0, {0, 2, 4});
  Add(1, 1024, {9});                    // a single note, left alone
  Add(1, 2048, std::vector<int16_t>{}); // a rest
  Add(2, 0, {-4, -2, 7});               // still led from the first chord
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(std::vector<int>({9}), Steps(1, 1));
  EXPECT_EQ(0u, hostsim::Cell(1, 1, 0)[2].flags & ENTRY_NOTE);
  EXPECT_EQ(std::vector<int>({3, 5, 7}), Steps(2, 0));
}

TEST_F(VoiceLeadingTask, EachLayerAndStaffIsAPassageOfItsOwn) {
  Add(1, 0, {0, 2, 4});
  Add(1, 1024, {-4, -2, 7});
  Add(1, 1024, {-4, -2, 7}, 1);                                      // layer 2's first chord: stays
  hostsim::AddEntry(2, 1, 0, testsupport::Chord(2048, {-4, -2, 7})); // staff 2's first too
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(std::vector<int>({3, 5, 7}), Steps(1, 1));
  EXPECT_EQ(std::vector<int>({-4, -2, 7}), Steps(1, 0, 1));
  EXPECT_EQ(std::vector<int>({-4, -2, 7}), Steps(1, 0, 0, 2));
}

TEST_F(VoiceLeadingTask, ATiedNoteStaysAtBothEndsOfItsTie) {
  using testsupport::N;
  hostsim::NoteSpec tiedF = N(-4);
  tiedF.flags |= NOTE_TIE;
  Add(1, 0, {0, 2, 4});
  AddNotes(1, 1024, {tiedF, N(-2), N(7)}); // F3 tied on: without the tie it would go to F4
  AddNotes(1, 2048, {N(-4), N(-2), N(8)});
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(std::vector<int>({-4, 5, 7}), Steps(1, 1));
  EXPECT_EQ(std::vector<int>({-4, 5, 8}), Steps(1, 2));
}

TEST_F(VoiceLeadingTask, EqualMotionGoesToFewerCrossedVoicesThenToTheChordAsWritten) {
  using testsupport::N;
  // From C4 E4, F#4 and F#3 under C5 both move 14 semitones; F#4 rises past E4.
  Add(1, 0, {0, 2});
  AddNotes(1, 1024, {N(3, 1), N(7)});
  // From E4 C5, Bb4 and Bb3 under C5 both move 6 and cross nothing: as written.
  AddNotes(2, 0, {N(2), N(7)}, 1);
  AddNotes(2, 1024, {N(-1, -1), N(7)}, 1);
  AddNotes(3, 0, {N(2), N(7)}, 0, 0, 2);
  AddNotes(3, 1024, {N(6, -1), N(7)}, 0, 0, 2);
  EXPECT_TRUE(Run(true));
  EXPECT_EQ(std::vector<int>({-4, 7}), Steps(1, 1));
  EXPECT_EQ(std::vector<int>({-1, 7}), Steps(2, 1, 1));
  EXPECT_EQ(std::vector<int>({6, 7}), Steps(3, 1, 0, 2));
}

TEST_F(VoiceLeadingTask, GraceNotesTwelveNoteChordsAndAFirstChordAloneAreLeftAlone) {
  using testsupport::N;
  Add(1, 0, {0, 2, 4});
  AddNotes(1, 1024, {N(-4), N(-2), N(7)}, 0, ENTRY_GRACENOTE);
  std::vector<int16_t> twelve = {-30, -29, -28, -27, -26, -25, -24, -23, -22, -21, -20, 7};
  Add(1, 2048, twelve);
  Add(3, 0, {-4, -2, 7}, 1); // layer 2: its only chord, the first
  Add(3, 0, twelve, 2);      // layer 3: a first chord of twelve notes, never voiced anyway
  ChordsLeftAlone alone;
  EXPECT_FALSE(Run(true, 4, 2, &alone)); // nothing to move: no undo step
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_EQ(1, alone.grace);
  EXPECT_EQ(1, alone.twelve);
  char said[128];
  alone.Describe(said, sizeof said);
  EXPECT_STREQ("1 chord of grace notes, 1 chord of twelve notes", said);
  EXPECT_EQ(std::vector<int>({-4, -2, 7}), Steps(1, 1));
  EXPECT_EQ(std::vector<int>(twelve.begin(), twelve.end()), Steps(1, 2));
}

TEST_F(VoiceLeadingTask, PassagesRunThroughManyCellsStavesAndLayersAndEveryChordIsReadFirst) {
  using testsupport::N;
  // Twelve measures, two staves of two layers each, and a third slot of no staff whose cells do
  // not load. Each lane leads from its first chord to one some measures on, past single notes
  // and rests, while the other lanes' cells come between.
  hostsim::NewDocument(2, 12, 2); // the current document from here on
  struct Lane {
    int16_t staff, layer, first, next;
  };
  const Lane lanes[] = {{1, 0, 1, 12}, {1, 1, 3, 9}, {2, 0, 2, 11}};
  for (const Lane& l : lanes) {
    hostsim::AddEntry(l.staff, l.first, l.layer, testsupport::Chord(0, {0, 2, 4}));
    for (int16_t m = l.first + 1; m < l.next; ++m) {
      hostsim::AddEntry(l.staff, m, l.layer, testsupport::Chord(0, {9}));
      hostsim::AddEntry(l.staff, m, l.layer, testsupport::Chord(1024, std::vector<int16_t>{}));
    }
    hostsim::AddEntry(l.staff, l.next, l.layer, testsupport::Chord(0, {-4, -2, 7}));
  }
  // The fourth lane ties F3 over the bar line into its next chord, where F3 stays.
  hostsim::NoteSpec tiedF = N(-4);
  tiedF.flags |= NOTE_TIE;
  AddNotes(5, 3072, {tiedF, N(2), N(4)}, 1, 0, 2);
  AddNotes(6, 0, {N(-4), N(-2), N(7)}, 1, 0, 2);
  hostsim::ClearCalls();
  EXPECT_TRUE(Run(true, 12, 3));
  for (const Lane& l : lanes) {
    EXPECT_EQ(std::vector<int>({0, 2, 4}), Steps(l.first, 0, l.layer, l.staff));
    EXPECT_EQ(std::vector<int>({3, 5, 7}), Steps(l.next, 0, l.layer, l.staff));
  }
  EXPECT_EQ(std::vector<int>({-4, 5, 7}), Steps(6, 0, 1, 2)); // untied: 3, 5, 7
  // Nothing is saved before every cell was read: the four shown layers of each cell of a staff.
  int loadsBeforeSaving = 0;
  for (const hostsim::CallRecord& call : hostsim::Calls()) {
    if (call.name == "FX_SaveTGF") break;
    loadsBeforeSaving += call.name == "FX_LoadTGF";
  }
  EXPECT_GE(loadsBeforeSaving, 12 * 2 * 4);
  EXPECT_GT(hostsim::CountCalls("FX_SaveTGF"), 0);
}

TEST_F(VoiceLeadingTask, OnlyTheSelectedMeasuresAreRead) {
  Add(1, 0, {0, 2, 4});
  Add(2, 0, {-4, -2, 7});
  Add(3, 0, {-4, -2, 7});
  hostsim::SetSelection(1, 2, 0, 1, 3, REGION_TO_END); // measure 2's chord is the first
  FCUI ui(nullptr);
  FCChordShaperBlockHandler handler(VoiceLeading, true, &ui);
  FCString name(TaskDescriptors[VoiceLeading].name);
  FCUndoBlock block;
  EXPECT_FALSE(block.Execute(&handler, &name)); // F3 A3 C5 twice: nothing moves
  EXPECT_EQ(std::vector<int>({-4, -2, 7}), Steps(3, 0));
}

} // namespace
