// Host services: The selection, the whole-document region and the document in front, served
// from the score (score.h). A value a test sets with SetAnswer replaces a service's answer and
// its work.
#include <cstring>

#include "exports.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

namespace {
// The whole document as the part in view shows it: its instrument list, all its slots, every
// measure, from the start of the first to the end of the last.
EREGION WholeDocument(const Document& d) {
  EREGION r = {};
  const Part* shown = FindPart(d, d.currentPart);
  int16_t staves = static_cast<int16_t>(shown ? shown->staves.size() : d.staves.size());
  r.startinstlist = r.endinstlist = static_cast<uint16_t>(d.currentPart);
  r.startslot = 1;
  r.endslot = staves;
  r.startmeas = 1;
  r.endmeas = d.measureCount;
  r.startpos = 0;
  r.endpos = REGION_TO_END;
  return r;
}
} // namespace

// Fills the selection (all zero when there is none) and the 32-byte area, which begins with the
// whole-document region; answers nonzero when there is a selection. The first argument is left
// as it is.
HOST_SERVICE(fourbyte, FX_GetCurERegions,
             (fourbyte * unused, EREGION* selection, void* area32, EVERSION v)) {
  Log(FX_GetCurERegions_service, {Slot(unused), Slot(selection), Slot(area32)}, v);
  int32_t a;
  if (AnswerSet(FX_GetCurERegions_service, &a)) return a;
  bool any = !TheHost().documents.empty();
  EREGION sel = any && Doc().hasSelection ? Doc().selection : EREGION();
  if (selection) memcpy(selection, &sel, sizeof sel);
  if (area32) {
    memset(area32, 0, 32);
    EREGION whole = any ? WholeDocument(Doc()) : EREGION();
    memcpy(area32, &whole, sizeof whole);
  }
  return any && Doc().hasSelection ? 1 : 0;
}

// Makes the record the selection; an empty region (start and end measure 0) clears it.
HOST_SERVICE(fourbyte, FX_SetCurERegion, (EREGION * region, EVERSION v)) {
  Log(FX_SetCurERegion_service, {Slot(region)}, v);
  int32_t a;
  if (AnswerSet(FX_SetCurERegion_service, &a)) return a;
  if (!region || TheHost().documents.empty()) return 0;
  Document& d = Doc();
  memcpy(&d.selection, region, sizeof(EREGION));
  d.hasSelection = !(d.selection.startmeas == 0 && d.selection.endmeas == 0);
  return 1;
}

HOST_SERVICE(fourbyte, FX_GetCurrentEnigmaDocument, (EVERSION v)) {
  Log(FX_GetCurrentEnigmaDocument_service, {}, v);
  int32_t a;
  if (AnswerSet(FX_GetCurrentEnigmaDocument_service, &a)) return a;
  // With no document made yet, the one Doc() would make (id 1) is in front.
  return TheHost().documents.empty() ? 1 : Doc().id;
}
