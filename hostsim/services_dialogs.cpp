// Host services: Dialogs and dialog items.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_Dialog,
             (int32_t resid, void* proc, void* parent, int32_t modal, void* data, uint32_t v)) {
  Log("FX_Dialog", {Slot(resid), Slot(proc), Slot(parent), Slot(modal), Slot(data)}, v);
  return Answer("FX_Dialog", 0);
}

HOST_SERVICE(int32_t, FX_EndDialog, (void* dialog, uint32_t v)) {
  Log("FX_EndDialog", {Slot(dialog)}, v);
  return Answer("FX_EndDialog", 0);
}

HOST_SERVICE(int32_t, FX_EnableDlgItem, (void* dialog, int32_t id, int32_t state, uint32_t v)) {
  Log("FX_EnableDlgItem", {Slot(dialog), Slot(id), Slot(state)}, v);
  return Answer("FX_EnableDlgItem", 0);
}

HOST_SERVICE(int32_t, FX_GetDlgItemVal, (void* dialog, int32_t id, int32_t kind, uint32_t v)) {
  Log("FX_GetDlgItemVal", {Slot(dialog), Slot(id), Slot(kind)}, v);
  return Answer("FX_GetDlgItemVal", 0);
}

HOST_SERVICE(int32_t, FX_SetDlgItemVal,
             (void* dialog, int32_t id, int32_t kind, int32_t value, uint32_t v)) {
  Log("FX_SetDlgItemVal", {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer("FX_SetDlgItemVal", 0);
}

HOST_SERVICE(int32_t, FX_GetDlgItemUser,
             (void* dialog, int32_t id, int32_t kind, void* value, uint32_t v)) {
  Log("FX_GetDlgItemUser", {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer("FX_GetDlgItemUser", 0);
}

HOST_SERVICE(int32_t, FX_SetDlgItemUser,
             (void* dialog, int32_t id, int32_t kind, double value, uint32_t v)) {
  Log("FX_SetDlgItemUser", {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer("FX_SetDlgItemUser", 0);
}

HOST_SERVICE(int32_t, FX_GetDlgString,
             (void* dialog, int32_t id, void* buffer, int32_t capacity, uint32_t v)) {
  Log("FX_GetDlgString", {Slot(dialog), Slot(id), Slot(buffer), Slot(capacity)}, v);
  return Answer("FX_GetDlgString", 0);
}

HOST_SERVICE(int32_t, FX_SetDlgString,
             (void* dialog, int32_t id, const void* text, void* slot, int32_t instlist,
              uint32_t v)) {
  Log("FX_SetDlgString", {Slot(dialog), Slot(id), Slot(text), Slot(slot), Slot(instlist)}, v);
  return Answer("FX_SetDlgString", 0);
}
