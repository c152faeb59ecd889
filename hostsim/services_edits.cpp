// Host services: Edit transactions, menu commands, redraw and parts.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_RedrawMusic, (void* area32, uint32_t v)) {
  Log("FX_RedrawMusic", {Slot(area32)}, v);
  return Answer("FX_RedrawMusic", 0);
}

HOST_SERVICE(int32_t, FX_StartFinaleEdit, (const void* undotext, uint32_t v)) {
  Log("FX_StartFinaleEdit", {Slot(undotext)}, v);
  return Answer("FX_StartFinaleEdit", 1);
}

HOST_SERVICE(int32_t, FX_EndFinaleEdit, (uint32_t v)) {
  Log("FX_EndFinaleEdit", {}, v);
  return Answer("FX_EndFinaleEdit", 1);
}

HOST_SERVICE(int32_t, FX_CancelFinaleEdit, (uint32_t v)) {
  Log("FX_CancelFinaleEdit", {}, v);
  return Answer("FX_CancelFinaleEdit", 0);
}

HOST_SERVICE(int32_t, FX_ExecuteMenuItem, (int32_t item, uint32_t v)) {
  Log("FX_ExecuteMenuItem", {Slot(item)}, v);
  return Answer("FX_ExecuteMenuItem", 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentPartID, (uint32_t v)) {
  Log("FX_GetCurrentPartID", {}, v);
  return Answer("FX_GetCurrentPartID", 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentPartID, (int32_t part, uint32_t v)) {
  Log("FX_SetCurrentPartID", {Slot(part)}, v);
  return Answer("FX_SetCurrentPartID", 0);
}
