// Resource windows driven through the dialog procedure as the host delivers messages: dispatch,
// windowshading, position memory, batched control movement and the dialog's life.
#include <gtest/gtest.h>

#include "resource.h"
#include "support/make_window.h"
#include "support/moduleglobals.h"
#include "support/probe_window.h"
#include "ui/windowshade.h"

using testsupport::ProbeWindow;

namespace {

using testwin::Height;
using testwin::ShadedHeight;
using testwin::Width;

// Windowshading allowed at the start; the switch is put back afterwards.
class ResourceWindowTest : public testsupport::OpenProbeWindow {
protected:
  void SetUp() override {
    AllowWindowshade(true);
    OpenProbeWindow::SetUp();
  }

private:
  ModuleGlobalsGuard globals_;
};

TEST_F(ResourceWindowTest, CreationStoresTheHandleAndTakesTrackingSizesFromTheOuterSize) {
  EXPECT_EQ(dialog, window->GetWindowHandle());
  EXPECT_TRUE(window->HasDialogProcedure());
  RECT outer = hostsim::OuterRect(dialog);
  EXPECT_EQ(Width(outer), window->GetMinTrackingWidth());
  EXPECT_EQ(Width(outer), window->GetMaxTrackingWidth());
  EXPECT_EQ(Height(outer), window->GetMinTrackingHeight());
  EXPECT_EQ(Height(outer), window->GetMaxTrackingHeight());
  auto calls = hostsim::CallsTo("FX_Dialog");
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(20128u, calls[0].slots[0]);
  EXPECT_EQ(0u, calls[0].slots[3]); // modeless
  EXPECT_EQ(reinterpret_cast<uintptr_t>(window.get()), calls[0].slots[4]);
}

TEST_F(ResourceWindowTest, ShowingAnOpenWindowAgainMakesNoSecondDialog) {
  window->ShowModeless(static_cast<HWND>(nullptr));
  EXPECT_EQ(1, hostsim::OpenDialogCount());
  EXPECT_EQ(1, hostsim::CountCalls("FX_Dialog"));
  EXPECT_EQ(dialog, GetActiveWindow());
}

TEST_F(ResourceWindowTest, AButtonWithACommandKindReachesItsHandlerNotHandleCommand) {
  EXPECT_EQ(1, hostsim::Command(dialog, 1));
  EXPECT_EQ(1, window->oks);
  // Focus notifications of the list may reach HandleCommand; the button never does.
  for (FCControl* c : window->commands)
    EXPECT_NE(window->apply, c);
  EXPECT_EQ(1, window->GetModalResult());
  EXPECT_EQ(1, window->closes);
  EXPECT_EQ(0, hostsim::OpenDialogCount());
  EXPECT_EQ(nullptr, window->GetWindowHandle());
}

TEST_F(ResourceWindowTest, AControlWithoutCommandKindReachesHandleCommandWithItsAnswer) {
  window->commands.clear();
  window->commandAnswer = false;
  EXPECT_EQ(0, hostsim::Command(dialog, IDC_TASKLIST, 1));
  ASSERT_FALSE(window->commands.empty());
  EXPECT_EQ(window->list, window->commands.back());
  window->commandAnswer = true;
  EXPECT_EQ(1, hostsim::Command(dialog, IDC_TASKLIST, 1));
  EXPECT_EQ(window->list, window->commands.back());
  EXPECT_EQ(1, hostsim::Command(dialog, 999)); // no such control: HandleCommand(null)
  EXPECT_EQ(nullptr, window->commands.back());
  EXPECT_EQ(0, window->oks);
}

TEST_F(ResourceWindowTest, TheCloseBoxClosesThroughCloseButtonPressed) {
  hostsim::CloseBox(dialog);
  EXPECT_EQ(2, window->GetModalResult());
  EXPECT_EQ(1, window->closes);
  EXPECT_EQ(0, hostsim::OpenDialogCount());
}

TEST_F(ResourceWindowTest, OkOnAWindowAlreadyClosingDoesNotCloseAgain) {
  window->CloseWindow();
  ASSERT_TRUE(window->IsClosing());
  window->OkButtonPressed();
  EXPECT_EQ(1, window->GetModalResult());
  EXPECT_EQ(1, window->closes);
  window->CancelButtonPressed();
  EXPECT_EQ(2, window->GetModalResult());
  EXPECT_EQ(1, window->closes);
}

TEST_F(ResourceWindowTest, AMessageWithoutUserDataIsIgnored) {
  EXPECT_EQ(0, userroutine(dialog, WM_COMMAND, 1, 0, nullptr));
  EXPECT_EQ(0, userroutine(dialog, WM_CLOSE, 0, 0, nullptr));
  EXPECT_EQ(0, userroutine(nullptr, WM_INITDIALOG, 0, 0, nullptr));
  EXPECT_EQ(0, window->oks);
  EXPECT_EQ(0, window->closes);
  EXPECT_EQ(dialog, window->GetWindowHandle());
  EXPECT_EQ(1, hostsim::OpenDialogCount());
}

TEST_F(ResourceWindowTest, TimerActivationAndNotificationsReachTheirHandlers) {
  hostsim::SendToDialog(dialog, WM_TIMER, 7, 0);
  hostsim::SetDialogActive(dialog, false);
  hostsim::SetDialogActive(dialog, true);
  ASSERT_EQ(1u, window->timers.size());
  EXPECT_EQ(7, window->timers[0]);
  ASSERT_GE(window->activations.size(), 2u);
  EXPECT_FALSE(window->activations[window->activations.size() - 2]);
  EXPECT_TRUE(window->activations.back());
  EXPECT_EQ(0, hostsim::SendToDialog(dialog, WM_NOTIFY, IDC_TASKSLABEL, 0)); // no header: nothing
}

TEST_F(ResourceWindowTest, WindowshadeFoldsToTheCaptionAndOpensToTheFormerHeight) {
  RECT before = hostsim::OuterRect(dialog);
  window->Windowshade(true);
  EXPECT_TRUE(window->IsWindowshaded());
  RECT folded = hostsim::OuterRect(dialog);
  EXPECT_EQ(ShadedHeight(), Height(folded));
  EXPECT_EQ(Width(before), Width(folded));
  EXPECT_EQ(before.left, folded.left);
  EXPECT_EQ(before.top, folded.top);
  window->Windowshade(true); // already folded: the expanded height must survive
  window->Windowshade(false);
  EXPECT_FALSE(window->IsWindowshaded());
  EXPECT_EQ(Height(before), Height(hostsim::OuterRect(dialog)));
}

TEST_F(ResourceWindowTest, WindowshadeDoesNothingWhileNotAllowed) {
  RECT before = hostsim::OuterRect(dialog);
  AllowWindowshade(false);
  window->Windowshade(true);
  EXPECT_FALSE(window->IsWindowshaded());
  EXPECT_EQ(Height(before), Height(hostsim::OuterRect(dialog)));
}

TEST_F(ResourceWindowTest, WhileFoldedResizingIsNotPassedOnAndTheMinimumHeightIsZero) {
  MINMAXINFO info = {};
  hostsim::SendToDialog(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(window->GetMinTrackingHeight(), info.ptMinTrackSize.y);
  EXPECT_EQ(window->GetMaxTrackingHeight(), info.ptMaxTrackSize.y);
  EXPECT_EQ(window->GetMinTrackingWidth(), info.ptMinTrackSize.x);
  window->Windowshade(true);
  window->resizes.clear();
  MINMAXINFO folded = {};
  hostsim::SendToDialog(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&folded));
  EXPECT_EQ(0, folded.ptMinTrackSize.y);
  hostsim::SendToDialog(dialog, WM_SIZE, 0, MAKELPARAM(300, 200));
  EXPECT_TRUE(window->resizes.empty());
  EXPECT_EQ(0, hostsim::SendToDialog(dialog, WM_GETMINMAXINFO, 0, 0)); // no record: nothing
}

TEST_F(ResourceWindowTest, OnlyAPlainResizeReachesHandleResizeWithTheLastClientSize) {
  RECT client = hostsim::ClientRect(dialog);
  hostsim::SendToDialog(dialog, WM_SIZE, 1, MAKELPARAM(10, 10));   // minimised
  hostsim::SendToDialog(dialog, WM_SIZE, 2, MAKELPARAM(900, 700)); // maximised
  EXPECT_TRUE(window->resizes.empty());
  hostsim::SendToDialog(dialog, WM_SIZE, 0, MAKELPARAM(Width(client), Height(client) + 40));
  hostsim::SendToDialog(dialog, WM_SIZE, 0, MAKELPARAM(Width(client), Height(client) + 50));
  ASSERT_EQ(2u, window->resizes.size());
  EXPECT_EQ(Height(client) + 40, window->resizes[0].newheight);
  EXPECT_EQ(Height(client), window->resizes[0].oldheight);
  EXPECT_EQ(Width(client), window->resizes[0].oldwidth);
  EXPECT_EQ(Height(client) + 40, window->resizes[1].oldheight);
}

TEST_F(ResourceWindowTest, StoredPositionWithoutSizeMovesButDoesNotResize) {
  EXPECT_EQ(-1, window->GetStoredX());
  EXPECT_EQ(-1, window->GetStoredY());
  EXPECT_EQ(-1, window->GetStoredWidth());
  EXPECT_FALSE(window->RestorePosition());
  SetWindowPos(dialog, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  window->StorePosition(false);
  EXPECT_EQ(200, window->GetStoredX());
  EXPECT_EQ(150, window->GetStoredY());
  EXPECT_EQ(-1, window->GetStoredWidth());
  RECT stored = hostsim::OuterRect(dialog);
  window->SetMaxTrackingHeight(Height(stored) + 100); // room to grow
  SetWindowPos(dialog, nullptr, 10, 20, Width(stored), Height(stored) + 30,
               SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(window->RestorePosition());
  RECT now = hostsim::OuterRect(dialog);
  EXPECT_EQ(200, now.left);
  EXPECT_EQ(150, now.top);
  EXPECT_EQ(Height(stored) + 30, Height(now));
  window->StorePosition(true);
  EXPECT_EQ(Width(now), window->GetStoredWidth());
  EXPECT_EQ(Height(now), window->GetStoredHeight());
}

TEST_F(ResourceWindowTest, StoringWhileFoldedRecordsTheOpenHeightAndStaysFolded) {
  RECT open = hostsim::OuterRect(dialog);
  window->Windowshade(true);
  window->StorePosition(true);
  EXPECT_EQ(Height(open), window->GetStoredHeight());
  EXPECT_TRUE(window->IsWindowshaded());
  EXPECT_EQ(ShadedHeight(), Height(hostsim::OuterRect(dialog)));
}

TEST_F(ResourceWindowTest, ARestoreAtCreationIsAppliedAtTheFirstShowOnly) {
  window->CloseWindow();
  // A window that restores its position in InitWindow, as the tool's does.
  struct Restoring : ProbeWindow {
    void InitWindow() override {
      ProbeWindow::InitWindow();
      RestorePosition();
    }
  } restoring;
  restoring.SetRestorePositionOnlyData(300, 250);
  restoring.ShowModeless(static_cast<HWND>(nullptr));
  HWND second = hostsim::OpenDialog();
  ASSERT_TRUE(second);
  hostsim::SendToDialog(second, WM_SHOWWINDOW, 1, 0);
  EXPECT_EQ(300, hostsim::OuterRect(second).left);
  EXPECT_EQ(250, hostsim::OuterRect(second).top);
  // Later shows leave the window where the user put it.
  SetWindowPos(second, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  hostsim::SendToDialog(second, WM_SHOWWINDOW, 1, 0);
  EXPECT_EQ(5, hostsim::OuterRect(second).left);
  EXPECT_EQ(5, hostsim::OuterRect(second).top);
}

TEST_F(ResourceWindowTest, EndingABatchThatNeverStartedMovesNothing) {
  RECT before = hostsim::ItemRect(dialog, 1);
  window->apply->MoveRelative(0, 0); // not buffered: applied at once, to the same place
  EXPECT_FALSE(window->EndBufferControlMovement());
  RECT after = hostsim::ItemRect(dialog, 1);
  EXPECT_EQ(before.left, after.left);
  EXPECT_EQ(before.top, after.top);
}

TEST_F(ResourceWindowTest, BufferedMovesStartFromTheRealPlaceAndApplyTogether) {
  RECT apply = hostsim::ItemRect(dialog, 1);
  RECT list = hostsim::ItemRect(dialog, IDC_TASKLIST);
  window->StartBufferControlMovement();
  window->apply->MoveRelative(5, 0);
  window->apply->MoveRelative(5, 0);
  EXPECT_EQ(apply.left + 5, window->apply->GetLeft());
  EXPECT_EQ(apply.left, hostsim::ItemRect(dialog, 1).left); // nothing moved yet
  window->list->ResizeRelative(0, 20);
  window->close->MoveAbsolute(10, 20);
  EXPECT_EQ(10, window->close->GetLeft());
  EXPECT_EQ(20, window->close->GetTop());
  EXPECT_EQ(Width(hostsim::ItemRect(dialog, 2)), window->close->GetWidth());
  EXPECT_TRUE(window->EndBufferControlMovement());
  EXPECT_FALSE(window->IsBufferingControlMovement());
  RECT moved = hostsim::ItemRect(dialog, 1);
  EXPECT_EQ(apply.left + 5, moved.left);
  EXPECT_EQ(apply.top, moved.top);
  EXPECT_EQ(Width(apply), Width(moved));
  RECT grown = hostsim::ItemRect(dialog, IDC_TASKLIST);
  EXPECT_EQ(list.left, grown.left);
  EXPECT_EQ(list.top, grown.top);
  EXPECT_EQ(Height(list) + 20, Height(grown));
  EXPECT_EQ(10, hostsim::ItemRect(dialog, 2).left);
  EXPECT_EQ(20, hostsim::ItemRect(dialog, 2).top);
  // The batch is over: the next move is applied at once.
  window->apply->MoveRelative(0, 3);
  EXPECT_EQ(apply.top + 3, hostsim::ItemRect(dialog, 1).top);
}

TEST_F(ResourceWindowTest, AHostThatCannotCreateTheDialogLeavesTheWindowReady) {
  window.reset(new ProbeWindow);
  hostsim::ResetDialogs();
  hostsim::SetDialogFailure(true);
  window->ShowModeless(static_cast<HWND>(nullptr));
  EXPECT_EQ(nullptr, window->GetWindowHandle());
  EXPECT_FALSE(window->HasDialogProcedure());
  EXPECT_EQ(0, hostsim::OpenDialogCount());
  hostsim::SetDialogFailure(false);
  window->ShowModeless(static_cast<HWND>(nullptr));
  EXPECT_TRUE(window->GetWindowHandle());
  EXPECT_EQ(1, hostsim::OpenDialogCount());
}

TEST_F(ResourceWindowTest, ADialogDestroyedByOthersIsForgottenAndBuiltAgain) {
  ::DestroyWindow(dialog);
  EXPECT_EQ(nullptr, window->GetWindowHandle());
  window->ShowModeless(static_cast<HWND>(nullptr));
  EXPECT_TRUE(window->GetWindowHandle());
  EXPECT_EQ(1, hostsim::OpenDialogCount());
}

TEST_F(ResourceWindowTest, DeletingTheWindowEndsItsDialog) {
  window.reset();
  EXPECT_EQ(0, hostsim::OpenDialogCount());
  EXPECT_EQ(1, hostsim::CountCalls("FX_EndDialog"));
}

TEST_F(ResourceWindowTest, AModalDialogAnswersTheModalResult) {
  window->CloseWindow();
  hostsim::SetModalDriver([](HWND d) {
    hostsim::Command(d, 1);
    return false;
  });
  EXPECT_EQ(1, window->ExecuteModal(static_cast<HWND>(nullptr)));
  EXPECT_EQ(nullptr, window->GetWindowHandle());
  auto calls = hostsim::CallsTo("FX_Dialog");
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(1u, calls.back().slots[3]);
}

} // namespace
