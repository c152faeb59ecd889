// The entries of one measure on one staff, loaded from the host's entry frames (one frame per
// layer) and handed back when saved.
#pragma once
#include "core/fccollection.h"
#include "fcnoteentry.h"

class FCMusicRegion;

// A collection whose elements are note entries.
class __FCNoteEntryCollection : public __FCCollection {
public:
  virtual ~__FCNoteEntryCollection() {}
  virtual FCNoteEntry* GetItemAt(int index) const;
};

class FCNoteEntryCell : public __FCNoteEntryCollection {
public:
  // Layer slots the cell reserves: the host's four layers. A larger layer count from the host
  // is clamped to it.
  static const int MAX_LAYERS = 4;

  FCNoteEntryCell(fourbyte measure, fourbyte staff);
  FCNoteEntryCell(const FCNoteEntryCell&) = delete;
  FCNoteEntryCell& operator=(const FCNoteEntryCell&) = delete;
  const char* ClassName() override { return "FCNoteEntryCell"; }
  virtual ~FCNoteEntryCell();

  fourbyte GetMeasure() const { return _measure; }
  fourbyte GetStaff() const { return _staff; }
  // 0 shown layers, -1 all, -2 hidden, -3 none, 1..4 one layer, else a mask of 0x100 << layer.
  void SetLoadLayerMode(int mode) { _layerSelection = mode; }
  int GetLoadLayerMode() const { return _layerSelection; }

  bool Load();
  bool Save();
  bool DeleteAllNullEntries();
  void _SetupEntries();
  FCNoteEntry* AppendEntriesInLayer(int layer, int count);
  FCNoteEntry* FindClosestPos(fourbyte pos);
  // The entry at the index when its position lies inside the region (both ends inclusive;
  // measures between the ends are taken whole), else none.
  FCNoteEntry* GetRegionItemAt(int index, FCMusicRegion* region);

  // The frame loaded for a 0-based layer, or null.
  EXTGF2005a* _GetFrame(int layer) const;

private:
  int _LayerCount() const; // the host's layer count, kept to 0..MAX_LAYERS
  bool _IsLayerSelected(int layer) const;
  void _ReleaseEntries();
  void _ReleaseFrames(); // every reserved slot, whatever the host now reports

  EXTGF2005a* _frames[MAX_LAYERS]; // owned frames by 0-based layer; given back with FX_FreeTGF
  fourbyte _measure;               // measure number
  fourbyte _staff;                 // staff number (not a slot)
  fourbyte _layerSelection;        // which layers Load reads
};
