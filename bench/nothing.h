// The do-nothing host service, with the type the bridge calls FX_GetKeySig through.
#pragma once
#include <cstdint>
#include <type_traits>

#include "fxhost.h"

extern "C" int32_t NothingService(int32_t staff, int32_t measure, uint32_t version);
static_assert(std::is_same<decltype(NothingService), fxhost::FX_GetKeySig>::value, "");
