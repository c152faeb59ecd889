// The host simulator's C++ side: what tests and the test host use to set the host up and to
// see what reached it. The services themselves (FX_*) are in the services_*.cpp files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

// One call as it reached the host: its name, the raw argument slots and the version word.
struct CallRecord {
  std::string name;            // exported name, for example "FX_LoadTGF"
  std::vector<uint64_t> slots; // arguments before the version word, as passed
  uint32_t version;            // the last argument
};

struct Service;

// Puts the whole host back to the state a test starts from: empty logs with logging on, default
// answers, every service registered again (native build), no module name hidden.
void Reset();

// Whether calls and record transfers are logged. Off until a Reset (hosts that are no test,
// like the benchmarks and the headless host, leave it off or turn it off): logging then costs
// one test per call.
void SetLogging(bool on);
extern bool loggingOn; // what SetLogging set
inline bool Logging() {
  return loggingOn;
}

// Records a call; every service calls it first through Log (exports.h), when logging is on.
void LogCall(const Service& service, std::initializer_list<uint64_t> slots, uint32_t version);
const std::vector<CallRecord>& Calls();
// The calls of one service, in order.
std::vector<CallRecord> CallsTo(const std::string& name);
int CountCalls(const std::string& name);
void ClearCalls();

// Services without a model answer a settable 32-bit value; 0 until set. A name that is no
// service of the simulator sets nothing.
void SetAnswer(const std::string& name, int32_t value);
// Answer(service, fallback) and AnswerSet(service, &value), whether a test set an answer for
// the service (it then replaces the service's work) and which, are in exports.h.

// Native build only: take a service away from the host module (a host that lacks it), or the
// whole module (neither "FINALE.EXE" nor "FINDEMO.EXE" loaded). No effect in the 32-bit build.
void RemoveService(const char* name);
void HideHostModule();

} // namespace hostsim

namespace hostsim {
// A raw argument slot as logged: integers by their 32-bit pattern, pointers by address.
inline uint64_t Slot(int32_t v) {
  return static_cast<uint32_t>(v);
}
inline uint64_t Slot(uint32_t v) {
  return v;
}
inline uint64_t Slot(const void* p) {
  return reinterpret_cast<uintptr_t>(p);
}
inline uint64_t Slot(double d) {
  return static_cast<uint64_t>(static_cast<int64_t>(d));
}
} // namespace hostsim
