// Host services: Entry frames, staves and layers.
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_GetMaxLayers, (uint32_t v)) {
  Log("FX_GetMaxLayers", {}, v);
  return Answer("FX_GetMaxLayers", 4);
}

HOST_SERVICE(void*, FX_LoadTGF,
             (int32_t instlist, int32_t slot, int32_t measure, int32_t layer, int32_t flag,
              uint32_t v)) {
  Log("FX_LoadTGF", {Slot(instlist), Slot(slot), Slot(measure), Slot(layer), Slot(flag)}, v);
  return nullptr;
}

HOST_SERVICE(int32_t, FX_SaveTGF, (void* frame, uint32_t v)) {
  Log("FX_SaveTGF", {Slot(frame)}, v);
  return Answer("FX_SaveTGF", 0);
}

HOST_SERVICE(int32_t, FX_FreeTGF, (void* frame, uint32_t v)) {
  Log("FX_FreeTGF", {Slot(frame)}, v);
  return Answer("FX_FreeTGF", 0);
}

HOST_SERVICE(int32_t, FX_DeleteEXENTRY, (void* frame, int32_t index, int32_t count, uint32_t v)) {
  Log("FX_DeleteEXENTRY", {Slot(frame), Slot(index), Slot(count)}, v);
  return Answer("FX_DeleteEXENTRY", 0);
}

HOST_SERVICE(int32_t, FX_InstToSlot, (int32_t staff, int32_t instlist, uint32_t v)) {
  Log("FX_InstToSlot", {Slot(staff), Slot(instlist)}, v);
  return Answer("FX_InstToSlot", 0);
}

HOST_SERVICE(int32_t, FX_NoteToMidi, (void* noteslot, int32_t keyword, uint32_t v)) {
  Log("FX_NoteToMidi", {Slot(noteslot), Slot(keyword)}, v);
  return Answer("FX_NoteToMidi", 0);
}

HOST_SERVICE(int32_t, FX_GetShowLayer, (int32_t layer, uint32_t v)) {
  Log("FX_GetShowLayer", {Slot(layer)}, v);
  return Answer("FX_GetShowLayer", 1);
}

HOST_SERVICE(int32_t, FX_InsertEXENTRY, (void* frame, int32_t index, int32_t count, uint32_t v)) {
  Log("FX_InsertEXENTRY", {Slot(frame), Slot(index), Slot(count)}, v);
  return Answer("FX_InsertEXENTRY", 0);
}

HOST_SERVICE(int32_t, FX_ReduceEntries, (void* frame, int32_t index, int32_t count, uint32_t v)) {
  Log("FX_ReduceEntries", {Slot(frame), Slot(index), Slot(count)}, v);
  return Answer("FX_ReduceEntries", 0);
}
