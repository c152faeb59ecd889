// Putting the host's changes back into the score's document: only what the task changed is
// edited, in place. Moved notes get their new pitch, notes the task removed go (the first
// note of a chord hands its chord-level marks on), added notes join their chord; then ties
// and the accidentals of the measures touched are made consistent again.
#pragma once
#include <string>
#include <vector>

#include "scorefile.h"

namespace musicxml {

// One note as the host holds it after the task.
struct HostNote {
  int id; // the note's ID in its entry: 1..n for the notes read, more for added ones
  int displacement;
  int raiselower;
  bool tie; // the host's tie bit (an added note copies its source's)
};

// A chord the task changed, and its notes afterwards in the host's order.
struct ChordChange {
  size_t chord;                // index into Score::chords
  std::vector<HostNote> after; // empty when the entry became a rest
};

// A chord the task changed, as listing it and finding it in a drawing need.
struct ChangedChord {
  std::string part, partName; // the part's id and name
  int staff = 1;              // in the part, from 1
  int scoreStaff = 1;         // in the whole score, from 1
  std::string measure;        // as the file prints its number
  double beat = 1;            // the beat it falls on, from 1 (see Beat)
  std::string voice;          // as the file names it
  std::string before, after;  // note names lowest first ("Bb3 D4"), "rest" for none
  std::string symbol;         // the chord symbol it was written from ("Dm7"); empty for none
};

// Every change before it is written back: where it stands and its notes before and after.
std::vector<ChangedChord> ListChanges(const Score& score, const std::vector<ChordChange>& changes);

// The changes one line each: part, measure, staff, voice, the chord symbol a chord was
// written from where there is one, and the notes before and after;
// line breaks and tabs in a name shown as spaces, so that each change stays one line.
std::string DescribeChanges(const std::vector<ChangedChord>& changes);

// A chord's notes by name, lowest first; "rest" for none.
std::string NoteNames(const Chord& chord);
// Pitches by name, lowest first as a chord is read from the bass up; "rest" for none.
std::string LowestFirst(const std::vector<Spelling>& pitches);

// A measure as the file prints its number; by its place ("#3") when it prints none.
std::string MeasureName(const Score& score, int measure);
// Where a chord of the score stands, as a listed change names it; its notes left empty.
ChangedChord ChordPlace(const Score& score, size_t part, int staff, int measure, int32_t pos,
                        const std::string& voice);

// "<task>: N chords changed in M measures on S staves"
std::string Summary(const std::string& task, const Score& score,
                    const std::vector<ChordChange>& changes);

struct LayerRewrite;
// The same counting the chords of the voices written anew among the changed.
std::string Summary(const std::string& task, const Score& score,
                    const std::vector<ChordChange>& changes,
                    const std::vector<LayerRewrite>& rewrites);
// The chords (not the rests) of the voices written anew.
size_t RewrittenChords(const Score& score, const std::vector<LayerRewrite>& rewrites);

// Edits the document; markChanges gives moved and added notes a color attribute.
void WriteBack(Score* score, const std::vector<ChordChange>& changes, bool markChanges);

// The same with voices whose music the task replaced written anew first (lines.h). False with
// a message, having changed nothing, when one of them cannot be written in place.
bool WriteBack(Score* score, const std::vector<ChordChange>& changes,
               const std::vector<LayerRewrite>& rewrites, bool markChanges, std::string* error);

// Takes an element out of the document with the whitespace that indents it.
void RemoveElement(Edits& edits, pugi::xml_node node);

// A spelled pitch as text, for example "F#4" or "Bb3".
std::string PitchName(const Spelling& s);

} // namespace musicxml
