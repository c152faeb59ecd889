// The tool window: the task list, the direction choice, the "Respace Music" check box and the
// Apply and Close buttons, over dialog resource 20128.
#pragma once
#include "data/fcui.h"
#include "resource.h"
#include "ui/fccontrol.h"
#include "ui/fcuserwindow.h"

class FCChordShaperWindow : public FCResourceWindow {
public:
  // The window keeps its own copy of the host services object for its whole life.
  explicit FCChordShaperWindow(FCUI* ui);
  const char* ClassName() override { return "FCChordShaperWindow"; }

  void CloseWindow() override;
  void InitWindow() override;
  void OkButtonPressed() override;
  bool HandleCommand(FCControl* control) override;
  void HandleActivate(bool active) override;
  void HandleResize(int newwidth, int newheight, int oldwidth, int oldheight) override;

  // Creates the eight control objects; once only.
  void LinkControls();
  // Puts the settings record into the list, the check box and the radio buttons.
  void InitSettings();
  // Enables Apply exactly when the document has a selection.
  void EnableControls();
  // A task-list position as a catalogue row, or -1 for none.
  int FindDescriptorIndex(int index);
  // Shows the chosen task's description and direction captions.
  void UpdateControls();
  // Reads the tool's keys from the options file (the windowshade key only when asked): the
  // four-note rule and the spelling of added notes are read again at every apply.
  void LoadQVPluginToolSettings(bool withwindowshade);
  // Applies the chosen task to the selection as one undoable edit.
  void ProcessChords();

  bool GetWindowshadeOption() const { return _windowshade; }
  FCUI* GetUI() { return &_ui; }

private:
  // The state of a check box (kind 1) or radio button (kind 2) as the host reports it.
  bool _IsOn(FCControl* control, twobyte kind);
  void _SetOn(FCControl* control, twobyte kind, bool on);
  void _Enable(FCControl* control, bool enable);

  bool _windowshade;               // collapse while inactive; from the options file
  FCCtrlButton* _applybutton;      // control 1
  FCCtrlButton* _closebutton;      // control 2
  FCCtrlStatic* _taskslabel;       // control 101
  FCCtrlListBox* _tasklist;        // control 102
  FCCtrlCheckbox* _respacecheck;   // control 106
  FCCtrlRadioButton* _topradio;    // control 103, the first direction
  FCCtrlRadioButton* _bottomradio; // control 104, the second direction
  FCCtrlStatic* _description;      // control 105
  FCUI _ui;                        // host services: screen height, beep, redraw, menus
};
