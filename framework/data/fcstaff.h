#pragma once
#include "fcbasedata.h"
#include "hostapi/fxtags.h"

// A staff: 'SOIS' under the staff number.
class FCStaff : public __FCNoInciOther {
public:
  FCStaff();
  const char* ClassName() override { return "FCStaff"; }
  EVERSION EnigmaVersion() override { return 0x0F000000; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCStaff(); }
  EXTAG Tag() override { return TAG_SOIS; }
  void CloneMemoryFrom(__FCBaseData* other) override;
  // The first staff is the first record after item 0.
  bool LoadFirst() override;

  // The flag word at offset 22.
  utwobyte GetFlags() const;
  // Bit 0x0001: a note's MIDI key is computed without the key signature.
  bool GetIgnoreKeySignature() const { return (GetFlags() & 0x0001) != 0; }
  // Bit 0x8000: a cell of the staff may carry a key of its own.
  bool GetIndependentKeysAllowed() const { return (GetFlags() & 0x8000) != 0; }

  static constexpr int RECORD_SIZE = 114;

protected:
  uint8_t _record[RECORD_SIZE]; // the record's bytes, zero at creation
};
