// A task applied to the selection the way the tool window does it: one undo block around the
// block handler, against the host simulator's score.
#include "support/chords.h"
#include "support/moduleglobals.h"

#include "core/fcstring.h"
#include "data/fcui.h"
#include "fcchordshaperblockhandler.h"
#include "hostapi/fxtags.h"

using hostsim::TheHost;

namespace {

const int32_t RESPACE_ITEM = 12106;

class Apply : public ModuleHost {
protected:
  void SetUp() override {
    ModuleHost::SetUp();
    GlobalUserSettings.bRespaceMusic = true;
    GlobalUserSettings.bFourNoteDropChords = false;
    // Staves 1 to 4, six measures; part 1 shows staves 2 and 1, part 2 staff 3, part 3 staves
    // 4 and 3.
    hostsim::NewDocument(4, 6);
    hostsim::AddPart({2, 1});
    hostsim::AddPart({3});
    hostsim::AddPart({4, 3});
    for (int16_t staff = 1; staff <= 4; ++staff)
      for (int16_t measure = 1; measure <= 6; ++measure) {
        Chord(staff, measure, 0, {0, 2, 4, 7});
        Chord(staff, measure, 1024, {0, 4, 7, 11});
      }
    hostsim::Doc().currentPart = 2;
  }

  void Chord(int16_t staff, int16_t measure, int32_t pos, std::vector<int16_t> pitches) {
    hostsim::AddEntry(staff, measure, 0, testsupport::Chord(pos, pitches));
  }

  // One apply through the undo block, named after the task as the window names it.
  bool Run(int task, bool top = true) {
    FCUI ui(nullptr);
    FCChordShaperBlockHandler handler(task, top, &ui);
    FCString name(TaskDescriptors[task].name);
    FCUndoBlock block;
    bool ok = block.Execute(&handler, &name);
    ExpectNothingLeftOpen();
    return ok;
  }

  void ExpectNothingLeftOpen() {
    EXPECT_TRUE(TheHost().framesOut.empty());
    EXPECT_EQ(0, LoadedTGFCounter);
    EXPECT_EQ(0, FinaleEditDepth);
    EXPECT_FALSE(TheHost().editOpen);
  }

  static std::vector<int> Displacements(const EXENTRY& e) {
    std::vector<int> out;
    for (int i = 0; i < e.notecount; ++i)
      out.push_back(e.notes[i].displacement);
    return out;
  }

  // The staves a respacing command covered: its slots in its instrument list.
  static std::vector<int16_t> StavesOf(const hostsim::MenuCommandRecord& c) {
    std::vector<int16_t> out;
    for (int16_t slot = c.selection.startslot; slot <= c.selection.endslot; ++slot)
      out.push_back(hostsim::StaffAtSlot(slot, c.selection.startinstlist));
    return out;
  }
};

TEST_F(Apply, ChangedSelectionIsOneUndoEntryNamedAfterTheTask) {
  hostsim::SetSelection(2, 2, 0, 2, 3, REGION_TO_END); // staff 2, measures 2 and 3
  EXPECT_TRUE(Run(Drop2nd));
  ASSERT_EQ(1u, TheHost().undoList.size());
  EXPECT_EQ("Drop 2nd", TheHost().undoList[0].name);
  for (int16_t measure = 1; measure <= 6; ++measure)
    for (int16_t staff = 1; staff <= 4; ++staff) {
      const std::vector<EXENTRY>& cell = hostsim::Cell(staff, measure, 0);
      ASSERT_EQ(2u, cell.size());
      bool inside = staff == 2 && (measure == 2 || measure == 3);
      EXPECT_EQ(inside ? std::vector<int>({0, 2, -3, 7}) : std::vector<int>({0, 2, 4, 7}),
                Displacements(cell[0]));
      EXPECT_EQ(inside ? ENTRY2_NOTESCHANGED : 0, cell[0].flags2 & ENTRY2_NOTESCHANGED);
    }
}

TEST_F(Apply, SelectionInsideAMeasureChangesOnlyEntriesInsideIt) {
  hostsim::SetSelection(1, 3, 512, 1, 3, REGION_TO_END);
  EXPECT_TRUE(Run(TransposeOctaveChord, false));
  EXPECT_EQ(std::vector<int>({0, 2, 4, 7}), Displacements(hostsim::Cell(1, 3, 0)[0]));
  EXPECT_EQ(std::vector<int>({-7, -3, 0, 4}), Displacements(hostsim::Cell(1, 3, 0)[1]));
}

TEST_F(Apply, AHostOfSixLayersHasItsSixthLayerChangedToo) {
  TheHost().maxLayers = 6;
  hostsim::EntrySpec e;
  e.notes = {{0}, {4}};
  hostsim::AddEntry(2, 3, 5, e);
  hostsim::SetSelection(2, 3, 0, 2, 3, REGION_TO_END);
  EXPECT_TRUE(Run(TransposeOctaveChord));
  EXPECT_EQ(std::vector<int>({7, 11}), Displacements(hostsim::Cell(2, 3, 5)[0]));
  EXPECT_EQ(std::vector<int>({7, 9, 11, 14}), Displacements(hostsim::Cell(2, 3, 0)[0]));
}

TEST_F(Apply, RestsOnlyCancelTheEditAndLeaveTheScoreByteIdentical) {
  hostsim::EntrySpec rest;
  hostsim::AddEntry(1, 5, 1, rest); // a rest in another layer of a filled cell
  for (int16_t measure = 1; measure <= 6; ++measure)
    hostsim::Cell(3, measure, 0).clear();
  rest.pos = 0;
  hostsim::AddEntry(3, 4, 0, rest);
  hostsim::AddEntry(3, 5, 0, rest);
  hostsim::SetSelection(3, 4, 0, 3, 5, REGION_TO_END);
  hostsim::Document before = hostsim::Doc();
  EXPECT_FALSE(Run(AddThird));
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_TRUE(TheHost().undoList.empty());
  EXPECT_TRUE(TheHost().menuCommands.empty());
  EXPECT_EQ(1, hostsim::CountCalls("FX_CancelFinaleEdit"));
}

TEST_F(Apply, ChordsBelowTheNeedsCancelTheEditToo) {
  hostsim::SetSelection(1, 1, 0, 4, 6, REGION_TO_END);
  hostsim::Document before = hostsim::Doc();
  EXPECT_FALSE(Run(Rotate)); // every chord spans an octave or more
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_TRUE(TheHost().undoList.empty());
}

TEST_F(Apply, RespacesEachPartShowingASelectedStaffOverItsOwnStaves) {
  hostsim::SetSelection(2, 2, 0, 2, 3, REGION_TO_END); // staff 2: in the score and in part 1
  EREGION selection = hostsim::Doc().selection;
  EXPECT_TRUE(Run(Drop3rd));
  const std::vector<hostsim::MenuCommandRecord>& commands = TheHost().menuCommands;
  ASSERT_EQ(2u, commands.size());
  EXPECT_EQ(0, commands[0].part);
  EXPECT_EQ(1, commands[1].part);
  EXPECT_EQ(std::vector<int16_t>({1, 2, 3, 4}), StavesOf(commands[0]));
  EXPECT_EQ(std::vector<int16_t>({2, 1}), StavesOf(commands[1]));
  for (const auto& c : commands) {
    EXPECT_EQ(RESPACE_ITEM, c.item);
    EREGION r = c.selection;
    EXPECT_EQ(c.part, int(r.startinstlist));
    EXPECT_EQ(2, int(r.startmeas));
    EXPECT_EQ(3, int(r.endmeas));
    EXPECT_EQ(0, int(r.startpos));
    EXPECT_EQ(REGION_TO_END, int(r.endpos));
  }
  EXPECT_EQ(0, memcmp(&selection, &hostsim::Doc().selection, sizeof selection));
  EXPECT_TRUE(hostsim::Doc().hasSelection);
  EXPECT_EQ(2, hostsim::Doc().currentPart);
}

TEST_F(Apply, StaffInTwoPartsRespacesBothAndTheScoreOnce) {
  hostsim::SetSelection(3, 1, 0, 4, 1, REGION_TO_END); // staves 3 and 4
  EXPECT_TRUE(Run(KeepLines));
  std::vector<int16_t> parts;
  for (const auto& c : TheHost().menuCommands)
    parts.push_back(c.part);
  EXPECT_EQ(std::vector<int16_t>({0, 2, 3}), parts);
  EXPECT_EQ(2, hostsim::Doc().currentPart);
}

TEST_F(Apply, RespacingOffSendsNoCommandAndSwitchesNoPart) {
  GlobalUserSettings.bRespaceMusic = false;
  hostsim::SetSelection(1, 1, 0, 2, 2, REGION_TO_END);
  EREGION selection = hostsim::Doc().selection;
  EXPECT_TRUE(Run(TransposeOctave));
  EXPECT_TRUE(TheHost().menuCommands.empty());
  EXPECT_EQ(0, hostsim::CountCalls("FX_SetCurrentPartID"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_SetCurERegion"));
  EXPECT_EQ(0, memcmp(&selection, &hostsim::Doc().selection, sizeof selection));
  EXPECT_EQ(1u, TheHost().undoList.size());
}

TEST_F(Apply, StaffMissingFromTheStaffListIsNeverRespaced) {
  // The staff list of item 0 holds staves 1, 3 and 4 only.
  auto& records = hostsim::Doc().records;
  for (int16_t inci = 0; inci < 4; ++inci)
    records.erase({TAG_SOIu, hostsim::MakeKey(0, static_cast<uint16_t>(inci))});
  int16_t listed[] = {1, 3, 4};
  for (int16_t inci = 0; inci < 3; ++inci) {
    std::vector<uint8_t> item(24, 0);
    item[0] = static_cast<uint8_t>(listed[inci]);
    hostsim::PutRecord(TAG_SOIu, hostsim::MakeKey(0, static_cast<uint16_t>(inci)), item);
  }
  hostsim::SetSelection(2, 2, 0, 2, 2, REGION_TO_END);
  EXPECT_TRUE(Run(Drop2nd));
  EXPECT_TRUE(TheHost().menuCommands.empty());
  EXPECT_EQ(2, hostsim::Doc().currentPart);
}

TEST_F(Apply, TwoAppliesMakeTwoUndoEntries) {
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  EXPECT_TRUE(Run(Drop2nd));
  EXPECT_FALSE(Run(Rotate, false)); // both chords span an octave or more: no entry
  hostsim::SetSelection(1, 2, 0, 1, 2, REGION_TO_END);
  EXPECT_TRUE(Run(AddOctave));
  ASSERT_EQ(2u, TheHost().undoList.size());
  EXPECT_EQ("Drop 2nd", TheHost().undoList[0].name);
  EXPECT_EQ("Add Octave", TheHost().undoList[1].name);
}

TEST_F(Apply, RefusedEditVisitsNothing) {
  TheHost().refuseEdits = true;
  hostsim::SetSelection(1, 1, 0, 4, 6, REGION_TO_END);
  hostsim::Document before = hostsim::Doc();
  EXPECT_FALSE(Run(Drop2nd));
  EXPECT_EQ(0, hostsim::CountCalls("FX_LoadTGF"));
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
}

TEST_F(Apply, HostThatDoesNotRunTheCommandStillEndsTheEdit) {
  hostsim::SetAnswer("FX_ExecuteMenuItem", 0);
  hostsim::SetSelection(1, 1, 0, 1, 1, REGION_TO_END);
  EXPECT_TRUE(Run(Drop2nd));
  EXPECT_EQ(2, hostsim::CountCalls("FX_ExecuteMenuItem")); // the score and part 1
  EXPECT_EQ(1u, TheHost().undoList.size());
  EXPECT_EQ(2, hostsim::Doc().currentPart);
}

TEST_F(Apply, HandlerWithoutHostServicesChangesTheMusicAndRestoresTheView) {
  hostsim::SetSelection(2, 2, 0, 2, 3, REGION_TO_END);
  EREGION selection = hostsim::Doc().selection;
  FCChordShaperBlockHandler handler(Drop2nd, true, nullptr);
  EXPECT_TRUE(handler.Execute());
  EXPECT_TRUE(TheHost().menuCommands.empty());
  EXPECT_EQ(std::vector<int>({0, 2, -3, 7}), Displacements(hostsim::Cell(2, 2, 0)[0]));
  EXPECT_EQ(0, memcmp(&selection, &hostsim::Doc().selection, sizeof selection));
  EXPECT_EQ(2, hostsim::Doc().currentPart);
  EXPECT_TRUE(TheHost().framesOut.empty());
}

} // namespace
