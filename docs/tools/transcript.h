// Transcripts of a command for the guide: the command line as a reader types it, what the
// program printed and its exit status.
#pragma once
#include <string>
#include <vector>

namespace guide {

// One shell word that the shell passes on exactly as given.
std::string ShellWord(const std::string& text);

// A command line as the guide shows it: the words a shell would change quoted, in double
// quotes where that reads well, in single quotes otherwise.
std::string ShownCommand(const std::string& command, const std::vector<std::string>& args);

// Runs program with its fixed arguments and args in folder, and answers the transcript: the
// line shown as `shown` with args, everything the program printed (standard error and output
// through one pipe) and "(exit status N)".
std::string Transcript(const std::string& folder, const std::vector<std::string>& program,
                       const std::string& shown, const std::vector<std::string>& args);

} // namespace guide
