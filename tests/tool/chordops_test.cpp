// The chord operations on entries built over records in memory, as the browser hands
// them over: the visitor runs the task, then the entry is packed.
#include "support/moduleglobals.h"

#include "data/fcnoteentry.h"
#include "fcnoteentryprocessinghandler.h"

#include <algorithm>
#include <cstring>

namespace {

struct P {
  twobyte d;      // displacement
  twobyte rl = 0; // raise/lower
  FLAG_32 flags = NOTE_CREATED;
};

// One entry record with its view, as a cell would hold it.
struct Chord {
  explicit Chord(std::initializer_list<P> pitches, bool note = true) : entry(&rec, nullptr, 1, 1) {
    Fill(pitches, note);
  }
  Chord() : entry(&rec, nullptr, 1, 1) { Fill(std::vector<P>(), true); }
  // Twelve notes 0, 1, ... 11.
  static void Twelve(Chord& c) {
    std::vector<P> all;
    for (twobyte i = 0; i < MAX_NOTES; ++i)
      all.push_back({i});
    c.Fill(all, true);
  }
  template <typename List> void Fill(const List& pitches, bool note) {
    memset(&rec, 0, sizeof rec);
    rec.entnum = 77;
    rec.duration = 1024;
    rec.measurepos = 256;
    if (note) rec.flags = ENTRY_NOTE;
    twobyte i = 0;
    for (const P& p : pitches) {
      rec.notes[i].displacement = p.d;
      rec.notes[i].raiselower = p.rl;
      rec.notes[i].noteID = static_cast<twobyte>(i + 1);
      rec.notes[i].flags = p.flags;
      ++i;
    }
    rec.notecount = i;
    entry._UpdateNoteCollection();
  }
  // Displacements left in the record, slot order.
  std::vector<int> D() const {
    std::vector<int> out;
    for (int i = 0; i < rec.notecount; ++i)
      out.push_back(rec.notes[i].displacement);
    return out;
  }
  // Values of slot i, copied out of the packed record.
  FLAG_32 Flags(int i) const { return rec.notes[i].flags; }
  int Rl(int i) const { return rec.notes[i].raiselower; }
  int Id(int i) const { return rec.notes[i].noteID; }
  int Disp(int i) const { return rec.notes[i].displacement; }
  int Count() const { return rec.notecount; }

  EXENTRY rec;
  FCNoteEntry entry;
};

class ChordOps : public ModuleHost {
protected:
  // Visits the entry with the task as the browser does; answers whether the visitor reported
  // a change, and checks that the entry's flag says the same.
  bool Apply(int task, bool top, Chord& chord, const ChordRules& rules = ChordRules()) {
    FCNoteEntryProcessingHandler handler(task, top, rules);
    EXPECT_TRUE(handler.Iterate(&chord.entry));
    chord.entry._PackEXENTRYNotes();
    bool flagged = (chord.rec.flags2 & ENTRY2_NOTESCHANGED) != 0;
    EXPECT_EQ(handler.GetChanged(), flagged);
    return handler.GetChanged();
  }
  typedef std::vector<int> V;
};

TEST_F(ChordOps, AddThirdAboveTheTopOrBelowTheBottom) {
  Chord single({{4}});
  EXPECT_TRUE(Apply(AddThird, true, single));
  EXPECT_EQ(V({4, 6}), single.D());
  Chord two({{0}, {4}});
  EXPECT_TRUE(Apply(AddThird, false, two));
  EXPECT_EQ(V({0, 4, -2}), two.D());
  Chord raised({{0}, {4, 1}});
  EXPECT_TRUE(Apply(AddThird, true, raised));
  EXPECT_EQ(6, raised.Disp(2));
  EXPECT_EQ(1, raised.Rl(2));
}

TEST_F(ChordOps, AddThirdCopiesOnlyTheTie) {
  Chord c({{0}, {4, 0, NOTE_CREATED | NOTE_TIE | NOTE_ACCIDENTAL | 0x00000002 | 0x00800000}});
  EXPECT_TRUE(Apply(AddThird, true, c));
  EXPECT_EQ(NOTE_CREATED | NOTE_TIE, c.Flags(2));
  EXPECT_EQ(3, c.Id(2));
}

TEST_F(ChordOps, AddOctaveCopiesTieAccidentalAndTheTwoHostFlags) {
  const FLAG_32 copied = NOTE_TIE | NOTE_ACCIDENTAL | 0x00000002 | 0x00800000;
  Chord top({{0}, {4}, {7, 0, NOTE_CREATED | copied | 0x00000100}});
  EXPECT_TRUE(Apply(AddOctave, true, top));
  EXPECT_EQ(V({0, 4, 7, 14}), top.D());
  EXPECT_EQ(NOTE_CREATED | copied, top.Flags(3));
  Chord bottom({{0, -1, NOTE_CREATED | NOTE_ACCIDENTAL}, {4}, {7, 0, NOTE_CREATED | copied}});
  EXPECT_TRUE(Apply(AddOctave, false, bottom));
  EXPECT_EQ(-7, bottom.Disp(3));
  EXPECT_EQ(-1, bottom.Rl(3));
  EXPECT_EQ(NOTE_CREATED | NOTE_ACCIDENTAL, bottom.Flags(3));
}

TEST_F(ChordOps, AddReverseOctaveOnlyWhenThePitchIsNew) {
  Chord present({{0}, {4}, {7}});
  EXPECT_FALSE(Apply(AddReverseOctave, true, present));
  EXPECT_EQ(V({0, 4, 7}), present.D());
  Chord fresh({{2}, {4}, {7}});
  EXPECT_TRUE(Apply(AddReverseOctave, true, fresh));
  EXPECT_EQ(V({2, 4, 7, 0}), fresh.D());
  Chord above({{0}, {4}, {9}});
  EXPECT_TRUE(Apply(AddReverseOctave, false, above));
  EXPECT_EQ(V({0, 4, 9, 7}), above.D());
  // The same step with another alteration is another pitch.
  Chord altered({{0, 1}, {4}, {7}});
  EXPECT_TRUE(Apply(AddReverseOctave, false, altered));
  EXPECT_EQ(7, altered.Disp(3));
  EXPECT_EQ(1, altered.Rl(3));
}

TEST_F(ChordOps, AddingTasksLeaveATwelveNoteChordAlone) {
  for (int task : {AddThird, AddOctave, AddReverseOctave, AddSecond, AddFourth, AddFifth, AddSixth,
                   AddSeventh})
    for (bool top : {true, false}) {
      Chord c;
      Chord::Twelve(c);
      if (task == AddReverseOctave) c.rec.notes[0].displacement = 40; // octave below is free
      c.entry._UpdateNoteCollection();
      EXPECT_FALSE(Apply(task, top, c)) << task;
      EXPECT_EQ(12, c.Count());
    }
}

TEST_F(ChordOps, DeleteOctavesRemovesTheUpperOrTheLowerNoteOfEachPair) {
  Chord up({{0}, {7}, {14}});
  EXPECT_TRUE(Apply(DeleteOctaves, true, up));
  EXPECT_EQ(V({0}), up.D());
  Chord down({{0}, {7}, {14}});
  EXPECT_TRUE(Apply(DeleteOctaves, false, down));
  EXPECT_EQ(V({14}), down.D());
  Chord apart({{0}, {14}});
  EXPECT_FALSE(Apply(DeleteOctaves, true, apart));
  EXPECT_EQ(V({0, 14}), apart.D());
  Chord altered({{0}, {7, 1}});
  EXPECT_FALSE(Apply(DeleteOctaves, false, altered));
  EXPECT_EQ(V({0, 7}), altered.D());
}

TEST_F(ChordOps, DeleteOuterNoteTakesOneEdgeNote) {
  Chord top({{0}, {4}, {7}});
  EXPECT_TRUE(Apply(DeleteOuterNote, true, top));
  EXPECT_EQ(V({0, 4}), top.D());
  Chord doubled({{4}, {0}, {0}});
  EXPECT_TRUE(Apply(DeleteOuterNote, false, doubled));
  EXPECT_EQ(V({4, 0}), doubled.D());
  EXPECT_EQ(3, doubled.Id(1)); // the first 0 went
}

TEST_F(ChordOps, DeleteUnisonsKeepsTheFirstOfEachPitch) {
  Chord c({{0}, {0}, {0}, {4}});
  EXPECT_TRUE(Apply(DeleteUnisons, true, c));
  EXPECT_EQ(V({0, 4}), c.D());
  EXPECT_EQ(1, c.Id(0));
  Chord altered({{0}, {0, 1}});
  EXPECT_FALSE(Apply(DeleteUnisons, false, altered));
  EXPECT_EQ(V({0, 0}), altered.D());
}

TEST_F(ChordOps, UnisonsToOctavesMovesLaterRepeats) {
  Chord up({{0}, {0}, {0}});
  EXPECT_TRUE(Apply(UnisonsToOctaves, true, up));
  EXPECT_EQ(V({0, 7, 14}), up.D());
  Chord order({{7}, {0}, {0}});
  EXPECT_TRUE(Apply(UnisonsToOctaves, true, order));
  EXPECT_EQ(V({7, 0, 7}), order.D());
  Chord down({{4}, {4}, {0}});
  EXPECT_TRUE(Apply(UnisonsToOctaves, false, down));
  EXPECT_EQ(V({4, -3, 0}), down.D());
  Chord altered({{4}, {4, 1}});
  EXPECT_FALSE(Apply(UnisonsToOctaves, false, altered));
}

TEST_F(ChordOps, DropsCountDistinctPitchesFromTheTop) {
  Chord d2({{0}, {2}, {4}, {7}});
  EXPECT_TRUE(Apply(Drop2nd, true, d2));
  EXPECT_EQ(V({0, 2, -3, 7}), d2.D());
  Chord d3({{0}, {4}, {7}, {7}});
  EXPECT_TRUE(Apply(Drop3rd, false, d3));
  EXPECT_EQ(V({-7, 4, 7, 7}), d3.D());
  Chord d4({{4}, {0}, {7}, {11}});
  EXPECT_TRUE(Apply(Drop4th, true, d4));
  EXPECT_EQ(V({4, -7, 7, 11}), d4.D());
  Chord d24({{0}, {4}, {7}, {11}});
  EXPECT_TRUE(Apply(Drop2ndAnd4th, true, d24));
  EXPECT_EQ(V({-7, 4, 0, 11}), d24.D());
  // Too few distinct pitches: the target does not exist.
  Chord unison({{7}, {7}});
  EXPECT_FALSE(Apply(Drop2nd, true, unison));
  Chord twoPitches({{4}, {4}, {7}});
  EXPECT_FALSE(Apply(Drop3rd, true, twoPitches));
  Chord onePitch({{0}, {0}, {0}, {0}});
  EXPECT_FALSE(Apply(Drop2ndAnd4th, true, onePitch));
  EXPECT_EQ(V({0, 0, 0, 0}), onePitch.D());
}

TEST_F(ChordOps, Drop2ndAnd4thDropsANoteOnlyOnceOnTwoPitchChords) {
  Chord pairs({{4}, {4}, {0}, {0}});
  EXPECT_TRUE(Apply(Drop2ndAnd4th, true, pairs));
  EXPECT_EQ(V({4, 4, -7, 0}), pairs.D());
  Chord lowTriple({{4}, {0}, {0}, {0}});
  EXPECT_TRUE(Apply(Drop2ndAnd4th, false, lowTriple));
  EXPECT_EQ(V({4, -7, 0, 0}), lowTriple.D());
}

// The rule comes with the handler; the module's settings record is not looked at.
TEST_F(ChordOps, FourNoteRuleRestrictsEveryDropToFourNotes) {
  ChordRules fourOnly;
  fourOnly.fourNoteDropChords = true;
  for (int task : {Drop2nd, Drop3rd, Drop4th, Drop2ndAnd4th}) {
    Chord five({{0}, {2}, {4}, {7}, {9}});
    EXPECT_FALSE(Apply(task, true, five, fourOnly)) << task;
    EXPECT_EQ(V({0, 2, 4, 7, 9}), five.D());
    Chord three({{0}, {4}, {7}});
    EXPECT_FALSE(Apply(task, true, three, fourOnly)) << task;
    Chord four({{0}, {2}, {4}, {7}});
    EXPECT_TRUE(Apply(task, true, four, fourOnly)) << task;
  }
  GlobalUserSettings.bFourNoteDropChords = true;
  Chord five({{0}, {2}, {4}, {7}, {9}});
  EXPECT_TRUE(Apply(Drop2nd, true, five));
  EXPECT_EQ(V({0, 2, 4, 0, 9}), five.D());
  GlobalUserSettings.bFourNoteDropChords = false;
}

TEST_F(ChordOps, KeepLinesKeepsOneHighestAndOneLowestNote) {
  Chord c({{0}, {4}, {7}, {11}});
  EXPECT_TRUE(Apply(KeepLines, false, c));
  EXPECT_EQ(V({0, 11}), c.D());
  Chord doubled({{0}, {0}, {4}, {7}, {7}});
  EXPECT_TRUE(Apply(KeepLines, true, doubled));
  EXPECT_EQ(V({0, 7}), doubled.D());
  EXPECT_EQ(1, doubled.Id(0));
  EXPECT_EQ(4, doubled.Id(1));
}

TEST_F(ChordOps, KeepSpecificLineKeepsTheChosenEdgeNote) {
  Chord bottom({{0}, {0}, {4}});
  EXPECT_TRUE(Apply(KeepSpecificLine, false, bottom));
  EXPECT_EQ(V({0}), bottom.D());
  EXPECT_EQ(1, bottom.Id(0));
  Chord top({{0}, {7}, {4}});
  EXPECT_TRUE(Apply(KeepSpecificLine, true, top));
  EXPECT_EQ(V({7}), top.D());
}

TEST_F(ChordOps, RotateOnlyWithinAnOctave) {
  Chord up({{0}, {2}, {4}});
  EXPECT_TRUE(Apply(Rotate, true, up));
  EXPECT_EQ(V({7, 2, 4}), up.D());
  Chord down({{0}, {2}, {6}});
  EXPECT_TRUE(Apply(Rotate, false, down));
  EXPECT_EQ(V({0, 2, -1}), down.D());
  Chord octave({{0}, {4}, {7}});
  EXPECT_FALSE(Apply(Rotate, true, octave));
  EXPECT_EQ(V({0, 4, 7}), octave.D());
}

TEST_F(ChordOps, TransposeOctaveMovesTheEdgeNoteOutwards) {
  Chord up({{0}, {4}});
  EXPECT_TRUE(Apply(TransposeOctave, true, up));
  EXPECT_EQ(V({0, 11}), up.D());
  Chord down({{0}, {4}});
  EXPECT_TRUE(Apply(TransposeOctave, false, down));
  EXPECT_EQ(V({-7, 4}), down.D());
}

TEST_F(ChordOps, TransposeOctaveChordMovesEveryNote) {
  Chord up({{0}, {4}, {4, 1}});
  EXPECT_TRUE(Apply(TransposeOctaveChord, true, up));
  EXPECT_EQ(V({7, 11, 11}), up.D());
  EXPECT_EQ(1, up.Rl(2));
  Chord down({{0}, {4}});
  EXPECT_TRUE(Apply(TransposeOctaveChord, false, down));
  EXPECT_EQ(V({-7, -3}), down.D());
}

// Chords below each task's needs: the record stays byte for byte as it was and the entry is
// not flagged, in both directions.
TEST_F(ChordOps, ChordsBelowTheNeedsAreLeftExactlyAsTheyWere) {
  struct Case {
    int task;
    std::vector<P> chord;
  };
  const std::vector<Case> cases = {{AddThird, {}},
                                   {AddOctave, {}},
                                   {AddReverseOctave, {}},
                                   {DeleteOctaves, {}},
                                   {DeleteOctaves, {{0}, {4}}},
                                   {DeleteOuterNote, {{4}}},
                                   {DeleteUnisons, {}},
                                   {DeleteUnisons, {{0}, {4}}},
                                   {Drop2nd, {{4}}},
                                   {Drop3rd, {{0}, {4}}},
                                   {Drop4th, {{0}, {4}, {7}}},
                                   {Drop2ndAnd4th, {{0}, {4}, {7}}},
                                   {KeepLines, {{0}, {4}}},
                                   {KeepSpecificLine, {{4}}},
                                   {Rotate, {{4}}},
                                   {Rotate, {{0}, {9}}},
                                   {TransposeOctave, {{4}}},
                                   {TransposeOctaveChord, {{4}}},
                                   {UnisonsToOctaves, {}},
                                   {UnisonsToOctaves, {{0}, {4}}},
                                   {AddSecond, {}},
                                   {AddFourth, {}},
                                   {AddFifth, {}},
                                   {AddSixth, {}},
                                   {AddSeventh, {}},
                                   {ClosePosition, {}},
                                   {ClosePosition, {{4}}},
                                   {ClosePosition, {{0}, {2}, {4}, {7}}},
                                   {ClosePosition, {{0}, {7}}},
                                   {ClosePosition, {{0, 1}, {7}}}};
  for (const Case& c : cases)
    for (bool top : {true, false}) {
      Chord chord;
      chord.Fill(c.chord, true);
      EXPECT_FALSE(Apply(c.task, top, chord)) << "task " << c.task << " top " << top;
      Chord fresh;
      fresh.Fill(c.chord, true);
      EXPECT_EQ(0, memcmp(&fresh.rec, &chord.rec, sizeof(EXENTRY))) << "task " << c.task;
    }
}

// The five diatonic intervals, note by note: the step count, the direction, the source
// note's alteration copied (or the key's own with the spelling rule), the tie only.
TEST_F(ChordOps, AddedIntervalsCountDiatonicStepsFromTheEdgeNote) {
  struct Case {
    int task;
    int steps;
  } const cases[] = {{AddSecond, 1}, {AddThird, 2}, {AddFourth, 3},
                     {AddFifth, 4},  {AddSixth, 5}, {AddSeventh, 6}};
  const FLAG_32 others = NOTE_ACCIDENTAL | 0x00000002 | 0x00800000;
  ChordRules inKey;
  inKey.spellInKey = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.task);
    // An altered, tied top note over a unison pair: the interval goes on the top, with the
    // source's alteration when Add Third copies it.
    bool copies = c.task == AddThird;
    Chord top({{-3}, {-3}, {4, 1, NOTE_CREATED | NOTE_TIE | others}});
    EXPECT_TRUE(Apply(c.task, true, top));
    ASSERT_EQ(4, top.Count());
    EXPECT_EQ(4 + c.steps, top.Disp(3));
    if (copies || (c.steps != 3 && c.steps != 4)) {
      EXPECT_EQ(copies ? 1 : 0, top.Rl(3));
    }
    EXPECT_EQ(NOTE_CREATED | NOTE_TIE, top.Flags(3));
    EXPECT_EQ(4, top.Id(3));
    // A flattened, untied bottom note: the interval goes below it.
    Chord bottom({{7}, {-2, -1}, {2}});
    EXPECT_TRUE(Apply(c.task, false, bottom));
    EXPECT_EQ(-2 - c.steps, bottom.Disp(3));
    if (copies || (c.steps != 3 && c.steps != 4)) {
      EXPECT_EQ(copies ? -1 : 0, bottom.Rl(3));
    }
    EXPECT_EQ(NOTE_CREATED, bottom.Flags(3));
    // Spelt in the key: the same steps, the key's own accidental (a fourth or a fifth perfect:
    // C#5 and D#5 over G#4 in C major), the tie still copied.
    bool perfect = c.steps == 3 || c.steps == 4;
    Chord keyTop({{0}, {4, 1, NOTE_CREATED | NOTE_TIE}});
    EXPECT_TRUE(Apply(c.task, true, keyTop, inKey));
    EXPECT_EQ(4 + c.steps, keyTop.Disp(2));
    EXPECT_EQ(perfect ? 1 : 0, keyTop.Rl(2));
    EXPECT_EQ(NOTE_CREATED | NOTE_TIE, keyTop.Flags(2));
    Chord keyBottom({{-2, -2}, {7}});
    EXPECT_TRUE(Apply(c.task, false, keyBottom, inKey));
    EXPECT_EQ(-2 - c.steps, keyBottom.Disp(2));
    EXPECT_EQ(perfect ? -2 : 0, keyBottom.Rl(2));
    // A single note gets its interval too.
    Chord single({{0}});
    EXPECT_TRUE(Apply(c.task, true, single));
    EXPECT_EQ(V({0, c.steps}), single.D());
  }
  // The rule spells only the added intervals: the octaves keep their copy.
  Chord octave({{4, 1}});
  EXPECT_TRUE(Apply(AddOctave, true, octave, inKey));
  EXPECT_EQ(1, octave.Rl(1));
  Chord reverse({{4, 1}});
  EXPECT_TRUE(Apply(AddReverseOctave, true, reverse, inKey));
  EXPECT_EQ(1, reverse.Rl(1));
}

// In the key's spelling a fourth or a fifth from a note the key does not hold is perfect, in
// major and minor keys, up and down; from a note of the key it is the key's own interval.
TEST_F(ChordOps, KeySpelledFourthsAndFifthsFromNotesOutsideTheKeyArePerfect) {
  hostsim::NewDocument(1, 1);
  struct Case {
    uint16_t key; // the measure's key word
    int task;
    bool top;
    P source;  // the edge note
    int d, rl; // the note added
  } const cases[] = {
      {0x00FF, AddFifth, true, {-2, -1}, 2, -1},   // F major: Db4 -> Ab4, not A4
      {0x00FF, AddFourth, true, {-2, -1}, 1, -1},  // Db4 -> Gb4, not G4
      {0x00FF, AddFifth, true, {-1, -1}, 3, 0},    // Eb4 -> Bb4, not Bbb4
      {0x0101, AddFifth, true, {6, 1}, 10, 1},     // E minor: D#5 -> A#5, not A5
      {0x0006, AddFifth, true, {3, 1}, 7, 1},      // F# major: B#4 -> F##5, not F#5
      {0x00FF, AddFifth, false, {-2, -1}, -6, -1}, // F major: Db4 -> Gb3 under it, not G3
      {0x00FF, AddFourth, false, {-1, -1}, -4, 0}, // Eb4 -> Bb3 under it, not Bbb3
      {0x00FF, AddFifth, true, {-1, 0}, 3, 0},     // E4 in the key: its fifth Bb4 as the key has it
      {0x0000, AddSixth, true, {3, 1}, 8, 0},      // only fourths and fifths are made perfect
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " task " << c.task);
    hostsim::SetMeasureKey(1, c.key);
    Chord chord({c.source});
    EXPECT_TRUE(Apply(c.task, c.top, chord));
    EXPECT_EQ(c.d, chord.Disp(1));
    EXPECT_EQ(c.rl, chord.Rl(1));
  }
  // Add Third copies its source's alteration; with the spelling rule it takes the key's.
  hostsim::SetMeasureKey(1, 0x00FF);
  Chord copied({{-2, -1}}), spelt({{-2, -1}});
  ChordRules inKey;
  inKey.spellInKey = true;
  EXPECT_TRUE(Apply(AddThird, true, copied));
  EXPECT_EQ(-1, copied.Rl(1));
  EXPECT_TRUE(Apply(AddThird, true, spelt, inKey));
  EXPECT_EQ(0, spelt.Rl(1));
  // In a key whose scale is the host's own (C double flat, D flat, G double sharp, B sharp) the
  // host's sounding pitches measure the interval: over C4, two above the key's C, the fifth is
  // G4 and the fourth under it G3, two under the key's G; where the host cannot tell (a pitch
  // past the bottom of its range) the key's accidental stays.
  hostsim::SetMeasureKey(1, hostsim::DefineKey({-2, -1, 0, 0, 2, 0, 1}));
  Chord fifth({{0, 2}}), fourth({{0, 2}}), low({{-40, 2}});
  EXPECT_TRUE(Apply(AddFifth, true, fifth));
  EXPECT_EQ(-2, fifth.Rl(1));
  EXPECT_TRUE(Apply(AddFourth, false, fourth));
  EXPECT_EQ(V({0, -3}), fourth.D());
  EXPECT_EQ(-2, fourth.Rl(1));
  EXPECT_TRUE(Apply(AddFifth, true, low));
  EXPECT_EQ(0, low.Rl(1));
}

TEST_F(ChordOps, ClosePositionTopBringsEveryNoteWithinTheOctaveUnderTheTop) {
  // G2 E4 C5 C4 -> G4 E4 C5 C4: the octave doubling of the top stays an octave under it.
  Chord spread({{-10}, {2}, {7}, {0}});
  EXPECT_TRUE(Apply(ClosePosition, true, spread));
  EXPECT_EQ(V({4, 2, 7, 0}), spread.D());
  // From above nothing comes: only the top note is there. Notes far below come up.
  Chord low({{-24, 1}, {11}, {-12, 0, NOTE_CREATED | NOTE_TIE}});
  EXPECT_TRUE(Apply(ClosePosition, true, low));
  EXPECT_EQ(V({4, 11, 9}), low.D());
  EXPECT_EQ(1, low.Rl(0));                          // alterations are kept
  EXPECT_EQ(NOTE_CREATED | NOTE_TIE, low.Flags(2)); // so is the tie
  // The top's own step: below the top when its alteration is lower, else an octave below; the
  // two C naturals stay an octave apart.
  Chord altered({{-7}, {7, 1}, {-7, 2}, {7}});
  EXPECT_TRUE(Apply(ClosePosition, true, altered));
  EXPECT_EQ(V({0, 7, 0, 7}), altered.D());
  // A unison with the top stays one, so do other unisons; doublings stay an octave apart.
  Chord unisons({{7}, {7}, {2}, {-12}, {2}});
  EXPECT_TRUE(Apply(ClosePosition, true, unisons));
  EXPECT_EQ(V({7, 7, 2, -5, 2}), unisons.D());
  // Twelve notes a step apart are close already, as stacked octaves.
  Chord twelve;
  Chord::Twelve(twelve);
  EXPECT_FALSE(Apply(ClosePosition, true, twelve));
}

// A twelve-note A major chord spread over five octaves, top E6 (A major, A4 = 0): closed, each
// doubling goes an octave under the one above it; no pitch is written twice.
TEST_F(ChordOps, ClosePositionStacksDoublingsAnOctaveApart) {
  // A1 E2 C#3 A3 E3 C#4 A4 C#5 E5 A5 C#6 E6, in the order a file might list them.
  Chord chord({{-21}, {-17}, {-12}, {-7}, {-10}, {-5}, {0}, {2}, {4}, {7}, {9}, {11}});
  EXPECT_TRUE(Apply(ClosePosition, true, chord));
  std::vector<int> d = chord.D();
  std::sort(d.begin(), d.end());
  EXPECT_TRUE(std::adjacent_find(d.begin(), d.end()) == d.end()) << testing::PrintToString(d);
  // E: E6 E5 E4 E3; A: A5 A4 A3 A2; C#: C#6 C#5 C#4 C#3.
  EXPECT_EQ(V({-14, -12, -10, -7, -5, -3, 0, 2, 4, 7, 9, 11}), d);
  Chord bottom({{-21}, {-17}, {-12}, {-7}, {-10}, {-5}, {0}, {2}, {4}, {7}, {9}, {11}});
  EXPECT_TRUE(Apply(ClosePosition, false, bottom));
  d = bottom.D();
  std::sort(d.begin(), d.end());
  EXPECT_EQ(V({-21, -19, -17, -14, -12, -10, -7, -5, -3, 0, 2, 4}), d);
}

TEST_F(ChordOps, ClosePositionBottomBringsEveryNoteWithinTheOctaveOverTheBottom) {
  Chord spread({{11}, {0}, {16}, {7}});
  EXPECT_TRUE(Apply(ClosePosition, false, spread));
  EXPECT_EQ(V({4, 0, 2, 7}), spread.D());
  Chord altered({{0, 0}, {7, -1}, {21, 1}});
  EXPECT_TRUE(Apply(ClosePosition, false, altered));
  EXPECT_EQ(V({0, 7, 0}), altered.D());
  EXPECT_EQ(1, altered.Rl(2));
  Chord unisons({{0}, {0}, {16}, {2}, {23}});
  EXPECT_TRUE(Apply(ClosePosition, false, unisons));
  EXPECT_EQ(V({0, 0, 9, 2, 16}), unisons.D());
  Chord twelve;
  Chord::Twelve(twelve);
  EXPECT_FALSE(Apply(ClosePosition, false, twelve));
  // Right at the end of the range a move still happens.
  const twobyte lo = -32768;
  Chord edge({{lo}, {lo + 9}});
  EXPECT_TRUE(Apply(ClosePosition, false, edge));
  EXPECT_EQ(V({lo, lo + 2}), edge.D());
}

// Displacements are signed 16-bit: a step or an added note past either end is not made, and
// the chord is left as one the task cannot handle; right at the end it still is.
TEST_F(ChordOps, NothingWrapsAtTheEdgesOfTheDisplacementRange) {
  const twobyte hi = 32767, lo = -32768;
  struct Case {
    int task;
    bool top;
    std::vector<P> chord;
  };
  const std::vector<Case> refused = {
      {AddThird, true, {{hi - 1}}},
      {AddThird, false, {{lo + 1}}},
      {AddOctave, true, {{0}, {hi - 6}}},
      {AddOctave, false, {{lo + 6}, {0}}},
      {AddReverseOctave, true, {{lo + 6}}},
      {AddReverseOctave, false, {{hi - 6}}},
      {Drop2nd, true, {{-32762}, {-32754}}},
      {Drop3rd, true, {{lo + 6}, {0}, {4}}},
      {Drop4th, true, {{lo}, {0}, {2}, {4}}},
      {Drop2ndAnd4th, true, {{lo}, {0}, {2}, {4}}},
      {Drop2ndAnd4th, true, {{0}, {2}, {lo + 6}, {4}}},
      {Rotate, true, {{hi - 6}, {hi - 2}}},
      {Rotate, false, {{lo}, {lo + 6}}},
      {TransposeOctave, true, {{0}, {hi - 6}}},
      {TransposeOctave, false, {{lo + 6}, {0}}},
      {TransposeOctaveChord, true, {{0}, {hi}}},
      {TransposeOctaveChord, false, {{lo}, {0}}},
      {UnisonsToOctaves, true, {{4}, {4}, {hi - 13}, {hi - 13}, {hi - 13}}},
      {UnisonsToOctaves, false, {{lo + 6}, {lo + 6}}},
      {AddSecond, true, {{hi}}},
      {AddSecond, false, {{lo}}},
      {AddSeventh, true, {{0}, {hi - 5}}},
      {AddSeventh, false, {{lo + 5}, {0}}},
      {ClosePosition, true, {{lo + 3}, {lo + 3}}},
      {ClosePosition, false, {{hi - 3}, {hi - 3}}}};
  for (const Case& c : refused) {
    Chord chord, fresh;
    chord.Fill(c.chord, true);
    fresh.Fill(c.chord, true);
    EXPECT_FALSE(Apply(c.task, c.top, chord)) << "task " << c.task << " top " << c.top;
    EXPECT_EQ(0, memcmp(&fresh.rec, &chord.rec, sizeof(EXENTRY))) << "task " << c.task;
  }
  Chord third({{hi - 2}});
  EXPECT_TRUE(Apply(AddThird, true, third));
  EXPECT_EQ(V({hi - 2, hi}), third.D());
  Chord octave({{lo + 7}, {0}});
  EXPECT_TRUE(Apply(AddOctave, false, octave));
  EXPECT_EQ(lo, octave.Disp(2));
  Chord chord({{lo + 7}, {hi}});
  EXPECT_TRUE(Apply(TransposeOctaveChord, false, chord));
  EXPECT_EQ(V({lo, hi - 7}), chord.D());
  Chord unisons({{hi - 14}, {hi - 14}, {hi - 14}});
  EXPECT_TRUE(Apply(UnisonsToOctaves, true, unisons));
  EXPECT_EQ(V({hi - 14, hi - 7, hi}), unisons.D());
}

TEST_F(ChordOps, RestsAndUnknownTasksChangeNothing) {
  for (int task = -1; task <= TASKCOUNT; ++task) {
    Chord rest({{0}, {0}, {4}, {7}}, false);
    EXENTRY before = rest.rec;
    EXPECT_FALSE(Apply(task, true, rest)) << task;
    EXPECT_EQ(0, memcmp(&before, &rest.rec, sizeof(EXENTRY))) << task;
  }
  for (int task : {-1, TASKCOUNT, 1000}) {
    Chord chord({{0}, {0}, {4}, {7}});
    EXENTRY before = chord.rec;
    EXPECT_FALSE(Apply(task, true, chord)) << task;
    EXPECT_EQ(0, memcmp(&before, &chord.rec, sizeof(EXENTRY))) << task;
  }
}

TEST_F(ChordOps, ChangedStaysSetOnceAnEntryChanged) {
  FCNoteEntryProcessingHandler handler(Drop2nd, true);
  Chord changes({{0}, {4}, {7}});
  Chord unchanged({{4}});
  EXPECT_TRUE(handler.Iterate(&changes.entry));
  EXPECT_TRUE(handler.Iterate(&unchanged.entry));
  EXPECT_TRUE(handler.GetChanged());
  EXPECT_EQ(0, unchanged.rec.flags2 & ENTRY2_NOTESCHANGED);
  EXPECT_NE(0, changes.rec.flags2 & ENTRY2_NOTESCHANGED);
}

} // namespace
