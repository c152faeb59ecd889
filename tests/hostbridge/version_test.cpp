// Version words of record transfers: what the host receives for each tag and size.
#include "support/recordfixture.h"

using namespace hostsim;

namespace {

const char* const kTextBlock =
    "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter";
const char* const kGfhold =
    "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter";
const char* const kShapeExpression =
    "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter";

struct VersionCase {
  uint32_t tag;
  int32_t size;
  uint32_t given;
  uint32_t expected;
  const char* warning; // the developer warning the transfer shows, or null
};

// Each correction at its boundary and just beside it.
const VersionCase kCases[] = {
    {MAKEEXTAG('S', 'O', 'M', 'S'), 26, 0x09FFFFFF, 0x0A000000, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'S'), 26, 0x0A000000, 0x0A000000, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'S'), 26, 0x0F000200, 0x0F000200, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'S'), 24, 0x0F000200, 0x09000000, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'S'), 24, 0x01000000, 0x09000000, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'S'), 25, 0x01000000, 0x01000000, nullptr},
    {MAKEEXTAG('S', 'O', 'S', 'S'), 28, 0x09FFFFFF, 0x0A000000, nullptr},
    {MAKEEXTAG('S', 'O', 'S', 'S'), 28, 0x0A000001, 0x0A000001, nullptr},
    {MAKEEXTAG('O', 2, 'S', 'S'), 28, 0x00000000, 0x0A000000, nullptr},
    {MAKEEXTAG('S', 'O', 'S', 'S'), 24, 0x05FFFFFF, 0x06000000, nullptr},
    {MAKEEXTAG('S', 'O', 'S', 'S'), 24, 0x06000000, 0x06000000, nullptr},
    {MAKEEXTAG('O', 2, 'S', 'S'), 24, 0x05000000, 0x06000000, nullptr},
    {MAKEEXTAG('O', 2, 'S', 'S'), 24, 0x0F000200, 0x0F000200, nullptr},
    {MAKEEXTAG('S', 'O', 'S', 'S'), 22, 0x0F000200, 0x05000000, nullptr},
    {MAKEEXTAG('O', 2, 'S', 'S'), 22, 0x01000000, 0x05000000, nullptr},
    {MAKEEXTAG('S', 'O', 'I', 'S'), 66, 0x0F000000, 0x05000000, nullptr},
    {MAKEEXTAG('S', 'O', 'I', 'S'), 102, 0x0F000000, 0x08000000, nullptr},
    {MAKEEXTAG('S', 'O', 'I', 'S'), 114, 0x0F000000, 0x0F000000, nullptr},
    {MAKEEXTAG('S', 'O', 'T', 'X'), 48, 0x08000001, 0x08000000, nullptr},
    {MAKEEXTAG('S', 'O', 'T', 'X'), 48, 0x08000000, 0x08000000, nullptr},
    {MAKEEXTAG('S', 'O', 'T', 'X'), 48, 0x07000000, 0x07000000, nullptr},
    {MAKEEXTAG('S', 'O', 'T', 'X'), 26, 0x08FFFFFF, 0x09000000, kTextBlock},
    {MAKEEXTAG('S', 'O', 'T', 'X'), 26, 0x09000000, 0x09000000, nullptr},
    {MAKEEXTAG('S', 'D', 'G', 'F'), 12, 0x0F000200, 0x08000000, nullptr},
    {MAKEEXTAG('S', 'D', 'G', 'F'), 12, 0x07FFFFFF, 0x07FFFFFF, nullptr},
    {MAKEEXTAG('S', 'D', 'G', 'F'), 10, 0x08000000, 0x09000000, kGfhold},
    {MAKEEXTAG('S', 'D', 'G', 'F'), 10, 0x0F000200, 0x0F000200, nullptr},
    {MAKEEXTAG('o', 't', 'D', 'O'), 12, 0x0F000200, 0x08000000, nullptr},
    {MAKEEXTAG('o', 't', 'D', 'O'), 12, 0x08000000, 0x08000000, nullptr},
    {MAKEEXTAG('o', 't', 'D', 'O'), 34, 0x00000001, 0x09000000, kShapeExpression},
    {MAKEEXTAG('o', 't', 'D', 'O'), 34, 0x0A000000, 0x0A000000, nullptr},
    {MAKEEXTAG('S', 'O', 'M', 'T'), 26, 0x01000000, 0x01000000, nullptr}, // a tag outside the table
};

} // namespace

using VersionTest = RecordTransferTest;

TEST_F(VersionTest, EveryCorrectionReachesTheHostOnLoadAndSave) {
  for (const VersionCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << "tag 0x" << c.tag << " size " << std::dec
                                    << c.size << " version 0x" << std::hex << c.given);
    Reset();
    RecordKey key = MakeKey(1);
    std::vector<uint8_t> buffer(c.size);
    fourbyte size = c.size;
    FX_LoadEData(c.tag, key.data(), buffer.data(), &size, c.given);
    FX_SaveEData(c.tag, key.data(), buffer.data(), c.size, c.given);
    ASSERT_EQ(1, CountCalls("FX_LoadEData"));
    ASSERT_EQ(1, CountCalls("FX_SaveEData"));
    EXPECT_EQ(c.expected, CallsTo("FX_LoadEData")[0].version);
    EXPECT_EQ(c.expected, CallsTo("FX_SaveEData")[0].version);

    // The warning shows on each transfer whose version needed it, and the transfer goes on.
    std::vector<std::string> expectedAlerts;
    if (c.warning) expectedAlerts.assign(2, c.warning);
    EXPECT_EQ(expectedAlerts, TheHost().alerts);
  }
}

TEST_F(VersionTest, HandleEnigmaVersionLeavesTagAndSizeZeroAlone) {
  for (const VersionCase& c : kCases) {
    EXTAG tag = c.tag;
    EVERSION v = c.given;
    HandleEnigmaVersion(tag, 0, v);
    EXPECT_EQ(c.given, v);
    EXPECT_EQ(c.tag, tag);
  }
  EXPECT_TRUE(TheHost().alerts.empty());
}

TEST_F(VersionTest, MeasureLoadAtSize26KeepsNewVersionAndRaisesOldOne) {
  RecordKey key = MakeKey(1);
  uint8_t buffer[26];
  fourbyte size = 26;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, &size, 0x0F000200));
  size = 26;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, &size, 0x09000000));
  auto calls = CallsTo("FX_LoadEData");
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(0x0F000200u, calls[0].version);
  EXPECT_EQ(0x0A000000u, calls[1].version);
}

TEST_F(VersionTest, OldTextBlockSaveWarnsOnceThroughTheHostAndGoesOn) {
  RecordKey key = MakeKey(1);
  uint8_t buffer[26] = {};
  PutRecord(MAKEEXTAG('S', 'O', 'T', 'X'), key, std::vector<uint8_t>(26, 0));
  EXPECT_EQ(1, FX_SaveEData(MAKEEXTAG('S', 'O', 'T', 'X'), key.data(), buffer, 26, 0x08000000));
  auto alerts = CallsTo("FX_AlertMessage");
  ASSERT_EQ(1u, alerts.size());
  EXPECT_EQ(0u, alerts[0].slots[0]);
  EXPECT_EQ(0u, alerts[0].slots[1]);
  EXPECT_EQ(0u, alerts[0].slots[2]);
  EXPECT_EQ(0x0F000200u, alerts[0].version);
  ASSERT_EQ(1u, TheHost().alerts.size());
  EXPECT_EQ(kTextBlock, TheHost().alerts[0]);
  ASSERT_EQ(1, CountCalls("FX_SaveEData"));
  EXPECT_EQ(0x09000000u, CallsTo("FX_SaveEData")[0].version);
  // The warning came before the transfer it belongs to.
  EXPECT_EQ("FX_AlertMessage", Calls()[0].name);
}

TEST_F(VersionTest, CreateNextAndPreviousAreCorrectedDeleteIsNot) {
  RecordKey key = MakeKey(0xFFFF, 0xFFFF);
  uint8_t buffer[24] = {};
  FX_CreateEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, 24, 0x0F000200);
  EXPECT_EQ(0x09000000u, CallsTo("FX_CreateEData")[0].version);

  RecordKey walk = MakeKey(0);
  FX_NextEData(MAKEEXTAG('S', 'O', 'M', 'S'), walk.data(), buffer, 24, 0x0F000200);
  FX_PreviousEData(MAKEEXTAG('S', 'O', 'M', 'S'), walk.data(), buffer, 24, 0x0F000200);
  EXPECT_EQ(0x09000000u, CallsTo("FX_NextEData")[0].version);
  EXPECT_EQ(0x09000000u, CallsTo("FX_PreviousEData")[0].version);

  // What callers pass when walking: no buffer, size 0, so nothing changes.
  FX_NextEData(MAKEEXTAG('S', 'O', 'M', 'S'), walk.data(), nullptr, 0, 0x01000000);
  EXPECT_EQ(0x01000000u, CallsTo("FX_NextEData")[1].version);

  FX_DeleteEData(MAKEEXTAG('S', 'O', 'M', 'S'), walk.data(), 0x01000000);
  EXPECT_EQ(0x01000000u, CallsTo("FX_DeleteEData")[0].version);
}
