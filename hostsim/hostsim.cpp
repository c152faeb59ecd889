#include "hostsim.h"
#include "exports.h"
#include "score.h"
#include "dialogs.h"

#ifndef _WIN32
#include "winshim.h"
#endif

namespace hostsim {

bool loggingOn = false; // calls and transfers are logged

namespace {
std::vector<CallRecord>& CallLog() {
  static std::vector<CallRecord> calls;
  return calls;
}
// Every service the simulator exports, for entering them again after a Reset.
std::vector<Service*>& Services() {
  static std::vector<Service*> services;
  return services;
}
#ifndef _WIN32
HMODULE HostModule() {
  return WinShim_RegisterModule("FINALE.EXE");
}
#endif
} // namespace

Service::Service(const char* n, void* a) : name(n), address(a), logged(loggingOn) {
  Services().push_back(this);
#ifndef _WIN32
  WinShim_RegisterProc(HostModule(), name, address);
#endif
}

void Reset() {
  ResetDialogs(); // before the windows go: no message may reach a procedure whose data is gone
  CallLog().clear();
  TheHost() = Host();
  SetLogging(true);
  for (Service* s : Services())
    s->answerSet = false;
#ifndef _WIN32
  HMODULE module = HostModule();
  for (Service* s : Services())
    WinShim_RegisterProc(module, s->name, s->address);
  WinShim_Reset();
#endif
}

void SetLogging(bool on) {
  loggingOn = on;
  for (Service* s : Services())
    s->logged = on;
}

void LogCall(const Service& service, std::initializer_list<uint64_t> slots, uint32_t version) {
  CallLog().push_back(CallRecord{service.name, std::vector<uint64_t>(slots), version});
}

const std::vector<CallRecord>& Calls() {
  return CallLog();
}

std::vector<CallRecord> CallsTo(const std::string& name) {
  std::vector<CallRecord> out;
  for (auto& c : CallLog())
    if (c.name == name) out.push_back(c);
  return out;
}

int CountCalls(const std::string& name) {
  return static_cast<int>(CallsTo(name).size());
}

void ClearCalls() {
  CallLog().clear();
}

void SetAnswer(const std::string& name, int32_t value) {
  for (Service* s : Services())
    if (name == s->name) {
      s->answerSet = true;
      s->answer = value;
    }
}

void RemoveService(const char* name) {
#ifndef _WIN32
  WinShim_RemoveProc(HostModule(), name);
#else
  (void)name;
#endif
}

void HideHostModule() {
#ifndef _WIN32
  WinShim_UnregisterModule("FINALE.EXE");
  WinShim_UnregisterModule("FINDEMO.EXE");
#endif
}

} // namespace hostsim
