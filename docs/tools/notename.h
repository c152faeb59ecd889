// Note and key names for the guide: a note as the host stores it (displacement from the key's
// tonic and raise/lower) spelled as a letter, accidentals and octave, for example "F#4".
#pragma once
#include <cstdint>
#include <string>

namespace guide {

// The note's name in the key: displacement 0 is the tonic in the octave from middle C (C4)
// upward, each step the next letter of the scale, spelled with the key signature's accidental
// for that letter plus the note's own raise/lower ("#", "b", doubled and beyond as needed).
// A key word the tool calls non-standard counts as C major, as the host's pitch arithmetic
// does.
std::string NoteName(int displacement, int raiselower, uint16_t keyword);

// "C major", "B-flat major", "F-sharp minor"; "C major" for a non-standard key word.
std::string KeyName(uint16_t keyword);

} // namespace guide
