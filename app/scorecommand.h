// One score file for the --score command (command.h): reads it, runs the job (scorejob.h)
// and writes the changed file through a temporary file beside the output, renamed into place,
// so that an error, a kill or an interruption leaves no half-written file and the input is
// never overwritten unless asked. Only regular files are read (or standard input, named "-"),
// and only regular files are replaced: a device or a pipe named by --out is written through
// ("-" is standard output), a link or anything else is refused.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>

#include "commandline.h"
#include "pluginhost.h"
#include "scorejob.h"

// One score file, the job run and its output written, nothing printed.
struct FileOutcome {
  int status = 0;
  std::string error;     // with the file name
  std::string written;   // where the changed score went; empty for a dry run or an error
  std::string leftAlone; // the line about chords left alone; empty if none
  std::string skipped;   // why the score was skipped (no part named is in it), status 0
  std::string notice;    // what the user should know of the file written (a split hard link)
  std::string changes;   // the chords listed (--dry-run, --list)
  std::string summary;   // the closing line of the job
  std::string check;     // --check: its lines and its summary line
  size_t changed = 0, leftAloneCount = 0;
};
// With --check and checkLines given, the check's lines go there as they are found (each with
// its line end) and FileOutcome::check holds the summary line alone.
FileOutcome ScoreOneFile(const std::string& input, const CommandLine& c,
                         const PluginEntries& plugin,
                         const std::function<void(const std::string& line)>& checkLines = nullptr);

// The most a score file may hold; standard input is read to this much and no further.
const size_t kMaxScoreBytes = size_t(256) << 20;

// Where the result of a task on the input goes when no --out names it: beside the input,
// "song.musicxml" and "Drop 2nd" give "song-drop-2nd.musicxml".
std::string OutputBeside(const std::string& input, const std::string& task);
// The folder the input's result is written in (its temporary file too).
std::string OutputFolder(const std::string& input, const CommandLine& c);

// Makes the folder and those above it that are missing; false with a message.
bool MakeFolders(const std::string& path, std::string* error);

// --check without --task: the check alone; no task runs and nothing is written.
bool CheckOnly(const CommandLine& c);
// The job's options as the command line gives them.
ScoreJobOptions JobOptions(const CommandLine& c);
// The permissions a new file gets: what the user's umask leaves of rw-rw-rw-. Read at the
// first call, which the command makes before any worker starts.
mode_t NewFileMode();
