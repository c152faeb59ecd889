#include "hostsim.h"
#include "hostapi.h"
#include "score.h"
#include "dialogs.h"

#include <map>

#ifndef _WIN32
#include "winshim.h"
#endif

namespace hostsim {

namespace {
std::vector<CallRecord>& CallLog() {
  static std::vector<CallRecord> calls;
  return calls;
}
std::map<std::string, int32_t>& Answers() {
  static std::map<std::string, int32_t> answers;
  return answers;
}
// Every service the simulator exports, for entering them again after a Reset.
std::vector<std::pair<const char*, void*>>& Services() {
  static std::vector<std::pair<const char*, void*>> services;
  return services;
}
#ifndef _WIN32
HMODULE HostModule() {
  return WinShim_RegisterModule("FINALE.EXE");
}
#endif
} // namespace

Registrar::Registrar(const char* name, void* address) {
  Services().push_back({name, address});
#ifndef _WIN32
  WinShim_RegisterProc(HostModule(), name, address);
#endif
}

void Reset() {
  ResetDialogs(); // before the windows go: no message may reach a procedure whose data is gone
  CallLog().clear();
  TheHost() = Host();
  Answers().clear();
#ifndef _WIN32
  HMODULE module = HostModule();
  for (auto& s : Services())
    WinShim_RegisterProc(module, s.first, s.second);
  WinShim_Reset();
#endif
}

void Log(const char* name, std::initializer_list<uint64_t> slots, uint32_t version) {
  CallLog().push_back(CallRecord{name, std::vector<uint64_t>(slots), version});
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
  Answers()[name] = value;
}

int32_t Answer(const std::string& name, int32_t fallback) {
  auto it = Answers().find(name);
  return it == Answers().end() ? fallback : it->second;
}

bool AnswerSet(const std::string& name, int32_t* value) {
  auto it = Answers().find(name);
  if (it == Answers().end()) return false;
  *value = it->second;
  return true;
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
