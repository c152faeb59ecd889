// Entry frames handed out, and bad host data for tests. Served by services_frames.cpp. A frame
// the host hands out owns its own copy of the cell layer's entries; saving copies them back into
// the score. TheHost().framesOut lists the frames not yet given back; their storage goes with
// them (and with the next Reset()).
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "hostapi/fxrecords.h"

namespace hostsim {

struct HandedFrame {
  EXTGF2005a frame;             // what the plug-in holds a pointer to
  std::vector<EXENTRY> entries; // the frame's entry array
  int16_t document;             // id of the document it was loaded from
  int16_t staff;                // where it came from: staff, measure and layer
  int16_t measure;
  int16_t layer;
};

// The frame's storage while it is handed out, or null for a frame the host did not hand out
// (or that was given back).
HandedFrame* FindHandedFrame(const EXTGF2005a* frame);
// Makes a frame of the cell layer and lists it in TheHost().framesOut.
EXTGF2005a* HandOutFrame(int16_t staff, int16_t measure, int16_t layer, uint16_t list,
                         int16_t slot);
// Takes a frame back: false when it was not handed out.
bool TakeBackFrame(const EXTGF2005a* frame);
// True when the frame still describes its own entry array (nothing changed its pointer or
// count since the host handed it out or last restructured it).
bool FrameIsIntact(const EXTGF2005a* frame);

// Tests: a change applied to every frame just before FX_LoadTGF hands it out, to feed the
// plug-in the bad data a host could give (note counts past 12, negative entry counts, a null
// entry array with a positive count, a slot of no staff). Active for the scope's lifetime.
typedef std::function<void(EXTGF2005a*)> FrameTamper;
class ScopedFrameTamper {
public:
  explicit ScopedFrameTamper(FrameTamper tamper);
  ~ScopedFrameTamper();
  ScopedFrameTamper(const ScopedFrameTamper&) = delete;
  ScopedFrameTamper& operator=(const ScopedFrameTamper&) = delete;
};

} // namespace hostsim
