// Note and key names for the guide: a note as the host stores it (displacement from the key's
// tonic and raise/lower) spelled as a letter, accidentals and octave, for example "F#4".
#pragma once
#include <cstdint>
#include <string>

namespace guide {

// A note as the host stores it.
struct Pitch {
  int16_t displacement; // scale steps from the key's tonic
  int16_t raiselower;   // alteration beyond the key signature
};

// A note spelled: its letter, its alteration in semitones and its octave (4 from middle C).
struct Spelling {
  char step;  // 'A' to 'G'
  int alter;  // sharps positive, flats negative
  int octave; // scientific pitch octave
};

// The note spelled in the key, as NoteName writes it.
Spelling Spell(int displacement, int raiselower, uint16_t keyword);

// The sounding key of a spelled note as a MIDI number (middle C is 60).
int MidiKey(const Spelling& s);

// The alteration the key signature gives a letter: +1 sharp, -1 flat, 0 none.
int SignatureAlter(uint16_t keyword, char step);

// The key signature: its fifths (sharps positive, flats negative) and whether it is minor.
int KeyFifths(uint16_t keyword);
bool KeyIsMinor(uint16_t keyword);

// The note's name in the key: displacement 0 is the tonic in the octave from middle C (C4)
// upward, each step the next letter of the scale, spelled with the key signature's accidental
// for that letter plus the note's own raise/lower ("#", "b", doubled and beyond as needed).
// A key word the tool calls non-standard counts as C major, as the host's pitch arithmetic
// does.
std::string NoteName(int displacement, int raiselower, uint16_t keyword);

// "C major", "B-flat major", "F-sharp minor"; "C major" for a non-standard key word.
std::string KeyName(uint16_t keyword);

} // namespace guide
