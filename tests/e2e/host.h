// The end-to-end host: this program is FINALE.EXE. It exports the host simulator's FX_*
// services, loads the plug-in DLL by path, finds its six entry points by name and drives it
// the way the notation host and its user do: entry points, real window messages, clicks on the
// real controls of the dialog that the Windows dialog manager built from the DLL's resource.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/pluginhost.h"
#include "dialogs.h"
#include "hostsim.h"
#include "resources/resource.h"
#include "score.h"
#include "hostapi/entrypoints.h"

namespace e2e {

// ---- The plug-in module ---------------------------------------------------------------------
// The plug-in as the host holds it: the loaded module and its entry points.
struct Plugin : PluginEntries {
  HMODULE module = nullptr;
};

// Where the host finds the plug-in: the path in QV_E2E_PLUGIN when it is set (the module as
// unpacked from the release archive), else QVChordShaper.dll in the folder above its own.
std::string PluginPath();
// LoadLibraryA by path, then GetProcAddress of the six names. Answers false, with the reason in
// *error, when the module or an entry point is missing.
bool LoadPlugin(Plugin* plugin, std::string* error);
// FreeLibrary; the module's state goes with it, as when the host quits.
void UnloadPlugin(Plugin* plugin);

// Points the module's import of library!function at replacement by rewriting its import
// address table; answers the address it replaced, null when the module imports no such name.
void* HookImport(HMODULE module, const char* library, const char* function, void* replacement);

// The sounds the plug-in asked MessageBeep for, in order, since the last ClearBeeps.
const std::vector<UINT>& Beeps();
void ClearBeeps();
// Routes the module's MessageBeep to the host's counter and its GetSystemMetrics through a
// filter that can report another screen height. Answers false when the module imports either
// by another route.
bool HookSystemCalls(HMODULE module);
// While not negative, GetSystemMetrics(SM_CYFULLSCREEN) answers this to the plug-in.
void SetReportedScreenHeight(int height);

// ---- The host's own window and folder --------------------------------------------------------
// The host's main window (the score), made once; handed to the plug-in as its parent.
HWND HostWindow();
// The host's folder (a Windows path, without a trailing backslash), made once per run.
std::string HostFolder();
// Writes the shared options file "qvpluginoptions.txt" in the host's folder, or removes it.
void WriteOptionsFile(const std::string& text);
void RemoveOptionsFile();
// The names of the files in the host's folder.
std::vector<std::string> HostFolderFiles();

// ---- The user -------------------------------------------------------------------------------
// Delivers what is queued for this thread's windows, then lets the window system settle.
void Pump();
// A key pressed and released on the window that has the keyboard focus.
void PressKey(UINT key);
// Presses a push button, check box or radio button with the mouse (BM_CLICK on the control).
void Press(HWND dialog, int id);
// Clicks a row of a list box with the mouse, scrolling it into view first.
void ClickListRow(HWND dialog, int id, int row);
// Clicks into the score (activates the host window) or into the tool window.
void ActivateHost();
void ActivateWindow(HWND window);
// Drags the window's frame to this outer size, or the window to this place.
void SizeWindow(HWND window, int width, int height);
void MoveWindowTo(HWND window, int left, int top);
// The tracking limits the window reports (WM_GETMINMAXINFO sent to it).
MINMAXINFO TrackingLimits(HWND window);
int Width(const RECT& r);
int Height(const RECT& r);

// ---- Pictures -------------------------------------------------------------------------------
// The screen pixels of a window's outer rectangle, top row first, 0x00RRGGBB.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Picture CaptureWindow(HWND window);
// Writes a 24-bit BMP; answers false when the file cannot be written.
bool WriteBmp(const Picture& picture, const std::string& path);
// A file beside this program.
std::string BesideProgram(const char* name);

// ---- A session of the host ------------------------------------------------------------------
// Each test is one run of the host: the host simulator is reset, the plug-in is loaded and
// started as the host starts it (Version, Init, Enumerate), and at the end its window is closed
// the way the user closes it and the module unloaded.
class HostSession : public ::testing::Test {
protected:
  // The host version this host reports to FinaleExtensionVersion.
  static const uint32_t kHostVersion = 0x1A000100;

  void SetUp() override;
  void TearDown() override;
  // The host's start-up calls, made by SetUp unless a test wants to make them itself.
  virtual bool StartsPlugin() const { return true; }
  void StartPlugin();
  // The user chooses the menu item: FinaleExtensionInvoke with the host window. Answers the
  // tool window (null when none is open afterwards).
  HWND Invoke(int32_t* answer = nullptr);
  // A score of staves 1..staves and measures 1..measures, shown in the score and in parts that
  // show staff 1 only and staff 2 only (when there are two staves).
  void MakeScore(int staves, int measures);

  Plugin plugin;
  // The plug-in's MessageBeep and GetSystemMetrics imports lead to the host's hooks.
  bool systemCallsHooked = false;
};

// The rows of the task list, in order.
extern const char* const kTaskNames[25];

// Host menu item of the respacing command.
const int32_t kRespaceMenuItem = 12106;

} // namespace e2e
