// The native host's dialogs in exact pixels (fixed base units and the stand-in's default
// metrics), and what only the window model can show: every window of a dialog goes with it.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "resource.h"
#include "winshim.h"

namespace {

int messages = 0;
bool destroyOnInit = false;

fourbyte WINAPI CountingProc(HWND dialog, UINT message, WPARAM, LPARAM, void*) {
  ++messages;
  if (message == WM_INITDIALOG && destroyOnInit) DestroyWindow(dialog);
  return 0;
}

class NativeDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::ResetDialogs();
    hostsim::Reset();
    WinShim_Reset();
    messages = 0;
    destroyOnInit = false;
  }
  HWND Open(HWND parent = nullptr) {
    fourbyte answer = FX_Dialog(IDD_CHORDSHAPER, &CountingProc, parent, 0, nullptr);
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(answer)));
  }
};

TEST_F(NativeDialogs, DialogLiesAtItsTemplatePlaceWithTheFrameAround) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  // Client area 330 x 195 at (30, 65); frame 4 on each side, caption 19.
  RECT outer = hostsim::OuterRect(dialog);
  EXPECT_EQ(outer.left, 26);
  EXPECT_EQ(outer.top, 42);
  EXPECT_EQ(outer.right, 364);
  EXPECT_EQ(outer.bottom, 264);
  RECT client = hostsim::ClientRect(dialog);
  EXPECT_EQ(client.right, 330);
  EXPECT_EQ(client.bottom, 195);
}

TEST_F(NativeDialogs, ItemsLieAtTheirTemplatePlacesInPixels) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  RECT list = hostsim::ItemRect(dialog, IDC_TASKLIST); // 10, 20, 110, 70 dialog units
  EXPECT_EQ(list.left, 15);
  EXPECT_EQ(list.top, 33);
  EXPECT_EQ(list.right, 180);
  EXPECT_EQ(list.bottom, 147);
  RECT apply = hostsim::ItemRect(dialog, 1); // 95, 100, 40, 14
  EXPECT_EQ(apply.left, 143);
  EXPECT_EQ(apply.top, 163);
  EXPECT_EQ(apply.right, 203);
  EXPECT_EQ(apply.bottom, 186);
}

TEST_F(NativeDialogs, ParentedDialogLiesInItsOwnersClientArea) {
  HWND owner = WinShim_CreateWindow("Frame", "score", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 200,
                                    100, 600, 500, nullptr, 0);
  HWND dialog = Open(owner);
  ASSERT_NE(dialog, nullptr);
  // The owner's client area starts at (203, 122): dialog frame 3, caption 19.
  RECT outer = hostsim::OuterRect(dialog);
  EXPECT_EQ(outer.left, 203 + 30 - 4);
  EXPECT_EQ(outer.top, 122 + 65 - 4 - 19);
  DestroyWindow(owner); // the owner takes its dialog along
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(hostsim::OpenDialog(), nullptr);
  HWND gone = owner;
  EXPECT_EQ(FX_Dialog(IDD_CHORDSHAPER, &CountingProc, gone, 0, nullptr), 0);
}

TEST_F(NativeDialogs, EveryWindowOfTheDialogGoesWithIt) {
  int before = WinShim_WindowCount();
  HWND dialog = Open();
  EXPECT_EQ(WinShim_WindowCount(), before + 9); // the dialog and its eight items
  FX_EndDialog(dialog);
  EXPECT_EQ(WinShim_WindowCount(), before);
  FX_Dialog(IDD_CHORDSHAPER, &CountingProc, nullptr, 1, nullptr);
  EXPECT_EQ(WinShim_WindowCount(), before);
}

TEST_F(NativeDialogs, ShowingActivatesTheDialog) {
  HWND dialog = Open();
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(NativeDialogs, DialogDestroyedWhileItIsMadeAnswersNoDialog) {
  destroyOnInit = true;
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
  EXPECT_EQ(WinShim_WindowCount(), 0);
}

TEST_F(NativeDialogs, ModalDriverIsNotAskedForever) {
  int calls = 0;
  hostsim::SetModalDriver([&](HWND) {
    ++calls;
    return true; // never done, never ends the dialog
  });
  EXPECT_EQ(FX_Dialog(IDD_CHORDSHAPER, &CountingProc, nullptr, 1, nullptr), 0);
  EXPECT_EQ(calls, 10000);
  EXPECT_EQ(hostsim::OpenDialogCount(), 0);
}

TEST_F(NativeDialogs, MessagesWithoutUserDataStillReachTheProcedure) {
  HWND dialog = Open();
  int before = messages;
  hostsim::Command(dialog, 1);
  EXPECT_EQ(messages, before + 1);
}

} // namespace
