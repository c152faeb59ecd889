// The tasks that move music between the staves of a selection: Explode spreads the chords of
// the top staff over the staves below it, one line each; Reduce gathers the staves' lines back
// into chords on one staff. Both read the selection's first layer measure by measure, decide,
// and write each cell once, inside the caller's undo block.
#pragma once
#include "hostapi/fxtypes.h"
#include "linepitch.h"

#include <set>
#include <utility>
#include <vector>

class FCMusicRegion;

// A place in the score: a measure and a position in it.
struct LinePlace {
  twobyte measure;
  fourbyte pos;
  bool operator==(const LinePlace& o) const { return measure == o.measure && pos == o.pos; }
};

class FCSectionLines {
public:
  // top: Explode deals the highest note to the first staff (else the lowest to the last);
  // Reduce gathers on the top staff (else on the bottom one).
  FCSectionLines(FCMusicRegion* region, bool top) : _region(region), _top(top) {}

  // Both answer true when some cell changed; a selection of one staff changes nothing.
  bool Explode();
  bool Reduce();
  // Places Reduce left alone: a tuplet against notes no split can meet, a grace note that
  // not every staff has, a chord that would pass twelve notes. In score order.
  int GetLeftAlone() const { return static_cast<int>(_leftAlone.size()); }
  const std::vector<LinePlace>& GetLeftAlonePlaces() const { return _leftAlone; }
  // Places where Reduce gathered crossed voices: the chord there cannot keep which staff sang
  // which note.
  const std::vector<LinePlace>& GetCrossings() const { return _crossings; }

private:
  // Applies a task to each measure of the selection; then a tie into or out of a cell written
  // holds only where the entry after it sounds its pitch, unless it did not before either.
  bool _EachMeasure(bool (FCSectionLines::*task)(twobyte measure));
  bool _ExplodeMeasure(twobyte measure);
  bool _ReduceMeasure(twobyte measure);
  // Staff numbers of the region's slots, top first; false when fewer than two.
  bool _LoadStaves();
  // The region's positions in a measure, both ends inclusive.
  void _Range(twobyte measure, fourbyte* from, fourbyte* to) const;

  FCMusicRegion* _region;                         // the selection; not owned
  bool _top;                                      // the direction choice
  std::vector<LinePlace> _leftAlone;              // places Reduce did not gather
  std::vector<LinePlace> _crossings;              // places Reduce gathered crossed voices
  int _staffCount = 0;                            // staves of the region
  std::vector<twobyte> _staves;                   // their numbers, in score order
  std::set<std::pair<twobyte, twobyte>> _written; // the cells written: staff and measure
};
