// Plug-in windows built from dialog resources: the abstract window with its controls,
// windowshading, position memory and batched control movement, and the resource window that
// the host creates through its dialog service and drives through one dialog procedure.
#pragma once
#include "core/fccollection.h"
#include "fxbridge.h"

class FCControl;

// SetWindowPos flags that move or size a window but leave its Z order and activation alone.
const UINT PLACE_QUIETLY = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

class FCUserWindow : public __FCCollection {
public:
  FCUserWindow();
  const char* ClassName() override { return "FCUserWindow"; }

  virtual void CloseWindow() = 0;
  virtual void InitWindow();
  virtual void CloseButtonPressed();
  virtual void OkButtonPressed();
  virtual void CancelButtonPressed();
  virtual bool HandleCommand(FCControl* control);
  virtual void HandleUpDownPressed(FCControl* control, int step);
  virtual void HandleTimer(twobyte timerid);
  virtual void HandleActivate(bool active);
  virtual void HandleResize(int newwidth, int newheight, int oldwidth, int oldheight);

  // Adds a control: the window owns it from now on and is recorded as its parent.
  void AddControl(FCControl* control);
  // The first control with the dialog item id, or null.
  FCControl* FindControl(int id);
  FCControl* GetControlAt(int index) const;

  HWND GetWindowHandle() const { return _hWnd; }
  void _SetWindowHandle(HWND window) { _hWnd = window; }
  twobyte GetModalResult() const { return _modalresult; }
  bool IsVisible();
  void Activate();
  void SetWidth(int width);

  void Windowshade(bool collapse);
  bool IsWindowshaded() const { return _windowshaded; }
  bool IsClosing() const { return _closing; }

  void StorePosition(bool withsize);
  bool RestorePosition();
  void SetRestorePositionData(int left, int top, int width, int height);
  void SetRestorePositionOnlyData(int left, int top);
  int GetStoredX() const { return _positionstored ? _storedleft : -1; }
  int GetStoredY() const { return _positionstored ? _storedtop : -1; }
  int GetStoredWidth() const { return _sizestored ? _storedwidth : -1; }
  int GetStoredHeight() const { return _sizestored ? _storedheight : -1; }

  int GetMaxTrackingWidth() const { return _maxtrackwidth; }
  int GetMinTrackingWidth() const { return _mintrackwidth; }
  int GetMaxTrackingHeight() const { return _maxtrackheight; }
  int GetMinTrackingHeight() const { return _mintrackheight; }
  void SetMaxTrackingWidth(int v) { _maxtrackwidth = v; }
  void SetMinTrackingWidth(int v) { _mintrackwidth = v; }
  void SetMaxTrackingHeight(int v) { _maxtrackheight = v; }
  void SetMinTrackingHeight(int v) { _mintrackheight = v; }

  void StartBufferControlMovement();
  bool EndBufferControlMovement();
  bool IsBufferingControlMovement() const { return _buffering; }

  void _HandleResizeChange(int newwidth, int newheight);

  // The pieces of the dialog procedure that belong to the window's own state.
  bool _IsJustInitialised() const { return _justinitialised; }
  bool _IsRestoreAtShow() const { return _restoreatshow; }
  void _ClearShowFlags() { _justinitialised = _restoreatshow = false; }
  // The minimum and maximum tracking size the window reports while it is resized.
  void _GetTrackingSizes(int* minwidth, int* minheight, int* maxwidth, int* maxheight) const;

protected:
  twobyte _modalresult;      // 1 after OK, 2 after close or cancel, 0 when made
  HWND _hWnd;                // the dialog's native window, null while no dialog exists
  fourbyte _maxtrackwidth;   // outer pixels the window may grow to in width
  fourbyte _mintrackwidth;   // outer pixels the window may shrink to in width
  fourbyte _maxtrackheight;  // outer pixels the window may grow to in height
  fourbyte _mintrackheight;  // outer pixels the window may shrink to in height
  fourbyte _lastclientwidth; // client size at the last resize notification
  fourbyte _lastclientheight;
  bool _positionstored;     // a position is recorded
  fourbyte _storedleft;     // recorded outer left, screen pixels
  fourbyte _storedtop;      // recorded outer top, screen pixels
  bool _sizestored;         // the recorded size is to be restored too
  fourbyte _storedwidth;    // recorded outer width
  fourbyte _storedheight;   // recorded outer height (never the collapsed one)
  bool _windowshaded;       // collapsed to the caption bar
  fourbyte _expandedheight; // outer height to return to when opened
  bool _buffering;          // control movement is recorded, not applied
  bool _justinitialised;    // the dialog was created and not yet shown
  bool _restoreatshow;      // apply the recorded position once more at the first show
  bool _closing;            // CloseWindow has run for this dialog
};

class FCResourceWindow : public FCUserWindow {
public:
  explicit FCResourceWindow(int resourceid);
  virtual ~FCResourceWindow();
  const char* ClassName() override { return "FCResourceWindow"; }

  void CloseWindow() override;
  // Notifications from common controls; always false.
  virtual bool HandleWMNotify(WPARAM id, LPARAM header);

  fourbyte ShowModeless(HWND parent);
  fourbyte ShowModeless(FCUserWindow* parent);
  twobyte ExecuteModal(HWND parent);
  twobyte ExecuteModal(FCUserWindow* parent);
  void DestroyWindow();
  void _SetupInternalWindowCode();
  // The native dialog is gone: forgets its handle and the dialog procedure.
  void _ForgetDialog() {
    _hWnd = nullptr;
    _dialogproc = nullptr;
  }

  int GetResourceID() const { return _resourceid; }
  FCUserWindow* GetParentWindow() const { return _pParentWindow; }
  bool HasDialogProcedure() const { return _dialogproc != nullptr; }

private:
  ufourbyte _resourceid;        // the dialog template's id, handed to the host as 16 bits
  FX_DIALOGPROC _dialogproc;    // userroutine while a dialog exists, else null
  FCUserWindow* _pParentWindow; // not owned; recorded by the overloads that take a window
};

// The dialog procedure handed to the host: dialog, message, the two message parameters and
// the window object the dialog was opened for.
fourbyte WINAPI userroutine(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, void* data);
