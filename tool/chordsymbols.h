// Chord symbols as an arranger reads them: a symbol's tones spelled from its root, its
// four-note form (root, third, fifth and seventh places), the form voiced for a progression
// (Realize Chord Symbols) and built under a melody note (Block Chords). Plain values in and
// out, no host: whoever holds the symbols (the score job reads them from a file) calls it.
#pragma once
#include <string>
#include <vector>

namespace chordsymbols {

// A pitch name without its octave: letter (C = 0 ... B = 6) and alteration in semitones.
struct Tone {
  int step = 0;
  int alter = 0;
};

// A written pitch: its letter, alteration and octave (4 holds middle C).
struct Pitch {
  int step = 0;
  int alter = 0;
  int octave = 4;
};

// The MIDI key a pitch sounds (C4 = 60).
int KeyOf(const Pitch& p);
// A tone in the octave given, and the pitch's tone.
Pitch At(const Tone& t, int octave);
// "Bb4", "F#3"; "Bb" for a tone.
std::string Name(const Pitch& p);
std::string Name(const Tone& t);
// A pitch typed as its name ("E4", "Bb3", "F#5"); false when it is none.
bool ParsePitch(const std::string& text, Pitch* p);

enum class DegreeType { Add, Alter, Subtract };

// A degree the symbol adds, alters or takes away (1 the root, 3 the third, ... 13).
struct Degree {
  int value = 0;
  int alter = 0; // semitones: for an added degree against a dominant chord's, else the kind's
  DegreeType type = DegreeType::Add;
};

// A chord symbol as it is written.
struct Symbol {
  Tone root;
  std::string kind; // the kind's name as MusicXML spells it: "dominant", "minor-seventh", ...
  bool hasBass = false;
  Tone bass;         // the bass named after a slash
  int inversion = 0; // 1: the third in the bass, 2: the fifth, 3: the seventh
  std::vector<Degree> degrees;
};

// Whether a kind names a chord the tool builds; the others ("none", "other", the Italian,
// French and German sixths, "pedal") and unknown names do not.
bool NamesChord(const std::string& kind);

// The places of the four-note form, from the bottom in root position.
enum Place { ROOT, THIRD, FIFTH, SEVENTH, PLACES };

// A tone of a chord: its degree above the root (1, 3, 5, 7, 9, ...), semitones above the
// root, and its name.
struct ChordTone {
  int degree = 1;
  int semitones = 0;
  Tone tone;
};

struct Chord {
  std::vector<ChordTone> tones; // every tone the symbol names, by degree
  ChordTone place[PLACES];      // the four-note form: the tone standing in each place
  bool filled[PLACES] = {};     // false: the place is empty (its degree taken away)
  // The chord tone each place stands for before an extension took it (the root under a
  // ninth); the same as place[] where none did.
  ChordTone primary[PLACES];
  Tone bass; // the root, or the bass the symbol names
};

// The chord a symbol names, its degrees applied. False with the reason when it names none
// ("pedal names no chord") or its degrees are not ones a chord has.
bool Build(const Symbol& symbol, Chord* chord, std::string* why);

// The four-note form's tones, root place first (its empty places left out).
std::vector<ChordTone> Form(const Chord& chord);

enum class Voicing { Close, Drop2, Drop24, Shell, Root };
// "close", "drop2", "drop24", "shell", "root" and back; false for another name.
bool ParseVoicing(const std::string& name, Voicing* v);
const char* VoicingName(Voicing v);
// As a list shows it: "Close", "Drop 2", "Drop 2 and 4", "Shell", "Root".
const char* VoicingLabel(Voicing v);
// Every voicing, in that order.
extern const Voicing VOICINGS[5];

// Where the top note of a realized chord lies, keys inclusive: E4 to A5 by default.
struct Range {
  int low = 64;
  int high = 81;
};
// "E4-A5": two pitches, the second at least eleven semitones above the first, so that every
// tone has a place in it. False with the reason.
bool ParseRange(const std::string& text, Range* range, std::string* error);

// A chord's voicing in one inversion (0: root position; one per place voiced), ascending, its
// lowest note in octave 3: Close stacks the places each the nearest above the one below,
// Drop 2 takes the second note from the top an octave down, Drop 2 and 4 the second and the
// fourth, Shell stacks the root, third and seventh places (the fifth's where the seventh's
// only doubles the root), Root is Close in root position only.
std::vector<Pitch> Voice(const Chord& chord, Voicing v, int inversion);
// How many inversions the voicing has for the chord (1 for Root).
int Inversions(const Chord& chord, Voicing v);

// The chords of a progression realized in the voicing: with leading, for each chord the
// inversion and octave (top note in the range) that make the passage move least in total;
// without, root position with the lowest top note in the range.
std::vector<std::vector<Pitch>> Realize(const std::vector<Chord>& progression, Voicing v,
                                        bool leading, const Range& range);

// A chord's bass in octave 2 or 3, whichever is nearer the bass before (none: key -1, then
// nearer C3).
Pitch BassNote(const Chord& chord, int before);

// A four-note chord with the melody note on top: when the melody is a tone of the chord (of
// its four-note form, or a ninth, eleventh or thirteenth it names) it takes that tone's place
// and the other places follow below it in close position, each the nearest of the rest below
// the one above; otherwise a diminished seventh chord built down from it, a minor third at a
// time, spelled by letters. Ascending; the melody last.
std::vector<Pitch> BlockChord(const Chord& chord, const Pitch& melody);

} // namespace chordsymbols
