// The entry points as the host calls them at start-up and shut-down, and the menu record.
#include <cstddef>
#include <cstring>
#include <string>

#include "entry.h"
#include "support/moduleglobals.h"

namespace {

// The entry points write the module globals; they are put back for the tests that follow.
class EntryPoints : public ModuleHost {};

// A 64-byte text field: the text, then zero bytes up to its end.
std::string Field(const char* text) {
  std::string field(text);
  field.resize(64, '\0');
  return field;
}

// The 196 bytes a filled menu record must hold.
std::string FilledRecord() {
  return Field("QV Chord Shaper...") + Field("Manipulates chords in many different ways.") +
         Field("Chord Shaper") + std::string(4, '\0');
}

const unsigned char kUntouched = 0xCC;

} // namespace

static_assert(offsetof(EXTENSIONMENURECORD, description) == 64, "description at 64");
static_assert(offsetof(EXTENSIONMENURECORD, shortname) == 128, "short name at 128");
static_assert(offsetof(EXTENSIONMENURECORD, reserved1) == 192, "first 16-bit field at 192");
static_assert(offsetof(EXTENSIONMENURECORD, reserved2) == 194, "second 16-bit field at 194");

TEST_F(EntryPoints, VersionAnswers0F000000AndKeepsTheHostVersion) {
  EXPECT_EQ(FinaleExtensionVersion(0x1B200000), 0x0F000000u);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x1B200000u);
  EXPECT_EQ(RunningFinaleVersion, 0x1B200000u);
  EXPECT_EQ(FinaleExtensionVersion(0x0A000000), 0x0F000000u);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x0A000000u); // the last value given counts
  SetMinRequiredVersion(0x7FFFFFFF);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x0A000000u);
}

TEST_F(EntryPoints, InitSetsBitZeroOfTheFlagWordOnly) {
  struct {
    ufourbyte before, after;
  } const cases[] = {{6, 7}, {1, 1}, {0, 1}, {0xFFFFFFFE, 0xFFFFFFFF}, {0x80000000, 0x80000001}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    ufourbyte flags = c.before;
    EXPECT_EQ(FinaleExtensionInit(nullptr, &flags), 1);
    EXPECT_EQ(flags, c.after);
  }
  EXPECT_EQ(FinaleExtensionInit(nullptr, nullptr), 1); // no flag word: nothing to set
}

TEST_F(EntryPoints, InitSetsTheSettingsDefaultsButNotTheFourNoteRule) {
  for (bool fourNote : {true, false}) {
    SCOPED_TRACE(fourNote);
    GlobalUserSettings.bFourNoteDropChords = fourNote;
    GlobalUserSettings.nTaskIndex = 12;
    GlobalUserSettings.bRespaceMusic = false;
    GlobalUserSettings.bTop = false;
    ufourbyte flags = 0;
    FinaleExtensionInit(nullptr, &flags);
    EXPECT_EQ(GlobalUserSettings.bFourNoteDropChords, fourNote);
    EXPECT_EQ(GlobalUserSettings.nTaskIndex, 0);
    EXPECT_TRUE(GlobalUserSettings.bRespaceMusic);
    EXPECT_TRUE(GlobalUserSettings.bTop);
  }
}

TEST_F(EntryPoints, EnumerateFillsExactly196BytesForIndexZeroAndBelow) {
  // only the low 16 bits of the index count, read as a signed value
  for (fourbyte index : {0, -1, -32768, 0x8000, 0x10000, 0x1FFFF, 0x7FFF0000}) {
    SCOPED_TRACE(index);
    unsigned char block[256];
    memset(block, kUntouched, sizeof block);
    EXPECT_EQ(
        FinaleExtensionEnumerate(nullptr, index, reinterpret_cast<EXTENSIONMENURECORD*>(block)), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 196), FilledRecord());
    for (size_t i = 196; i < sizeof block; ++i)
      ASSERT_EQ(block[i], kUntouched) << i;
  }
}

TEST_F(EntryPoints, EnumerateOffersNoSecondItem) {
  for (fourbyte index : {1, 2, 0x7FFF, 0x10001, -0xFFFF, 0x7FFF0001}) {
    SCOPED_TRACE(index);
    unsigned char block[196];
    memset(block, kUntouched, sizeof block);
    EXPECT_EQ(
        FinaleExtensionEnumerate(nullptr, index, reinterpret_cast<EXTENSIONMENURECORD*>(block)), 0);
    for (size_t i = 0; i < sizeof block; ++i)
      ASSERT_EQ(block[i], kUntouched) << i;
  }
  EXPECT_EQ(FinaleExtensionEnumerate(nullptr, 0, nullptr), 0); // no record to fill
}

TEST_F(EntryPoints, MenuStatusAndTerminateChangeNothing) {
  ufourbyte flags = 0;
  FinaleExtensionVersion(0x1B200000);
  FinaleExtensionInit(nullptr, &flags);
  GlobalUserSettings.nTaskIndex = 5;
  const UserSettings before = GlobalUserSettings;

  int anything = 0;
  EXPECT_EQ(FinaleExtensionGetMenuStatus(nullptr), 1);
  EXPECT_EQ(FinaleExtensionGetMenuStatus(&anything), 1);
  FinaleExtensionTerminate(nullptr);
  FinaleExtensionTerminate(&anything);

  EXPECT_EQ(RunningFinaleVersion, 0x1B200000u);
  EXPECT_EQ(GlobalUserSettings.bFourNoteDropChords, before.bFourNoteDropChords);
  EXPECT_EQ(GlobalUserSettings.nTaskIndex, 5);
  EXPECT_EQ(GlobalUserSettings.bRespaceMusic, before.bRespaceMusic);
  EXPECT_EQ(GlobalUserSettings.bTop, before.bTop);
}

TEST_F(EntryPoints, StartUpAndShutDownAskNothingOfTheHost) {
  ufourbyte flags = 0;
  EXTENSIONMENURECORD menu;
  FinaleExtensionVersion(0x1B200000);
  FinaleExtensionInit(nullptr, &flags);
  FinaleExtensionEnumerate(nullptr, 0, &menu);
  FinaleExtensionEnumerate(nullptr, 1, &menu);
  FinaleExtensionGetMenuStatus(nullptr);
  FinaleExtensionTerminate(nullptr);
  EXPECT_TRUE(hostsim::Calls().empty());
  EXPECT_EQ(LoadedTGFCounter, 0);
  EXPECT_EQ(FinaleEditDepth, 0);
}
