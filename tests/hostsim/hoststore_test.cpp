// The simulated host's record store, reached through the bridge's plain transfers.
#include "support/recordfixture.h"

using namespace hostsim;

namespace {
const uint32_t TAG_TEST = MAKEEXTAG('T', 'E', 'S', 'T'); // a tag no mapping touches

std::vector<uint8_t> Bytes(int n, uint8_t first) {
  std::vector<uint8_t> b(n);
  for (int i = 0; i < n; ++i)
    b[i] = uint8_t(first + i);
  return b;
}
} // namespace

using HostStoreTest = RecordTransferTest;

TEST_F(HostStoreTest, LoadAnswersSizeQueryThenDeliversTheWholeRecord) {
  PutRecord(TAG_TEST, MakeKey(7), Bytes(10, 1));
  RecordKey key = MakeKey(7);
  fourbyte size = 0;
  EXPECT_EQ(1, FX_LoadEData(TAG_TEST, key.data(), nullptr, &size, 0x0F000200));
  EXPECT_EQ(10, size);

  uint8_t buffer[16];
  memset(buffer, 0xAA, sizeof buffer);
  size = 16;
  EXPECT_EQ(1, FX_LoadEData(TAG_TEST, key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(10, size); // the size delivered, not the room offered
  EXPECT_EQ(0, memcmp(buffer, Bytes(10, 1).data(), 10));
  EXPECT_EQ(0xAA, buffer[10]);
}

TEST_F(HostStoreTest, LoadIntoTooSmallBufferFailsAndWritesNothing) {
  PutRecord(TAG_TEST, MakeKey(7), Bytes(10, 1));
  RecordKey key = MakeKey(7);
  uint8_t buffer[16];
  memset(buffer, 0xAA, sizeof buffer);
  fourbyte size = 9;
  EXPECT_EQ(0, FX_LoadEData(TAG_TEST, key.data(), buffer, &size, 0x0F000200));
  EXPECT_EQ(9, size);
  for (uint8_t b : buffer)
    EXPECT_EQ(0xAA, b);
}

TEST_F(HostStoreTest, LoadOfMissingRecordFails) {
  RecordKey key = MakeKey(8);
  uint8_t buffer[16];
  fourbyte size = 16;
  EXPECT_EQ(0, FX_LoadEData(TAG_TEST, key.data(), buffer, &size, 0x0F000200));
  size = 0;
  EXPECT_EQ(0, FX_LoadEData(TAG_TEST, key.data(), nullptr, &size, 0x0F000200));
}

TEST_F(HostStoreTest, SaveReplacesTheRecordByteForByteButCreatesNothing) {
  PutRecord(TAG_TEST, MakeKey(7), Bytes(10, 1));
  RecordKey key = MakeKey(7);
  std::vector<uint8_t> shorter = Bytes(6, 50);
  EXPECT_EQ(1, FX_SaveEData(TAG_TEST, key.data(), shorter.data(), 6, 0x0F000200));
  ASSERT_NE(nullptr, FindRecord(TAG_TEST, key));
  EXPECT_EQ(shorter, *FindRecord(TAG_TEST, key));

  RecordKey missing = MakeKey(9);
  EXPECT_EQ(0, FX_SaveEData(TAG_TEST, missing.data(), shorter.data(), 6, 0x0F000200));
  EXPECT_EQ(nullptr, FindRecord(TAG_TEST, missing));
}

TEST_F(HostStoreTest, CreateAssignsTheNextItemNumberAndWritesTheKeyBack) {
  PutRecord(TAG_TEST, MakeKey(3), Bytes(4, 0));
  PutRecord(TAG_TEST, MakeKey(260), Bytes(4, 0));    // above 255: compared as a number
  PutRecord(TAG_TEST, MakeKey(0xFFFE), Bytes(4, 0)); // the host's own item, never counted
  RecordKey key = MakeKey(0xFFFF, 0xFFFF);
  std::vector<uint8_t> data = Bytes(4, 9);
  EXPECT_EQ(1, FX_CreateEData(TAG_TEST, key.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(MakeKey(261, 0), key);
  EXPECT_EQ(data, *FindRecord(TAG_TEST, MakeKey(261)));

  RecordKey first = MakeKey(0xFFFF, 0xFFFF);
  EXPECT_EQ(1, FX_CreateEData(0x4E455721, first.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(MakeKey(1, 0), first); // no record of the tag yet: item 1
}

TEST_F(HostStoreTest, CreateAssignsTheNextInciUnderItemOrCell) {
  PutRecord(TAG_TEST, MakeKey(5, 0), Bytes(4, 0));
  PutRecord(TAG_TEST, MakeKey(5, 1), Bytes(4, 0));
  PutRecord(TAG_TEST, MakeKey(6, 4), Bytes(4, 0)); // another item's incis do not count
  std::vector<uint8_t> data = Bytes(4, 9);
  RecordKey key = MakeKey(5, 0xFFFF);
  EXPECT_EQ(1, FX_CreateEData(TAG_TEST, key.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(MakeKey(5, 2), key);
  RecordKey fresh = MakeKey(7, 0xFFFF);
  EXPECT_EQ(1, FX_CreateEData(TAG_TEST, fresh.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(MakeKey(7, 0), fresh);

  // Cell keys: staff, measure, inci in the third word.
  PutRecord(TAG_TEST, MakeKey(2, 3, 0), Bytes(4, 0));
  RecordKey cell = MakeKey(2, 3, 0xFFFF);
  EXPECT_EQ(1, FX_CreateEData(TAG_TEST, cell.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(MakeKey(2, 3, 1), cell);
}

TEST_F(HostStoreTest, CreateUnderATakenKeyFails) {
  PutRecord(TAG_TEST, MakeKey(5, 0), Bytes(4, 0));
  std::vector<uint8_t> data = Bytes(4, 9);
  RecordKey key = MakeKey(5, 0);
  EXPECT_EQ(0, FX_CreateEData(TAG_TEST, key.data(), data.data(), 4, 0x0F000200));
  EXPECT_EQ(Bytes(4, 0), *FindRecord(TAG_TEST, MakeKey(5, 0)));
}

TEST_F(HostStoreTest, DeleteRemovesOnlyThatRecord) {
  PutRecord(TAG_TEST, MakeKey(5, 0), Bytes(4, 0));
  PutRecord(TAG_TEST, MakeKey(5, 1), Bytes(4, 0));
  RecordKey key = MakeKey(5, 1);
  EXPECT_EQ(1, FX_DeleteEData(TAG_TEST, key.data(), 0x0F000200));
  EXPECT_EQ(nullptr, FindRecord(TAG_TEST, key));
  EXPECT_NE(nullptr, FindRecord(TAG_TEST, MakeKey(5, 0)));
  EXPECT_EQ(0, FX_DeleteEData(TAG_TEST, key.data(), 0x0F000200));
}

TEST_F(HostStoreTest, NextAndPreviousWalkKeysInNumericOrderWithinTheTag) {
  // Little-endian bytes would put item 256 before item 2; the host orders by number.
  for (uint16_t item : {uint16_t(256), uint16_t(2), uint16_t(1)})
    PutRecord(TAG_TEST, MakeKey(item), Bytes(4, 0));
  PutRecord(TAG_TEST, MakeKey(2, 1), Bytes(4, 0));
  PutRecord(MAKEEXTAG('T', 'E', 'S', 'U'), MakeKey(3), Bytes(4, 0)); // another tag in between

  RecordKey key = MakeKey(0);
  std::vector<RecordKey> seen;
  while (FX_NextEData(TAG_TEST, key.data(), nullptr, 0, 0x0F000200))
    seen.push_back(key);
  std::vector<RecordKey> expected = {MakeKey(1), MakeKey(2), MakeKey(2, 1), MakeKey(256)};
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(MakeKey(256), key); // a failed step leaves the key alone

  std::vector<RecordKey> back;
  while (FX_PreviousEData(TAG_TEST, key.data(), nullptr, 0, 0x0F000200))
    back.push_back(key);
  std::vector<RecordKey> expectedBack = {MakeKey(2, 1), MakeKey(2), MakeKey(1)};
  EXPECT_EQ(expectedBack, back);
}

TEST_F(HostStoreTest, NextWithBufferCopiesTheRecordOnlyWhenItFits) {
  PutRecord(TAG_TEST, MakeKey(4), Bytes(6, 20));
  RecordKey key = MakeKey(0);
  uint8_t buffer[6] = {};
  EXPECT_EQ(0, FX_NextEData(TAG_TEST, key.data(), buffer, 5, 0x0F000200));
  EXPECT_EQ(MakeKey(0), key);
  EXPECT_EQ(1, FX_NextEData(TAG_TEST, key.data(), buffer, 6, 0x0F000200));
  EXPECT_EQ(MakeKey(4), key);
  EXPECT_EQ(0, memcmp(buffer, Bytes(6, 20).data(), 6));
}

TEST_F(HostStoreTest, GenericRecordsRoundTripTheirSixWords) {
  GenericWords words = {1, -2, 3, -4, 0x7FFF, -32768};
  PutGeneric("98", GENERIC_ITEM, 2, words);
  const std::vector<uint8_t>* bytes = FindRecord(MAKEEXTAG('o', 't', '9', '8'), MakeKey(0xFFFE, 2));
  ASSERT_NE(nullptr, bytes);
  ASSERT_EQ(12u, bytes->size());
  EXPECT_EQ(0xFE, (*bytes)[2]); // -2, little-endian
  EXPECT_EQ(0xFF, (*bytes)[3]);
  GenericWords back = {};
  EXPECT_TRUE(ReadGeneric("98", GENERIC_ITEM, 2, &back));
  EXPECT_EQ(words, back);
  EXPECT_FALSE(ReadGeneric("98", GENERIC_ITEM, 3, &back));
}

TEST_F(HostStoreTest, EveryTransferIsLoggedWithKeySizeAndVersion) {
  PutRecord(TAG_TEST, MakeKey(7, 1), Bytes(10, 1));
  RecordKey key = MakeKey(7, 1);
  uint8_t buffer[10];
  fourbyte size = 10;
  FX_LoadEData(TAG_TEST, key.data(), buffer, &size, 0x01020304);
  auto t = TransfersTo("FX_LoadEData");
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ(TAG_TEST, t[0].tag);
  EXPECT_EQ(MakeKey(7, 1), t[0].key);
  EXPECT_EQ(10, t[0].size);
  EXPECT_TRUE(t[0].hasBuffer);
  EXPECT_EQ(0x01020304u, t[0].version);
  EXPECT_EQ(1, t[0].result);
  EXPECT_EQ(0x01020304u, CallsTo("FX_LoadEData").back().version);
}

TEST_F(HostStoreTest, AlertTextIsKept) {
  FX_AlertMessage(0, 0, 0, "hello there");
  ASSERT_EQ(1u, TheHost().alerts.size());
  EXPECT_EQ("hello there", TheHost().alerts[0]);
}
