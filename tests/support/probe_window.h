// A resource window over the tool's dialog template that records what its handlers receive,
// and a fixture that opens it in a fresh host.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dialogs.h"
#include "hostsim.h"
#include "resource.h"
#include "ui/fccontrol.h"
#include "ui/fcuserwindow.h"

namespace testsupport {

struct ResizeCall {
  int newwidth, newheight, oldwidth, oldheight;
};

class ProbeWindow : public FCResourceWindow {
public:
  ProbeWindow() : FCResourceWindow(20128) {
    apply = Link(new FCCtrlButton(1), CMDKIND_OK);
    close = Link(new FCCtrlButton(2), CMDKIND_CLOSE);
    label = Link(new FCCtrlStatic(IDC_TASKSLABEL), CMDKIND_NONE);
    list = Link(new FCCtrlListBox(IDC_TASKLIST), CMDKIND_NONE);
    top = Link(new FCCtrlRadioButton(IDC_TOPRADIO), CMDKIND_NONE);
    bottom = Link(new FCCtrlRadioButton(IDC_BOTTOMRADIO), CMDKIND_NONE);
    text = Link(new FCCtrlStatic(IDC_DESCRIPTION), CMDKIND_NONE);
    check = Link(new FCCtrlCheckbox(IDC_RESPACE), CMDKIND_NONE);
  }
  void CloseWindow() override {
    ++closes;
    FCResourceWindow::CloseWindow();
  }
  void OkButtonPressed() override {
    ++oks;
    FCResourceWindow::OkButtonPressed();
  }
  bool HandleCommand(FCControl* control) override {
    commands.push_back(control);
    return commandAnswer;
  }
  void HandleUpDownPressed(FCControl* control, int step) override {
    upDowns.push_back(control);
    steps.push_back(step);
  }
  void HandleTimer(twobyte id) override { timers.push_back(id); }
  void HandleActivate(bool active) override { activations.push_back(active); }
  void HandleResize(int nw, int nh, int ow, int oh) override {
    resizes.push_back(ResizeCall{nw, nh, ow, oh});
  }

  FCCtrlButton* apply;
  FCCtrlButton* close;
  FCCtrlStatic* label;
  FCCtrlListBox* list;
  FCCtrlRadioButton* top;
  FCCtrlRadioButton* bottom;
  FCCtrlStatic* text;
  FCCtrlCheckbox* check;

  int closes = 0;
  int oks = 0;
  bool commandAnswer = false;
  std::vector<FCControl*> commands;
  std::vector<FCControl*> upDowns;
  std::vector<int> steps;
  std::vector<twobyte> timers;
  std::vector<bool> activations;
  std::vector<ResizeCall> resizes;

private:
  template <class C> C* Link(C* control, ufourbyte kind) {
    control->SetCommandKind(kind);
    AddControl(control);
    return control;
  }
};

// A fresh host and dialog manager with a probe window open as a modeless dialog.
class OpenProbeWindow : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::ResetDialogs();
    hostsim::Reset();
    window.reset(new ProbeWindow);
    window->ShowModeless(static_cast<HWND>(nullptr));
    dialog = hostsim::OpenDialog();
    ASSERT_TRUE(dialog);
  }
  void TearDown() override {
    window.reset();
    hostsim::ResetDialogs();
  }

  std::unique_ptr<ProbeWindow> window;
  HWND dialog = nullptr;
};

} // namespace testsupport
