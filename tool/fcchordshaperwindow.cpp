#include "fcchordshaperwindow.h"

#include "data/fcmusicregion.h"
#include "data/fcundoblock.h"
#include "fcchordshaperblockhandler.h"
#include "fxbridge.h"
#include "settings/fcsettings.h"
#include "tasks.h"
#include "ui/windowshade.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The host's value kinds for check boxes and radio buttons.
const twobyte VALUE_CHECKBOX = 1;
const twobyte VALUE_RADIO = 2;

// True when the options file holds key with the value "1" exactly.
bool OptionIsOne(const char* key) {
  FCString name(key);
  FCSettingsPair* pair = LoadQVOptionsPair(&name, false);
  if (!pair) return false;
  bool on = pair->GetValue()->IsEqual("1");
  delete pair;
  return on;
}

// Tells the user through the host's message; the window does not fold away behind it.
void Tell(const char* text) {
  AllowWindowshade(false);
  FX_AlertMessage(0, 0, 0, text);
  AllowWindowshade(true);
}

// The places said, "measure 3 beat 2.5, ...": the first twenty, and how many more.
std::string PlacesText(const std::vector<LinePlace>& places) {
  const size_t shown = 20;
  std::string text;
  for (size_t i = 0; i < places.size() && i < shown; ++i) {
    char place[64];
    snprintf(place, sizeof place, "%smeasure %d beat %g", i ? ", " : "", places[i].measure,
             std::round(100 + places[i].pos * 100 / 1024.0) / 100); // a third as 1.33
    text += place;
  }
  if (places.size() > shown) text += ", and " + std::to_string(places.size() - shown) + " more";
  return text;
}

// Tells the user, through the host's message, which places the task left as they were and
// why, and where it gathered crossed voices; only Reduce leaves places so. The window does not
// fold away behind the message.
void TellLeftAlone(const char* task, const std::vector<LinePlace>& places,
                   const std::vector<LinePlace>& crossings) {
  std::string text;
  if (!places.empty())
    text = std::string(task) + " left " + std::to_string(places.size()) +
           (places.size() == 1 ? " place" : " places") +
           " alone, where the selected staves' rhythms cannot be split to meet (a tuplet "
           "against other notes), a grace note is not on every staff, their notes would not fit "
           "one chord or the staff they gather on holds nothing there: " +
           PlacesText(places) + ".";
  if (!crossings.empty())
    text += std::string(text.empty() ? "" : " ") + "Voices cross at " + PlacesText(crossings) +
            ": the chords there do not keep which staff sang which note.";
  Tell(text.c_str());
}

// Which chords the task left as written and why; only Voice Leading leaves chords so.
void TellChordsLeftAlone(const char* task, const ChordsLeftAlone& alone) {
  char list[256], text[320];
  alone.Describe(list, sizeof list);
  snprintf(text, sizeof text, "%s left alone: %s.", task, list);
  Tell(text);
}

} // namespace

FCChordShaperWindow::FCChordShaperWindow(FCUI* ui)
    : FCResourceWindow(IDD_CHORDSHAPER), _windowshade(false), _applybutton(nullptr),
      _closebutton(nullptr), _taskslabel(nullptr), _tasklist(nullptr), _respacecheck(nullptr),
      _topradio(nullptr), _bottomradio(nullptr), _description(nullptr),
      _ui(ui ? *ui : FCUI(nullptr)) {}

bool FCChordShaperWindow::_IsOn(FCControl* control, twobyte kind) {
  if (!control) return false;
  return FX_GetDlgItemVal(control->_GetParentHandle(), control->GetControlID(), kind) != 0;
}

void FCChordShaperWindow::_SetOn(FCControl* control, twobyte kind, bool on) {
  if (!control) return;
  FX_SetDlgItemVal(control->_GetParentHandle(), control->GetControlID(), kind, on ? 1 : 0);
}

void FCChordShaperWindow::_Enable(FCControl* control, bool enable) {
  if (!control) return;
  FX_EnableDlgItem(control->_GetParentHandle(), control->GetControlID(), enable ? 1 : 0);
}

void FCChordShaperWindow::LinkControls() {
  if (_applybutton) return; // the controls exist for the window's whole life
  _applybutton = new FCCtrlButton(IDC_APPLY);
  _applybutton->SetCommandKind(CMDKIND_OK);
  AddControl(_applybutton);
  _closebutton = new FCCtrlButton(IDC_CLOSE);
  _closebutton->SetCommandKind(CMDKIND_CLOSE);
  AddControl(_closebutton);
  _taskslabel = new FCCtrlStatic(IDC_TASKSLABEL);
  AddControl(_taskslabel);
  _tasklist = new FCCtrlListBox(IDC_TASKLIST);
  AddControl(_tasklist);
  _topradio = new FCCtrlRadioButton(IDC_TOPRADIO);
  AddControl(_topradio);
  _bottomradio = new FCCtrlRadioButton(IDC_BOTTOMRADIO);
  AddControl(_bottomradio);
  _description = new FCCtrlStatic(IDC_DESCRIPTION);
  AddControl(_description);
  _respacecheck = new FCCtrlCheckbox(IDC_RESPACE);
  AddControl(_respacecheck);
}

void FCChordShaperWindow::InitWindow() {
  LoadQVPluginToolSettings(true);
  FCUserWindow::InitWindow();
  if (_tasklist) {
    _tasklist->Clear();
    for (int row = 0; row < TASKCOUNT; ++row) {
      FCString name(TaskDescriptors[row].name);
      _tasklist->AddString(&name);
    }
  }
  InitSettings();
  EnableControls();
  UpdateControls();
  // Taller only: up to the larger of the initial height and eight tenths of the screen.
  long long limit = static_cast<long long>(_ui.GetScreenHeight()) * 8 / 10;
  if (_maxtrackheight < limit) _maxtrackheight = static_cast<fourbyte>(limit);
  RestorePosition();
}

void FCChordShaperWindow::InitSettings() {
  if (_tasklist) _tasklist->SetSelectedItem(GlobalUserSettings.nTaskIndex);
  _SetOn(_respacecheck, VALUE_CHECKBOX, GlobalUserSettings.bRespaceMusic);
  _SetOn(_topradio, VALUE_RADIO, GlobalUserSettings.bTop);
  _SetOn(_bottomradio, VALUE_RADIO, !GlobalUserSettings.bTop);
}

void FCChordShaperWindow::EnableControls() {
  FCMusicRegion region;
  region.SetCurrentSelection();
  bool empty = region.GetStartMeasure() == 0 && region.GetEndMeasure() == 0;
  _Enable(_applybutton, !empty);
}

int FCChordShaperWindow::FindDescriptorIndex(int index) {
  return index >= 0 && index < TASKCOUNT ? index : -1;
}

void FCChordShaperWindow::UpdateControls() {
  int row = FindDescriptorIndex(_tasklist ? _tasklist->GetSelectedItem() : -1);
  if (row == -1) {
    if (_description) _description->SetText(nullptr);
    _Enable(_topradio, false);
    _Enable(_bottomradio, false);
    _Enable(_applybutton, false);
    return;
  }
  const TaskDescriptor& task = TaskDescriptors[row];
  FCString description(task.description);
  if (_description) _description->SetText(&description);
  _Enable(_topradio, task.showoptions);
  _Enable(_bottomradio, task.showoptions);
  FCString toplabel(task.toplabel), bottomlabel(task.bottomlabel);
  if (_topradio) {
    _topradio->SetVisible(task.showoptions);
    _topradio->SetText(&toplabel);
  }
  if (_bottomradio) {
    _bottomradio->SetVisible(task.showoptions);
    _bottomradio->SetText(&bottomlabel);
  }
  EnableControls();
}

bool FCChordShaperWindow::HandleCommand(FCControl* control) {
  if (!control) return false;
  if (control == _tasklist) {
    UpdateControls();
    return true;
  }
  if (control == _topradio) {
    _SetOn(_bottomradio, VALUE_RADIO, false);
    return false;
  }
  if (control == _bottomradio) {
    _SetOn(_topradio, VALUE_RADIO, false);
    return false;
  }
  return false;
}

void FCChordShaperWindow::OkButtonPressed() {
  ProcessChords();
}

void FCChordShaperWindow::HandleActivate(bool active) {
  if (active)
    EnableControls();
  else
    _Enable(_applybutton, false);
  if (_windowshade) Windowshade(!active);
}

void FCChordShaperWindow::HandleResize(int newwidth, int newheight, int oldwidth, int oldheight) {
  int dx = newwidth - oldwidth;
  int dy = newheight - oldheight;
  StartBufferControlMovement();
  if (_applybutton) _applybutton->MoveRelative(dx, dy);
  if (_closebutton) _closebutton->MoveRelative(dx, dy);
  if (_tasklist) _tasklist->ResizeRelative(dx, dy);
  if (_respacecheck) _respacecheck->MoveRelative(0, dy);
  EndBufferControlMovement();
}

void FCChordShaperWindow::CloseWindow() {
  // Only a dialog that exists has choices to remember; without one they stay as they were.
  if (_hWnd) {
    StorePosition(true);
    if (_tasklist) GlobalUserSettings.nTaskIndex = _tasklist->GetSelectedItem();
    GlobalUserSettings.bRespaceMusic = _IsOn(_respacecheck, VALUE_CHECKBOX);
    GlobalUserSettings.bTop = _IsOn(_topradio, VALUE_RADIO);
  }
  FCResourceWindow::CloseWindow();
}

void FCChordShaperWindow::LoadQVPluginToolSettings(bool withwindowshade) {
  if (withwindowshade) _windowshade = OptionIsOne("QVCHORDSHAPER_WINDOWSHADE");
  GlobalUserSettings.bFourNoteDropChords = OptionIsOne("QVCHORDSHAPER_FOURNOTEDROPCHORDS");
  GlobalUserSettings.bSpellInKey = OptionIsOne("QVCHORDSHAPER_SPELLINKEY");
  GlobalUserSettings.bStrictVoiceLeading = OptionIsOne("QVCHORDSHAPER_STRICTVOICELEADING");
}

void FCChordShaperWindow::ProcessChords() {
  LoadQVPluginToolSettings(false);
  int row = FindDescriptorIndex(_tasklist ? _tasklist->GetSelectedItem() : -1);
  if (row == -1) {
    _ui.Beep();
    return;
  }
  GlobalUserSettings.bRespaceMusic = _IsOn(_respacecheck, VALUE_CHECKBOX);
  const TaskDescriptor& task = TaskDescriptors[row];
  ChordRules rules;
  rules.fourNoteDropChords = GlobalUserSettings.bFourNoteDropChords;
  rules.spellInKey = GlobalUserSettings.bSpellInKey;
  rules.strictVoiceLeading = GlobalUserSettings.bStrictVoiceLeading;
  FCChordShaperBlockHandler handler(task.taskid, _IsOn(_topradio, VALUE_RADIO), &_ui, rules);
  FCString name(task.name);
  FCUndoBlock block;
  if (block.Execute(&handler, &name))
    _ui.RedrawDocument();
  else
    _ui.Beep();
  if (!handler.GetLeftAlonePlaces().empty() || !handler.GetCrossings().empty())
    TellLeftAlone(task.name, handler.GetLeftAlonePlaces(), handler.GetCrossings());
  if (handler.GetChordsLeftAlone().Total() > 0)
    TellChordsLeftAlone(task.name, handler.GetChordsLeftAlone());
}
