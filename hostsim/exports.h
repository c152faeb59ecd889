// How the simulator's services are exported: by their plain names, in the host's calling
// convention. The 32-bit test host exports them from FINALE.EXE; the native build enters them
// into the Win32 stand-in's module registry under "FINALE.EXE".
#pragma once
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "hostapi/fxhost.h"

#ifdef _WIN32
#define HOSTAPI __declspec(dllexport) __stdcall
#else
#define HOSTAPI
#endif

namespace hostsim {
// One exported service and what a test set for it. Constructing it enters the service into the
// registry the plug-in's GetProcAddress reads (native build); a service finds its own state
// through its object, never by its name.
struct Service {
  Service(const char* name, void* address);
  const char* name;       // the exported name
  void* address;          // the function
  bool logged;            // logging is on (SetLogging sets it in every service, so that a
                          // call with logging off tests only its own service's flags)
  bool answerSet = false; // a test set an answer: it replaces the service's work
  int32_t answer = 0;     // that answer
};

void LogCall(const Service& service, std::initializer_list<uint64_t> slots, uint32_t version);
inline void Log(const Service& service, std::initializer_list<uint64_t> slots, uint32_t version) {
  if (service.logged) LogCall(service, slots, version);
}

inline int32_t Answer(const Service& service, int32_t fallback = 0) {
  return service.answerSet ? service.answer : fallback;
}
inline bool AnswerSet(const Service& service, int32_t* value) {
  if (!service.answerSet) return false;
  *value = service.answer;
  return true;
}
} // namespace hostsim

// Defines an exported service: extern "C", host convention, entered into the registry. Its
// state is the object <name>_service. Its type must be the one the bridge calls it through.
#define HOST_SERVICE(ret, name, params)                                                            \
  extern "C" ret HOSTAPI name params;                                                              \
  static_assert(std::is_same<decltype(name), fxhost::name>::value,                                 \
                #name " is not defined with the type the bridge calls it through");                \
  static hostsim::Service name##_service(#name, reinterpret_cast<void*>(&name));                   \
  extern "C" ret HOSTAPI name params
