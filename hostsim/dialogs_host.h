// Inside the host simulator's dialogs: the record of each dialog FX_Dialog made, shared by the
// dialog services and the two ways of making dialogs (dialogs_native.cpp, dialogs_win32.cpp).
#pragma once
#include "hostapi/fxhost.h"
#include "dialogs.h"

#include <map>

namespace hostsim {
namespace dialoghost {

// The plug-in's dialog procedure: the window procedure's arguments and the user data.
typedef FX_DIALOGPROC PluginDialogProc; // the bridge's own declaration

struct HostDialog {
  HWND window = nullptr;            // the dialog
  int resid = 0;                    // the template it was made from
  PluginDialogProc proc = nullptr;  // the plug-in's procedure
  void* data = nullptr;             // the user data handed back with every message
  bool modal = false;               // made with modal flag 1
  bool ended = false;               // FX_EndDialog was called for it
  bool forwarding = false;          // WM_INITDIALOG has been delivered
  int driverCalls = 0;              // calls of the modal driver so far
  std::map<int, double> userValues; // FX_SetDlgItemUser values by item id
};

// The record of a dialog the host made and that has not gone; null otherwise.
HostDialog* Find(HWND window);
HostDialog& Add(HWND window, int resid, PluginDialogProc proc, void* data, bool modal);
void Remove(HWND window);

// Hands a message of a host dialog to the plug-in's procedure with its user data, from
// WM_INITDIALOG on; earlier messages and windows the host did not make answer 0.
intptr_t Forward(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

bool Failing();
ModalDriver& Driver();
// Calls of the modal driver per dialog before the host stops asking it.
const int kMaxDriverCalls = 10000;

// Made per platform.
int32_t Create(int resid, PluginDialogProc proc, HWND parent, bool modal, void* data);
int32_t End(HostDialog& dialog);
void Pump();

// Destroys every dialog still open, without a message to the plug-in.
void DestroyAll();

// The embedded resource script and the header it includes.
const char* PluginResourceScript();
const char* PluginResourceHeader();

} // namespace dialoghost
} // namespace hostsim
