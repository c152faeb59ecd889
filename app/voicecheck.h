// The voice-leading check: a report on the voices of a score's selection that changes nothing.
// Every part, staff and layer of single notes is a voice as written; the notes of a layer's
// chords are voices by the least motion from the chord before, as Voice Leading pairs them.
// Every place a note starts in a chosen voice is a moment; voices are compared between
// consecutive moments where both sound (a held note does not move), never across a rest, a
// place left alone (grace notes, chords the host does not hold) or a gap. The command and the
// page's engine both take it from here, through the job.
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
  Crossing,        // two voices change the order they are written in
  Spacing,         // two upper voices (the bass apart) next to each other in pitch more than
                   // an octave apart
  Count
};

// One fault, placed as the dry run places a changed chord: at the moment it arrives at, in
// the lower voice as written (part, staff, voice); the upper voice's place beside it.
struct VoiceFault {
  VoiceFaultKind kind = VoiceFaultKind::ParallelFifths;
  std::string part, partName; // the part's id and name
  int staff = 1;              // in the part, from 1
  int scoreStaff = 1;         // in the whole score, from 1
  std::string measure;        // as the file prints its number
  double beat = 1;            // the beat of the time signature, from 1 (musicxml::Beat)
  std::string voice;          // the layer, as the file names its voice
  int lower = 1, upper = 2;   // the two voices, lower and upper as written, counted from the
                              // bass up among those sounding at the moment, from 1
  std::string before;         // the two voices' notes at the moment before ("C3 G3"); empty
                              // for a fault of one moment (spacing)
  std::string after;          // the two voices' notes at this moment
  // The notes named, as (index into Score::chords, index into its notes): the two at the
  // moment before (none for spacing), then the two now; for finding them in a drawing. A held
  // note is named at both.
  std::vector<std::pair<size_t, size_t>> notes;
  std::vector<std::string> ids; // the same notes' ids in a marked text (see MarkFaults)
  // The upper voice's part (id and name), staff (in the part and in the score) and voice;
  // the same as the lower's when both are on one staff's layer.
  std::string upperPart, upperPartName;
  int upperStaff = 1, upperScoreStaff = 1;
  std::string upperVoice;
};

// The faults of the selection: the voices of the parts chosen (parts[p]) in the measures
// chosen (measures[m], host measure numbers), moment by moment. *crowded (when given) gets
// the count of moments of more voices than are compared two by two.
std::vector<VoiceFault> CheckVoiceLeading(const musicxml::Score& score,
                                          const std::vector<bool>& parts,
                                          const std::vector<bool>& measures,
                                          size_t* crowded = nullptr);
// The same, each fault handed to found as it is found and none kept.
void CheckVoiceLeading(const musicxml::Score& score, const std::vector<bool>& parts,
                       const std::vector<bool>& measures,
                       const std::function<void(VoiceFault&&)>& found, size_t* crowded = nullptr);

// What a kind is called in a line and in the summary ("parallel fifths").
const char* FaultName(VoiceFaultKind kind);

// The faults one line each, in the dry run's style: part, measure, beat, staff, voice (and the
// upper voice's part, staff and voice when they differ), the kind, the two voices and their
// notes before and after.
std::string DescribeFaults(const std::vector<VoiceFault>& faults);
// One fault's line, with its line end.
std::string DescribeFault(const VoiceFault& f);

// How many faults of each kind.
typedef std::array<size_t, static_cast<size_t>(VoiceFaultKind::Count)> FaultCounts;

// "voice leading: N faults: 1 parallel fifth, 0 parallel octaves or unisons, ..." with the
// count of every kind, and of the moments not compared (crowded) when there were any.
std::string FaultSummary(const std::vector<VoiceFault>& faults, size_t crowded = 0);
std::string FaultSummary(const FaultCounts& counts, size_t crowded = 0);

// Names every note of every fault for a drawing of the score (display only, never the file):
// a note already named as a changed chord's ("qv-change-...") keeps its name, the others
// become "qv-fault-N"; names a check before left are taken off first. Fills each fault's ids.
void MarkFaults(musicxml::Score* score, std::vector<VoiceFault>* faults);
