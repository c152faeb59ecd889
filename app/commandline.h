// The command's arguments as people type them: options with their value after a space or an
// "=", score files and folders anywhere on the line, and a message for every wrong argument
// that says what is wrong with it. Nothing here runs anything.
#pragma once
#include <string>
#include <vector>

#include "pluginhost.h"

struct CommandLine {
  std::string plugin;              // the plug-in module's path; empty: the default one
  std::string task;                // as typed; empty: the window's own choice
  bool bottom = false;             // the second direction
  bool help = false;               // --help
  bool version = false;            // --version
  bool demo = false;               // --demo: the built-in demo score
  bool web = false;                // --web [PORT]: the web page served
  std::string port;                // its port as typed; empty: the server's default
  std::vector<std::string> inputs; // --score FILE and every file or folder named
  std::string out;                 // --out FILE (one file in)
  std::string outDir;              // --out-dir FOLDER
  bool inPlace = false;
  bool fourNoteDrops = false;
  bool spellInKey = false;
  bool strict = false;
  std::string measures;
  std::string parts;
  bool dryRun = false;
  bool list = false;
  bool markChanges = false;
  bool check = false;  // --check: the voice-leading check, after the task if one is named
  std::string voicing; // --voicing: Realize Chord Symbols' voicing; empty: close
  bool noLeading = false;
  std::string topRange; // --range: its top notes' range; empty: E4-A5
  int jobs = 0;         // -j N; 0: every core
};

// False with the message for the user (without the usage).
bool ParseCommandLine(int argc, char** argv, CommandLine* c, std::string* error);

// The release's version, "1.0.6": the command, the module and the page carry the same.
const char* Version();

// The usage, naming the command as it was typed (argv[0]; "./run" through the script) and
// listing the tasks and their directions; fromRun adds what only ./run does (its example).
std::string Usage(const std::string& command, bool fromRun, const std::vector<TaskInfo>& tasks,
                  const std::string& defaultPlugin);
