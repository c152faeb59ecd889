// The tool window as the user meets it: invoked from the host's menu, built by the Windows
// dialog manager from the DLL's own dialog resource, and worked with the mouse.
#include "e2e/host.h"

#include <algorithm>
#include <map>

using namespace e2e;
using hostsim::ItemCheck;
using hostsim::ItemEnabled;
using hostsim::ItemRect;
using hostsim::ItemText;
using hostsim::ItemVisible;
using hostsim::ListSelection;
using hostsim::OuterRect;

namespace {

const char kAddThirdText[] = "Adds a (diatonic) third interval to the chord.";
const char kDeleteUnisonsText[] = "Makes sure there's just one note of each pitch.";
const char kRotateText[] = "Rotates the chord up or down (by moving the top/bottom note in the "
                           "chord down/up). Only affects chords less than an octave.";
const int kDeleteUnisons = 5, kDrop3rd = 7, kRotate = 12;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// A session with a two-staff score and a chord selected in its first measure.
class ToolWindow : public HostSession {
protected:
  void SetUp() override {
    HostSession::SetUp();
    if (HasFatalFailure()) return;
    MakeScore(2, 2);
    hostsim::EntrySpec chord;
    chord.notes = {{0}, {4}};
    hostsim::AddEntry(1, 1, 0, chord);
    hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  }

  // Tab: the keyboard moves from the task list to the next control.
  static void LeaveTaskList(HWND dialog) {
    ASSERT_EQ(GetFocus(), GetDlgItem(dialog, IDC_TASKLIST));
    PressKey(VK_TAB);
    ASSERT_NE(GetFocus(), GetDlgItem(dialog, IDC_TASKLIST));
    ASSERT_EQ(GetParent(GetFocus()), dialog);
  }

  // The outer height of a window collapsed to its caption bar.
  static int CaptionBarHeight() {
    return GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYBORDER);
  }
};

} // namespace

TEST_F(ToolWindow, TheFirstOpeningShowsTheTwentyThreeTasksWithAddThirdChosen) {
  int32_t answer = -1;
  HWND dialog = Invoke(&answer);
  EXPECT_EQ(answer, 0);
  ASSERT_NE(dialog, nullptr) << "no tool window after FinaleExtensionInvoke";

  // the host made it from the plug-in's resource 20128, modeless, over the score window
  auto made = hostsim::CallsTo("FX_Dialog");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(static_cast<int16_t>(made[0].slots[0]), 20128);
  EXPECT_EQ(made[0].slots[2], hostsim::Slot(HostWindow()));
  EXPECT_EQ(made[0].slots[3], 0u);
  HMODULE procModule = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(made[0].slots[1])), &procModule);
  EXPECT_EQ(procModule, plugin.module) << "the dialog procedure lies in the plug-in DLL";

  // a real dialog of the Windows dialog manager, owned by the host window, active
  char windowClass[64] = {0};
  GetClassNameA(dialog, windowClass, sizeof windowClass);
  EXPECT_STREQ(windowClass, "#32770");
  EXPECT_EQ(hostsim::WindowText(dialog), "QV Chord Shaper");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), HostWindow());
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetActiveWindow(), dialog);

  std::vector<std::string> expected(kTaskNames, kTaskNames + 25);
  EXPECT_EQ(hostsim::ListRows(dialog, IDC_TASKLIST), expected);
  EXPECT_EQ(ListSelection(dialog, IDC_TASKLIST), 0);
  EXPECT_EQ(ItemText(dialog, IDC_DESCRIPTION), kAddThirdText);
  EXPECT_EQ(ItemText(dialog, IDC_TASKSLABEL), "&Tasks (the last nine are new):");
  EXPECT_EQ(ItemText(dialog, IDC_RESPACE), "Respace Music");
  EXPECT_EQ(ItemCheck(dialog, IDC_RESPACE), BST_CHECKED);
  EXPECT_EQ(ItemText(dialog, IDC_TOPRADIO), "Top");
  EXPECT_EQ(ItemText(dialog, IDC_BOTTOMRADIO), "Bottom");
  EXPECT_EQ(ItemCheck(dialog, IDC_TOPRADIO), BST_CHECKED);
  EXPECT_EQ(ItemCheck(dialog, IDC_BOTTOMRADIO), BST_UNCHECKED);
  for (int id : {IDC_TOPRADIO, IDC_BOTTOMRADIO}) {
    EXPECT_TRUE(ItemVisible(dialog, id)) << id;
    EXPECT_TRUE(ItemEnabled(dialog, id)) << id;
  }
  EXPECT_EQ(ItemText(dialog, IDC_APPLY), "&Apply");
  EXPECT_TRUE(ItemEnabled(dialog, IDC_APPLY));
  EXPECT_EQ(ItemText(dialog, IDC_CLOSE), "&Close");
}

TEST_F(ToolWindow, ApplyIsEnabledOnlyWhileTheDocumentHasASelection) {
  hostsim::ClearSelection();
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(ItemEnabled(dialog, IDC_APPLY)) << "no selection when the window opened";

  // the user selects music in the score and comes back to the tool window
  ActivateHost();
  hostsim::SetSelection(1, 1, 0, 2, 2, REGION_TO_END);
  ActivateWindow(dialog);
  EXPECT_TRUE(ItemEnabled(dialog, IDC_APPLY));

  // an inactive tool window offers no apply; the keyboard is on the direction buttons, since
  // the task list, losing the keyboard, would report that and show the task again
  LeaveTaskList(dialog);
  ActivateHost();
  EXPECT_FALSE(ItemEnabled(dialog, IDC_APPLY));
  ActivateWindow(dialog);
  EXPECT_TRUE(ItemEnabled(dialog, IDC_APPLY));

  // the user clears the selection in the score
  ActivateHost();
  hostsim::ClearSelection();
  ActivateWindow(dialog);
  EXPECT_FALSE(ItemEnabled(dialog, IDC_APPLY));
}

TEST_F(ToolWindow, DeleteUnisonsHidesTheDirectionAndRotateShowsItAsUpAndDown) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);

  ClickListRow(dialog, IDC_TASKLIST, kDeleteUnisons);
  EXPECT_EQ(ListSelection(dialog, IDC_TASKLIST), kDeleteUnisons);
  EXPECT_EQ(ItemText(dialog, IDC_DESCRIPTION), kDeleteUnisonsText);
  for (int id : {IDC_TOPRADIO, IDC_BOTTOMRADIO}) {
    EXPECT_FALSE(ItemVisible(dialog, id)) << id;
    EXPECT_FALSE(ItemEnabled(dialog, id)) << id;
  }
  // the captions follow the task even while the buttons are hidden
  EXPECT_EQ(ItemText(dialog, IDC_TOPRADIO), "Top/Up");
  EXPECT_EQ(ItemText(dialog, IDC_BOTTOMRADIO), "Bottom/Down");
  EXPECT_TRUE(ItemEnabled(dialog, IDC_APPLY));

  ClickListRow(dialog, IDC_TASKLIST, kRotate);
  EXPECT_EQ(ListSelection(dialog, IDC_TASKLIST), kRotate);
  EXPECT_EQ(ItemText(dialog, IDC_DESCRIPTION), kRotateText);
  EXPECT_EQ(ItemText(dialog, IDC_TOPRADIO), "Up");
  EXPECT_EQ(ItemText(dialog, IDC_BOTTOMRADIO), "Down");
  for (int id : {IDC_TOPRADIO, IDC_BOTTOMRADIO}) {
    EXPECT_TRUE(ItemVisible(dialog, id)) << id;
    EXPECT_TRUE(ItemEnabled(dialog, id)) << id;
  }

  // the two directions exclude each other
  Press(dialog, IDC_BOTTOMRADIO);
  EXPECT_EQ(ItemCheck(dialog, IDC_TOPRADIO), BST_UNCHECKED);
  EXPECT_EQ(ItemCheck(dialog, IDC_BOTTOMRADIO), BST_CHECKED);
  Press(dialog, IDC_TOPRADIO);
  EXPECT_EQ(ItemCheck(dialog, IDC_TOPRADIO), BST_CHECKED);
  EXPECT_EQ(ItemCheck(dialog, IDC_BOTTOMRADIO), BST_UNCHECKED);
}

TEST_F(ToolWindow, ClosingAndInvokingAgainRestoresTaskCheckBoxDirectionAndPlace) {
  HWND first = Invoke();
  ASSERT_NE(first, nullptr);
  ClickListRow(first, IDC_TASKLIST, kRotate);
  Press(first, IDC_BOTTOMRADIO);
  Press(first, IDC_RESPACE);
  ASSERT_EQ(ItemCheck(first, IDC_RESPACE), BST_UNCHECKED);
  RECT start = OuterRect(first);
  MoveWindowTo(first, 240, 170);
  SizeWindow(first, Width(start), Height(start) + 40);
  RECT left = OuterRect(first);
  ASSERT_EQ(left.left, 240);
  ASSERT_EQ(Height(left), Height(start) + 40);

  Press(first, IDC_CLOSE);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
  EXPECT_EQ(hostsim::CountCalls("FX_EndDialog"), 1);

  HWND second = Invoke();
  ASSERT_NE(second, nullptr);
  auto made = hostsim::CallsTo("FX_Dialog");
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[1].slots[4], made[0].slots[4]) << "the same window object";
  EXPECT_EQ(made[1].slots[1], made[0].slots[1]);
  EXPECT_EQ(ListSelection(second, IDC_TASKLIST), kRotate);
  EXPECT_EQ(ItemText(second, IDC_DESCRIPTION), kRotateText);
  EXPECT_EQ(ItemText(second, IDC_TOPRADIO), "Up");
  EXPECT_EQ(ItemText(second, IDC_BOTTOMRADIO), "Down");
  EXPECT_EQ(ItemCheck(second, IDC_TOPRADIO), BST_UNCHECKED);
  EXPECT_EQ(ItemCheck(second, IDC_BOTTOMRADIO), BST_CHECKED);
  EXPECT_EQ(ItemCheck(second, IDC_RESPACE), BST_UNCHECKED);
  EXPECT_TRUE(SameRect(OuterRect(second), left))
      << Describe(OuterRect(second)) << " instead of " << Describe(left);
}

TEST_F(ToolWindow, TheCloseBoxStoresTheChoicesToo) {
  HWND first = Invoke();
  ASSERT_NE(first, nullptr);
  ClickListRow(first, IDC_TASKLIST, kDrop3rd);
  Press(first, IDC_RESPACE);
  SendMessageA(first, WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
  Pump();
  ASSERT_EQ(hostsim::OpenDialogCount(), 0);

  HWND second = Invoke();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ListSelection(second, IDC_TASKLIST), kDrop3rd);
  EXPECT_EQ(ItemCheck(second, IDC_RESPACE), BST_UNCHECKED);
  EXPECT_FALSE(ItemVisible(second, IDC_TOPRADIO));
}

TEST_F(ToolWindow, EnterAppliesTheTaskAndEscapeClosesTheWindow) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  PressKey(VK_RETURN); // the default button: "Apply"
  ASSERT_EQ(hostsim::TheHost().undoList.size(), 1u);
  EXPECT_EQ(hostsim::TheHost().undoList[0].name, "Add Third");
  EXPECT_EQ(hostsim::OpenDialog(), dialog);

  PressKey(VK_ESCAPE); // the cancel command: "Close"
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

TEST_F(ToolWindow, InvokingWhileOpenShowsAndActivatesTheSameWindow) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  ActivateHost();
  ASSERT_EQ(GetActiveWindow(), HostWindow());

  EXPECT_EQ(Invoke(), dialog);
  EXPECT_EQ(hostsim::OpenDialogCount(), 1);
  EXPECT_EQ(hostsim::CountCalls("FX_Dialog"), 1);
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(ToolWindow, WhenTheHostCannotMakeTheDialogTheNextInvocationTriesAgain) {
  hostsim::SetDialogFailure(true);
  int32_t answer = -1;
  EXPECT_EQ(Invoke(&answer), nullptr);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(hostsim::CountCalls("FX_Dialog"), 1);

  hostsim::SetDialogFailure(false);
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(hostsim::CountCalls("FX_Dialog"), 2);
  EXPECT_EQ(hostsim::ListRows(dialog, IDC_TASKLIST).size(), 25u);
  EXPECT_EQ(ListSelection(dialog, IDC_TASKLIST), 0);
}

TEST_F(ToolWindow, WithWindowshadeOnItCollapsesToItsCaptionBarWhileInactive) {
  WriteOptionsFile("QVCHORDSHAPER_WINDOWSHADE=1\r\n");
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  RECT open = OuterRect(dialog);

  LeaveTaskList(dialog);
  ActivateHost(); // a click into the score
  RECT shaded = OuterRect(dialog);
  EXPECT_EQ(Height(shaded), CaptionBarHeight());
  EXPECT_EQ(shaded.left, open.left);
  EXPECT_EQ(shaded.top, open.top);
  EXPECT_EQ(Width(shaded), Width(open));
  EXPECT_FALSE(ItemEnabled(dialog, IDC_APPLY));
  EXPECT_EQ(TrackingLimits(dialog).ptMinTrackSize.y, 0) << "a shaded window may be that short";

  ActivateWindow(dialog); // a click on the tool window
  EXPECT_TRUE(SameRect(OuterRect(dialog), open))
      << Describe(OuterRect(dialog)) << " instead of " << Describe(open);
  EXPECT_TRUE(ItemEnabled(dialog, IDC_APPLY));
  EXPECT_EQ(TrackingLimits(dialog).ptMinTrackSize.y, Height(open));

  // the host was asked for its folder the way a host of this version expects
  auto asked = hostsim::CallsTo("FX_GetFinalePath");
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked[0].slots[0], 15u);
}

TEST_F(ToolWindow, OnlyTheValueOneOfTheKeyMakesTheWindowCollapse) {
  struct Case {
    const char* file; // options file text, null for no file
    bool collapses;
  } cases[] = {
      {nullptr, false},
      {"QVCHORDSHAPER_WINDOWSHADE=0\n", false},
      {"QVCHORDSHAPER_WINDOWSHADE=11\n", false},
      {"QVCHORDSHAPER_WINDOWSHADEX=1\n", false},
      {"other=1\n  qvchordshaper_windowshade = 1 \n", true},
      {"QVCHORDSHAPER_WINDOWSHADE=yes\nQVCHORDSHAPER_WINDOWSHADE=1\n", false}, // first wins
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "(no file)");
    if (c.file)
      WriteOptionsFile(c.file);
    else
      RemoveOptionsFile();
    HWND dialog = Invoke();
    ASSERT_NE(dialog, nullptr);
    int open = Height(OuterRect(dialog));
    ActivateHost();
    EXPECT_EQ(Height(OuterRect(dialog)), c.collapses ? CaptionBarHeight() : open);
    ActivateWindow(dialog);
    EXPECT_EQ(Height(OuterRect(dialog)), open);
    Press(dialog, IDC_CLOSE);
    ASSERT_EQ(hostsim::OpenDialogCount(), 0);
  }
}

TEST_F(ToolWindow, AnOlderHostIsAskedForItsFolderWithTheOlderKind) {
  plugin.version(0x0F000200); // the host reports an older version
  WriteOptionsFile("QVCHORDSHAPER_WINDOWSHADE=1\n");
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  auto asked = hostsim::CallsTo("FX_GetFinalePath");
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked[0].slots[0], 7u);
  ActivateHost();
  EXPECT_EQ(Height(OuterRect(dialog)), CaptionBarHeight());
}

TEST_F(ToolWindow, DraggingTheBottomEdgeMovesTheButtonsAndCheckBoxAndGrowsTheList) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  RECT outer = OuterRect(dialog);
  RECT client = hostsim::ClientRect(dialog);
  const int ids[] = {IDC_APPLY,    IDC_CLOSE,       IDC_TASKSLABEL,  IDC_TASKLIST,
                     IDC_TOPRADIO, IDC_BOTTOMRADIO, IDC_DESCRIPTION, IDC_RESPACE};
  std::map<int, RECT> before;
  for (int id : ids)
    before[id] = ItemRect(dialog, id);

  const int dy = 60;
  SizeWindow(dialog, Width(outer), Height(outer) + dy);
  ASSERT_EQ(Height(OuterRect(dialog)), Height(outer) + dy);
  ASSERT_EQ(Height(hostsim::ClientRect(dialog)), Height(client) + dy);

  for (int id : {IDC_APPLY, IDC_CLOSE, IDC_RESPACE}) {
    RECT was = before[id];
    RECT moved = {was.left, was.top + dy, was.right, was.bottom + dy};
    EXPECT_TRUE(SameRect(ItemRect(dialog, id), moved))
        << "item " << id << " at " << Describe(ItemRect(dialog, id)) << ", expected "
        << Describe(moved);
  }
  RECT list = before[IDC_TASKLIST];
  RECT grown = {list.left, list.top, list.right, list.bottom + dy};
  EXPECT_TRUE(SameRect(ItemRect(dialog, IDC_TASKLIST), grown))
      << Describe(ItemRect(dialog, IDC_TASKLIST)) << ", expected " << Describe(grown);
  for (int id : {IDC_TASKSLABEL, IDC_TOPRADIO, IDC_BOTTOMRADIO, IDC_DESCRIPTION})
    EXPECT_TRUE(SameRect(ItemRect(dialog, id), before[id])) << "item " << id << " moved";

  // and back up again
  SizeWindow(dialog, Width(outer), Height(outer));
  for (int id : ids)
    EXPECT_TRUE(SameRect(ItemRect(dialog, id), before[id])) << "item " << id;
}

TEST_F(ToolWindow, TheWindowKeepsItsWidthAndGrowsOnlyUpToEightTenthsOfTheScreen) {
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  RECT outer = OuterRect(dialog);
  const int width = Width(outer), height = Height(outer);
  const int limit = std::max(height, GetSystemMetrics(SM_CYFULLSCREEN) * 8 / 10);
  ASSERT_GT(limit, height) << "the virtual screen is large enough to let the window grow";

  MINMAXINFO limits = TrackingLimits(dialog);
  EXPECT_EQ(limits.ptMinTrackSize.x, width);
  EXPECT_EQ(limits.ptMinTrackSize.y, height);
  EXPECT_EQ(limits.ptMaxTrackSize.x, width);
  EXPECT_EQ(limits.ptMaxTrackSize.y, limit);

  // the window manager holds real resizes to those limits
  SizeWindow(dialog, width - 40, height);
  EXPECT_EQ(Width(OuterRect(dialog)), width);
  SizeWindow(dialog, width + 40, height);
  EXPECT_EQ(Width(OuterRect(dialog)), width);
  SizeWindow(dialog, width, height - 30);
  EXPECT_EQ(Height(OuterRect(dialog)), height);
  SizeWindow(dialog, width, limit + 100);
  EXPECT_EQ(Height(OuterRect(dialog)), limit);
  EXPECT_EQ(Width(OuterRect(dialog)), width);
}

TEST_F(ToolWindow, OnASmallScreenTheWindowCannotGrowBeyondItsInitialHeight) {
  ASSERT_TRUE(systemCallsHooked) << "the plug-in reads the screen through USER32 imports";
  SetReportedScreenHeight(200); // eight tenths: 160, less than the window
  HWND dialog = Invoke();
  ASSERT_NE(dialog, nullptr);
  RECT outer = OuterRect(dialog);
  ASSERT_GT(Height(outer), 160);
  EXPECT_EQ(TrackingLimits(dialog).ptMaxTrackSize.y, Height(outer));
  SizeWindow(dialog, Width(outer), Height(outer) + 80);
  EXPECT_EQ(Height(OuterRect(dialog)), Height(outer));
}
