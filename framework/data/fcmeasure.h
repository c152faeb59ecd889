#pragma once
#include "fcbasedata.h"
#include "fckeysignature.h"
#include "fctimesignature.h"
#include "hostapi/fxtags.h"

// A measure: 'SOMS' under the measure number.
class FCMeasure : public __FCNoInciOther {
public:
  FCMeasure();
  const char* ClassName() override { return "FCMeasure"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCMeasure(); }
  EXTAG Tag() override { return TAG_SOMS; }
  void CloneMemoryFrom(__FCBaseData* other) override;
  virtual ~FCMeasure();
  // Writes the companions back into the record, then saves it.
  bool Save() override;
  bool LoadNext() override;
  bool Load(utwobyte item) override;

  // The key signature value of the record (offset 2).
  twobyte GetKeySignatureValue() const;
  // The measure's key signature, made from the record on first use; owned by the measure and
  // written back by Save().
  FCKeySignature* GetKeySignature();
  // The measure's time signature (offsets 4 and 6) and the one it shows (offsets 12 and 14),
  // made from the record on first use; owned by the measure and written back by Save().
  FCTimeSignature* GetTimeSignature();
  FCTimeSignature* GetTimeSignatureForDisplay();

  static constexpr int RECORD_SIZE = 26;

private:
  // A new load makes the companions show the new record.
  void _RefreshCompanions();
  twobyte _RecordWord(int offset) const;
  void _SetRecordWord(int offset, twobyte value);

  FCKeySignature* _pKeySig;          // owned; none until asked for
  FCTimeSignature* _pTimeSig;        // owned; none until asked for
  FCTimeSignature* _pDisplayTimeSig; // owned; none until asked for
  uint8_t _record[RECORD_SIZE];      // the record's bytes
};
