// One entry of an entry frame (a note, a chord or a rest) and at the same time the list of its
// notes. The entry is a view: its record lives in the frame the host handed out.
#pragma once
#include "core/fccollection.h"
#include "fcnote.h"

class FCNoteEntry : public __FCCollection {
public:
  FCNoteEntry()
      : _pRecord(nullptr), _pFrame(nullptr), _measure(0), _staff(0), _pPrevious(nullptr),
        _pNext(nullptr), _pArticulations(nullptr) {}
  FCNoteEntry(EXENTRY* record, EXTGF2005a* frame, twobyte measure, twobyte staff)
      : _pRecord(record), _pFrame(frame), _measure(measure), _staff(staff), _pPrevious(nullptr),
        _pNext(nullptr), _pArticulations(nullptr) {}
  FCNoteEntry(const FCNoteEntry&) = delete;
  FCNoteEntry& operator=(const FCNoteEntry&) = delete;
  const char* ClassName() override { return "FCNoteEntry"; }
  virtual ~FCNoteEntry();

  // The notes, in note-slot order.
  FCNote* GetItemAt(int index) const {
    return static_cast<FCNote*>(__FCCollection::GetItemAt(index));
  }

  bool IsNote() const;
  bool IsRest() const { return !IsNote(); }
  twobyte GetDuration() const { return _pRecord ? _pRecord->duration : 0; }
  // Undotted durations are the powers of two from 8192 down to 4.
  bool IsDotted() const;
  fourbyte GetMeasurePos() const { return _pRecord ? _pRecord->measurepos : 0; }
  twobyte GetMeasure() const { return _measure; }
  twobyte GetStaff() const { return _staff; }
  FCNoteEntry* GetPrevious() const { return _pPrevious; }
  FCNoteEntry* GetNext() const { return _pNext; }
  void SetNotesChangedFlag();

  FCNote* AddNewNote();
  bool DeleteNote(FCNote* note);
  void MakeRest();
  FCNote* FindHighestNote(FCNote* below = nullptr);
  FCNote* FindLowestNote(FCNote* above = nullptr);
  // The first note (marked ones included) of identical pitch; none for a rest.
  FCNote* FindPitch(FCNote* pitch);

  // Points a kept entry object at another record, as if it were new: no links, no cache and no
  // notes until _UpdateNoteCollection. How a cell reuses its entry objects.
  void _Reset(EXENTRY* record, EXTGF2005a* frame, twobyte measure, twobyte staff);
  void _UpdateNoteCollection();
  void _PackEXENTRYNotes();
  twobyte _FindUniqueNoteID() const;
  int _CalcTGFIndex() const;

  EXENTRY* _GetEntryRecord() const { return _pRecord; }
  EXTGF2005a* _GetFrame() const { return _pFrame; }
  void _SetPrevious(FCNoteEntry* entry) { _pPrevious = entry; }
  void _SetNext(FCNoteEntry* entry) { _pNext = entry; }

private:
  // A note object for the slot: a kept one when there is one, else a new one.
  FCNote* _NewNote(int index);

  EXENTRY* _pRecord;               // the entry's record inside its frame; not owned
  EXTGF2005a* _pFrame;             // the frame holding the record; not owned
  twobyte _measure;                // measure number, from the frame
  twobyte _staff;                  // staff number of the frame's slot
  FCNoteEntry* _pPrevious;         // entry before this one in the same layer of the cell
  FCNoteEntry* _pNext;             // entry after this one in the same layer of the cell
  __FCCollection* _pArticulations; // owned articulation cache; none until filled
  __FCCollection _spareNotes;      // owned note objects of earlier builds, kept for reuse
};
