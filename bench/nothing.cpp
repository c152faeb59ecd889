// A host service that does nothing, in its own file so that calling it directly stays a call:
// the yardstick for what the bridge adds to a bound call.
#include "nothing.h"

extern "C" int32_t NothingService(int32_t, int32_t, uint32_t) {
  return 0;
}
