// Typed records of the score: fixed-layout blocks of bytes the host stores under a tag and an
// 8-byte key. __FCBaseData owns the load/save protocol; the families below fix how the key is
// formed; each concrete record supplies its tag, size, storage and version word.
#pragma once
#include <cstddef>
#include <cstring>

#include "core/fccollection.h"

class FCCell;

// A 16-bit value of a record's bytes, in the host's byte order.
inline twobyte RecordWord(const uint8_t* record, int offset) {
  twobyte w;
  memcpy(&w, record + offset, 2);
  return w;
}

class __FCBaseData : public __FCBase {
public:
  __FCBaseData() : _context(0), _pData(nullptr), _loadedSize(0), _pOwnedBlock(nullptr) {
    for (uint8_t& b : _key)
      b = 0;
  }
  const char* ClassName() override { return "__FCBaseData"; }

  // The version word sent with every transfer of this record.
  virtual EVERSION EnigmaVersion() { return FINALEVERSION; }
  // Bytes to ask for when loading.
  virtual int DataSizeLoad() = 0;
  // Bytes to send when saving: what the last load delivered.
  virtual int DataSizeSave() { return _loadedSize; }
  // The buffer that receives a load.
  virtual void* Allocate() = 0;
  virtual void Deallocate() {}
  virtual bool IsDynamicSize() { return false; }
  // A new, empty object of the same class; the caller owns it.
  virtual __FCBaseData* CreateObject() = 0;
  virtual EXTAG Tag() = 0;
  // Takes over the other record's bytes (into a block of its own).
  virtual void CloneMemoryFrom(__FCBaseData* other);
  virtual ~__FCBaseData();
  virtual bool Save();
  virtual bool DeleteData();
  virtual bool DeepDeleteData() { return DeleteData(); }
  virtual bool LoadFirst() = 0;
  // Moves the key to the host's next record of the same tag and loads it.
  virtual bool LoadNext();

  // The one load primitive: loads the record under the current key.
  bool LoadDataBlock();
  void ClearData();
  // Copies key, context word and record bytes.
  void CloneFrom(__FCBaseData* other);
  // A copy of this record; the caller owns it. Null when no object could be made.
  __FCBaseData* CreateClone();

  fourbyte GetContext() const { return _context; }
  void SetContext(fourbyte context) { _context = context; }
  fourbyte GetLoadedSize() const { return _loadedSize; }
  const uint8_t* _GetKey() const { return _key; }
  void* _GetDataBlock() const { return _pData; }

protected:
  uint8_t* _KeyForHost() { return _key; } // the host may rewrite it
  utwobyte _GetKeyWord(int index) const;
  void _SetKeyWord(int index, utwobyte value);
  void _SetKeyFourbyte(int offset, fourbyte value);
  // For records whose bytes live in the object: copies the other's bytes (as far as the other
  // holds them, the rest zero), points the data block at the buffer and marks it loaded when the
  // other was.
  void _CloneIntoBuffer(__FCBaseData* other, void* buffer, int size);
  void _SetLoadedSize(fourbyte size) { _loadedSize = size; }
  void _SetDataBlock(void* block);

private:
  void _FreeOwnedBlock();

  fourbyte _context;     // the owning collection's word; the transfers do not read it
  void* _pData;          // the record's bytes; inside the object for every concrete record
  fourbyte _loadedSize;  // bytes delivered by the last successful load; 0 after a failure
  uint8_t _key[8];       // handed to the host by address on every transfer
  uint8_t* _pOwnedBlock; // the block the default CloneMemoryFrom allocated, or null
};

// Records of the 'other' kind: keyed by item number (and inci).
class __FCOther : public __FCBaseData {
public:
  const char* ClassName() override { return "__FCOther"; }
};

// One record per item number (inci always 0).
class __FCNoInciOther : public __FCOther {
public:
  const char* ClassName() override { return "__FCNoInciOther"; }
  bool LoadFirst() override { return Load(1); }
  virtual bool Load(utwobyte item);
  virtual bool SaveAs(utwobyte item);
  virtual bool DeepSaveAs(utwobyte item) { return SaveAs(item); }
  // Asks the host for a new item number; the key then holds the one it chose.
  virtual bool SaveNew();
  virtual utwobyte GetItemNo() { return _GetKeyWord(0); }
};

// Several records per item number, told apart by a running inci.
class __FCInciOther : public __FCOther {
public:
  const char* ClassName() override { return "__FCInciOther"; }
  bool LoadFirst() override { return false; }
  virtual bool Load(utwobyte item, twobyte inci);
  // Asks the host to add a record under the item; the key then holds the inci it chose.
  virtual bool SaveNew(utwobyte item);
  utwobyte GetItemNo() const { return _GetKeyWord(0); }
  twobyte GetItemInci() const { return static_cast<twobyte>(_GetKeyWord(1)); }
};

// Records keyed by a cell (staff and measure) and an inci.
class __FCCellDetail : public __FCBaseData {
public:
  __FCCellDetail() : _pCell(nullptr) {}
  const char* ClassName() override { return "__FCCellDetail"; }
  // The cell's record with inci 0; false without a cell.
  bool LoadFirst() override;
  // The next inci of the same cell; on failure the key stays on the last record found.
  bool LoadNext() override;
  // Asks the host to add a record to the cell; false without a cell.
  virtual bool SaveNew();

  // Attaches the record to its cell (not owned), which gives it staff and measure.
  void ConnectCell(FCCell* cell) { _pCell = cell; }
  FCCell* GetCell() const { return _pCell; }
  twobyte GetCellInci() const { return static_cast<twobyte>(_GetKeyWord(2)); }

protected:
  // The connected cell's staff and measure into the key; false without a cell.
  bool _KeyFromCell();

private:
  FCCell* _pCell; // the cell the record belongs to; not owned
};

// One record per cell.
class __FCNoInciCellDetail : public __FCCellDetail {
public:
  const char* ClassName() override { return "__FCNoInciCellDetail"; }
  bool LoadNext() override { return false; }
  bool SaveNew() override { return false; }
};

// An owning list of records of one kind.
class __FCCollectionData : public __FCCollection {
public:
  __FCCollectionData() : _context(0) {}
  const char* ClassName() override { return "__FCCollectionData"; }
  // A new empty record of the element class; the caller owns it.
  virtual __FCBaseData* CreateElement() = 0;
  // Replaces the elements with every record of the kind the host has, in the host's order.
  virtual void LoadAll();
  // Saves every element; answers the last one's result (false when there are none).
  virtual bool SaveAll();

  fourbyte GetContext() const { return _context; }
  void SetContext(fourbyte context) { _context = context; }
  __FCBaseData* GetItemAt(int index) const {
    return static_cast<__FCBaseData*>(__FCCollection::GetItemAt(index));
  }

protected:
  void _DeleteAll(); // deletes every element; the count is 0 afterwards
  void _AddClone(__FCBaseData* record);

private:
  fourbyte _context; // copied into every element before it loads or saves
};

// A list of the records under one item number, in inci order.
class __FCCollectionInciOther : public __FCCollectionData {
public:
  const char* ClassName() override { return "__FCCollectionInciOther"; }
  virtual bool DeleteDataForItem(utwobyte item);
  virtual void LoadAllForItem(utwobyte item);
  // Replaces the item's records in the host with the elements, in the collection's order.
  virtual bool SaveAllForItem(utwobyte item);

  __FCInciOther* FindItemNo(utwobyte item, twobyte inci) const;
  __FCInciOther* GetItemAt(int index) const {
    return static_cast<__FCInciOther*>(__FCCollection::GetItemAt(index));
  }

private:
  __FCInciOther* _CreateInciElement();
};
