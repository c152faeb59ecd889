// Explode and Reduce applied the way the tool window applies a task: one undo block around the
// block handler, against the host simulator's score, read back note by note.
#include "handedframes.h"
#include "support/chords.h"
#include "support/entries.h"
#include "support/moduleglobals.h"

#include "core/fcstring.h"
#include "data/fcmusicregion.h"
#include "data/fcui.h"
#include "fcchordshaperblockhandler.h"
#include "hostapi/fxtags.h"
#include "records.h"
#include "sectionlines.h"

using hostsim::TheHost;
using testsupport::Chord;
using testsupport::E;
using testsupport::Entry;
using testsupport::N;
using testsupport::P;
using testsupport::p;
using testsupport::Put;
using testsupport::Read;
using testsupport::Sorted;

namespace {

class SectionLines : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    GlobalUserSettings.bRespaceMusic = true;
  }

  // A score of staves staves and measures measures, every staff holding rests of a quarter.
  void Score(int16_t staves, int16_t measures) {
    hostsim::Reset();
    hostsim::NewDocument(staves, measures);
    testsupport::QuarterRests(staves, measures);
  }

  bool Run(int task, bool top = true) {
    FCUI ui(nullptr);
    FCChordShaperBlockHandler handler(task, top, &ui);
    FCString name(TaskDescriptors[task].name);
    FCUndoBlock block;
    bool ok = block.Execute(&handler, &name);
    leftAlone_ = handler.GetLeftAlone();
    EXPECT_TRUE(TheHost().framesOut.empty());
    EXPECT_EQ(0, LoadedTGFCounter);
    EXPECT_EQ(0, FinaleEditDepth);
    EXPECT_FALSE(TheHost().editOpen);
    return ok;
  }

  int leftAlone_ = 0;
};

// ---- Explode ------------------------------------------------------------------------------

TEST_F(SectionLines, ChoraleChordsGoOneLineToEachStaffFromTheTop) {
  Score(4, 2);
  Put(1, 1,
      {Chord(0, {0, 2, 4, 7}), Chord(1024, {-1, 1, 4, 6}), Chord(2048, {}),
       E(3072, {N(0), N(4), N(7), N(9)}, 1024)});
  hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
  EXPECT_TRUE(Run(Explode));
  ASSERT_EQ(1u, TheHost().undoList.size());
  EXPECT_EQ("Explode", TheHost().undoList[0].name);
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(7)}},
                                {1024, 1024, false, {p(6)}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {p(9)}}}),
            Read(1, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(4)}},
                                {1024, 1024, false, {p(4)}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {p(7)}}}),
            Read(2, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(2)}},
                                {1024, 1024, false, {p(1)}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {p(4)}}}),
            Read(3, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(0)}},
                                {1024, 1024, false, {p(-1)}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {p(0)}}}),
            Read(4, 1));
  // Outside the selection nothing moved.
  EXPECT_EQ(4u, Read(2, 2).size());
  EXPECT_TRUE(Read(2, 2)[0].notes.empty());
  // The selected measure was respaced in the score.
  EXPECT_EQ(1u, TheHost().menuCommands.size());
}

TEST_F(SectionLines, FewerNotesThanStavesDoubleTheLowestFromTheTopAndTheHighestFromTheBottom) {
  Score(4, 1);
  Put(1, 1, {Chord(0, {0, 4})});
  hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
  ASSERT_TRUE(Run(Explode, true));
  std::vector<std::vector<P>> lines;
  for (int16_t s = 1; s <= 4; ++s)
    lines.push_back(Read(s, 1)[0].notes);
  EXPECT_EQ((std::vector<std::vector<P>>{{p(4)}, {p(0)}, {p(0)}, {p(0)}}), lines);

  Score(4, 1);
  Put(1, 1, {Chord(0, {0, 4})});
  hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
  ASSERT_TRUE(Run(Explode, false));
  lines.clear();
  for (int16_t s = 1; s <= 4; ++s)
    lines.push_back(Read(s, 1)[0].notes);
  EXPECT_EQ((std::vector<std::vector<P>>{{p(4)}, {p(4)}, {p(4)}, {p(0)}}), lines);
}

TEST_F(SectionLines, MoreNotesThanStavesLeaveTheRestAsAChordOnTheLastStaffOrTheFirst) {
  for (bool top : {true, false}) {
    Score(3, 1);
    Put(1, 1, {Chord(0, {0, 9, 4, 7, 2})});
    hostsim::SetSelection(1, 1, 0, 3, 1, REGION_TO_END);
    ASSERT_TRUE(Run(Explode, top));
    std::vector<std::vector<P>> lines;
    for (int16_t s = 1; s <= 3; ++s)
      lines.push_back(Read(s, 1)[0].notes);
    // The chord's rest in its own slot order: on the last staff from the top, on the first
    // from the bottom (the mirror).
    if (top)
      EXPECT_EQ((std::vector<std::vector<P>>{{p(9)}, {p(7)}, {p(0), p(4), p(2)}}), lines);
    else
      EXPECT_EQ((std::vector<std::vector<P>>{{p(9), p(4), p(7)}, {p(2)}, {p(0)}}), lines);
  }
}

TEST_F(SectionLines, UnderASingleNoteOrNothingTheStavesBelowKeepTheirMusic) {
  Score(3, 2);
  // Measure 1: a chord, a single note, a rest, then nothing (a chord the task left alone).
  Put(1, 1, {Chord(0, {0, 4, 7}), Chord(1024, {9}), Chord(2048, {})});
  Put(2, 1,
      {Chord(0, {2}), E(1024, {N(3)}, 512), E(1536, {N(2)}, 512), Chord(2048, {1}),
       Chord(3072, {0})});
  // Measure 2: the lowest staff's whole note sounds under the single note and the chord.
  Put(1, 2, {Chord(0, {0, 4, 7}), E(1024, {N(9)}, 3072)});
  Put(3, 2, {E(0, {N(-3)}, 4096)});
  hostsim::SetSelection(1, 1, 0, 3, 2, REGION_TO_END);
  std::vector<std::vector<Entry>> second;
  for (int16_t s = 1; s <= 3; ++s)
    second.push_back(Read(s, 2));
  ASSERT_TRUE(Run(Explode));
  EXPECT_EQ((std::vector<Entry>{
                {0, 1024, false, {p(7)}}, {1024, 1024, false, {p(9)}}, {2048, 1024, false, {}}}),
            Read(1, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(4)}},
                                {1024, 512, false, {p(3)}},
                                {1536, 512, false, {p(2)}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {p(0)}}}),
            Read(2, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 1024, false, {p(0)}},
                                {1024, 1024, false, {}},
                                {2048, 1024, false, {}},
                                {3072, 1024, false, {}}}),
            Read(3, 1));
  for (int16_t s = 1; s <= 3; ++s) // the chord stays whole, nothing cuts the whole note
    EXPECT_EQ(second[s - 1], Read(s, 2)) << "staff " << s;
}

TEST_F(SectionLines, RhythmTiesGraceNotesAndRestsComeFromTheTopStaff) {
  Score(2, 2);
  testsupport::PutRhythmPassage();
  hostsim::SetSelection(1, 1, 0, 2, 2, REGION_TO_END);
  ASSERT_TRUE(Run(Explode));
  EXPECT_EQ(testsupport::RhythmExploded(2), Read(2, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 2048, false, {p(2)}}, {2048, 2048, false, {}}}), Read(2, 2));
  EXPECT_EQ(testsupport::RhythmExploded(1), Read(1, 1));
  EXPECT_EQ((std::vector<P>{p(9, 1)}), Read(1, 2)[0].notes);
}

TEST_F(SectionLines, ANoteKeepsItsPitchThroughTheKeysOfTheCellsAlone) {
  // The host keeps concert pitch: a staff in another key (a part with a key of its own, a
  // transposing part whose sounding key differs) only counts its notes from another tonic.
  // Concert C major; staff 2 in D major, staff 3 in E-flat major, staff 4 in A major; staff 5
  // in the measure's key. The staff records carry words where a transposition might be looked
  // for: a note carried reads none of them.
  Score(5, 1);
  for (int16_t s = 2; s <= 4; ++s) {
    hostsim::SetStaffFlags(s, 0x8000);
    std::vector<uint8_t> record = *hostsim::FindRecord(TAG_SOIS, hostsim::MakeKey(s));
    for (size_t b = 36; b < 40; ++b)
      record[b] = b % 2 ? 0xFF : 0xF9; // -7 and -7
    hostsim::PutRecord(TAG_SOIS, hostsim::MakeKey(s), record);
  }
  hostsim::SetCellKey(2, 1, 2);
  hostsim::SetCellKey(3, 1, 0xFD);
  hostsim::SetCellKey(4, 1, 3);
  // C5, A4, F#4, D4, C4 (D4 tied on).
  hostsim::NoteSpec tied = N(1);
  tied.flags |= NOTE_TIE;
  Put(1, 1, {E(0, {N(0), tied, N(3, 1), N(5), N(7)}, 4096)});
  hostsim::SetSelection(1, 1, 0, 5, 1, REGION_TO_END);
  ASSERT_TRUE(Run(Explode));
  for (const hostsim::RecordTransfer& t : hostsim::TransfersTo("FX_LoadEData"))
    EXPECT_NE(TAG_SOIS, t.tag) << "a staff record was read";
  EXPECT_EQ((std::vector<P>{p(7)}), Read(1, 1)[0].notes);
  // A4: the fifth step above D4, natural in D major.
  EXPECT_EQ((std::vector<P>{p(4)}), Read(2, 1)[0].notes);
  // F#4: a step above E-flat 4, raised against the F of E-flat major.
  EXPECT_EQ((std::vector<P>{p(1, 1)}), Read(3, 1)[0].notes);
  // D4: four steps below A4, natural in A major; the tie goes with it.
  EXPECT_EQ((std::vector<P>{p(-4, 0, true)}), Read(4, 1)[0].notes);
  EXPECT_EQ((std::vector<P>{p(0)}), Read(5, 1)[0].notes);

  // And back: every line gathered on the top staff at its own pitch.
  ASSERT_TRUE(Run(Reduce));
  EXPECT_EQ((std::vector<P>{p(0), p(1, 0, true), p(3, 1), p(5), p(7)}),
            Sorted(Read(1, 1)[0].notes));
  for (int16_t s = 2; s <= 5; ++s)
    EXPECT_TRUE(Read(s, 1)[0].notes.empty()) << "staff " << s;
}

TEST_F(SectionLines, ASelectionOfOneStaffChangesNothing) {
  Score(2, 1);
  Put(1, 1, {Chord(0, {0, 4})});
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  hostsim::Document before = hostsim::Doc();
  EXPECT_FALSE(Run(Explode));
  EXPECT_FALSE(Run(Reduce));
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
}

TEST_F(SectionLines, AChordWhoseLinesCannotAllBeWrittenStaysWhole) {
  Score(3, 1);
  Put(1, 1, {Chord(0, {0, 4, 7})});
  hostsim::SetSelection(1, 1, 0, 3, 1, REGION_TO_END);
  hostsim::SetAnswer("FX_InsertEXENTRY", 0); // a host that refuses new entries
  Run(Explode);
  EXPECT_EQ((std::vector<P>{p(0), p(4), p(7)}), Read(1, 1)[0].notes);
}

TEST_F(SectionLines, CancellingTheEditPutsEveryCellAndEntryNumberBack) {
  Score(3, 2);
  Put(1, 1, {Chord(0, {0, 4, 7}), Chord(1024, {2, 5})});
  Put(1, 2, {E(0, {N(1), N(3)}, 4096)});
  hostsim::SetSelection(1, 1, 0, 3, 2, REGION_TO_END);
  hostsim::Document before = hostsim::Doc();
  ASSERT_NE(0, FX_StartFinaleEdit("Explode"));
  FCMusicRegion region;
  region.SetCurrentSelection();
  FCSectionLines lines(&region, true);
  ASSERT_TRUE(lines.Explode());
  EXPECT_FALSE(hostsim::SameScore(before, hostsim::Doc()));
  FX_CancelFinaleEdit();
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_EQ(before.nextEntryNumber, hostsim::Doc().nextEntryNumber);
}

// ---- Reduce -------------------------------------------------------------------------------

TEST_F(SectionLines, LinesThatSoundTogetherBecomeOneChordOnTheTopOrBottomStaff) {
  for (bool top : {true, false}) {
    Score(4, 1);
    Put(1, 1, {Chord(0, {7}), Chord(1024, {6}), Chord(2048, {})});
    Put(2, 1, {Chord(0, {4}), Chord(1024, {4}), Chord(2048, {})});
    Put(3, 1, {Chord(0, {2}), Chord(1024, {1}), Chord(2048, {})});
    Put(4, 1, {Chord(0, {0}), Chord(1024, {-1}), Chord(2048, {})});
    hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
    ASSERT_TRUE(Run(Reduce, top));
    int16_t target = top ? 1 : 4;
    std::vector<Entry> chords = Read(target, 1);
    ASSERT_EQ(3u, chords.size());
    EXPECT_EQ((std::vector<P>{p(0), p(2), p(4), p(7)}), Sorted(chords[0].notes));
    EXPECT_EQ((std::vector<P>{p(-1), p(1), p(4), p(6)}), Sorted(chords[1].notes));
    EXPECT_TRUE(chords[2].notes.empty());
    for (int16_t s = 1; s <= 4; ++s) {
      if (s == target) continue;
      for (const Entry& e : Read(s, 1))
        EXPECT_TRUE(e.notes.empty()) << "staff " << s << " " << e;
    }
    EXPECT_EQ(0, leftAlone_);
  }
}

TEST_F(SectionLines, ReduceKeepsEveryNoteAndExplodeGivesTheLinesBack) {
  hostsim::NoteSpec tiedC = N(7);
  tiedC.flags |= NOTE_TIE;
  struct Case {
    const char* what;
    std::vector<hostsim::EntrySpec> upper, lower;
    std::vector<Entry> gathered;         // the upper staff after Reduce
    std::vector<LinePlace> alone, cross; // said
    bool back;                           // Explode gives both lines back
  } cases[] = {
      {"a passing tone under a held note: split and tied",
       {E(0, {N(7)}, 2048), Chord(2048, {})},
       {Chord(0, {5}), Chord(1024, {4}), Chord(2048, {})},
       {{0, 1024, false, {p(7, 0, true), p(5)}},
        {1024, 1024, false, {p(7), p(4)}},
        {2048, 1024, false, {}}},
       {},
       {},
       true},
      {"a note held on alone is joined again",
       {E(0, {N(7)}, 2048), Chord(2048, {})},
       {Chord(0, {5}), Chord(1024, {}), Chord(2048, {})},
       {{0, 1024, false, {p(7, 0, true), p(5)}},
        {1024, 1024, false, {p(7)}},
        {2048, 1024, false, {}}},
       {},
       {},
       true},
      {"a held tie over the bar stays tied on",
       {E(0, {tiedC}, 3072)},
       {Chord(0, {2}), Chord(1024, {4}), E(2048, {N(5)}, 1024)},
       {{0, 1024, false, {p(7, 0, true), p(2)}},
        {1024, 1024, false, {p(7, 0, true), p(4)}},
        {2048, 1024, false, {p(7, 0, true), p(5)}}},
       {},
       {},
       true},
      {"a unison is two notes",
       {Chord(0, {4}), Chord(1024, {7})},
       {Chord(0, {4}), Chord(1024, {2})},
       {{0, 1024, false, {p(4), p(4)}}, {1024, 1024, false, {p(7), p(2)}}},
       {},
       {},
       true},
      {"a note under a rest is gathered as it is",
       {Chord(0, {}), Chord(1024, {7})},
       {Chord(0, {0}), Chord(1024, {2})},
       {{0, 1024, false, {p(0)}}, {1024, 1024, false, {p(7), p(2)}}},
       {},
       {},
       false},
      {"crossed voices are gathered and said",
       {Chord(0, {7}), Chord(1024, {2})},
       {Chord(0, {4}), Chord(1024, {4})},
       {{0, 1024, false, {p(7), p(4)}}, {1024, 1024, false, {p(2), p(4)}}},
       {},
       {{1, 1024}},
       false},
      {"a chord past twelve notes is left alone, and said",
       {Chord(0, {7, 8, 9, 10, 11, 12, 13}), Chord(1024, {7})},
       {Chord(0, {0, 1, 2, 3, 4, 5, 6}), Chord(1024, {2})},
       {{0, 1024, false, {p(7), p(8), p(9), p(10), p(11), p(12), p(13)}},
        {1024, 1024, false, {p(7), p(2)}}},
       {{1, 0}},
       {},
       false},
      {"a triplet against eighths is left alone, each onset said",
       {E(0, {N(7)}, 341), E(341, {N(6)}, 341), E(682, {N(5)}, 342), Chord(1024, {4})},
       {E(0, {N(2)}, 512), E(512, {N(1)}, 512), Chord(1024, {0})},
       {{0, 341, false, {p(7)}},
        {341, 341, false, {p(6)}},
        {682, 342, false, {p(5)}},
        {1024, 1024, false, {p(4), p(0)}}},
       {{1, 0}, {1, 341}, {1, 512}, {1, 682}},
       {},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Score(2, 1);
    Put(1, 1, c.upper);
    Put(2, 1, c.lower);
    std::vector<Entry> upper = Read(1, 1), lower = Read(2, 1);
    hostsim::SetSelection(1, 1, 0, 2, 1, REGION_TO_END);
    FCMusicRegion region;
    region.SetCurrentSelection();
    FCSectionLines lines(&region, true);
    ASSERT_TRUE(lines.Reduce());
    EXPECT_EQ(c.gathered, Read(1, 1));
    EXPECT_EQ(c.alone, lines.GetLeftAlonePlaces());
    EXPECT_EQ(c.cross, lines.GetCrossings());
    for (const Entry& e : Read(2, 1)) { // every note gathered has gone from below
      if (e.pos < 1024 || c.alone.empty()) {
        EXPECT_EQ(c.alone.empty(), e.notes.empty()) << e;
      }
    }
    ASSERT_TRUE(Run(Explode) || !c.back);
    EXPECT_EQ(c.back, upper == Read(1, 1) && lower == Read(2, 1));
  }
}

TEST_F(SectionLines, AGraceNoteGatheredAwayGoesInsteadOfBecomingAGraceRest) {
  for (bool top : {true, false}) {
    Score(2, 1);
    hostsim::EntrySpec upper = Chord(0, {7}), lower = Chord(0, {2});
    upper.flags = lower.flags = ENTRY_GRACENOTE;
    upper.duration = lower.duration = 512;
    Put(1, 1, {upper, Chord(0, {6}), Chord(1024, {5}), Chord(2048, {})});
    Put(2, 1, {lower, Chord(0, {1}), Chord(1024, {0}), Chord(2048, {})});
    hostsim::SetSelection(1, 1, 0, 2, 1, REGION_TO_END);
    ASSERT_TRUE(Run(Reduce, top));
    int16_t target = top ? 1 : 2, emptied = top ? 2 : 1;
    std::vector<Entry> chords = Read(target, 1);
    ASSERT_EQ(4u, chords.size());
    EXPECT_TRUE(chords[0].grace);
    EXPECT_EQ((std::vector<P>{p(2), p(7)}), Sorted(chords[0].notes));
    EXPECT_EQ((std::vector<Entry>{
                  {0, 1024, false, {}}, {1024, 1024, false, {}}, {2048, 1024, false, {}}}),
              Read(emptied, 1))
        << (top ? "top" : "bottom");
  }
}

TEST_F(SectionLines, ExplodeThenReduceGivesBackTheChordsAndReduceThenExplodeTheLines) {
  Score(4, 3);
  const std::vector<std::vector<int16_t>> chords = {
      {0, 2, 4, 7}, {-3, 1, 3, 5}, {-1, 1, 4, 6}, {0, 4, 7, 9}};
  for (int16_t m = 1; m <= 3; ++m) {
    std::vector<hostsim::EntrySpec> entries;
    for (int32_t i = 0; i < 4; ++i)
      entries.push_back(Chord(1024 * i, chords[(i + m) % 4]));
    Put(1, m, entries);
  }
  hostsim::SetSelection(1, 1, 0, 4, 3, REGION_TO_END);
  ASSERT_TRUE(Run(Explode));
  std::vector<std::vector<Entry>> lines;
  for (int16_t s = 1; s <= 4; ++s)
    for (int16_t m = 1; m <= 3; ++m)
      lines.push_back(Read(s, m));
  ASSERT_TRUE(Run(Reduce));
  EXPECT_EQ(0, leftAlone_);
  for (int16_t m = 1; m <= 3; ++m)
    for (int32_t i = 0; i < 4; ++i) {
      std::vector<P> want;
      for (int16_t d : chords[(i + m) % 4])
        want.push_back(p(d));
      EXPECT_EQ(Sorted(want), Sorted(Read(1, m)[i].notes)) << "measure " << m << " beat " << i;
    }
  ASSERT_TRUE(Run(Explode));
  std::vector<std::vector<Entry>> again;
  for (int16_t s = 1; s <= 4; ++s)
    for (int16_t m = 1; m <= 3; ++m)
      again.push_back(Read(s, m));
  EXPECT_EQ(lines, again);
}

} // namespace

namespace {

TEST_F(SectionLines, WhenTheChordsCannotBeStoredTheLinesStay) {
  Score(2, 1);
  Put(1, 1, {Chord(0, {7})});
  Put(2, 1, {Chord(0, {4})});
  hostsim::SetSelection(1, 1, 0, 2, 1, REGION_TO_END);
  // The host refuses to store the top staff's frame: the plug-in is handed that frame's
  // entries in memory the host does not know as the frame's.
  std::vector<std::vector<EXENTRY>> copies;
  copies.reserve(4);
  hostsim::ScopedFrameTamper refuse([&copies](EXTGF2005a* frame) {
    EXENTRY* first = frame->entries; // copied out: the record is packed
    int count = frame->entrycount;
    if (frame->slot != 1 || !first) return;
    copies.emplace_back(first, first + count);
    frame->entries = copies.back().data();
  });
  EXPECT_FALSE(Run(Reduce));
  EXPECT_EQ((std::vector<P>{p(7)}), Read(1, 1)[0].notes);
  EXPECT_EQ((std::vector<P>{p(4)}), Read(2, 1)[0].notes);
}

} // namespace

namespace {

TEST_F(SectionLines, AnOrchestraOfSeventyStavesIsServedToTheLastStaff) {
  Score(70, 1);
  Put(1, 1, {Chord(0, {0, 4, 7})});
  hostsim::SetSelection(1, 1, 0, 70, 1, REGION_TO_END);
  ASSERT_TRUE(Run(Explode));
  EXPECT_EQ((std::vector<P>{p(7)}), Read(1, 1)[0].notes);
  EXPECT_EQ((std::vector<P>{p(4)}), Read(2, 1)[0].notes);
  EXPECT_EQ((std::vector<P>{p(0)}), Read(70, 1)[0].notes);
}

} // namespace

namespace {

// A tie over the selection's edge holds only where it still leads to its pitch; one that led
// nowhere before the task stays.
TEST_F(SectionLines, ATieOverTheSelectionsEdgeHoldsOnlyWhereItLeadsToItsPitch) {
  auto tied = [](std::vector<hostsim::NoteSpec> notes) {
    for (hostsim::NoteSpec& n : notes)
      n.flags |= NOTE_TIE;
    return notes;
  };
  const std::vector<hostsim::EntrySpec> chords = {Chord(0, {7, 0}), Chord(1024, {}),
                                                  Chord(2048, {}), Chord(3072, {})},
                                        tiedOn = {Chord(0, {}), Chord(1024, {}), Chord(2048, {}),
                                                  E(3072, tied({N(7), N(0)}))},
                                        held = {E(0, tied({N(-3)}), 4096)},
                                        g3 = {E(0, {N(-3)}, 4096)}, b3 = {E(0, {N(5)}, 4096)};
  struct Case {
    const char* name;
    int task;
    int16_t measure; // the one selected
    std::vector<hostsim::EntrySpec> top1, below1, below2;
    int16_t staff; // whose last entry of measure 1 holds these notes after
    std::vector<P> after;
  } cases[] = {
      {"Explode: into the selection", Explode, 2, chords, held, g3, 2, {p(-3)}},
      {"Explode: out of it", Explode, 1, tiedOn, {}, {}, 2, {p(0)}},
      {"Explode: the top staff's tie still leads on",
       Explode,
       1,
       tiedOn,
       {},
       {},
       1,
       {p(7, 0, true)}},
      {"Reduce: into the selection", Reduce, 2, chords, held, g3, 2, {p(-3)}},
      {"a tie that led nowhere before", Explode, 2, chords, held, b3, 2, {p(-3, 0, true)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Score(2, 2);
    Put(1, 1, c.top1);
    Put(1, 2, chords);
    if (!c.below1.empty()) Put(2, 1, c.below1);
    if (!c.below2.empty()) Put(2, 2, c.below2);
    hostsim::SetSelection(1, c.measure, 0, 2, c.measure, REGION_TO_END);
    EXPECT_TRUE(Run(c.task));
    EXPECT_EQ(c.after, Read(c.staff, 1).back().notes);
  }
}

} // namespace
