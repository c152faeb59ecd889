// Dialog controls over the items of an open dialog: texts, lists, values, visibility, and the
// up-down arrows bound to an edit field through the notification handler.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resource.h"
#include "support/make_window.h"
#include "support/probe_window.h"

namespace {

std::string Text(FCString& s) {
  return s.GetCString();
}

class ControlsTest : public testsupport::OpenProbeWindow {
protected:
  // Up-down arrows over the label's item (a plain static: style bit 0x2 clear), which the
  // label's own control object gives up for them.
  FCCtrlUpDown* ArrowsOnLabel() {
    window->DetachItemAt(window->GetIndexOf(window->label));
    delete window->label;
    window->label = nullptr;
    FCCtrlUpDown* arrows = new FCCtrlUpDown(IDC_TASKSLABEL);
    window->AddControl(arrows);
    return arrows;
  }
  intptr_t NotifyUpDown(int id, int delta) {
    NMUPDOWN note = {};
    note.hdr.hwndFrom = GetDlgItem(dialog, id);
    note.hdr.idFrom = static_cast<UINT_PTR>(id);
    note.hdr.code = UDN_DELTAPOS;
    note.iDelta = delta;
    return hostsim::SendToDialog(dialog, WM_NOTIFY, static_cast<WPARAM>(id),
                                 reinterpret_cast<LPARAM>(&note));
  }
};

TEST_F(ControlsTest, TextsAreSetAndReadAndANullTextEmptiesTheItem) {
  FCString hello("Hello there");
  window->text->SetText(&hello);
  EXPECT_EQ("Hello there", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  FCString read;
  window->text->GetText(&read);
  EXPECT_EQ("Hello there", Text(read));
  window->text->SetText(nullptr);
  EXPECT_EQ("", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  window->text->SetInteger(-42);
  EXPECT_EQ("-42", hostsim::ItemText(dialog, IDC_DESCRIPTION));
}

TEST_F(ControlsTest, ListRowsAreAddedSelectedAndReplacedKeepingTheSelection) {
  FCCtrlListBox* list = window->list;
  list->Clear();
  for (const char* row : {"one", "two", "three"}) {
    FCString s(row);
    list->AddString(&s);
  }
  EXPECT_EQ(3, list->GetCount());
  EXPECT_EQ(-1, list->GetSelectedItem());
  list->SetSelectedItem(2);
  EXPECT_EQ(2, list->GetSelectedItem());
  FCString replacement("TWO");
  list->SetItemText(1, &replacement);
  list->SetItemText(-1, &replacement); // nothing
  EXPECT_EQ((std::vector<std::string>{"one", "TWO", "three"}),
            hostsim::ListRows(dialog, IDC_TASKLIST));
  EXPECT_EQ(2, list->GetSelectedItem());
  FCString inserted("zero");
  list->InsertItem(0, &inserted);
  list->DeleteItem(3);
  EXPECT_EQ((std::vector<std::string>{"zero", "one", "TWO"}),
            hostsim::ListRows(dialog, IDC_TASKLIST));
  list->ClearSelection();
  EXPECT_EQ(-1, hostsim::ListSelection(dialog, IDC_TASKLIST));
}

TEST_F(ControlsTest, WithoutADialogNothingIsSelectedAndTextsAreEmpty) {
  window->CloseWindow();
  EXPECT_EQ(-1, window->list->GetSelectedItem());
  EXPECT_EQ(0, window->list->GetCount());
  FCString text("stale");
  window->text->GetText(&text);
  EXPECT_EQ("", Text(text));
  EXPECT_FALSE(window->text->GetVisible());
  FCCtrlStatic orphan(IDC_DESCRIPTION); // no parent at all
  orphan.SetText(&text);
  EXPECT_EQ(0, orphan.GetLeft());
}

TEST_F(ControlsTest, VisibilityFollowsSetVisible) {
  EXPECT_TRUE(window->top->GetVisible());
  window->top->SetVisible(false);
  EXPECT_FALSE(hostsim::ItemVisible(dialog, IDC_TOPRADIO));
  EXPECT_FALSE(window->top->GetVisible());
  window->top->SetVisible(true);
  EXPECT_TRUE(hostsim::ItemVisible(dialog, IDC_TOPRADIO));
}

TEST_F(ControlsTest, UnbufferedMovesAndSizesApplyAtOnce) {
  RECT r = hostsim::ItemRect(dialog, IDC_RESPACE);
  EXPECT_EQ(r.left, window->check->GetLeft());
  EXPECT_EQ(r.top, window->check->GetTop());
  window->check->MoveRelative(3, 4);
  RECT moved = hostsim::ItemRect(dialog, IDC_RESPACE);
  EXPECT_EQ(r.left + 3, moved.left);
  EXPECT_EQ(r.top + 4, moved.top);
  EXPECT_EQ(r.right - r.left, moved.right - moved.left);
  window->check->ResizeRelative(10, 2);
  EXPECT_EQ(r.right - r.left + 10, window->check->GetWidth());
  EXPECT_EQ(r.bottom - r.top + 2, window->check->GetHeight());
  window->check->SetWidth(50);
  EXPECT_EQ(50, window->check->GetWidth());
  EXPECT_EQ(r.left + 3, hostsim::ItemRect(dialog, IDC_RESPACE).left);
}

TEST_F(ControlsTest, EditIntegersAreClampedOnlyWithinAProperRange) {
  FCCtrlEdit* edit = new FCCtrlEdit(IDC_DESCRIPTION); // any item that shows text
  window->AddControl(edit);
  FX_SetDlgItemVal(dialog, IDC_DESCRIPTION, 3, 0);
  EXPECT_EQ(0, edit->GetInteger(0, 0));
  EXPECT_EQ(1, edit->GetInteger(1, 10));
  FX_SetDlgItemVal(dialog, IDC_DESCRIPTION, 3, 12);
  EXPECT_EQ(12, edit->GetInteger(0, 0));
  EXPECT_EQ(10, edit->GetInteger(1, 10));
  edit->AdjustIntegerWithin(1, 10);
  EXPECT_EQ("10", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  edit->SetFloat(2.5f);
  EXPECT_EQ("2.50", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  EXPECT_FLOAT_EQ(2.5f, edit->GetFloat(0, 10));
  EXPECT_FLOAT_EQ(1.0f, edit->GetFloat(0, 1));
  EXPECT_FLOAT_EQ(3.0f, edit->GetFloat(3, 10));
}

TEST_F(ControlsTest, UpDownArrowsStepTheirConnectedIntegerEditWithinItsRange) {
  FCCtrlEdit* edit = new FCCtrlEdit(IDC_DESCRIPTION);
  window->AddControl(edit);
  FCCtrlUpDown* arrows = ArrowsOnLabel();
  arrows->ConnectIntegerEdit(edit, 0, 10);
  EXPECT_EQ(0, arrows->GetMinimum());
  EXPECT_EQ(10, arrows->GetMaximum());
  FX_SetDlgItemVal(dialog, IDC_DESCRIPTION, 3, 5);
  EXPECT_EQ(0, NotifyUpDown(IDC_TASKSLABEL, 1)); // the delta is negated for this style
  EXPECT_EQ("4", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  NotifyUpDown(IDC_TASKSLABEL, -100);
  EXPECT_EQ("10", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  NotifyUpDown(IDC_TASKSLABEL, 100);
  EXPECT_EQ("0", hostsim::ItemText(dialog, IDC_DESCRIPTION));
  EXPECT_TRUE(window->upDowns.empty());
}

TEST_F(ControlsTest, UpDownArrowsStepARealEditThroughTheHostsRealValue) {
  FCCtrlEdit* edit = new FCCtrlEdit(IDC_DESCRIPTION);
  window->AddControl(edit);
  FCCtrlUpDown* arrows = ArrowsOnLabel();
  arrows->ConnectFloatEdit(edit, -1.5, 2.5);
  FX_SetDlgItemUser(dialog, IDC_DESCRIPTION, 0, 9.0); // outside the range: brought in first
  NotifyUpDown(IDC_TASKSLABEL, 1);
  double value = 0;
  FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, &value);
  EXPECT_DOUBLE_EQ(1.5, value);
  NotifyUpDown(IDC_TASKSLABEL, 5);
  FX_GetDlgItemUser(dialog, IDC_DESCRIPTION, 0, &value);
  EXPECT_DOUBLE_EQ(-1.5, value);
}

TEST_F(ControlsTest, UnboundUpDownNotificationsReachTheWindow) {
  FCCtrlUpDown* arrows = ArrowsOnLabel();
  NotifyUpDown(IDC_TASKSLABEL, 3);
  NotifyUpDown(999, 3); // no such control: nothing
  ASSERT_EQ(1u, window->upDowns.size());
  EXPECT_EQ(arrows, window->upDowns[0]);
  EXPECT_EQ(-3, window->steps[0]);
}

TEST_F(ControlsTest, ControlsAnswerTheirClassNames) {
  EXPECT_STREQ("FCControl", window->apply->ClassName());
  EXPECT_STREQ("FCControl", window->check->ClassName());
  EXPECT_STREQ("FCControl", window->top->ClassName());
  EXPECT_STREQ("FCCtrlStatic", window->text->ClassName());
  EXPECT_STREQ("FCCtrlListBox", window->list->ClassName());
  FCCtrlEdit edit(1);
  EXPECT_STREQ("FCCtrlEdit", edit.ClassName());
  EXPECT_EQ(window->list, window->FindControl(IDC_TASKLIST));
  EXPECT_EQ(nullptr, window->FindControl(7));
  EXPECT_EQ(window.get(), window->list->GetParent());
}

} // namespace

namespace {

TEST_F(ControlsTest, UpDownRangeTravelsWithTheMaximumInTheLowHalf) {
  HWND item =
      testwin::Make("msctls_updown32", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 20, dialog, 300);
  ASSERT_TRUE(item);
  FCCtrlUpDown* arrows = new FCCtrlUpDown(300);
  window->AddControl(arrows);
  arrows->SetRange(0, 100);
  EXPECT_EQ(100, SendMessageA(item, UDM_GETRANGE, 0, 0)); // minimum 0 in the high half
  EXPECT_EQ(0, arrows->GetMinimum());
  EXPECT_EQ(100, arrows->GetMaximum());
  arrows->SetRange(-5, 7);
  EXPECT_EQ(-5, arrows->GetMinimum());
  EXPECT_EQ(7, arrows->GetMaximum());
}

} // namespace
