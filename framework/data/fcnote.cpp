#include "fcnote.h"
#include "fcnoteentry.h"

void FCNote::SetDisplacement(twobyte value) {
  if (_pSlot) _pSlot->displacement = value;
}

void FCNote::SetRaiseLower(twobyte value) {
  if (_pSlot) _pSlot->raiselower = value;
}

void FCNote::_SetNoteID(twobyte id) {
  if (_pSlot) _pSlot->noteID = id;
}

void FCNote::SetNoteFlag(FLAG_32 mask, bool state) {
  if (!_pSlot) return;
  // The slot is packed: work on a copy so that no unaligned pointer is made.
  FLAG_32 flags = _pSlot->flags;
  Set32BitFlag(&flags, mask, state);
  _pSlot->flags = flags;
}

bool FCNote::IsHigherPitchThan(FCNote* other) const {
  if (!other) return false;
  if (GetDisplacement() != other->GetDisplacement())
    return GetDisplacement() > other->GetDisplacement();
  return GetRaiseLower() > other->GetRaiseLower();
}

bool FCNote::IsLowerPitchThan(FCNote* other) const {
  if (!other) return false;
  if (GetDisplacement() != other->GetDisplacement())
    return GetDisplacement() < other->GetDisplacement();
  return GetRaiseLower() < other->GetRaiseLower();
}

bool FCNote::_GetEntryFlag(FLAG_32 mask) const {
  EXENTRY* record = _pEntry ? _pEntry->_GetEntryRecord() : nullptr;
  return record && (record->flags & mask) != 0;
}

void FCNote::_SetEntryFlag(FLAG_32 mask, bool state) {
  EXENTRY* record = _pEntry ? _pEntry->_GetEntryRecord() : nullptr;
  if (!record) return;
  FLAG_32 flags = record->flags;
  Set32BitFlag(&flags, mask, state);
  record->flags = flags;
}

bool FCNote::_GetNoteDetailEntryFlag() const {
  return _GetEntryFlag(ENTRY_NOTEDETAIL);
}
void FCNote::_SetNoteDetailEntryFlag(bool state) {
  _SetEntryFlag(ENTRY_NOTEDETAIL, state);
}
void FCNote::_SetArticulationEntryFlag(bool state) {
  _SetEntryFlag(ENTRY_ARTICULATION, state);
}
bool FCNote::_GetPerformanceDataEntryFlag() const {
  return _GetEntryFlag(ENTRY_PERFORMANCEDATA);
}
void FCNote::_SetPerformanceDataEntryFlag(bool state) {
  _SetEntryFlag(ENTRY_PERFORMANCEDATA, state);
}
bool FCNote::_GetSpecialAltsEntryFlag() const {
  return _GetEntryFlag(ENTRY_SPECIALALTS);
}
void FCNote::_SetSpecialAltsEntryFlag(bool state) {
  _SetEntryFlag(ENTRY_SPECIALALTS, state);
}

ufourbyte FCNote::_GetEntryNumber() const {
  EXENTRY* record = _pEntry ? _pEntry->_GetEntryRecord() : nullptr;
  return record ? record->entnum : 0;
}
