// Voice Leading from the real tool window on the real DLL: the twenty-third row, a progression
// revoiced with its melody kept, a beep when every chord is in its best place already, then the
// progression as written revoiced with its bass kept; each change one undo step.
#include "e2e/host.h"
#include "support/chords.h"

using namespace e2e;
using hostsim::TheHost;
using testsupport::Chord;

namespace {

const int kVoiceLeading = 22;

std::vector<int> Steps(int16_t measure, size_t index) {
  const EXENTRY& e = hostsim::Cell(1, measure, 0).at(index);
  std::vector<int> out;
  for (int i = 0; i < e.notecount && i < MAX_NOTES; ++i)
    out.push_back(e.notes[i].displacement);
  return out;
}

class VoiceLeadingWindow : public HostSession {
protected:
  void SetUp() override {
    HostSession::SetUp();
    if (HasFatalFailure()) return;
    MakeScore(1, 2);
    hostsim::AddEntry(1, 1, 0, Chord(0, {0, 2, 4}));      // C4 E4 G4
    hostsim::AddEntry(1, 1, 0, Chord(1024, {-4, -2, 7})); // F3 A3 C5
    hostsim::AddEntry(1, 2, 0, Chord(0, {-7, 2, 4}));     // C3 E4 G4 across the bar line
    hostsim::SetSelection(1, 1, 0, 1, 2, REGION_TO_END);
  }
};

} // namespace

TEST_F(VoiceLeadingWindow, ItsRowRevoicesTheProgressionWithItsMelodyOrItsBassKept) {
  ASSERT_TRUE(systemCallsHooked);
  const std::vector<EXENTRY> written[2] = {hostsim::Cell(1, 1, 0), hostsim::Cell(1, 2, 0)};
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(rows[kVoiceLeading], "Voice Leading");
  ClickListRow(dialog, IDC_TASKLIST, kVoiceLeading);
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_TOPRADIO), "Top");
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_BOTTOMRADIO), "Bottom");
  // The window as the user sees it now, the list scrolled down to the new row: kept beside
  // the program, as the tool window's own picture is.
  Pump();
  Picture picture = CaptureWindow(dialog);
  ASSERT_EQ(picture.width, Width(hostsim::OuterRect(dialog)));
  EXPECT_TRUE(WriteBmp(picture, BesideProgram("voiceleading.bmp")));

  Press(dialog, IDC_TOPRADIO);
  Press(dialog, IDC_APPLY);
  EXPECT_EQ(Steps(1, 0), std::vector<int>({0, 2, 4})); // the first chord stays
  EXPECT_EQ(Steps(1, 1), std::vector<int>({3, 5, 7})); // F4 A4 C5: F stays lowest
  EXPECT_EQ(Steps(2, 0), std::vector<int>({0, 2, 4})); // C4 E4 G4: the C an octave up
  Press(dialog, IDC_APPLY);                            // the best already: a beep
  EXPECT_EQ(Beeps().size(), 1u);

  hostsim::Cell(1, 1, 0) = written[0]; // the progression as written again
  hostsim::Cell(1, 2, 0) = written[1];
  Press(dialog, IDC_BOTTOMRADIO);
  Press(dialog, IDC_APPLY); // over F3 the A and the C come as near the chord before as they can
  EXPECT_EQ(Steps(1, 1), std::vector<int>({-4, 5, 0})); // F3 C4 A4
  EXPECT_EQ(Steps(2, 0), std::vector<int>({-7, 2, 4})); // C3 E4 G4 as written
  ASSERT_EQ(TheHost().undoList.size(), 2u);
  EXPECT_EQ(TheHost().undoList[0].name, "Voice Leading");
  EXPECT_EQ(TheHost().undoList[1].name, "Voice Leading");
  EXPECT_FALSE(TheHost().editOpen);
  EXPECT_TRUE(TheHost().framesOut.empty());
}
