#include "fckeysignature.h"

#include <cstring>

namespace {

const utwobyte NONSTANDARD_BITS = 0xC000;

// Mode of a key word: 0 major, 1 minor, other values non-standard; -1 when either of the
// non-standard bits is set.
int Mode(utwobyte k) {
  return (k & NONSTANDARD_BITS) ? -1 : k >> 8;
}

// Accidentals of a key word: sharps positive, flats negative; the whole word for a key with a
// non-standard bit.
int Value(utwobyte k) {
  if (k & NONSTANDARD_BITS) return static_cast<twobyte>(k);
  return static_cast<int8_t>(k & 0xFF);
}

bool Standard(utwobyte k) {
  return Mode(k) == 0 || Mode(k) == 1;
}

} // namespace

utwobyte FCKeySignature::_EffectiveKey() const {
  int mode = Mode(_keyword);
  int count = (Value(_keyword) + (_accidentalOffset & 0xFF)) & 0xFF; // wraps at 8 bits
  if (mode == 1) return static_cast<utwobyte>(0x100 | count);
  if (mode == 0) return static_cast<utwobyte>(count);
  return _keyword;
}

twobyte FCKeySignature::CalcSharps() {
  if (!Standard(_keyword)) return -1;
  int v = Value(_EffectiveKey());
  return static_cast<twobyte>(v > 0 ? v : 0);
}

twobyte FCKeySignature::CalcFlats() {
  if (!Standard(_keyword)) return -1;
  int v = Value(_EffectiveKey());
  return static_cast<twobyte>(v < 0 ? -v : 0);
}

int FCKeySignature::CalcScaleRootIndex() {
  static const int kMajor[8] = {2, 6, 3, 0, 4, 1, 5, 2};
  static const int kMinor[8] = {0, 4, 1, 5, 2, 6, 3, 0};
  if (!Standard(_keyword)) return -1;
  const int* table = Mode(_EffectiveKey()) == 1 ? kMinor : kMajor;
  int flats = CalcFlats();
  int index = flats ? 7 - (flats % 7) : CalcSharps() % 7;
  return table[index];
}

bool FCKeySignature::CalcSemitones(fourbyte displacement, fourbyte raiselower,
                                   fourbyte* semitones) {
  static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
  static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10}; // as the signature writes it
  if (!Standard(_keyword) || !semitones) return false;
  const int* scale = Mode(_EffectiveKey()) == 1 ? kMinor : kMajor;
  fourbyte octave = displacement >= 0 ? displacement / 7 : -((6 - displacement) / 7);
  *semitones = 12 * octave + scale[displacement - 7 * octave] + raiselower;
  return true;
}

bool FCKeySignature::IsIdentical(FCKeySignature* other) {
  if (!other) return false;
  int mine = Mode(_EffectiveKey()), theirs = Mode(other->_EffectiveKey());
  if ((mine == 1) != (theirs == 1)) return false;
  if ((mine == 0) != (theirs == 0)) return false;
  if (CalcScaleRootIndex() != other->CalcScaleRootIndex()) return false;
  if (CalcFlats() != other->CalcFlats()) return false;
  return CalcSharps() == other->CalcSharps();
}

bool FCKeySignature::IsIdentical(__FCBase* other) {
  if (!other || strcmp(other->ClassName(), "FCKeySignature") != 0) return false;
  return IsIdentical(static_cast<FCKeySignature*>(other));
}

void FCKeySignature::CloneMemoryFrom(__FCBaseData* other) {
  if (other && strcmp(other->ClassName(), "FCKeySignature") == 0) {
    FCKeySignature* key = static_cast<FCKeySignature*>(other);
    _accidentalOffset = key->_accidentalOffset;
    _keyword = key->_keyword;
  }
  _SetDataBlock(&_keyword);
  _SetLoadedSize(DataSizeLoad());
}
