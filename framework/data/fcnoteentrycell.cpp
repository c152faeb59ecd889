#include "fcnoteentrycell.h"

#include "fcmusicregion.h"
#include "fxbridge.h"

FCNoteEntry* __FCNoteEntryCollection::GetItemAt(int index) const {
  return static_cast<FCNoteEntry*>(__FCCollection::GetItemAt(index));
}

FCNoteEntryCell::FCNoteEntryCell(fourbyte measure, fourbyte staff)
    : _ppFrames(nullptr), _frameSlots(0), _measure(measure), _staff(staff), _layerSelection(0),
      _releaseTo(0) {}

FCNoteEntryCell::~FCNoteEntryCell() {
  _Release();
  delete[] _ppFrames;
}

void FCNoteEntryCell::_Release() {
  _ReleaseEntries();
  _ReleaseFrames();
}

void FCNoteEntryCell::_MoveTo(fourbyte measure, fourbyte staff) {
  _Release();
  _measure = measure;
  _staff = staff;
}

EXTGF2005a* FCNoteEntryCell::_GetFrame(int layer) const {
  return layer >= 0 && layer < _frameSlots ? _ppFrames[layer] : nullptr;
}

int FCNoteEntryCell::_LayerCount() const {
  int count = FX_GetMaxLayers();
  return count < 0 ? 0 : count;
}

void FCNoteEntryCell::_HoldFrame(int layer, EXTGF2005a* frame) {
  if (layer >= _frameSlots) {
    // Doubling keeps a host of many layers from costing a copy per layer.
    int slots = layer + 1 > 2 * _frameSlots ? layer + 1 : 2 * _frameSlots;
    if (slots < 4) slots = 4;
    EXTGF2005a** frames = new EXTGF2005a*[slots];
    for (int i = 0; i < slots; ++i)
      frames[i] = i < _frameSlots ? _ppFrames[i] : nullptr;
    delete[] _ppFrames;
    _ppFrames = frames;
    _frameSlots = slots;
  }
  _ppFrames[layer] = frame;
}

FCNoteEntry* FCNoteEntryCell::_NewEntry(EXENTRY* record, EXTGF2005a* frame, twobyte staff) {
  FCNoteEntry* entry = static_cast<FCNoteEntry*>(_spareEntries[1 - _releaseTo]._DetachLast());
  if (!entry) return new FCNoteEntry(record, frame, frame->measure, staff);
  entry->_Reset(record, frame, frame->measure, staff);
  return entry;
}

bool FCNoteEntryCell::_IsLayerSelected(int layer) const {
  switch (_layerSelection) {
  case 0:
    return FX_GetShowLayer(static_cast<twobyte>(layer)) != 0;
  case -1:
    return true;
  case -2:
    return FX_GetShowLayer(static_cast<twobyte>(layer)) == 0;
  case -3:
    return false;
  case 1:
  case 2:
  case 3:
  case 4:
    return layer == _layerSelection - 1;
  default:
    return layer < 4 && (_layerSelection & (0x100 << layer)) != 0;
  }
}

void FCNoteEntryCell::_ReleaseEntries() {
  _MoveElementsTo(&_spareEntries[_releaseTo]);
}

void FCNoteEntryCell::_ReleaseFrames() {
  for (int i = 0; i < _frameSlots; ++i) {
    if (!_ppFrames[i]) continue;
    FX_FreeTGF(_ppFrames[i]);
    _ppFrames[i] = nullptr;
  }
}

bool FCNoteEntryCell::Load() {
  _ReleaseEntries();
  _ReleaseFrames();
  for (int layer = 0; layer < _LayerCount(); ++layer) {
    if (!_IsLayerSelected(layer)) continue;
    twobyte slot = FX_InstToSlot(static_cast<twobyte>(_staff), 0);
    // A staff that is in no slot has no frames to ask for.
    EXTGF2005a* frame = slot > 0 ? FX_LoadTGF(0, slot, static_cast<twobyte>(_measure),
                                              static_cast<twobyte>(layer), 1)
                                 : nullptr;
    if (!frame) {
      _ReleaseEntries();
      _ReleaseFrames();
      return false;
    }
    _HoldFrame(layer, frame);
  }
  _SetupEntries();
  return true;
}

void FCNoteEntryCell::_SetupEntries() {
  _releaseTo = 1 - _releaseTo;
  _ReleaseEntries();
  for (int layer = 0; layer < _LayerCount(); ++layer) {
    EXTGF2005a* frame = _GetFrame(layer);
    int count = SoundEntryCount(frame);
    if (count == 0) continue;
    twobyte staff = FX_SlotToInst(frame->slot, frame->instlist);
    // A frame whose slot is no staff shows no entries; it is still owned and given back.
    if (staff <= 0) continue;
    FCNoteEntry* previous = nullptr;
    for (int k = 0; k < count; ++k) {
      FCNoteEntry* entry = _NewEntry(&frame->entries[k], frame, staff);
      entry->_SetPrevious(previous);
      entry->_UpdateNoteCollection();
      if (previous) previous->_SetNext(entry);
      Add(entry);
      previous = entry;
    }
  }
}

bool FCNoteEntryCell::Save() {
  bool saved = true;
  for (int layer = 0; layer < _LayerCount(); ++layer)
    if (_GetFrame(layer) && FX_SaveTGF(_GetFrame(layer)) == 0) saved = false;
  return saved;
}

bool FCNoteEntryCell::DeleteAllNullEntries() {
  bool refused = false;
  for (int i = GetCount() - 1; i >= 0; --i) {
    FCNoteEntry* entry = GetItemAt(i);
    EXENTRY* record = entry ? entry->_GetEntryRecord() : nullptr;
    if (!record || record->entnum == 0) return false;
    if (record->duration != 0) continue;
    int index = entry->_CalcTGFIndex();
    if (index < 0) return false;
    // A deletion the host refuses leaves the entry in place; the walk goes on and the
    // answer is false.
    if (FX_DeleteEXENTRY(entry->_GetFrame(), static_cast<twobyte>(index), 1) == 0) refused = true;
    ClearItemAt(i);
    _SetupEntries();
  }
  return !refused;
}

FCNoteEntry* FCNoteEntryCell::AppendEntriesInLayer(int layer, int count) {
  if (count <= 0 || count > 0x7FFF || layer < 1) return nullptr;
  EXTGF2005a* frame = _GetFrame(layer - 1);
  if (!frame) return nullptr;
  int old = SoundEntryCount(frame);
  if (FX_InsertEXENTRY(frame, static_cast<twobyte>(old), static_cast<twobyte>(count)) == 0)
    return nullptr;
  _SetupEntries();
  int place = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCNoteEntry* entry = GetItemAt(i);
    if (entry->_GetFrame() != frame) continue;
    if (place++ == old) return entry;
  }
  return nullptr;
}

FCNoteEntry* FCNoteEntryCell::FindClosestPos(fourbyte pos) {
  FCNoteEntry* closest = nullptr;
  long long limit = 20000;
  for (int i = 0; i < GetCount(); ++i) {
    FCNoteEntry* entry = GetItemAt(i);
    long long difference = static_cast<long long>(entry->GetMeasurePos()) - pos;
    if (difference < 0) difference = -difference;
    if (difference < limit) {
      limit = difference;
      closest = entry;
    }
  }
  return closest;
}

FCNoteEntry* FCNoteEntryCell::GetRegionItemAt(int index, FCMusicRegion* region) {
  FCNoteEntry* entry = GetItemAt(index);
  if (!entry || !region) return nullptr;
  if (_measure == region->GetStartMeasure() &&
      entry->GetMeasurePos() < region->GetStartMeasurePos())
    return nullptr;
  if (_measure == region->GetEndMeasure() && entry->GetMeasurePos() > region->GetEndMeasurePos())
    return nullptr;
  return entry;
}
