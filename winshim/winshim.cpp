#include "winshim.h"

#include <map>
#include <memory>
#include <string>
#include <strings.h>

namespace {

struct Module {
  std::map<std::string, void*> procs; // exported name -> address
};

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

std::map<std::string, std::unique_ptr<Module>, CaseLess>& Modules() {
  static std::map<std::string, std::unique_ptr<Module>, CaseLess> modules;
  return modules;
}

int moduleLookups = 0;
std::map<std::string, int>& ProcLookups() {
  static std::map<std::string, int> counts;
  return counts;
}

} // namespace

extern "C" {

HMODULE WinShim_RegisterModule(const char* name) {
  std::unique_ptr<Module>& m = Modules()[name];
  if (!m) m.reset(new Module);
  return reinterpret_cast<HMODULE>(m.get());
}

void WinShim_UnregisterModule(const char* name) {
  Modules().erase(name);
}

void WinShim_RegisterProc(HMODULE module, const char* name, void* proc) {
  if (module) reinterpret_cast<Module*>(module)->procs[name] = proc;
}

void WinShim_RemoveProc(HMODULE module, const char* name) {
  if (module) reinterpret_cast<Module*>(module)->procs.erase(name);
}

int WinShim_ModuleLookups(void) {
  return moduleLookups;
}

int WinShim_ProcLookups(const char* name) {
  auto it = ProcLookups().find(name);
  return it == ProcLookups().end() ? 0 : it->second;
}

void WinShim_ResetCounters(void) {
  moduleLookups = 0;
  ProcLookups().clear();
}

HMODULE GetModuleHandleA(LPCSTR name) {
  ++moduleLookups;
  if (!name) return nullptr;
  auto it = Modules().find(name);
  return it == Modules().end() ? nullptr : reinterpret_cast<HMODULE>(it->second.get());
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!name) return nullptr;
  ++ProcLookups()[name];
  if (!module) return nullptr;
  auto& procs = reinterpret_cast<Module*>(module)->procs;
  auto it = procs.find(name);
  return it == procs.end() ? nullptr : reinterpret_cast<FARPROC>(it->second);
}

} // extern "C"

// ---- Windows ---------------------------------------------------------------------------
extern "C" {
HWND GetDlgItem(HWND, int) {
  return nullptr;
}
BOOL ShowWindow(HWND, int) {
  return FALSE;
}
}

// The native build carries no string resources.
extern "C" int LoadStringA(HINSTANCE, UINT, LPSTR buffer, int capacity) {
  if (buffer && capacity > 0) buffer[0] = 0;
  return 0;
}
