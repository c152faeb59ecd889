// The note-entry browser: loads each cell of a region, hands every entry inside the region to
// the visitor, packs it after the visit and saves the cell when the visitor asks for it.
#pragma once
#include "fcbrowsers.h"
#include "fcnoteentrycell.h"

class FCBrowserNoteEntries : public __FCBrowserRegionBase {
public:
  FCBrowserNoteEntries() : _deleteNullEntries(false), _layerSelection(0), _cell(0, 0) {}
  __FCBase* FindFirst(FCIteratorHandler*) override { return nullptr; }
  bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                FCMusicRegion* region) override;

  void SetDeleteNullEntries(bool state) { _deleteNullEntries = state; }
  bool GetDeleteNullEntries() const { return _deleteNullEntries; }
  // The layer selection codes of FCNoteEntryCell::SetLoadLayerMode.
  void SetLoadLayerMode(int mode) { _layerSelection = mode; }
  int GetLoadLayerMode() const { return _layerSelection; }

private:
  bool _deleteNullEntries;  // clear every cell of entries of duration 0 before saving it
  fourbyte _layerSelection; // passed to every cell loaded
  FCNoteEntryCell _cell;    // every cell of the walk is loaded into it; its entries are reused
};
