// The --score command of the headless host: reads each score file, runs the job (scorejob.h)
// and writes the changed file through a temporary file beside the output, renamed into place,
// so that an error, a kill or an interruption leaves no half-written file and the input is
// never overwritten unless asked. Several files or folders are worked on in parallel worker
// processes (the job's host is one per process). Exit status 0 done, 1 the host or the
// plug-in failed, 2 bad input or usage (with several files: any of them failed).
#pragma once
#include <string>

#include "commandline.h"
#include "pluginhost.h"

int RunScoreCommand(const CommandLine& c, const PluginEntries& plugin);

// One score file, the job run and its output written, nothing printed.
struct FileOutcome {
  int status = 0;
  std::string error;     // with the file name
  std::string written;   // where the changed score went; empty for a dry run or an error
  std::string leftAlone; // the line about chords left alone; empty if none
  std::string skipped;   // why the score was skipped (no part named is in it), status 0
  std::string changes;   // the chords listed (--dry-run, --list)
  std::string summary;   // the closing line of the job
  std::string check;     // --check: its lines and its summary line
  size_t changed = 0, leftAloneCount = 0;
};
FileOutcome ScoreOneFile(const std::string& input, const CommandLine& c,
                         const PluginEntries& plugin);

// Makes the folder and those above it that are missing; false with a message.
bool MakeFolders(const std::string& path, std::string* error);

// Many files: folders expanded, workers forked, progress and the summary table (manyfiles.cpp).
int RunManyFiles(const CommandLine& c, const PluginEntries& plugin);
