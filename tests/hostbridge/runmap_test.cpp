// Preference structures made of runs of generic records, and the three record kinds that fall
// back when the host cannot load them.
#include "support/recordfixture.h"

using namespace hostsim;

namespace {

// Words that name their record, so a test can see which record landed where.
GenericWords WordsFor(int tagIndex, int inci) {
  return {int16_t(tagIndex), int16_t(inci), int16_t(100 + tagIndex), int16_t(-inci), 7, -8};
}

struct RunCase {
  const char* tag;
  int lowItem, highItem; // item numbers mapped; 0, 0 for any
  const char* generic;
  int records;
  bool inciFromItem;
};

const RunCase kRuns[] = {
    {"pfGD", 0, 0, "79", 1, false}, {"pfGG", 0, 0, "88", 11, false}, {"pfGb", 1, 4, "98", 1, true},
    {"pfGd", 0, 0, "80", 1, false}, {"pfGs", 1, 1, "91", 1, false},  {"pfMM", 0, 0, "25", 2, false},
    {"pfND", 0, 0, "04", 1, false}, {"pfNd", 0, 0, "66", 1, false},  {"pfPF", 1, 1, "77", 4, false},
    {"pfSC", 0, 0, "52", 2, false}, {"pfSN", 1, 128, "40", 1, true}, {"pfSP", 0, 0, "94", 3, false},
    {"pfSl", 1, 15, "26", 1, true}, {"pfTC", 0, 0, "86", 5, false},  {"pfTI", 0, 0, "84", 4, false},
    {"pfTX", 0, 0, "78", 8, false}, {"pfTp", 0, 0, "85", 4, false},  {"pfTs", 1, 9, "90", 1, true},
};

} // namespace

using RunMapTest = RecordTransferTest;

TEST_F(RunMapTest, EveryRunIsServedFromItsGenericRecordsInOrder) {
  for (int r = 0; r < int(sizeof kRuns / sizeof kRuns[0]); ++r) {
    const RunCase& c = kRuns[r];
    SCOPED_TRACE(c.tag);
    bool any = c.lowItem == 0;
    for (int item :
         any ? std::vector<int>{0, 1, 300, -1} : std::vector<int>{c.lowItem, c.highItem}) {
      SCOPED_TRACE(item);
      Reset();
      int first = c.inciFromItem ? item - 1 : 0;
      for (int i = 0; i < c.records; ++i)
        PutGeneric(c.generic, GENERIC_ITEM, int16_t(first + i), WordsFor(r, first + i));
      RecordKey key = MakeKey(uint16_t(item));
      fourbyte size = 0;
      EXPECT_EQ(1, FX_LoadEData(Tag(c.tag), key.data(), nullptr, &size, 0x0F000200));
      EXPECT_EQ(12 * c.records, size);

      std::vector<int16_t> buffer(6 * c.records + 1, int16_t(0x5555));
      size = 12 * c.records;
      EXPECT_EQ(1, FX_LoadEData(Tag(c.tag), key.data(), buffer.data(), &size, 0x0F000200));
      EXPECT_EQ(12 * c.records, size);
      for (int i = 0; i < c.records; ++i) {
        GenericWords w = WordsFor(r, first + i);
        for (int k = 0; k < 6; ++k)
          EXPECT_EQ(w[k], buffer[6 * i + k]);
      }
      EXPECT_EQ(int16_t(0x5555), buffer[6 * c.records]); // nothing past the run
      EXPECT_TRUE(TransfersOf("FX_LoadEData", Tag(c.tag)).empty());
      auto loads = TransfersOf("FX_LoadEData", GenericTag(c.generic));
      ASSERT_EQ(size_t(c.records), loads.size());
      for (int i = 0; i < c.records; ++i) {
        EXPECT_EQ(GenericKey(GENERIC_ITEM, int16_t(first + i)), loads[i].key);
        EXPECT_EQ(0x0F000200u, loads[i].version);
        EXPECT_EQ(12, loads[i].size);
      }
    }
  }
}

TEST_F(RunMapTest, ItemsOutsideARunsRangeGoToTheHostUnchanged) {
  for (const RunCase& c : kRuns) {
    if (c.lowItem == 0) continue;
    for (int item : {0, c.highItem + 1, -1}) {
      SCOPED_TRACE(testing::Message() << c.tag << " item " << item);
      Reset();
      RecordKey key = MakeKey(uint16_t(item));
      uint8_t buffer[200];
      fourbyte size = sizeof buffer;
      FX_LoadEData(Tag(c.tag), key.data(), buffer, &size, 0x0E000000);
      auto t = TransfersOf("FX_LoadEData", Tag(c.tag));
      ASSERT_EQ(1u, t.size());
      EXPECT_EQ(key, t[0].key);
      EXPECT_EQ(0x0E000000u, t[0].version);
      EXPECT_EQ(0, GenericTransfers("FX_LoadEData"));
    }
  }
}

TEST_F(RunMapTest, GeneralStyleItem3ReadsInci2AndItem5GoesToTheHost) {
  PutGeneric("98", GENERIC_ITEM, 2, {9, 8, 7, 6, 5, 4});
  PutGeneric("98", GENERIC_ITEM, 4, {1, 1, 1, 1, 1, 1});
  RecordKey key = MakeKey(3);
  int16_t buffer[6] = {};
  fourbyte size = 12;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfGb"), key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(9, buffer[0]);
  EXPECT_EQ(4, buffer[5]);

  ClearCalls();
  RecordKey five = MakeKey(5);
  EXPECT_EQ(0, FX_LoadEData(Tag("pfGb"), five.data(), buffer, &size, 0x0F000200));
  ASSERT_EQ(1, CountCalls("FX_LoadEData"));
  EXPECT_EQ(uint64_t(Tag("pfGb")), CallsTo("FX_LoadEData")[0].slots[0]);
}

TEST_F(RunMapTest, PageFormatItem1IsFourRecordsItem0And2GoToTheHost) {
  for (int i = 0; i < 4; ++i)
    PutGeneric("77", GENERIC_ITEM, int16_t(i), WordsFor(i, i));
  RecordKey one = MakeKey(1);
  int16_t buffer[24];
  fourbyte size = 48;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfPF"), one.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(48, size);
  EXPECT_EQ(3, buffer[18]);  // fourth record, first word
  EXPECT_EQ(-3, buffer[21]); // fourth record, fourth word

  // The page-format structure map is not complete in the shipped tables: item 0 is the host's.
  for (uint16_t item : {uint16_t(0), uint16_t(2)}) {
    Reset();
    RecordKey key = MakeKey(item);
    size = 48;
    FX_LoadEData(Tag("pfPF"), key.data(), buffer, &size, 0x0F000200);
    EXPECT_EQ(1u, TransfersOf("FX_LoadEData", Tag("pfPF")).size());
    EXPECT_EQ(0, GenericTransfers("FX_LoadEData"));
  }
}

TEST_F(RunMapTest, RunLoadIntoTooSmallBufferFailsAndReadsNothing) {
  PutGeneric("25", GENERIC_ITEM, 0, WordsFor(1, 0));
  PutGeneric("25", GENERIC_ITEM, 1, WordsFor(1, 1));
  RecordKey key = MakeKey(0);
  uint8_t buffer[24];
  memset(buffer, 0xAA, sizeof buffer);
  fourbyte size = 23;
  EXPECT_EQ(0, FX_LoadEData(Tag("pfMM"), key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(23, size);
  for (uint8_t b : buffer)
    EXPECT_EQ(0xAA, b);
  EXPECT_EQ(0, CountCalls("FX_LoadEData"));
}

TEST_F(RunMapTest, MissingGenericRecordLeavesZerosNotStaleBytes) {
  PutGeneric("25", GENERIC_ITEM, 0, {1, 2, 3, 4, 5, 6}); // inci 1 is missing
  RecordKey key = MakeKey(0);
  uint8_t buffer[24];
  memset(buffer, 0xAA, sizeof buffer);
  fourbyte size = 24;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfMM"), key.data(), buffer, &size, 0x0F000200));
  for (int i = 12; i < 24; ++i)
    EXPECT_EQ(0, buffer[i]) << i;
}

TEST_F(RunMapTest, NewCallersSaveTheRunAsGenericRecords) {
  PutGeneric("25", GENERIC_ITEM, 0, {0, 0, 0, 0, 0, 0});
  PutGeneric("25", GENERIC_ITEM, 1, {0, 0, 0, 0, 0, 0});
  int16_t buffer[12] = {1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6};
  RecordKey key = MakeKey(0);
  EXPECT_EQ(1, FX_SaveEData(Tag("pfMM"), key.data(), buffer, 24, 0x08000000));
  GenericWords w = {};
  ASSERT_TRUE(ReadGeneric("25", GENERIC_ITEM, 1, &w));
  EXPECT_EQ((GenericWords{-1, -2, -3, -4, -5, -6}), w);
  auto saves = TransfersTo("FX_SaveEData");
  ASSERT_EQ(2u, saves.size());
  EXPECT_EQ(GenericKey(GENERIC_ITEM, 0), saves[0].key);
  EXPECT_EQ(0x0F000200u, saves[1].version);
  EXPECT_EQ(12, saves[1].size);
}

TEST_F(RunMapTest, OldCallersSavesGoToTheHostUnchanged) {
  PutGeneric("25", GENERIC_ITEM, 0, {0, 0, 0, 0, 0, 0});
  int16_t buffer[12] = {1, 2, 3, 4, 5, 6};
  RecordKey key = MakeKey(0);
  FX_SaveEData(Tag("pfMM"), key.data(), buffer, 24, 0x07FFFFFF);
  auto saves = TransfersTo("FX_SaveEData");
  ASSERT_EQ(1u, saves.size());
  EXPECT_EQ(Tag("pfMM"), saves[0].tag);
  EXPECT_EQ(0x07FFFFFFu, saves[0].version);
  GenericWords w = {};
  ASSERT_TRUE(ReadGeneric("25", GENERIC_ITEM, 0, &w));
  EXPECT_EQ(0, w[0]);
}

TEST_F(RunMapTest, RunSaveThatDoesNotHoldTheRunFails) {
  int16_t buffer[12] = {};
  RecordKey key = MakeKey(0);
  EXPECT_EQ(0, FX_SaveEData(Tag("pfMM"), key.data(), buffer, 23, 0x0F000200));
  EXPECT_EQ(0, FX_SaveEData(Tag("pfMM"), key.data(), nullptr, 0, 0x0F000200));
  EXPECT_EQ(0, CountCalls("FX_SaveEData"));
}

// ---- The three fallbacks ------------------------------------------------------------------------

TEST_F(RunMapTest, SpecialRecordsCountWhatTheHostLeftInAFailedLoad) {
  const struct {
    uint32_t tag;
    int area;
  } kinds[] = {{MAKEEXTAG('O', 4, 'I', 'X'), 48}, {MAKEEXTAG('O', 9, 'f', 'I'), 108}};
  for (auto k : kinds) {
    SCOPED_TRACE(k.area);
    Reset();
    RecordKey key = MakeKey(1);
    std::vector<uint8_t> buffer(k.area + 8, 0xAA);
    fourbyte size = k.area;
    // No record: the area is cleared, the failure stands; bytes past the area are untouched.
    EXPECT_EQ(0, FX_LoadEData(k.tag, key.data(), buffer.data(), &size, 0x0F000200));
    for (int i = 0; i < k.area; ++i)
      ASSERT_EQ(0, buffer[i]) << i;
    EXPECT_EQ(0xAA, buffer[k.area]);

    // A longer record the host copies partly and reports as failed: what arrived counts.
    std::vector<uint8_t> longer(k.area + 4, 0);
    longer[5] = 9;
    PutRecord(k.tag, key, longer);
    TheHost().loadsCopyWhatFits.insert(k.tag);
    size = k.area;
    EXPECT_EQ(1, FX_LoadEData(k.tag, key.data(), buffer.data(), &size, 0x0F000200));
    EXPECT_EQ(9, buffer[5]);

    // The same with nothing but zeros arriving is a failure.
    PutRecord(k.tag, key, std::vector<uint8_t>(k.area + 4, 0));
    EXPECT_EQ(0, FX_LoadEData(k.tag, key.data(), buffer.data(), &size, 0x0F000200));

    // A record that fits is the host's answer.
    std::vector<uint8_t> fits(k.area, 3);
    PutRecord(k.tag, key, fits);
    EXPECT_EQ(1, FX_LoadEData(k.tag, key.data(), buffer.data(), &size, 0x0F000200));
    EXPECT_EQ(3, buffer[k.area - 1]);
  }
}

TEST_F(RunMapTest, SpecialRecordNeverClearsBeyondTheCallersRoom) {
  RecordKey key = MakeKey(1);
  uint8_t buffer[48];
  memset(buffer, 0xAA, sizeof buffer);
  fourbyte size = 20;
  EXPECT_EQ(0, FX_LoadEData(MAKEEXTAG('O', 4, 'I', 'X'), key.data(), buffer, &size, 0x0F000200));
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(0, buffer[i]);
  for (int i = 20; i < 48; ++i)
    EXPECT_EQ(0xAA, buffer[i]) << i;
}

TEST_F(RunMapTest, StaffSystemDataFallsBackToItsGenericRecord) {
  PutRecord(MAKEEXTAG('o', 't', 'S', 'D'), MakeKey(3, 0, 0x1111, 0x2222),
            std::vector<uint8_t>(12, 5));
  RecordKey key = MakeKey(3, 7, 0x1111, 0x2222);
  uint8_t buffer[80];
  memset(buffer, 0xAA, sizeof buffer);
  fourbyte size = 80;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), key.data(), buffer, &size, 0x0F000200));
  for (int i = 0; i < 66; ++i)
    ASSERT_EQ(0, buffer[i]) << i;
  EXPECT_EQ(0xAA, buffer[66]);
  auto generic = TransfersOf("FX_LoadEData", MAKEEXTAG('o', 't', 'S', 'D'));
  ASSERT_EQ(1u, generic.size());
  EXPECT_EQ(MakeKey(3, 0, 0x1111, 0x2222), generic[0].key);
  EXPECT_EQ(12, generic[0].size);
  EXPECT_EQ(0x0F000200u, generic[0].version);

  memset(buffer, 0xAA, sizeof buffer);
  size = 40;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(0, buffer[39]);
  EXPECT_EQ(0xAA, buffer[40]);

  size = 0;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), key.data(), nullptr, &size, 0x0F000200));
  EXPECT_EQ(66, size);

  RecordKey other = MakeKey(4);
  EXPECT_EQ(0,
            FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), other.data(), buffer, &size, 0x0F000200));
}

TEST_F(RunMapTest, StaffSystemDataTheHostHasIsTheHostsAnswer) {
  PutRecord(MAKEEXTAG('S', 'O', 'S', 'D'), MakeKey(3), std::vector<uint8_t>(66, 4));
  RecordKey key = MakeKey(3);
  uint8_t buffer[66] = {};
  fourbyte size = 66;
  EXPECT_EQ(1, FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(4, buffer[65]);
  EXPECT_TRUE(TransfersOf("FX_LoadEData", MAKEEXTAG('o', 't', 'S', 'D')).empty());
}

// ---- Sizes the bridge does not trust ------------------------------------------------------------

TEST_F(RunMapTest, TransfersWithUnknownOrNegativeRoomNeverReachTheHost) {
  RecordKey key = MakeKey(1);
  uint8_t buffer[26] = {};
  EXPECT_EQ(0,
            FX_LoadEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, nullptr, 0x0F000200));
  EXPECT_EQ(0,
            FX_LoadEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), nullptr, nullptr, 0x0F000200));
  fourbyte negative = -4;
  EXPECT_EQ(0,
            FX_LoadEData(MAKEEXTAG('O', 4, 'I', 'X'), key.data(), buffer, &negative, 0x0F000200));
  EXPECT_EQ(0,
            FX_LoadEData(MAKEEXTAG('S', 'O', 'S', 'D'), key.data(), buffer, &negative, 0x0F000200));
  EXPECT_EQ(0, FX_LoadEData(Tag("pfMM"), key.data(), buffer, &negative, 0x0F000200));
  EXPECT_EQ(0, FX_SaveEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, -1, 0x0F000200));
  EXPECT_EQ(0, FX_SaveEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), nullptr, 26, 0x0F000200));
  EXPECT_EQ(0, FX_CreateEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, -26, 0x0F000200));
  EXPECT_EQ(0, FX_CreateEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), nullptr, 26, 0x0F000200));
  EXPECT_EQ(0, FX_NextEData(MAKEEXTAG('S', 'O', 'M', 'S'), key.data(), buffer, -1, 0x0F000200));
  EXPECT_TRUE(TheHost().transfers.empty());
  for (uint8_t b : buffer)
    EXPECT_EQ(0, b);
}
