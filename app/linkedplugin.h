// The plug-in linked into the program (the web page's engine, the fuzz target, the guide's
// example maker) instead of loaded from its module: the same six entry points, taken directly.
#pragma once
#include <string>

#include "pluginhost.h"

// The linked-in plug-in's entry points; hostFolder is where the host says it lives (the
// plug-in reads its options file there).
PluginEntries LinkedPlugin(const std::string& hostFolder = std::string());
