// The host simulator's services behind the entry cells, the region and the pitch look-ups.
#include <gtest/gtest.h>

#include <cstring>

#include "support/datafixture.h"

using hostsim::AddEntry;
using hostsim::Cell;
using hostsim::TheHost;

namespace {

class HostFrames : public DataHost {
protected:
  void SetUp() override {
    DataHost::SetUp();
    hostsim::NewDocument(3, 4);
    AddEntry(2, 3, 1, E(0, {N(1), N(5)}));
    AddEntry(2, 3, 1, E(1024, {}));
  }
};

TEST_F(HostFrames, FramesExistOnlyWhereTheScoreHasTheCell) {
  struct {
    uint16_t list;
    int16_t slot, measure, layer;
  } const refused[] = {{0, 2, 0, 0}, {0, 2, 5, 0},  {0, 0, 1, 0}, {0, 4, 1, 0},
                       {7, 1, 1, 0}, {0, 2, 1, -1}, {0, 2, 1, 4}};
  for (const auto& r : refused) {
    SCOPED_TRACE(testing::Message()
                 << r.list << " " << r.slot << " " << r.measure << " " << r.layer);
    EXPECT_EQ(nullptr, FX_LoadTGF(r.list, r.slot, r.measure, r.layer, 1));
  }
  EXPECT_EQ(0, TheHost().framesHandedOut);
  TheHost().maxLayers = 2;
  EXPECT_EQ(nullptr, FX_LoadTGF(0, 2, 1, 2, 1));
  EXTGF2005a* empty = FX_LoadTGF(0, 1, 4, 1, 1);
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(0, +empty->entrycount);
  EXPECT_EQ(1u, TheHost().framesOut.size());
  FX_FreeTGF(empty);
  EXPECT_TRUE(Cell(1, 4, 1).empty());
}

TEST_F(HostFrames, AFrameHoldsItsOwnCopyUntilSaved) {
  EXTGF2005a* frame = FX_LoadTGF(0, 2, 3, 1, 1);
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(0, +frame->instlist);
  EXPECT_EQ(2, +frame->slot);
  EXPECT_EQ(3, +frame->measure);
  EXPECT_EQ(1, +frame->layer);
  ASSERT_EQ(2, +frame->entrycount);
  EXPECT_NE(Cell(2, 3, 1).data(), +frame->entries);
  EXPECT_EQ(0, memcmp(Cell(2, 3, 1).data(), frame->entries, 2 * sizeof(EXENTRY)));
  frame->entries[0].notes[1].displacement = 9;
  EXPECT_EQ(5, +Cell(2, 3, 1)[0].notes[1].displacement);
  EXPECT_EQ(1, FX_SaveTGF(frame));
  EXPECT_EQ(9, +Cell(2, 3, 1)[0].notes[1].displacement);
  EXPECT_EQ(1, TheHost().framesHandedOut);
  EXPECT_EQ(1, FX_FreeTGF(frame));
  EXPECT_EQ(0, FX_FreeTGF(frame)); // given back once only
}

TEST_F(HostFrames, FramesOfAPartListServeThePartsStaff) {
  int16_t part = hostsim::AddPart({3, 2});
  EXTGF2005a* frame = FX_LoadTGF(static_cast<utwobyte>(part), 2, 3, 1, 1);
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(2, +frame->entrycount);
  EXPECT_EQ(part, +frame->instlist);
  EXPECT_EQ(2, FX_SlotToInst(frame->slot, frame->instlist));
  FX_FreeTGF(frame);
  EXPECT_EQ(3, FX_SlotToInst(1, static_cast<utwobyte>(part)));
  EXPECT_EQ(1, FX_InstToSlot(3, static_cast<utwobyte>(part)));
  EXPECT_EQ(0, FX_InstToSlot(1, static_cast<utwobyte>(part)));
  EXPECT_EQ(3, FX_InstToSlot(3, 0));
  EXPECT_EQ(0, FX_SlotToInst(4, 0));
  EXPECT_EQ(0, FX_SlotToInst(1, 9));
}

TEST_F(HostFrames, SlotsAndPartsAreFoundWhereverTheyStandInTheirLists) {
  hostsim::NewDocument(6, 1);
  int16_t running = hostsim::AddPart({4, 5, 6});  // found at once
  int16_t mixed = hostsim::AddPart({5, 2, 6, 3}); // searched for
  for (int16_t staff = 0; staff <= 7; ++staff) {
    EXPECT_EQ(staff >= 1 && staff <= 6 ? staff : 0, FX_InstToSlot(staff, 0)) << staff;
    EXPECT_EQ(staff >= 4 && staff <= 6 ? staff - 3 : 0,
              FX_InstToSlot(staff, static_cast<utwobyte>(running)))
        << staff;
  }
  const int mixedSlots[8] = {0, 0, 2, 4, 0, 1, 3, 0};
  for (int16_t staff = 0; staff <= 7; ++staff)
    EXPECT_EQ(mixedSlots[staff], FX_InstToSlot(staff, static_cast<utwobyte>(mixed))) << staff;
  // parts whose ids are not their places: the first with the id answers
  std::vector<hostsim::Part>& parts = hostsim::Doc().parts;
  parts.insert(parts.begin() + 1, parts[mixed]);
  EXPECT_EQ(4, FX_SlotToInst(1, static_cast<utwobyte>(running)));
  EXPECT_EQ(5, FX_SlotToInst(1, static_cast<utwobyte>(mixed)));
  EXPECT_EQ(mixed, FX_GetNextPartID(0));
  EXPECT_EQ(running, FX_GetNextPartID(mixed));
  EXPECT_EQ(mixed, FX_GetNextPartID(running));
  EXPECT_EQ(-1, FX_GetNextPartID(7));
  EXPECT_EQ(1, FX_SetCurrentPartID(running));
  EREGION selection, whole[2];
  FX_GetCurERegions(nullptr, &selection, whole);
  EXPECT_EQ(3, whole[0].endslot);
}

TEST_F(HostFrames, SavesAreRefusedForFramesNotHandedOutOrBroken) {
  EXTGF2005a stranger;
  memset(&stranger, 0, sizeof stranger);
  EXPECT_EQ(0, FX_SaveTGF(&stranger));
  EXPECT_EQ(0, FX_DeleteEXENTRY(&stranger, 0, 1));
  EXPECT_EQ(0, FX_InsertEXENTRY(&stranger, 0, 1));
  EXPECT_EQ(0, FX_FreeTGF(&stranger));
  std::vector<EXENTRY> before = Cell(2, 3, 1);
  EXTGF2005a* frame = FX_LoadTGF(0, 2, 3, 1, 1);
  ASSERT_NE(nullptr, frame);
  frame->entrycount = 1;
  EXPECT_EQ(0, FX_SaveTGF(frame));
  frame->entrycount = 2;
  EXENTRY* own = frame->entries;
  frame->entries = nullptr;
  EXPECT_EQ(0, FX_SaveTGF(frame));
  frame->entries = own;
  EXPECT_EQ(1, FX_SaveTGF(frame));
  FX_FreeTGF(frame);
  EXPECT_EQ(2u, Cell(2, 3, 1).size());
}

// Frames go back in any order; each one stays its own until it does, and one given back or
// forgotten by a Reset is no frame of the host's any more.
TEST_F(HostFrames, FramesGoBackInAnyOrderAndAResetForgetsTheRest) {
  AddEntry(2, 3, 2, E(0, {N(3)}));
  EXTGF2005a* frames[3];
  for (int layer = 0; layer < 3; ++layer)
    ASSERT_NE(nullptr, frames[layer] = FX_LoadTGF(0, 2, 3, static_cast<int16_t>(layer), 1));
  EXPECT_EQ(1, FX_FreeTGF(frames[1]));
  EXPECT_EQ(0, FX_FreeTGF(frames[1]));
  EXPECT_EQ(0, FX_SaveTGF(frames[1]));
  EXPECT_EQ(1, +frames[0]->entrycount + frames[2]->entrycount);
  frames[2]->entries[0].duration = 512;
  EXPECT_EQ(1, FX_SaveTGF(frames[2]));
  EXPECT_EQ(512, +Cell(2, 3, 2).at(0).duration);
  EXPECT_EQ(1, FX_FreeTGF(frames[2]));
  EXPECT_EQ(1u, TheHost().framesOut.size());
  hostsim::Reset();
  hostsim::NewDocument(3, 4);
  EXPECT_EQ(0, FX_SaveTGF(frames[0]));
  EXPECT_EQ(0, FX_FreeTGF(frames[0]));
  EXTGF2005a* fresh = FX_LoadTGF(0, 1, 1, 0, 1);
  ASSERT_NE(nullptr, fresh);
  EXPECT_EQ(1u, TheHost().framesOut.size());
  EXPECT_EQ(1, FX_FreeTGF(fresh));
}

TEST_F(HostFrames, EntriesAreDeletedAndInsertedInsideTheFrameOnly) {
  EXTGF2005a* frame = FX_LoadTGF(0, 2, 3, 1, 1);
  ASSERT_NE(nullptr, frame);
  uint32_t first = frame->entries[0].entnum;
  EXPECT_EQ(0, FX_DeleteEXENTRY(frame, 2, 1));
  EXPECT_EQ(0, FX_DeleteEXENTRY(frame, -1, 1));
  EXPECT_EQ(0, FX_DeleteEXENTRY(frame, 1, 2));
  EXPECT_EQ(0, FX_DeleteEXENTRY(frame, 0, 0));
  EXPECT_EQ(0, FX_InsertEXENTRY(frame, 3, 1));
  EXPECT_EQ(0, FX_InsertEXENTRY(frame, 0, 0));
  EXPECT_EQ(1, FX_InsertEXENTRY(frame, 1, 2));
  ASSERT_EQ(4, +frame->entrycount);
  EXPECT_EQ(first, +frame->entries[0].entnum);
  uint32_t a = frame->entries[1].entnum, b = frame->entries[2].entnum;
  EXPECT_NE(0u, a);
  EXPECT_NE(a, b);
  EXPECT_NE(first, a);
  EXPECT_EQ(0, +frame->entries[1].duration);
  EXPECT_EQ(1024, +frame->entries[3].measurepos);
  EXPECT_EQ(1, FX_DeleteEXENTRY(frame, 0, 3));
  ASSERT_EQ(1, +frame->entrycount);
  EXPECT_EQ(1024, +frame->entries[0].measurepos);
  EXPECT_EQ(2u, Cell(2, 3, 1).size()); // nothing stored before the save
  EXPECT_EQ(1, FX_SaveTGF(frame));
  EXPECT_EQ(1u, Cell(2, 3, 1).size());
  FX_FreeTGF(frame);
}

TEST_F(HostFrames, LayersAndTheirVisibility) {
  EXPECT_EQ(4, FX_GetMaxLayers());
  TheHost().maxLayers = 3;
  EXPECT_EQ(3, FX_GetMaxLayers());
  TheHost().shownLayers[2] = false;
  EXPECT_EQ(1, FX_GetShowLayer(0));
  EXPECT_EQ(0, FX_GetShowLayer(2));
  EXPECT_EQ(0, FX_GetShowLayer(4));
  EXPECT_EQ(0, FX_GetShowLayer(-1));
}

twobyte Midi(twobyte displacement, twobyte raiselower, uint16_t key) {
  ENOTE n = {};
  n.displacement = displacement;
  n.raiselower = raiselower;
  return FX_NoteToMidi(&n, static_cast<twobyte>(key));
}

TEST_F(HostFrames, MidiKeysFollowTheKeysScale) {
  // C major: the tonic is middle C.
  EXPECT_EQ(60, Midi(0, 0, 0x0000));
  EXPECT_EQ(64, Midi(2, 0, 0x0000));
  EXPECT_EQ(71, Midi(6, 0, 0x0000));
  EXPECT_EQ(72, Midi(7, 0, 0x0000));
  EXPECT_EQ(59, Midi(-1, 0, 0x0000));
  EXPECT_EQ(48, Midi(-7, 0, 0x0000));
  EXPECT_EQ(61, Midi(0, 1, 0x0000));
  // A major (3 sharps), E flat major (3 flats), A minor, D minor (1 flat).
  EXPECT_EQ(69, Midi(0, 0, 0x0003));
  EXPECT_EQ(73, Midi(2, 0, 0x0003));
  EXPECT_EQ(63, Midi(0, 0, 0x00FD));
  EXPECT_EQ(67, Midi(2, 0, 0x00FD));
  EXPECT_EQ(69, Midi(0, 0, 0x0100));
  EXPECT_EQ(72, Midi(2, 0, 0x0100));
  EXPECT_EQ(62, Midi(0, 0, 0x01FF));
  EXPECT_EQ(65, Midi(2, 0, 0x01FF));
  // The same sound from different written pitches in different keys.
  EXPECT_EQ(Midi(2, 0, 0x0003), Midi(7, 1, 0x0000)); // C sharp above middle C
  // Non-standard keys count as C major; the range is MIDI's.
  EXPECT_EQ(64, Midi(2, 0, 0x4000));
  EXPECT_EQ(64, Midi(2, 0, 0x0200));
  EXPECT_EQ(127, Midi(100, 0, 0));
  EXPECT_EQ(0, Midi(-100, 0, 0));
  EXPECT_EQ(0, FX_NoteToMidi(nullptr, 0));
}

TEST_F(HostFrames, TheSelectionAndTheWholeDocumentRegion) {
  fourbyte first = 0x5A5A5A5A;
  EREGION sel;
  memset(&sel, 0xEE, sizeof sel);
  uint8_t area[32];
  memset(area, 0xEE, sizeof area);
  EXPECT_EQ(0, FX_GetCurERegions(&first, &sel, area));
  EREGION zero = {};
  EXPECT_EQ(0, memcmp(&zero, &sel, sizeof sel));
  EXPECT_EQ(0x5A5A5A5A, first);

  hostsim::SetSelection(2, 1, 256, 3, 2, 768);
  EXPECT_EQ(1, FX_GetCurERegions(&first, &sel, area));
  EXPECT_EQ(0, memcmp(&hostsim::Doc().selection, &sel, sizeof sel));
  EREGION whole;
  memcpy(&whole, area, sizeof whole);
  EXPECT_EQ(0, +whole.startinstlist);
  EXPECT_EQ(1, +whole.startslot);
  EXPECT_EQ(3, +whole.endslot);
  EXPECT_EQ(1, +whole.startmeas);
  EXPECT_EQ(4, +whole.endmeas);
  EXPECT_EQ(0, +whole.startpos);
  EXPECT_EQ(REGION_TO_END, +whole.endpos);
  for (int i = 20; i < 32; ++i)
    EXPECT_EQ(0, area[i]) << i;

  int16_t part = hostsim::AddPart({3, 1});
  hostsim::Doc().currentPart = part;
  FX_GetCurERegions(&first, &sel, area);
  memcpy(&whole, area, sizeof whole);
  EXPECT_EQ(part, +whole.startinstlist);
  EXPECT_EQ(part, +whole.endinstlist);
  EXPECT_EQ(2, +whole.endslot);
}

TEST_F(HostFrames, SettingTheSelection) {
  EREGION r = {};
  r.startslot = 1;
  r.startmeas = 2;
  r.endslot = 2;
  r.endmeas = 3;
  r.endpos = 100;
  EXPECT_EQ(1, FX_SetCurERegion(&r));
  EXPECT_TRUE(hostsim::Doc().hasSelection);
  EXPECT_EQ(0, memcmp(&r, &hostsim::Doc().selection, sizeof r));
  EREGION none = {};
  FX_SetCurERegion(&none);
  EXPECT_FALSE(hostsim::Doc().hasSelection);
  EXPECT_EQ(0, FX_SetCurERegion(nullptr));
}

TEST_F(HostFrames, TheDocumentInFront) {
  EXPECT_EQ(1, FX_GetCurrentEnigmaDocument());
  hostsim::NewDocument(1, 1, 12);
  EXPECT_EQ(12, FX_GetCurrentEnigmaDocument());
  TheHost().currentDocument = 0;
  EXPECT_EQ(1, FX_GetCurrentEnigmaDocument());
}

TEST_F(HostFrames, AFrameOfADocumentNoLongerOpenCannotBeSaved) {
  EXTGF2005a* frame = FX_LoadTGF(0, 2, 3, 1, 1);
  ASSERT_NE(nullptr, frame);
  TheHost().documents[0].id = 40;
  EXPECT_EQ(0, FX_SaveTGF(frame));
  FX_FreeTGF(frame);
}

} // namespace

namespace {

// An edit keeps only the cells it stores into; its cancel must still give back the score it
// began with, byte for byte, whatever was stored and however often.
TEST_F(HostFrames, ACancelledEditGivesBackEveryCellItStoredInto) {
  hostsim::Document before = hostsim::Doc();
  ASSERT_EQ(1, FX_StartFinaleEdit("edit"));
  EXTGF2005a* filled = FX_LoadTGF(0, 2, 3, 1, 1);
  EXTGF2005a* empty = FX_LoadTGF(0, 1, 2, 0, 1);
  ASSERT_TRUE(filled && empty);
  filled->entries[0].notes[0].displacement = 40;
  EXPECT_EQ(1, FX_SaveTGF(filled));
  filled->entries[1].duration = 7;
  EXPECT_EQ(1, FX_SaveTGF(filled)); // stored twice: the first store's old cell counts
  EXPECT_EQ(1, FX_SaveTGF(empty));
  EXPECT_EQ(0u, hostsim::Doc().cells.count(hostsim::CellLayer(1, 2, 0))); // nothing made
  EXPECT_EQ(1, FX_InsertEXENTRY(empty, 0, 1));
  EXPECT_EQ(1, FX_SaveTGF(empty)); // a cell the score did not have
  AddEntry(3, 4, 0, E(0, {N(2)})); // and one the host's own work changed
  FX_FreeTGF(filled);
  FX_FreeTGF(empty);
  EXPECT_FALSE(hostsim::SameScore(before, hostsim::Doc()));
  FX_CancelFinaleEdit();
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_TRUE(TheHost().cellsBefore.empty());
}

} // namespace
