// Voice Leading over the selection. A first walk reads the chords of every staff and layer in
// time order (across measures) into passages; each passage is planned (voiceleading.h); a
// second walk moves the notes the plans move and saves what it visits. Nothing is written
// before every chord was read.
#pragma once
#include "hostapi/fxtypes.h"

class FCMusicRegion;

// The chords Voice Leading left as written, by why.
struct ChordsLeftAlone {
  int grace = 0;     // chords of grace notes
  int twelve = 0;    // chords of twelve notes
  int tooMany = 0;   // more ways to voice them than the choice weighs
  int noVoicing = 0; // no voicing within reach keeps the rules
  int Total() const { return grace + twelve + tooMany + noVoicing; }
  // "2 chords of grace notes, 1 chord with ..." into text (size bytes); empty when none.
  void Describe(char* text, int size) const;
};

class FCVoiceLeadingHandler {
public:
  FCVoiceLeadingHandler(bool top, bool strict) : _top(top), _strict(strict) {}
  // Reads, plans and writes the region; true when some entry changed.
  bool Execute(FCMusicRegion* region);
  // The chords of the region the last Execute left as written for want of a choice.
  const ChordsLeftAlone& GetLeftAlone() const { return _alone; }

private:
  bool _top;    // keep each chord's highest note (else its lowest)
  bool _strict; // avoid parallel and hidden fifths and octaves first
  ChordsLeftAlone _alone;
};
