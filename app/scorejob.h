// The main job on a score file: the file's bytes in, the task applied by the plug-in through
// its tool window on the host simulator's score, the changed file's bytes out. It touches no
// file and does not end the process, so that the web page runs the very same code.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pluginhost.h"
#include "voicecheck.h"
#include "writeback.h"

struct ScoreJobOptions {
  std::string task;           // as the tool window lists it; empty: the window's own choice
  bool bottom = false;        // the second direction
  bool fourNoteDrops = false; // the options file's four-note rule (see WriteHostOptions)
  bool spellInKey = false;    // the options file's spelling of added notes: the key's own
  bool strict = false;        // the options file's strict voice leading
  std::string measures;       // "5", "5-", "-8", "3-8", "1,3,5-8" as the file prints measure
                              // numbers; empty: all
  std::string parts;          // "ID, name, ..." part ids or names; empty: all
  bool dryRun = false;        // describe the changes, produce no output
  bool listChanges = false;   // describe the changes as well when producing output
  bool markChanges = false;   // display only: changed and added notes get a color attribute
  bool displayTexts = true;   // fill beforeXml and afterXml
  // Where the output goes as it is made, instead of ScoreJobResult::output: called with each
  // piece in order, answers false when it cannot take it (the job then fails with status 1).
  std::function<bool(const void* data, size_t size)> sink;
  // afterXml only, the output left as without it: changed and added notes get a color, and
  // every note of the K-th changed chord (its rest, if it became one) the id "qv-change-K-J";
  // with check (also without a task), the faults' notes named as well (MarkFaults)
  bool markShown = false;
  bool check = false; // check the selection's voice leading (after the task, if one runs)
  // With check: each of the check's lines (with its line end) handed here as it is found,
  // instead of ScoreJobResult::checkText and faults, which stay empty (and no fault is marked);
  // the summary line still comes in checkSummary.
  std::function<void(const std::string& line)> checkLines;
  // The tasks on chord symbols: the voicing ("close", "drop2", "drop24", "shell", "root";
  // empty: close), whether the voicings are led, the range of the top notes ("E4-A5"; empty:
  // that one)
  std::string voicing;
  bool leading = true;
  std::string topRange;
  bool applyTask = true; // false: no task runs and nothing is written (the check alone)
};

using musicxml::ChangedChord;

struct ScoreJobResult {
  int status = 0;                  // 0 done; 2 bad input or usage, no output; 1 host failed
  std::string error;               // with the file name, and line:column for XML
  std::vector<uint8_t> output;     // the changed file, in the input's container (.mxl or plain)
  std::string afterXml, beforeXml; // the uncompressed MusicXML text, for display
  std::string leftAlone;           // the one line about what was left alone (after the one
                                   // about parts named that the score lacks); empty if nothing
  std::string skipped;             // why nothing was done, status 0: none of the parts named
                                   // is in the score
  std::string dryRunText;          // every chord that would change, one line each
  std::string summary;             // the closing summary line
  std::string task;                // the task applied, by its name
  // with listChanges or dryRun: the chords changed
  std::vector<ChangedChord> changes;
  size_t changedCount = 0;   // chords changed (or that would change)
  size_t leftAloneCount = 0; // chords of the selection left alone
  // with check: what the voice-leading check found, its lines and its summary line
  std::vector<VoiceFault> faults;
  std::string checkText, checkSummary;
};

ScoreJobResult RunScoreJob(const std::vector<uint8_t>& input, const std::string& fileName,
                           const ScoreJobOptions& options, const PluginEntries& plugin);
// The same, taking the input over: a plain file's text is parsed where it lies.
ScoreJobResult RunScoreJob(std::vector<uint8_t>&& input, const std::string& fileName,
                           const ScoreJobOptions& options, const PluginEntries& plugin);

// One part of a score, as --parts names it.
struct ScorePart {
  std::string id;   // the part's id attribute
  std::string name; // its part-name
  int staves = 1;   // its number of staves
};

// The parts of a score file in score order, for choosing among them, and (when shown is
// given) the score's MusicXML text; false with the message the job would give for the file.
bool ScoreParts(std::vector<uint8_t>&& input, const std::string& fileName,
                std::vector<ScorePart>* parts, std::string* shown, std::string* error);

// The options file the plug-in reads from the host's folder: written at the path the plug-in
// builds, "<folder>\qvpluginoptions.txt". The one file the job needs besides its input, for
// the four-note rule and the spelling of added notes; the caller writes it (natively in a private
// folder, on the web page in the page's memory file system). False when it cannot be written.
bool WriteHostOptions(const std::string& folder, const ScoreJobOptions& options);
