// The window calls the framework relies on, as the real window manager answers them. The same
// cases run against the Win32 stand-in natively and against real windows under Wine, so the
// stand-in is held to what Windows does.
#include <gtest/gtest.h>

#include "support/make_window.h"

using testwin::Height;
using testwin::Width;

namespace {

const DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

class WindowPlacement : public ::testing::Test {
protected:
  void SetUp() override {
    top = windows.Top("frame", kFrameStyle, 100, 80, 400, 300);
    child = testwin::Make("Button", "child", WS_CHILD | WS_VISIBLE, 20, 30, 60, 25, top, 7);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(child, nullptr);
  }
  RECT Outer(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
  }
  RECT Client(HWND h) {
    RECT r = {};
    GetClientRect(h, &r);
    return r;
  }
  // A child's top-left corner in its parent's client coordinates.
  POINT ChildPosition() {
    RECT r = Outer(child);
    POINT p = {r.left, r.top};
    ScreenToClient(top, &p);
    return p;
  }
  testwin::Windows windows;
  HWND top = nullptr;
  HWND child = nullptr;
};

TEST_F(WindowPlacement, ChildSitsAtItsPositionInTheParentsClientArea) {
  POINT p = ChildPosition();
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 30);
  EXPECT_EQ(Width(Outer(child)), 60);
  EXPECT_EQ(Height(Outer(child)), 25);
}

TEST_F(WindowPlacement, NoSizeMovesOnlyAndNoMoveSizesOnly) {
  ASSERT_TRUE(SetWindowPos(child, nullptr, 40, 50, 999, 999,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER));
  POINT p = ChildPosition();
  EXPECT_EQ(p.x, 40);
  EXPECT_EQ(p.y, 50);
  EXPECT_EQ(Width(Outer(child)), 60);
  EXPECT_EQ(Height(Outer(child)), 25);

  ASSERT_TRUE(SetWindowPos(child, nullptr, 999, 999, 90, 35,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER));
  p = ChildPosition();
  EXPECT_EQ(p.x, 40);
  EXPECT_EQ(p.y, 50);
  EXPECT_EQ(Width(Outer(child)), 90);
  EXPECT_EQ(Height(Outer(child)), 35);

  ASSERT_TRUE(SetWindowPos(child, nullptr, 5, 6, 70, 20,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER));
  p = ChildPosition();
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 6);
  EXPECT_EQ(Width(Outer(child)), 70);
  EXPECT_EQ(Height(Outer(child)), 20);
}

TEST_F(WindowPlacement, ClientAreaFollowsTheOuterSize) {
  RECT before = Client(top);
  RECT outerBefore = Outer(top);
  EXPECT_EQ(before.left, 0);
  EXPECT_EQ(before.top, 0);
  EXPECT_LT(Width(before), Width(outerBefore));   // the frame takes its part
  EXPECT_LT(Height(before), Height(outerBefore)); // and the caption more
  ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, Width(outerBefore) + 10, Height(outerBefore) + 30,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  RECT after = Client(top);
  EXPECT_EQ(Width(after), Width(before) + 10);
  EXPECT_EQ(Height(after), Height(before) + 30);
  EXPECT_EQ(Outer(top).left, outerBefore.left); // no move was asked for
  EXPECT_EQ(Outer(top).top, outerBefore.top);
}

TEST_F(WindowPlacement, MovingTheParentCarriesTheChildOnTheScreen) {
  RECT before = Outer(child);
  ASSERT_TRUE(SetWindowPos(top, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  RECT after = Outer(child);
  EXPECT_EQ(after.left - before.left, 50);
  EXPECT_EQ(after.top - before.top, 40);
  POINT p = ChildPosition();
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 30);
}

TEST_F(WindowPlacement, DeferredBatchMovesNothingUntilItEnds) {
  HWND second = testwin::Make("Button", "two", WS_CHILD | WS_VISIBLE, 100, 30, 60, 25, top, 8);
  HDWP batch = BeginDeferWindowPos(2);
  ASSERT_NE(batch, nullptr);
  batch = DeferWindowPos(batch, child, nullptr, 20, 80, 0, 0, 0x215);
  ASSERT_NE(batch, nullptr);
  batch = DeferWindowPos(batch, second, nullptr, 0, 0, 80, 40, 0x216);
  ASSERT_NE(batch, nullptr);
  EXPECT_EQ(ChildPosition().y, 30);
  EXPECT_EQ(Width(Outer(second)), 60);
  ASSERT_TRUE(EndDeferWindowPos(batch));
  EXPECT_EQ(ChildPosition().y, 80);
  EXPECT_EQ(Width(Outer(child)), 60);
  EXPECT_EQ(Width(Outer(second)), 80);
  EXPECT_EQ(Height(Outer(second)), 40);
}

TEST_F(WindowPlacement, VisibilityFollowsTheParentAndShowWindowAnswersTheFormerState) {
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_NE(ShowWindow(child, SW_HIDE), 0); // it was visible
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_EQ(ShowWindow(child, SW_SHOW), 0); // it was hidden
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(top, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_NE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE, 0); // its own flag stays
}

TEST_F(WindowPlacement, EnableWindowAnswersWhetherItWasDisabled) {
  EXPECT_TRUE(IsWindowEnabled(child));
  EXPECT_EQ(EnableWindow(child, FALSE), 0);
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_NE(GetWindowLongA(child, GWL_STYLE) & WS_DISABLED, 0);
  EXPECT_NE(EnableWindow(child, TRUE), 0);
  EXPECT_TRUE(IsWindowEnabled(child));
}

TEST_F(WindowPlacement, DialogItemsAreFoundByIdAndDieWithTheirParent) {
  EXPECT_EQ(GetDlgItem(top, 7), child);
  EXPECT_EQ(GetDlgItem(top, 99), nullptr);
  EXPECT_EQ(GetWindowLongA(child, GWL_ID), 7);
  ASSERT_TRUE(DestroyWindow(top));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetDlgItem(top, 7), nullptr);
}

TEST_F(WindowPlacement, WindowTextIsCutToTheBufferAndTerminated) {
  ASSERT_TRUE(SetWindowTextA(child, "Respace Music"));
  EXPECT_EQ(GetWindowTextLengthA(child), 13);
  char buffer[8];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetWindowTextA(child, buffer, 6), 5);
  EXPECT_STREQ(buffer, "Respa");
  EXPECT_EQ(buffer[6], 'x');
  EXPECT_EQ(SendMessageA(child, WM_GETTEXTLENGTH, 0, 0), 13);
}

// ---- List boxes -------------------------------------------------------------------------------
class ListBoxMessages : public WindowPlacement {
protected:
  void SetUp() override {
    WindowPlacement::SetUp();
    list = testwin::Make("ListBox", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | WS_VSCROLL, 10, 10,
                         150, 120, top, 102);
    ASSERT_NE(list, nullptr);
  }
  LRESULT Send(UINT message, WPARAM w = 0, const char* text = nullptr) {
    return SendDlgItemMessageA(top, 102, message, w, reinterpret_cast<LPARAM>(text));
  }
  std::string Row(int i) {
    char buffer[64] = {};
    if (Send(LB_GETTEXTLEN, i) >= 64) return "(too long)";
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  HWND list = nullptr;
};

TEST_F(ListBoxMessages, AddInsertAndDeleteKeepTheRowOrder) {
  EXPECT_EQ(Send(LB_ADDSTRING, 0, "Add Third"), 0);
  EXPECT_EQ(Send(LB_ADDSTRING, 0, "Rotate"), 1);
  EXPECT_EQ(Send(LB_INSERTSTRING, 1, "Drop 2nd"), 1);
  EXPECT_EQ(Send(LB_INSERTSTRING, static_cast<WPARAM>(-1), "Last"), 3);
  EXPECT_EQ(Send(LB_GETCOUNT), 4);
  EXPECT_EQ(Row(0), "Add Third");
  EXPECT_EQ(Row(1), "Drop 2nd");
  EXPECT_EQ(Row(2), "Rotate");
  EXPECT_EQ(Row(3), "Last");
  EXPECT_EQ(Send(LB_GETTEXTLEN, 1), 8);
  EXPECT_EQ(Send(LB_DELETESTRING, 0), 3); // answers the rows left
  EXPECT_EQ(Row(0), "Drop 2nd");
  EXPECT_EQ(Send(LB_DELETESTRING, 7), LB_ERR);
  EXPECT_EQ(Send(LB_GETTEXTLEN, 7), LB_ERR);
  EXPECT_EQ(Send(LB_INSERTSTRING, 9, "beyond"), LB_ERR);
  EXPECT_EQ(Send(LB_GETCOUNT), 3);
}

TEST_F(ListBoxMessages, SelectionFollowsItsRowAndClearsWithIt) {
  for (const char* row : {"a", "b", "c", "d"})
    Send(LB_ADDSTRING, 0, row);
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR); // nothing chosen yet
  EXPECT_EQ(Send(LB_SETCURSEL, 2), 2);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  Send(LB_INSERTSTRING, 0, "new");
  EXPECT_EQ(Send(LB_GETCURSEL), 3); // still "c"
  Send(LB_DELETESTRING, 1);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  EXPECT_EQ(Send(LB_SETCURSEL, 10), LB_ERR); // no such row: the choice stays
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  Send(LB_DELETESTRING, 2);
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR); // its row went
  Send(LB_SETCURSEL, 0);
  EXPECT_EQ(Send(LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR); // clears, and says LB_ERR
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR);
  Send(LB_SETCURSEL, 1);
  Send(LB_RESETCONTENT);
  EXPECT_EQ(Send(LB_GETCOUNT), 0);
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR);
}

TEST_F(ListBoxMessages, SortedListPlacesRowsInOrder) {
  HWND sorted =
      testwin::Make("ListBox", "", WS_CHILD | WS_VISIBLE | LBS_SORT, 10, 140, 150, 60, top, 103);
  EXPECT_EQ(SendMessageA(sorted, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("pear")), 0);
  EXPECT_EQ(SendMessageA(sorted, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Apple")), 0);
  EXPECT_EQ(SendMessageA(sorted, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("melon")), 1);
  EXPECT_EQ(SendMessageA(sorted, LB_GETCOUNT, 0, 0), 3);
}

// ---- Dialog-item values -------------------------------------------------------------------------
TEST_F(WindowPlacement, CheckStatesOfButtons) {
  HWND box = testwin::Make("Button", "Respace Music", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10,
                           60, 100, 20, top, 106);
  HWND push = testwin::Make("Button", "Apply", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 90, 60,
                            20, top, 1);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(push, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(top, 106), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(CheckDlgButton(top, 106, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(top, 106), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  CheckDlgButton(top, 1, BST_CHECKED); // a push button shows no check
  EXPECT_EQ(IsDlgButtonChecked(top, 1), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(WindowPlacement, IntegersReadFromItemText) {
  HWND edit = testwin::Make("Edit", "", WS_CHILD | WS_VISIBLE, 10, 60, 100, 20, top, 5);
  ASSERT_NE(edit, nullptr);
  BOOL ok = FALSE;
  EXPECT_TRUE(SetDlgItemInt(top, 5, static_cast<UINT>(-42), TRUE));
  char text[16];
  GetDlgItemTextA(top, 5, text, sizeof text);
  EXPECT_STREQ(text, "-42");
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(top, 5, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  SetDlgItemTextA(top, 5, "  17 bars");
  EXPECT_EQ(GetDlgItemInt(top, 5, &ok, TRUE), 17u);
  EXPECT_TRUE(ok);
  SetDlgItemTextA(top, 5, "bars");
  EXPECT_EQ(GetDlgItemInt(top, 5, &ok, TRUE), 0u);
  EXPECT_FALSE(ok);
  SetDlgItemTextA(top, 5, "99999999999");
  EXPECT_EQ(GetDlgItemInt(top, 5, &ok, TRUE), 0u);
  EXPECT_FALSE(ok);
}

// ---- Text conversion ----------------------------------------------------------------------------
TEST(Utf8Conversion, DecodesToUtf16WithSurrogatePairs) {
  const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"; // a, e acute, euro, G clef
  WCHAR out[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), 6); // with the terminator
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 8), 6);
  EXPECT_EQ(out[0], 0x61);
  EXPECT_EQ(out[1], 0xE9);
  EXPECT_EQ(out[2], 0x20AC);
  EXPECT_EQ(out[3], 0xD834);
  EXPECT_EQ(out[4], 0xDD1E);
  EXPECT_EQ(out[5], 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 3, out, 8), 2);  // no terminator
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 5), 0); // one unit short
}

} // namespace
