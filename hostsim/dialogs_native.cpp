// Native build: the host makes its dialogs in the Win32 stand-in's window model, from the
// plug-in's resource script. The template's dialog units become pixels with the fixed base
// units of DialogUnitsToPixelsX/Y; the template's size is the client area's, the frame and
// caption come around it, and its position is that of the client area in the owner's client
// area (on the screen without an owner, or with DS_ABSALIGN).
#include "dialogs_host.h"
#include "winshim.h"

namespace hostsim {
namespace dialoghost {

namespace {

// Every message of a host dialog that is not a control message goes to the plug-in.
LRESULT DialogHandler(void*, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return Forward(window, message, wparam, lparam);
}

HWND MakeDialog(const DialogTemplate& t, HWND parent) {
  RECT r = {DialogUnitsToPixelsX(t.x), DialogUnitsToPixelsY(t.y), 0, 0};
  if (parent && !(t.style & DS_ABSALIGN)) {
    POINT origin = {0, 0}; // the owner's client origin on the screen
    ScreenToClient(parent, &origin);
    r.left -= origin.x;
    r.top -= origin.y;
  }
  r.right = r.left + DialogUnitsToPixelsX(t.cx);
  r.bottom = r.top + DialogUnitsToPixelsY(t.cy);
  AdjustWindowRectEx(&r, t.style, FALSE, t.exStyle);
  // Shown only after WM_INITDIALOG, as Windows does.
  HWND dialog = WinShim_CreateWindow("#32770", t.caption.c_str(), t.style & ~WS_VISIBLE, t.exStyle,
                                     r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0);
  if (!dialog) return nullptr;
  for (const DialogItemTemplate& item : t.items)
    WinShim_CreateWindow(item.windowClass.c_str(), item.text.c_str(), item.style, item.exStyle,
                         DialogUnitsToPixelsX(item.x), DialogUnitsToPixelsY(item.y),
                         DialogUnitsToPixelsX(item.cx), DialogUnitsToPixelsY(item.cy), dialog,
                         item.id);
  return dialog;
}

// The item that gets the focus first: the first visible, enabled one with WS_TABSTOP (the
// dialog itself is not shown yet).
HWND FirstTabStop(HWND dialog, const DialogTemplate& t) {
  for (const DialogItemTemplate& item : t.items) {
    HWND h = GetDlgItem(dialog, item.id);
    DWORD style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return h;
  }
  return nullptr;
}

bool Ended(HWND dialog) {
  HostDialog* d = Find(dialog);
  return !d || d->ended || !IsWindow(dialog);
}

} // namespace

int32_t Create(int resid, PluginDialogProc proc, HWND parent, bool modal, void* data) {
  const DialogTemplate* t = PluginDialogTemplate(resid);
  if (!t || !proc || (parent && !IsWindow(parent))) return 0;
  HWND dialog = MakeDialog(*t, parent);
  if (!dialog) return 0;
  Add(dialog, resid, proc, data, modal);
  WinShim_SetHandler(dialog, DialogHandler, nullptr);
  SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstTabStop(dialog, *t)), 0);
  if (!Ended(dialog) && (t->style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOWNORMAL);
  if (!modal) return Ended(dialog) ? 0 : static_cast<int32_t>(reinterpret_cast<uintptr_t>(dialog));

  // The modal loop: the test's driver stands in for the user.
  for (int calls = 0; !Ended(dialog); ++calls) {
    ModalDriver driver = Driver(); // a copy: the driver may replace itself
    if (driver && calls < kMaxDriverCalls && driver(dialog)) continue;
    if (!Ended(dialog)) SendMessageA(dialog, WM_CLOSE, 0, 0);
    break;
  }
  HostDialog* d = Find(dialog);
  int32_t result = d && d->ended ? 1 : 0;
  if (IsWindow(dialog)) DestroyWindow(dialog);
  Remove(dialog);
  return result;
}

int32_t End(HostDialog& dialog) {
  dialog.ended = true;
  // A modal dialog is taken down by its loop in Create, when the plug-in's message returns.
  if (!dialog.modal) DestroyWindow(dialog.window);
  return 1;
}

void Pump() {}

} // namespace dialoghost
} // namespace hostsim
