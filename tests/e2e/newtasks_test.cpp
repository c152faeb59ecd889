// The six tasks that follow the sixteen, applied from the real tool window to the host's
// score: each added interval in both directions, with and without the spelling option, and
// Close Position both ways, each as an undo step named after its task.
#include "e2e/host.h"
#include "support/chords.h"

#include <algorithm>
#include <cstring>

using namespace e2e;
using hostsim::TheHost;
using testsupport::Chord;
using testsupport::E;
using testsupport::N;

namespace {

const int kAddSecond = 16, kClosePosition = 21;

// The notes of an entry in the host's score, in slot order.
const EXENTRY& Entry(int16_t staff, int16_t measure, size_t index) {
  return hostsim::Cell(staff, measure, 0).at(index);
}

std::vector<int> Sorted(const EXENTRY& e) {
  std::vector<int> out;
  for (int i = 0; i < std::min<int>(e.notecount, MAX_NOTES); ++i)
    out.push_back(e.notes[i].displacement);
  std::sort(out.begin(), out.end());
  return out;
}

// Staff 1: C4 with a tied G#4 above it (raised against the key), then a spread chord; staff
// 2: twelve notes, which no interval can be added to. Both staves of measure 1 selected.
class NewTasks : public HostSession {
protected:
  void SetUp() override {
    HostSession::SetUp();
    if (HasFatalFailure()) return;
    MakeScore(2, 1);
    hostsim::NoteSpec tied = N(4, 1);
    tied.flags |= NOTE_TIE;
    hostsim::AddEntry(1, 1, 0, E(0, {N(0), tied}));
    hostsim::AddEntry(1, 1, 0, Chord(1024, {-10, 2, 7, 0}));
    hostsim::AddEntry(2, 1, 0, Chord(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    hostsim::SetSelection(1, 1, 0, 2, 1, REGION_TO_END);
  }
};

} // namespace

TEST_F(NewTasks, EachIntervalIsAddedAboveTheTopOrBelowTheBottomAndSpeltAsTheOptionSays) {
  ASSERT_TRUE(systemCallsHooked);
  const std::vector<EXENTRY> staff1 = hostsim::Cell(1, 1, 0);
  const std::vector<EXENTRY> staff2 = hostsim::Cell(2, 1, 0);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> undo;
  for (int spell = 0; spell < 2; ++spell) {
    WriteOptionsFile(spell ? "QVCHORDSHAPER_SPELLINKEY=1\n" : "");
    for (int steps = 1; steps <= 6; ++steps) {
      if (steps == 2) continue; // Add Third has its own tests
      int row = kAddSecond + (steps == 1 ? 0 : steps - 2);
      for (bool top : {true, false}) {
        SCOPED_TRACE(std::string(kTaskNames[row]) + (top ? " top" : " bottom") +
                     (spell ? " in the key" : ""));
        hostsim::Cell(1, 1, 0) = staff1;
        ClickListRow(dialog, IDC_TASKLIST, row);
        Press(dialog, top ? IDC_TOPRADIO : IDC_BOTTOMRADIO);
        Press(dialog, IDC_APPLY);
        undo.push_back(kTaskNames[row]);
        const EXENTRY& e = Entry(1, 1, 0);
        ASSERT_EQ(e.notecount, 3);
        const ENOTE& added = e.notes[2];
        EXPECT_EQ(added.displacement, top ? 4 + steps : -steps);
        // spelt in the key whatever the option; over the G#4 on top a fourth or a fifth is
        // perfect (C#5, D#5)
        EXPECT_EQ(added.raiselower, top && (steps == 3 || steps == 4) ? 1 : 0);
        EXPECT_EQ((added.flags & NOTE_TIE) != 0, top) << "the tie follows the note built on";
        EXPECT_EQ(Entry(1, 1, 1).notecount, 5);
        EXPECT_EQ(Entry(2, 1, 0).notecount, 12) << "the twelve-note chord took a note";
        for (int i = 0; i < 12;
             ++i) { // as written (frame cleaning mirrors note IDs into the flags)
          const ENOTE &was = staff2[0].notes[i], &is = Entry(2, 1, 0).notes[i];
          EXPECT_EQ(was.displacement, is.displacement);
          EXPECT_EQ(was.raiselower, is.raiselower);
          EXPECT_EQ(was.noteID, is.noteID);
        }
      }
    }
  }
  std::vector<std::string> names;
  for (const auto& u : TheHost().undoList)
    names.push_back(u.name);
  EXPECT_EQ(names, undo);
  EXPECT_TRUE(Beeps().empty());
  EXPECT_FALSE(TheHost().editOpen);
  EXPECT_TRUE(TheHost().framesOut.empty());
}

TEST_F(NewTasks, ClosePositionKeepsTheEdgeNoteAndMovesTheOthersByOctaves) {
  ASSERT_TRUE(systemCallsHooked);
  const std::vector<EXENTRY> staff1 = hostsim::Cell(1, 1, 0);
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ClickListRow(dialog, IDC_TASKLIST, kClosePosition);
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_TOPRADIO), "Top (close below)");
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_BOTTOMRADIO), "Bottom (close above)");

  Press(dialog, IDC_APPLY); // top: G2 E4 C5 C4 closes under C5; C4 G#4 is closed already
  EXPECT_EQ(Sorted(Entry(1, 1, 1)), std::vector<int>({0, 2, 4, 7}));
  EXPECT_EQ(Sorted(Entry(1, 1, 0)), std::vector<int>({0, 4}));
  EXPECT_EQ(Entry(1, 1, 0).notes[1].flags & NOTE_TIE, NOTE_TIE);

  hostsim::Cell(1, 1, 0) = staff1;
  Press(dialog, IDC_BOTTOMRADIO);
  Press(dialog, IDC_APPLY); // bottom: over G2, the two Cs stay an octave apart, C3 and C4
  EXPECT_EQ(Sorted(Entry(1, 1, 1)), std::vector<int>({-10, -7, -5, 0}));

  Press(dialog, IDC_APPLY); // closed now: nothing to do
  EXPECT_EQ(Beeps().size(), 1u);
  ASSERT_EQ(TheHost().undoList.size(), 2u);
  EXPECT_EQ(TheHost().undoList[0].name, "Close Position");
  EXPECT_EQ(TheHost().undoList[1].name, "Close Position");
}
