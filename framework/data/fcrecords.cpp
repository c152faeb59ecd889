#include "fcrecords.h"

#include "fccell.h"
#include "fcnoteentry.h"

#include <cstring>

namespace {

twobyte ReadWord(const uint8_t* record, int offset) {
  twobyte w;
  memcpy(&w, record + offset, 2);
  return w;
}

} // namespace

// ---- FCMeasure ----------------------------------------------------------------------------------

FCMeasure::FCMeasure() : _pKeySig(nullptr), _pTimeSig(nullptr), _pDisplayTimeSig(nullptr) {
  memset(_record, 0, sizeof _record);
}

FCMeasure::~FCMeasure() {
  delete _pKeySig;
  delete _pTimeSig;
  delete _pDisplayTimeSig;
}

twobyte FCMeasure::_RecordWord(int offset) const {
  return ReadWord(_record, offset);
}

void FCMeasure::_SetRecordWord(int offset, twobyte value) {
  memcpy(_record + offset, &value, 2);
}

twobyte FCMeasure::GetKeySignatureValue() const {
  return _RecordWord(2);
}

FCKeySignature* FCMeasure::GetKeySignature() {
  if (!_pKeySig) {
    _pKeySig = new FCKeySignature();
    _pKeySig->SetKeyWord(static_cast<utwobyte>(_RecordWord(2)));
  }
  return _pKeySig;
}

FCTimeSignature* FCMeasure::GetTimeSignature() {
  if (!_pTimeSig) _pTimeSig = new FCTimeSignature(_RecordWord(4), _RecordWord(6));
  return _pTimeSig;
}

FCTimeSignature* FCMeasure::GetTimeSignatureForDisplay() {
  if (!_pDisplayTimeSig) _pDisplayTimeSig = new FCTimeSignature(_RecordWord(12), _RecordWord(14));
  return _pDisplayTimeSig;
}

void FCMeasure::_RefreshCompanions() {
  if (_pKeySig) _pKeySig->SetKeyWord(static_cast<utwobyte>(_RecordWord(2)));
  if (_pTimeSig) {
    _pTimeSig->SetBeats(_RecordWord(4));
    _pTimeSig->SetBeatDuration(_RecordWord(6));
  }
  if (_pDisplayTimeSig) {
    _pDisplayTimeSig->SetBeats(_RecordWord(12));
    _pDisplayTimeSig->SetBeatDuration(_RecordWord(14));
  }
}

bool FCMeasure::Load(utwobyte item) {
  bool loaded = __FCNoInciOther::Load(item);
  if (loaded) _RefreshCompanions();
  return loaded;
}

bool FCMeasure::LoadNext() {
  bool loaded = __FCNoInciOther::LoadNext();
  if (loaded) _RefreshCompanions();
  return loaded;
}

bool FCMeasure::Save() {
  if (_pKeySig) _SetRecordWord(2, static_cast<twobyte>(_pKeySig->GetKeyWord()));
  const struct {
    FCTimeSignature* sig;
    int offset;
  } sigs[] = {{_pTimeSig, 4}, {_pDisplayTimeSig, 12}};
  for (auto& s : sigs) {
    if (!s.sig) continue;
    if (!s.sig->GetCompositeTop()) _SetRecordWord(s.offset, s.sig->GetBeats());
    if (!s.sig->GetCompositeBottom()) _SetRecordWord(s.offset + 2, s.sig->GetBeatDuration());
  }
  return __FCNoInciOther::Save();
}

void FCMeasure::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}

// ---- FCStaff and FCCurrentStaffSpec -------------------------------------------------------------

FCStaff::FCStaff() {
  memset(_record, 0, sizeof _record);
}

utwobyte FCStaff::GetFlags() const {
  return static_cast<utwobyte>(ReadWord(_record, 22));
}

bool FCStaff::LoadFirst() {
  _SetKeyWord(0, 0);
  _SetKeyWord(1, 0);
  return LoadNext();
}

void FCStaff::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}

bool FCCurrentStaffSpec::Load(FCNoteEntry* entry) {
  if (!entry) return false;
  return _LoadAt(entry->GetStaff(), entry->GetMeasure(), entry->GetMeasurePos());
}

bool FCCurrentStaffSpec::Load(FCCell* cell, long position) {
  if (!cell) return false;
  return _LoadAt(static_cast<twobyte>(cell->GetStaff()), static_cast<twobyte>(cell->GetMeasure()),
                 static_cast<fourbyte>(position));
}

bool FCCurrentStaffSpec::_LoadAt(twobyte staff, twobyte measure, fourbyte position) {
  _SetKeyWord(0, static_cast<utwobyte>(staff));
  _SetKeyWord(1, static_cast<utwobyte>(measure));
  _SetKeyFourbyte(4, position);
  return LoadDataBlock();
}

// ---- FCSystemStaff ------------------------------------------------------------------------------

FCSystemStaff::FCSystemStaff() {
  memset(_record, 0, sizeof _record);
}

twobyte FCSystemStaff::GetStaff() const {
  return ReadWord(_record, 0);
}

void FCSystemStaff::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}

// ---- FCIndependentCellDetail --------------------------------------------------------------------

FCIndependentCellDetail::FCIndependentCellDetail() {
  memset(_record, 0, sizeof _record);
}

twobyte FCIndependentCellDetail::GetKeySignatureValue() const {
  return ReadWord(_record, 0);
}

bool FCIndependentCellDetail::GetHasKeySignature() const {
  return (static_cast<utwobyte>(ReadWord(_record, 8)) & 0x0800) != 0;
}

void FCIndependentCellDetail::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}
