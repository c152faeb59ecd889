#include "notename.h"

#include "data/fckeysignature.h"

namespace guide {

namespace {

const char LETTERS[] = "CDEFGAB";              // letter index from C
const int NATURAL[7] = {0, 2, 4, 5, 7, 9, 11}; // semitones of each letter above C
const char SHARP_ORDER[] = "FCGDAEB";          // letters that take the key's sharps, in order
const char FLAT_ORDER[] = "BEADGCF";           // and its flats

struct Key {
  int tonic;  // tonic letter, index from C
  int sharps; // sharps of the signature
  int flats;  // flats of the signature
  bool minor; // minor mode
};

Key Decode(uint16_t keyword) {
  FCKeySignature signature;
  signature.SetKeyWord(keyword);
  int root = signature.CalcScaleRootIndex(); // A = 0 ... G = 6; -1 non-standard
  if (root < 0) return {0, 0, 0, false};
  return {(root + 5) % 7, signature.CalcSharps(), signature.CalcFlats(), (keyword >> 8) == 1};
}

// The key signature's alteration of a letter: +1 sharp, -1 flat, 0 natural.
int SignatureAlteration(const Key& key, int letter) {
  for (int i = 0; i < key.sharps && i < 7; ++i)
    if (SHARP_ORDER[i] == LETTERS[letter]) return 1;
  for (int i = 0; i < key.flats && i < 7; ++i)
    if (FLAT_ORDER[i] == LETTERS[letter]) return -1;
  return 0;
}

std::string Accidentals(int alteration) {
  std::string s;
  for (int i = 0; i < alteration; ++i)
    s += '#';
  for (int i = 0; i > alteration; --i)
    s += 'b';
  return s;
}

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((b - 1 - a) / b);
}

} // namespace

Spelling Spell(int displacement, int raiselower, uint16_t keyword) {
  Key key = Decode(keyword);
  // The tonic sounds from middle C (60) up to B4 (71): C-flat is C-flat 5, B-sharp B-sharp 3.
  int tonicPitch = 60 + NATURAL[key.tonic] + SignatureAlteration(key, key.tonic);
  int tonicOctave = 4 + (tonicPitch < 60 ? 1 : 0) - (tonicPitch > 71 ? 1 : 0);
  int step = tonicOctave * 7 + key.tonic + displacement; // diatonic steps from C0
  int letter = step - 7 * FloorDiv(step, 7);
  return {LETTERS[letter], SignatureAlteration(key, letter) + raiselower, FloorDiv(step, 7)};
}

int MidiKey(const Spelling& s) {
  int letter = static_cast<int>(std::string(LETTERS).find(s.step));
  return 12 * (s.octave + 1) + NATURAL[letter] + s.alter;
}

std::string NoteName(int displacement, int raiselower, uint16_t keyword) {
  Spelling s = Spell(displacement, raiselower, keyword);
  return s.step + Accidentals(s.alter) + std::to_string(s.octave);
}

int SignatureAlter(uint16_t keyword, char step) {
  size_t letter = std::string(LETTERS).find(step);
  return letter < 7 ? SignatureAlteration(Decode(keyword), static_cast<int>(letter)) : 0;
}

int KeyFifths(uint16_t keyword) {
  Key key = Decode(keyword);
  return key.sharps - key.flats;
}

bool KeyIsMinor(uint16_t keyword) {
  return Decode(keyword).minor;
}

std::string KeyName(uint16_t keyword) {
  Key key = Decode(keyword);
  std::string name(1, LETTERS[key.tonic]);
  int alteration = SignatureAlteration(key, key.tonic);
  if (alteration > 0) name += "-sharp";
  if (alteration < 0) name += "-flat";
  return name + (key.minor ? " minor" : " major");
}

} // namespace guide
