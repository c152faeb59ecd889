// The headless host's side of the plug-in: its six entry points, found in the module by name
// (or, on the web page, from the plug-in linked in: linkedplugin.h), started as the notation
// host starts a plug-in, and its tool window driven as a user drives it (the menu item opens
// it, a task and a direction are chosen, Apply, Close). Nothing here touches a file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "hostapi/entrypoints.h"

// The plug-in's six entry points, and the folder the host reports as its own (where the
// plug-in looks for its options file; empty: the host reports none).
struct PluginEntries {
  FinaleExtensionVersionProc version = nullptr;
  FinaleExtensionInitProc init = nullptr;
  FinaleExtensionEnumerateProc enumerate = nullptr;
  FinaleExtensionInvokeProc invoke = nullptr;
  FinaleExtensionTerminateProc terminate = nullptr;
  FinaleExtensionGetMenuStatusProc menuStatus = nullptr;
  std::string hostFolder;
};

// The entry points' exported names, in PluginEntries order.
extern const char* const kPluginEntryNames[6];
// Fills the entries from six addresses in kPluginEntryNames order.
PluginEntries EntriesFrom(void* const addresses[6]);
// Loads the plug-in module by path and finds its six entry points by name, as the host does.
// False with a message when the module cannot be loaded or lacks one of them.
bool LoadPlugin(const char* path, PluginEntries* plugin, std::string* error);

// Starts the plug-in as the host does (version, init, menu item) and opens its tool window
// through the menu item. Null with a message when it cannot.
HWND OpenToolWindow(const PluginEntries& plugin, std::string* menuItem, std::string* error);

// Chooses a task by its name in the window's list, as people type it (taskname.h; empty: the
// window's own choice) and the second direction when asked. False with a message naming the
// close tasks, or all of them, when there is no such task. Answers the chosen task's name.
// The score file's own tasks (FileTasks) are named among the window's: one of them is
// answered with nothing chosen in the window.
bool ChooseTask(HWND window, const std::string& task, bool bottom, std::string* chosen,
                std::string* error);

// Closes the window as the user does and ends the plug-in as the host does.
void CloseToolWindow(const PluginEntries& plugin, HWND window);

// One row of the task list as the tool window shows it.
struct TaskInfo {
  std::string name;        // the list's row
  std::string description; // the description field with the row chosen
  bool hasDirection;       // the direction buttons are shown
  std::string topLabel;    // their captions
  std::string bottomLabel;
};

// The plug-in's task list, read from its own tool window. Empty when the window cannot open.
std::vector<TaskInfo> TaskCatalogue(const PluginEntries& plugin);

// The tasks the job does on a score file itself, without the plug-in: those on chord symbols,
// which the plug-in cannot read from its host.
extern const char* const kRealizeTask; // "Realize Chord Symbols"
extern const char* const kBlockTask;   // "Block Chords"
std::vector<TaskInfo> FileTasks();
bool IsFileTask(const std::string& name);
// The plug-in's tasks and then the file's own, as the command and the page list them.
std::vector<TaskInfo> AllTasks(const PluginEntries& plugin);
