// The tasks that move music between the staves of a selection: Explode spreads the chords of
// the top staff over the staves below it, one line each; Reduce gathers the staves' lines back
// into chords on one staff. Both read the selection's first layer measure by measure, decide,
// and write each cell once, inside the caller's undo block.
#pragma once
#include "hostapi/fxtypes.h"
#include "linepitch.h"

#include <vector>

class FCMusicRegion;

class FCSectionLines {
public:
  // top: Explode deals the highest note to the first staff (else the lowest to the last);
  // Reduce gathers on the top staff (else on the bottom one).
  FCSectionLines(FCMusicRegion* region, bool top) : _region(region), _top(top), _leftAlone(0) {}

  // Both answer true when some cell changed; a selection of one staff changes nothing.
  bool Explode();
  bool Reduce();
  // Places Reduce left alone because the staves' rhythms differ there (or the chord would pass
  // twelve notes).
  int GetLeftAlone() const { return _leftAlone; }

private:
  bool _ExplodeMeasure(twobyte measure);
  bool _ReduceMeasure(twobyte measure);
  // Staff numbers of the region's slots, top first; false when fewer than two.
  bool _LoadStaves();
  // The region's positions in a measure, both ends inclusive.
  void _Range(twobyte measure, fourbyte* from, fourbyte* to) const;

  FCMusicRegion* _region;       // the selection; not owned
  bool _top;                    // the direction choice
  int _leftAlone;               // places Reduce did not gather
  int _staffCount = 0;          // staves of the region
  std::vector<twobyte> _staves; // their numbers, in score order
};
