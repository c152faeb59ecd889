// 32-bit build: the host makes its dialogs with the Windows dialog manager, from the resources
// of the module that holds the plug-in's dialog procedure (the plug-in DLL, or the test
// executable when the plug-in is linked into it). One host dialog procedure serves them all and
// hands each message to the plug-in's procedure with the user data.
#include "dialogs_host.h"

namespace hostsim {
namespace dialoghost {

namespace {

// The dialog FX_Dialog is making: its first message binds it to its window.
struct Pending {
  int resid;
  PluginDialogProc proc;
  void* data;
  bool modal;
  bool bound; // the window has been found
};
Pending* pending = nullptr;

// Posted to a modal dialog to let the modal driver act from inside the dialog's own loop.
const UINT kDriveMessage = WM_APP + 0x2F1;

void Drive(HWND window) {
  HostDialog* d = Find(window);
  if (!d || d->ended) return;
  int calls = ++d->driverCalls;
  ModalDriver driver = Driver(); // a copy: the driver may replace itself
  if (driver && calls <= kMaxDriverCalls && driver(window)) {
    d = Find(window);
    if (d && !d->ended) PostMessageA(window, kDriveMessage, 0, 0);
    return;
  }
  d = Find(window);
  if (!d || d->ended) return;
  SendMessageA(window, WM_CLOSE, 0, 0); // the host closes it as the close box does
  d = Find(window);
  if (d && !d->ended) { // and ends it itself when the plug-in does not
    d->ended = true;
    EndDialog(window, 0);
  }
}

INT_PTR CALLBACK HostDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HostDialog* d = Find(window);
  if (!d) {
    if (!pending || pending->bound) return FALSE;
    pending->bound = true;
    d = &Add(window, pending->resid, pending->proc, pending->data, pending->modal);
  }
  if (message == kDriveMessage) {
    Drive(window);
    return TRUE;
  }
  bool modal = d->modal;
  intptr_t answer = Forward(window, message, wparam, lparam);
  if (message == WM_INITDIALOG && modal) PostMessageA(window, kDriveMessage, 0, 0);
  return answer;
}

} // namespace

int32_t Create(int resid, PluginDialogProc proc, HWND parent, bool modal, void* data) {
  HMODULE module = nullptr;
  if (!proc || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(proc), &module))
    return 0;
  Pending making = {resid, proc, data, modal, false};
  Pending* outer = pending; // a dialog made while another is being made
  pending = &making;
  int32_t result = 0;
  if (modal) {
    INT_PTR r = DialogBoxParamA(module, MAKEINTRESOURCEA(resid), parent, HostDialogProc, 0);
    result = r > 0 ? static_cast<int32_t>(r) : 0;
  } else {
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(resid), parent, HostDialogProc, 0);
    // Windows answers the handle even of a dialog its procedure destroyed while it was made.
    if (dialog && IsWindow(dialog))
      result = static_cast<int32_t>(reinterpret_cast<uintptr_t>(dialog));
  }
  pending = outer;
  return result;
}

int32_t End(HostDialog& dialog) {
  dialog.ended = true;
  HWND window = dialog.window;
  if (dialog.modal) return EndDialog(window, 1) ? 1 : 0;
  return DestroyWindow(window) ? 1 : 0;
}

void Pump() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

} // namespace dialoghost
} // namespace hostsim
