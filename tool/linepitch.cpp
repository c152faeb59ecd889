#include "linepitch.h"

#include "data/fccell.h"
#include "data/fckeysignature.h"

namespace {

const int NATURAL[7] = {0, 2, 4, 5, 7, 9, 11}; // semitones of C D E F G A B above C

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((b - 1 - a) / b);
}

int Mod(int a, int b) {
  int m = a % b;
  return m < 0 ? m + b : m;
}

// A key as the host reads its word: the tonic's diatonic number (7 to the octave, middle C is
// 28) where displacement 0 lies, and the signature's alteration of each letter. A word of
// another format than a major or minor key counts as C major.
struct KeyFrame {
  int tonic = 28;
  int signature[7] = {0};
};

KeyFrame FrameOf(utwobyte keyword) {
  KeyFrame k;
  if ((keyword & 0xC000) != 0 || (keyword >> 8) > 1) return k;
  bool minor = (keyword >> 8) == 1;
  int fifths = static_cast<signed char>(keyword & 0xFF);
  if (fifths < -7 || fifths > 7) return k;
  int letter = Mod(4 * fifths + (minor ? 5 : 0), 7);
  int semitone = Mod((minor ? 9 : 0) + 7 * fifths, 12);
  // The tonic's pitch class in the octave from middle C upward.
  k.tonic = 7 * (FloorDiv(60 + semitone - NATURAL[letter] + 6, 12) - 1) + letter;
  static const int sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6}; // F C G D A E B
  for (int i = 0; i < fifths; ++i)
    ++k.signature[sharpOrder[i]];
  for (int i = 0; i < -fifths; ++i)
    --k.signature[sharpOrder[6 - i]];
  return k;
}

// Semitones of a natural letter above C0.
int NaturalSemitones(int diatonic) {
  return 12 * FloorDiv(diatonic, 7) + NATURAL[Mod(diatonic, 7)];
}

} // namespace

StaffPlace LoadStaffPlace(twobyte measure, twobyte staff) {
  StaffPlace place;
  FCCell cell(measure, staff);
  if (FCKeySignature* key = cell.GetKeySignature()) place.keyword = key->GetKeyWord();
  return place;
}

bool CarryPitch(const StaffPlace& from, const StaffPlace& to, twobyte* displacement,
                twobyte* raiselower) {
  if (from.keyword == to.keyword) return true;
  KeyFrame a = FrameOf(from.keyword), b = FrameOf(to.keyword);
  int diatonic = a.tonic + *displacement;
  int semitones = NaturalSemitones(diatonic) + *raiselower + a.signature[Mod(diatonic, 7)];
  int alter = semitones - NaturalSemitones(diatonic);
  int d = diatonic - b.tonic;
  int r = alter - b.signature[Mod(diatonic, 7)];
  if (d < -0x8000 || d > 0x7FFF || r < -0x8000 || r > 0x7FFF) return false;
  *displacement = static_cast<twobyte>(d);
  *raiselower = static_cast<twobyte>(r);
  return true;
}
