// The product itself: the 32-bit plug-in DLL, loaded by path as the host loads it. Its export
// table, its imports, its version resource, and its entry points called the host's way.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "entry.h"
#include "support/hostfixture.h"

// The menu record the host hands to FinaleExtensionEnumerate, as the 32-bit host lays it out.
static_assert(sizeof(EXTENSIONMENURECORD) == 196, "menu record");

namespace {

// Turns a relative virtual address of the loaded image into a pointer.
template <typename T> const T* At(HMODULE image, DWORD rva) {
  return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(image) + rva);
}

const IMAGE_DATA_DIRECTORY& Directory(HMODULE image, int which) {
  const auto* dos = At<IMAGE_DOS_HEADER>(image, 0);
  const auto* nt = At<IMAGE_NT_HEADERS32>(image, dos->e_lfanew);
  return nt->OptionalHeader.DataDirectory[which];
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

struct HostCall {
  uint32_t result;    // the entry point's answer (EAX)
  uint32_t bytesLeft; // argument bytes the callee left on the stack; 0 in the host's convention
};

// Calls an entry point as the host does: pushes the 32-bit slots from the last to the first,
// calls, and measures what the callee removed from the stack before the stack is restored.
template <typename Fn> HostCall CallAsHost(Fn fn, std::vector<uint32_t> slots) {
  void* entry = reinterpret_cast<void*>(fn);
  uint32_t result;
  uint32_t count = static_cast<uint32_t>(slots.size());
  const uint32_t* args = slots.data();
  asm volatile("movl %%esp, %%esi\n\t"
               "andl $-16, %%esp\n\t" // aligned at the call, as a careful host does
               "leal (,%%ecx,4), %%eax\n\t"
               "negl %%eax\n\t"
               "andl $15, %%eax\n\t"
               "subl %%eax, %%esp\n\t"
               "movl %%esp, %%ebx\n\t" // the stack before the arguments
               "1:\n\t"
               "testl %%ecx, %%ecx\n\t"
               "jz 2f\n\t"
               "pushl -4(%%edx,%%ecx,4)\n\t"
               "decl %%ecx\n\t"
               "jmp 1b\n\t"
               "2:\n\t"
               "call *%%edi\n\t"
               "movl %%ebx, %%ecx\n\t"
               "subl %%esp, %%ecx\n\t" // what is still pushed
               "movl %%esi, %%esp\n\t"
               : "=a"(result), "+c"(count), "+d"(args)
               : "D"(entry)
               : "ebx", "esi", "memory", "cc");
  return HostCall{result, count};
}

// Two callees of known conventions, to prove the measurement itself.
uint32_t __stdcall CleansUp(uint32_t a, uint32_t b) {
  return a + b;
}
uint32_t __cdecl LeavesItsArguments(uint32_t a, uint32_t b) {
  return a - b;
}

class PluginDll : public HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    dll = LoadLibraryA(QV_PLUGIN_PATH);
    ASSERT_NE(dll, nullptr) << QV_PLUGIN_PATH << " error " << GetLastError();
  }
  // Not freed: the host keeps a plug-in loaded for its whole run.
  HMODULE dll = nullptr;
};

} // namespace

TEST_F(PluginDll, ExportsExactlyTheSixEntryPointsAsOrdinalsOneToSix) {
  const IMAGE_DATA_DIRECTORY& dir = Directory(dll, IMAGE_DIRECTORY_ENTRY_EXPORT);
  ASSERT_NE(dir.VirtualAddress, 0u);
  const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(dll, dir.VirtualAddress);
  EXPECT_EQ(exports->Base, 1u);
  EXPECT_EQ(exports->NumberOfFunctions, 6u);
  ASSERT_EQ(exports->NumberOfNames, 6u);
  EXPECT_STREQ(At<char>(dll, exports->Name), "QVChordShaper.dll");

  const char* const expected[] = {"FinaleExtensionEnumerate", "FinaleExtensionGetMenuStatus",
                                  "FinaleExtensionInit",      "FinaleExtensionInvoke",
                                  "FinaleExtensionTerminate", "FinaleExtensionVersion"};
  const DWORD* names = At<DWORD>(dll, exports->AddressOfNames);
  const WORD* ordinals = At<WORD>(dll, exports->AddressOfNameOrdinals);
  const DWORD* functions = At<DWORD>(dll, exports->AddressOfFunctions);
  for (DWORD i = 0; i < 6; ++i) {
    const char* name = At<char>(dll, names[i]);
    SCOPED_TRACE(name);
    EXPECT_STREQ(name, expected[i]);               // undecorated, in alphabetical order
    EXPECT_EQ(ordinals[i] + exports->Base, i + 1); // ordinal i + 1
    // code in the image, not a forwarder into another module
    DWORD rva = functions[ordinals[i]];
    EXPECT_FALSE(rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size);
    EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(dll, name)), At<void>(dll, rva));
    EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(dll, MAKEINTRESOURCEA(i + 1))),
              At<void>(dll, rva));
  }
  EXPECT_EQ(GetProcAddress(dll, "_FinaleExtensionVersion@4"), nullptr);
  EXPECT_EQ(GetProcAddress(dll, "FinaleExtensionVersion@4"), nullptr);
}

TEST_F(PluginDll, ImportsOnlySystemLibraries) {
  const char* const system[] = {"kernel32.dll", "user32.dll",   "msvcrt.dll",
                                "gdi32.dll",    "advapi32.dll", "comctl32.dll",
                                "ntdll.dll",    "version.dll",  "shell32.dll"};
  std::vector<std::string> imported;
  const IMAGE_DATA_DIRECTORY& dir = Directory(dll, IMAGE_DIRECTORY_ENTRY_IMPORT);
  ASSERT_NE(dir.VirtualAddress, 0u);
  for (const auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(dll, dir.VirtualAddress); d->Name; ++d)
    imported.push_back(Lower(At<char>(dll, d->Name)));
  const IMAGE_DATA_DIRECTORY& delayed = Directory(dll, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
  EXPECT_EQ(delayed.VirtualAddress, 0u); // nothing loaded behind the host's back

  EXPECT_NE(std::find(imported.begin(), imported.end(), "kernel32.dll"), imported.end());
  for (const std::string& name : imported) {
    SCOPED_TRACE(name);
    EXPECT_NE(std::find(std::begin(system), std::end(system), name), std::end(system));
    EXPECT_EQ(name.find("libstdc++"), std::string::npos);
    EXPECT_EQ(name.find("libgcc"), std::string::npos);
    EXPECT_EQ(name.find("winpthread"), std::string::npos);
  }
}

TEST_F(PluginDll, CarriesVersion1060AndItsUSEnglishStrings) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(QV_PLUGIN_PATH, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(QV_PLUGIN_PATH, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00060000u); // .6.0
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00060000u);

  struct {
    const char* key;
    const char* value;
  } const strings[] = {{"FileDescription", "QV Chord Shaper plug-in for Finale(R)"},
                       {"FileVersion", "1,0,6,0"},
                       {"ProductName", "QV Chord Shaper"},
                       {"ProductVersion", "1,0,6,0"}};
  for (const auto& s : strings) {
    SCOPED_TRACE(s.key);
    std::string path = std::string("\\StringFileInfo\\040904e4\\") + s.key;
    char* text = nullptr;
    UINT chars = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &chars));
    EXPECT_STREQ(text, s.value);
  }

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0409); // US English
  EXPECT_EQ(translation[1], 1252);   // Western European code page
}

TEST(HostCallMeasure, SeesWhetherTheCalleeRemovedItsArguments) {
  HostCall c = CallAsHost(&CleansUp, {40, 2});
  EXPECT_EQ(c.result, 42u);
  EXPECT_EQ(c.bytesLeft, 0u);
  c = CallAsHost(&LeavesItsArguments, {40, 2});
  EXPECT_EQ(c.result, 38u);
  EXPECT_EQ(c.bytesLeft, 8u);
}

TEST_F(PluginDll, EntryPointsAnswerTheHostAndClearTheirArguments) {
  FARPROC version = GetProcAddress(dll, "FinaleExtensionVersion");
  FARPROC init = GetProcAddress(dll, "FinaleExtensionInit");
  FARPROC enumerate = GetProcAddress(dll, "FinaleExtensionEnumerate");
  FARPROC invoke = GetProcAddress(dll, "FinaleExtensionInvoke");
  FARPROC terminate = GetProcAddress(dll, "FinaleExtensionTerminate");
  FARPROC status = GetProcAddress(dll, "FinaleExtensionGetMenuStatus");
  ASSERT_TRUE(version && init && enumerate && invoke && terminate && status);
  auto slot = [](const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); };

  HostCall c = CallAsHost(version, {0x1B200000});
  EXPECT_EQ(c.result, 0x0F000000u);
  EXPECT_EQ(c.bytesLeft, 0u);

  uint32_t flags = 6;
  c = CallAsHost(init, {0, slot(&flags)});
  EXPECT_EQ(c.result, 1u);
  EXPECT_EQ(c.bytesLeft, 0u);
  EXPECT_EQ(flags, 7u);

  unsigned char menu[200];
  memset(menu, 0xCC, sizeof menu);
  c = CallAsHost(enumerate, {0, 0, slot(menu)});
  EXPECT_EQ(c.result, 1u);
  EXPECT_EQ(c.bytesLeft, 0u);
  EXPECT_STREQ(reinterpret_cast<char*>(menu), "QV Chord Shaper...");
  EXPECT_STREQ(reinterpret_cast<char*>(menu + 64), "Manipulates chords in many different ways.");
  EXPECT_STREQ(reinterpret_cast<char*>(menu + 128), "Chord Shaper");
  for (int i = 192; i < 196; ++i)
    EXPECT_EQ(menu[i], 0) << i;
  EXPECT_EQ(menu[196], 0xCC);
  memset(menu, 0xCC, sizeof menu);
  c = CallAsHost(enumerate, {0, 0x10001, slot(menu)});
  EXPECT_EQ(c.result, 0u);
  EXPECT_EQ(c.bytesLeft, 0u);
  EXPECT_EQ(menu[0], 0xCC);

  c = CallAsHost(status, {0});
  EXPECT_EQ(c.result, 1u);
  EXPECT_EQ(c.bytesLeft, 0u);

  c = CallAsHost(invoke, {0, 0, 0, 0});
  EXPECT_EQ(c.result, 0u);
  EXPECT_EQ(c.bytesLeft, 0u);

  c = CallAsHost(terminate, {0});
  EXPECT_EQ(c.bytesLeft, 0u);
}
