// The plug-in's six entry points, called by the 32-bit host through the pointers it found by
// name, and the host module the plug-in binds its services from.
#include "e2e/host.h"

#include <cstring>
#include <set>

using namespace e2e;

namespace {

// A session in which the test makes the host's start-up calls itself.
class EntryPoints : public HostSession {
protected:
  bool StartsPlugin() const override { return false; }
};

// The zero-terminated names "FX_..." in the module's data sections: the host services its
// bridge will ask GetProcAddress for.
std::set<std::string> ServiceNamesIn(HMODULE module) {
  std::set<std::string> names;
  const BYTE* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) continue;
    const char* p = reinterpret_cast<const char*>(base + section->VirtualAddress);
    size_t size = section->Misc.VirtualSize;
    for (size_t at = 1; at + 4 < size; ++at) {
      if (p[at - 1] != 0 || strncmp(p + at, "FX_", 3) != 0) continue;
      size_t end = at + 3;
      while (end < size && (isalnum(static_cast<unsigned char>(p[end])) || p[end] == '_'))
        ++end;
      if (end < size && p[end] == 0 && end > at + 3) names.insert(std::string(p + at, end - at));
    }
  }
  return names;
}

const unsigned char kUntouched = 0xCC;

// The menu record in a larger block, so that a write past its 196 bytes shows.
struct MenuBlock {
  unsigned char bytes[256];
  MenuBlock() { memset(bytes, kUntouched, sizeof bytes); }
  EXTENSIONMENURECORD* record() { return reinterpret_cast<EXTENSIONMENURECORD*>(bytes); }
  std::string Field(int offset) const {
    return std::string(reinterpret_cast<const char*>(bytes + offset),
                       strnlen(reinterpret_cast<const char*>(bytes + offset), 64));
  }
  // True when the 64-byte field holds text and zero bytes after it, nothing else.
  bool ZeroPadded(int offset, const std::string& text) const {
    if (Field(offset) != text) return false;
    for (size_t i = text.size(); i < 64; ++i)
      if (bytes[offset + i] != 0) return false;
    return true;
  }
  bool UntouchedFrom(int offset) const {
    for (size_t i = static_cast<size_t>(offset); i < sizeof bytes; ++i)
      if (bytes[i] != kUntouched) return false;
    return true;
  }
};

} // namespace

TEST_F(EntryPoints, TheHostModuleIsFinaleExeAndExportsEveryServiceThePluginNames) {
  HMODULE host = GetModuleHandleA("FINALE.EXE");
  ASSERT_EQ(host, GetModuleHandleA(nullptr)) << "this program is the host module";
  std::set<std::string> names = ServiceNamesIn(plugin.module);
  // the services the tool's own work needs are among them, so the scan reads the right bytes
  for (const char* used : {"FX_Dialog", "FX_LoadTGF", "FX_SaveTGF", "FX_FreeTGF",
                           "FX_GetCurERegions", "FX_StartFinaleEdit", "FX_ExecuteMenuItem",
                           "FX_GetFinalePath", "FX_GetDlgItemVal", "FX_EnableDlgItem"})
    EXPECT_EQ(names.count(used), 1u) << used;
  for (const std::string& name : names) {
    EXPECT_NE(GetProcAddress(host, name.c_str()), nullptr) << "FINALE.EXE does not export " << name;
  }
  // exported undecorated only: no stdcall decoration reaches the export table
  EXPECT_EQ(GetProcAddress(host, "_FX_Dialog@24"), nullptr);
  EXPECT_EQ(GetProcAddress(host, "FX_Dialog@24"), nullptr);
}

TEST_F(EntryPoints, VersionAnswersTheInterfaceVersionWhateverTheHostReports) {
  for (uint32_t hostVersion : {0x0F000200u, 0x1A000100u, 0u, 0xFFFFFFFFu})
    EXPECT_EQ(plugin.version(hostVersion), 0x0F000000u) << std::hex << hostVersion;
}

TEST_F(EntryPoints, InitSetsBitZeroOfTheHostsFlagWordAndNothingBesideIt) {
  plugin.version(kHostVersion);
  uint32_t words[3] = {0xAAAAAAAAu, 6u, 0x55555555u};
  EXPECT_EQ(plugin.init(nullptr, &words[1]), 1);
  EXPECT_EQ(words[1], 7u);
  EXPECT_EQ(words[0], 0xAAAAAAAAu);
  EXPECT_EQ(words[2], 0x55555555u);

  words[1] = 1u;
  EXPECT_EQ(plugin.init(nullptr, &words[1]), 1);
  EXPECT_EQ(words[1], 1u);
  words[1] = 0xFFFFFFFEu;
  EXPECT_EQ(plugin.init(nullptr, &words[1]), 1);
  EXPECT_EQ(words[1], 0xFFFFFFFFu);
}

TEST_F(EntryPoints, EnumerateFillsExactlyTheMenuRecordForIndexZeroAndBelow) {
  plugin.version(kHostVersion);
  uint32_t flags = 0;
  plugin.init(nullptr, &flags);
  // only the low 16 bits of the index count, as a signed value: 0x10000 is 0, 0x1FFFF is -1
  for (int32_t index : {0, -1, -32768, 0x10000, 0x1FFFF}) {
    SCOPED_TRACE(index);
    MenuBlock menu;
    EXPECT_EQ(plugin.enumerate(nullptr, index, menu.record()), 1);
    EXPECT_TRUE(menu.ZeroPadded(0, "QV Chord Shaper...")) << menu.Field(0);
    EXPECT_TRUE(menu.ZeroPadded(64, "Manipulates chords in many different ways."))
        << menu.Field(64);
    EXPECT_TRUE(menu.ZeroPadded(128, "Chord Shaper")) << menu.Field(128);
    for (int i = 192; i < 196; ++i)
      EXPECT_EQ(menu.bytes[i], 0) << "byte " << i;
    EXPECT_TRUE(menu.UntouchedFrom(196)) << "written past the 196-byte record";
  }
}

TEST_F(EntryPoints, EnumerateOffersOneItemAndWritesNothingForAnyOther) {
  plugin.version(kHostVersion);
  for (int32_t index : {1, 2, 0x7FFF, 0x10001}) {
    SCOPED_TRACE(index);
    MenuBlock menu;
    EXPECT_EQ(plugin.enumerate(nullptr, index, menu.record()), 0);
    EXPECT_TRUE(menu.UntouchedFrom(0));
  }
}

TEST_F(EntryPoints, TheMenuItemIsAlwaysAvailableAndTerminateChangesNothing) {
  EXPECT_EQ(plugin.menuStatus(nullptr), 1);
  plugin.version(kHostVersion);
  uint32_t flags = 0;
  plugin.init(nullptr, &flags);
  EXPECT_EQ(plugin.menuStatus(nullptr), 1);
  plugin.terminate(nullptr);
  EXPECT_EQ(plugin.menuStatus(nullptr), 1);
  MenuBlock menu;
  EXPECT_EQ(plugin.enumerate(nullptr, 0, menu.record()), 1);
  EXPECT_TRUE(menu.ZeroPadded(0, "QV Chord Shaper..."));
  // nothing of the start-up reached the host's services: the bridge binds at first use
  EXPECT_EQ(hostsim::Calls().size(), 0u);
}
