// Host services: Typed record transfers and alerts.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_AlertMessage,
             (int32_t a, int32_t b, int32_t c, const void* text, void* tag, void* key, void* buffer,
              void* size, uint32_t v)) {
  Log("FX_AlertMessage",
      {Slot(a), Slot(b), Slot(c), Slot(text), Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  return Answer("FX_AlertMessage", 0);
}

HOST_SERVICE(int32_t, FX_SaveEData,
             (int32_t tag, void* key, void* buffer, int32_t size, uint32_t v)) {
  Log("FX_SaveEData", {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  return Answer("FX_SaveEData", 0);
}

HOST_SERVICE(int32_t, FX_CreateEData,
             (int32_t tag, void* key, void* buffer, int32_t size, uint32_t v)) {
  Log("FX_CreateEData", {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  return Answer("FX_CreateEData", 0);
}

HOST_SERVICE(int32_t, FX_DeleteEData, (int32_t tag, void* key, uint32_t v)) {
  Log("FX_DeleteEData", {Slot(tag), Slot(key)}, v);
  return Answer("FX_DeleteEData", 0);
}

HOST_SERVICE(int32_t, FX_NextEData,
             (int32_t tag, void* key, void* buffer, int32_t size, uint32_t v)) {
  Log("FX_NextEData", {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  return Answer("FX_NextEData", 0);
}
