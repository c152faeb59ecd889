// The host simulator's dialogs, as tests see them: the dialog template read from the plug-in's
// resource script, the dialogs FX_Dialog made, and the user's actions on them. Natively the
// dialogs live in the Win32 stand-in's window model; in the 32-bit build they are real dialogs
// of the Windows dialog manager. Everything here works the same in both builds.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace hostsim {

// ---- Dialog templates -----------------------------------------------------------------------
struct DialogItemTemplate {
  std::string windowClass; // as written, for example "ListBox"
  std::string text;        // caption
  int id = 0;              // dialog item id
  uint32_t style = 0;      // WS_CHILD | WS_VISIBLE and the styles written
  uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0; // dialog units
};

struct DialogTemplate {
  int id = -1;                      // numeric resource id; -1 for a named resource
  int x = 0, y = 0, cx = 0, cy = 0; // dialog units; cx and cy are the client area's size
  uint32_t style = 0;               // as the resource compiler stores it
  uint32_t exStyle = 0;
  std::string caption;
  int fontSize = 0;
  std::string fontName;
  int fontWeight = 0, fontItalic = 0, fontCharset = 0;
  std::vector<DialogItemTemplate> items; // in template order
};

// Reads the DIALOG and DIALOGEX resources of a resource script; other resources are skipped.
// Included files in double quotes are taken from includes (by name), for their #define lines;
// includes in angle brackets are the platform's and are not read. Controls are CONTROL
// statements. Answers false, with a message naming the line, on text it cannot read.
bool ParseDialogTemplates(const std::string& script,
                          const std::map<std::string, std::string>& includes,
                          std::vector<DialogTemplate>* out, std::string* error);

// The plug-in's own resource script (resources/QVChordShaper.rc, embedded at build time) and
// its dialog with this resource id; null when there is none.
const DialogTemplate* PluginDialogTemplate(int id);

// Dialog units to pixels with the native host's fixed base units, those of "MS Sans Serif" at
// 8 points on a 96 dots-per-inch screen: 6 pixels per 4 horizontal units, 13 pixels per 8
// vertical units, rounded to nearest as MulDiv does.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

// ---- The dialogs the host made --------------------------------------------------------------
// The newest dialog made by FX_Dialog that still exists; null when none does.
HWND OpenDialog();
// Dialogs made by FX_Dialog that still exist.
int OpenDialogCount();
// Ends every dialog the host made, and clears the failure switch and the modal driver.
void ResetDialogs();
// While set, FX_Dialog answers 0 and makes no dialog.
void SetDialogFailure(bool fail);

// Runs a modal dialog (FX_Dialog with modal flag 1), called with the dialog again and again
// while it is open; it answers false when it has nothing more to do. Once it is done (or when
// none is set) and the dialog is still open, the host closes it as the close box does
// (WM_CLOSE), and ends it itself if the plug-in does not; FX_Dialog then answers 0.
typedef std::function<bool(HWND)> ModalDriver;
void SetModalDriver(ModalDriver driver);

// ---- The user's actions ---------------------------------------------------------------------
// Sends a message to a dialog through the window system, which hands it to the plug-in's
// procedure with the user data; answers what the procedure answered (0 if it was not reached).
intptr_t SendToDialog(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// WM_COMMAND from an item, with the notification code in the high word.
intptr_t Command(HWND dialog, int id, int code = BN_CLICKED);
// A click on an item: nothing when it is hidden or disabled (answers 0). An automatic check box
// toggles, an automatic radio button becomes checked and the others of its group unchecked;
// then WM_COMMAND with BN_CLICKED.
intptr_t Click(HWND dialog, int id);
// The user picks a row of a list box: LB_SETCURSEL, then WM_COMMAND with LBN_SELCHANGE.
// Nothing when the list is hidden or disabled (answers 0).
intptr_t SelectListRow(HWND dialog, int id, int row);
// The user drags the frame to a new outer size: SetWindowPos, which asks the dialog for its
// tracking limits (WM_GETMINMAXINFO), keeps the size within them and reports a changed client
// size with WM_SIZE. Answers the outer rectangle reached.
RECT UserResize(HWND dialog, int width, int height);
// WM_ACTIVATE with WA_ACTIVE or WA_INACTIVE.
intptr_t SetDialogActive(HWND dialog, bool active);
// The close box: WM_CLOSE.
intptr_t CloseBox(HWND dialog);
// Delivers the messages posted to this thread's windows (32-bit build; natively nothing is
// ever posted).
void PumpMessages();

// ---- Reading a dialog -----------------------------------------------------------------------
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
bool ItemExists(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
int ItemCheck(HWND dialog, int id); // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
uint32_t ItemStyle(HWND dialog, int id);
std::vector<std::string> ListRows(HWND dialog, int id);
int ListSelection(HWND dialog, int id); // -1 for none
// An item's outer rectangle in the dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);
RECT OuterRect(HWND window); // screen coordinates
RECT ClientRect(HWND window);

} // namespace hostsim
