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

  // Gives back every frame (FX_FreeTGF) and releases the entries, as destroying the cell does.
  void _Release();
  // Releases everything and points the cell at another measure and staff, keeping its entry
  // objects for the next build: a browser walks a whole region with one cell.
  void _MoveTo(fourbyte measure, fourbyte staff);

private:
  int _LayerCount() const; // the host's layer count (its low 16 bits); 0 when not positive
  bool _IsLayerSelected(int layer) const;
  void _HoldFrame(int layer, EXTGF2005a* frame); // grows the frame slots as far as the layer
  FCNoteEntry* _NewEntry(EXENTRY* record, EXTGF2005a* frame, twobyte staff);
  void _ReleaseEntries();
  void _ReleaseFrames(); // every slot held, whatever the host now reports

  EXTGF2005a** _ppFrames;   // owned array of frames by 0-based layer; given back with FX_FreeTGF
  int _frameSlots;          // length of that array: the most layers loaded so far
  fourbyte _measure;        // measure number
  fourbyte _staff;          // staff number (not a slot)
  fourbyte _layerSelection; // which layers Load reads
  // Owned entry objects of earlier builds, kept for reuse. A build takes from one and its
  // rebuild releases into the other, so that no entry object of a rebuilt cell is one it had
  // just before: right after a rebuild no earlier entry pointer is one of its entries.
  __FCCollection _spareEntries[2];
  int _releaseTo; // the one of them releases go to
};
