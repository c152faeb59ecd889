// How a bridge function reaches the host: one resolution slot per function, bound by name at
// the first call, and the argument and result narrowing of the host's 16-bit declarations.
#pragma once
#include "fxbridge.h"
#include "hostapi/fxhost.h"

namespace fxbridge {

// One host function's binding. The flag is set after the first look-up whether or not it
// found the function, so a service the host lacks is looked up once only.
struct HostProc {
  void* fpProc = nullptr;
  bool resolved = false;
};

// Looks the function up: the first call of each bridge function only.
void* Bind(HostProc& proc, const char* name);
// The bound function, or null for a host without it; inline, so that a bound call costs a test
// and an indirect call.
inline void* Resolve(HostProc& proc, const char* name) {
  return proc.resolved ? proc.fpProc : Bind(proc, name);
}

// A 16-bit argument reaches the host as its low 16 bits, widened to the 32-bit slot.
inline fourbyte S16(twobyte v) {
  return static_cast<fourbyte>(v);
}
inline fourbyte U16(utwobyte v) {
  return static_cast<fourbyte>(v);
}
// A 16-bit result is the low 16 bits of the host's answer, sign-extended.
inline twobyte R16(fourbyte r) {
  return static_cast<twobyte>(static_cast<uint16_t>(r));
}

// Calls the bound host function through its own type F (fxhost.h), the arguments converted
// to its parameter types.
template <typename F, typename... A> auto Call(void* fp, A... args) {
  return reinterpret_cast<F*>(fp)(args...);
}

// The first call of a bridge function: binds, then forwards. Out of line, so that every later
// call is a load, a test and an indirect call.
template <typename F, typename R, typename... A>
__attribute__((noinline)) R BindAndCall(HostProc& proc, const char* name, R fallback, A... a) {
  void* fp = Bind(proc, name);
  return fp ? Call<F>(fp, a...) : fallback;
}

// Forwards to the bound function; a host without the function gets the fallback and nothing
// is called.
template <typename F, typename R, typename... A>
R Raw(HostProc& proc, const char* name, R fallback, A... a) {
  if (proc.fpProc) return Call<F>(proc.fpProc, a...); // bound: the one test of a usual call
  return proc.resolved ? fallback : BindAndCall<F>(proc, name, fallback, a...);
}
template <typename F, typename... A>
twobyte Short(HostProc& proc, const char* name, twobyte fallback, A... a) {
  return R16(Raw<F>(proc, name, static_cast<fourbyte>(fallback), a...));
}

} // namespace fxbridge

// The body of bridge function `name`: binds the host function of the same name in a
// function-local slot and forwards the arguments given, with a 16-bit or a raw result.
#define FX_SHORT(name, fallback, ...)                                                              \
  static fxbridge::HostProc proc_;                                                                 \
  return fxbridge::Short<fxhost::name>(proc_, #name, twobyte(fallback), __VA_ARGS__)
#define FX_RAW(name, type, fallback, ...)                                                          \
  static fxbridge::HostProc proc_;                                                                 \
  return fxbridge::Raw<fxhost::name>(proc_, #name, static_cast<type>(fallback), __VA_ARGS__)
