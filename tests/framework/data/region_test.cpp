#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "data/fccell.h"
#include "data/fcmusicregion.h"
#include "data/fcnoteentry.h"
#include "data/fcstaff.h"
#include "support/datafixture.h"

using hostsim::CountCalls;
using hostsim::SetAnswer;
using hostsim::TheHost;

namespace {

bool Same(const EREGION& a, const EREGION* b) {
  return memcmp(&a, b, sizeof a) == 0;
}

class MusicRegion : public DataHost {
protected:
  void SetUp() override {
    DataHost::SetUp();
    hostsim::NewDocument(5, 8, 7);
  }
};

TEST_F(MusicRegion, AnEmptyRegionHasNoMeasures) {
  FCMusicRegion r;
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(0, r.GetStartMeasure());
  EXPECT_EQ(0, r.GetEndMeasure());
  EXPECT_EQ(0, r.GetDocumentID());
  EXPECT_EQ(0, r.GetClipToken());
  EXPECT_TRUE(hostsim::Calls().empty()); // made without a record: the host is not asked
  EXPECT_STREQ("FCMusicRegion", r.ClassName());
  r.SetEndMeasure(2);
  EXPECT_FALSE(r.IsEmpty());
}

TEST_F(MusicRegion, ARecordIsCopiedWholeWithTheDocumentInFront) {
  EREGION rec = hostsim::MakeRegion(2, 3, 512, 4, 5, REGION_TO_END, 9);
  rec.endinstlist = 8;
  FCMusicRegion r(&rec);
  EXPECT_TRUE(Same(rec, r._GetEnigmaRegion()));
  EXPECT_EQ(7, r.GetDocumentID());
  EXPECT_EQ(512, r.GetStartMeasurePos());
  EXPECT_EQ(REGION_TO_END, r.GetEndMeasurePos());
  EXPECT_EQ(2, r.GetStartSlot());
  EXPECT_EQ(4, r.GetEndSlot());
}

TEST_F(MusicRegion, TheSelectionComesFromTheHost) {
  hostsim::SetSelection(2, 3, 256, 4, 6, 768);
  FCMusicRegion r;
  EXPECT_TRUE(r.SetCurrentSelection());
  EXPECT_TRUE(Same(hostsim::MakeRegion(2, 3, 256, 4, 6, 768), r._GetEnigmaRegion()));
  EXPECT_EQ(7, r.GetDocumentID());

  hostsim::ClearSelection();
  EXPECT_FALSE(r.SetCurrentSelection());
  EXPECT_TRUE(r.IsEmpty()); // overwritten with what the host gave
}

TEST_F(MusicRegion, TheFullDocumentIsThatOfThePartInView) {
  FCMusicRegion r;
  EXPECT_TRUE(r.SetFullDocument()); // true even without a selection
  EXPECT_TRUE(Same(hostsim::MakeRegion(1, 1, 0, 5, 8, REGION_TO_END), r._GetEnigmaRegion()));
  int16_t part = hostsim::AddPart({4, 2});
  hostsim::Doc().currentPart = part;
  EXPECT_TRUE(r.SetFullDocument());
  EXPECT_TRUE(Same(hostsim::MakeRegion(1, 1, 0, 2, 8, REGION_TO_END, part), r._GetEnigmaRegion()));
  EXPECT_TRUE(r.IsStaffIncluded(4));
  EXPECT_TRUE(r.IsStaffIncluded(2));
  EXPECT_FALSE(r.IsStaffIncluded(1));
}

TEST_F(MusicRegion, StavesAreIncludedBySlot) {
  EREGION rec = hostsim::MakeRegion(2, 1, 0, 4, 1, REGION_TO_END);
  FCMusicRegion r(&rec);
  EXPECT_FALSE(r.IsStaffIncluded(1));
  EXPECT_TRUE(r.IsStaffIncluded(2));
  EXPECT_TRUE(r.IsStaffIncluded(3));
  EXPECT_TRUE(r.IsStaffIncluded(4));
  EXPECT_FALSE(r.IsStaffIncluded(5));
  EXPECT_FALSE(r.IsStaffIncluded(12)); // in no slot
  EXPECT_FALSE(r.IsStaffIncluded(0));
}

TEST_F(MusicRegion, ReversedSlotsIncludeNothingUntilSorted) {
  EREGION rec = hostsim::MakeRegion(4, 1, 0, 2, 1, REGION_TO_END);
  FCMusicRegion r(&rec);
  for (int16_t staff = 1; staff <= 5; ++staff)
    EXPECT_FALSE(r.IsStaffIncluded(staff)) << staff;
  r.AssureSortedStaves();
  EXPECT_EQ(2, r.GetStartSlot());
  EXPECT_EQ(4, r.GetEndSlot());
  EXPECT_TRUE(r.IsStaffIncluded(3));
  r.AssureSortedStaves();
  EXPECT_EQ(2, r.GetStartSlot());
}

TEST_F(MusicRegion, PartialWhenEitherEndLiesInsideItsMeasure) {
  EREGION whole = hostsim::MakeRegion(1, 1, 0, 1, 2, REGION_TO_END);
  EXPECT_FALSE(FCMusicRegion(&whole).IsPartial());
  EXPECT_TRUE(FCMusicRegion(&whole).IsAbsoluteEndMeasurePos());
  EREGION start = hostsim::MakeRegion(1, 1, 1, 1, 2, REGION_TO_END);
  EXPECT_TRUE(FCMusicRegion(&start).IsPartial());
  EREGION end = hostsim::MakeRegion(1, 1, 0, 1, 2, 4095);
  EXPECT_TRUE(FCMusicRegion(&end).IsPartial());
  EXPECT_FALSE(FCMusicRegion(&end).IsAbsoluteEndMeasurePos());
}

TEST_F(MusicRegion, ARegionOfAnotherDocumentIsNotApplied) {
  EREGION rec = hostsim::MakeRegion(1, 2, 0, 2, 3, REGION_TO_END);
  FCMusicRegion r(&rec);
  hostsim::NewDocument(2, 2, 8);
  EXPECT_FALSE(r.IsCurrentDocument());
  r.SetInDocument();
  EXPECT_EQ(0, CountCalls("FX_SetCurERegion"));
  EXPECT_FALSE(hostsim::Doc().hasSelection);

  TheHost().currentDocument = 0;
  EXPECT_TRUE(r.IsCurrentDocument());
  r.SetInDocument();
  EXPECT_TRUE(hostsim::Doc().hasSelection);
  EXPECT_TRUE(Same(hostsim::Doc().selection, r._GetEnigmaRegion()));
}

TEST_F(MusicRegion, PositionTestsHonourBothEndsInclusively) {
  EREGION rec = hostsim::MakeRegion(2, 3, 512, 3, 5, 768);
  FCMusicRegion r(&rec);
  EXPECT_FALSE(r.IsMeasurePosWithin(3, 511));
  EXPECT_TRUE(r.IsMeasurePosWithin(3, 512));
  EXPECT_TRUE(r.IsMeasurePosWithin(4, 0));
  EXPECT_TRUE(r.IsMeasurePosWithin(4, REGION_TO_END));
  EXPECT_TRUE(r.IsMeasurePosWithin(5, 768));
  EXPECT_FALSE(r.IsMeasurePosWithin(5, 769));
  EXPECT_FALSE(r.IsMeasurePosWithin(2, 600));
  EXPECT_FALSE(r.IsMeasurePosWithin(6, 0));
  EXPECT_FALSE(r.IsFullMeasureIncluded(3));
  EXPECT_TRUE(r.IsFullMeasureIncluded(4));
  EXPECT_FALSE(r.IsFullMeasureIncluded(5));
  EXPECT_TRUE(r.IsStartPos(3, 512));
  EXPECT_FALSE(r.IsStartPos(4, 512));
  EXPECT_TRUE(r.IsMeasureIncluded(5));
  EXPECT_FALSE(r.IsMeasureIncluded(6));

  FCCell inside(3, 2);
  FCCell otherStaff(3, 4);
  EXPECT_TRUE(r.IsCellPosWithin(&inside, 600));
  EXPECT_FALSE(r.IsCellPosWithin(&inside, 500));
  EXPECT_FALSE(r.IsCellPosWithin(&otherStaff, 600));
  EXPECT_FALSE(r.IsCellPosWithin(nullptr, 600));

  EXENTRY record = {};
  record.measurepos = 700;
  FCNoteEntry entry(&record, nullptr, 5, 3);
  EXPECT_TRUE(r.IsEntryPosWithin(&entry));
  record.measurepos = 800;
  EXPECT_FALSE(r.IsEntryPosWithin(&entry));
  FCNoteEntry elsewhere(&record, nullptr, 4, 1);
  EXPECT_FALSE(r.IsEntryPosWithin(&elsewhere));
}

TEST_F(MusicRegion, OverlapNeedsSharedMeasuresAndASharedStaff) {
  int16_t part = hostsim::AddPart({5, 3});
  EREGION a = hostsim::MakeRegion(2, 2, 0, 3, 4, 1024);
  EREGION b = hostsim::MakeRegion(1, 4, 0, 2, 6, REGION_TO_END, part); // staves 5 and 3
  FCMusicRegion ra(&a), rb(&b);
  EXPECT_TRUE(ra.IsOverlapping(&rb));
  EXPECT_TRUE(rb.IsOverlapping(&ra));
  EREGION later = hostsim::MakeRegion(1, 4, 2048, 2, 6, REGION_TO_END, part); // starts after a ends
  FCMusicRegion rl(&later);
  EXPECT_FALSE(ra.IsOverlapping(&rl));
  EXPECT_FALSE(rl.IsOverlapping(&ra));
  EREGION apart = hostsim::MakeRegion(1, 5, 0, 2, 6, REGION_TO_END, part);
  FCMusicRegion rapart(&apart);
  EXPECT_FALSE(ra.IsOverlapping(&rapart));
  EREGION otherStaves = hostsim::MakeRegion(4, 1, 0, 5, 8, REGION_TO_END);
  FCMusicRegion ro(&otherStaves);
  EXPECT_FALSE(ra.IsOverlapping(&ro));
  EXPECT_TRUE(rb.IsOverlapping(&ro)); // staff 5
  EXPECT_FALSE(ra.IsOverlapping(nullptr));
}

TEST_F(MusicRegion, DurationCountsEveryPositionFromStartToEnd) {
  SetAnswer("FX_GetMeasureDuration", 4096);
  EREGION rec = hostsim::MakeRegion(2, 1, 1024, 2, 3, 2047);
  FCMusicRegion r(&rec);
  EXPECT_EQ(3072 + 4096 + 2048, r.CalcDuration());
  auto asked = hostsim::CallsTo("FX_GetMeasureDuration");
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ(2u, asked[0].slots[0]); // the staff at the start slot
  EXPECT_EQ(1u, asked[0].slots[1]);
  EXPECT_EQ(2u, asked[1].slots[1]);
  FCMusicRegion empty;
  EXPECT_EQ(0, empty.CalcDuration());
}

TEST_F(MusicRegion, DurationOffsetsMoveOneEndSoThatTheDurationFits) {
  SetAnswer("FX_GetMeasureDuration", 4096);
  EREGION rec = hostsim::MakeRegion(1, 5, 0, 1, 6, 1023);
  FCMusicRegion r(&rec);
  ASSERT_TRUE(r.SetDurationOffsetLeft(1024 + 4096 + 100));
  EXPECT_EQ(4, r.GetStartMeasure());
  EXPECT_EQ(3996, r.GetStartMeasurePos());
  EXPECT_EQ(1024 + 4096 + 100, r.CalcDuration());
  ASSERT_TRUE(r.SetDurationOffsetRight(10));
  EXPECT_EQ(4, r.GetEndMeasure());
  EXPECT_EQ(4005, r.GetEndMeasurePos());
  EXPECT_EQ(10, r.CalcDuration());
  ASSERT_TRUE(r.SetDurationOffsetRight(200));
  EXPECT_EQ(5, r.GetEndMeasure());
  EXPECT_EQ(99, r.GetEndMeasurePos());
  EXPECT_EQ(200, r.CalcDuration());

  EREGION before = *r._GetEnigmaRegion();
  EXPECT_FALSE(r.SetDurationOffsetLeft(0));
  EXPECT_FALSE(r.SetDurationOffsetRight(-5));
  EXPECT_FALSE(r.SetDurationOffsetLeft(9 * 4096)); // runs past measure 1
  EXPECT_TRUE(Same(before, r._GetEnigmaRegion()));
  SetAnswer("FX_GetMeasureDuration", 0);
  EXPECT_FALSE(r.SetDurationOffsetRight(5000));
  EXPECT_FALSE(r.SetDurationOffsetLeft(5000));
  EXPECT_TRUE(Same(before, r._GetEnigmaRegion()));
  FCMusicRegion empty;
  EXPECT_FALSE(empty.SetDurationOffsetRight(10));
}

TEST_F(MusicRegion, SlotsOfAPartListBecomeGlobalSlots) {
  int16_t part = hostsim::AddPart({4, 2});
  EREGION rec = hostsim::MakeRegion(1, 1, 0, 2, 2, REGION_TO_END, part);
  FCMusicRegion r(&rec);
  r.ConvertToGlobalInstrumentList();
  EXPECT_EQ(0, r.GetStartInstrumentList());
  EXPECT_EQ(0, r.GetEndInstrumentList());
  EXPECT_EQ(4, r.GetStartSlot());
  EXPECT_EQ(2, r.GetEndSlot());
}

TEST_F(MusicRegion, TheFullMeasureStackTakesEverySlotOfTheList) {
  EREGION rec = hostsim::MakeRegion(2, 1, 0, 3, 2, REGION_TO_END);
  FCMusicRegion r(&rec);
  EXPECT_TRUE(r.SetFullMeasureStack());
  EXPECT_EQ(1, r.GetStartSlot());
  EXPECT_EQ(5, r.GetEndSlot());
  FCMusicRegion empty;
  EXPECT_FALSE(empty.SetFullMeasureStack());
  EREGION nolist = hostsim::MakeRegion(1, 1, 0, 1, 1, REGION_TO_END, 33);
  EXPECT_FALSE(FCMusicRegion(&nolist).SetFullMeasureStack());
}

TEST_F(MusicRegion, ClipTokensAreKeptUntilReleased) {
  EREGION rec = hostsim::MakeRegion(1, 1, 0, 2, 2, REGION_TO_END);
  FCMusicRegion r(&rec);
  EXPECT_FALSE(r.PasteMusic()); // nothing held
  EXPECT_FALSE(r.ReleaseMusic());
  EXPECT_FALSE(r.CopyMusic()); // the host gives no token
  SetAnswer("FX_CopyCutMusic", 77);
  EXPECT_TRUE(r.CutMusic());
  EXPECT_EQ(77, r.GetClipToken());
  EXPECT_FALSE(r.CopyMusic()); // a token is held
  auto cuts = hostsim::CallsTo("FX_CopyCutMusic");
  ASSERT_EQ(2u, cuts.size());
  EXPECT_EQ(1u, cuts[0].slots[1]);
  EXPECT_EQ(2u, cuts[1].slots[1]);
  SetAnswer("FX_InsertMergeMusic", 1);
  EXPECT_TRUE(r.PasteMusic());
  EXPECT_EQ(77u, hostsim::CallsTo("FX_InsertMergeMusic")[0].slots[0]);
  EXPECT_FALSE(r.ReleaseMusic()); // the host refuses: the token stays
  EXPECT_EQ(77, r.GetClipToken());
  SetAnswer("FX_DisposeFinClipFileToken", 1);
  EXPECT_TRUE(r.ReleaseMusic());
  EXPECT_EQ(0, r.GetClipToken());

  FCMusicRegion empty;
  EXPECT_FALSE(empty.CopyMusic());
  EXPECT_EQ(2, CountCalls("FX_CopyCutMusic"));
}

TEST_F(MusicRegion, FullDocumentWidthNeedsEveryMeasureWhole) {
  EREGION whole = hostsim::MakeRegion(1, 1, 0, 5, 8, REGION_TO_END);
  FCMusicRegion r(&whole);
  EXPECT_TRUE(r.IsLastEndMeasure());
  EXPECT_TRUE(r.IsFullDocumentWidth());
  r.SetEndMeasure(7);
  EXPECT_FALSE(r.IsLastEndMeasure());
  EXPECT_FALSE(r.IsFullDocumentWidth());
  r.SetEndMeasure(9);
  EXPECT_FALSE(r.IsLastEndMeasure()); // no such measure
  EREGION late = hostsim::MakeRegion(1, 2, 0, 5, 8, REGION_TO_END);
  EXPECT_FALSE(FCMusicRegion(&late).IsFullDocumentWidth());
  EREGION partial = hostsim::MakeRegion(1, 1, 0, 5, 8, 1023);
  EXPECT_FALSE(FCMusicRegion(&partial).IsFullDocumentWidth());
  FCMusicRegion empty;
  EXPECT_FALSE(empty.IsFullDocumentWidth());
}

// Collects the staff numbers of the staff records handed over.
struct StaffList : FCIteratorHandler {
  bool Iterate(__FCBase* object) override {
    staves.push_back(static_cast<FCStaff*>(object)->GetItemNo());
    return static_cast<int>(staves.size()) != stopAfter;
  }
  std::vector<int> staves;
  int stopAfter = -1;
};

TEST_F(MusicRegion, ForEachStaffHandsOverTheStaffRecordOfEachSlot) {
  int16_t part = hostsim::AddPart({4, 1, 5});
  EREGION rec = hostsim::MakeRegion(1, 1, 0, 4, 1, REGION_TO_END, part); // slot 4 holds no staff
  FCMusicRegion r(&rec);
  StaffList all;
  EXPECT_EQ(3, r.ForEachStaff(&all));
  EXPECT_EQ((std::vector<int>{4, 1, 5}), all.staves);
  StaffList two;
  two.stopAfter = 2;
  EXPECT_EQ(2, r.ForEachStaff(&two));
  EXPECT_EQ((std::vector<int>{4, 1}), two.staves);
  EXPECT_EQ(0, r.ForEachStaff(nullptr));
}

} // namespace
