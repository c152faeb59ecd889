// Voice Leading over the selection. A first walk reads the chords of every staff and layer in
// time order (across measures) into passages; each passage is planned (voiceleading.h); a
// second walk moves the notes the plans move and saves what it visits. Nothing is written
// before every chord was read.
#pragma once
#include "hostapi/fxtypes.h"

class FCMusicRegion;

class FCVoiceLeadingHandler {
public:
  explicit FCVoiceLeadingHandler(bool top) : _top(top) {}
  // Reads, plans and writes the region; true when some entry changed.
  bool Execute(FCMusicRegion* region);

private:
  bool _top; // keep each chord's highest note (else its lowest)
};
