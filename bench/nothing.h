// The yardsticks of nothing.cpp, with the types the bridge calls the services through.
#pragma once
#include <cstdint>
#include <type_traits>

#include "hostapi/fxhost.h"

extern "C" int32_t NothingService(int32_t staff, int32_t measure, uint32_t version);
// FX_GetMaxLayers of the simulator doing only its own work: answering the host's layer count.
extern "C" int32_t OwnWorkOfGetMaxLayers(uint32_t version);

static_assert(std::is_same<decltype(NothingService), fxhost::FX_GetKeySig>::value, "");
static_assert(std::is_same<decltype(OwnWorkOfGetMaxLayers), fxhost::FX_GetMaxLayers>::value, "");
