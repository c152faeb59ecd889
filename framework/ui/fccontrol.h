// Dialog controls: thin views over the items the host created with the dialog, reached
// through the parent window's handle and the item id.
#pragma once
#include "core/fcbase.h"
#include "core/fcstring.h"

class FCUserWindow;

// Command kinds: what a command from the control means to the window's dialog procedure.
enum CONTROL_COMMAND_KIND {
  CMDKIND_NONE = 0,  // reaches HandleCommand
  CMDKIND_OK = 1,    // OkButtonPressed
  CMDKIND_CLOSE = 2, // CloseButtonPressed
  CMDKIND_CANCEL = 3 // CancelButtonPressed
};

// Control type codes that the notification handler treats specially.
const int CTRLTYPE_PLAIN = 0;
const int CTRLTYPE_UPDOWN = 1;
const int CTRLTYPE_DATALIST = 2;

class FCControl : public __FCBase {
public:
  explicit FCControl(twobyte id);
  const char* ClassName() override { return "FCControl"; }
  virtual int _GetControlType() { return CTRLTYPE_PLAIN; }
  virtual void SetText(FCString* text);
  virtual void GetText(FCString* text);

  twobyte GetControlID() const { return _id; }
  FCUserWindow* GetParent() const { return _pParent; }
  void _SetParent(FCUserWindow* parent) { _pParent = parent; }
  ufourbyte GetCommandKind() const { return _commandkind; }
  void SetCommandKind(ufourbyte kind) { _commandkind = kind; }

  // The parent's dialog handle (null without parent or dialog) and the native item.
  HWND _GetParentHandle() const;
  HWND _GetItemHandle() const;

  void SetVisible(bool visible);
  bool GetVisible();
  int GetLeft();
  int GetTop();
  int GetWidth();
  int GetHeight();
  void SetWidth(int width);
  void MoveRelative(int dx, int dy);
  void MoveAbsolute(int left, int top);
  void ResizeRelative(int dw, int dh);

  // Pending movement, recorded while the parent buffers it.
  bool _IsMovePending() const { return _movepending; }
  bool _IsResizePending() const { return _resizepending; }
  void _ClearPending() { _movepending = _resizepending = false; }
  int _GetPendingLeft() const { return _pendingleft; }
  int _GetPendingTop() const { return _pendingtop; }
  int _GetPendingWidth() const { return _pendingwidth; }
  int _GetPendingHeight() const { return _pendingheight; }

private:
  // The item's outer rectangle: top-left in the parent's client coordinates, and its size.
  bool _GetClientRectangle(int* left, int* top, int* width, int* height);
  bool _IsParentBuffering() const;

  bool _movepending;     // a position waits for the parent's batch
  bool _resizepending;   // a size waits for the parent's batch
  fourbyte _pendingleft; // client pixels
  fourbyte _pendingtop;
  fourbyte _pendingwidth; // outer pixels
  fourbyte _pendingheight;
  twobyte _id;            // dialog item id
  FCUserWindow* _pParent; // not owned; null until a window adds the control
  ufourbyte _commandkind; // CONTROL_COMMAND_KIND
};

class FCCtrlButton : public FCControl {
public:
  explicit FCCtrlButton(twobyte id) : FCControl(id) {}
};

class FCCtrlStatic : public FCControl {
public:
  explicit FCCtrlStatic(twobyte id) : FCControl(id) {}
  const char* ClassName() override { return "FCCtrlStatic"; }
  void SetInteger(int value);
};

// The window reads and sets the state with the host's value kind 1.
class FCCtrlCheckbox : public FCControl {
public:
  explicit FCCtrlCheckbox(twobyte id) : FCControl(id) {}
};

// The window reads and sets the state with the host's value kind 2.
class FCCtrlRadioButton : public FCControl {
public:
  explicit FCCtrlRadioButton(twobyte id) : FCControl(id) {}
};

class FCCtrlListBox : public FCControl {
public:
  explicit FCCtrlListBox(twobyte id) : FCControl(id) {}
  const char* ClassName() override { return "FCCtrlListBox"; }
  void Clear();
  void AddString(FCString* text);
  int GetSelectedItem();
  void SetSelectedItem(int index);
  void ClearSelection();
  int GetCount();
  void DeleteItem(int index);
  void InsertItem(int index, FCString* text);
  void SetItemText(int index, FCString* text);

private:
  LRESULT _Send(UINT message, WPARAM wparam, LPARAM lparam);
};

class FCCtrlEdit : public FCControl {
public:
  explicit FCCtrlEdit(twobyte id) : FCControl(id) {}
  const char* ClassName() override { return "FCCtrlEdit"; }
  void GetText(FCString* text) override;
  int GetInteger(int minimum, int maximum);
  void AdjustIntegerWithin(int minimum, int maximum);
  void SetFloat(float value);
  float GetFloat(float minimum, float maximum);
  void SelectAll();
  void SetMaxLength(twobyte length);
  void SetReadOnly(bool readonly);
};

// Up-down arrows, optionally bound to an edit control whose value they step.
class FCCtrlUpDown : public FCControl {
public:
  explicit FCCtrlUpDown(twobyte id);
  const char* ClassName() override { return "FCCtrlUpDown"; }
  int _GetControlType() override { return CTRLTYPE_UPDOWN; }

  void SetRange(int minimum, int maximum);
  int GetMinimum();
  int GetMaximum();
  // Binds an edit holding an integer (connection kind 1) or a real number.
  void ConnectIntegerEdit(FCCtrlEdit* edit, int minimum, int maximum);
  void ConnectFloatEdit(FCCtrlEdit* edit, double minimum, double maximum);
  FCCtrlEdit* GetConnectedEdit() const { return _pConnectedEdit; }
  void _HandleConnectedEditEvent(int step);

private:
  fourbyte _connectionkind;    // 1: the edit holds an integer; otherwise a real number
  FCCtrlEdit* _pConnectedEdit; // not owned, or null
  fourbyte _intminimum;
  fourbyte _intmaximum;
  double _floatminimum;
  double _floatmaximum;
};

// A drop-down list.
class FCCtrlPopup : public FCControl {
public:
  explicit FCCtrlPopup(twobyte id) : FCControl(id) {}
  const char* ClassName() override { return "FCCtrlPopup"; }
  void Clear();
  void AddString(FCString* text);
  void DeleteItem(int index);
  int GetCount();
};

// A report-style list view; the notification handler asks it for cell texts and tells it of
// row selection, check changes and double clicks. Here only those hooks, which answer nothing.
class FCCtrlDataList : public FCControl {
public:
  explicit FCCtrlDataList(twobyte id) : FCControl(id) {}
  const char* ClassName() override { return "FCCtrlDataList"; }
  int _GetControlType() override { return CTRLTYPE_DATALIST; }
  virtual char* _GetCellCText(int row, int column);
  virtual WCHAR* _GetCellUnicodeText(int row, int column);
  virtual void _HandleCheckChanged(int row, bool checked);
  virtual void _HandleRowSelected(int row);
  virtual void _HandleRowDeselected();
  virtual void _HandleDoubleClick();

private:
  char _emptytext[1];  // the empty 8-bit text handed out for any cell
  WCHAR _emptywide[1]; // the empty wide text handed out for any cell
};
