// The test host: loads the plug-in module by path, finds its six entry points by name and
// drives it as the notation host does, printing what the plug-in registers.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "hostsim.h"

#ifdef _WIN32
#include <windows.h>
#define ENTRY __stdcall
static void* OpenModule(const char* path) { return (void*)LoadLibraryA(path); }
static void* FindEntry(void* module, const char* name) {
  return (void*)GetProcAddress((HMODULE)module, name);
}
static const char* DefaultPlugin() { return "QVChordShaper.dll"; }
#else
#include <dlfcn.h>
#define ENTRY
static void* OpenModule(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void* FindEntry(void* module, const char* name) { return dlsym(module, name); }
static const char* DefaultPlugin() { return "./QVChordShaper.so"; }
#endif

typedef uint32_t(ENTRY* VersionFn)(uint32_t);
typedef int32_t(ENTRY* InitFn)(void*, uint32_t*);
typedef int32_t(ENTRY* EnumerateFn)(void*, int32_t, void*);
typedef int32_t(ENTRY* InvokeFn)(void*, void*, void*, void*);
typedef void(ENTRY* TerminateFn)(void*);
typedef int32_t(ENTRY* MenuStatusFn)(void*);

// Prints a zero-padded 64-byte text field of the menu record.
static void PrintField(const char* label, const unsigned char* field) {
  char text[65];
  memcpy(text, field, 64);
  text[64] = 0;
  printf("%-12s \"%s\"\n", label, text);
}

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DefaultPlugin();
  hostsim::Reset();
  void* module = OpenModule(path);
  if (!module) {
    fprintf(stderr, "cannot load the plug-in module %s\n", path);
    return 1;
  }
  const char* names[] = {"FinaleExtensionVersion",   "FinaleExtensionInit",
                         "FinaleExtensionEnumerate", "FinaleExtensionInvoke",
                         "FinaleExtensionTerminate", "FinaleExtensionGetMenuStatus"};
  void* entries[6];
  for (int i = 0; i < 6; ++i) {
    entries[i] = FindEntry(module, names[i]);
    if (!entries[i]) {
      fprintf(stderr, "the plug-in lacks the entry point %s\n", names[i]);
      return 1;
    }
  }
  uint32_t answer = reinterpret_cast<VersionFn>(entries[0])(0x0F000200);
  printf("plug-in      %s\n", path);
  printf("interface    0x%08X\n", (unsigned)answer);
  uint32_t flags = 0;
  reinterpret_cast<InitFn>(entries[1])(nullptr, &flags);
  printf("init flags   %u\n", (unsigned)flags);
  unsigned char menu[196];
  memset(menu, 0xCC, sizeof menu);
  if (!reinterpret_cast<EnumerateFn>(entries[2])(nullptr, 0, menu)) {
    fprintf(stderr, "the plug-in registered no menu item\n");
    return 1;
  }
  PrintField("menu item", menu);
  PrintField("description", menu + 64);
  PrintField("short name", menu + 128);
  printf("menu status  %d\n", (int)reinterpret_cast<MenuStatusFn>(entries[5])(nullptr));
  reinterpret_cast<TerminateFn>(entries[4])(nullptr);
  return 0;
}
