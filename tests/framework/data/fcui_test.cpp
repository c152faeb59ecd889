// The host's user-interface services that go through the host: menu commands, redraw, the
// document window's description, scrolling and the selection dialogs.
#include "support/moduleglobals.h"

#include "data/fcui.h"

using hostsim::TheHost;

namespace {

class HostUI : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    hostsim::NewDocument(3, 8);
  }
  FCUI ui{nullptr};
};

TEST_F(HostUI, MenuCommandsSendTheirHostItems) {
  EXPECT_TRUE(ui.MenuCommand(FCUI::MENUCMD_RESPACE));
  EXPECT_TRUE(ui.MenuCommand(FCUI::MENUCMD_ITEM12112));
  EXPECT_TRUE(ui.MenuCommand(FCUI::MENUCMD_ITEM10619));
  ASSERT_EQ(3u, TheHost().menuCommands.size());
  EXPECT_EQ(12106, TheHost().menuCommands[0].item);
  EXPECT_EQ(12112, TheHost().menuCommands[1].item);
  EXPECT_EQ(10619, TheHost().menuCommands[2].item);
}

TEST_F(HostUI, CommandsOutsideTheTableSendNothing) {
  EXPECT_FALSE(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(14)));
  EXPECT_FALSE(ui.MenuCommand(static_cast<FCUI::MENU_COMMANDS>(-1)));
  EXPECT_FALSE(ui.MenuCommand(FCUI::MENUCMD_NONE));
  EXPECT_EQ(0, hostsim::CountCalls("FX_ExecuteMenuItem"));
}

TEST_F(HostUI, CommandTheHostDoesNotRunAnswersFalse) {
  hostsim::SetAnswer("FX_ExecuteMenuItem", 0);
  EXPECT_FALSE(ui.MenuCommand(FCUI::MENUCMD_RESPACE));
  EXPECT_EQ(1, hostsim::CountCalls("FX_ExecuteMenuItem"));
}

TEST_F(HostUI, RedrawHandsOnTheAreaTheSelectionCallFilled) {
  ui.RedrawDocument();
  auto regions = hostsim::CallsTo("FX_GetCurERegions");
  auto redraws = hostsim::CallsTo("FX_RedrawMusic");
  ASSERT_EQ(1u, regions.size());
  ASSERT_EQ(1u, redraws.size());
  EXPECT_EQ(regions[0].slots[2], redraws[0].slots[0]);
  EXPECT_EQ(1, TheHost().redraws);
}

TEST_F(HostUI, WindowWithoutDescriptionGivesNeutralAnswers) {
  EXPECT_FALSE(ui.IsPageView());
  EXPECT_EQ(0, ui.GetCurrentPage());
  EXPECT_EQ(0, ui.GetCurrentMeasure());
  EXPECT_EQ(100, ui.GetZoomLevel());
  EXPECT_EQ(nullptr, ui.GetDocumentWindow());
  hostsim::SetAnswer("FX_GetCurrentWindowInfo", 1); // answers, but leaves the record zero
  EXPECT_EQ(100, ui.GetZoomLevel());
  EXPECT_FALSE(ui.IsPageView());
}

TEST_F(HostUI, MoveToMeasureFindsTheFirstStaffThatExists) {
  hostsim::SetAnswer("FX_ScrollTo", 1);
  hostsim::Doc().records.erase({MAKEEXTAG('S', 'O', 'I', 'S'), hostsim::MakeKey(1)}); // no staff 1
  EXPECT_TRUE(ui.MoveToMeasure(5, 0));
  auto scrolls = hostsim::CallsTo("FX_ScrollTo");
  ASSERT_EQ(1u, scrolls.size());
  EXPECT_EQ(5u, scrolls[0].slots[0]);
  EXPECT_EQ(2u, scrolls[0].slots[1]);
  EXPECT_TRUE(ui.MoveToMeasure(6, 3));
  EXPECT_EQ(3u, hostsim::CallsTo("FX_ScrollTo")[1].slots[1]);
}

TEST_F(HostUI, MoveToMeasureWithoutAnyStaffDoesNothing) {
  hostsim::NewDocument(0, 4, 2);
  EXPECT_FALSE(ui.MoveToMeasure(2, 0));
  EXPECT_EQ(0, hostsim::CountCalls("FX_ScrollTo"));
}

TEST_F(HostUI, SelectionDialogsAskForTheirKindWithTheItemPreselected) {
  hostsim::SetAnswer("FX_SelectionDialog", 12);
  EXPECT_EQ(12, ui.DisplayTextExpressionDialog(3));
  EXPECT_EQ(12, ui.DisplayArticulationDialog(40000));
  auto calls = hostsim::CallsTo("FX_SelectionDialog");
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(4u, calls[0].slots[0]);
  EXPECT_EQ(3u, calls[0].slots[1]);
  EXPECT_EQ(1u, calls[1].slots[0]);
  EXPECT_EQ(40000u, calls[1].slots[1] & 0xFFFF);
  hostsim::SetAnswer("FX_SelectionDialog", 0);
  EXPECT_EQ(0, ui.DisplayArticulationDialog(3));
  EXPECT_EQ(0, TheHost().redraws); // the host reported no change
}

} // namespace
