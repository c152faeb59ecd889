// The host simulator's dialogs in both builds: the records of the dialogs it made, the hand-over
// of their messages to the plug-in's procedure, and the test-side actions and readings, all
// through the Win32 calls (natively answered by the Win32 stand-in).
#include "dialogs_host.h"

#include <memory>
#include <vector>

namespace hostsim {
namespace dialoghost {

namespace {
std::vector<std::unique_ptr<HostDialog>>& Dialogs() {
  static std::vector<std::unique_ptr<HostDialog>> dialogs;
  return dialogs;
}
bool failing = false;

// SendToDialog's wait for the plug-in's answer to the one message it sent: the first delivery
// that matches, counted by nesting level, so that messages sent while it runs do not answer.
struct Capture {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  int level = -1; // nesting level of the delivery that matched; -1 until one did
  intptr_t answer = 0;
};
std::vector<Capture*> captures;
int forwardLevel = 0;
} // namespace

HostDialog* Find(HWND window) {
  if (!window) return nullptr;
  for (auto& d : Dialogs())
    if (d->window == window) return d.get();
  return nullptr;
}

HostDialog& Add(HWND window, int resid, PluginDialogProc proc, void* data, bool modal) {
  Remove(window); // a handle the system gives again is a new dialog
  std::unique_ptr<HostDialog> d(new HostDialog);
  d->window = window;
  d->resid = resid;
  d->proc = proc;
  d->data = data;
  d->modal = modal;
  Dialogs().push_back(std::move(d));
  return *Dialogs().back();
}

void Remove(HWND window) {
  auto& all = Dialogs();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i]->window == window) {
      all.erase(all.begin() + i);
      return;
    }
}

intptr_t Forward(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HostDialog* d = Find(window);
  if (!d || !d->proc) return 0;
  if (message == WM_INITDIALOG) d->forwarding = true;
  if (!d->forwarding) return 0;
  PluginDialogProc proc = d->proc;
  void* data = d->data;
  ++forwardLevel;
  Capture* capture = captures.empty() ? nullptr : captures.back();
  if (capture && capture->level < 0 && capture->window == window && capture->message == message &&
      capture->wparam == wparam && capture->lparam == lparam)
    capture->level = forwardLevel;
  intptr_t answer = proc(window, message, wparam, lparam, data);
  if (capture && capture->level == forwardLevel) capture->answer = answer;
  --forwardLevel;
  if (message == WM_DESTROY) Remove(window);
  return answer;
}

bool Failing() {
  return failing;
}

ModalDriver& Driver() {
  static ModalDriver driver;
  return driver;
}

} // namespace dialoghost

using namespace dialoghost;

// ---- The dialogs the host made --------------------------------------------------------------
HWND OpenDialog() {
  auto& all = Dialogs();
  for (size_t i = all.size(); i > 0; --i)
    if (IsWindow(all[i - 1]->window)) return all[i - 1]->window;
  return nullptr;
}

namespace dialoghost {
void DestroyAll() {
  std::vector<HWND> windows;
  while (HWND h = OpenDialog()) {
    Remove(h); // no message of a dialog ended this way reaches the plug-in
    windows.push_back(h);
  }
  for (HWND h : windows)
    DestroyWindow(h);
}
} // namespace dialoghost

int OpenDialogCount() {
  int n = 0;
  for (auto& d : Dialogs())
    if (IsWindow(d->window)) ++n;
  return n;
}

void ResetDialogs() {
  DestroyAll();
  Dialogs().clear();
  failing = false;
  Driver() = nullptr;
}

void SetDialogFailure(bool fail) {
  failing = fail;
}

void SetModalDriver(ModalDriver driver) {
  Driver() = std::move(driver);
}

// ---- The user's actions ---------------------------------------------------------------------
intptr_t SendToDialog(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  Capture capture{dialog, message, wparam, lparam};
  captures.push_back(&capture);
  SendMessageA(dialog, message, wparam, lparam);
  captures.pop_back();
  return capture.answer;
}

intptr_t Command(HWND dialog, int id, int code) {
  return SendToDialog(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {
bool Usable(HWND item) {
  return item && IsWindowVisible(item) && IsWindowEnabled(item);
}

// Unchecks the other automatic radio buttons of the item's group: the items from the nearest
// one at or before it that starts a group (WS_GROUP) up to the next one that starts a group.
void UncheckGroup(HWND dialog, int id) {
  HostDialog* d = Find(dialog);
  const DialogTemplate* t = d ? PluginDialogTemplate(d->resid) : nullptr;
  if (!t) return;
  const auto& items = t->items;
  size_t at = 0;
  while (at < items.size() && items[at].id != id)
    ++at;
  if (at == items.size()) return;
  size_t first = at;
  while (first > 0 && !(items[first].style & WS_GROUP))
    --first;
  for (size_t i = first; i < items.size(); ++i) {
    if (i > first && (items[i].style & WS_GROUP)) break;
    HWND other = GetDlgItem(dialog, items[i].id);
    if (items[i].id != id && other &&
        (GetWindowLongA(other, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
      SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}
} // namespace

intptr_t Click(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (!Usable(item)) return 0;
  LRESULT check = SendMessageA(item, BM_GETCHECK, 0, 0);
  switch (GetWindowLongA(item, GWL_STYLE) & BS_TYPEMASK) {
  case BS_AUTOCHECKBOX:
    SendMessageA(item, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    break;
  case BS_AUTO3STATE:
    SendMessageA(item, BM_SETCHECK, (check + 1) % 3, 0);
    break;
  case BS_AUTORADIOBUTTON:
    SendMessageA(item, BM_SETCHECK, BST_CHECKED, 0);
    UncheckGroup(dialog, id);
    break;
  }
  return Command(dialog, id, BN_CLICKED);
}

intptr_t SelectListRow(HWND dialog, int id, int row) {
  HWND item = GetDlgItem(dialog, id);
  if (!Usable(item)) return 0;
  SendMessageA(item, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  return Command(dialog, id, LBN_SELCHANGE);
}

RECT UserResize(HWND dialog, int width, int height) {
  SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return OuterRect(dialog);
}

intptr_t SetDialogActive(HWND dialog, bool active) {
  return SendToDialog(dialog, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

intptr_t CloseBox(HWND dialog) {
  return SendToDialog(dialog, WM_CLOSE, 0, 0);
}

void PumpMessages() {
  Pump();
}

// ---- Reading a dialog -----------------------------------------------------------------------
std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(window, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

bool ItemExists(HWND dialog, int id) {
  return GetDlgItem(dialog, id) != nullptr;
}

bool ItemVisible(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id)) != 0;
}

bool ItemEnabled(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item && IsWindowEnabled(item);
}

int ItemCheck(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

uint32_t ItemStyle(HWND dialog, int id) {
  return static_cast<uint32_t>(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE));
}

std::vector<std::string> ListRows(HWND dialog, int id) {
  std::vector<std::string> rows;
  HWND list = GetDlgItem(dialog, id);
  if (!list) return rows;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) break;
    std::string row(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&row[0]));
    row.resize(static_cast<size_t>(length));
    rows.push_back(row);
  }
  return rows;
}

int ListSelection(HWND dialog, int id) {
  HWND list = GetDlgItem(dialog, id);
  return list ? static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)) : -1;
}

RECT ItemRect(HWND dialog, int id) {
  RECT r = {0, 0, 0, 0};
  if (!GetWindowRect(GetDlgItem(dialog, id), &r)) return r;
  POINT topLeft = {r.left, r.top}, bottomRight = {r.right, r.bottom};
  ScreenToClient(dialog, &topLeft);
  ScreenToClient(dialog, &bottomRight);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

RECT OuterRect(HWND window) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(window, &r);
  return r;
}

RECT ClientRect(HWND window) {
  RECT r = {0, 0, 0, 0};
  GetClientRect(window, &r);
  return r;
}

} // namespace hostsim
