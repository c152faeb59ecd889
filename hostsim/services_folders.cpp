// Host services: The host's folders.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_GetFinalePath, (int32_t kind, void* buffer, uint32_t v)) {
  Log("FX_GetFinalePath", {Slot(kind), Slot(buffer)}, v);
  return Answer("FX_GetFinalePath", 0);
}
