#pragma once
#include "fcbasedata.h"
#include "hostapi/fxtags.h"

// One entry of the staff list: 'SOIu' under an item number and inci.
class FCSystemStaff : public __FCInciOther {
public:
  FCSystemStaff();
  const char* ClassName() override { return "FCSystemStaff"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCSystemStaff(); }
  EXTAG Tag() override { return TAG_SOIu; }
  void CloneMemoryFrom(__FCBaseData* other) override;

  // The staff number (offset 0).
  twobyte GetStaff() const;

  static constexpr int RECORD_SIZE = 24;

private:
  uint8_t _record[RECORD_SIZE]; // the record's bytes
};
