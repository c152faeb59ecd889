#include "pitch.h"

namespace musicxml {

namespace {
const int kNatural[7] = {0, 2, 4, 5, 7, 9, 11}; // semitones of C D E F G A B above C

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((b - 1 - a) / b);
}

int Mod(int a, int b) {
  int m = a % b;
  return m < 0 ? m + b : m;
}

// The diatonic number (7 per octave, C4 = 28) of displacement 0: the tonic where the host
// puts it, the first tonic at or above middle C's pitch class count.
int TonicNumber(const Key& key) {
  if (!key.expressible) return 28;
  int fifths = static_cast<int8_t>(key.word & 0xFF);
  bool minor = (key.word >> 8) == 1;
  int letter = Mod(4 * fifths + (minor ? 5 : 0), 7);
  int semitone = Mod((minor ? 9 : 0) + 7 * fifths, 12);
  int octave = FloorDiv(60 + semitone - kNatural[letter] + 6, 12) - 1;
  return 7 * octave + letter;
}

int NaturalSemitones(int diatonic) {
  return 12 * FloorDiv(diatonic, 7) + kNatural[Mod(diatonic, 7)];
}

// A spelling moved by steps and semitones: both ways of a transposition.
Spelling Move(const Spelling& s, int diatonic, int chromatic) {
  int from = 7 * s.octave + s.step, to = from + diatonic;
  Spelling out;
  out.octave = FloorDiv(to, 7);
  out.step = to - 7 * out.octave;
  out.alter = NaturalSemitones(from) + s.alter + chromatic - NaturalSemitones(to);
  return out;
}
} // namespace

Key TraditionalKey(int fifths, bool minor) {
  Key k;
  if (fifths < -kWidestKey || fifths > kWidestKey) {
    k.expressible = false;
    k.spellable = false;
    return k;
  }
  int held = fifths;
  while (held > 7)
    held -= 7;
  while (held < -7)
    held += 7;
  k.word = static_cast<uint16_t>((minor ? 0x100 : 0) | (held & 0xFF));
  // Sharps come in the order F C G D A E B, flats in the reverse; past seven they come round
  // again as double sharps or flats.
  static const int sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};
  for (int i = 0; i < fifths; ++i)
    ++k.signature[sharpOrder[i % 7]];
  for (int i = 0; i < -fifths; ++i)
    --k.signature[sharpOrder[6 - i % 7]];
  return k;
}

Key ExplicitKey(const int8_t signature[7]) {
  // Letters given one by one that make a traditional signature are that key.
  for (int fifths = -7; fifths <= 7; ++fifths) {
    Key k = TraditionalKey(fifths, false);
    bool same = true;
    for (int i = 0; i < 7; ++i)
      same = same && k.signature[i] == signature[i];
    if (same) return k;
  }
  Key k;
  k.expressible = false;
  for (int i = 0; i < 7; ++i)
    k.signature[i] = signature[i];
  return k;
}

void ToHost(const Key& key, const Spelling& s, int* displacement, int* raiselower) {
  *displacement = 7 * s.octave + s.step - TonicNumber(key);
  *raiselower = s.alter - key.signature[s.step];
}

Spelling FromHost(const Key& key, int displacement, int raiselower) {
  int n = TonicNumber(key) + displacement;
  Spelling s;
  s.octave = FloorDiv(n, 7);
  s.step = n - 7 * s.octave;
  s.alter = raiselower + key.signature[s.step];
  return s;
}

Spelling Sounding(const Spelling& written, const Transposition& t) {
  return Move(written, t.diatonic, t.chromatic);
}

Spelling Written(const Spelling& sounding, const Transposition& t) {
  return Move(sounding, -t.diatonic, -t.chromatic);
}

Key SoundingKey(const Key& written, const Transposition& t) {
  if (!written.expressible || !t.Any()) return written;
  int fifths = 0;
  for (int8_t a : written.signature)
    fifths += a;
  // An interval of d steps and c semitones is 7c - 12d fifths (a major second: two).
  return TraditionalKey(fifths + 7 * t.chromatic - 12 * t.diatonic, (written.word >> 8) == 1);
}

char StepLetter(int step) {
  return "CDEFGAB"[Mod(step, 7)];
}

int StepIndex(const char* name) {
  if (!name || !name[0] || name[1]) return -1;
  switch (name[0]) {
  case 'C':
    return 0;
  case 'D':
    return 1;
  case 'E':
    return 2;
  case 'F':
    return 3;
  case 'G':
    return 4;
  case 'A':
    return 5;
  case 'B':
    return 6;
  default:
    return -1;
  }
}

} // namespace musicxml
