#include "linkedplugin.h"

PluginEntries LinkedPlugin(const std::string& hostFolder) {
  void* const addresses[6] = {reinterpret_cast<void*>(&FinaleExtensionVersion),
                              reinterpret_cast<void*>(&FinaleExtensionInit),
                              reinterpret_cast<void*>(&FinaleExtensionEnumerate),
                              reinterpret_cast<void*>(&FinaleExtensionInvoke),
                              reinterpret_cast<void*>(&FinaleExtensionTerminate),
                              reinterpret_cast<void*>(&FinaleExtensionGetMenuStatus)};
  PluginEntries plugin = EntriesFrom(addresses);
  plugin.hostFolder = hostFolder;
  return plugin;
}
