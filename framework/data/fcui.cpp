#include "fcui.h"

#include "core/fcstring.h"
#include "data/fcstaff.h"
#include "fxbridge.h"
#include "hostapi/fxrecords.h"
// The windowshade flag is the window framework's; message boxes only switch it off while
// they are up. ui/ includes nothing of data/, so this stays one way.
#include "ui/windowshade.h"

#include <cstring>

namespace {

// Host menu item of each FCUI::MENU_COMMANDS value.
const fourbyte MENU_ITEMS[] = {0,     12106, 12112, 10602, 35622, 10611, 10612,
                               10613, 10614, 10615, 10616, 10617, 10618, 10619};
const int MENU_ITEM_COUNT = static_cast<int>(sizeof MENU_ITEMS / sizeof MENU_ITEMS[0]);

const unsigned PLAIN_BEEP = 0xFFFFFFFF;
const int DEFAULT_ZOOM = 100;
const int LAST_STAFF_TRIED = 101;

// Kinds of FX_SelectionDialog.
const twobyte SELECT_ARTICULATION = 1;
const twobyte SELECT_TEXTEXPRESSION = 4;

const char* Text(FCString* s) {
  return s ? s->GetCString() : nullptr;
}

} // namespace

bool FCUI::MenuCommand(MENU_COMMANDS command) {
  int value = static_cast<int>(command);
  // Item 0 names no command; it is not sent.
  if (value <= MENUCMD_NONE || value >= MENU_ITEM_COUNT) return false;
  return FX_ExecuteMenuItem(MENU_ITEMS[value]) != 0;
}

void FCUI::RedrawDocument() {
  fourbyte unused = 0;
  EREGION selection;
  memset(&selection, 0, sizeof selection);
  BYTE area[32];
  memset(area, 0, sizeof area);
  FX_GetCurERegions(&unused, &selection, area);
  FX_RedrawMusic(area);
}

int FCUI::Beep() {
  int result = MessageBeep(MB_ICONEXCLAMATION);
  if (!result) result = MessageBeep(PLAIN_BEEP);
  return result;
}

int FCUI::GetScreenHeight() {
  return GetSystemMetrics(SM_CYFULLSCREEN);
}

int FCUI::GetScreenWidth() {
  return GetSystemMetrics(SM_CXFULLSCREEN);
}

int FCUI::_MessageBox(const char* message, const char* caption, const char* defaultcaption,
                      UINT style) {
  AllowWindowshade(false);
  int answer = MessageBoxA(GetActiveWindow(), message ? message : "",
                           caption ? caption : defaultcaption, style);
  AllowWindowshade(true);
  return answer;
}

void FCUI::AlertError(const char* message, const char* caption) {
  _MessageBox(message, caption, "Error", MB_OK | MB_ICONERROR);
}

void FCUI::AlertError(FCString* message, FCString* caption) {
  AlertError(Text(message), Text(caption));
}

int FCUI::AlertYesNo(const char* message, const char* caption) {
  switch (_MessageBox(message, caption, "Error", MB_YESNO)) {
  case IDYES:
    return 0;
  case IDNO:
    return 1;
  default:
    return 2;
  }
}

int FCUI::AlertYesNo(FCString* message, FCString* caption) {
  return AlertYesNo(Text(message), Text(caption));
}

void FCUI::AlertNeutral(const char* message, const char* caption) {
  _MessageBox(message, caption, "", MB_OK);
}

void FCUI::AlertNeutral(FCString* message, FCString* caption) {
  AlertNeutral(Text(message), Text(caption));
}

void FCUI::AlertInfo(const char* message, const char* caption) {
  _MessageBox(message, caption, "Information", MB_OK | MB_ICONINFORMATION);
}

void FCUI::AlertInfo(FCString* message, FCString* caption) {
  AlertInfo(Text(message), Text(caption));
}

bool FCUI::_GetWindowInfo(EWINDOWINFO* info) {
  BYTE buffer[EWINDOWINFO_BUFFERSIZE];
  memset(buffer, 0, sizeof buffer);
  bool ok = FX_GetCurrentWindowInfo(buffer) != 0;
  if (ok)
    memcpy(info, buffer, sizeof *info);
  else
    memset(info, 0, sizeof *info);
  return ok;
}

bool FCUI::IsPageView() {
  EWINDOWINFO info;
  return _GetWindowInfo(&info) && info.viewmode == WINDOWINFO_PAGEVIEW;
}

int FCUI::GetCurrentPage() {
  EWINDOWINFO info;
  _GetWindowInfo(&info);
  return info.page;
}

int FCUI::GetCurrentMeasure() {
  EWINDOWINFO info;
  _GetWindowInfo(&info);
  return info.measure;
}

int FCUI::GetZoomLevel() {
  EWINDOWINFO info;
  if (!_GetWindowInfo(&info) || info.zoom <= 0) return DEFAULT_ZOOM;
  return info.zoom;
}

HWND FCUI::GetDocumentWindow() {
  EWINDOWINFO info;
  _GetWindowInfo(&info);
  return info.window;
}

bool FCUI::MoveToMeasure(int measure, int staff) {
  if (staff == 0) {
    FCStaff record;
    for (int tried = 1; tried <= LAST_STAFF_TRIED && staff == 0; ++tried)
      if (record.Load(static_cast<utwobyte>(tried))) staff = tried;
    if (staff == 0) return false;
  }
  return FX_ScrollTo(static_cast<twobyte>(measure), static_cast<twobyte>(staff)) != 0;
}

// The host answers the item chosen, or 0 when the user cancelled; the first 16-bit word of
// the result block is nonzero when the user changed the definitions, which needs a redraw.
int FCUI::_SelectionDialog(twobyte kind, unsigned short item) {
  BYTE result[32];
  memset(result, 0, sizeof result);
  twobyte chosen = FX_SelectionDialog(kind, static_cast<twobyte>(item), result);
  twobyte changed;
  memcpy(&changed, result, sizeof changed);
  if (changed) RedrawDocument();
  return static_cast<utwobyte>(chosen); // item numbers are unsigned 16-bit
}

int FCUI::DisplayTextExpressionDialog(unsigned short item) {
  return _SelectionDialog(SELECT_TEXTEXPRESSION, item);
}

int FCUI::DisplayArticulationDialog(unsigned short item) {
  return _SelectionDialog(SELECT_ARTICULATION, item);
}
