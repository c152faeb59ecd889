// A key signature: the host's 16-bit key word and what follows from it. A value holder: the host
// never transfers it by itself; its word comes from a measure or a cell's own detail record.
#pragma once
#include "fcbasedata.h"

class FCKeySignature : public __FCBaseData {
public:
  FCKeySignature() : _accidentalOffset(0), _keyword(0) {}
  const char* ClassName() override { return "FCKeySignature"; }
  // Same key: same mode family (minor, major), tonic letter and accidentals. Any two
  // non-standard keys count as the same.
  bool IsIdentical(__FCBase* other) override;
  bool IsIdentical(FCKeySignature* other);
  int DataSizeLoad() override { return 2; }
  void* Allocate() override { return &_keyword; }
  __FCBaseData* CreateObject() override { return new FCKeySignature(); }
  EXTAG Tag() override { return 0; }
  void CloneMemoryFrom(__FCBaseData* other) override;
  virtual ~FCKeySignature() {}
  bool LoadFirst() override { return false; }

  utwobyte GetKeyWord() const { return _keyword; }
  void SetKeyWord(utwobyte keyword) { _keyword = keyword; }
  twobyte GetAccidentalOffset() const { return _accidentalOffset; }
  void SetAccidentalOffset(twobyte offset) { _accidentalOffset = offset; }

  // Sharps of the key (0 for flat keys and C major / A minor); -1 for a non-standard key.
  twobyte CalcSharps();
  // Flats of the key (0 for sharp keys and C major / A minor); -1 for a non-standard key.
  twobyte CalcFlats();
  // Letter of the tonic, A = 0 ... G = 6; -1 for a non-standard key.
  int CalcScaleRootIndex();
  // Semitones from the tonic at displacement 0 up to a pitch written in this key (displacement
  // and raise/lower, as a note slot holds them); false for a non-standard key, whose scale is
  // the host's.
  bool CalcSemitones(fourbyte displacement, fourbyte raiselower, fourbyte* semitones);

private:
  // The key word with the accidental offset applied (equal to the word for non-standard keys).
  utwobyte _EffectiveKey() const;

  twobyte _accidentalOffset; // its low byte, unsigned, is added to a major or minor key's count
  utwobyte _keyword;         // the host's key format; the record's data block
};
