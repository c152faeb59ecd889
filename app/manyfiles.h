// Many score files: folders expanded, workers forked, each running the job on one file
// (scorecommand.h), progress, what an interruption left, and the summary table.
#pragma once
#include "commandline.h"
#include "pluginhost.h"

int RunManyFiles(const CommandLine& c, const PluginEntries& plugin);
