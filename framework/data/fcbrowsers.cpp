#include "fcbrowsers.h"

#include "fccell.h"
#include "fcmusicregion.h"
#include "fxbridge.h"

int __FCBrowserRegionBase::ForEach(FCIteratorHandler* handler) {
  FCMusicRegion region;
  region.SetFullDocument();
  return ForEachInRegion(handler, &region);
}

int __FCBrowserRegionBase::ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region) {
  if (!handler || !region) return 0;
  int count = 0;
  // The ends are read again at every step; int counters cannot wrap at the 16-bit limits.
  for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
      twobyte staff = FX_SlotToInst(static_cast<twobyte>(slot), region->GetStartInstrumentList());
      FCCell cell(measure, staff);
      bool goOn = RegionIterateCellHandler(&cell, handler, region);
      if (!goOn) return count;
      ++count;
    }
  }
  return count;
}
