#include "fcbrowsernoteentries.h"

#include "fccell.h"
#include "fcmusicregion.h"
#include "fcnoteentrycell.h"

bool FCBrowserNoteEntries::RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                                    FCMusicRegion* region) {
  if (!cell || !handler || !region) return false;
  if (!handler->PreProcess()) return false;
  FCNoteEntryCell* entries = &_cell;
  entries->_MoveTo(cell->GetMeasure(), cell->GetStaff());
  entries->SetLoadLayerMode(_layerSelection);
  entries->Load(); // a cell that fails to load is empty
  if (entries->GetCount() > 0 && !handler->PreProcessIfExist()) {
    entries->_Release();
    return false;
  }
  bool result = true;
  for (int i = 0; i < entries->GetCount(); ++i) {
    FCNoteEntry* entry = entries->GetRegionItemAt(i, region);
    if (!entry) continue;
    result = handler->Iterate(entry);
    entry->_PackEXENTRYNotes();
    if (!result) break;
  }
  for (int i = 0; i < entries->GetCount(); ++i) {
    FCNoteEntry* entry = entries->GetRegionItemAt(i, region);
    if (!entry) continue;
    bool more = handler->SecondPassIterate(entry);
    entry->_PackEXENTRYNotes();
    if (!more) break;
  }
  if (handler->GetSaveAfterIterating()) {
    if (_deleteNullEntries) entries->DeleteAllNullEntries();
    entries->Save();
  }
  bool held = entries->GetCount() > 0;
  entries->_Release(); // the frames go back before the visitor's closing calls
  if (held) handler->PostProcessIfExist();
  handler->PostProcess();
  return result;
}
