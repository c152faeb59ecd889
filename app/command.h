// The --score command of the headless host: one score file or many (manyfiles.h), each through
// the job on one file (scorecommand.h), with the plug-in's options file in a folder of the
// command's own and what each run tells the user printed. Exit status 0 done, 1 the host or
// the plug-in failed, 2 bad input or usage (with several files: any of them failed).
#pragma once
#include "commandline.h"
#include "pluginhost.h"

int RunScoreCommand(const CommandLine& c, const PluginEntries& plugin);
