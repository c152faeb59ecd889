// The voice-leading check: a report on the chords of a score's selection that changes
// nothing. Per staff and layer, between consecutive chords (single notes, rests and grace
// notes passed over, as Voice Leading passes them), with voices counted from the bass up. The
// command and the page's engine both take it from here, through the job.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "scorefile.h"

enum class VoiceFaultKind {
  ParallelFifths,  // two voices a fifth apart move the same way to a fifth again
  ParallelOctaves, // the same for octaves and unisons
  HiddenFifths,    // the outer voices move the same way into a fifth or an octave, the top
                   // voice by a leap (more than a whole tone)
  Crossing,        // a voice moves past where its neighbour was in the chord before
  Spacing,         // two neighbouring upper voices (the bass apart) more than an octave apart
  Count
};

// One fault, placed as the dry run places a changed chord: at the chord it arrives in.
struct VoiceFault {
  VoiceFaultKind kind = VoiceFaultKind::ParallelFifths;
  std::string part, partName; // the part's id and name
  int staff = 1;              // in the part, from 1
  int scoreStaff = 1;         // in the whole score, from 1
  std::string measure;        // as the file prints its number
  double beat = 1;            // in quarter notes from the measure's start, the first is 1
  std::string voice;          // the layer, as the file names its voice
  int lower = 1, upper = 2;   // the two voices, counted from the bass up, from 1
  std::string before;         // the two voices' notes in the chord before ("C3 G3"); empty
                              // for a fault of one chord (spacing)
  std::string after;          // the two voices' notes in this chord
  // The notes named, as (index into Score::chords, index into its notes): the chord before's
  // two (none for spacing), then this chord's two; for finding them in a drawing.
  std::vector<std::pair<size_t, size_t>> notes;
  std::vector<std::string> ids; // the same notes' ids in a marked text (see MarkFaults)
};

// The faults of the selection: the chords of the parts chosen (parts[p]) in the measures
// chosen (measures[m], host measure numbers), in score order of their lanes.
std::vector<VoiceFault> CheckVoiceLeading(const musicxml::Score& score,
                                          const std::vector<bool>& parts,
                                          const std::vector<bool>& measures);
// The same, each fault handed to found as it is found and none kept.
void CheckVoiceLeading(const musicxml::Score& score, const std::vector<bool>& parts,
                       const std::vector<bool>& measures,
                       const std::function<void(VoiceFault&&)>& found);

// What a kind is called in a line and in the summary ("parallel fifths").
const char* FaultName(VoiceFaultKind kind);

// The faults one line each, in the dry run's style: part, measure, beat, staff, voice, the
// kind, the two voices and their notes before and after.
std::string DescribeFaults(const std::vector<VoiceFault>& faults);
// One fault's line, with its line end.
std::string DescribeFault(const VoiceFault& f);

// How many faults of each kind.
typedef std::array<size_t, static_cast<size_t>(VoiceFaultKind::Count)> FaultCounts;

// "voice leading: N faults: 1 parallel fifths, 0 parallel octaves or unisons, ..." with the
// count of every kind.
std::string FaultSummary(const std::vector<VoiceFault>& faults);
std::string FaultSummary(const FaultCounts& counts);

// Names every note of every fault for a drawing of the score (display only, never the file):
// a note already named as a changed chord's ("qv-change-...") keeps its name, the others
// become "qv-fault-N"; names a check before left are taken off first. Fills each fault's ids.
void MarkFaults(musicxml::Score* score, std::vector<VoiceFault>* faults);
