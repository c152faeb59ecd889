// Typed records of the score: the load/save protocol, the key families and the collections,
// against the simulated host's record store.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "data/fccell.h"
#include "data/fcnoteentry.h"
#include "data/fctimesignature.h"
#include "data/fcmeasure.h"
#include "data/fcstaff.h"
#include "data/fcstaffatposition.h"
#include "data/fcindependentcelldetail.h"
#include "data/fcsystemstaves.h"
#include "hostsim.h"
#include "records.h"
#include "score.h"
#include "support/recordlists.h"

using namespace hostsim;

namespace {

std::vector<uint8_t> Pattern(int n, uint8_t seed) {
  std::vector<uint8_t> b(n);
  for (int i = 0; i < n; ++i)
    b[i] = uint8_t(seed + 3 * i);
  return b;
}

std::vector<uint8_t> Bytes(__FCBaseData& r, int n) {
  const uint8_t* p = static_cast<const uint8_t*>(r._GetDataBlock());
  return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
}

RecordKey KeyOf(const __FCBaseData& r) {
  RecordKey k;
  memcpy(k.data(), r._GetKey(), 8);
  return k;
}

// A cell record with several incis per cell.
class CellNotes : public __FCCellDetail {
public:
  int DataSizeLoad() override { return 4; }
  int DataSizeSave() override { return 4; }
  void* Allocate() override { return bytes; }
  __FCBaseData* CreateObject() override { return new CellNotes(); }
  EXTAG Tag() override { return MAKEEXTAG('d', 't', 'N', 'O'); }
  uint8_t bytes[4] = {};
};

// A staff record whose "next" never moves the key, as a faulty host would answer.
class StuckStaff : public FCStaff {
public:
  __FCBaseData* CreateObject() override { return new StuckStaff(); }
  bool LoadFirst() override { return Load(1); }
  bool LoadNext() override { return LoadDataBlock(); }
};
class StuckList : public __FCCollectionData {
public:
  __FCBaseData* CreateElement() override { return new StuckStaff(); }
};

class RecordsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reset();
    NewDocument(3, 4);
  }
  static void ClearLog() {
    ClearCalls();
    TheHost().transfers.clear();
  }
};

} // namespace

// ---- The protocol -------------------------------------------------------------------------------

TEST_F(RecordsTest, MeasureLoadsItsRecordWithItsKeyAndVersion) {
  SetMeasureKey(2, 0x00FD);
  FCMeasure m;
  ASSERT_TRUE(m.Load(2));
  EXPECT_EQ(26, m.GetLoadedSize());
  EXPECT_EQ(2, m.GetItemNo());
  EXPECT_EQ(0x00FD, m.GetKeySignatureValue());
  EXPECT_EQ(0x00FD, m.GetKeySignature()->GetKeyWord());
  auto t = TransfersTo("FX_LoadEData");
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ(TAG_SOMS, t[0].tag);
  EXPECT_EQ(MakeKey(2, 0), t[0].key);
  EXPECT_EQ(26, t[0].size);
  EXPECT_EQ(0x0F000200u, t[0].version);
}

TEST_F(RecordsTest, FailedLoadLeavesNothingToSave) {
  FCMeasure m;
  EXPECT_FALSE(m.Load(9));
  EXPECT_EQ(0, m.GetLoadedSize());
  EXPECT_FALSE(m.Save());
  EXPECT_FALSE(m.SaveNew());

  // A record that loaded once and then failed to load is not saved either.
  ASSERT_TRUE(m.Load(1));
  EXPECT_FALSE(m.Load(10));
  ClearLog();
  EXPECT_FALSE(m.Save());
  EXPECT_FALSE(m.SaveAs(1));
  EXPECT_EQ(0, CountCalls("FX_SaveEData"));
  EXPECT_EQ(0, CountCalls("FX_CreateEData"));
}

TEST_F(RecordsTest, MeasureSaveWritesItsCompanionsIntoTheRecord) {
  std::vector<uint8_t> original = Pattern(26, 1);
  PutRecord(TAG_SOMS, MakeKey(1), original);
  FCMeasure m;
  ASSERT_TRUE(m.Load(1));
  m.GetKeySignature()->SetKeyWord(0x0103);
  FCTimeSignature* time = m.GetTimeSignature();
  time->SetBeats(3);
  time->SetBeatDuration(1024);
  time->SetCompositeBottom(true); // its duration is held elsewhere
  FCTimeSignature* shown = m.GetTimeSignatureForDisplay();
  shown->SetBeats(6);
  shown->SetBeatDuration(512);
  shown->SetCompositeTop(true);
  ASSERT_TRUE(m.Save());

  std::vector<uint8_t> expected = original;
  expected[2] = 0x03, expected[3] = 0x01;
  expected[4] = 3, expected[5] = 0;
  expected[14] = 0x00, expected[15] = 0x02;
  EXPECT_EQ(expected, *FindRecord(TAG_SOMS, MakeKey(1)));
  auto t = TransfersTo("FX_SaveEData");
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ(26, t[0].size);
  EXPECT_EQ(0x0F000200u, t[0].version);
}

TEST_F(RecordsTest, MeasureCompanionsFollowTheRecordLoadedLast) {
  SetMeasureKey(1, 0x0002);
  SetMeasureKey(2, 0x01FF);
  FCMeasure m;
  ASSERT_TRUE(m.Load(1));
  FCKeySignature* key = m.GetKeySignature();
  EXPECT_EQ(0x0002, key->GetKeyWord());
  ASSERT_TRUE(m.Load(2));
  EXPECT_EQ(key, m.GetKeySignature());
  EXPECT_EQ(0x01FF, key->GetKeyWord());
  ASSERT_TRUE(m.LoadNext()); // measure 3
  EXPECT_EQ(3, m.GetItemNo());
  EXPECT_EQ(0, key->GetKeyWord());
}

TEST_F(RecordsTest, StaffWalkStartsAfterItemZeroWithTheStaffVersion) {
  SetStaffFlags(1, 0x8001);
  FCStaff s;
  ASSERT_TRUE(s.LoadFirst());
  EXPECT_EQ(1, s.GetItemNo());
  EXPECT_EQ(114, s.GetLoadedSize());
  EXPECT_TRUE(s.GetIgnoreKeySignature());
  EXPECT_TRUE(s.GetIndependentKeysAllowed());
  ASSERT_TRUE(s.LoadNext());
  EXPECT_EQ(2, s.GetItemNo());
  EXPECT_EQ(0, s.GetFlags());
  ASSERT_TRUE(s.LoadNext());
  EXPECT_FALSE(s.LoadNext());
  for (auto& t : TheHost().transfers) {
    EXPECT_EQ(TAG_SOIS, t.tag);
    EXPECT_EQ(0x0F000000u, t.version);
  }
  EXPECT_EQ(MakeKey(0), TransfersTo("FX_NextEData")[0].key);
}

TEST_F(RecordsTest, CloneOfAStaffIsEqualAndIndependent) {
  PutRecord(TAG_SOIS, MakeKey(2), Pattern(114, 7));
  FCStaff* s = new FCStaff();
  ASSERT_TRUE(s->Load(2));
  s->SetContext(41);
  FCStaff* c = static_cast<FCStaff*>(s->CreateClone());
  ASSERT_NE(nullptr, c);
  EXPECT_STREQ("FCStaff", c->ClassName());
  EXPECT_EQ(KeyOf(*s), KeyOf(*c));
  EXPECT_EQ(41, c->GetContext());
  EXPECT_EQ(114, c->GetLoadedSize());
  EXPECT_EQ(Pattern(114, 7), Bytes(*c, 114));
  EXPECT_NE(s->_GetDataBlock(), c->_GetDataBlock());
  static_cast<uint8_t*>(s->_GetDataBlock())[0] ^= 0xFF;
  delete s;
  EXPECT_EQ(Pattern(114, 7), Bytes(*c, 114));
  ASSERT_TRUE(c->Save());
  EXPECT_EQ(Pattern(114, 7), *FindRecord(TAG_SOIS, MakeKey(2)));
  delete c;
}

TEST_F(RecordsTest, CloneOfARecordThatNeverLoadedSendsNothing) {
  FCMeasure m;
  EXPECT_FALSE(m.Load(20));
  __FCBaseData* c = m.CreateClone();
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(0, c->GetLoadedSize());
  ClearLog();
  EXPECT_FALSE(c->Save());
  EXPECT_EQ(0, CountCalls("FX_SaveEData"));
  delete c;
}

TEST_F(RecordsTest, SaveNewLetsTheHostChooseTheItemNumber) {
  FCMeasure m;
  ASSERT_TRUE(m.Load(1));
  ASSERT_TRUE(m.SaveNew());
  EXPECT_EQ(5, m.GetItemNo());
  EXPECT_NE(nullptr, FindRecord(TAG_SOMS, MakeKey(5)));
  auto t = TransfersTo("FX_CreateEData");
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ(MakeKey(0xFFFF, 0xFFFF), t[0].key);
  EXPECT_EQ(26, t[0].size);
}

TEST_F(RecordsTest, DeleteRemovesTheRecordUnderTheKey) {
  FCMeasure m;
  ASSERT_TRUE(m.Load(4));
  EXPECT_TRUE(m.DeepDeleteData());
  EXPECT_EQ(nullptr, FindRecord(TAG_SOMS, MakeKey(4)));
  EXPECT_FALSE(m.DeleteData());
}

// ---- Records at a position ----------------------------------------------------------------------

TEST_F(RecordsTest, CurrentStaffSpecIsKeyedByStaffMeasureAndPosition) {
  RecordKey at = MakeKey(2, 3, 0x0400, 0x0001); // position 0x10400
  std::vector<uint8_t> settings(114, 0);
  settings[22] = 0x01;
  PutRecord(TAG_SOSC, at, settings);
  FCCurrentStaffSpec s;
  EXENTRY record = {};
  record.measurepos = 0x10400;
  FCNoteEntry entry(&record, nullptr, 3, 2);
  ASSERT_TRUE(s.Load(&entry));
  EXPECT_TRUE(s.GetIgnoreKeySignature());
  auto t = TransfersTo("FX_LoadEData");
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ(TAG_SOSC, t[0].tag);
  EXPECT_EQ(at, t[0].key);
  EXPECT_EQ(0x0F000000u, t[0].version);

  FCCell cell(3, 2);
  EXPECT_FALSE(s.Load(&cell, 0)); // no record at the start of the measure
  EXPECT_EQ(MakeKey(2, 3, 0, 0), TransfersTo("FX_LoadEData")[1].key);
  FCNoteEntry* none = nullptr;
  EXPECT_FALSE(s.Load(none));
}

TEST_F(RecordsTest, CurrentStaffSpecRefusesToBeWritten) {
  PutRecord(TAG_SOSC, MakeKey(1, 1), std::vector<uint8_t>(114, 0));
  FCCurrentStaffSpec s;
  FCCell cell(1, 1);
  ASSERT_TRUE(s.Load(&cell, 0));
  ClearLog();
  EXPECT_FALSE(s.Save());
  EXPECT_FALSE(s.SaveAs(1));
  EXPECT_FALSE(s.DeepSaveAs(1));
  EXPECT_FALSE(s.SaveNew());
  EXPECT_FALSE(s.Load(1));
  EXPECT_EQ(0, s.GetItemNo());
  EXPECT_TRUE(TheHost().transfers.empty());
}

// ---- Cell records -------------------------------------------------------------------------------

TEST_F(RecordsTest, CellDetailWithoutACellLoadsNothing) {
  FCIndependentCellDetail d;
  EXPECT_FALSE(d.LoadFirst());
  CellNotes n;
  EXPECT_FALSE(n.LoadFirst());
  EXPECT_FALSE(n.SaveNew());
  EXPECT_TRUE(TheHost().transfers.empty());
}

TEST_F(RecordsTest, IndependentCellDetailLoadsTheCellsRecord) {
  std::vector<uint8_t> detail(10, 0);
  detail[0] = 0xFE, detail[1] = 0xFF; // two flats
  detail[9] = 0x08;                   // its own key
  PutRecord(TAG_dtFL, MakeKey(3, 2, 0), detail);
  FCIndependentCellDetail d;
  FCCell cell(2, 3);
  d.ConnectCell(&cell);
  EXPECT_EQ(&cell, d.GetCell());
  ASSERT_TRUE(d.LoadFirst());
  EXPECT_EQ(-2, d.GetKeySignatureValue());
  EXPECT_TRUE(d.GetHasKeySignature());
  EXPECT_FALSE(d.LoadNext());
  EXPECT_FALSE(d.SaveNew());
  EXPECT_EQ(1u, TheHost().transfers.size());
  ASSERT_TRUE(d.Save());
  EXPECT_EQ(10, TransfersTo("FX_SaveEData")[0].size);
}

TEST_F(RecordsTest, CellDetailWalksIncisAndKeepsTheLastFound) {
  PutRecord(MAKEEXTAG('d', 't', 'N', 'O'), MakeKey(1, 4, 0), Pattern(4, 0));
  PutRecord(MAKEEXTAG('d', 't', 'N', 'O'), MakeKey(1, 4, 1), Pattern(4, 9));
  CellNotes n;
  FCCell cell(4, 1);
  n.ConnectCell(&cell);
  ASSERT_TRUE(n.LoadFirst());
  ASSERT_TRUE(n.LoadNext());
  EXPECT_EQ(1, n.GetCellInci());
  EXPECT_EQ(Pattern(4, 9), Bytes(n, 4));
  EXPECT_FALSE(n.LoadNext());
  EXPECT_EQ(1, n.GetCellInci());
  EXPECT_EQ(MakeKey(1, 4, 1), KeyOf(n));

  ASSERT_TRUE(n.SaveNew());
  EXPECT_EQ(MakeKey(1, 4, 2), KeyOf(n));
  EXPECT_EQ(MakeKey(1, 4, 0xFFFF), TransfersTo("FX_CreateEData")[0].key);
}

// ---- Collections --------------------------------------------------------------------------------

TEST_F(RecordsTest, LoadAllForItemYieldsTheIncisInOrder) {
  FCSystemStaves staves;
  staves.LoadAllForItem(0);
  ASSERT_EQ(3, staves.GetCount());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(0, staves.GetItemAt(i)->GetItemNo());
    EXPECT_EQ(i, staves.GetItemAt(i)->GetItemInci());
    EXPECT_EQ(i + 1, staves.GetItemAt(i)->GetStaff());
  }
  EXPECT_EQ(staves.GetItemAt(1), staves.FindItemNo(0, 1));
  EXPECT_EQ(nullptr, staves.FindItemNo(0, 3));
  EXPECT_EQ(nullptr, staves.FindItemNo(1, 0));

  staves.LoadAllForItem(7);
  EXPECT_EQ(0, staves.GetCount());
  staves.LoadAllForItem(0);
  EXPECT_EQ(3, staves.GetCount()); // a reload replaces, it does not append
}

TEST_F(RecordsTest, SaveAllForItemRewritesTheItemInTheCollectionsOrder) {
  FCSystemStaves staves;
  staves.LoadAllForItem(0);
  __FCBase* first = staves.GetItemAt(0);
  staves.DetachItemAt(0);
  staves.Add(first); // staves 2, 3, 1
  ClearLog();
  ASSERT_TRUE(staves.SaveAllForItem(0));

  // The old records went from the highest inci down, then the new ones were created.
  auto deletes = TransfersTo("FX_DeleteEData");
  ASSERT_EQ(3u, deletes.size());
  EXPECT_EQ(MakeKey(0, 2), deletes[0].key);
  EXPECT_EQ(MakeKey(0, 0), deletes[2].key);
  FCSystemStaves again;
  again.LoadAllForItem(0);
  ASSERT_EQ(3, again.GetCount());
  EXPECT_EQ(2, again.GetItemAt(0)->GetStaff());
  EXPECT_EQ(3, again.GetItemAt(1)->GetStaff());
  EXPECT_EQ(1, again.GetItemAt(2)->GetStaff());

  // Under another item the same list is created afresh.
  ASSERT_TRUE(staves.SaveAllForItem(6));
  again.LoadAllForItem(6);
  EXPECT_EQ(3, again.GetCount());
}

TEST_F(RecordsTest, LoadAllWalksEveryRecordAndPassesTheContextOn) {
  StaffList list;
  list.SetContext(99);
  list.LoadAll();
  ASSERT_EQ(3, list.GetCount());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i + 1, static_cast<FCStaff*>(list.GetItemAt(i))->GetItemNo());
    EXPECT_EQ(99, list.GetItemAt(i)->GetContext());
  }
  list.SetContext(5);
  ClearLog();
  EXPECT_TRUE(list.SaveAll());
  EXPECT_EQ(3, CountCalls("FX_SaveEData"));
  EXPECT_EQ(5, list.GetItemAt(2)->GetContext());

  StaffList empty;
  EXPECT_FALSE(empty.SaveAll());
}

TEST_F(RecordsTest, LoadAllEndsWhenTheHostDoesNotMoveOn) {
  StuckList list;
  list.LoadAll();
  EXPECT_EQ(1, list.GetCount());
}

// A host whose "next" answers measure 1, 2, 1, 2, ...: each record is listed once.
TEST_F(RecordsTest, LoadAllEndsWhenTheHostGoesBackToAnEarlierKey) {
  NewDocument(1, 2);
  TheHost().nextGoesRound = true;
  MeasureList measures;
  measures.LoadAll();
  ASSERT_EQ(2, measures.GetCount());
  EXPECT_EQ(2, static_cast<FCMeasure*>(measures.GetItemAt(1))->GetItemNo());
  EXPECT_EQ(2, CountCalls("FX_NextEData"));
}

TEST_F(RecordsTest, InciCollectionsHaveNoFirstRecord) {
  FCSystemStaves staves;
  staves.LoadAll();
  EXPECT_EQ(0, staves.GetCount());
  EXPECT_TRUE(TheHost().transfers.empty());
}
