#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "data/fcnoteentrycell.h"
#include "handedframes.h"
#include "support/datafixture.h"

using hostsim::AddEntry;
using hostsim::Cell;
using hostsim::CountCalls;
using hostsim::SetAnswer;
using hostsim::TheHost;

namespace {

// Two staves by three measures; staff 2, measure 2 holds one entry in each of the four layers,
// at position 100 * (layer + 1), with a note of displacement layer.
class EntryCell : public DataHost {
protected:
  void SetUp() override {
    DataHost::SetUp();
    hostsim::NewDocument(2, 3);
    for (int16_t layer = 0; layer < 4; ++layer)
      AddEntry(2, 2, layer, E(100 * (layer + 1), {N(layer)}));
  }
  // The layers whose entries a cell loaded with the mode shows.
  std::set<int> LayersLoaded(int mode) {
    FCNoteEntryCell cell(2, 2);
    cell.SetLoadLayerMode(mode);
    EXPECT_TRUE(cell.Load());
    std::set<int> layers;
    for (int i = 0; i < cell.GetCount(); ++i)
      layers.insert(cell.GetItemAt(i)->GetMeasurePos() / 100 - 1);
    for (int l = 0; l < FCNoteEntryCell::MAX_LAYERS; ++l)
      EXPECT_EQ(layers.count(l) == 1, cell._GetFrame(l) != nullptr) << "layer " << l;
    return layers;
  }
};

TEST_F(EntryCell, EachLayerSelectionCodeLoadsItsLayers) {
  TheHost().shownLayers[1] = false;
  EXPECT_EQ((std::set<int>{0, 2, 3}), LayersLoaded(0));
  EXPECT_EQ((std::set<int>{0, 1, 2, 3}), LayersLoaded(-1));
  EXPECT_EQ((std::set<int>{1}), LayersLoaded(-2));
  EXPECT_EQ((std::set<int>{}), LayersLoaded(-3));
  EXPECT_EQ((std::set<int>{0}), LayersLoaded(1));
  EXPECT_EQ((std::set<int>{2}), LayersLoaded(3));
  EXPECT_EQ((std::set<int>{3}), LayersLoaded(4));
  EXPECT_EQ((std::set<int>{0, 2}), LayersLoaded(0x500));
  EXPECT_EQ((std::set<int>{1, 3}), LayersLoaded(0xA00 | 0x1000 | 0xFF));
  EXPECT_EQ((std::set<int>{}), LayersLoaded(5));
  EXPECT_EQ((std::set<int>{}), LayersLoaded(255));
  EXPECT_EQ((std::set<int>{0, 1, 2, 3}), LayersLoaded(-4)); // a mask with every layer bit
}

TEST_F(EntryCell, LoadAsksForEachSelectedLayerOnlyWithTheGlobalListSlot) {
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(0x500);
  hostsim::ClearCalls();
  ASSERT_TRUE(cell.Load());
  auto loads = hostsim::CallsTo("FX_LoadTGF");
  ASSERT_EQ(2u, loads.size());
  EXPECT_EQ((std::vector<uint64_t>{0, 2, 2, 0, 1}), loads[0].slots);
  EXPECT_EQ((std::vector<uint64_t>{0, 2, 2, 2, 1}), loads[1].slots);
  EXPECT_EQ(0, CountCalls("FX_GetShowLayer"));
}

TEST_F(EntryCell, EntriesComeLayerByLayerLinkedWithinTheirLayer) {
  AddEntry(2, 2, 0, E(150, {N(7), N(9)}));
  AddEntry(2, 2, 2, E(350, {}));
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  ASSERT_EQ(6, cell.GetCount());
  const int32_t positions[] = {100, 150, 200, 300, 350, 400};
  for (int i = 0; i < 6; ++i) {
    FCNoteEntry* e = cell.GetItemAt(i);
    EXPECT_EQ(positions[i], e->GetMeasurePos());
    EXPECT_EQ(2, e->GetMeasure());
    EXPECT_EQ(2, e->GetStaff());
  }
  FCNoteEntry* first = cell.GetItemAt(0);
  EXPECT_EQ(nullptr, first->GetPrevious());
  EXPECT_EQ(cell.GetItemAt(1), first->GetNext());
  EXPECT_EQ(first, cell.GetItemAt(1)->GetPrevious());
  EXPECT_EQ(nullptr, cell.GetItemAt(1)->GetNext()); // last of layer 1
  EXPECT_EQ(nullptr, cell.GetItemAt(2)->GetPrevious());
  EXPECT_EQ(cell.GetItemAt(4), cell.GetItemAt(3)->GetNext());
  EXPECT_EQ(2, cell.GetItemAt(1)->GetCount());
  EXPECT_EQ(9, cell.GetItemAt(1)->GetItemAt(1)->GetDisplacement());
  EXPECT_TRUE(cell.GetItemAt(4)->IsRest());
  EXPECT_EQ(nullptr, cell.GetItemAt(6));
  EXPECT_EQ(nullptr, cell.GetItemAt(-1));
  EXPECT_STREQ("FCNoteEntryCell", cell.ClassName());
  EXPECT_EQ(2, cell.GetMeasure());
  EXPECT_EQ(2, cell.GetStaff());
}

TEST_F(EntryCell, ChangesReachTheScoreOnlyWhenSaved) {
  std::vector<EXENTRY> before = Cell(2, 2, 0);
  {
    FCNoteEntryCell cell(2, 2);
    ASSERT_TRUE(cell.Load());
    cell.GetItemAt(0)->GetItemAt(0)->SetDisplacement(12);
    ASSERT_TRUE(cell.Load()); // reloading drops the change
    EXPECT_EQ(0, cell.GetItemAt(0)->GetItemAt(0)->GetDisplacement());
    cell.GetItemAt(0)->GetItemAt(0)->SetDisplacement(12);
  }
  EXPECT_EQ(0, memcmp(before.data(), Cell(2, 2, 0).data(), sizeof(EXENTRY)));
  EXPECT_EQ(0, LoadedTGFCounter);

  FCNoteEntryCell cell(2, 2);
  ASSERT_TRUE(cell.Load());
  FCNote* added = cell.GetItemAt(0)->AddNewNote();
  ASSERT_NE(nullptr, added);
  added->SetDisplacement(4);
  EXPECT_TRUE(cell.Save());
  EXPECT_EQ(4, CountCalls("FX_SaveTGF"));
  const EXENTRY& stored = Cell(2, 2, 0)[0];
  ASSERT_EQ(2, +stored.notecount);
  EXPECT_EQ(4, +stored.notes[1].displacement);
  EXPECT_EQ(2, +stored.notes[1].noteID);
  EXPECT_EQ(0x80020000u, +stored.notes[1].flags);
}

TEST_F(EntryCell, AFailedSaveIsReportedAfterEveryLayerWasTried) {
  FCNoteEntryCell cell(2, 2);
  ASSERT_TRUE(cell.Load());
  SetAnswer("FX_SaveTGF", 0);
  EXPECT_FALSE(cell.Save());
  EXPECT_EQ(4, CountCalls("FX_SaveTGF"));
}

TEST_F(EntryCell, ALoadThatFailsHalfWayKeepsNoFrameAndNoEntry) {
  // The host reports four layers but serves only two.
  TheHost().maxLayers = 2;
  SetAnswer("FX_GetMaxLayers", 4);
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  EXPECT_FALSE(cell.Load());
  EXPECT_EQ(0, cell.GetCount());
  for (int l = 0; l < FCNoteEntryCell::MAX_LAYERS; ++l)
    EXPECT_EQ(nullptr, cell._GetFrame(l));
  EXPECT_TRUE(TheHost().framesOut.empty());
  EXPECT_EQ(3, CountCalls("FX_LoadTGF"));
  EXPECT_EQ(2, CountCalls("FX_FreeTGF"));
  EXPECT_TRUE(cell.Save()); // nothing to save
  EXPECT_EQ(0, CountCalls("FX_SaveTGF"));
}

TEST_F(EntryCell, AStaffInNoSlotLoadsNothing) {
  FCNoteEntryCell cell(2, 9);
  EXPECT_FALSE(cell.Load());
  EXPECT_EQ(0, CountCalls("FX_LoadTGF"));
  FCNoteEntryCell none(2, 0);
  EXPECT_FALSE(none.Load());
  FCNoteEntryCell nomeasure(4, 1);
  EXPECT_FALSE(nomeasure.Load());
  EXPECT_EQ(0, nomeasure.GetCount());
  FCNoteEntryCell empty(2, 9);
  empty.SetLoadLayerMode(-3);
  EXPECT_TRUE(empty.Load()); // nothing selected: nothing to fail
}

TEST_F(EntryCell, DeleteAllNullEntriesRemovesThemFromEveryLayer) {
  AddEntry(2, 2, 1, E(250, {N(1)}, 0));
  AddEntry(2, 2, 3, E(50, {}, 0));
  AddEntry(2, 2, 3, E(450, {N(3)}));
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  ASSERT_EQ(7, cell.GetCount());
  FCNoteEntry* old = cell.GetItemAt(0);
  EXPECT_TRUE(cell.DeleteAllNullEntries());
  ASSERT_EQ(5, cell.GetCount());
  EXPECT_NE(old, cell.GetItemAt(0)); // every earlier entry object was replaced
  for (int i = 0; i < cell.GetCount(); ++i)
    EXPECT_NE(0, cell.GetItemAt(i)->GetDuration());
  EXPECT_EQ(cell.GetItemAt(4), cell.GetItemAt(3)->GetNext());
  EXPECT_EQ(2, CountCalls("FX_DeleteEXENTRY"));
  ASSERT_TRUE(cell.Save());
  EXPECT_EQ(1u, Cell(2, 2, 1).size());
  ASSERT_EQ(2u, Cell(2, 2, 3).size());
  EXPECT_EQ(400, +Cell(2, 2, 3)[0].measurepos);
}

TEST_F(EntryCell, DeleteAllNullEntriesStopsAtAnEntryWithoutNumber) {
  AddEntry(2, 2, 0, E(150, {}, 0));
  Cell(2, 2, 1)[0].entnum = 0;
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  // From the last: layers 3 and 2 pass, layer 1's entry has no number.
  EXPECT_FALSE(cell.DeleteAllNullEntries());
  EXPECT_EQ(5, cell.GetCount());
  EXPECT_EQ(0, CountCalls("FX_DeleteEXENTRY"));
}

TEST_F(EntryCell, ARefusedDeletionIsReportedAndEndsTheWalk) {
  AddEntry(2, 2, 0, E(150, {}, 0));
  AddEntry(2, 2, 2, E(350, {}, 0));
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  SetAnswer("FX_DeleteEXENTRY", 0);
  EXPECT_FALSE(cell.DeleteAllNullEntries());
  EXPECT_EQ(6, cell.GetCount());
  EXPECT_EQ(2, CountCalls("FX_DeleteEXENTRY"));
}

TEST_F(EntryCell, AppendEntriesInLayerReturnsTheFirstNewEntry) {
  AddEntry(2, 2, 1, E(250, {N(1)}));
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  FCNoteEntry* added = cell.AppendEntriesInLayer(2, 3);
  ASSERT_NE(nullptr, added);
  EXPECT_EQ(8, cell.GetCount());
  EXPECT_EQ(cell.GetItemAt(3), added);
  EXPECT_EQ(2, added->_CalcTGFIndex());
  EXPECT_EQ(1, +(added->_GetFrame()->layer));
  EXPECT_EQ(0, added->GetDuration());
  auto inserts = hostsim::CallsTo("FX_InsertEXENTRY");
  ASSERT_EQ(1u, inserts.size());
  EXPECT_EQ(2u, inserts[0].slots[1]);
  EXPECT_EQ(3u, inserts[0].slots[2]);

  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(2, 0));
  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(2, -1));
  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(0, 1));
  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(5, 1));
  EXPECT_EQ(1, CountCalls("FX_InsertEXENTRY"));
  cell.SetLoadLayerMode(1);
  ASSERT_TRUE(cell.Load());
  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(2, 1)); // layer 2 not loaded
  SetAnswer("FX_InsertEXENTRY", 0);
  EXPECT_EQ(nullptr, cell.AppendEntriesInLayer(1, 1));
}

TEST_F(EntryCell, FindClosestPosPrefersTheFirstOfEqualCandidates) {
  AddEntry(2, 2, 0, E(300, {N(1)}));
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  // Layer 0: 100, 300; layer 1: 200; layer 2: 300; layer 3: 400.
  EXPECT_EQ(cell.GetItemAt(1), cell.FindClosestPos(310));
  EXPECT_EQ(cell.GetItemAt(0), cell.FindClosestPos(-1000));
  EXPECT_EQ(cell.GetItemAt(1), cell.FindClosestPos(250)); // 300 before 200: first wins
  EXPECT_EQ(cell.GetItemAt(4), cell.FindClosestPos(20399));
  EXPECT_EQ(nullptr, cell.FindClosestPos(20400));
  EXPECT_EQ(nullptr, cell.FindClosestPos(-2147483647 - 1));
}

// Bad frames from the host: never read or write outside the record.
class BadFrames : public EntryCell {};

TEST_F(BadFrames, NoteCountsOutsideTheRecordAreClampedOnLoadAndSave) {
  hostsim::ScopedFrameTamper tamper([](EXTGF2005a* f) {
    if (f->entrycount > 0) f->entries[0].notecount = f->layer == 0 ? 5000 : -9;
  });
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(0x300);
  ASSERT_TRUE(cell.Load());
  ASSERT_EQ(2, cell.GetCount());
  EXPECT_EQ(12, cell.GetItemAt(0)->GetCount());
  EXPECT_EQ(0, cell.GetItemAt(1)->GetCount());
  EXPECT_EQ(nullptr, cell.GetItemAt(0)->AddNewNote());
  EXPECT_TRUE(cell.Save());
  EXPECT_EQ(12, +Cell(2, 2, 0)[0].notecount);
  EXPECT_EQ(1, +Cell(2, 2, 1)[0].notecount); // no notes left: the rest slot
}

TEST_F(BadFrames, NegativeEntryCountsAndNullArraysAreEmpty) {
  hostsim::ScopedFrameTamper tamper([](EXTGF2005a* f) {
    if (f->layer == 0) f->entrycount = -3;
    if (f->layer == 1) f->entries = nullptr;
  });
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  ASSERT_EQ(2, cell.GetCount());
  EXPECT_EQ(300, cell.GetItemAt(0)->GetMeasurePos());
  EXPECT_TRUE(cell.DeleteAllNullEntries());
  cell.Save(); // the host refuses the broken frames; the sound ones are stored
}

TEST_F(BadFrames, AFrameWhoseSlotIsNoStaffShowsNoEntries) {
  hostsim::ScopedFrameTamper tamper([](EXTGF2005a* f) {
    if (f->layer == 2) f->slot = 40;
  });
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  ASSERT_TRUE(cell.Load());
  EXPECT_EQ(3, cell.GetCount());
  for (int i = 0; i < cell.GetCount(); ++i)
    EXPECT_NE(300, cell.GetItemAt(i)->GetMeasurePos());
  EXPECT_NE(nullptr, cell._GetFrame(2)); // still owned, and given back
}

TEST_F(BadFrames, LayerCountsBeyondTheReservedSlotsAreClamped) {
  TheHost().maxLayers = 9;
  AddEntry(2, 2, 7, E(800, {N(7)}));
  {
    FCNoteEntryCell cell(2, 2);
    cell.SetLoadLayerMode(-1);
    ASSERT_TRUE(cell.Load());
    EXPECT_EQ(4, cell.GetCount());
    EXPECT_EQ(4, CountCalls("FX_LoadTGF"));
    EXPECT_TRUE(cell.Save());
  }
  SetAnswer("FX_GetMaxLayers", -2);
  FCNoteEntryCell cell(2, 2);
  cell.SetLoadLayerMode(-1);
  EXPECT_TRUE(cell.Load());
  EXPECT_EQ(0, cell.GetCount());
}

TEST_F(BadFrames, FramesOutliveALayerCountThatShrinksAndAreStillGivenBack) {
  FCNoteEntryCell* cell = new FCNoteEntryCell(2, 2);
  cell->SetLoadLayerMode(-1);
  ASSERT_TRUE(cell->Load());
  SetAnswer("FX_GetMaxLayers", 1);
  cell->_SetupEntries();
  EXPECT_EQ(1, cell->GetCount());
  delete cell;
  EXPECT_TRUE(TheHost().framesOut.empty());
  EXPECT_EQ(0, LoadedTGFCounter);
}

} // namespace
