// Test-side control of the Win32 stand-in: the module registry that GetModuleHandleA and
// GetProcAddress answer from. The host simulator fills it; tests may take services away.
#pragma once
#include "windows.h"

extern "C" {
// Registers (or replaces) a module under a name; answers its handle.
HMODULE WinShim_RegisterModule(const char* name);
// Drops a module: later GetModuleHandleA calls for it answer null.
void WinShim_UnregisterModule(const char* name);
void WinShim_RegisterProc(HMODULE module, const char* name, void* proc);
void WinShim_RemoveProc(HMODULE module, const char* name);
// How many times GetModuleHandleA / GetProcAddress were asked (for any name) since the last reset.
int WinShim_ModuleLookups(void);
int WinShim_ProcLookups(const char* name);
void WinShim_ResetCounters(void);
}
