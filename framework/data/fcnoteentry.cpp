#include "fcnoteentry.h"

#include <cstring>

FCNoteEntry::~FCNoteEntry() {
  delete _pArticulations;
  _pArticulations = nullptr;
}

bool FCNoteEntry::IsNote() const {
  return _pRecord && (_pRecord->flags & ENTRY_NOTE) != 0;
}

bool FCNoteEntry::IsDotted() const {
  twobyte duration = GetDuration();
  for (int plain = 8192; plain >= 4; plain /= 2)
    if (duration == plain) return false;
  return true;
}

void FCNoteEntry::SetNotesChangedFlag() {
  if (!_pRecord) return;
  FLAG_16 flags = _pRecord->flags2;
  Set16BitFlag(&flags, ENTRY2_NOTESCHANGED, true);
  _pRecord->flags2 = flags;
}

void FCNoteEntry::_Reset(EXENTRY* record, EXTGF2005a* frame, twobyte measure, twobyte staff) {
  _MoveElementsTo(&_spareNotes);
  delete _pArticulations;
  _pArticulations = nullptr;
  SetUserData(nullptr);
  _pRecord = record;
  _pFrame = frame;
  _measure = measure;
  _staff = staff;
  _pPrevious = nullptr;
  _pNext = nullptr;
}

FCNote* FCNoteEntry::_NewNote(int index) {
  FCNote* note = static_cast<FCNote*>(_spareNotes._DetachLast());
  if (!note) return new FCNote(index, &_pRecord->notes[index], this);
  note->_Reset(index, &_pRecord->notes[index], this);
  return note;
}

void FCNoteEntry::_UpdateNoteCollection() {
  _MoveElementsTo(&_spareNotes);
  if (!_pRecord) return;
  int count = SoundNoteCount(_pRecord->notecount);
  for (int i = 0; i < count; ++i)
    Add(_NewNote(i));
}

twobyte FCNoteEntry::_FindUniqueNoteID() const {
  // The smallest positive ID no note has. At most twelve notes, so it is at most 13: one bit
  // per ID from 1 to 13 is enough.
  unsigned used = 0;
  for (int i = 0; i < GetCount(); ++i) {
    twobyte id = GetItemAt(i)->GetNoteID();
    if (id >= 1 && id <= MAX_NOTES + 1) used |= 1u << id;
  }
  twobyte candidate = 1;
  while (used & (1u << candidate))
    ++candidate;
  return candidate;
}

FCNote* FCNoteEntry::AddNewNote() {
  if (GetCount() > MAX_NOTES - 1) return nullptr;
  if (!IsNote()) return nullptr;
  int n = GetCount();
  memset(&_pRecord->notes[n], 0, sizeof(ENOTE));
  FCNote* note = _NewNote(n);
  note->SetNoteFlag(NOTE_CREATED, true);
  note->_SetNoteID(_FindUniqueNoteID());
  Add(note);
  // The record now holds exactly the notes the entry shows (a count from the host outside
  // 0..12 was clamped when the notes were built).
  _pRecord->notecount = static_cast<twobyte>(GetCount());
  return note;
}

void FCNoteEntry::_PackEXENTRYNotes() {
  // Most entries have no note marked: nothing to pack.
  bool marked = false;
  for (int i = 0; i < GetCount() && !marked; ++i)
    marked = GetItemAt(i)->IsMarkedForDelete();
  if (!marked && GetCount() <= MAX_NOTES) return;
  ENOTE kept[MAX_NOTES];
  memset(kept, 0, sizeof kept);
  int keptCount = 0;
  for (int i = 0; i < GetCount() && keptCount < MAX_NOTES; ++i) {
    FCNote* note = GetItemAt(i);
    if (note->IsMarkedForDelete()) continue;
    memcpy(&kept[keptCount++], note->_GetNoteSlot(), sizeof(ENOTE));
  }
  if (keptCount == GetCount()) return;
  if (!_pRecord) return;
  if (keptCount == 0) {
    _pRecord->flags &= ~ENTRY_NOTE;
    _pRecord->notecount = 0;
  } else {
    memcpy(_pRecord->notes, kept, keptCount * sizeof(ENOTE));
    _pRecord->notecount = static_cast<twobyte>(keptCount);
  }
  _UpdateNoteCollection();
}

bool FCNoteEntry::DeleteNote(FCNote* note) {
  if (!note || !ElementExists(note)) return false;
  note->MarkForDelete();
  bool anyKept = false;
  for (int i = 0; i < GetCount(); ++i)
    if (!GetItemAt(i)->IsMarkedForDelete()) anyKept = true;
  if (anyKept)
    _PackEXENTRYNotes();
  else
    MakeRest();
  return true;
}

void FCNoteEntry::MakeRest() {
  if (_pRecord) {
    _pRecord->notecount = 0;
    _pRecord->flags &= ~(ENTRY_NOTE | ENTRY_NOTEDETAIL | ENTRY_SPECIALALTS | ENTRY_ARTICULATION);
  }
  _UpdateNoteCollection();
}

// Without a first candidate any note is taken, so that notes of any displacement are found.
FCNote* FCNoteEntry::FindHighestNote(FCNote* below) {
  FCNote* result = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    FCNote* note = GetItemAt(i);
    if (below && !note->IsLowerPitchThan(below)) continue;
    if (!result || note->GetDisplacement() > result->GetDisplacement() ||
        (note->GetDisplacement() == result->GetDisplacement() &&
         note->GetRaiseLower() > result->GetRaiseLower()))
      result = note;
  }
  return result;
}

FCNote* FCNoteEntry::FindLowestNote(FCNote* above) {
  FCNote* result = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    FCNote* note = GetItemAt(i);
    if (above && !note->IsHigherPitchThan(above)) continue;
    if (!result || note->GetDisplacement() < result->GetDisplacement() ||
        (note->GetDisplacement() == result->GetDisplacement() &&
         note->GetRaiseLower() < result->GetRaiseLower()))
      result = note;
  }
  return result;
}

int FCNoteEntry::_CalcTGFIndex() const {
  int count = SoundEntryCount(_pFrame);
  for (int k = 0; k < count; ++k)
    if (&_pFrame->entries[k] == _pRecord) return k;
  return -1;
}
