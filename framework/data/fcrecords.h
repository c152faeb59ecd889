// The score's records that the library reads: measures, staves (also as they apply at one
// position of a measure), the staff list, a cell's independent detail, and the list of staves.
#pragma once
#include "fcbasedata.h"
#include "fckeysignature.h"

// A measure's time signature as the measure record holds it: two 16-bit values, each with a
// flag byte that marks it as held elsewhere (a composite), in which case it is not written back.
class FCTimeSignature : public __FCBase {
public:
  FCTimeSignature(twobyte beats = 0, twobyte beatDuration = 0)
      : _beats(beats), _beatDuration(beatDuration), _compositeTop(0), _compositeBottom(0) {}
  const char* ClassName() override { return "FCTimeSignature"; }

  twobyte GetBeats() const { return _beats; }
  void SetBeats(twobyte beats) { _beats = beats; }
  twobyte GetBeatDuration() const { return _beatDuration; }
  void SetBeatDuration(twobyte duration) { _beatDuration = duration; }
  bool GetCompositeTop() const { return _compositeTop != 0; }
  void SetCompositeTop(bool state) { _compositeTop = state ? 1 : 0; }
  bool GetCompositeBottom() const { return _compositeBottom != 0; }
  void SetCompositeBottom(bool state) { _compositeBottom = state ? 1 : 0; }

private:
  twobyte _beats;           // first value: beats per measure
  twobyte _beatDuration;    // second value: duration of a beat
  uint8_t _compositeTop;    // set: the first value is not written to the record
  uint8_t _compositeBottom; // set: the second value is not written to the record
};

// A measure: 'SOMS' under the measure number.
class FCMeasure : public __FCNoInciOther {
public:
  FCMeasure();
  const char* ClassName() override { return "FCMeasure"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCMeasure(); }
  EXTAG Tag() override { return 0x534F4D53; }
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

// A staff: 'SOIS' under the staff number.
class FCStaff : public __FCNoInciOther {
public:
  FCStaff();
  const char* ClassName() override { return "FCStaff"; }
  EVERSION EnigmaVersion() override { return 0x0F000000; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCStaff(); }
  EXTAG Tag() override { return 0x534F4953; }
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

// The staff's settings as they apply at one position of one measure: 'SOSC', keyed by staff,
// measure and position. Read-only.
class FCNoteEntry;
class FCCell;

class FCCurrentStaffSpec : public FCStaff {
public:
  const char* ClassName() override { return "FCCurrentStaffSpec"; }
  __FCBaseData* CreateObject() override { return new FCCurrentStaffSpec(); }
  EXTAG Tag() override { return 0x534F5343; }
  bool Save() override { return false; }
  bool Load(utwobyte) override { return false; }
  bool SaveAs(utwobyte) override { return false; }
  bool SaveNew() override { return false; }
  utwobyte GetItemNo() override { return 0; }

  // The settings at a note entry: its staff, its measure and its position in the measure.
  bool Load(FCNoteEntry* entry);
  // The settings in a cell at a position (0: the start of the measure).
  bool Load(FCCell* cell, long position);

  // Loads the staff's settings at a position (duration units from the start of the measure).
  bool _LoadAt(twobyte staff, twobyte measure, fourbyte position);
};

// One entry of the staff list: 'SOIu' under an item number and inci.
class FCSystemStaff : public __FCInciOther {
public:
  FCSystemStaff();
  const char* ClassName() override { return "FCSystemStaff"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCSystemStaff(); }
  EXTAG Tag() override { return 0x534F4975; }
  void CloneMemoryFrom(__FCBaseData* other) override;

  // The staff number (offset 0).
  twobyte GetStaff() const;

  static constexpr int RECORD_SIZE = 24;

private:
  uint8_t _record[RECORD_SIZE]; // the record's bytes
};

// A cell's own settings: 'dtFL', one record per cell.
class FCIndependentCellDetail : public __FCNoInciCellDetail {
public:
  FCIndependentCellDetail();
  const char* ClassName() override { return "FCIndependentCellDetail"; }
  int DataSizeLoad() override { return RECORD_SIZE; }
  int DataSizeSave() override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() override { return new FCIndependentCellDetail(); }
  EXTAG Tag() override { return 0x6474464C; }
  void CloneMemoryFrom(__FCBaseData* other) override;

  // The cell's own key signature value (offset 0).
  twobyte GetKeySignatureValue() const;
  // Bit 0x0800 of the flag word at offset 8: the cell carries its own key signature.
  bool GetHasKeySignature() const;

  static constexpr int RECORD_SIZE = 10;

private:
  uint8_t _record[RECORD_SIZE]; // the record's bytes
};

// The staff list: the 'SOIu' records of one item, in inci order.
class FCSystemStaves : public __FCCollectionInciOther {
public:
  const char* ClassName() override { return "FCSystemStaves"; }
  __FCBaseData* CreateElement() override { return new FCSystemStaff(); }
  FCSystemStaff* GetItemAt(int index) const {
    return static_cast<FCSystemStaff*>(__FCCollection::GetItemAt(index));
  }
};
