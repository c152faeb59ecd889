// Host services: The selection, the whole-document region and the document in front.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_GetCurERegions,
             (void* unused, void* selection, void* area32, uint32_t v)) {
  Log("FX_GetCurERegions", {Slot(unused), Slot(selection), Slot(area32)}, v);
  return Answer("FX_GetCurERegions", 0);
}

HOST_SERVICE(int32_t, FX_SetCurERegion, (void* region, uint32_t v)) {
  Log("FX_SetCurERegion", {Slot(region)}, v);
  return Answer("FX_SetCurERegion", 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentEnigmaDocument, (uint32_t v)) {
  Log("FX_GetCurrentEnigmaDocument", {}, v);
  return Answer("FX_GetCurrentEnigmaDocument", 1);
}
