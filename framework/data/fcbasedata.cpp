#include "fcbasedata.h"

#include "fccell.h"

#include <cstring>

#include "fxbridge.h"

namespace {
// The host numbers incis with signed 16-bit values; counting stops before they would wrap.
const int MAX_INCI = 0x7FFF;

// The host's key order: the four 16-bit words as unsigned numbers, the first word first.
bool KeyAfter(const uint8_t* key, const uint8_t* previous) {
  for (int i = 0; i < 4; ++i) {
    utwobyte a, b;
    memcpy(&a, key + 2 * i, 2);
    memcpy(&b, previous + 2 * i, 2);
    if (a != b) return a > b;
  }
  return false;
}
} // namespace

// ---- __FCBaseData -------------------------------------------------------------------------------

__FCBaseData::~__FCBaseData() {
  _FreeOwnedBlock();
}

void __FCBaseData::_FreeOwnedBlock() {
  if (_pOwnedBlock && _pData == _pOwnedBlock) _pData = nullptr;
  delete[] _pOwnedBlock;
  _pOwnedBlock = nullptr;
}

utwobyte __FCBaseData::_GetKeyWord(int index) const {
  utwobyte w;
  memcpy(&w, _key + 2 * index, 2);
  return w;
}

void __FCBaseData::_SetKeyWord(int index, utwobyte value) {
  memcpy(_key + 2 * index, &value, 2);
}

void __FCBaseData::_SetKeyFourbyte(int offset, fourbyte value) {
  memcpy(_key + offset, &value, 4);
}

bool __FCBaseData::LoadDataBlock() {
  if (_pData && IsDynamicSize()) ClearData();
  if (!_pData) _pData = Allocate();
  if (!_pData) {
    _loadedSize = 0;
    return false;
  }
  fourbyte asked = DataSizeLoad();
  fourbyte size = asked;
  if (!FX_LoadEData(Tag(), _key, _pData, &size, EnigmaVersion())) {
    _loadedSize = 0;
    return false;
  }
  // The host's word for what it delivered is not trusted beyond the buffer it was given:
  // a later save sends this many bytes from it.
  if (size < 0) size = 0;
  if (size > asked) size = asked;
  _loadedSize = size;
  return true;
}

void __FCBaseData::ClearData() {
  Deallocate();
  _FreeOwnedBlock();
  _pData = nullptr;
  _loadedSize = 0;
}

void __FCBaseData::CloneMemoryFrom(__FCBaseData* other) {
  if (!other || other->_loadedSize <= 0 || !other->_pData) return;
  _FreeOwnedBlock();
  _pOwnedBlock = new uint8_t[other->_loadedSize];
  memcpy(_pOwnedBlock, other->_pData, other->_loadedSize);
  _pData = _pOwnedBlock;
  _loadedSize = other->_loadedSize;
}

void __FCBaseData::_CloneIntoBuffer(__FCBaseData* other, void* buffer, int size) {
  int available = other->_pData ? other->DataSizeLoad() : 0;
  if (available > size) available = size;
  if (available < 0) available = 0;
  if (available > 0) memmove(buffer, other->_pData, available);
  memset(static_cast<uint8_t*>(buffer) + available, 0, size - available);
  _SetDataBlock(buffer);
  // A copy of a record that never loaded is not loaded either: saving it must send nothing.
  _loadedSize = other->_loadedSize > 0 ? size : 0;
}

void __FCBaseData::_SetDataBlock(void* block) {
  _FreeOwnedBlock();
  _pData = block;
}

void __FCBaseData::CloneFrom(__FCBaseData* other) {
  if (!other || other == this) return;
  memcpy(_key, other->_key, sizeof _key);
  _context = other->_context;
  CloneMemoryFrom(other);
}

__FCBaseData* __FCBaseData::CreateClone() {
  __FCBaseData* clone = CreateObject();
  if (clone) clone->CloneFrom(this);
  return clone;
}

bool __FCBaseData::Save() {
  if (_loadedSize <= 0 || !_pData) return false;
  return FX_SaveEData(Tag(), _key, _pData, DataSizeSave(), EnigmaVersion()) != 0;
}

bool __FCBaseData::DeleteData() {
  return FX_DeleteEData(Tag(), _key, EnigmaVersion()) != 0;
}

bool __FCBaseData::LoadNext() {
  if (!FX_NextEData(Tag(), _key, nullptr, 0, EnigmaVersion())) return false;
  return LoadDataBlock();
}

// ---- Families -----------------------------------------------------------------------------------

bool __FCNoInciOther::Load(utwobyte item) {
  _SetKeyWord(0, item);
  _SetKeyWord(1, 0);
  return LoadDataBlock();
}

bool __FCNoInciOther::SaveAs(utwobyte item) {
  _SetKeyWord(0, item);
  _SetKeyWord(1, 0);
  return Save();
}

bool __FCNoInciOther::SaveNew() {
  if (GetLoadedSize() <= 0 || !_GetDataBlock()) return false;
  _SetKeyWord(0, 0xFFFF);
  _SetKeyWord(1, 0xFFFF);
  return FX_CreateEData(Tag(), _KeyForHost(), _GetDataBlock(), DataSizeSave(), EnigmaVersion()) !=
         0;
}

bool __FCInciOther::Load(utwobyte item, twobyte inci) {
  _SetKeyWord(0, item);
  _SetKeyWord(1, static_cast<utwobyte>(inci));
  return LoadDataBlock();
}

bool __FCInciOther::SaveNew(utwobyte item) {
  if (GetLoadedSize() <= 0 || !_GetDataBlock()) return false;
  _SetKeyWord(0, item);
  _SetKeyWord(1, 0xFFFF);
  return FX_CreateEData(Tag(), _KeyForHost(), _GetDataBlock(), DataSizeSave(), EnigmaVersion()) !=
         0;
}

bool __FCCellDetail::_KeyFromCell() {
  if (!_pCell) return false;
  _SetKeyWord(0, static_cast<utwobyte>(_pCell->GetStaff()));
  _SetKeyWord(1, static_cast<utwobyte>(_pCell->GetMeasure()));
  return true;
}

bool __FCCellDetail::LoadFirst() {
  if (!_KeyFromCell()) return false;
  _SetKeyWord(2, 0);
  return LoadDataBlock();
}

bool __FCCellDetail::LoadNext() {
  utwobyte inci = _GetKeyWord(2);
  _SetKeyWord(2, static_cast<utwobyte>(inci + 1));
  if (LoadDataBlock()) return true;
  _SetKeyWord(2, inci);
  return false;
}

bool __FCCellDetail::SaveNew() {
  if (!_KeyFromCell()) return false;
  // A cell without a data block would hand the host a size with no bytes behind it.
  if (!_GetDataBlock()) return false;
  _SetKeyWord(2, 0xFFFF);
  return FX_CreateEData(Tag(), _KeyForHost(), _GetDataBlock(), DataSizeSave(), EnigmaVersion()) !=
         0;
}

// ---- Collections --------------------------------------------------------------------------------

void __FCCollectionData::_DeleteAll() {
  _FreeElements();
  _count = 0;
}

void __FCCollectionData::LoadAll() {
  _DeleteAll();
  __FCBaseData* e = CreateElement();
  if (!e) return;
  e->SetContext(_context);
  if (e->LoadFirst()) {
    _AddClone(e);
    uint8_t previous[8];
    memcpy(previous, e->_GetKey(), 8);
    // A host whose "next" stays on the key or goes back (1, 2, 1, 2, ...) would never end
    // the list: the walk goes on only while the key moves forward.
    while (e->LoadNext() && KeyAfter(e->_GetKey(), previous)) {
      _AddClone(e);
      memcpy(previous, e->_GetKey(), 8);
    }
  }
  delete e;
}

void __FCCollectionData::_AddClone(__FCBaseData* record) {
  __FCBaseData* clone = record->CreateClone();
  if (clone) Add(clone);
}

bool __FCCollectionData::SaveAll() {
  bool result = false;
  for (int i = 0; i < GetCount(); ++i) {
    __FCBaseData* e = GetItemAt(i);
    if (!e) continue;
    e->SetContext(_context);
    result = e->Save();
  }
  return result;
}

__FCInciOther* __FCCollectionInciOther::_CreateInciElement() {
  // The elements of an inci collection are inci records by the collection's contract.
  __FCInciOther* e = static_cast<__FCInciOther*>(CreateElement());
  if (e) e->SetContext(GetContext());
  return e;
}

void __FCCollectionInciOther::LoadAllForItem(utwobyte item) {
  _DeleteAll();
  __FCInciOther* e = _CreateInciElement();
  if (!e) return;
  for (int inci = 0; inci <= MAX_INCI && e->Load(item, static_cast<twobyte>(inci)); ++inci)
    _AddClone(e);
  delete e;
}

bool __FCCollectionInciOther::DeleteDataForItem(utwobyte item) {
  __FCInciOther* e = _CreateInciElement();
  if (!e) return false;
  int count = 0;
  while (count <= MAX_INCI && e->Load(item, static_cast<twobyte>(count)))
    ++count;
  bool ok = true;
  for (int inci = count - 1; ok && inci >= 0; --inci)
    ok = e->Load(item, static_cast<twobyte>(inci)) && e->DeleteData();
  delete e;
  return ok;
}

bool __FCCollectionInciOther::SaveAllForItem(utwobyte item) {
  if (!DeleteDataForItem(item)) return false;
  for (int i = 0; i < GetCount(); ++i) {
    __FCInciOther* e = GetItemAt(i);
    if (!e) continue;
    e->SetContext(GetContext());
    if (!e->SaveNew(item)) return false;
  }
  return true;
}

__FCInciOther* __FCCollectionInciOther::FindItemNo(utwobyte item, twobyte inci) const {
  for (int i = 0; i < GetCount(); ++i) {
    __FCInciOther* e = GetItemAt(i);
    if (e && e->GetItemNo() == item && e->GetItemInci() == inci) return e;
  }
  return nullptr;
}
