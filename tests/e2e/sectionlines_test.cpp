// Explode and Reduce from the real tool window in the real DLL: a chord staff dealt to the
// staves below it, a transposing staff among them, and gathered back, each one undo step.
#include "e2e/host.h"
#include "support/chords.h"
#include "support/entries.h"

#include <algorithm>

using namespace e2e;
using hostsim::TheHost;
using testsupport::Chord;
using testsupport::E;
using testsupport::N;

namespace {

const int kExplode = 23, kReduce = 24; // the rows after Voice Leading

std::vector<int> Notes(int16_t staff, size_t index) {
  const EXENTRY& e = hostsim::Cell(staff, 1, 0).at(index);
  std::vector<int> out;
  if (e.flags & ENTRY_NOTE)
    for (int i = 0; i < std::min<int>(e.notecount, MAX_NOTES); ++i)
      out.push_back(e.notes[i].displacement * 10 + e.notes[i].raiselower);
  std::sort(out.begin(), out.end());
  return out;
}

// Staff 1 holds the chords, staves 2 to 4 quarter rests; staff 3 has a key of its own, D major
// (the host keeps concert pitch: its notes are counted from D).
class SectionLines : public HostSession {
protected:
  void SetUp() override {
    HostSession::SetUp();
    if (HasFatalFailure()) return;
    MakeScore(4, 1);
    hostsim::NoteSpec tied = N(7);
    tied.flags |= NOTE_TIE;
    hostsim::AddEntry(1, 1, 0, E(0, {N(0), N(2), N(4), tied}));
    hostsim::AddEntry(1, 1, 0, E(1024, {N(-1), N(1), N(3, 1), N(6)}));
    for (int16_t s = 2; s <= 4; ++s) {
      hostsim::AddEntry(s, 1, 0, Chord(0, {}));
      hostsim::AddEntry(s, 1, 0, Chord(1024, {}));
    }
    hostsim::SetStaffFlags(3, 0x8000);
    hostsim::SetCellKey(3, 1, 2);
    hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
  }
};

} // namespace

TEST_F(SectionLines, ExplodeDealsTheLinesAndReduceGathersThemBack) {
  ASSERT_TRUE(systemCallsHooked);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kExplode);
  Press(dialog, IDC_TOPRADIO);
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Notes(1, 0), std::vector<int>({70}));
  EXPECT_EQ(Notes(2, 0), std::vector<int>({40}));
  EXPECT_EQ(Notes(3, 0), std::vector<int>({10})) << "E4: the second step of D major";
  EXPECT_EQ(Notes(4, 0), std::vector<int>({0}));
  EXPECT_EQ(Notes(3, 1), std::vector<int>({0})) << "D4: the tonic of D major";
  EXPECT_NE(hostsim::Cell(1, 1, 0).at(0).notes[0].flags & NOTE_TIE, 0u) << "the tie stays";
  ClickListRow(dialog, IDC_TASKLIST, kReduce);
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Notes(1, 0), std::vector<int>({0, 20, 40, 70}));
  EXPECT_EQ(Notes(1, 1), std::vector<int>({-10, 10, 31, 60}));
  for (int16_t s = 2; s <= 4; ++s)
    EXPECT_TRUE(Notes(s, 0).empty() && Notes(s, 1).empty()) << "staff " << s;
  ASSERT_EQ(TheHost().undoList.size(), 2u);
  EXPECT_EQ(TheHost().undoList[0].name, "Explode");
  EXPECT_EQ(TheHost().undoList[1].name, "Reduce");
  EXPECT_TRUE(Beeps().empty());
  EXPECT_TRUE(TheHost().framesOut.empty());
}

TEST_F(SectionLines, OneStaffSelectedBeepsAndChangesNothing) {
  ASSERT_TRUE(systemCallsHooked);
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kExplode);
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Notes(1, 0), std::vector<int>({0, 20, 40, 70}));
  EXPECT_EQ(Beeps().size(), 1u);
  EXPECT_TRUE(TheHost().undoList.empty());
}

// Where no split meets the staves' rhythms Reduce gathers nothing there and says where through
// the host's message, which this host keeps: nothing waits for the user, the window stays open.
TEST_F(SectionLines, ReduceSaysThroughTheHostWhichPlacesItLeftAlone) {
  ASSERT_TRUE(systemCallsHooked);
  hostsim::Cell(2, 1, 0).clear();
  hostsim::AddEntry(2, 1, 0, E(0, {N(-3)}, 512)); // two eighths under the first chord
  hostsim::AddEntry(2, 1, 0, E(512, {N(-4)}, 512));
  hostsim::AddEntry(2, 1, 0, Chord(1024, {}));
  hostsim::Cell(3, 1, 0).clear(); // and a triplet
  for (int32_t i = 0; i < 3; ++i)
    hostsim::AddEntry(3, 1, 0, E(341 * i, {N(static_cast<int16_t>(-5 - i))}, i < 2 ? 341 : 342));
  hostsim::AddEntry(3, 1, 0, Chord(1024, {}));
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kReduce);
  Press(dialog, IDC_TOPRADIO);
  Press(dialog, IDC_APPLY);
  Pump();
  ASSERT_EQ(TheHost().alerts.size(), 1u);
  EXPECT_EQ(TheHost().alerts[0],
            "Reduce left 4 places alone, where the selected staves' rhythms cannot be split to "
            "meet (a tuplet against other notes), a grace note is not on every staff, their "
            "notes would not fit one chord or the staff they gather on holds nothing there: "
            "measure 1 beat 1, measure 1 beat 1.33, measure 1 "
            "beat 1.5, measure 1 beat 1.67.");
  EXPECT_EQ(Notes(1, 0), std::vector<int>({0, 20, 40, 70})) << "nothing gathered";
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_EQ(Beeps().size(), 1u);
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Explode says nothing.
  ClickListRow(dialog, IDC_TASKLIST, kExplode);
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(TheHost().alerts.size(), 1u);
  EXPECT_EQ(TheHost().undoList.size(), 1u);
}

// ---- Every rule, note by note, through the real module ------------------------------------

namespace {

using testsupport::Entry;
using testsupport::P;
using testsupport::p;
using testsupport::Put;
using testsupport::Read;
using testsupport::Sorted;

// Scores of quarter rests on every staff, chords put where a test wants them, each task
// applied from the tool window.
class SectionRules : public HostSession {
protected:
  void Score(int16_t staves, int16_t measures) {
    MakeScore(staves, measures);
    testsupport::QuarterRests(staves, measures);
  }

  void Apply(int row, bool top) {
    if (!dialog_) dialog_ = Invoke();
    ASSERT_NE(dialog_, nullptr);
    ClickListRow(dialog_, IDC_TASKLIST, row);
    Press(dialog_, top ? IDC_TOPRADIO : IDC_BOTTOMRADIO);
    Press(dialog_, IDC_APPLY);
  }

  HWND dialog_ = nullptr;
};

} // namespace

TEST_F(SectionRules, GraceNotesATripletARestAndATieOverTheBarlineComeFromTheTopStaff) {
  ASSERT_TRUE(systemCallsHooked);
  Score(2, 2);
  testsupport::PutRhythmPassage();
  hostsim::SetSelection(1, 1, 0, 2, 2, REGION_TO_END);
  Apply(kExplode, true);
  EXPECT_EQ(testsupport::RhythmExploded(1), Read(1, 1));
  EXPECT_EQ(testsupport::RhythmExploded(2), Read(2, 1));
  EXPECT_EQ((std::vector<Entry>{{0, 2048, false, {p(9, 1)}}, {2048, 2048, false, {}}}), Read(1, 2));
  EXPECT_EQ((std::vector<Entry>{{0, 2048, false, {p(2)}}, {2048, 2048, false, {}}}), Read(2, 2));
  // Gathered back: the chords as they were, the second staff all rests.
  Apply(kReduce, true);
  EXPECT_EQ((std::vector<P>{p(0), p(4)}), Sorted(Read(1, 1)[1].notes));
  EXPECT_EQ((std::vector<P>{p(2, 0, true), p(9, 1, true)}), Sorted(Read(1, 1)[5].notes));
  EXPECT_EQ((std::vector<P>{p(2), p(9, 1)}), Sorted(Read(1, 2)[0].notes));
  for (int16_t m = 1; m <= 2; ++m)
    for (const Entry& e : Read(2, m))
      EXPECT_TRUE(e.notes.empty()) << "measure " << m << " " << e;
  ASSERT_EQ(TheHost().undoList.size(), 2u);
  EXPECT_TRUE(Beeps().empty());
}

TEST_F(SectionRules, FewerNotesThanStavesDoubleALineAndMoreLeaveAChordOnTheLastStaffOrTheFirst) {
  ASSERT_TRUE(systemCallsHooked);
  Score(4, 2);
  Put(1, 1, {Chord(0, {0, 4}), Chord(1024, {0, 9, 4, 7, 2, 11})});
  Put(1, 2, {Chord(0, {0, 4}), Chord(1024, {0, 9, 4, 7, 2, 11})});
  hostsim::SetSelection(1, 1, 0, 4, 1, REGION_TO_END);
  Apply(kExplode, true); // measure 1 from the top: the lowest note doubled
  hostsim::SetSelection(1, 2, 0, 4, 2, REGION_TO_END);
  Apply(kExplode, false); // measure 2 from the bottom: the highest note doubled
  std::vector<std::vector<P>> fewerTop, fewerBottom;
  for (int16_t s = 1; s <= 4; ++s) {
    fewerTop.push_back(Read(s, 1)[0].notes);
    fewerBottom.push_back(Read(s, 2)[0].notes);
  }
  EXPECT_EQ((std::vector<std::vector<P>>{{p(4)}, {p(0)}, {p(0)}, {p(0)}}), fewerTop);
  EXPECT_EQ((std::vector<std::vector<P>>{{p(4)}, {p(4)}, {p(4)}, {p(0)}}), fewerBottom);
  // Six notes on four staves: from the top one line each, the rest a chord on the last staff;
  // from the bottom the mirror, the rest a chord on the first; in the chord's own slot order.
  EXPECT_EQ((std::vector<P>{p(11)}), Read(1, 1)[1].notes);
  EXPECT_EQ((std::vector<P>{p(9)}), Read(2, 1)[1].notes);
  EXPECT_EQ((std::vector<P>{p(7)}), Read(3, 1)[1].notes);
  EXPECT_EQ((std::vector<P>{p(0), p(4), p(2)}), Read(4, 1)[1].notes);
  EXPECT_EQ((std::vector<P>{p(9), p(7), p(11)}), Read(1, 2)[1].notes);
  EXPECT_EQ((std::vector<P>{p(4)}), Read(2, 2)[1].notes);
  EXPECT_EQ((std::vector<P>{p(2)}), Read(3, 2)[1].notes);
  EXPECT_EQ((std::vector<P>{p(0)}), Read(4, 2)[1].notes);
  EXPECT_EQ(TheHost().undoList.size(), 2u);
}

// A piano voicing dealt to five staves, three of them in keys of their own as transposing
// parts are held (concert pitch, counted from another tonic), and gathered back.
TEST_F(SectionRules, APianoVoicingGoesToFiveStavesAtItsPitchAndBack) {
  ASSERT_TRUE(systemCallsHooked);
  Score(5, 1);
  for (int16_t s = 2; s <= 4; ++s)
    hostsim::SetStaffFlags(s, 0x8000);
  hostsim::SetCellKey(2, 1, 2);    // D major
  hostsim::SetCellKey(3, 1, 0xFD); // E-flat major
  hostsim::SetCellKey(4, 1, 3);    // A major
  hostsim::NoteSpec tied = N(1);
  tied.flags |= NOTE_TIE;
  Put(1, 1, {E(0, {N(0), tied, N(3, 1), N(5), N(7)}, 4096)}); // C5 A4 F#4 D4~ C4
  hostsim::SetSelection(1, 1, 0, 5, 1, REGION_TO_END);
  Apply(kExplode, true);
  EXPECT_EQ((std::vector<P>{p(7)}), Read(1, 1)[0].notes);
  EXPECT_EQ((std::vector<P>{p(4)}), Read(2, 1)[0].notes) << "A4 in D major";
  EXPECT_EQ((std::vector<P>{p(1, 1)}), Read(3, 1)[0].notes) << "F#4 in E-flat major";
  EXPECT_EQ((std::vector<P>{p(-4, 0, true)}), Read(4, 1)[0].notes) << "D4, tied, in A major";
  EXPECT_EQ((std::vector<P>{p(0)}), Read(5, 1)[0].notes);
  Apply(kReduce, true);
  EXPECT_EQ((std::vector<P>{p(0), p(1, 0, true), p(3, 1), p(5), p(7)}),
            Sorted(Read(1, 1)[0].notes));
  for (int16_t s = 2; s <= 5; ++s)
    EXPECT_TRUE(Read(s, 1)[0].notes.empty()) << "staff " << s;
  EXPECT_EQ(TheHost().undoList.size(), 2u);
}

// A tie over the selection's edge holds only where it still leads to its pitch: the lower
// staff's whole note before the selection loses the tie into the notes dealt there, the top
// staff's note keeps its own. One undo step takes both back.
TEST_F(SectionRules, ATieIntoTheSelectionGoesWhereItsNoteWasDealtAway) {
  ASSERT_TRUE(systemCallsHooked);
  Score(2, 2);
  hostsim::NoteSpec low = N(-3), high = N(7);
  low.flags |= NOTE_TIE;
  high.flags |= NOTE_TIE;
  Put(1, 1, {E(0, {high}, 4096)});
  Put(1, 2, {Chord(0, {7, 0}), Chord(1024, {}), Chord(2048, {}), Chord(3072, {})});
  Put(2, 1, {E(0, {low}, 4096)});
  Put(2, 2, {E(0, {N(-3)}, 4096)});
  hostsim::SetSelection(1, 2, 0, 2, 2, REGION_TO_END);
  Apply(kExplode, true);
  EXPECT_EQ((std::vector<P>{p(0)}), Read(2, 2)[0].notes);
  EXPECT_EQ((std::vector<P>{p(-3)}), Read(2, 1)[0].notes) << "the tie into C4 goes";
  EXPECT_EQ((std::vector<P>{p(7, 0, true)}), Read(1, 1)[0].notes) << "the tie into G5 stays";
  ASSERT_EQ(TheHost().undoList.size(), 1u);
  EXPECT_TRUE(Beeps().empty());
}
