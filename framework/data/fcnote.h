// One note of an entry, viewed in place in the entry's record, and a free-standing pitch.
#pragma once
#include "core/fcbase.h"
#include "hostapi/fxrecords.h"

class FCNoteEntry;

// A view over one 10-byte note slot of an entry record. Reading and changing a note reads and
// changes the frame the entry lives in.
class FCNote : public __FCBase {
public:
  FCNote(int index, ENOTE* slot, FCNoteEntry* entry)
      : _markedForDelete(false), _index(index), _pSlot(slot), _pEntry(entry) {}
  const char* ClassName() override { return "FCNote"; }

  twobyte GetDisplacement() const { return _pSlot ? _pSlot->displacement : 0; }
  void SetDisplacement(twobyte value);
  twobyte GetRaiseLower() const { return _pSlot ? _pSlot->raiselower : 0; }
  void SetRaiseLower(twobyte value);
  twobyte GetNoteID() const { return _pSlot ? _pSlot->noteID : 0; }
  FLAG_32 GetNoteFlags() const { return _pSlot ? _pSlot->flags : 0; }
  void SetNoteFlag(FLAG_32 mask, bool state);

  // A marked note stays in its entry, counts and is found, until the entry is packed.
  void MarkForDelete() { _markedForDelete = true; }
  bool IsMarkedForDelete() const { return _markedForDelete; }
  FCNoteEntry* GetEntry() const { return _pEntry; }
  int GetIndex() const { return _index; }

  // Written pitch order: displacement first, then raise/lower; strict both ways.
  bool IsHigherPitchThan(FCNote* other) const;
  bool IsLowerPitchThan(FCNote* other) const;

  // Sounding pitch as the host computes it from the slot and the key in effect (key word 0
  // when the staff ignores the key signature, or for a pitch without an entry).
  twobyte CalcMIDIKey();
  // The key word the host pitches the note in: its cell's key, 0 when the staff ignores the key
  // signature or for a pitch without an entry.
  utwobyte CalcKeyWordInEffect();
  // Same written pitch when both are in the same key (or either has no entry), else the same
  // sounding pitch.
  bool IsIdenticalPitch(FCNote* other);
  // Letter of the note, 'A' to 'G'; 0 for a note of a rest, without an entry, or in a key
  // that names no tonic.
  int CalcPitchChar();

  // Flags of the note's own entry record.
  bool _GetNoteDetailEntryFlag() const;
  void _SetNoteDetailEntryFlag(bool state);
  void _SetArticulationEntryFlag(bool state);
  bool _GetPerformanceDataEntryFlag() const;
  void _SetPerformanceDataEntryFlag(bool state);
  bool _GetSpecialAltsEntryFlag() const;
  void _SetSpecialAltsEntryFlag(bool state);
  // The entry number of the note's entry; 0 when the entry has no record.
  ufourbyte _GetEntryNumber() const;

  // Points a kept note object at another slot, as if it were new: how an entry reuses its note
  // objects when it rebuilds its notes.
  void _Reset(int index, ENOTE* slot, FCNoteEntry* entry) {
    SetUserData(nullptr);
    _markedForDelete = false;
    _index = index;
    _pSlot = slot;
    _pEntry = entry;
  }

  // The entry gives a new note its identifier; frame cleaning mirrors it into the flags.
  void _SetNoteID(twobyte id);
  ENOTE* _GetNoteSlot() const { return _pSlot; }

protected:
  bool _GetEntryFlag(FLAG_32 mask) const;
  void _SetEntryFlag(FLAG_32 mask, bool state);

  bool _markedForDelete; // dropped from the record at the entry's next packing
  fourbyte _index;       // index of the note's slot in the entry record
  ENOTE* _pSlot;         // the note's slot; not owned
  FCNoteEntry* _pEntry;  // the owning entry, or null for a free-standing pitch; not owned
};

// A pitch to search for: its own zeroed slot, index 0 and no entry.
class FCNotePitch : public FCNote {
public:
  FCNotePitch() : FCNote(0, nullptr, nullptr), _slot() { _pSlot = &_slot; }
  FCNotePitch(const FCNotePitch&) = delete;
  FCNotePitch& operator=(const FCNotePitch&) = delete;
  const char* ClassName() override { return "FCNotePitch"; }

private:
  ENOTE _slot; // the pitch's own note slot
};
