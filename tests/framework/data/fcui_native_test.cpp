// The Windows side of the host UI services, against the Win32 stand-in (under Wine a real
// message box would wait for a user).
#include "support/moduleglobals.h"

#include "core/fcstring.h"
#include "data/fcui.h"
#include "ui/windowshade.h"
#include "winshim.h"

#include <string>

namespace {

const UINT WARNING = MB_ICONEXCLAMATION;
const UINT PLAIN = 0xFFFFFFFF;

class WindowsUI : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    WinShim_Reset();
  }
  void TearDown() override { WinShim_Reset(); }
  FCUI ui{nullptr};
};

TEST_F(WindowsUI, BeepPlaysTheWarningSound) {
  EXPECT_NE(0, ui.Beep());
  EXPECT_EQ(1, WinShim_BeepCalls());
  EXPECT_EQ(1, WinShim_BeepsPlayed(WARNING));
}

TEST_F(WindowsUI, BeepFallsBackToThePlainBeep) {
  WinShim_FailBeep(WARNING, TRUE);
  EXPECT_NE(0, ui.Beep());
  EXPECT_EQ(2, WinShim_BeepCalls());
  EXPECT_EQ(1, WinShim_BeepsPlayed(PLAIN));
  WinShim_FailBeep(PLAIN, TRUE);
  EXPECT_EQ(0, ui.Beep()); // the answer of the last call
}

TEST_F(WindowsUI, ScreenSizeIsTheFullScreenClientArea) {
  WinShim_SetSystemMetric(SM_CYFULLSCREEN, 690);
  WinShim_SetSystemMetric(SM_CXFULLSCREEN, 1200);
  EXPECT_EQ(690, ui.GetScreenHeight());
  EXPECT_EQ(1200, ui.GetScreenWidth());
}

TEST_F(WindowsUI, AlertsUseTheirIconAndDefaultCaption) {
  struct Case {
    void (FCUI::*alert)(const char*, const char*);
    UINT type;
    const char* caption;
  };
  const Case cases[] = {{&FCUI::AlertError, MB_OK | MB_ICONERROR, "Error"},
                        {&FCUI::AlertNeutral, MB_OK, ""},
                        {&FCUI::AlertInfo, MB_OK | MB_ICONINFORMATION, "Information"}};
  for (const Case& c : cases) {
    (ui.*c.alert)("Message", nullptr);
    EXPECT_STREQ("Message", WinShim_LastMessageBoxText());
    EXPECT_STREQ(c.caption, WinShim_LastMessageBoxCaption());
    EXPECT_EQ(c.type, WinShim_LastMessageBoxType());
    (ui.*c.alert)("Message", "Own caption");
    EXPECT_STREQ("Own caption", WinShim_LastMessageBoxCaption());
  }
  EXPECT_EQ(6, WinShim_MessageBoxCount());
}

TEST_F(WindowsUI, AlertYesNoMapsTheButtons) {
  EXPECT_EQ(0, ui.AlertYesNo("Go on?"));
  EXPECT_EQ(MB_YESNO, WinShim_LastMessageBoxType());
  EXPECT_STREQ("Error", WinShim_LastMessageBoxCaption());
  WinShim_SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(1, ui.AlertYesNo("Go on?"));
  WinShim_SetMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(2, ui.AlertYesNo("Go on?"));
}

TEST_F(WindowsUI, StringFormsPassTheirTexts) {
  FCString message("Text of the box"), caption("Box");
  ui.AlertInfo(&message, &caption);
  EXPECT_STREQ("Text of the box", WinShim_LastMessageBoxText());
  EXPECT_STREQ("Box", WinShim_LastMessageBoxCaption());
  ui.AlertError(&message);
  EXPECT_STREQ("Error", WinShim_LastMessageBoxCaption());
  WinShim_SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(1, ui.AlertYesNo(&message, &caption));
}

TEST_F(WindowsUI, BoxIsOwnedByTheActiveWindowAndWindowshadingComesBack) {
  HWND window = WinShim_CreateWindow("#32770", "Tool", WS_VISIBLE, 0, 0, 0, 100, 100, nullptr, 0);
  SetActiveWindow(window);
  __bWindowshadeAllowed = false;
  ui.AlertNeutral("Message");
  EXPECT_EQ(window, WinShim_LastMessageBoxOwner());
  EXPECT_TRUE(__bWindowshadeAllowed);
}

} // namespace
