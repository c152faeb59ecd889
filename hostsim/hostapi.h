// How the simulator's services are exported: by their plain names, in the host's calling
// convention. The 32-bit test host exports them from FINALE.EXE; the native build enters them
// into the Win32 stand-in's module registry under "FINALE.EXE".
#pragma once
#include <cstdint>

#ifdef _WIN32
#define HOSTAPI __declspec(dllexport) __stdcall
#else
#define HOSTAPI
#endif

namespace hostsim {
// Enters one service into the registry the plug-in's GetProcAddress reads (native build).
struct Registrar {
  Registrar(const char* name, void* address);
};
} // namespace hostsim

// Defines an exported service: extern "C", host convention, entered into the registry.
#define HOST_SERVICE(ret, name, params)                                                            \
  extern "C" ret HOSTAPI name params;                                                              \
  static const hostsim::Registrar name##_registrar(#name, reinterpret_cast<void*>(&name));         \
  extern "C" ret HOSTAPI name params
