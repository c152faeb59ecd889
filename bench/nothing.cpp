// A host service that does nothing, and the simulator's FX_GetMaxLayers without its logging and
// answer checks, in their own file so that calling them directly stays a call: yardsticks for
// what the bridge adds to a bound call and what the simulator's bookkeeping adds to a service.
#include "nothing.h"

#include "score.h"

extern "C" int32_t NothingService(int32_t, int32_t, uint32_t) {
  return 0;
}

extern "C" int32_t OwnWorkOfGetMaxLayers(uint32_t) {
  return hostsim::TheHost().maxLayers;
}
