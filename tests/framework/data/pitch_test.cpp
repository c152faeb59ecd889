#include <gtest/gtest.h>

#include <memory>

#include "data/fccell.h"
#include "data/fckeysignature.h"
#include "data/fcnoteentrycell.h"
#include "hostapi/fxtags.h"
#include "support/datafixture.h"

using hostsim::AddEntry;
using hostsim::CountCalls;
using hostsim::MakeKey;
using hostsim::PutRecord;
using hostsim::SetMeasureKey;

namespace {

// The staff's settings at one position of one measure, with the flag word given.
void StaffSpec(int16_t staff, int16_t measure, int32_t pos, uint16_t flags) {
  std::vector<uint8_t> record(114, 0);
  record[22] = static_cast<uint8_t>(flags & 0xFF);
  record[23] = static_cast<uint8_t>(flags >> 8);
  PutRecord(TAG_SOSC,
            MakeKey(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure),
                    static_cast<uint16_t>(pos & 0xFFFF), static_cast<uint16_t>(pos >> 16)),
            record);
}

// A cell's own key word, with the flag that says the cell carries it or not.
void CellKey(int16_t staff, int16_t measure, uint16_t keyword, bool carried) {
  std::vector<uint8_t> record(10, 0);
  record[0] = static_cast<uint8_t>(keyword & 0xFF);
  record[1] = static_cast<uint8_t>(keyword >> 8);
  record[9] = carried ? 0x08 : 0x00; // 0x0800 of the flag word at offset 8
  record[8] = 0x01;                  // a bit of the host's beside it
  PutRecord(TAG_dtFL, MakeKey(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure)),
            record);
}

utwobyte KeyOf(int measure, int staff) {
  FCCell cell(measure, staff);
  return cell.GetKeySignature()->GetKeyWord();
}

class Keys : public DataHost {
protected:
  void SetUp() override {
    DataHost::SetUp();
    hostsim::NewDocument(2, 3);
    hostsim::TheHost().maxLayers = 1;
    SetMeasureKey(2, 0x0003); // A major
    SetMeasureKey(3, 0x0100); // A minor
  }
  // The entries of one cell, loaded from the host.
  std::unique_ptr<FCNoteEntryCell> Load(int measure, int staff) {
    std::unique_ptr<FCNoteEntryCell> cell(new FCNoteEntryCell(measure, staff));
    EXPECT_TRUE(cell->Load());
    return cell;
  }
};

TEST_F(Keys, TheMeasuresKeyIsTheCellsKey) {
  FCCell cell(2, 1);
  FCKeySignature* key = cell.GetKeySignature();
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(0x0003, key->GetKeyWord());
  SetMeasureKey(2, 0x00FD);
  EXPECT_EQ(key, cell.GetKeySignature()); // the same object, looked up again
  EXPECT_EQ(0x00FD, key->GetKeyWord());
  EXPECT_EQ(0, key->GetAccidentalOffset());
  EXPECT_EQ(0x0100, KeyOf(3, 2));
  EXPECT_EQ(0x0000, KeyOf(1, 2));
}

TEST_F(Keys, ACellsOwnKeyCountsWhenTheStaffAllowsItAndTheCellCarriesIt) {
  CellKey(1, 2, 0x00FD, true);
  EXPECT_EQ(0x0003, KeyOf(2, 1)); // no staff settings: no own keys
  StaffSpec(1, 2, 0, 0x0001);
  EXPECT_EQ(0x0003, KeyOf(2, 1)); // the staff does not allow own keys
  StaffSpec(1, 2, 0, 0x8000);
  EXPECT_EQ(0x00FD, KeyOf(2, 1));
  CellKey(1, 2, 0x00FD, false);
  EXPECT_EQ(0x0003, KeyOf(2, 1)); // the cell does not carry one
  StaffSpec(2, 2, 0, 0x8000);
  EXPECT_EQ(0x0003, KeyOf(2, 2)); // no detail record for that cell
}

TEST_F(Keys, AMeasureThatDoesNotExistLeavesTheKeyAsItWas) {
  FCCell cell(9, 1);
  EXPECT_EQ(0, cell.GetKeySignature()->GetKeyWord());
  FCCell known(2, 1);
  FCKeySignature* key = known.GetKeySignature();
  hostsim::Doc().records.erase({MAKEEXTAG('S', 'O', 'M', 'S'), MakeKey(2)});
  EXPECT_EQ(0x0003, known.GetKeySignature()->GetKeyWord());
  EXPECT_EQ(key, known.GetKeySignature());
}

TEST_F(Keys, MidiKeysComeFromTheHostWithTheKeyInEffect) {
  AddEntry(1, 2, 0, E(0, {N(0), N(2)}));
  AddEntry(1, 2, 0, E(512, {N(2)}));
  auto cell = Load(2, 1);
  FCNote* tonic = cell->GetItemAt(0)->GetItemAt(0);
  hostsim::ClearCalls();
  EXPECT_EQ(69, tonic->CalcMIDIKey());
  auto asked = hostsim::CallsTo("FX_NoteToMidi");
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ(hostsim::Slot(tonic->_GetNoteSlot()), asked[0].slots[0]);
  EXPECT_EQ(3u, asked[0].slots[1]);
  EXPECT_EQ(73, cell->GetItemAt(0)->GetItemAt(1)->CalcMIDIKey());

  // The staff ignores the key at position 0, not at 512.
  StaffSpec(1, 2, 0, 0x0001);
  EXPECT_EQ(60, tonic->CalcMIDIKey());
  EXPECT_EQ(73, cell->GetItemAt(1)->GetItemAt(0)->CalcMIDIKey());

  FCNotePitch free;
  free.SetDisplacement(2);
  EXPECT_EQ(64, free.CalcMIDIKey()); // no entry: key word 0
}

TEST_F(Keys, NotesInTheSameKeyCompareTheirWrittenPitch) {
  AddEntry(1, 2, 0, E(0, {N(2), N(2, 1)}));
  AddEntry(2, 2, 0, E(0, {N(2)}));
  auto a = Load(2, 1);
  auto b = Load(2, 2);
  hostsim::ClearCalls();
  FCNote* x = a->GetItemAt(0)->GetItemAt(0);
  EXPECT_TRUE(x->IsIdenticalPitch(b->GetItemAt(0)->GetItemAt(0)));
  EXPECT_FALSE(x->IsIdenticalPitch(a->GetItemAt(0)->GetItemAt(1)));
  EXPECT_EQ(0, CountCalls("FX_NoteToMidi"));
  EXPECT_FALSE(x->IsIdenticalPitch(nullptr));
}

TEST_F(Keys, NotesInDifferentKeysCompareTheirSoundingPitch) {
  AddEntry(1, 1, 0, E(0, {N(7, 1), N(2)}));  // C major: C sharp 5, E4
  AddEntry(1, 2, 0, E(0, {N(2), N(0, -5)})); // A major: C sharp 5, A4 lowered to E4
  AddEntry(1, 3, 0, E(0, {N(2), N(-2, 1)})); // A minor: C5, F sharp 4
  auto c = Load(1, 1);
  auto a = Load(2, 1);
  auto m = Load(3, 1);
  FCNote* cSharpInC = c->GetItemAt(0)->GetItemAt(0);
  FCNote* eInC = c->GetItemAt(0)->GetItemAt(1);
  FCNote* cSharpInA = a->GetItemAt(0)->GetItemAt(0);
  EXPECT_TRUE(cSharpInC->IsIdenticalPitch(cSharpInA));
  EXPECT_TRUE(cSharpInA->IsIdenticalPitch(cSharpInC));
  EXPECT_TRUE(eInC->IsIdenticalPitch(a->GetItemAt(0)->GetItemAt(1)));
  EXPECT_FALSE(eInC->IsIdenticalPitch(cSharpInA)); // same written pitch, other sound
  EXPECT_FALSE(cSharpInA->IsIdenticalPitch(m->GetItemAt(0)->GetItemAt(0)));
  EXPECT_GT(CountCalls("FX_NoteToMidi"), 0);
}

TEST_F(Keys, FindPitchLooksAtNotesOfNoteEntriesOnly) {
  AddEntry(1, 1, 0, E(0, {N(4), N(7, 1), N(7, 1)}));
  AddEntry(1, 1, 0, E(512, {N(7)}));
  hostsim::Cell(1, 1, 0)[1].flags = 0; // a rest that keeps a note record
  auto cell = Load(1, 1);
  FCNoteEntry* chord = cell->GetItemAt(0);
  FCNotePitch pitch;
  pitch.SetDisplacement(7);
  EXPECT_EQ(nullptr, chord->FindPitch(&pitch));
  pitch.SetRaiseLower(1);
  chord->GetItemAt(1)->MarkForDelete();
  EXPECT_EQ(chord->GetItemAt(1), chord->FindPitch(&pitch));
  FCNotePitch g;
  g.SetDisplacement(7);
  ASSERT_EQ(1, cell->GetItemAt(1)->GetCount());
  EXPECT_EQ(nullptr, cell->GetItemAt(1)->FindPitch(&g));
  EXPECT_EQ(nullptr, chord->FindPitch(nullptr));
}

TEST_F(Keys, PitchLettersCountFromTheTonic) {
  AddEntry(1, 1, 0, E(0, {N(0), N(1), N(-1), N(5), N(-8), N(13)}));
  AddEntry(1, 2, 0, E(0, {N(0), N(2)}));
  AddEntry(1, 3, 0, E(0, {N(0), N(2)}));
  auto c = Load(1, 1);
  const char letters[] = {'C', 'D', 'B', 'A', 'B', 'B'};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(letters[i], c->GetItemAt(0)->GetItemAt(i)->CalcPitchChar()) << i;
  auto a = Load(2, 1);
  EXPECT_EQ('A', a->GetItemAt(0)->GetItemAt(0)->CalcPitchChar());
  EXPECT_EQ('C', a->GetItemAt(0)->GetItemAt(1)->CalcPitchChar());
  auto m = Load(3, 1);
  EXPECT_EQ('A', m->GetItemAt(0)->GetItemAt(0)->CalcPitchChar());
  SetMeasureKey(1, 0x00FD);
  EXPECT_EQ('E', c->GetItemAt(0)->GetItemAt(0)->CalcPitchChar());
  SetMeasureKey(1, 0x4000);
  EXPECT_EQ(0, c->GetItemAt(0)->GetItemAt(0)->CalcPitchChar()); // no tonic to count from
  FCNotePitch free;
  EXPECT_EQ(0, free.CalcPitchChar());
  c->GetItemAt(0)->MakeRest();
  AddEntry(1, 1, 0, E(512, {N(0)}));
  hostsim::Cell(1, 1, 0)[1].flags = 0;
  auto r = Load(1, 1);
  EXPECT_EQ(0, r->GetItemAt(1)->GetItemAt(0)->CalcPitchChar());
}

} // namespace
