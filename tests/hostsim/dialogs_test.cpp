// The host's dialog services as the plug-in reaches them through its bridge, driven with a small
// dialog procedure of the test's own. The same cases run natively (the window model) and in the
// 32-bit build under Wine, where the dialog is made by the Windows dialog manager from the
// compiled resource.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "dialogs.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "resource.h"
#include "support/make_window.h"

namespace {

struct Seen {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  void* data;   // the user data the host handed over
  bool visible; // whether the dialog was visible when the message came
};

// What the test's dialog procedure does, and what it saw.
struct Script {
  std::vector<Seen> seen;
  bool endOnInit = false; // FX_EndDialog while handling WM_INITDIALOG
  bool endOnClose = true; // FX_EndDialog on WM_CLOSE
  fourbyte commandAnswer = 0;
  bool limit = false; // answer WM_GETMINMAXINFO with these
  POINT minTrack = {0, 0}, maxTrack = {0, 0};

  int Count(UINT message) const {
    int n = 0;
    for (const Seen& s : seen)
      n += s.message == message;
    return n;
  }
  const Seen* Last(UINT message) const {
    for (size_t i = seen.size(); i > 0; --i)
      if (seen[i - 1].message == message) return &seen[i - 1];
    return nullptr;
  }
};

fourbyte WINAPI ScriptedProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, void* data) {
  Script* s = static_cast<Script*>(data);
  if (!s) return 0;
  s->seen.push_back({message, wparam, lparam, data, IsWindowVisible(dialog) != 0});
  switch (message) {
  case WM_INITDIALOG:
    if (s->endOnInit) FX_EndDialog(dialog);
    return 0;
  case WM_CLOSE:
    if (s->endOnClose) FX_EndDialog(dialog);
    return 0;
  case WM_COMMAND:
    return s->commandAnswer;
  case WM_GETMINMAXINFO:
    if (s->limit) {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = s->minTrack;
      info->ptMaxTrackSize = s->maxTrack;
    }
    return 0;
  }
  return 0;
}

HWND AsWindow(fourbyte handle) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(handle)));
}

class HostDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::ResetDialogs();
    hostsim::Reset();
#ifndef _WIN32
    WinShim_Reset();
#endif
  }
  void TearDown() override {
    hostsim::ResetDialogs();
  }

  HWND Open(HWND parent = nullptr) {
    fourbyte answer = FX_Dialog(IDD_CHORDSHAPER, &ScriptedProc, parent, 0, &script);
    return AsWindow(answer);
  }
  fourbyte RunModal() {
    return FX_Dialog(IDD_CHORDSHAPER, &ScriptedProc, nullptr, 1, &script);
  }

  Script script;
};

// ---- Making the dialog ----------------------------------------------------------------------
TEST_F(HostDialogs, ModelessDialogIsMadeFromTheTemplateAndReturnsAtOnce) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(hostsim::OpenDialog(), dialog);
  EXPECT_EQ(hostsim::OpenDialogCount(), 1);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(hostsim::WindowText(dialog), "QV Chord Shaper");
  uint32_t style = static_cast<uint32_t>(GetWindowLongA(dialog, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<uint32_t>(WS_CAPTION));
  EXPECT_NE(style & WS_THICKFRAME, 0u);
  ASSERT_EQ(hostsim::CountCalls("FX_Dialog"), 1);
  hostsim::CallRecord call = hostsim::CallsTo("FX_Dialog")[0];
  EXPECT_EQ(call.slots[0], 20128u);
  EXPECT_EQ(call.slots[3], 0u);
  EXPECT_EQ(call.slots[4], hostsim::Slot(static_cast<const void*>(&script)));
  EXPECT_EQ(call.version, 0x0F000200u);
}

// The pixel rectangle Windows gives an item of this template rectangle (in dialog units):
// position and size are converted each on its own.
RECT ItemPixels(HWND dialog, const hostsim::DialogItemTemplate& item) {
#ifdef _WIN32
  RECT r = {item.x, item.y, item.cx, item.cy};
  MapDialogRect(dialog, &r);
  return {r.left, r.top, r.left + r.right, r.top + r.bottom};
#else
  (void)dialog;
  int x = hostsim::DialogUnitsToPixelsX(item.x), y = hostsim::DialogUnitsToPixelsY(item.y);
  return {x, y, x + hostsim::DialogUnitsToPixelsX(item.cx),
          y + hostsim::DialogUnitsToPixelsY(item.cy)};
#endif
}

std::string ClassOf(HWND window) {
#ifdef _WIN32
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
#else
  return WinShim_WindowClass(window);
#endif
}

bool SameClass(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TEST_F(HostDialogs, ItemsHaveTheTemplatesClassesTextsStylesAndPlaces) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  const hostsim::DialogTemplate* t = hostsim::PluginDialogTemplate(IDD_CHORDSHAPER);
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->items.size(), 8u);
  for (const hostsim::DialogItemTemplate& item : t->items) {
    SCOPED_TRACE(item.id);
    HWND h = GetDlgItem(dialog, item.id);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(SameClass(ClassOf(h), item.windowClass)) << ClassOf(h);
    EXPECT_EQ(hostsim::ItemText(dialog, item.id), item.text);
    // Windows keeps the border and scroll-bar bits of controls itself: a bordered control in a
    // dialog gets a sunken edge instead, and a list shows its scroll bar only when it needs one.
    const uint32_t managed = WS_BORDER | WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(hostsim::ItemStyle(dialog, item.id) & ~managed, item.style & ~managed);
    RECT want = ItemPixels(dialog, item);
    RECT got = hostsim::ItemRect(dialog, item.id);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
  }
  hostsim::DialogItemTemplate whole;
  whole.cx = t->cx;
  whole.cy = t->cy;
  RECT client = hostsim::ClientRect(dialog);
  RECT want = ItemPixels(dialog, whole); // the template's size is the client area's
  EXPECT_EQ(client.right, want.right);
  EXPECT_EQ(client.bottom, want.bottom);
}

TEST_F(HostDialogs, InitDialogComesFirstAndEveryMessageCarriesTheUserData) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  ASSERT_FALSE(script.seen.empty());
  EXPECT_EQ(script.seen[0].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_FALSE(script.seen[0].visible); // shown only after it was set up
  EXPECT_EQ(script.seen[0].wparam, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_TASKLIST)));
  EXPECT_EQ(script.Count(WM_INITDIALOG), 1);
  const Seen* shown = script.Last(WM_SHOWWINDOW);
  ASSERT_NE(shown, nullptr);
  EXPECT_NE(shown->wparam, 0u);
  hostsim::Command(dialog, 2);
  hostsim::SetDialogActive(dialog, false);
  for (const Seen& s : script.seen)
    EXPECT_EQ(s.data, &script) << "message " << s.message;
}

TEST_F(HostDialogs, UnknownTemplateOrFailureSwitchMakesNoDialog) {
  EXPECT_EQ(FX_Dialog(20129, &ScriptedProc, nullptr, 0, &script), 0);
  hostsim::SetDialogFailure(true);
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(hostsim::CountCalls("FX_Dialog"), 2);
  EXPECT_TRUE(script.seen.empty());
  EXPECT_EQ(hostsim::OpenDialog(), nullptr);
  hostsim::SetDialogFailure(false);
  EXPECT_NE(Open(), nullptr);
  hostsim::SetDialogFailure(true);
  hostsim::ResetDialogs(); // clears the switch too
  EXPECT_NE(Open(), nullptr);
}

TEST_F(HostDialogs, EndDialogDestroysAModelessDialogOnce) {
  testwin::Windows others;
  HWND stranger = others.Top("not the host's", WS_POPUP, 0, 0, 50, 50);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FX_EndDialog(stranger), 0);
  EXPECT_TRUE(IsWindow(stranger));
  EXPECT_EQ(FX_EndDialog(dialog), 1);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(hostsim::OpenDialog(), nullptr);
  EXPECT_EQ(script.Count(WM_DESTROY), 1);
  EXPECT_EQ(FX_EndDialog(dialog), 0);
  EXPECT_EQ(FX_EndDialog(nullptr), 0);
}

TEST_F(HostDialogs, DialogEndedWhileItIsMadeIsNeverShown) {
  script.endOnInit = true;
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(script.Count(WM_INITDIALOG), 1);
  const Seen* shown = script.Last(WM_SHOWWINDOW);
  EXPECT_TRUE(shown == nullptr || shown->wparam == 0);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

// ---- Modal dialogs --------------------------------------------------------------------------
TEST_F(HostDialogs, ModalDialogRunsUntilTheDriverEndsIt) {
  int calls = 0;
  bool visible = false;
  HWND seenDialog = nullptr;
  hostsim::SetModalDriver([&](HWND dialog) {
    ++calls;
    seenDialog = dialog;
    visible = IsWindowVisible(dialog) != 0;
    if (calls == 3) FX_EndDialog(dialog);
    return true;
  });
  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(visible);
  EXPECT_FALSE(IsWindow(seenDialog));
  EXPECT_EQ(script.Count(WM_CLOSE), 0);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

TEST_F(HostDialogs, ModalDialogEndedAtItsStartReturnsAtOnce) {
  int calls = 0;
  hostsim::SetModalDriver([&](HWND) { return ++calls < 5; });
  script.endOnInit = true;
  EXPECT_EQ(RunModal(), 1);
  EXPECT_EQ(calls, 0); // there was nothing left to drive
  EXPECT_EQ(script.Count(WM_CLOSE), 0);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

TEST_F(HostDialogs, ModalDialogWithoutInputIsClosedByTheHost) {
  EXPECT_EQ(RunModal(), 1); // the procedure ends it on WM_CLOSE
  EXPECT_EQ(script.Count(WM_CLOSE), 1);

  Script stubborn;
  stubborn.endOnClose = false;
  hostsim::SetModalDriver([](HWND) { return false; });
  EXPECT_EQ(FX_Dialog(IDD_CHORDSHAPER, &ScriptedProc, nullptr, 1, &stubborn), 0);
  EXPECT_EQ(stubborn.Count(WM_CLOSE), 1);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

// ---- Item services --------------------------------------------------------------------------
TEST_F(HostDialogs, CheckAndRadioStatesAreReadAndSet) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_RESPACE, 1), 0);
  EXPECT_EQ(FX_SetDlgItemVal(dialog, IDC_RESPACE, 1, 1), 1);
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_RESPACE, 1), 1);
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_RESPACE), BST_CHECKED);
  FX_SetDlgItemVal(dialog, IDC_RESPACE, 1, 0);
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_RESPACE), BST_UNCHECKED);
  FX_SetDlgItemVal(dialog, IDC_TOPRADIO, 2, 1);
  FX_SetDlgItemVal(dialog, IDC_BOTTOMRADIO, 2, 0);
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_TOPRADIO, 2), 1);
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_BOTTOMRADIO, 2), 0);
  FX_SetDlgItemVal(dialog, IDC_BOTTOMRADIO, 2, 7); // any other value checks
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO), BST_CHECKED);
  EXPECT_EQ(FX_SetDlgItemVal(dialog, IDC_RESPACE, 9, 1), 0); // no such value kind
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_RESPACE, 9), 0);
}

TEST_F(HostDialogs, IntegerValuesAreTheItemsText) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FX_SetDlgItemVal(dialog, IDC_DESCRIPTION, 3, -42), 1);
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_DESCRIPTION), "-42");
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_DESCRIPTION, 3), -42);
  FX_SetDlgString(dialog, IDC_DESCRIPTION, "Text");
  EXPECT_EQ(FX_GetDlgItemVal(dialog, IDC_DESCRIPTION, 3), 0); // not a number
}

TEST_F(HostDialogs, StringsAreCutToTheCapacityAndTerminated) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FX_SetDlgString(dialog, IDC_DESCRIPTION, "Hello, world"), 1);
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_DESCRIPTION), "Hello, world");
  char buffer[16];
  memset(buffer, 'x', sizeof buffer);
  FX_GetDlgString(dialog, IDC_DESCRIPTION, buffer, 6);
  EXPECT_STREQ(buffer, "Hello");
  EXPECT_EQ(buffer[6], 'x'); // nothing written past the capacity
  FX_GetDlgString(dialog, IDC_DESCRIPTION, buffer, 1);
  EXPECT_STREQ(buffer, "");
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(FX_GetDlgString(dialog, IDC_DESCRIPTION, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(FX_GetDlgString(dialog, IDC_DESCRIPTION, buffer, -3), 0);
  EXPECT_EQ(buffer[0], 'x');
  FX_GetDlgString(dialog, IDC_DESCRIPTION, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "Hello, world");
  FX_SetDlgString(dialog, IDC_DESCRIPTION, nullptr);
  EXPECT_EQ(hostsim::ItemText(dialog, IDC_DESCRIPTION), "");
}

TEST_F(HostDialogs, EnablingAndRealNumbersOfItems) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, 1));
  EXPECT_EQ(FX_EnableDlgItem(dialog, 1, 0), 1);
  EXPECT_FALSE(hostsim::ItemEnabled(dialog, 1));
  FX_EnableDlgItem(dialog, 1, 1);
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, 1));

  double value = -1;
  EXPECT_EQ(FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, &value), 1);
  EXPECT_EQ(value, 0.0); // never set
  EXPECT_EQ(FX_SetDlgItemUser(dialog, IDC_DESCRIPTION, 0, 2.75), 1);
  FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, &value);
  EXPECT_EQ(value, 2.75);
  EXPECT_EQ(FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, nullptr), 0);
  FX_GetDlgItemUser(dialog, IDC_RESPACE, 0, &value);
  EXPECT_EQ(value, 0.0); // kept per item
}

TEST_F(HostDialogs, MissingDialogsAndItemsChangeNothing) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(FX_GetDlgString(dialog, 999, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(FX_SetDlgString(dialog, 999, "a"), 0);
  EXPECT_EQ(FX_EnableDlgItem(dialog, 999, 0), 0);
  EXPECT_EQ(FX_SetDlgItemVal(nullptr, 106, 1, 1), 0);
  EXPECT_EQ(FX_GetDlgItemVal(nullptr, 106, 1), 0);
  EXPECT_EQ(FX_SetDlgItemUser(nullptr, 105, 0, 1.0), 0);
  EXPECT_EQ(FX_EnableDlgItem(nullptr, 1, 0), 0);
  EXPECT_TRUE(hostsim::ItemEnabled(dialog, 1));
  FX_EndDialog(dialog);
  EXPECT_EQ(FX_SetDlgString(dialog, IDC_DESCRIPTION, "gone"), 0);
  double value = 5;
  EXPECT_EQ(FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, &value), 0);
  EXPECT_EQ(value, 5.0);
}

// ---- The user's actions ---------------------------------------------------------------------
TEST_F(HostDialogs, ClickingSendsTheCommandAndFlipsAutomaticButtons) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  FX_SetDlgItemVal(dialog, IDC_TOPRADIO, 2, 1);
  script.commandAnswer = 1;
  EXPECT_EQ(hostsim::Click(dialog, IDC_BOTTOMRADIO), 1); // the procedure's answer comes back
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO), BST_CHECKED);
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_TOPRADIO), BST_UNCHECKED);
  const Seen* command = script.Last(WM_COMMAND);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(LOWORD(command->wparam), IDC_BOTTOMRADIO);
  EXPECT_EQ(HIWORD(command->wparam), BN_CLICKED);
  EXPECT_EQ(command->lparam, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BOTTOMRADIO)));

  hostsim::Click(dialog, IDC_RESPACE);
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_RESPACE), BST_CHECKED);
  hostsim::Click(dialog, IDC_RESPACE);
  EXPECT_EQ(hostsim::ItemCheck(dialog, IDC_RESPACE), BST_UNCHECKED);

  int commands = script.Count(WM_COMMAND);
  FX_EnableDlgItem(dialog, 1, 0);
  EXPECT_EQ(hostsim::Click(dialog, 1), 0); // a disabled button cannot be pressed
  ShowWindow(GetDlgItem(dialog, IDC_RESPACE), SW_HIDE);
  EXPECT_EQ(hostsim::Click(dialog, IDC_RESPACE), 0); // nor a hidden one
  EXPECT_EQ(script.Count(WM_COMMAND), commands);
  EXPECT_EQ(hostsim::Command(dialog, 1), 1); // the command itself still arrives
}

TEST_F(HostDialogs, PickingAListRowSelectsItAndNotifies) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  for (const char* row : {"Add Third", "Add Octave", "Rotate"})
    SendDlgItemMessageA(dialog, IDC_TASKLIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(hostsim::ListSelection(dialog, IDC_TASKLIST), -1);
  hostsim::SelectListRow(dialog, IDC_TASKLIST, 2);
  EXPECT_EQ(hostsim::ListSelection(dialog, IDC_TASKLIST), 2);
  const Seen* command = script.Last(WM_COMMAND);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(LOWORD(command->wparam), IDC_TASKLIST);
  EXPECT_EQ(HIWORD(command->wparam), LBN_SELCHANGE);
  std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], "Add Octave");
}

TEST_F(HostDialogs, ResizingKeepsToTheProceduresLimitsAndReportsTheClientSize) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  RECT start = hostsim::OuterRect(dialog);
  int width = start.right - start.left, height = start.bottom - start.top;
  script.limit = true;
  script.minTrack = {width, height};
  script.maxTrack = {width, height + 100};
  RECT r = hostsim::UserResize(dialog, width + 50, height + 300);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height + 100);
  EXPECT_EQ(r.left, start.left); // the frame was dragged, not the window moved
  EXPECT_EQ(r.top, start.top);
  const Seen* size = script.Last(WM_SIZE);
  ASSERT_NE(size, nullptr);
  RECT client = hostsim::ClientRect(dialog);
  EXPECT_EQ(size->wparam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(size->lparam), client.right);
  EXPECT_EQ(HIWORD(size->lparam), client.bottom);
  r = hostsim::UserResize(dialog, width - 40, height - 40);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
  EXPECT_GT(script.Count(WM_GETMINMAXINFO), 0);
}

TEST_F(HostDialogs, ActivationAndTheCloseBoxReachTheProcedure) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  hostsim::SetDialogActive(dialog, false);
  const Seen* activate = script.Last(WM_ACTIVATE);
  ASSERT_NE(activate, nullptr);
  EXPECT_EQ(LOWORD(activate->wparam), WA_INACTIVE);
  hostsim::SetDialogActive(dialog, true);
  EXPECT_EQ(LOWORD(script.Last(WM_ACTIVATE)->wparam), WA_ACTIVE);
  hostsim::CloseBox(dialog);
  EXPECT_EQ(script.Count(WM_CLOSE), 1);
  EXPECT_FALSE(IsWindow(dialog)); // the procedure ended it
}

TEST_F(HostDialogs, ResetEndsDialogsWithoutTellingTheProcedure) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  size_t heard = script.seen.size();
  hostsim::ResetDialogs();
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(script.seen.size(), heard);
  EXPECT_EQ(hostsim::OpenDialog(), nullptr);
}

} // namespace
