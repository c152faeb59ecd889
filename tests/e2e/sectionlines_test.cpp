// Explode and Reduce from the real tool window in the real DLL: a chord staff dealt to the
// staves below it, a transposing staff among them, and gathered back, each one undo step.
#include "e2e/host.h"
#include "support/chords.h"

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

// Where the staves' rhythms differ Reduce gathers nothing there and says so through the host's
// message, which this host keeps: nothing waits for the user, the window stays open.
TEST_F(SectionLines, ReduceSaysThroughTheHostHowManyPlacesItLeftAlone) {
  ASSERT_TRUE(systemCallsHooked);
  hostsim::Cell(2, 1, 0).clear();
  hostsim::AddEntry(2, 1, 0, E(0, {N(-3)}, 512)); // two eighths under the first chord
  hostsim::AddEntry(2, 1, 0, E(512, {N(-4)}, 512));
  hostsim::AddEntry(2, 1, 0, Chord(1024, {}));
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kReduce);
  Press(dialog, IDC_TOPRADIO);
  Press(dialog, IDC_APPLY);
  Pump();
  ASSERT_EQ(TheHost().alerts.size(), 1u);
  EXPECT_EQ(TheHost().alerts[0], "Reduce left 2 places alone, where the selected staves' rhythms "
                                 "differ or their notes would not fit one chord.");
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
