// Whole lines written into a part's measure: when a task replaced the music of a voice (new
// notes, rests and chords where others were), that voice's notes in the measure are written
// anew in the file's own order (its voice, its staff, backup and forward), their rhythm
// notation taken from a note of the same length at the same place elsewhere in the measure.
// Everything else in the measure stays as the file has it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "scorefile.h"

namespace musicxml {

struct HostNote;

// One entry of a voice after the task.
struct NewEntry {
  int32_t pos = 0;             // position in the measure, host units
  int16_t duration = 0;        // host units (a grace note's written length)
  bool grace = false;          // a grace note or chord
  std::vector<HostNote> notes; // empty for a rest
  bool kept = false;           // the chord that stood here, as it was: not counted as a change
  std::string symbol;          // the chord symbol it was written from, as printed; listed
};

// A voice of one staff in one measure whose music the task replaced.
struct LayerRewrite {
  int16_t staff = 0;             // host staff number
  int16_t measure = 0;           // host measure number
  int16_t layer = 0;             // host layer index
  std::vector<size_t> old;       // the chords it held, indices into Score::chords
  std::vector<NewEntry> entries; // what it holds now, in the host's order
};

// Each staff's transposition as the file's <transpose> gives it (with its octave change), by
// host staff number (index 0 unused).
std::vector<Transposition> StaffTranspositions(const Score& score);

// The first chord the host holds of each staff in each measure: its key is the cell's.
typedef std::map<std::pair<int16_t, int16_t>, size_t> FirstChords;
FirstChords FindFirstChords(const Score& score);
// The key a staff's notes are spelled in within a measure when the host hands back music for
// it: that of its first chord there the host holds, or the measure's own.
Key CellKey(const Score& score, const FirstChords& first, int16_t staff, int16_t measure);

// Writes every rewritten voice into the document and the score's chords (the old chords lose
// their notes, the new ones are added, their notes marked as moved so that ties and accidentals
// are mended after). Checks everything first: false with a message, having changed nothing,
// when a voice cannot be written in place (its notes interleaved with another voice's without
// a backup, or lengths the part's divisions cannot hold).
bool RewriteLayers(Score* score, const std::vector<LayerRewrite>& rewrites, std::string* error);

// Whether a new entry holds what stood at its place before in the voice: the same length,
// notes and ties. Such an entry is written anew with its voice but is no change.
bool Unchanged(const Score& score, const LayerRewrite& r, const NewEntry& e);

struct ChangedChord;
// The chords of the rewritten voices as the changed chords are listed: each new chord with the
// one that stood at its place before ("rest" where none did). Before writing them back.
std::vector<ChangedChord> ListRewrites(const Score& score,
                                       const std::vector<LayerRewrite>& rewrites);

} // namespace musicxml
