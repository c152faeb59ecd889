#include "pluginhost.h"

#include <cstring>

#include "dialogs.h"

const char* const kPluginEntryNames[6] = {
    "FinaleExtensionVersion", "FinaleExtensionInit",      "FinaleExtensionEnumerate",
    "FinaleExtensionInvoke",  "FinaleExtensionTerminate", "FinaleExtensionGetMenuStatus"};

PluginEntries EntriesFrom(void* const a[6]) {
  PluginEntries p;
  p.version = reinterpret_cast<VersionFn>(a[0]);
  p.init = reinterpret_cast<InitFn>(a[1]);
  p.enumerate = reinterpret_cast<EnumerateFn>(a[2]);
  p.invoke = reinterpret_cast<InvokeFn>(a[3]);
  p.terminate = reinterpret_cast<TerminateFn>(a[4]);
  p.menuStatus = reinterpret_cast<MenuStatusFn>(a[5]);
  return p;
}

HWND OpenToolWindow(const PluginEntries& plugin, std::string* menuItem, std::string* error) {
  if (!plugin.version || !plugin.init || !plugin.enumerate || !plugin.invoke || !plugin.terminate ||
      !plugin.menuStatus) {
    *error = "the plug-in lacks one of its six entry points";
    return nullptr;
  }
  plugin.version(0x0F000200);
  uint32_t flags = 0;
  plugin.init(nullptr, &flags);
  unsigned char menu[196];
  memset(menu, 0, sizeof menu);
  if (!plugin.enumerate(nullptr, 0, menu)) {
    *error = "the plug-in registered no menu item";
    return nullptr;
  }
  char item[65] = {0};
  memcpy(item, menu, 64);
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
  std::vector<std::string> rows = hostsim::ListRows(window, ID_TASKS);
  if (!task.empty()) {
    int row = -1;
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i] == task) row = static_cast<int>(i);
    if (row < 0) {
      *error = "no task \"" + task + "\"; the tasks are:";
      for (const std::string& r : rows)
        *error += "\n  " + r;
      return false;
    }
    hostsim::SelectListRow(window, ID_TASKS, row);
  }
  if (bottom) hostsim::Click(window, ID_BOTTOM); // nothing for a task without a direction
  int row = hostsim::ListSelection(window, ID_TASKS);
  *chosen = row >= 0 && row < static_cast<int>(rows.size()) ? rows[row] : std::string();
  return true;
}

void CloseToolWindow(const PluginEntries& plugin, HWND window) {
  hostsim::Click(window, ID_CLOSE);
  plugin.terminate(nullptr);
}

std::vector<TaskInfo> TaskCatalogue(const PluginEntries& plugin) {
  std::vector<TaskInfo> tasks;
  std::string error;
  HWND window = OpenToolWindow(plugin, nullptr, &error);
  if (!window) return tasks;
  int was = hostsim::ListSelection(window, ID_TASKS);
  std::vector<std::string> rows = hostsim::ListRows(window, ID_TASKS);
  for (size_t i = 0; i < rows.size(); ++i) {
    hostsim::SelectListRow(window, ID_TASKS, static_cast<int>(i));
    TaskInfo t;
    t.name = rows[i];
    t.description = hostsim::ItemText(window, ID_DESCRIPTION);
    t.hasDirection = hostsim::ItemVisible(window, ID_TOP);
    t.topLabel = hostsim::ItemText(window, ID_TOP);
    t.bottomLabel = hostsim::ItemText(window, ID_BOTTOM);
    tasks.push_back(t);
  }
  if (was >= 0) hostsim::SelectListRow(window, ID_TASKS, was);
  CloseToolWindow(plugin, window);
  return tasks;
}
