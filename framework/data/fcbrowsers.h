// Browsers: traversals that visit document content over a region and hand each item to a
// visitor. The region browsers split a region into cells, one measure on one staff each.
#pragma once
#include "core/fccollection.h"

class FCCell;
class FCMusicRegion;

class __FCBrowserBase : public __FCIteratorBase {
public:
  const char* ClassName() override { return "__FCBrowserBase"; }
};

class __FCBrowserRegionBase : public __FCBrowserBase {
public:
  // Walks the whole document as the host reports it for the part in view.
  int ForEach(FCIteratorHandler* handler) override;
  // One cell; false stops the walk.
  virtual bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                        FCMusicRegion* region) = 0;

  // Measure by measure, and inside each measure slot by slot; answers the number of cells
  // whose handler call answered true.
  int ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region);
};
