#include "fcuserwindow.h"

#include "fccontrol.h"
#include "windowshade.h"
#include <commctrl.h>

namespace {

// The check box of a list-view row: its second state image.
const UINT LIST_ROW_CHECKED = INDEXTOSTATEIMAGEMASK(2);

} // namespace

// ---- FCUserWindow ------------------------------------------------------------------------

FCUserWindow::FCUserWindow()
    : _modalresult(0), _hWnd(nullptr), _maxtrackwidth(0), _mintrackwidth(0), _maxtrackheight(0),
      _mintrackheight(0), _lastclientwidth(0), _lastclientheight(0), _positionstored(false),
      _storedleft(0), _storedtop(0), _sizestored(false), _storedwidth(0), _storedheight(0),
      _windowshaded(false), _expandedheight(0), _buffering(false), _justinitialised(false),
      _restoreatshow(false), _closing(false) {}

void FCUserWindow::InitWindow() {
  _closing = false;
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(_hWnd, &outer);
  _maxtrackwidth = _mintrackwidth = outer.right - outer.left;
  _maxtrackheight = _mintrackheight = outer.bottom - outer.top;
  RECT client = {0, 0, 0, 0};
  GetClientRect(_hWnd, &client);
  _lastclientwidth = client.right - client.left;
  _lastclientheight = client.bottom - client.top;
}

void FCUserWindow::CloseButtonPressed() {
  _modalresult = 2;
  if (!_closing) CloseWindow();
}

void FCUserWindow::OkButtonPressed() {
  _modalresult = 1;
  if (!_closing) CloseWindow();
}

void FCUserWindow::CancelButtonPressed() {
  _modalresult = 2;
  if (!_closing) CloseWindow();
}

bool FCUserWindow::HandleCommand(FCControl*) {
  return false;
}
void FCUserWindow::HandleUpDownPressed(FCControl*, int) {}
void FCUserWindow::HandleTimer(twobyte) {}
void FCUserWindow::HandleActivate(bool) {}
void FCUserWindow::HandleResize(int, int, int, int) {}

void FCUserWindow::AddControl(FCControl* control) {
  if (!control) return;
  Add(control);
  control->_SetParent(this);
}

FCControl* FCUserWindow::GetControlAt(int index) const {
  return static_cast<FCControl*>(GetItemAt(index));
}

FCControl* FCUserWindow::FindControl(int id) {
  twobyte wanted = static_cast<twobyte>(id);
  for (int i = 0; i < GetCount(); ++i) {
    FCControl* control = GetControlAt(i);
    if (control && control->GetControlID() == wanted) return control;
  }
  return nullptr;
}

bool FCUserWindow::IsVisible() {
  return IsWindowVisible(_hWnd) != 0;
}

void FCUserWindow::Activate() {
  SetActiveWindow(_hWnd);
}

void FCUserWindow::SetWidth(int width) {
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(_hWnd, &outer);
  SetWindowPos(_hWnd, nullptr, 0, 0, width, outer.bottom - outer.top, PLACE_QUIETLY | SWP_NOMOVE);
  RECT client = {0, 0, 0, 0};
  GetClientRect(_hWnd, &client);
  _lastclientwidth = client.right - client.left;
  _lastclientheight = client.bottom - client.top;
}

void FCUserWindow::Windowshade(bool collapse) {
  if (collapse == _windowshaded || !__bWindowshadeAllowed) return;
  // Without a native window there is nothing to fold; the state must stay that of the window.
  if (!_hWnd) return;
  _windowshaded = collapse;
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(_hWnd, &outer);
  int newheight;
  if (collapse) {
    _expandedheight = outer.bottom - outer.top;
    newheight = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYBORDER);
  } else {
    newheight = _expandedheight;
  }
  SetWindowPos(_hWnd, nullptr, 0, 0, outer.right - outer.left, newheight,
               PLACE_QUIETLY | SWP_NOMOVE);
}

void FCUserWindow::StorePosition(bool withsize) {
  bool wasshaded = _windowshaded;
  if (wasshaded) Windowshade(false);
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(_hWnd, &outer);
  _storedleft = outer.left;
  _storedtop = outer.top;
  _storedwidth = outer.right - outer.left;
  // Still folded (windowshading was switched off meanwhile): the height to keep is the open one.
  _storedheight = _windowshaded ? _expandedheight : outer.bottom - outer.top;
  _positionstored = true;
  _sizestored = withsize;
  if (wasshaded) Windowshade(true);
}

bool FCUserWindow::RestorePosition() {
  if (!_positionstored) return false;
  bool wasshaded = _windowshaded;
  if (wasshaded) Windowshade(false);
  UINT flags = PLACE_QUIETLY | (_sizestored ? 0 : SWP_NOSIZE);
  SetWindowPos(_hWnd, nullptr, _storedleft, _storedtop, _sizestored ? _storedwidth : 0,
               _sizestored ? _storedheight : 0, flags);
  _restoreatshow = true;
  if (wasshaded) Windowshade(true);
  return true;
}

void FCUserWindow::SetRestorePositionData(int left, int top, int width, int height) {
  _storedleft = left;
  _storedtop = top;
  _storedwidth = width;
  _storedheight = height;
  _positionstored = true;
  _sizestored = true;
  if (_windowshaded) _expandedheight = height;
}

void FCUserWindow::SetRestorePositionOnlyData(int left, int top) {
  _storedleft = left;
  _storedtop = top;
  _storedwidth = 0;
  _storedheight = 0;
  _positionstored = true;
  _sizestored = false;
}

void FCUserWindow::StartBufferControlMovement() {
  for (int i = 0; i < GetCount(); ++i)
    if (FCControl* control = GetControlAt(i)) control->_ClearPending();
  _buffering = true;
}

bool FCUserWindow::EndBufferControlMovement() {
  if (!_buffering) return false;
  int pending = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCControl* control = GetControlAt(i);
    if (control && (control->_IsMovePending() || control->_IsResizePending())) ++pending;
  }
  if (pending == 0) {
    // Nothing to apply; later moves are applied at once again.
    _buffering = false;
    return false;
  }
  HDWP batch = BeginDeferWindowPos(pending);
  if (!batch) return false;
  for (int i = 0; i < GetCount(); ++i) {
    FCControl* control = GetControlAt(i);
    if (!control || !(control->_IsMovePending() || control->_IsResizePending())) continue;
    UINT flags = PLACE_QUIETLY;
    if (!control->_IsMovePending()) flags |= SWP_NOMOVE;
    if (!control->_IsResizePending()) flags |= SWP_NOSIZE;
    batch = DeferWindowPos(batch, GetDlgItem(_hWnd, control->GetControlID()), nullptr,
                           control->_GetPendingLeft(), control->_GetPendingTop(),
                           control->_GetPendingWidth(), control->_GetPendingHeight(), flags);
    // The system gave up the batch: nothing is moved, and the pending changes stay.
    if (!batch) return false;
  }
  EndDeferWindowPos(batch);
  for (int i = 0; i < GetCount(); ++i)
    if (FCControl* control = GetControlAt(i)) control->_ClearPending();
  _buffering = false;
  return true;
}

void FCUserWindow::_HandleResizeChange(int newwidth, int newheight) {
  if (_windowshaded) return;
  HandleResize(newwidth, newheight, _lastclientwidth, _lastclientheight);
  _lastclientwidth = newwidth;
  _lastclientheight = newheight;
}

void FCUserWindow::_GetTrackingSizes(int* minwidth, int* minheight, int* maxwidth,
                                     int* maxheight) const {
  if (minwidth) *minwidth = _mintrackwidth;
  if (minheight) *minheight = _windowshaded ? 0 : _mintrackheight;
  if (maxwidth) *maxwidth = _maxtrackwidth;
  if (maxheight) *maxheight = _maxtrackheight;
}

// ---- FCResourceWindow --------------------------------------------------------------------

FCResourceWindow::FCResourceWindow(int resourceid)
    : _resourceid(static_cast<ufourbyte>(resourceid)), _dialogproc(nullptr),
      _pParentWindow(nullptr) {}

FCResourceWindow::~FCResourceWindow() {
  DestroyWindow();
}

void FCResourceWindow::CloseWindow() {
  _closing = true;
  DestroyWindow();
}

fourbyte FCResourceWindow::ShowModeless(HWND parent) {
  if (_hWnd) {
    ShowWindow(_hWnd, SW_SHOWNORMAL);
    Activate();
    return 0;
  }
  _dialogproc = userroutine;
  fourbyte result = FX_Dialog(static_cast<twobyte>(_resourceid), userroutine, parent, 0, this);
  // The host could not make the dialog: nothing refers to a procedure of a dialog that does
  // not exist, and the next call asks the host again.
  if (!_hWnd) _dialogproc = nullptr;
  return result;
}

fourbyte FCResourceWindow::ShowModeless(FCUserWindow* parent) {
  _pParentWindow = parent;
  return ShowModeless(parent ? parent->GetWindowHandle() : nullptr);
}

twobyte FCResourceWindow::ExecuteModal(HWND parent) {
  _dialogproc = userroutine;
  FX_Dialog(static_cast<twobyte>(_resourceid), userroutine, parent, 1, this);
  // The host returns once the dialog has ended, whoever ended it.
  _hWnd = nullptr;
  _dialogproc = nullptr;
  return _modalresult;
}

twobyte FCResourceWindow::ExecuteModal(FCUserWindow* parent) {
  _pParentWindow = parent;
  return ExecuteModal(parent ? parent->GetWindowHandle() : nullptr);
}

void FCResourceWindow::DestroyWindow() {
  if (!_hWnd) return;
  HWND dialog = _hWnd;
  FX_EndDialog(dialog);
  _hWnd = nullptr;
  _dialogproc = nullptr;
}

void FCResourceWindow::_SetupInternalWindowCode() {
  _justinitialised = true;
  // A newly made dialog has its template's full size, whatever the previous one was left as.
  _windowshaded = false;
}

bool FCResourceWindow::HandleWMNotify(WPARAM id, LPARAM header) {
  const NMHDR* note = reinterpret_cast<const NMHDR*>(header);
  if (!note) return false;
  FCControl* control = FindControl(LOWORD(id));
  if (!control) return false;
  UINT code = note->code;
  switch (code) {
  case UDN_DELTAPOS: {
    const NMUPDOWN* updown = reinterpret_cast<const NMUPDOWN*>(header);
    int step = updown->iDelta;
    // An up-down control without UDS_SETBUDDYINT counts its arrows the other way round.
    if (!(GetWindowLongA(control->_GetItemHandle(), GWL_STYLE) & UDS_SETBUDDYINT)) step = -step;
    FCCtrlUpDown* arrows = control->_GetControlType() == CTRLTYPE_UPDOWN
                               ? static_cast<FCCtrlUpDown*>(control)
                               : nullptr;
    if (arrows && arrows->GetConnectedEdit())
      arrows->_HandleConnectedEditEvent(step);
    else
      HandleUpDownPressed(control, step);
    break;
  }
  case TVN_SELCHANGEDA:
  case TVN_SELCHANGEDW:
    if (control->GetParent()) control->GetParent()->HandleCommand(control);
    break;
  case LVN_GETDISPINFOA:
  case LVN_GETDISPINFOW: {
    if (control->_GetControlType() != CTRLTYPE_DATALIST) break;
    FCCtrlDataList* list = static_cast<FCCtrlDataList*>(control);
    NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    int row = static_cast<int>(info->item.lParam);
    if (code == LVN_GETDISPINFOA)
      info->item.pszText = list->_GetCellCText(row, info->item.iSubItem);
    else
      info->item.pszText =
          reinterpret_cast<char*>(list->_GetCellUnicodeText(row, info->item.iSubItem));
    break;
  }
  case LVN_ITEMCHANGED: {
    if (control->_GetControlType() != CTRLTYPE_DATALIST) break;
    FCCtrlDataList* list = static_cast<FCCtrlDataList*>(control);
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    UINT flipped = change->uNewState ^ change->uOldState;
    if (flipped & LIST_ROW_CHECKED)
      list->_HandleCheckChanged(change->iItem, (change->uNewState & LIST_ROW_CHECKED) != 0);
    if (flipped & LVIS_SELECTED) {
      if (change->uNewState & LVIS_SELECTED)
        list->_HandleRowSelected(change->iItem);
      else
        list->_HandleRowDeselected();
    }
    break;
  }
  case NM_DBLCLK:
    if (control->_GetControlType() == CTRLTYPE_DATALIST)
      static_cast<FCCtrlDataList*>(control)->_HandleDoubleClick();
    break;
  default:
    break;
  }
  return false;
}

// ---- the dialog procedure ----------------------------------------------------------------

fourbyte WINAPI userroutine(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, void* data) {
  if (!data) return 0;
  FCResourceWindow* window = static_cast<FCResourceWindow*>(data);
  switch (message) {
  case WM_INITDIALOG:
    window->_SetWindowHandle(dialog);
    window->_SetupInternalWindowCode();
    window->InitWindow();
    return 0;
  case WM_SHOWWINDOW:
    if (window->_IsJustInitialised() && window->_IsRestoreAtShow()) window->RestorePosition();
    window->_ClearShowFlags();
    return 0;
  case WM_SIZE:
    if (wparam == 0) window->_HandleResizeChange(LOWORD(lparam), HIWORD(lparam));
    return 0;
  case WM_GETMINMAXINFO: {
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lparam);
    if (!info) return 0;
    int minwidth, minheight, maxwidth, maxheight;
    window->_GetTrackingSizes(&minwidth, &minheight, &maxwidth, &maxheight);
    info->ptMinTrackSize.x = minwidth;
    info->ptMinTrackSize.y = minheight;
    info->ptMaxTrackSize.x = maxwidth;
    info->ptMaxTrackSize.y = maxheight;
    return 0;
  }
  case WM_ACTIVATE:
    window->HandleActivate(LOWORD(wparam) != 0);
    return 0;
  case WM_CLOSE:
    window->CloseButtonPressed();
    return 0;
  case WM_COMMAND: {
    FCControl* control = window->FindControl(LOWORD(wparam));
    if (control && control->GetCommandKind() != CMDKIND_NONE) {
      switch (control->GetCommandKind()) {
      case CMDKIND_OK:
        window->OkButtonPressed();
        break;
      case CMDKIND_CLOSE:
        window->CloseButtonPressed();
        break;
      case CMDKIND_CANCEL:
        window->CancelButtonPressed();
        break;
      default:
        break;
      }
      return 1;
    }
    return window->HandleCommand(control) ? 1 : 0;
  }
  case WM_TIMER:
    window->HandleTimer(static_cast<twobyte>(wparam));
    return 0;
  case WM_NOTIFY:
    return window->HandleWMNotify(wparam, lparam) ? 1 : 0;
  case WM_DESTROY:
    // The native window is going, by the window's own close or by the host: a later show must
    // build a new dialog rather than show a handle that no longer names one.
    if (dialog && dialog == window->GetWindowHandle()) window->_ForgetDialog();
    return 0;
  default:
    return 0;
  }
}
