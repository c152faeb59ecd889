#include "fcmusicregion.h"

#include <cstring>

#include "fccell.h"
#include "core/fccollection.h"
#include "fcnoteentry.h"
#include "fcmeasure.h"
#include "fcstaff.h"
#include "fxbridge.h"

namespace {
// Slots and measures are 16-bit: every walk over them is bounded by this.
const int LAST_NUMBER = 0x7FFF;
} // namespace

FCMusicRegion::FCMusicRegion(EREGION* region) : _document(0), _clipToken(0) {
  memset(&_region, 0, sizeof _region);
  if (region) SetEnigmaRegion(region);
}

void FCMusicRegion::SetEnigmaRegion(EREGION* region) {
  if (region) memcpy(&_region, region, sizeof _region);
  _document = FX_GetCurrentEnigmaDocument();
}

// Asks the host for the selection and the whole-document region (the first 20 bytes of the
// 32-byte area); takes one of the two and answers whether the document has a selection.
bool FCMusicRegion::_TakeFromHost(bool wholeDocument) {
  fourbyte unused = 0;
  EREGION selection;
  BYTE area[32];
  memset(&selection, 0, sizeof selection);
  memset(area, 0, sizeof area);
  twobyte result = FX_GetCurERegions(&unused, &selection, area);
  if (wholeDocument)
    memcpy(&_region, area, sizeof _region);
  else
    memcpy(&_region, &selection, sizeof _region);
  _document = FX_GetCurrentEnigmaDocument();
  return result != 0;
}

bool FCMusicRegion::SetCurrentSelection() {
  return _TakeFromHost(false);
}

bool FCMusicRegion::SetFullDocument() {
  _TakeFromHost(true);
  return true;
}

bool FCMusicRegion::IsStaffIncluded(twobyte staff) {
  twobyte slot = FX_InstToSlot(staff, _region.startinstlist);
  return slot > 0 && slot >= _region.startslot && slot <= _region.endslot;
}

bool FCMusicRegion::IsCurrentDocument() {
  return _document == FX_GetCurrentEnigmaDocument();
}

void FCMusicRegion::SetInDocument() {
  if (IsCurrentDocument()) FX_SetCurERegion(&_region);
}

void FCMusicRegion::SetRegion(FCMusicRegion* other) {
  if (!other) return;
  memcpy(&_region, &other->_region, sizeof _region);
  _document = other->_document;
}

void FCMusicRegion::AssureSortedStaves() {
  if (_region.endslot >= _region.startslot) return;
  twobyte start = _region.startslot;
  _region.startslot = _region.endslot;
  _region.endslot = start;
}

bool FCMusicRegion::IsMeasureIncluded(twobyte measure) const {
  return measure >= _region.startmeas && measure <= _region.endmeas;
}

bool FCMusicRegion::IsPartial() const {
  return _region.startpos != 0 || _region.endpos != REGION_TO_END;
}

bool FCMusicRegion::IsMeasurePosWithin(int measure, fourbyte pos) const {
  if (measure < _region.startmeas || measure > _region.endmeas) return false;
  if (measure == _region.startmeas && pos < _region.startpos) return false;
  if (measure == _region.endmeas && pos > _region.endpos) return false;
  return true;
}

bool FCMusicRegion::IsFullMeasureIncluded(twobyte measure) const {
  return IsMeasurePosWithin(measure, 0) && IsMeasurePosWithin(measure, REGION_TO_END);
}

bool FCMusicRegion::IsStartPos(int measure, fourbyte pos) const {
  return measure == _region.startmeas && pos == _region.startpos;
}

bool FCMusicRegion::IsCellPosWithin(FCCell* cell, fourbyte pos) {
  if (!cell) return false;
  return IsStaffIncluded(static_cast<twobyte>(cell->GetStaff())) &&
         IsMeasurePosWithin(cell->GetMeasure(), pos);
}

bool FCMusicRegion::IsEntryPosWithin(FCNoteEntry* entry) {
  if (!entry) return false;
  return IsStaffIncluded(entry->GetStaff()) &&
         IsMeasurePosWithin(entry->GetMeasure(), entry->GetMeasurePos());
}

bool FCMusicRegion::IsOverlapping(FCMusicRegion* other) {
  if (!other) return false;
  const EREGION& a = _region;
  const EREGION& b = other->_region;
  if (a.endmeas < b.startmeas || b.endmeas < a.startmeas) return false;
  if (a.endmeas == b.startmeas && b.startpos > a.endpos) return false;
  if (b.endmeas == a.startmeas && a.startpos > b.endpos) return false;
  // The other region's staves, asked once each, then this region's slots against them.
  int first = b.startslot;
  int count = b.endslot >= b.startslot ? b.endslot - b.startslot + 1 : 0;
  if (count == 0) return false;
  twobyte* staves = new twobyte[count];
  for (int i = 0; i < count; ++i)
    staves[i] = FX_SlotToInst(static_cast<twobyte>(first + i), b.startinstlist);
  bool overlapping = false;
  for (int slot = a.startslot; slot <= a.endslot && !overlapping; ++slot) {
    twobyte staff = FX_SlotToInst(static_cast<twobyte>(slot), a.startinstlist);
    if (staff <= 0) continue;
    for (int i = 0; i < count; ++i)
      if (staves[i] == staff) overlapping = true;
  }
  delete[] staves;
  return overlapping;
}

bool FCMusicRegion::IsLastEndMeasure() {
  FCMeasure end;
  if (!end.Load(static_cast<utwobyte>(_region.endmeas))) return false;
  FCMeasure next;
  return !next.Load(static_cast<utwobyte>(_region.endmeas + 1));
}

bool FCMusicRegion::IsFullDocumentWidth() {
  return !IsPartial() && !IsEmpty() && _region.startmeas == 1 && IsLastEndMeasure();
}

int FCMusicRegion::ForEachStaff(FCIteratorHandler* handler) {
  if (!handler) return 0;
  int handed = 0;
  for (int slot = _region.startslot; slot <= _region.endslot; ++slot) {
    FCStaff staff;
    if (!staff.Load(static_cast<utwobyte>(
            FX_SlotToInst(static_cast<twobyte>(slot), _region.startinstlist))))
      continue;
    ++handed;
    if (!handler->Iterate(&staff)) break;
  }
  return handed;
}

twobyte FCMusicRegion::_StaffAtStartSlot() {
  return FX_SlotToInst(_region.startslot, _region.startinstlist);
}

// The positions of a measure counted inclusively: from the first position to the last.
fourbyte FCMusicRegion::CalcDuration() {
  if (IsEmpty()) return 0;
  twobyte staff = _StaffAtStartSlot();
  long long total = 0;
  for (int m = _region.startmeas; m <= _region.endmeas; ++m) {
    long long first = m == _region.startmeas ? _region.startpos : 0;
    long long last =
        (m == _region.endmeas && _region.endpos != REGION_TO_END)
            ? _region.endpos
            : static_cast<long long>(FX_GetMeasureDuration(staff, static_cast<twobyte>(m))) - 1;
    total += last - first + 1;
  }
  if (total > 0x7FFFFFFF) return 0x7FFFFFFF;
  if (total < -0x7FFFFFFF) return -0x7FFFFFFF;
  return static_cast<fourbyte>(total);
}

// Walks back from the end, measure by measure, so that CalcDuration then answers offset.
bool FCMusicRegion::SetDurationOffsetLeft(fourbyte offset) {
  if (IsEmpty() || offset <= 0) return false;
  twobyte staff = _StaffAtStartSlot();
  long long remaining = offset;
  for (int m = _region.endmeas; m >= 1; --m) {
    long long last;
    if (m == _region.endmeas && _region.endpos != REGION_TO_END) {
      last = _region.endpos;
    } else {
      fourbyte duration = FX_GetMeasureDuration(staff, static_cast<twobyte>(m));
      if (duration <= 0) return false;
      last = static_cast<long long>(duration) - 1;
    }
    if (last < 0) return false;
    if (remaining <= last + 1) {
      _region.startmeas = static_cast<twobyte>(m);
      _region.startpos = static_cast<fourbyte>(last + 1 - remaining);
      return true;
    }
    remaining -= last + 1;
  }
  return false; // the document starts before the offset is used up
}

// Walks forward from the start, measure by measure, so that CalcDuration then answers offset.
bool FCMusicRegion::SetDurationOffsetRight(fourbyte offset) {
  if (IsEmpty() || offset <= 0) return false;
  twobyte staff = _StaffAtStartSlot();
  long long remaining = offset;
  for (int m = _region.startmeas; m >= 1 && m <= LAST_NUMBER; ++m) {
    fourbyte duration = FX_GetMeasureDuration(staff, static_cast<twobyte>(m));
    if (duration <= 0) return false;
    long long first = m == _region.startmeas ? _region.startpos : 0;
    long long available = duration - first;
    if (available <= 0) return false;
    if (remaining <= available) {
      _region.endmeas = static_cast<twobyte>(m);
      _region.endpos = static_cast<fourbyte>(first + remaining - 1);
      return true;
    }
    remaining -= available;
  }
  return false;
}

void FCMusicRegion::ConvertToGlobalInstrumentList() {
  twobyte startStaff = FX_SlotToInst(_region.startslot, _region.startinstlist);
  twobyte endStaff = FX_SlotToInst(_region.endslot, _region.endinstlist);
  _region.startinstlist = 0;
  _region.endinstlist = 0;
  _region.startslot = FX_InstToSlot(startStaff, 0);
  _region.endslot = FX_InstToSlot(endStaff, 0);
}

bool FCMusicRegion::SetFullMeasureStack() {
  if (IsEmpty() || FX_SlotToInst(1, _region.startinstlist) <= 0) return false;
  int last = 1;
  while (last < LAST_NUMBER &&
         FX_SlotToInst(static_cast<twobyte>(last + 1), _region.startinstlist) > 0)
    ++last;
  _region.startslot = 1;
  _region.endslot = static_cast<twobyte>(last);
  return true;
}

void FCMusicRegion::_MakeClipRecord(BYTE record[28]) const {
  const fourbyte one = 1;
  memcpy(record, &_region, sizeof _region);
  memcpy(record + 20, &one, 4);
  memcpy(record + 24, &one, 4);
}

bool FCMusicRegion::_CopyCut(twobyte mode) {
  if (_clipToken != 0 || IsEmpty()) return false;
  BYTE record[28];
  _MakeClipRecord(record);
  _clipToken = FX_CopyCutMusic(record, mode);
  return _clipToken != 0;
}

bool FCMusicRegion::CopyMusic() {
  return _CopyCut(1);
}

bool FCMusicRegion::CutMusic() {
  return _CopyCut(2);
}

bool FCMusicRegion::PasteMusic() {
  if (_clipToken == 0 || IsEmpty()) return false;
  BYTE record[28];
  _MakeClipRecord(record);
  return FX_InsertMergeMusic(_clipToken, record, 1);
}

bool FCMusicRegion::ReleaseMusic() {
  if (_clipToken == 0) return false;
  if (!FX_DisposeFinClipFileToken(_clipToken)) return false;
  _clipToken = 0;
  return true;
}

void FCMusicRegion::Redraw() {
  FX_RedrawMusic(&_region);
}

void FCMusicRegion::RebeamMusic() {
  FX_RebeamRegion(&_region, 0);
}
