#include "pluginhost.h"

#include <cstring>

#include "dialogs.h"
#include "taskname.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

const char* const kPluginEntryNames[6] = {
    "FinaleExtensionVersion", "FinaleExtensionInit",      "FinaleExtensionEnumerate",
    "FinaleExtensionInvoke",  "FinaleExtensionTerminate", "FinaleExtensionGetMenuStatus"};

PluginEntries EntriesFrom(void* const a[6]) {
  PluginEntries p;
  p.version = reinterpret_cast<FinaleExtensionVersionProc>(a[0]);
  p.init = reinterpret_cast<FinaleExtensionInitProc>(a[1]);
  p.enumerate = reinterpret_cast<FinaleExtensionEnumerateProc>(a[2]);
  p.invoke = reinterpret_cast<FinaleExtensionInvokeProc>(a[3]);
  p.terminate = reinterpret_cast<FinaleExtensionTerminateProc>(a[4]);
  p.menuStatus = reinterpret_cast<FinaleExtensionGetMenuStatusProc>(a[5]);
  return p;
}

bool LoadPlugin(const char* path, PluginEntries* plugin, std::string* error) {
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path);
  auto find = [module](const char* name) { return (void*)GetProcAddress(module, name); };
#else
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  auto find = [module](const char* name) { return dlsym(module, name); };
#endif
  if (!module) {
    *error = std::string("cannot load the plug-in module ") + path;
    return false;
  }
  void* entries[6];
  for (int i = 0; i < 6; ++i) {
    entries[i] = find(kPluginEntryNames[i]);
    if (!entries[i]) {
      *error = std::string("the plug-in lacks the entry point ") + kPluginEntryNames[i];
      return false;
    }
  }
  *plugin = EntriesFrom(entries);
  return true;
}

HWND OpenToolWindow(const PluginEntries& plugin, std::string* menuItem, std::string* error) {
  if (!plugin.version || !plugin.init || !plugin.enumerate || !plugin.invoke || !plugin.terminate ||
      !plugin.menuStatus) {
    *error = "the plug-in lacks one of its six entry points";
    return nullptr;
  }
  plugin.version(0x0F000200);
  ufourbyte flags = 0;
  plugin.init(nullptr, &flags);
  EXTENSIONMENURECORD menu;
  memset(&menu, 0, sizeof menu);
  if (!plugin.enumerate(nullptr, 0, &menu)) {
    *error = "the plug-in registered no menu item";
    return nullptr;
  }
  char item[sizeof menu.menutext + 1] = {0};
  memcpy(item, menu.menutext, sizeof menu.menutext);
  if (menuItem) *menuItem = item;
  if (!plugin.menuStatus(nullptr)) {
    *error = std::string("the menu item \"") + item + "\" is not available";
    return nullptr;
  }
  plugin.invoke(nullptr, nullptr, nullptr, nullptr);
  HWND window = hostsim::OpenDialog();
  if (!window) {
    *error = "the plug-in opened no window";
    return nullptr;
  }
  hostsim::SetDialogActive(window, true);
  return window;
}

bool ChooseTask(HWND window, const std::string& task, bool bottom, std::string* chosen,
                std::string* error) {
  std::vector<std::string> rows = hostsim::ListRows(window, IDC_TASKLIST), names = rows;
  for (const TaskInfo& t : FileTasks())
    names.push_back(t.name);
  if (!task.empty()) {
    int row = MatchTask(names, task, error);
    if (row < 0) return false;
    if (static_cast<size_t>(row) >= rows.size()) {
      *chosen = names[row];
      return true;
    }
    hostsim::SelectListRow(window, IDC_TASKLIST, row);
  }
  if (bottom) hostsim::Click(window, IDC_BOTTOMRADIO); // nothing for a task without a direction
  int row = hostsim::ListSelection(window, IDC_TASKLIST);
  *chosen = row >= 0 && row < static_cast<int>(rows.size()) ? rows[row] : std::string();
  return true;
}

void CloseToolWindow(const PluginEntries& plugin, HWND window) {
  hostsim::Click(window, IDC_CLOSE);
  plugin.terminate(nullptr);
}

std::vector<TaskInfo> TaskCatalogue(const PluginEntries& plugin) {
  std::vector<TaskInfo> tasks;
  std::string error;
  HWND window = OpenToolWindow(plugin, nullptr, &error);
  if (!window) return tasks;
  int was = hostsim::ListSelection(window, IDC_TASKLIST);
  std::vector<std::string> rows = hostsim::ListRows(window, IDC_TASKLIST);
  for (size_t i = 0; i < rows.size(); ++i) {
    hostsim::SelectListRow(window, IDC_TASKLIST, static_cast<int>(i));
    TaskInfo t;
    t.name = rows[i];
    t.description = hostsim::ItemText(window, IDC_DESCRIPTION);
    t.hasDirection = hostsim::ItemVisible(window, IDC_TOPRADIO);
    t.topLabel = hostsim::ItemText(window, IDC_TOPRADIO);
    t.bottomLabel = hostsim::ItemText(window, IDC_BOTTOMRADIO);
    tasks.push_back(t);
  }
  if (was >= 0) hostsim::SelectListRow(window, IDC_TASKLIST, was);
  CloseToolWindow(plugin, window);
  return tasks;
}

const char* const kRealizeTask = "Realize Chord Symbols";
const char* const kBlockTask = "Block Chords";

std::vector<TaskInfo> FileTasks() {
  return {{kRealizeTask,
           "Replaces the music of the first staff selected with the four-note chord of each chord "
           "symbol, in the voicing chosen, led so that the passage moves least; a second staff "
           "selected gets each chord's bass.",
           false, "", ""},
          {kBlockTask,
           "Makes each melody note of the first staff selected the top of a four-note chord: the "
           "chord symbol's tones in close position below it, or a diminished seventh chord where "
           "the note is none of them.",
           false, "", ""}};
}

bool IsFileTask(const std::string& name) {
  return name == kRealizeTask || name == kBlockTask;
}

std::vector<TaskInfo> AllTasks(const PluginEntries& plugin) {
  std::vector<TaskInfo> tasks = TaskCatalogue(plugin), own = FileTasks();
  if (!tasks.empty()) tasks.insert(tasks.end(), own.begin(), own.end());
  return tasks;
}
