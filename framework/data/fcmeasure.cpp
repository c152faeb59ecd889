#include "fcmeasure.h"

#include <cstring>

FCMeasure::FCMeasure() : _pKeySig(nullptr), _pTimeSig(nullptr), _pDisplayTimeSig(nullptr) {
  memset(_record, 0, sizeof _record);
}

FCMeasure::~FCMeasure() {
  delete _pKeySig;
  delete _pTimeSig;
  delete _pDisplayTimeSig;
}

twobyte FCMeasure::_RecordWord(int offset) const {
  return RecordWord(_record, offset);
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
