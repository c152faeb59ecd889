#include "fccontrol.h"

#include <cstdio>
#include <cstring>

#include "fcuserwindow.h"
#include "fxbridge.h"
#include <commctrl.h>

namespace {

// The host's value kinds.
const twobyte VALUE_INTEGER = 3;
const twobyte VALUE_REAL = 0;

// The text buffer the host fills for a control's text.
const int TEXT_CAPACITY = 5000;

} // namespace

// ---- FCControl ---------------------------------------------------------------------------

FCControl::FCControl(twobyte id)
    : _movepending(false), _resizepending(false), _pendingleft(0), _pendingtop(0), _pendingwidth(0),
      _pendingheight(0), _id(id), _pParent(nullptr), _commandkind(CMDKIND_NONE) {}

HWND FCControl::_GetParentHandle() const {
  return _pParent ? _pParent->GetWindowHandle() : nullptr;
}

HWND FCControl::_GetItemHandle() const {
  return GetDlgItem(_GetParentHandle(), _id);
}

bool FCControl::_IsParentBuffering() const {
  return _pParent && _pParent->IsBufferingControlMovement();
}

void FCControl::SetText(FCString* text) {
  FX_SetDlgString(_GetParentHandle(), _id, text ? text->GetCString() : "");
}

void FCControl::GetText(FCString* text) {
  if (!text) return;
  char buffer[TEXT_CAPACITY];
  memset(buffer, 0, sizeof buffer);
  FX_GetDlgString(_GetParentHandle(), _id, buffer, TEXT_CAPACITY);
  buffer[TEXT_CAPACITY - 1] = 0; // the host's text is not trusted to end inside the buffer
  text->SetCString(buffer);
}

void FCControl::SetVisible(bool visible) {
  ShowWindow(_GetItemHandle(), visible ? SW_SHOW : SW_HIDE);
}

bool FCControl::GetVisible() {
  return IsWindowVisible(_GetItemHandle()) != 0;
}

bool FCControl::_GetClientRectangle(int* left, int* top, int* width, int* height) {
  RECT rect = {0, 0, 0, 0};
  bool ok = GetWindowRect(_GetItemHandle(), &rect) != 0;
  if (!ok) rect.left = rect.top = rect.right = rect.bottom = 0;
  POINT corner = {rect.left, rect.top};
  if (ok) ScreenToClient(_GetParentHandle(), &corner);
  if (left) *left = corner.x;
  if (top) *top = corner.y;
  if (width) *width = rect.right - rect.left;
  if (height) *height = rect.bottom - rect.top;
  return ok;
}

int FCControl::GetLeft() {
  if (_movepending) return _pendingleft;
  int left = 0;
  _GetClientRectangle(&left, nullptr, nullptr, nullptr);
  return left;
}

int FCControl::GetTop() {
  if (_movepending) return _pendingtop;
  int top = 0;
  _GetClientRectangle(nullptr, &top, nullptr, nullptr);
  return top;
}

int FCControl::GetWidth() {
  int width = 0;
  _GetClientRectangle(nullptr, nullptr, &width, nullptr);
  return width;
}

int FCControl::GetHeight() {
  int height = 0;
  _GetClientRectangle(nullptr, nullptr, nullptr, &height);
  return height;
}

void FCControl::SetWidth(int width) {
  SetWindowPos(_GetItemHandle(), nullptr, 0, 0, width, GetHeight(), PLACE_QUIETLY | SWP_NOMOVE);
}

void FCControl::MoveAbsolute(int left, int top) {
  if (_IsParentBuffering()) {
    _pendingleft = left;
    _pendingtop = top;
    _movepending = true;
    return;
  }
  SetWindowPos(_GetItemHandle(), nullptr, left, top, 0, 0, PLACE_QUIETLY | SWP_NOSIZE);
}

void FCControl::MoveRelative(int dx, int dy) {
  // From the item's real place, not from a pending one.
  int left = 0, top = 0;
  _GetClientRectangle(&left, &top, nullptr, nullptr);
  MoveAbsolute(left + dx, top + dy);
}

void FCControl::ResizeRelative(int dw, int dh) {
  int width = 0, height = 0;
  _GetClientRectangle(nullptr, nullptr, &width, &height);
  width += dw;
  height += dh;
  if (_IsParentBuffering()) {
    _pendingwidth = width;
    _pendingheight = height;
    _resizepending = true;
    return;
  }
  SetWindowPos(_GetItemHandle(), nullptr, 0, 0, width, height, PLACE_QUIETLY | SWP_NOMOVE);
}

// ---- FCCtrlStatic ------------------------------------------------------------------------

void FCCtrlStatic::SetInteger(int value) {
  FX_SetDlgItemVal(_GetParentHandle(), GetControlID(), VALUE_INTEGER, value);
}

// ---- FCCtrlListBox -----------------------------------------------------------------------

LRESULT FCCtrlListBox::_Send(UINT message, WPARAM wparam, LPARAM lparam) {
  return SendDlgItemMessageA(_GetParentHandle(), GetControlID(), message, wparam, lparam);
}

void FCCtrlListBox::Clear() {
  _Send(LB_RESETCONTENT, 0, 0);
}

void FCCtrlListBox::AddString(FCString* text) {
  if (!text) return;
  _Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text->GetCString()));
}

int FCCtrlListBox::GetSelectedItem() {
  // -1 without a selection; also without a dialog, where the message would answer 0.
  if (!_GetItemHandle()) return -1;
  return static_cast<int>(_Send(LB_GETCURSEL, 0, 0));
}

void FCCtrlListBox::SetSelectedItem(int index) {
  _Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FCCtrlListBox::ClearSelection() {
  SetSelectedItem(-1);
}

int FCCtrlListBox::GetCount() {
  if (!_GetItemHandle()) return 0;
  return static_cast<int>(_Send(LB_GETCOUNT, 0, 0));
}

void FCCtrlListBox::DeleteItem(int index) {
  _Send(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void FCCtrlListBox::InsertItem(int index, FCString* text) {
  if (!text) return;
  _Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text->GetCString()));
}

void FCCtrlListBox::SetItemText(int index, FCString* text) {
  if (index < 0) return;
  int selected = GetSelectedItem();
  DeleteItem(index);
  InsertItem(index, text);
  SetSelectedItem(selected);
}

// ---- FCCtrlEdit --------------------------------------------------------------------------

void FCCtrlEdit::GetText(FCString* text) {
  FCControl::GetText(text);
}

int FCCtrlEdit::GetInteger(int minimum, int maximum) {
  int value = FX_GetDlgItemVal(_GetParentHandle(), GetControlID(), VALUE_INTEGER);
  if (minimum >= maximum) return value;
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return value;
}

void FCCtrlEdit::AdjustIntegerWithin(int minimum, int maximum) {
  int value = GetInteger(0, 0);
  int clamped = value < minimum ? minimum : (value > maximum ? maximum : value);
  if (clamped != value)
    FX_SetDlgItemVal(_GetParentHandle(), GetControlID(), VALUE_INTEGER, clamped);
}

void FCCtrlEdit::SetFloat(float value) {
  char text[64];
  snprintf(text, sizeof text, "%0.2f", static_cast<double>(value));
  FCString string(text);
  SetText(&string);
}

float FCCtrlEdit::GetFloat(float minimum, float maximum) {
  FCString text;
  GetText(&text);
  float value = text.GetFloat(0);
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  return value;
}

void FCCtrlEdit::SelectAll() {
  SendMessageA(_GetItemHandle(), EM_SETSEL, 0, -1);
}

void FCCtrlEdit::SetMaxLength(twobyte length) {
  SendMessageA(_GetItemHandle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void FCCtrlEdit::SetReadOnly(bool readonly) {
  SendMessageA(_GetItemHandle(), EM_SETREADONLY, readonly ? 1 : 0, 0);
}

// ---- FCCtrlUpDown ------------------------------------------------------------------------

FCCtrlUpDown::FCCtrlUpDown(twobyte id)
    : FCControl(id), _connectionkind(0), _pConnectedEdit(nullptr), _intminimum(0), _intmaximum(0),
      _floatminimum(0), _floatmaximum(0) {}

void FCCtrlUpDown::SetRange(int minimum, int maximum) {
  ufourbyte range =
      (static_cast<ufourbyte>(minimum & 0xFFFF) << 16) | static_cast<ufourbyte>(maximum & 0xFFFF);
  SendDlgItemMessageA(_GetParentHandle(), GetControlID(), UDM_SETRANGE, 0,
                      static_cast<LPARAM>(range));
}

int FCCtrlUpDown::GetMinimum() {
  if (_pConnectedEdit) return _connectionkind == 1 ? _intminimum : static_cast<int>(_floatminimum);
  ufourbyte range = static_cast<ufourbyte>(
      SendDlgItemMessageA(_GetParentHandle(), GetControlID(), UDM_GETRANGE, 0, 0));
  return static_cast<twobyte>(range >> 16);
}

int FCCtrlUpDown::GetMaximum() {
  if (_pConnectedEdit) return _connectionkind == 1 ? _intmaximum : static_cast<int>(_floatmaximum);
  ufourbyte range = static_cast<ufourbyte>(
      SendDlgItemMessageA(_GetParentHandle(), GetControlID(), UDM_GETRANGE, 0, 0));
  return static_cast<twobyte>(range & 0xFFFF);
}

void FCCtrlUpDown::ConnectIntegerEdit(FCCtrlEdit* edit, int minimum, int maximum) {
  _pConnectedEdit = edit;
  _connectionkind = 1;
  _intminimum = minimum;
  _intmaximum = maximum;
}

void FCCtrlUpDown::ConnectFloatEdit(FCCtrlEdit* edit, double minimum, double maximum) {
  _pConnectedEdit = edit;
  _connectionkind = 2;
  _floatminimum = minimum;
  _floatmaximum = maximum;
}

void FCCtrlUpDown::_HandleConnectedEditEvent(int step) {
  if (!_pConnectedEdit) return;
  HWND dialog = _pConnectedEdit->_GetParentHandle();
  twobyte id = _pConnectedEdit->GetControlID();
  if (_connectionkind == 1) {
    // Summed in 64 bits: a value near the integer limits plus a step must not wrap around.
    long long value = static_cast<long long>(_pConnectedEdit->GetInteger(0, 0)) + step;
    if (value < _intminimum) value = _intminimum;
    if (value > _intmaximum) value = _intmaximum;
    FX_SetDlgItemVal(dialog, id, VALUE_INTEGER, static_cast<fourbyte>(value));
    return;
  }
  double value = 0;
  FX_GetDlgItemUser(dialog, id, VALUE_REAL, &value);
  if (value < _floatminimum) value = _floatminimum;
  if (value > _floatmaximum) value = _floatmaximum;
  value += step;
  if (value < _floatminimum) value = _floatminimum;
  if (value > _floatmaximum) value = _floatmaximum;
  FX_SetDlgItemUser(dialog, id, VALUE_REAL, value);
}

// ---- FCCtrlPopup -------------------------------------------------------------------------

void FCCtrlPopup::Clear() {
  SendDlgItemMessageA(_GetParentHandle(), GetControlID(), CB_RESETCONTENT, 0, 0);
}

void FCCtrlPopup::AddString(FCString* text) {
  if (!text) return;
  SendDlgItemMessageA(_GetParentHandle(), GetControlID(), CB_ADDSTRING, 0,
                      reinterpret_cast<LPARAM>(text->GetCString()));
}

void FCCtrlPopup::DeleteItem(int index) {
  SendDlgItemMessageA(_GetParentHandle(), GetControlID(), CB_DELETESTRING,
                      static_cast<WPARAM>(index), 0);
}

int FCCtrlPopup::GetCount() {
  if (!_GetItemHandle()) return 0;
  return static_cast<int>(
      SendDlgItemMessageA(_GetParentHandle(), GetControlID(), CB_GETCOUNT, 0, 0));
}

// ---- FCCtrlDataList ----------------------------------------------------------------------

char* FCCtrlDataList::_GetCellCText(int, int) {
  _emptytext[0] = 0;
  return _emptytext;
}

WCHAR* FCCtrlDataList::_GetCellUnicodeText(int, int) {
  _emptywide[0] = 0;
  return _emptywide;
}

void FCCtrlDataList::_HandleCheckChanged(int, bool) {}
void FCCtrlDataList::_HandleRowSelected(int) {}
void FCCtrlDataList::_HandleRowDeselected() {}
void FCCtrlDataList::_HandleDoubleClick() {}
