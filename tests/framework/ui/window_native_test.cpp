// Batched control movement when the system cannot keep the batch (the Win32 stand-in can be
// made to fail a deferred-positioning step; the real window manager cannot).
#include <gtest/gtest.h>

#include "support/probe_window.h"
#include "winshim.h"

namespace {

class DeferredBatchTest : public testsupport::OpenProbeWindow {
protected:
  void TearDown() override {
    WinShim_FailDeferStep(-1);
    OpenProbeWindow::TearDown();
  }
  void Buffer() {
    window->StartBufferControlMovement();
    window->apply->MoveRelative(0, 30);
    window->close->MoveRelative(0, 30);
    window->list->ResizeRelative(0, 30);
  }
};

TEST_F(DeferredBatchTest, AllPendingControlsGoInOneBatch) {
  int batches = WinShim_BatchesApplied();
  Buffer();
  EXPECT_TRUE(window->EndBufferControlMovement());
  EXPECT_EQ(batches + 1, WinShim_BatchesApplied());
  EXPECT_EQ(3, WinShim_LastBatchSize());
}

TEST_F(DeferredBatchTest, ABatchThatCannotBeOpenedMovesNothingAndKeepsThePendingChanges) {
  RECT apply = hostsim::ItemRect(dialog, 1);
  WinShim_FailDeferStep(0);
  Buffer();
  EXPECT_FALSE(window->EndBufferControlMovement());
  EXPECT_EQ(apply.top, hostsim::ItemRect(dialog, 1).top);
  EXPECT_TRUE(window->IsBufferingControlMovement());
  EXPECT_TRUE(window->apply->_IsMovePending());
  EXPECT_TRUE(window->list->_IsResizePending());
  // Once the system can again, the same pending changes are applied.
  WinShim_FailDeferStep(-1);
  EXPECT_TRUE(window->EndBufferControlMovement());
  EXPECT_EQ(apply.top + 30, hostsim::ItemRect(dialog, 1).top);
}

TEST_F(DeferredBatchTest, ABatchDroppedHalfwayMovesNothing) {
  RECT apply = hostsim::ItemRect(dialog, 1);
  RECT close = hostsim::ItemRect(dialog, 2);
  WinShim_FailDeferStep(2);
  Buffer();
  EXPECT_FALSE(window->EndBufferControlMovement());
  EXPECT_EQ(apply.top, hostsim::ItemRect(dialog, 1).top);
  EXPECT_EQ(close.top, hostsim::ItemRect(dialog, 2).top);
  EXPECT_TRUE(window->close->_IsMovePending());
}

} // namespace
