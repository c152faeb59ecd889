// The --score command of the headless host: reads the score file, runs the job (scorejob.h)
// and writes the changed file through a temporary file beside the output, renamed into place,
// so that an error or a kill leaves no half-written file and the input is never overwritten
// unless asked. Exit status 0 done, 1 the host or the plug-in failed, 2 bad input or usage.
#pragma once
#include <string>

#include "pluginhost.h"

struct ScoreCommand {
  std::string file; // --score
  std::string out;  // --out
  bool inPlace = false;
  bool fourNoteDrops = false;
  bool spellInKey = false;
  std::string measures;
  std::string parts;
  bool dryRun = false;
  bool list = false;
  bool markChanges = false;
};

// Takes one --score argument (and its value, advancing *i); false when it is none of them.
bool ParseScoreArgument(const std::string& arg, const char* value, ScoreCommand* c, int* i);

int RunScoreCommand(const ScoreCommand& c, const std::string& task, bool bottom,
                    const PluginEntries& plugin);
