// Preference structures assembled from scattered generic words, with a map table of the tests'
// own put in place of the shipped one.
#include "support/recordfixture.h"

using namespace hostsim;

namespace {

int16_t Get16(const uint8_t* b, int off) {
  int16_t v;
  memcpy(&v, b + off, 2);
  return v;
}
int32_t Get32(const uint8_t* b, int off) {
  int32_t v;
  memcpy(&v, b + off, 4);
  return v;
}
void Put16(uint8_t* b, int off, int16_t v) {
  memcpy(b + off, &v, 2);
}
void Put32(uint8_t* b, int off, int32_t v) {
  memcpy(b + off, &v, 4);
}

const int STRUCT_SIZE = 22;

} // namespace

class StructMapTest : public RecordTransferTest {
protected:
  void SetUp() override {
    RecordTransferTest::SetUp();
    // Rows from the known maps, moved to a compact structure, and rows of our own: one of each
    // conversion, two sources serving two rows each, one unknown conversion.
    const PREFERENCE_LOCATION_MAPRECORD rows[8] = {
        {0, {'2', '1'}, 0, 0, 0, 3, 2, MAPCONV_WORD},
        {0, {'6', '8'}, 0, 0, 2, 4, 4, MAPCONV_FOURBYTE_HIGH},
        {0, {'3', '6'}, 0, 0, 6, 1, 2, MAPCONV_BOOL_INVERTED},
        {0, {'1', '9'}, 0, 0, 8, 4, 2, MAPCONV_LOW_BYTE},
        {0, {'6', '8'}, 0, 0, 10, 0, 4, MAPCONV_FOURBYTE_LOW},
        {0, {'7', '7'}, 0, 4, 14, 0, 2, MAPCONV_WORD},
        {0, {'2', '1'}, 0, 0, 16, 5, 2, MAPCONV_WORD},
        {0, {'1', '9'}, 0, 0, 18, 0, 4, MAP_ARRAY_CONVERSION(9)},
    };
    memcpy(rows_, rows, sizeof rows_);
    pageRow_[0] = {0, {'5', '5'}, 0, 0, 0, 2, 2, MAPCONV_WORD};
    maps_[0] = {Tag("pfDP"), false, rows_, 8, 8, STRUCT_SIZE};
    maps_[1] = {Tag("pfPF"), true, pageRow_, 1, 1, 2};
    InstallPrefStructMaps(maps_, 2);
    PutSources();
  }

  static void PutSources() {
    PutGeneric("21", GENERIC_ITEM, 0, {0, 0, 0, 300, 0, -5});
    PutGeneric("68", GENERIC_ITEM, 0, {0x0001, int16_t(0x8002), 0, 0, 0x1234, int16_t(0xFFFE)});
    PutGeneric("36", GENERIC_ITEM, 0, {0, 0, 0, 0, 0, 0});
    PutGeneric("19", GENERIC_ITEM, 0, {7, 8, 0, 0, 0x12F0, 0});
    PutGeneric("77", GENERIC_ITEM, 4, {77, 0, 0, 0, 0, 0});
  }

  // Loads the test structure into a 24-byte area filled with 0xAA.
  int Load(uint8_t* area, fourbyte room = STRUCT_SIZE) {
    memset(area, 0xAA, 24);
    RecordKey key = MakeKey(0);
    size_ = room;
    return FX_LoadEData(Tag("pfDP"), key.data(), area, &size_, 0x0F000200);
  }
  int Save(uint8_t* area, fourbyte size = STRUCT_SIZE, EVERSION v = 0x08000000) {
    RecordKey key = MakeKey(0);
    return FX_SaveEData(Tag("pfDP"), key.data(), area, size, v);
  }

  PREFERENCE_LOCATION_MAPRECORD rows_[8];
  PREFERENCE_LOCATION_MAPRECORD pageRow_[1];
  PREFERENCE_STRUCT_MAP maps_[2];
  fourbyte size_ = 0;
};

TEST_F(StructMapTest, LoadServesEveryRowConvertedFromItsWord) {
  uint8_t area[24];
  ASSERT_EQ(1, Load(area, 24));
  EXPECT_EQ(STRUCT_SIZE, size_);
  EXPECT_EQ(300, Get16(area, 0));
  EXPECT_EQ(0x1234FFFE, Get32(area, 2));           // word 4 high, word 5 low
  EXPECT_EQ(1, Get16(area, 6));                    // word 1 is 0
  EXPECT_EQ(0xF0, Get16(area, 8));                 // low byte, zero-extended
  EXPECT_EQ(int32_t(0x80020001), Get32(area, 10)); // word 1 high, word 0 low
  EXPECT_EQ(77, Get16(area, 14));
  EXPECT_EQ(-5, Get16(area, 16));
  EXPECT_EQ(0, Get32(area, 18)); // unknown conversion
  EXPECT_EQ(0xAA, area[22]);
  EXPECT_EQ(0xAA, area[23]);
}

TEST_F(StructMapTest, EachSourceIsLoadedOnceForAllItsRows) {
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  auto loads = TransfersTo("FX_LoadEData");
  ASSERT_EQ(5u, loads.size()); // five sources for eight rows; the structure never reaches the host
  const char* order[] = {"21", "68", "36", "19", "77"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(GenericTag(order[i]), loads[i].tag);
    EXPECT_EQ(0x0F000200u, loads[i].version);
    EXPECT_EQ(12, loads[i].size);
  }
  EXPECT_EQ(GenericKey(GENERIC_ITEM, 0), loads[0].key);
  EXPECT_EQ(GenericKey(GENERIC_ITEM, 4), loads[4].key);
}

TEST_F(StructMapTest, DoneFlagsAreClearedBeforeAndSetAfterEveryTransfer) {
  for (auto& r : rows_)
    r.done = 1; // left over from an earlier transfer
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  EXPECT_EQ(-5, Get16(area, 16)); // stale flags skipped nothing
  for (auto& r : rows_)
    EXPECT_EQ(1, r.done);
  rows_[3].done = 1;
  rows_[7].done = 0;
  ASSERT_EQ(1, Save(area));
  for (auto& r : rows_)
    EXPECT_EQ(1, r.done);
}

TEST_F(StructMapTest, SizeQueryReportsTheStructureAndAsksNothing) {
  RecordKey key = MakeKey(0);
  fourbyte size = 0;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfDP"), key.data(), nullptr, &size, 0x0F000200));
  EXPECT_EQ(STRUCT_SIZE, size);
  EXPECT_EQ(0, CountCalls("FX_LoadEData"));
}

TEST_F(StructMapTest, BufferSmallerThanTheStructureFailsAndReceivesNothing) {
  uint8_t area[24];
  EXPECT_EQ(0, Load(area, STRUCT_SIZE - 1));
  EXPECT_EQ(STRUCT_SIZE - 1, size_);
  for (uint8_t b : area)
    EXPECT_EQ(0xAA, b);
  EXPECT_EQ(0, CountCalls("FX_LoadEData"));
}

TEST_F(StructMapTest, MissingSourceGivesZerosNotTheLastRecordsWords) {
  Doc().records.erase({GenericTag("77"), GenericKey(GENERIC_ITEM, 4)});
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  EXPECT_EQ(0, Get16(area, 14));
  EXPECT_EQ(0xF0, Get16(area, 8)); // the other sources are unaffected
}

TEST_F(StructMapTest, PageFormatItem0IsServedByItsStructureMap) {
  PutGeneric("55", GENERIC_ITEM, 0, {0, 0, 1234, 0, 0, 0});
  for (int i = 0; i < 4; ++i)
    PutGeneric("77", GENERIC_ITEM, int16_t(i), {int16_t(i), 0, 0, 0, 0, 0});
  RecordKey zero = MakeKey(0);
  int16_t value[24] = {};
  fourbyte size = 48;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfPF"), zero.data(), value, &size, 0x0F000200));
  EXPECT_EQ(2, size);
  EXPECT_EQ(1234, value[0]);
  RecordKey one = MakeKey(1);
  size = 48;
  EXPECT_EQ(1, FX_LoadEData(Tag("pfPF"), one.data(), value, &size, 0x0F000200));
  EXPECT_EQ(48, size);
  EXPECT_EQ(3, value[18]);
}

TEST_F(StructMapTest, SaveOfUnchangedValuesWritesNothingEvenForUncanonicalWords) {
  PutGeneric("36", GENERIC_ITEM, 0, {0, 5, 0, 0, 0, 0}); // "true" that is not 1
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  EXPECT_EQ(0, Get16(area, 6));
  Document before = Doc();
  ClearLog();
  EXPECT_EQ(1, Save(area));
  EXPECT_EQ(5, GenericTransfers("FX_LoadEData"));
  EXPECT_EQ(0, CountCalls("FX_SaveEData"));
  EXPECT_TRUE(SameScore(before, Doc()));
}

struct ChangeCase {
  const char* what;
  int offset;
  int size;
  int32_t value;
  const char* source; // the record that must be saved, or null for none
  GenericWords words; // its words afterwards
};

TEST_F(StructMapTest, SaveWritesExactlyTheRecordWhoseValueChanged) {
  const ChangeCase cases[] = {
      {"word", 16, 2, 42, "21", {0, 0, 0, 300, 0, 42}},
      {"word high", 2, 4, 0x00050006, "68", {0x0001, int16_t(0x8002), 0, 0, 5, 6}},
      {"word low", 10, 4, 0x00090008, "68", {8, 9, 0, 0, 0x1234, int16_t(0xFFFE)}},
      {"inverted", 6, 2, 0, "36", {0, 1, 0, 0, 0, 0}},
      {"low byte", 8, 2, 0x7F, "19", {7, 8, 0, 0, 0x7F, 0}},
      {"low byte signed", 8, 2, 0xF3, "19", {7, 8, 0, 0, -13, 0}},
      {"unknown conversion", 18, 4, 55, nullptr, {}},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    NewDocument(1, 1);
    PutSources();
    uint8_t area[24];
    ASSERT_EQ(1, Load(area));
    if (c.size == 2)
      Put16(area, c.offset, int16_t(c.value));
    else
      Put32(area, c.offset, c.value);
    Document before = Doc();
    ClearLog();
    EXPECT_EQ(1, Save(area));
    auto saves = TransfersTo("FX_SaveEData");
    if (!c.source) {
      EXPECT_TRUE(saves.empty());
      continue;
    }
    ASSERT_EQ(1u, saves.size());
    EXPECT_EQ(GenericTag(c.source), saves[0].tag);
    EXPECT_EQ(GenericKey(GENERIC_ITEM, 0), saves[0].key);
    EXPECT_EQ(0x0F000200u, saves[0].version);
    GenericWords w = {};
    ASSERT_TRUE(ReadGeneric(c.source, GENERIC_ITEM, 0, &w));
    EXPECT_EQ(c.words, w);
    // Nothing else in the score moved.
    before.records[{GenericTag(c.source), GenericKey(GENERIC_ITEM, 0)}] =
        *FindRecord(GenericTag(c.source), GenericKey(GENERIC_ITEM, 0));
    EXPECT_TRUE(SameScore(before, Doc()));
  }
}

TEST_F(StructMapTest, TwoChangedRowsOfOneSourceSaveItOnce) {
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  Put32(area, 2, 0x00050006);
  Put32(area, 10, -1);
  ClearLog();
  ASSERT_EQ(1, Save(area));
  ASSERT_EQ(1, CountCalls("FX_SaveEData"));
  GenericWords w = {};
  ASSERT_TRUE(ReadGeneric("68", GENERIC_ITEM, 0, &w));
  EXPECT_EQ((GenericWords{-1, -1, 0, 0, 5, 6}), w);
}

TEST_F(StructMapTest, InvertedBooleanTrueOverANonzeroWordClearsIt) {
  PutGeneric("36", GENERIC_ITEM, 0, {0, 5, 0, 0, 0, 0});
  uint8_t area[24];
  ASSERT_EQ(1, Load(area));
  Put16(area, 6, 1);
  ASSERT_EQ(1, Save(area));
  GenericWords w = {};
  ASSERT_TRUE(ReadGeneric("36", GENERIC_ITEM, 0, &w));
  EXPECT_EQ(0, w[1]);
}

TEST_F(StructMapTest, SaveThatDoesNotHoldTheStructureFails) {
  uint8_t area[24] = {};
  EXPECT_EQ(0, Save(area, STRUCT_SIZE - 1));
  EXPECT_EQ(0, Save(nullptr, 0));
  EXPECT_TRUE(TheHost().transfers.empty());
}

TEST_F(StructMapTest, OldCallersSavesGoToTheHostUnchanged) {
  uint8_t area[24] = {};
  Save(area, STRUCT_SIZE, 0x07FFFFFF);
  auto saves = TransfersTo("FX_SaveEData");
  ASSERT_EQ(1u, saves.size());
  EXPECT_EQ(Tag("pfDP"), saves[0].tag);
  EXPECT_EQ(0, GenericTransfers("FX_LoadEData"));
}

TEST_F(StructMapTest, IncompleteOrMalformedMapsAreNeverServed) {
  PREFERENCE_LOCATION_MAPRECORD* table = nullptr;
  twobyte count = -1;
  EXPECT_TRUE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));
  EXPECT_EQ(rows_, table);
  EXPECT_EQ(8, count);

  maps_[0].fullRowCount = 9; // a row missing
  EXPECT_FALSE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));
  EXPECT_EQ(nullptr, table);
  EXPECT_EQ(0, count);
  maps_[0].fullRowCount = 8;

  rows_[6].offset = 21; // would write past the structure
  EXPECT_FALSE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));
  rows_[6].offset = 16;
  rows_[1].word = 5; // two words from the last word of the record
  EXPECT_FALSE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));
  rows_[1].word = 4;
  rows_[0].size = 3;
  EXPECT_FALSE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));
  rows_[0].size = 2;
  EXPECT_TRUE(mapPrefStruct(Tag("pfDP"), 0, &table, &count));

  // A map that is not served lets the transfer through to the host.
  maps_[0].fullRowCount = 9;
  uint8_t area[24];
  Load(area);
  EXPECT_EQ(1u, TransfersOf("FX_LoadEData", Tag("pfDP")).size());
  EXPECT_EQ(0, GenericTransfers("FX_LoadEData"));
}

TEST_F(StructMapTest, ShippedMapsAreNotServedAndTheirTagsReachTheHost) {
  InstallPrefStructMaps(nullptr, 0);
  const char* tags[] = {"pfDP", "pfEX", "pfMS", "pfPB", "pfPF", "pfPL", "pfRP", "pfSI", "pfSS"};
  for (const char* t : tags) {
    PREFERENCE_LOCATION_MAPRECORD* table = rows_;
    twobyte count = 5;
    EXPECT_FALSE(mapPrefStruct(Tag(t), 0, &table, &count)) << t;
    EXPECT_EQ(nullptr, table);
    EXPECT_EQ(0, count);
  }
  RecordKey key = MakeKey(0);
  fourbyte size = 0;
  FX_LoadEData(Tag("pfDP"), key.data(), nullptr, &size, 0x0F000200);
  EXPECT_EQ(1u, TransfersOf("FX_LoadEData", Tag("pfDP")).size());
}

TEST(PrefsConversionTest, FourByteValuesFromTwoWordsAndBack) {
  EXPECT_EQ(0x1234FFFE, makePrefsFourbyte(0x1234, int16_t(0xFFFE), MAPCONV_FOURBYTE_HIGH));
  EXPECT_EQ(int32_t(0xFFFF0000), makePrefsFourbyte(-1, 0, MAPCONV_FOURBYTE_HIGH));
  EXPECT_EQ(0x1234FFFE, makePrefsFourbyte(int16_t(0xFFFE), 0x1234, MAPCONV_FOURBYTE_LOW));
  EXPECT_EQ(0, makePrefsFourbyte(0x1234, 0x5678, MAPCONV_WORD));

  twobyte a = 0, b = 0;
  makePrefsTwobytes(int32_t(0x8001FFFF), &a, &b, MAPCONV_FOURBYTE_HIGH);
  EXPECT_EQ(int16_t(0x8001), a);
  EXPECT_EQ(-1, b);
  makePrefsTwobytes(0x00020003, &a, &b, MAPCONV_FOURBYTE_LOW);
  EXPECT_EQ(3, a);
  EXPECT_EQ(2, b);
  makePrefsTwobytes(0x7FFF7FFF, &a, &b, MAP_ARRAY_CONVERSION(7));
  EXPECT_EQ(3, a);
  EXPECT_EQ(2, b);
}
