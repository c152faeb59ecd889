// What only the Win32 stand-in offers: exact frame metrics, the messages its windows hear, the
// failing deferred batch, the beep and message-box counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commctrl.h"
#include "winshim.h"

namespace {

const DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

struct Heard {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// A window handler that records what it hears and can answer tracking limits.
struct Listener {
  std::vector<Heard> heard;
  bool limit = false;
  POINT minTrack = {0, 0}, maxTrack = {0, 0};
  static LRESULT Handle(void* data, HWND, UINT message, WPARAM w, LPARAM l) {
    Listener* self = static_cast<Listener*>(data);
    self->heard.push_back({message, w, l});
    if (message == WM_GETMINMAXINFO && self->limit) {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(l);
      info->ptMinTrackSize = self->minTrack;
      info->ptMaxTrackSize = self->maxTrack;
    }
    return 0;
  }
  int Count(UINT message) const {
    int n = 0;
    for (const Heard& h : heard)
      n += h.message == message;
    return n;
  }
  const Heard* Last(UINT message) const {
    for (size_t i = heard.size(); i > 0; --i)
      if (heard[i - 1].message == message) return &heard[i - 1];
    return nullptr;
  }
};

class Shim : public ::testing::Test {
protected:
  void SetUp() override {
    WinShim_Reset();
    top = WinShim_CreateWindow("Frame", "top", kFrameStyle, 0, 100, 50, 400, 300, nullptr, 0);
    WinShim_SetHandler(top, &Listener::Handle, &listener);
  }
  void TearDown() override { WinShim_Reset(); }
  HWND Child(int id, int x = 10, int y = 10, int w = 50, int h = 20, const char* cls = "Button") {
    return WinShim_CreateWindow(cls, "", WS_CHILD | WS_VISIBLE, 0, x, y, w, h, top, id);
  }
  RECT Outer(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
  }
  HWND top = nullptr;
  Listener listener;
};

TEST_F(Shim, ClientAreaIsTheOuterLessFrameAndCaptionMetrics) {
  RECT client;
  ASSERT_TRUE(GetClientRect(top, &client));
  EXPECT_EQ(client.right, 400 - 2 * 4);
  EXPECT_EQ(client.bottom, 300 - 19 - 2 * 4);
  WinShim_SetSystemMetric(SM_CYCAPTION, 25);
  WinShim_SetSystemMetric(SM_CXFRAME, 6);
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, 400 - 12);
  EXPECT_EQ(client.bottom, 300 - 25 - 8);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 25);
  HWND child = Child(1, 10, 20);
  RECT r = Outer(child);
  EXPECT_EQ(r.left, 100 + 6 + 10); // frame, then the child's place in the client area
  EXPECT_EQ(r.top, 50 + 4 + 25 + 20);
}

TEST_F(Shim, ClientAreaOfAWindowCollapsedBelowItsFrameIsEmpty) {
  SetWindowPos(top, nullptr, 0, 0, 400, 21, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(top, &client);
  EXPECT_EQ(client.bottom, 0);
}

TEST_F(Shim, SizingAsksForTrackingLimitsAndKeepsToThem) {
  listener.limit = true;
  listener.minTrack = {300, 200};
  listener.maxTrack = {500, 450};
  SetWindowPos(top, nullptr, 0, 0, 900, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(listener.Count(WM_GETMINMAXINFO), 1);
  RECT r = Outer(top);
  EXPECT_EQ(r.right - r.left, 500);
  EXPECT_EQ(r.bottom - r.top, 200);
  // A maximum below the minimum gives way to the minimum.
  listener.maxTrack = {250, 150};
  SetWindowPos(top, nullptr, 0, 0, 900, 900, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  r = Outer(top);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
}

TEST_F(Shim, WithoutAnAnswerTheSystemTrackingLimitsHold) {
  SetWindowPos(top, nullptr, 0, 0, 5, 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r = Outer(top);
  EXPECT_EQ(r.right - r.left, 112);
  EXPECT_EQ(r.bottom - r.top, 27);
}

TEST_F(Shim, SizeReportsTheNewClientSizeOnlyWhenItChanged) {
  SetWindowPos(top, nullptr, 0, 0, 410, 330, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(listener.Count(WM_SIZE), 1);
  const Heard* size = listener.Last(WM_SIZE);
  EXPECT_EQ(size->wparam, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(size->lparam), 410 - 8);
  EXPECT_EQ(HIWORD(size->lparam), 330 - 27);
  SetWindowPos(top, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(top, nullptr, 0, 0, 410, 330, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(listener.Count(WM_SIZE), 1);
  EXPECT_EQ(listener.Count(WM_GETMINMAXINFO), 2); // asked for every size, not for the move
}

TEST_F(Shim, ActivationTellsBothWindowsUnlessSuppressed) {
  Listener other;
  HWND second = WinShim_CreateWindow("Frame", "b", kFrameStyle, 0, 0, 0, 200, 200, nullptr, 0);
  WinShim_SetHandler(second, &Listener::Handle, &other);
  EXPECT_EQ(SetActiveWindow(top), nullptr);
  EXPECT_EQ(GetActiveWindow(), top);
  ASSERT_NE(listener.Last(WM_ACTIVATE), nullptr);
  EXPECT_EQ(LOWORD(listener.Last(WM_ACTIVATE)->wparam), WA_ACTIVE);
  EXPECT_EQ(SetActiveWindow(second), top);
  EXPECT_EQ(LOWORD(listener.Last(WM_ACTIVATE)->wparam), WA_INACTIVE);
  EXPECT_EQ(LOWORD(other.Last(WM_ACTIVATE)->wparam), WA_ACTIVE);
  int heard = listener.Count(WM_ACTIVATE);
  SetWindowPos(top, nullptr, 1, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), second);
  SetWindowPos(top, nullptr, 2, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(listener.Count(WM_ACTIVATE), heard + 1);
  EXPECT_EQ(SetActiveWindow(Child(3)), top); // a child cannot be made active
  EXPECT_EQ(GetActiveWindow(), top);
}

TEST_F(Shim, ShowWindowTellsTheWindowBeforeItChangesAndActivates) {
  ShowWindow(top, SW_HIDE);
  ASSERT_NE(listener.Last(WM_SHOWWINDOW), nullptr);
  EXPECT_EQ(listener.Last(WM_SHOWWINDOW)->wparam, 0u);
  ShowWindow(top, SW_SHOWNORMAL);
  EXPECT_EQ(listener.Last(WM_SHOWWINDOW)->wparam, 1u);
  EXPECT_EQ(listener.Count(WM_SHOWWINDOW), 2);
  EXPECT_EQ(GetActiveWindow(), top);
  ShowWindow(top, SW_SHOW); // already visible: nothing to tell
  EXPECT_EQ(listener.Count(WM_SHOWWINDOW), 2);
}

TEST_F(Shim, DestroyingTheActiveWindowDeactivatesItAndActivatesItsOwner) {
  Listener owned;
  HWND popup = WinShim_CreateWindow("Frame", "p", kFrameStyle, 0, 0, 0, 200, 200, top, 0);
  WinShim_SetHandler(popup, &Listener::Handle, &owned);
  HWND item = WinShim_CreateWindow("Button", "", WS_CHILD, 0, 0, 0, 10, 10, popup, 4);
  SetActiveWindow(popup);
  int windows = WinShim_WindowCount();
  ASSERT_TRUE(DestroyWindow(popup));
  EXPECT_EQ(LOWORD(owned.heard[owned.heard.size() - 2].wparam), WA_INACTIVE);
  EXPECT_EQ(owned.heard.back().message, static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_FALSE(IsWindow(item));
  EXPECT_EQ(WinShim_WindowCount(), windows - 2);
  EXPECT_FALSE(DestroyWindow(popup));
  // Destroying an owner takes its owned windows along.
  HWND again = WinShim_CreateWindow("Frame", "q", kFrameStyle, 0, 0, 0, 200, 200, top, 0);
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(again));
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(Shim, StaleHandlesFindNothing) {
  HWND child = Child(9);
  DestroyWindow(child);
  HWND fresh = Child(9);
  EXPECT_NE(fresh, child); // handles are not given again
  RECT r;
  EXPECT_FALSE(GetWindowRect(child, &r));
  EXPECT_FALSE(SetWindowPos(child, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(SendMessageA(child, BM_GETCHECK, 0, 0), 0);
  EXPECT_EQ(GetDlgItem(top, 9), fresh);
  EXPECT_EQ(WinShim_CreateWindow("Button", "", WS_CHILD, 0, 0, 0, 1, 1, child, 1), nullptr);
}

// ---- Deferred positioning -----------------------------------------------------------------------
class DeferredBatch : public Shim {
protected:
  void SetUp() override {
    Shim::SetUp();
    a = Child(1, 10, 10);
    b = Child(2, 10, 40);
  }
  // Moves both children down by 100 in one batch; answers whether it was applied.
  bool MoveBoth() {
    HDWP batch = BeginDeferWindowPos(2);
    if (batch) batch = DeferWindowPos(batch, a, nullptr, 10, 110, 0, 0, 0x215);
    if (batch) batch = DeferWindowPos(batch, b, nullptr, 10, 140, 0, 0, 0x215);
    return batch && EndDeferWindowPos(batch);
  }
  int TopOf(HWND h) {
    RECT r = Outer(h);
    POINT p = {r.left, r.top};
    ScreenToClient(top, &p);
    return p.y;
  }
  HWND a = nullptr, b = nullptr;
};

TEST_F(DeferredBatch, AppliesEveryWindowAtTheEnd) {
  ASSERT_TRUE(MoveBoth());
  EXPECT_EQ(TopOf(a), 110);
  EXPECT_EQ(TopOf(b), 140);
  EXPECT_EQ(WinShim_BatchesApplied(), 1);
  EXPECT_EQ(WinShim_LastBatchSize(), 2);
  EXPECT_EQ(WinShim_SetWindowPosCalls(), 0);
}

TEST_F(DeferredBatch, AFailedBeginMovesNothing) {
  WinShim_FailDeferStep(0);
  EXPECT_FALSE(MoveBoth());
  EXPECT_EQ(TopOf(a), 10);
  EXPECT_EQ(TopOf(b), 40);
  EXPECT_EQ(BeginDeferWindowPos(1), nullptr);
  WinShim_FailDeferStep(-1);
  EXPECT_TRUE(MoveBoth());
}

TEST_F(DeferredBatch, AFailedStepDiscardsTheWholeBatch) {
  WinShim_FailDeferStep(2);
  HDWP batch = BeginDeferWindowPos(2);
  ASSERT_NE(batch, nullptr);
  ASSERT_EQ(DeferWindowPos(batch, a, nullptr, 10, 110, 0, 0, 0x215), batch);
  EXPECT_EQ(DeferWindowPos(batch, b, nullptr, 10, 140, 0, 0, 0x215), nullptr);
  EXPECT_FALSE(EndDeferWindowPos(batch)); // it is gone
  EXPECT_EQ(TopOf(a), 10);                // including the part added before
  EXPECT_EQ(TopOf(b), 40);
  EXPECT_EQ(WinShim_BatchesApplied(), 0);
}

TEST_F(DeferredBatch, AWindowThatDoesNotExistFailsTheBatch) {
  HDWP batch = BeginDeferWindowPos(2);
  batch = DeferWindowPos(batch, a, nullptr, 10, 110, 0, 0, 0x215);
  EXPECT_EQ(DeferWindowPos(batch, nullptr, nullptr, 0, 0, 0, 0, 0x215), nullptr);
  EXPECT_EQ(TopOf(a), 10);
  EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
}

// ---- Controls
// -------------------------------------------------------------------------------------
TEST_F(Shim, CheckStatesAreKeptWithinWhatTheButtonCanShow) {
  HWND three =
      WinShim_CreateWindow("Button", "", WS_CHILD | BS_AUTO3STATE, 0, 0, 0, 10, 10, top, 5);
  HWND box =
      WinShim_CreateWindow("Button", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 0, 10, 10, top, 6);
  SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Shim, EditAndUpDownMessagesKeepTheirState) {
  HWND edit = Child(20, 0, 0, 80, 20, "Edit");
  SetWindowTextA(edit, "12345");
  SendMessageA(edit, EM_SETSEL, 0, -1);
  DWORD start = 9, end = 9;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
  SendMessageA(edit, EM_LIMITTEXT, 12, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 12);
  SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  EXPECT_NE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY, 0);
  SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
  EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY, 0);

  HWND spin = Child(21, 0, 0, 16, 20, "msctls_updown32");
  SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(100, -5)); // maximum low, minimum high
  LRESULT range = SendMessageA(spin, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(static_cast<int16_t>(LOWORD(range)), 100);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(range)), -5);
}

TEST_F(Shim, ComboBoxesKeepRowsAndClearAnUnknownSelection) {
  HWND combo = Child(30, 0, 0, 80, 100, "ComboBox");
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 1);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
  // A list box ignores combo-box messages, and the other way round.
  EXPECT_EQ(SendMessageA(combo, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(Shim, MessagesThatAreNotControlMessagesReachTheHandler) {
  EXPECT_EQ(SendMessageA(top, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0), 0);
  ASSERT_NE(listener.Last(WM_COMMAND), nullptr);
  EXPECT_EQ(LOWORD(listener.Last(WM_COMMAND)->wparam), 1);
  SendMessageA(top, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("caption"));
  EXPECT_EQ(listener.Count(WM_SETTEXT), 0); // the window keeps its own text
  char text[16];
  GetWindowTextA(top, text, sizeof text);
  EXPECT_STREQ(text, "caption");
}

// ---- Sounds, message boxes, resources, conversion --------------------------------------------
TEST(ShimSounds, BeepsAreCountedByTypeAndAFailingSoundPlaysNothing) {
  WinShim_Reset();
  EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  EXPECT_EQ(WinShim_BeepsPlayed(MB_ICONEXCLAMATION), 1);
  WinShim_FailBeep(MB_ICONEXCLAMATION, TRUE);
  EXPECT_FALSE(MessageBeep(MB_ICONEXCLAMATION));
  EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
  EXPECT_EQ(WinShim_BeepsPlayed(MB_ICONEXCLAMATION), 1);
  EXPECT_EQ(WinShim_BeepsPlayed(0xFFFFFFFF), 1);
  EXPECT_EQ(WinShim_BeepCalls(), 3);
  WinShim_ResetCounters();
  EXPECT_EQ(WinShim_BeepCalls(), 0);
  EXPECT_FALSE(MessageBeep(MB_ICONEXCLAMATION)); // the failure outlives the counters
  WinShim_Reset();
  EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
}

TEST(ShimMessageBoxes, AnswerTheFirstButtonUnlessToldAndRememberTheLastBox) {
  WinShim_Reset();
  EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, MB_YESNO), IDYES);
  EXPECT_STREQ(WinShim_LastMessageBoxCaption(), "Error");
  EXPECT_EQ(MessageBoxA(nullptr, "info", "Information", MB_OK | MB_ICONINFORMATION), IDOK);
  WinShim_SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x40), "q", "c", MB_YESNO), IDNO);
  EXPECT_EQ(WinShim_MessageBoxCount(), 3);
  EXPECT_STREQ(WinShim_LastMessageBoxText(), "q");
  EXPECT_EQ(WinShim_LastMessageBoxType(), static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(WinShim_LastMessageBoxOwner(), reinterpret_cast<HWND>(0x40));
}

TEST(ShimResources, StringResourcesAreNotThere) {
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(LoadStringA(nullptr, 1, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(ShimUtf8, IllFormedInputBecomesOneReplacementPerLongestStart) {
  WCHAR out[16] = {};
  // A lone continuation byte; a three-byte form cut short after two; an overlong two-byte
  // form (both bytes ill-formed); an encoded surrogate (each byte ill-formed); the terminator.
  const char* bad = "\x80"
                    "A\xE2\x82"
                    "B\xC0\xAF\xED\xA0\x80";
  const WCHAR want[] = {0xFFFD, 'A', 0xFFFD, 'B', 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0};
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, bad, -1, nullptr, 0), 10);
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, bad, -1, out, 16), 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(out[i], want[i]) << "unit " << i;
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, out, 16), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", -1, out, 16), 0); // UTF-8 only
}

} // namespace
