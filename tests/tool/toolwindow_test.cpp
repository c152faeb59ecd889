// The tool window as the user meets it: the plug-in is invoked, and everything after goes
// through the dialog procedure with the messages the host sends (list selection, clicks,
// activation, resizing, the close box).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialogs.h"
#include "entry.h"
#include "fcchordshaperwindow.h"
#include "hostsim.h"
#include "score.h"
#include "support/chords.h"
#include "support/host_folder.h"
#include "tasks.h"
#include "support/make_window.h"
#include "support/moduleglobals.h"

namespace {

using testsupport::Chord;
using testsupport::E;
using testsupport::N;
using testwin::Height;
using testwin::ShadedHeight;
using testwin::Width;

class ToolWindowTest : public ModuleHost {
protected:
  void SetUp() override {
    // One module, one window object: each case starts as a freshly loaded plug-in.
    delete pMainWindow;
    pMainWindow = nullptr;
    hostsim::ResetDialogs();
    ModuleHost::SetUp();
    folder.reset(new testsupport::HostFolder);
    GlobalUserSettings = UserSettings();
    SetFinaleFrameworkVersion(0x0F000200);
    ufourbyte flags = 0;
    FinaleExtensionInit(nullptr, &flags);
    // Two staves, a part showing the lower one; measure 1 holds chords, measure 2 single
    // notes and a rest.
    hostsim::NewDocument(2, 2);
    hostsim::AddPart({2});
    hostsim::AddEntry(1, 1, 0, Chord(0, {0, 2, 4}));
    hostsim::AddEntry(1, 1, 0, Chord(1024, {0, 3, 5, 7}));
    hostsim::AddEntry(2, 1, 0, Chord(0, {-14, -7}));
    hostsim::AddEntry(2, 1, 0, Chord(1024, {-10, -8, -6}));
    hostsim::AddEntry(1, 2, 0, Chord(0, {2}));
    hostsim::AddEntry(2, 2, 0, Chord(0, {}));
    hostsim::SetSelection(1, 1, 0, 2, 1, 0x7FFFFFFF);
  }
  void TearDown() override {
    delete pMainWindow;
    pMainWindow = nullptr;
    hostsim::ResetDialogs();
    folder.reset();
  }
  // The user chooses the menu item; answers the tool window.
  HWND Invoke() {
    FinaleExtensionInvoke(nullptr, nullptr, nullptr, nullptr);
    HWND dialog = hostsim::OpenDialog();
    if (dialog) hostsim::SetDialogActive(dialog, true);
    return dialog;
  }
  int RowOf(const char* name) {
    for (int i = 0; i < TASKCOUNT; ++i)
      if (std::string(TaskDescriptors[i].name) == name) return i;
    return -1;
  }
  std::vector<int16_t> Displacements(int16_t staff, int16_t measure, size_t entry) {
    std::vector<int16_t> out;
    auto& cell = hostsim::Cell(staff, measure, 0);
    if (entry >= cell.size()) return out;
    for (int i = 0; i < cell[entry].notecount && i < MAX_NOTES; ++i)
      out.push_back(cell[entry].notes[i].displacement);
    std::sort(out.begin(), out.end());
    return out;
  }

  std::unique_ptr<testsupport::HostFolder> folder;
};

TEST_F(ToolWindowTest, TheFirstOpeningShowsAddThirdTopAndRespaceMusic) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ("QV Chord Shaper", hostsim::WindowText(dialog));
  std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
  ASSERT_EQ(static_cast<size_t>(TASKCOUNT), rows.size());
  for (int i = 0; i < TASKCOUNT; ++i)
    EXPECT_EQ(TaskDescriptors[i].name, rows[i]);
  EXPECT_EQ("Add Third", rows[hostsim::ListSelection(dialog, IDC_TASKLIST)]);
  EXPECT_EQ(1, hostsim::ItemCheck(dialog, IDC_RESPACE));
  EXPECT_EQ(1, hostsim::ItemCheck(dialog, IDC_TOPRADIO));
  EXPECT_EQ(0, hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO));
  EXPECT_EQ("Top", hostsim::ItemText(dialog, IDC_TOPRADIO));
  EXPECT_EQ("Bottom", hostsim::ItemText(dialog, IDC_BOTTOMRADIO));
  EXPECT_EQ("Adds a (diatonic) third interval to the chord.",
            hostsim::ItemText(dialog, IDC_DESCRIPTION));
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, IDC_TOPRADIO));
}

TEST_F(ToolWindowTest, DeleteUnisonsHidesTheDirectionAndRotateShowsUpAndDown) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Delete Unisons"));
  EXPECT_FALSE(hostsim::ItemVisible(dialog, IDC_TOPRADIO));
  EXPECT_FALSE(hostsim::ItemVisible(dialog, IDC_BOTTOMRADIO));
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_TOPRADIO));
  EXPECT_EQ("Top/Up", hostsim::ItemText(dialog, IDC_TOPRADIO)); // captions follow even when hidden
  EXPECT_EQ("Makes sure there's just one note of each pitch.",
            hostsim::ItemText(dialog, IDC_DESCRIPTION));
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Rotate"));
  EXPECT_TRUE(hostsim::ItemVisible(dialog, IDC_TOPRADIO));
  EXPECT_TRUE(hostsim::ItemVisible(dialog, IDC_BOTTOMRADIO));
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, IDC_BOTTOMRADIO));
  EXPECT_EQ("Up", hostsim::ItemText(dialog, IDC_TOPRADIO));
  EXPECT_EQ("Down", hostsim::ItemText(dialog, IDC_BOTTOMRADIO));
}

TEST_F(ToolWindowTest, TheRadioButtonsExcludeEachOther) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::Click(dialog, IDC_BOTTOMRADIO);
  EXPECT_EQ(0, hostsim::ItemCheck(dialog, IDC_TOPRADIO));
  EXPECT_EQ(1, hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO));
  hostsim::Click(dialog, IDC_TOPRADIO);
  EXPECT_EQ(1, hostsim::ItemCheck(dialog, IDC_TOPRADIO));
  EXPECT_EQ(0, hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO));
}

TEST_F(ToolWindowTest, ApplyChangesTheSelectionAsOneUndoStepAndLeavesTheWindowOpen) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(1, hostsim::Click(dialog, IDC_APPLY));
  EXPECT_EQ(dialog, hostsim::OpenDialog());
  // A third above the top of each chord of the selection; measure 2 is untouched.
  EXPECT_EQ((std::vector<int16_t>{0, 2, 4, 6}), Displacements(1, 1, 0));
  EXPECT_EQ((std::vector<int16_t>{0, 3, 5, 7, 9}), Displacements(1, 1, 1));
  EXPECT_EQ((std::vector<int16_t>{-14, -7, -5}), Displacements(2, 1, 0));
  EXPECT_EQ((std::vector<int16_t>{2}), Displacements(1, 2, 0));
  const hostsim::Host& host = hostsim::TheHost();
  ASSERT_EQ(1u, host.undoList.size());
  EXPECT_EQ("Add Third", host.undoList[0].name);
  // Respaced in the score and in the part that shows the lower staff, each once.
  ASSERT_EQ(2u, host.menuCommands.size());
  EXPECT_EQ(12106, host.menuCommands[0].item);
  EXPECT_EQ(0, host.menuCommands[0].part);
  EXPECT_EQ(12106, host.menuCommands[1].item);
  EXPECT_EQ(1, host.menuCommands[1].part);
  EXPECT_EQ(0, hostsim::Doc().currentPart);
  EXPECT_EQ(1, hostsim::Doc().selection.startmeas);
  EXPECT_EQ(1, hostsim::Doc().selection.endmeas);
  // A second apply is a second undo step.
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Drop 2nd"));
  hostsim::Click(dialog, IDC_APPLY);
  ASSERT_EQ(2u, host.undoList.size());
  EXPECT_EQ("Drop 2nd", host.undoList[1].name);
}

TEST_F(ToolWindowTest, WithRespaceMusicOffNothingIsRespaced) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::Click(dialog, IDC_RESPACE);
  EXPECT_EQ(0, hostsim::ItemCheck(dialog, IDC_RESPACE));
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ(1u, hostsim::TheHost().undoList.size());
  EXPECT_TRUE(hostsim::TheHost().menuCommands.empty());
  EXPECT_FALSE(GlobalUserSettings.bRespaceMusic);
}

TEST_F(ToolWindowTest, ATaskThatChangesNothingLeavesNoUndoStep) {
  hostsim::SetSelection(1, 2, 0, 2, 2, 0x7FFFFFFF); // a single note and a rest
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Delete Outer Note"));
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_TRUE(hostsim::TheHost().undoList.empty());
  EXPECT_TRUE(hostsim::TheHost().menuCommands.empty());
  EXPECT_EQ((std::vector<int16_t>{2}), Displacements(1, 2, 0));
  EXPECT_EQ(dialog, hostsim::OpenDialog());
}

TEST_F(ToolWindowTest, WithNoTaskChosenApplyIsDisabledAndAnApplyChangesNothing) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  SendDlgItemMessageA(dialog, IDC_TASKLIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  hostsim::Command(dialog, IDC_TASKLIST, LBN_SELCHANGE);
  EXPECT_EQ("", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_TOPRADIO));
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_BOTTOMRADIO));
  hostsim::Command(dialog, IDC_APPLY); // as if Apply were enabled again and pressed
  EXPECT_EQ(0, hostsim::CountCalls("FX_StartFinaleEdit"));
  EXPECT_TRUE(hostsim::TheHost().undoList.empty());
}

TEST_F(ToolWindowTest, WithoutASelectionApplyIsDisabled) {
  hostsim::ClearSelection();
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  hostsim::SetSelection(1, 1, 0, 1, 1, 0x7FFFFFFF);
  hostsim::SetDialogActive(dialog, false);
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  hostsim::SetDialogActive(dialog, true);
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, IDC_APPLY));
}

TEST_F(ToolWindowTest, ClosingAndInvokingAgainBringsBackTaskCheckBoxDirectionAndPlace) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Rotate"));
  hostsim::Click(dialog, IDC_BOTTOMRADIO);
  hostsim::Click(dialog, IDC_RESPACE);
  RECT start = hostsim::OuterRect(dialog);
  SetWindowPos(dialog, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT grown = hostsim::UserResize(dialog, Width(start), Height(start) + 40);
  hostsim::Click(dialog, IDC_CLOSE);
  EXPECT_EQ(0, hostsim::OpenDialogCount());
  EXPECT_EQ(RowOf("Rotate"), GlobalUserSettings.nTaskIndex);
  EXPECT_FALSE(GlobalUserSettings.bRespaceMusic);
  EXPECT_FALSE(GlobalUserSettings.bTop);

  FCChordShaperWindow* first = pMainWindow;
  HWND again = Invoke();
  ASSERT_TRUE(again);
  EXPECT_EQ(first, pMainWindow);
  EXPECT_EQ(RowOf("Rotate"), hostsim::ListSelection(again, IDC_TASKLIST));
  EXPECT_EQ("Down", hostsim::ItemText(again, IDC_BOTTOMRADIO));
  EXPECT_EQ(0, hostsim::ItemCheck(again, IDC_RESPACE));
  EXPECT_EQ(0, hostsim::ItemCheck(again, IDC_TOPRADIO));
  EXPECT_EQ(1, hostsim::ItemCheck(again, IDC_BOTTOMRADIO));
  RECT back = hostsim::OuterRect(again);
  EXPECT_EQ(123, back.left);
  EXPECT_EQ(77, back.top);
  EXPECT_EQ(Height(grown), Height(back));
}

TEST_F(ToolWindowTest, ClosingWithDrop3rdAndTheCheckBoxOffComesBackSo) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Drop 3rd"));
  hostsim::Click(dialog, IDC_RESPACE);
  hostsim::CloseBox(dialog);
  HWND again = Invoke();
  ASSERT_TRUE(again);
  EXPECT_EQ(RowOf("Drop 3rd"), hostsim::ListSelection(again, IDC_TASKLIST));
  EXPECT_EQ(0, hostsim::ItemCheck(again, IDC_RESPACE));
  EXPECT_FALSE(hostsim::ItemVisible(again, IDC_TOPRADIO));
}

TEST_F(ToolWindowTest, InvokingWhileOpenShowsTheSameWindow) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog, Invoke());
  EXPECT_EQ(1, hostsim::OpenDialogCount());
  EXPECT_EQ(1, hostsim::CountCalls("FX_Dialog"));
}

TEST_F(ToolWindowTest, WindowshadingOnlyWithTheOptionValueOne) {
  folder->WriteOptions("QVCHORDSHAPER_WINDOWSHADE=1\n");
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  int open = Height(hostsim::OuterRect(dialog));
  hostsim::SetDialogActive(dialog, false);
  EXPECT_EQ(ShadedHeight(), Height(hostsim::OuterRect(dialog)));
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  hostsim::SetDialogActive(dialog, true);
  EXPECT_EQ(open, Height(hostsim::OuterRect(dialog)));
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, IDC_APPLY));
  hostsim::Click(dialog, IDC_CLOSE);

  for (const char* text :
       {"QVCHORDSHAPER_WINDOWSHADE=yes\n", "QVCHORDSHAPER_WINDOWSHADE=11\n", "OTHER=1\n"}) {
    folder->WriteOptions(text);
    HWND d = Invoke();
    ASSERT_TRUE(d);
    int h = Height(hostsim::OuterRect(d));
    hostsim::SetDialogActive(d, false);
    EXPECT_EQ(h, Height(hostsim::OuterRect(d))) << text;
    hostsim::Click(d, IDC_CLOSE);
  }
}

TEST_F(ToolWindowTest, ClosingWhileFoldedReopensAtFullHeight) {
  folder->WriteOptions("QVCHORDSHAPER_WINDOWSHADE=1\n");
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  int open = Height(hostsim::OuterRect(dialog));
  hostsim::SetDialogActive(dialog, false);
  pMainWindow->CloseWindow(); // closed while folded, as a host shutting windows might
  folder->WriteOptions("");   // and windowshading is no longer wanted
  HWND again = Invoke();
  ASSERT_TRUE(again);
  hostsim::SetDialogActive(again, false);
  EXPECT_EQ(open, Height(hostsim::OuterRect(again)));
}

TEST_F(ToolWindowTest, ResizingMovesButtonsAndCheckBoxAndGrowsTheListWithinLimits) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  RECT outer = hostsim::OuterRect(dialog);
  RECT client = hostsim::ClientRect(dialog);
  std::vector<RECT> before;
  for (int id : {IDC_APPLY, IDC_CLOSE, IDC_TASKLIST, IDC_RESPACE, IDC_TASKSLABEL, IDC_TOPRADIO,
                 IDC_DESCRIPTION})
    before.push_back(hostsim::ItemRect(dialog, id));
  RECT reached = hostsim::UserResize(dialog, Width(outer), Height(outer) + 60);
  ASSERT_EQ(Height(outer) + 60, Height(reached));
  int dy = Height(hostsim::ClientRect(dialog)) - Height(client);
  EXPECT_EQ(60, dy);
  RECT apply = hostsim::ItemRect(dialog, IDC_APPLY);
  RECT close = hostsim::ItemRect(dialog, IDC_CLOSE);
  RECT list = hostsim::ItemRect(dialog, IDC_TASKLIST);
  RECT check = hostsim::ItemRect(dialog, IDC_RESPACE);
  EXPECT_EQ(before[0].top + dy, apply.top);
  EXPECT_EQ(before[0].left, apply.left);
  EXPECT_EQ(before[1].top + dy, close.top);
  EXPECT_EQ(before[3].top + dy, check.top);
  EXPECT_EQ(before[2].top, list.top);
  EXPECT_EQ(Height(before[2]) + dy, Height(list));
  EXPECT_EQ(Width(before[2]), Width(list));
  EXPECT_EQ(before[4].top, hostsim::ItemRect(dialog, IDC_TASKSLABEL).top);
  EXPECT_EQ(before[5].top, hostsim::ItemRect(dialog, IDC_TOPRADIO).top);
  EXPECT_EQ(before[6].top, hostsim::ItemRect(dialog, IDC_DESCRIPTION).top);

  // Not narrower, wider or shorter than at first; not taller than the larger of the first
  // height and eight tenths of the screen.
  RECT wide = hostsim::UserResize(dialog, Width(outer) + 100, Height(outer));
  EXPECT_EQ(Width(outer), Width(wide));
  RECT narrow = hostsim::UserResize(dialog, Width(outer) - 50, Height(outer) - 40);
  EXPECT_EQ(Width(outer), Width(narrow));
  EXPECT_EQ(Height(outer), Height(narrow));
  RECT tall = hostsim::UserResize(dialog, Width(outer), 100000);
  int limit = GetSystemMetrics(SM_CYFULLSCREEN) * 8 / 10;
  EXPECT_EQ(std::max(Height(outer), limit), Height(tall));
}

TEST_F(ToolWindowTest, TheWindowKeepsItsOwnCopyOfTheHostWindowForItsWholeLife) {
  HWND host = testwin::Make("Frame", "Host", WS_OVERLAPPED | WS_CAPTION, 0, 0, 800, 600);
  ASSERT_TRUE(host);
  {
    FCUI ui(host); // the invocation's object goes when the call returns
    DisplayUserWindow(&ui);
  }
  HWND dialog = hostsim::OpenDialog();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(pMainWindow);
  EXPECT_EQ(host, pMainWindow->GetUI()->GetWindowHandle());
  auto calls = hostsim::CallsTo("FX_Dialog");
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(host), calls[0].slots[2]); // the dialog's parent
  hostsim::SetDialogActive(dialog, true);
  hostsim::Click(dialog, IDC_APPLY); // redraws through the window's own copy
  EXPECT_EQ(1u, hostsim::TheHost().undoList.size());
  hostsim::Click(dialog, IDC_CLOSE);
  DestroyWindow(host);
}

TEST_F(ToolWindowTest, AHostThatCannotCreateTheDialogLeavesThePlugInReady) {
  hostsim::SetDialogFailure(true);
  EXPECT_EQ(0, FinaleExtensionInvoke(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, hostsim::OpenDialogCount());
  ASSERT_TRUE(pMainWindow);
  hostsim::SetDialogFailure(false);
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(0, hostsim::ListSelection(dialog, IDC_TASKLIST));
  EXPECT_EQ(static_cast<size_t>(TASKCOUNT), hostsim::ListRows(dialog, IDC_TASKLIST).size());
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ(1u, hostsim::TheHost().undoList.size());
}

TEST_F(ToolWindowTest, AMessageWithoutUserDataIsIgnored) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(0, userroutine(dialog, WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED), 0, nullptr));
  EXPECT_EQ(0, userroutine(dialog, WM_CLOSE, 0, 0, nullptr));
  EXPECT_TRUE(hostsim::TheHost().undoList.empty());
  EXPECT_EQ(dialog, hostsim::OpenDialog());
}

TEST_F(ToolWindowTest, TheFourNoteDropOptionIsReadAgainAtEveryApply) {
  folder->WriteOptions("QVCHORDSHAPER_FOURNOTEDROPCHORDS=1\n");
  hostsim::SetSelection(1, 1, 0, 1, 1, 0x7FFFFFFF); // a triad and a four-note chord
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Drop 2nd"));
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ((std::vector<int16_t>{0, 2, 4}), Displacements(1, 1, 0));     // three notes
  EXPECT_EQ((std::vector<int16_t>{-2, 0, 3, 7}), Displacements(1, 1, 1)); // dropped
  folder->WriteOptions("QVCHORDSHAPER_FOURNOTEDROPCHORDS=0\n");
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ((std::vector<int16_t>{-5, 0, 4}), Displacements(1, 1, 0));
  EXPECT_EQ(2u, hostsim::TheHost().undoList.size());
}

// The list says which tasks are new: the seven after the sixteen.
TEST_F(ToolWindowTest, TheNewTasksFollowTheSixteenAndTheLabelSaysSo) {
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ("&Tasks (the last nine are new):", hostsim::ItemText(dialog, IDC_TASKSLABEL));
  std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
  ASSERT_EQ(static_cast<size_t>(TASKCOUNT), rows.size());
  EXPECT_EQ("Unisons to Octaves", rows[15]);
  EXPECT_EQ(
      (std::vector<std::string>{"Add Second", "Add Fourth", "Add Fifth", "Add Sixth", "Add Seventh",
                                "Close Position", "Voice Leading", "Explode", "Reduce"}),
      std::vector<std::string>(rows.begin() + 16, rows.end()));
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Close Position"));
  EXPECT_TRUE(hostsim::ItemVisible(dialog, IDC_TOPRADIO));
  EXPECT_EQ("Top (close below)", hostsim::ItemText(dialog, IDC_TOPRADIO));
  EXPECT_EQ("Bottom (close above)", hostsim::ItemText(dialog, IDC_BOTTOMRADIO));
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Add Fifth"));
  EXPECT_EQ("Adds a (diatonic) fifth interval to the chord.",
            hostsim::ItemText(dialog, IDC_DESCRIPTION));
  EXPECT_EQ(24, pMainWindow->FindDescriptorIndex(24));
  EXPECT_EQ(-1, pMainWindow->FindDescriptorIndex(TASKCOUNT));
  // Chosen when the window closed, chosen again when it opens.
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Close Position"));
  hostsim::Click(dialog, IDC_CLOSE);
  dialog = Invoke();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(21, hostsim::ListSelection(dialog, IDC_TASKLIST));
}

TEST_F(ToolWindowTest, ClosePositionClosesASpreadChordFromTheWindow) {
  hostsim::AddEntry(1, 2, 0, Chord(1024, {-10, 2, 7, 0})); // after the single note
  hostsim::SetSelection(1, 2, 0, 1, 2, 0x7FFFFFFF);
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Close Position"));
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ((std::vector<int16_t>{2}), Displacements(1, 2, 0));
  EXPECT_EQ((std::vector<int16_t>{0, 2, 4, 7}), Displacements(1, 2, 1));
  ASSERT_EQ(1u, hostsim::TheHost().undoList.size());
  EXPECT_EQ("Close Position", hostsim::TheHost().undoList[0].name);
}

// The spelling of added notes, like the four-note rule, is read again at every apply.
TEST_F(ToolWindowTest, TheSpellingOptionIsReadAgainAtEveryApply) {
  hostsim::AddEntry(1, 2, 0, Chord(1024, {0, 4}));
  hostsim::Cell(1, 2, 0)[1].notes[1].raiselower = 1;
  hostsim::SetSelection(1, 2, 0, 1, 2, 0x7FFFFFFF);
  folder->WriteOptions("QVCHORDSHAPER_SPELLINKEY=1\n");
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::Click(dialog, IDC_APPLY); // Add Third, top: over the raised note, in the key
  const EXENTRY& e = hostsim::Cell(1, 2, 0)[1];
  ASSERT_EQ(3, e.notecount);
  EXPECT_EQ(6, e.notes[2].displacement);
  EXPECT_EQ(0, e.notes[2].raiselower);
  folder->WriteOptions("QVCHORDSHAPER_SPELLINKEY=0\n");
  hostsim::Cell(1, 2, 0)[1].notes[2].raiselower = 1;
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Add Fourth"));
  hostsim::Click(dialog, IDC_APPLY); // a fourth over the raised third, copied
  const EXENTRY& f = hostsim::Cell(1, 2, 0)[1];
  ASSERT_EQ(4, f.notecount);
  EXPECT_EQ(9, f.notes[3].displacement);
  EXPECT_EQ(1, f.notes[3].raiselower);
}

// Reduce tells the user, through the host's message, which places it left as they were and
// why, and where it gathered crossed voices; a Reduce that gathers everything, and every other
// task, shows nothing.
TEST_F(ToolWindowTest, ReduceTellsWhichPlacesItLeftAloneAndWhereVoicesCross) {
  // Measure 2: two eighths above a triplet: no split meets both.
  hostsim::Cell(1, 2, 0).clear();
  hostsim::AddEntry(1, 2, 0, E(0, {N(2)}, 512));
  hostsim::AddEntry(1, 2, 0, E(512, {N(3)}, 512));
  hostsim::Cell(2, 2, 0).clear();
  for (int32_t i = 0; i < 3; ++i)
    hostsim::AddEntry(2, 2, 0, E(341 * i, {N(static_cast<int16_t>(-7 + i))}, i < 2 ? 341 : 342));
  HWND dialog = Invoke();
  ASSERT_TRUE(dialog);
  hostsim::Click(dialog, IDC_APPLY); // Add Third on measure 1
  EXPECT_TRUE(hostsim::TheHost().alerts.empty());
  hostsim::SelectListRow(dialog, IDC_TASKLIST, RowOf("Reduce"));
  hostsim::SetSelection(1, 2, 0, 2, 2, 0x7FFFFFFF);
  hostsim::Click(dialog, IDC_APPLY);
  ASSERT_EQ(1u, hostsim::TheHost().alerts.size());
  EXPECT_EQ("Reduce left 4 places alone, where the selected staves' rhythms cannot be split to "
            "meet (a tuplet against other notes), a grace note is not on every staff, their "
            "notes would not fit one chord or the staff they gather on holds nothing there: "
            "measure 2 beat 1, measure 2 beat 1.33, measure 2 beat "
            "1.5, measure 2 beat 1.67.",
            hostsim::TheHost().alerts[0]);
  EXPECT_EQ((std::vector<int16_t>{2}), Displacements(1, 2, 0)); // nothing gathered
  EXPECT_EQ(1u, hostsim::TheHost().undoList.size());            // Add Third's step alone
  EXPECT_TRUE(__bWindowshadeAllowed);
  // Measure 1 moves together: gathered, and nothing to tell.
  hostsim::SetSelection(1, 1, 0, 2, 1, 0x7FFFFFFF);
  hostsim::Click(dialog, IDC_APPLY);
  EXPECT_EQ(1u, hostsim::TheHost().alerts.size());
  EXPECT_EQ(2u, hostsim::TheHost().undoList.size());
  // The lower staff above the upper one on the second eighth: gathered, and said.
  hostsim::Cell(2, 2, 0).clear();
  hostsim::AddEntry(2, 2, 0, E(0, {N(-7)}, 512));
  hostsim::AddEntry(2, 2, 0, E(512, {N(5)}, 512));
  hostsim::SetSelection(1, 2, 0, 2, 2, 0x7FFFFFFF);
  hostsim::Click(dialog, IDC_APPLY);
  ASSERT_EQ(2u, hostsim::TheHost().alerts.size());
  EXPECT_EQ("Voices cross at measure 2 beat 1.5: the chords there do not keep which staff sang "
            "which note.",
            hostsim::TheHost().alerts[1]);
}

} // namespace
