// Host services: dialogs and dialog items. FX_Dialog makes the dialog from the plug-in's own
// resources (dialogs_native.cpp or dialogs_win32.cpp) and hands every message of it, from
// WM_INITDIALOG on, to the plug-in's procedure with the user data. The item services act on
// the dialog's items through the Win32 dialog-item calls, so they read and change what the
// user sees: the real controls in the 32-bit build, the window model natively.
#include "dialogs_host.h"
#include "exports.h"
#include "hostsim.h"

using namespace hostsim;

// The item of a dialog, or null for a missing dialog or item.
static HWND Item(void* dialog, int32_t id) {
  HWND d = static_cast<HWND>(dialog);
  return d && IsWindow(d) ? GetDlgItem(d, id) : nullptr;
}

// Answers the dialog's handle for a modeless dialog, 1 when a modal dialog was ended with
// FX_EndDialog, and 0 when no dialog could be made (or the host had to end a modal one).
HOST_SERVICE(fourbyte, FX_Dialog,
             (fourbyte resid, FX_DIALOGPROC proc, HWND parent, fourbyte modal, void* data,
              EVERSION v)) {
  Log(FX_Dialog_service,
      {Slot(resid), Slot(reinterpret_cast<const void*>(proc)), Slot(parent), Slot(modal),
       Slot(data)},
      v);
  if (dialoghost::Failing()) return 0;
  return dialoghost::Create(static_cast<int16_t>(resid), proc, static_cast<HWND>(parent),
                            modal == 1, data);
}

// Ends a dialog the host made: a modeless one is destroyed at once, a modal one when its
// loop regains control. Answers 0 for any other window.
HOST_SERVICE(fourbyte, FX_EndDialog, (HWND dialog, EVERSION v)) {
  Log(FX_EndDialog_service, {Slot(dialog)}, v);
  dialoghost::HostDialog* d = dialoghost::Find(static_cast<HWND>(dialog));
  if (!d || d->ended || !IsWindow(d->window)) return 0;
  return dialoghost::End(*d);
}

HOST_SERVICE(fourbyte, FX_EnableDlgItem, (HWND dialog, fourbyte id, fourbyte state, EVERSION v)) {
  Log(FX_EnableDlgItem_service, {Slot(dialog), Slot(id), Slot(state)}, v);
  HWND item = Item(dialog, id);
  if (!item) return 0;
  EnableWindow(item, static_cast<int16_t>(state) != 0);
  return 1;
}

// Value kinds: 1 a check box's state, 2 a radio button's, 3 the integer the item's text shows.
HOST_SERVICE(fourbyte, FX_GetDlgItemVal, (HWND dialog, fourbyte id, fourbyte kind, EVERSION v)) {
  Log(FX_GetDlgItemVal_service, {Slot(dialog), Slot(id), Slot(kind)}, v);
  if (!Item(dialog, id)) return 0;
  HWND d = static_cast<HWND>(dialog);
  switch (static_cast<int16_t>(kind)) {
  case 1:
  case 2:
    return static_cast<int32_t>(IsDlgButtonChecked(d, id));
  case 3: {
    BOOL ok = FALSE;
    int32_t value = static_cast<int32_t>(GetDlgItemInt(d, id, &ok, TRUE));
    return ok ? value : 0;
  }
  }
  return 0;
}

HOST_SERVICE(fourbyte, FX_SetDlgItemVal,
             (HWND dialog, fourbyte id, fourbyte kind, fourbyte value, EVERSION v)) {
  Log(FX_SetDlgItemVal_service, {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  if (!Item(dialog, id)) return 0;
  HWND d = static_cast<HWND>(dialog);
  switch (static_cast<int16_t>(kind)) {
  case 1:
  case 2:
    CheckDlgButton(d, id,
                   value == BST_INDETERMINATE ? BST_INDETERMINATE
                   : value                    ? BST_CHECKED
                                              : BST_UNCHECKED);
    return 1;
  case 3:
    return SetDlgItemInt(d, id, static_cast<UINT>(value), TRUE) ? 1 : 0;
  }
  return 0;
}

// A real number kept for each item of a dialog, 0 until set; it goes with the dialog.
HOST_SERVICE(fourbyte, FX_GetDlgItemUser,
             (HWND dialog, fourbyte id, fourbyte kind, double* value, EVERSION v)) {
  Log(FX_GetDlgItemUser_service, {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  dialoghost::HostDialog* d = dialoghost::Find(static_cast<HWND>(dialog));
  if (!d || !value || !Item(dialog, id)) return 0;
  auto it = d->userValues.find(id);
  *static_cast<double*>(value) = it == d->userValues.end() ? 0.0 : it->second;
  return 1;
}

HOST_SERVICE(fourbyte, FX_SetDlgItemUser,
             (HWND dialog, fourbyte id, fourbyte kind, double value, EVERSION v)) {
  Log(FX_SetDlgItemUser_service, {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  dialoghost::HostDialog* d = dialoghost::Find(static_cast<HWND>(dialog));
  if (!d || !Item(dialog, id)) return 0;
  d->userValues[id] = value;
  return 1;
}

// Copies at most capacity - 1 bytes of the item's text and terminates them; an empty text for
// a missing item. A capacity below 1 writes nothing.
HOST_SERVICE(fourbyte, FX_GetDlgString,
             (HWND dialog, fourbyte id, char* buffer, fourbyte capacity, EVERSION v)) {
  Log(FX_GetDlgString_service, {Slot(dialog), Slot(id), Slot(buffer), Slot(capacity)}, v);
  int size = static_cast<int16_t>(capacity);
  if (!buffer || size < 1) return 0;
  char* text = static_cast<char*>(buffer);
  text[0] = 0;
  if (!Item(dialog, id)) return 0;
  GetDlgItemTextA(static_cast<HWND>(dialog), id, text, size);
  text[size - 1] = 0;
  return 1;
}

HOST_SERVICE(fourbyte, FX_SetDlgString, (HWND dialog, fourbyte id, const char* text, EVERSION v)) {
  Log(FX_SetDlgString_service, {Slot(dialog), Slot(id), Slot(text)}, v);
  if (!Item(dialog, id)) return 0;
  const char* s = text ? static_cast<const char*>(text) : "";
  return SetDlgItemTextA(static_cast<HWND>(dialog), id, s) ? 1 : 0;
}
