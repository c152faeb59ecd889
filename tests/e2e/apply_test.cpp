// Applying a task from the tool window: the user presses the real apply button and the score
// in the host changes, as one undo step named after the task, respaced part by part.
#include "e2e/host.h"
#include "support/chords.h"

#include <algorithm>
#include <cstring>
#include <set>

using namespace e2e;
using hostsim::Doc;
using hostsim::TheHost;

namespace {

const int kDrop2nd = 6, kRotate = 12, kTransposeChord = 14;

using testsupport::Chord;

hostsim::EntrySpec Rest(int32_t pos) {
  return Chord(pos, {});
}

// The written pitches of an entry in the host's score, lowest first.
std::vector<int> Pitches(int16_t staff, int16_t measure, size_t index) {
  const std::vector<EXENTRY>& cell = hostsim::Cell(staff, measure, 0);
  std::vector<int> out;
  if (index >= cell.size()) return out;
  const EXENTRY& e = cell[index];
  int count = std::max(0, std::min<int>(e.notecount, MAX_NOTES));
  for (int i = 0; i < count; ++i)
    out.push_back(e.notes[i].displacement);
  std::sort(out.begin(), out.end());
  return out;
}

typedef std::vector<int> P;

// A session with a two-staff score in three parts (the score, staff 1 alone, staff 2 alone):
// chords and a rest on staff 1 in measure 1, chords elsewhere, rests only on staff 2 in
// measure 2. The first measure of staff 1 is selected.
class Apply : public HostSession {
protected:
  void SetUp() override {
    HostSession::SetUp();
    if (HasFatalFailure()) return;
    MakeScore(2, 2);
    hostsim::AddEntry(1, 1, 0, Chord(0, {0, 4}));
    hostsim::AddEntry(1, 1, 0, Chord(1024, {2, 4, 7}));
    hostsim::AddEntry(1, 1, 0, Rest(2048));
    hostsim::AddEntry(2, 1, 0, Chord(0, {0, 4}));
    hostsim::AddEntry(1, 2, 0, Chord(0, {0, 4}));
    hostsim::AddEntry(1, 2, 0, Chord(1024, {0, 2, 4, 6, 7}));
    hostsim::AddEntry(2, 2, 0, Rest(0));
    hostsim::AddEntry(2, 2, 0, Rest(1024));
    hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  }

  std::vector<std::string> UndoNames() const {
    std::vector<std::string> names;
    for (const auto& u : TheHost().undoList)
      names.push_back(u.name);
    return names;
  }

  // Every edit ended or cancelled, every frame given back.
  void ExpectHostBalanced() const {
    EXPECT_FALSE(TheHost().editOpen) << "an edit transaction was left open";
    EXPECT_TRUE(TheHost().framesOut.empty())
        << TheHost().framesOut.size() << " entry frames not given back";
  }
};

bool SameRegion(const EREGION& a, const EREGION& b) {
  return memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST_F(Apply, TheSelectedChordsChangeAsOneUndoStepAndThePartsShowingThemAreRespaced) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  const EREGION selection = Doc().selection;

  Press(dialog, IDC_APPLY); // "Add Third", "Top", "Respace Music" on

  EXPECT_EQ(Pitches(1, 1, 0), P({0, 4, 6}));
  EXPECT_EQ(Pitches(1, 1, 1), P({2, 4, 7, 9}));
  EXPECT_FALSE(hostsim::Cell(1, 1, 0)[2].flags & ENTRY_NOTE) << "a rest stays a rest";
  EXPECT_EQ(Pitches(2, 1, 0), P({0, 4})) << "a staff outside the selection";
  EXPECT_EQ(Pitches(1, 2, 0), P({0, 4})) << "a measure outside the selection";
  EXPECT_EQ(UndoNames(), std::vector<std::string>({"Add Third"}));

  // the respacing command ran once in the score and once in the part showing staff 1, each
  // time over the selected measure
  std::multiset<int> parts;
  for (const auto& m : TheHost().menuCommands) {
    EXPECT_EQ(m.item, kRespaceMenuItem);
    EXPECT_EQ(m.selection.startmeas, 1);
    EXPECT_EQ(m.selection.endmeas, 1);
    parts.insert(m.part);
  }
  EXPECT_EQ(parts, std::multiset<int>({0, 1}));

  // the user's selection and view come back; the music was redrawn; nothing beeped
  EXPECT_TRUE(Doc().hasSelection);
  EXPECT_TRUE(SameRegion(Doc().selection, selection));
  EXPECT_EQ(Doc().currentPart, 0);
  EXPECT_GE(TheHost().redraws, 1);
  EXPECT_TRUE(Beeps().empty());
  ExpectHostBalanced();

  // the window stays open for the next apply
  EXPECT_EQ(hostsim::OpenDialog(), dialog);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(hostsim::CountCalls("FX_EndDialog"), 0);
  // and the plug-in wrote no file into the host's folder
  EXPECT_TRUE(HostFolderFiles().empty());
}

TEST_F(Apply, TheChosenTaskAndDirectionApplyAndEachApplyIsItsOwnUndoStep) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kTransposeChord);
  Press(dialog, IDC_BOTTOMRADIO); // "Down"
  Press(dialog, IDC_RESPACE);     // respacing off
  ASSERT_EQ(hostsim::ItemCheck(dialog, IDC_RESPACE), BST_UNCHECKED);

  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Pitches(1, 1, 0), P({-7, -3}));
  EXPECT_EQ(Pitches(1, 1, 1), P({-5, -3, 0}));
  EXPECT_EQ(Pitches(2, 1, 0), P({0, 4}));
  EXPECT_TRUE(TheHost().menuCommands.empty()) << "respacing was switched off";
  EXPECT_EQ(Doc().currentPart, 0);
  EXPECT_GE(TheHost().redraws, 1);

  ClickListRow(dialog, IDC_TASKLIST, kRotate);
  Press(dialog, IDC_TOPRADIO); // "Up"
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Pitches(1, 1, 0), P({-3, 0}));
  EXPECT_EQ(Pitches(1, 1, 1), P({-3, 0, 2}));

  EXPECT_EQ(UndoNames(), std::vector<std::string>({"Transpose Octave (Chord)", "Rotate"}));
  EXPECT_TRUE(Beeps().empty());
  ExpectHostBalanced();
  EXPECT_EQ(hostsim::OpenDialog(), dialog);
}

TEST_F(Apply, OnRestsOnlyTheWindowBeepsAndTheScoreStaysAsItWas) {
  ASSERT_TRUE(systemCallsHooked) << "the plug-in beeps through USER32!MessageBeep";
  hostsim::SetSelection(2, 2, 0, 2, 2, REGION_TO_END);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  const hostsim::Document before = Doc();

  Press(dialog, IDC_APPLY);

  EXPECT_EQ(Beeps(), std::vector<UINT>({MB_ICONEXCLAMATION}));
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_TRUE(hostsim::SameScore(before, Doc())) << "the score changed";
  EXPECT_TRUE(TheHost().menuCommands.empty());
  EXPECT_EQ(TheHost().redraws, 0);
  ExpectHostBalanced();
  EXPECT_EQ(hostsim::OpenDialog(), dialog);
}

TEST_F(Apply, AnEditTheHostRefusesGivesABeepAndChangesNothing) {
  ASSERT_TRUE(systemCallsHooked);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  TheHost().refuseEdits = true;
  const hostsim::Document before = Doc();

  Press(dialog, IDC_APPLY);

  EXPECT_EQ(Beeps(), std::vector<UINT>({MB_ICONEXCLAMATION}));
  EXPECT_TRUE(hostsim::SameScore(before, Doc()));
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_EQ(hostsim::CountCalls("FX_LoadTGF"), 0) << "nothing is visited without an edit";
}

TEST_F(Apply, TheFourNoteDropOptionIsReadAgainAtEveryApply) {
  ASSERT_TRUE(systemCallsHooked);
  hostsim::SetSelection(1, 2, 0, 1, 2, REGION_TO_END);
  WriteOptionsFile("QVCHORDSHAPER_FOURNOTEDROPCHORDS=1\n");
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kDrop2nd);

  Press(dialog, IDC_APPLY); // neither chord has exactly four notes
  EXPECT_EQ(Beeps().size(), 1u);
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_EQ(Pitches(1, 2, 0), P({0, 4}));
  EXPECT_EQ(Pitches(1, 2, 1), P({0, 2, 4, 6, 7}));

  WriteOptionsFile("QVCHORDSHAPER_FOURNOTEDROPCHORDS=0\n");
  Press(dialog, IDC_APPLY); // the window stayed open; the option is read again
  EXPECT_EQ(Beeps().size(), 1u);
  EXPECT_EQ(Pitches(1, 2, 0), P({-7, 4}));
  EXPECT_EQ(Pitches(1, 2, 1), P({-1, 0, 2, 4, 7}));
  EXPECT_EQ(UndoNames(), std::vector<std::string>({"Drop 2nd"}));
  ExpectHostBalanced();
}
