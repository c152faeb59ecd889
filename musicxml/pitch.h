// Pitches as the file spells them and as the host stores them: a displacement from the tonic
// of the key in effect and a raise/lower against the key signature.
#pragma once
#include <cstdint>

namespace musicxml {

// The key in effect on one staff: what the host's key word says, and the key signature's
// alteration of each letter (C = 0 ... B = 6) for the accidentals a reader expects.
struct Key {
  uint16_t word = 0;         // the host's key word (mode in the high byte, fifths in the low)
  bool expressible = true;   // false: no major or minor key word holds it; word stays 0
  bool spellable = true;     // false: its signature needs more than triple sharps or flats
  int8_t signature[7] = {0}; // alteration of each letter in the key signature
};

// The most sharps or flats of a traditional key whose signature a file can spell.
const int kWidestKey = 21;

// A traditional key: fifths -21..21, minor or not. Past seven sharps or flats the host holds
// the key seven fifths nearer C: the same tonic letter, every letter one semitone away, so
// scale steps are the same; raise/lower stays counted against the written signature, and the
// written key comes back. Past 21 the key is not spellable (its chords are left alone).
Key TraditionalKey(int fifths, bool minor);
// A key of explicit letter alterations (key-step/key-alter): the traditional key when the
// letters make one, else a key no major or minor key word holds (the host is given its letters
// as a key of the document's own) with its displacements counted from C and raise/lower
// against the written signature, so that the key's own accidental of a letter is a raise/lower
// of 0 there as in every other key.
Key ExplicitKey(const int8_t signature[7]);

// A written pitch: letter (C = 0 ... B = 6), octave (4 holds middle C) and alteration.
struct Spelling {
  int step = 0;
  int octave = 4;
  int alter = 0;
};

// Displacement and raise/lower of a written pitch in the key, and back; exact inverses.
void ToHost(const Key& key, const Spelling& s, int* displacement, int* raiselower);
Spelling FromHost(const Key& key, int displacement, int raiselower);

// The interval from what a staff shows to what sounds, in steps and semitones, octave change
// included (-1 and -2 for a B-flat clarinet, -8 and -14 for a tenor saxophone).
struct Transposition {
  int diatonic = 0;
  int chromatic = 0;
  bool Any() const { return diatonic != 0 || chromatic != 0; }
};

// What sounds for a written pitch, and what is written for a sounding one; exact inverses. The
// letter moves by the steps, the alteration makes up the semitones.
Spelling Sounding(const Spelling& written, const Transposition& t);
Spelling Written(const Spelling& sounding, const Transposition& t);
// The key that sounds for a written key: the tonic moved as a note is, the mode kept. A key of
// explicit alterations is kept as it is (the host holds it as a key of the document's own).
Key SoundingKey(const Key& written, const Transposition& t);

// "C", "D", ... and the letter index of a step name, -1 when it is none.
char StepLetter(int step);
int StepIndex(const char* name);

} // namespace musicxml
