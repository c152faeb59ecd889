// The plug-in module as the host meets it: its globals at load, and the built module loaded by
// path with its entry points found by name.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "entry.h"
#include "support/hostfixture.h"

namespace {

class PluginModule : public HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    module = dlopen(QV_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
  }
  // Deliberately not closed: the host keeps a plug-in loaded for its whole run.
  template <typename Fn> Fn Entry(const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
  }
  void* module = nullptr;
};

class ModuleAtLoad : public ::testing::Test {};

} // namespace

TEST_F(ModuleAtLoad, GlobalsHoldTheirInitialValues) {
  EXPECT_EQ(RunningFinaleVersion, 0x0F000200u);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x0F000200u);
  EXPECT_EQ(pMainWindow, nullptr);
  EXPECT_FALSE(GlobalUserSettings.bFourNoteDropChords);
  EXPECT_EQ(GlobalUserSettings.nTaskIndex, 0);
  EXPECT_FALSE(GlobalUserSettings.bRespaceMusic);
  EXPECT_FALSE(GlobalUserSettings.bTop);
  EXPECT_EQ(LoadedTGFCounter, 0);
  EXPECT_EQ(FinaleEditDepth, 0);
  EXPECT_EQ(MassEditDepth, 0);
}

TEST_F(PluginModule, HasTheSixEntryPointsByName) {
  for (const char* name :
       {"FinaleExtensionVersion", "FinaleExtensionInit", "FinaleExtensionEnumerate",
        "FinaleExtensionInvoke", "FinaleExtensionTerminate", "FinaleExtensionGetMenuStatus"}) {
    EXPECT_NE(dlsym(module, name), nullptr) << name;
  }
}

TEST_F(PluginModule, StartsUpListsItsItemAndShutsDownAsTheHostDrivesIt) {
  auto version = Entry<FinaleExtensionVersionProc>("FinaleExtensionVersion");
  auto init = Entry<FinaleExtensionInitProc>("FinaleExtensionInit");
  auto enumerate = Entry<FinaleExtensionEnumerateProc>("FinaleExtensionEnumerate");
  auto status = Entry<FinaleExtensionGetMenuStatusProc>("FinaleExtensionGetMenuStatus");
  auto terminate = Entry<FinaleExtensionTerminateProc>("FinaleExtensionTerminate");
  ASSERT_TRUE(version && init && enumerate && status && terminate);

  EXPECT_EQ(version(0x1B200000), 0x0F000000u);
  uint32_t flags = 6;
  EXPECT_EQ(init(nullptr, &flags), 1);
  EXPECT_EQ(flags, 7u);

  unsigned char menu[200];
  memset(menu, 0xCC, sizeof menu);
  EXPECT_EQ(enumerate(nullptr, 0, reinterpret_cast<EXTENSIONMENURECORD*>(menu)), 1);
  EXPECT_STREQ(reinterpret_cast<char*>(menu), "QV Chord Shaper...");
  EXPECT_STREQ(reinterpret_cast<char*>(menu + 64), "Manipulates chords in many different ways.");
  EXPECT_STREQ(reinterpret_cast<char*>(menu + 128), "Chord Shaper");
  EXPECT_EQ(menu[63], 0);
  EXPECT_EQ(menu[195], 0);
  EXPECT_EQ(menu[196], 0xCC);
  memset(menu, 0xCC, sizeof menu);
  EXPECT_EQ(enumerate(nullptr, 1, reinterpret_cast<EXTENSIONMENURECORD*>(menu)), 0);
  EXPECT_EQ(menu[0], 0xCC);

  EXPECT_EQ(status(nullptr), 1);
  terminate(nullptr);
  EXPECT_TRUE(hostsim::Calls().empty()); // no host service is needed to start up
}

TEST_F(PluginModule, InvokeAnswersZero) {
  auto version = Entry<FinaleExtensionVersionProc>("FinaleExtensionVersion");
  auto init = Entry<FinaleExtensionInitProc>("FinaleExtensionInit");
  auto invoke = Entry<FinaleExtensionInvokeProc>("FinaleExtensionInvoke");
  ASSERT_TRUE(version && init && invoke);
  uint32_t flags = 0;
  version(0x1B200000);
  init(nullptr, &flags);
  EXPECT_EQ(invoke(nullptr, nullptr, nullptr, nullptr), 0);
}
