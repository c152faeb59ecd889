// Test-side control of the Win32 stand-in: the module registry that GetModuleHandleA and
// GetProcAddress answer from (the host simulator fills it; tests may take services away), and
// the in-memory window model behind the window functions of windows.h.
//
// The window model: every window has an outer rectangle (screen coordinates for a top-level
// window, the parent's client coordinates for a child), a style word whose WS_VISIBLE and
// WS_DISABLED bits are its visibility and enabled state, a text, a dialog item id, a parent
// (for a top-level window: its owner) and its children in creation order. The client area is
// the outer rectangle less the frame and caption the style asks for, measured with the current
// system metrics. List boxes and combo boxes keep rows and a selection, buttons a check state.
// A window may have a handler, which receives the messages the model sends (WM_GETMINMAXINFO
// and WM_SIZE from SetWindowPos, WM_SHOWWINDOW from ShowWindow, WM_ACTIVATE on activation,
// WM_DESTROY) and every message sent to it that is not a control message of its class.
#pragma once
#include "windows.h"

extern "C" {
// ---- Modules --------------------------------------------------------------------------------
// Registers (or replaces) a module under a name; answers its handle.
HMODULE WinShim_RegisterModule(const char* name);
// Drops a module: later GetModuleHandleA calls for it answer null.
void WinShim_UnregisterModule(const char* name);
void WinShim_RegisterProc(HMODULE module, const char* name, void* proc);
void WinShim_RemoveProc(HMODULE module, const char* name);
// How many times GetModuleHandleA / GetProcAddress were asked (for any name) since the last reset.
int WinShim_ModuleLookups(void);
int WinShim_ProcLookups(const char* name);
// Clears the look-up counters, the sound counters and the message-box log.
void WinShim_ResetCounters(void);

// ---- Windows --------------------------------------------------------------------------------
// Receives the messages of one window; data is what WinShim_SetHandler was given.
typedef LRESULT (*WinShimHandler)(void* data, HWND window, UINT message, WPARAM wparam,
                                  LPARAM lparam);

// Makes a window. With WS_CHILD in the style it is a child of parent (which must exist), placed
// in the parent's client coordinates; otherwise a top-level window owned by parent (or by
// none), placed in screen coordinates. Answers null when a child's parent does not exist.
HWND WinShim_CreateWindow(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                          int x, int y, int width, int height, HWND parent, int id);
void WinShim_SetHandler(HWND window, WinShimHandler handler, void* data);
// The class a window was made with ("" for no window).
const char* WinShim_WindowClass(HWND window);
// Windows that exist now.
int WinShim_WindowCount(void);

// System metrics answered by GetSystemMetrics; unknown indexes answer 0. The defaults describe
// a 1024 x 768 screen with a 30-pixel task bar: caption 19, border 1, dialog frame 3, sizing
// frame 4, scroll bars 16, full-screen client area 1024 x 719, tracking sizes 112 x 27 to
// 1032 x 776.
void WinShim_SetSystemMetric(int index, int value);

// Deferred positioning. Makes one step of the next batches fail as a system short of resources
// would: step 0 is BeginDeferWindowPos (it answers no batch), step n > 0 the n-th DeferWindowPos
// of a batch (it answers null and the batch is discarded unapplied). -1 stops the failures.
void WinShim_FailDeferStep(int step);
// Batches applied by EndDeferWindowPos, and the number of windows in the last one applied.
int WinShim_BatchesApplied(void);
int WinShim_LastBatchSize(void);
// SetWindowPos calls made directly (not through a batch).
int WinShim_SetWindowPosCalls(void);

// ---- Sounds and message boxes ---------------------------------------------------------------
// MessageBeep calls of a sound type that played, and all MessageBeep calls whatever they did.
int WinShim_BeepsPlayed(UINT type);
int WinShim_BeepCalls(void);
// While set, MessageBeep with this sound type fails (answers FALSE and plays nothing).
void WinShim_FailBeep(UINT type, BOOL fail);

// The answer of the next message boxes; 0 (the default) answers the first button of the box
// (IDOK, or IDYES for the yes/no boxes).
void WinShim_SetMessageBoxAnswer(int answer);
int WinShim_MessageBoxCount(void);
// The last message box shown: its text, caption, type and owner.
const char* WinShim_LastMessageBoxText(void);
const char* WinShim_LastMessageBoxCaption(void);
UINT WinShim_LastMessageBoxType(void);
HWND WinShim_LastMessageBoxOwner(void);

// Destroys every window (without messages), restores the default metrics and answers, stops the
// failures and clears every counter. Modules stay registered.
void WinShim_Reset(void);
}
