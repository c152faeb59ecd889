#pragma once
#include "fcbasedata.h"
#include "hostapi/fxtags.h"

// A cell's own settings: 'dtFL', one record per cell.
class FCIndependentCellDetail : public __FCNoInciCellDetail {
public:
  FCIndependentCellDetail();
  const char* ClassName() override { return "FCIndependentCellDetail"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  int DataSizeSave() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCIndependentCellDetail(); }
  EXTAG Tag() override { return TAG_dtFL; }
  void CloneMemoryFrom(__FCBaseData* other) override;

  // The cell's own key signature value (offset 0).
  twobyte GetKeySignatureValue() const;
  // Bit 0x0800 of the flag word at offset 8: the cell carries its own key signature.
  bool GetHasKeySignature() const;

  static constexpr int RECORD_SIZE = 10;

private:
  uint8_t _record[RECORD_SIZE]; // the record's bytes
};
