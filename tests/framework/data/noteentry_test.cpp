#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "data/fcnoteentry.h"

namespace {

struct Pitch {
  twobyte displacement;
  twobyte raiselower;
  twobyte id;
};

// A record on the heap of exactly one entry, so that the address sanitizer sees any access
// past its twelve slots.
std::unique_ptr<EXENTRY> MakeRecord(const std::vector<Pitch>& notes, bool isNote = true) {
  std::unique_ptr<EXENTRY> r(new EXENTRY);
  memset(r.get(), 0, sizeof(EXENTRY));
  r->entnum = 77;
  r->duration = 1024;
  r->flags = isNote ? ENTRY_NOTE : 0;
  r->notecount = static_cast<twobyte>(notes.size());
  for (size_t i = 0; i < notes.size(); ++i) {
    r->notes[i].displacement = notes[i].displacement;
    r->notes[i].raiselower = notes[i].raiselower;
    r->notes[i].noteID = notes[i].id;
    r->notes[i].flags = NOTE_CREATED;
  }
  return r;
}

struct Entry {
  explicit Entry(const std::vector<Pitch>& notes, bool isNote = true)
      : record(MakeRecord(notes, isNote)), entry(record.get(), nullptr, 3, 2) {
    entry._UpdateNoteCollection();
  }
  std::unique_ptr<EXENTRY> record;
  FCNoteEntry entry;
};

TEST(NoteEntry, BuildsOneNoteViewPerSlotOverTheRecord) {
  Entry e({{0, 0, 1}, {4, 1, 2}, {7, -1, 3}});
  ASSERT_EQ(3, e.entry.GetCount());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i, e.entry.GetItemAt(i)->GetIndex());
    EXPECT_EQ(&e.entry, e.entry.GetItemAt(i)->GetEntry());
  }
  e.entry.GetItemAt(1)->SetDisplacement(9);
  e.entry.GetItemAt(1)->SetRaiseLower(-2);
  EXPECT_EQ(9, +e.record->notes[1].displacement);
  EXPECT_EQ(-2, +e.record->notes[1].raiselower);
  EXPECT_EQ(nullptr, e.entry.GetItemAt(3));
  EXPECT_STREQ("FCNoteEntry", e.entry.ClassName());
  EXPECT_STREQ("FCNote", e.entry.GetItemAt(0)->ClassName());
}

TEST(NoteEntry, NewNoteTakesTheSmallestFreeID) {
  Entry gap({{0, 0, 1}, {2, 0, 2}, {4, 0, 4}});
  FCNote* n = gap.entry.AddNewNote();
  ASSERT_NE(nullptr, n);
  EXPECT_EQ(3, n->GetNoteID());

  Entry low({{0, 0, 2}, {2, 0, 3}});
  EXPECT_EQ(1, low.entry.AddNewNote()->GetNoteID());

  Entry marked({{0, 0, 1}});
  marked.entry.GetItemAt(0)->MarkForDelete();
  EXPECT_EQ(2, marked.entry.AddNewNote()->GetNoteID());
}

TEST(NoteEntry, NewNoteStartsFromAClearedSlotWithOnlyTheCreatedFlag) {
  Entry e({{0, 0, 1}});
  memset(&e.record->notes[1], 0xAB, sizeof(ENOTE));
  FCNote* n = e.entry.AddNewNote();
  ASSERT_NE(nullptr, n);
  EXPECT_EQ(1, n->GetIndex());
  EXPECT_EQ(2, +e.record->notecount);
  EXPECT_EQ(2, e.entry.GetCount());
  EXPECT_EQ(0, +e.record->notes[1].displacement);
  EXPECT_EQ(0, +e.record->notes[1].raiselower);
  EXPECT_EQ(2, +e.record->notes[1].noteID);
  EXPECT_EQ(NOTE_CREATED, +e.record->notes[1].flags); // the ID is not mirrored yet
  EXPECT_EQ(e.entry.GetItemAt(1), n);
}

TEST(NoteEntry, AddNewNoteRefusesAThirteenthNoteAndRests) {
  Entry full({});
  for (int i = 0; i < 12; ++i)
    ASSERT_NE(nullptr, full.entry.AddNewNote()) << i;
  EXPECT_EQ(12, +full.record->notecount);
  EXPECT_EQ(12, full.entry.GetItemAt(11)->GetNoteID());
  EXPECT_EQ(11, full.entry.GetItemAt(11)->GetIndex());
  EXENTRY before = *full.record;
  EXPECT_EQ(nullptr, full.entry.AddNewNote());
  EXPECT_EQ(0, memcmp(&before, full.record.get(), sizeof(EXENTRY)));

  Entry rest({}, false);
  before = *rest.record;
  EXPECT_EQ(nullptr, rest.entry.AddNewNote());
  EXPECT_EQ(0, memcmp(&before, rest.record.get(), sizeof(EXENTRY)));
  EXPECT_EQ(0, rest.entry.GetCount());
}

TEST(NoteEntry, PackingWithoutMarksKeepsTheSameNoteObjects) {
  Entry e({{0, 0, 1}, {4, 0, 2}});
  FCNote* first = e.entry.GetItemAt(0);
  FCNote* second = e.entry.GetItemAt(1);
  e.entry._PackEXENTRYNotes();
  EXPECT_EQ(first, e.entry.GetItemAt(0));
  EXPECT_EQ(second, e.entry.GetItemAt(1));
}

TEST(NoteEntry, PackingDropsMarkedNotesAndKeepsTheOrder) {
  Entry e({{0, 0, 1}, {4, 0, 2}, {7, 0, 3}, {9, 0, 4}});
  e.entry.GetItemAt(1)->MarkForDelete();
  e.entry.GetItemAt(2)->MarkForDelete();
  e.entry._PackEXENTRYNotes();
  ASSERT_EQ(2, e.entry.GetCount());
  EXPECT_EQ(2, +e.record->notecount);
  EXPECT_EQ(0, +e.record->notes[0].displacement);
  EXPECT_EQ(9, +e.record->notes[1].displacement);
  EXPECT_EQ(4, +e.record->notes[1].noteID);
  EXPECT_FALSE(e.entry.GetItemAt(1)->IsMarkedForDelete());
  // Slots past the count keep their bytes until frame cleaning clears them.
  EXPECT_EQ(7, +e.record->notes[2].displacement);
  EXPECT_EQ(9, +e.record->notes[3].displacement);
  EXPECT_TRUE(e.entry.IsNote());
}

TEST(NoteEntry, PackingAllMarkedNotesLeavesARestWithOtherEntryFlags) {
  Entry e({{0, 0, 1}, {4, 0, 2}});
  e.record->flags |= ENTRY_NOTEDETAIL | ENTRY_SPECIALALTS;
  e.entry.GetItemAt(0)->MarkForDelete();
  e.entry.GetItemAt(1)->MarkForDelete();
  e.entry._PackEXENTRYNotes();
  EXPECT_EQ(0, e.entry.GetCount());
  EXPECT_EQ(0, +e.record->notecount);
  EXPECT_TRUE(e.entry.IsRest());
  EXPECT_EQ(ENTRY_NOTEDETAIL | ENTRY_SPECIALALTS, +e.record->flags);
}

TEST(NoteEntry, DeleteNoteOfTheLastNoteMakesARest) {
  Entry e({{0, 0, 1}, {4, 0, 2}});
  e.record->flags |= ENTRY_NOTEDETAIL | ENTRY_SPECIALALTS | ENTRY_ARTICULATION | ENTRY_GRACENOTE;
  ASSERT_TRUE(e.entry.DeleteNote(e.entry.GetItemAt(0)));
  ASSERT_EQ(1, e.entry.GetCount());
  EXPECT_EQ(4, e.entry.GetItemAt(0)->GetDisplacement());
  EXPECT_EQ(ENTRY_NOTE | ENTRY_NOTEDETAIL | ENTRY_SPECIALALTS | ENTRY_ARTICULATION |
                ENTRY_GRACENOTE,
            +e.record->flags);
  ASSERT_TRUE(e.entry.DeleteNote(e.entry.GetItemAt(0)));
  EXPECT_EQ(0, e.entry.GetCount());
  EXPECT_EQ(0, +e.record->notecount);
  EXPECT_EQ(ENTRY_GRACENOTE, +e.record->flags);
}

TEST(NoteEntry, DeleteNoteRefusesAForeignNote) {
  Entry a({{0, 0, 1}});
  Entry b({{4, 0, 1}});
  EXENTRY before = *a.record;
  EXPECT_FALSE(a.entry.DeleteNote(b.entry.GetItemAt(0)));
  EXPECT_FALSE(a.entry.DeleteNote(nullptr));
  EXPECT_EQ(0, memcmp(&before, a.record.get(), sizeof(EXENTRY)));
  EXPECT_FALSE(b.entry.GetItemAt(0)->IsMarkedForDelete());
}

TEST(NoteEntry, HighestAndLowestBreakTiesByRaiseLowerThenSlot) {
  Entry e({{4, 0, 1}, {4, 1, 2}, {0, -1, 3}, {0, -1, 4}, {4, 1, 5}});
  EXPECT_EQ(e.entry.GetItemAt(1), e.entry.FindHighestNote());
  EXPECT_EQ(e.entry.GetItemAt(2), e.entry.FindLowestNote());
  // The second distinct pitch from the top and from the bottom.
  EXPECT_EQ(e.entry.GetItemAt(0), e.entry.FindHighestNote(e.entry.GetItemAt(1)));
  EXPECT_EQ(e.entry.GetItemAt(0), e.entry.FindLowestNote(e.entry.GetItemAt(3)));
  EXPECT_EQ(e.entry.GetItemAt(2), e.entry.FindHighestNote(e.entry.GetItemAt(0)));
  EXPECT_EQ(nullptr, e.entry.FindHighestNote(e.entry.GetItemAt(3)));
  EXPECT_EQ(nullptr, e.entry.FindLowestNote(e.entry.GetItemAt(4)));
  // Marked notes are still seen.
  e.entry.GetItemAt(1)->MarkForDelete();
  EXPECT_EQ(e.entry.GetItemAt(1), e.entry.FindHighestNote());
}

TEST(NoteEntry, HighestOfOneDistinctPitchAndOfNoNotes) {
  Entry unison({{7, 0, 1}, {7, 0, 2}});
  EXPECT_EQ(unison.entry.GetItemAt(0), unison.entry.FindHighestNote());
  EXPECT_EQ(nullptr, unison.entry.FindHighestNote(unison.entry.FindHighestNote()));
  Entry none({});
  EXPECT_EQ(nullptr, none.entry.FindHighestNote());
  EXPECT_EQ(nullptr, none.entry.FindLowestNote());
}

TEST(NoteEntry, ExtremeDisplacementsAreStillFound) {
  Entry e({{-20000, 0, 1}, {-15000, 0, 2}});
  EXPECT_EQ(e.entry.GetItemAt(1), e.entry.FindHighestNote());
  Entry f({{20000, 0, 1}, {15000, 0, 2}});
  EXPECT_EQ(f.entry.GetItemAt(1), f.entry.FindLowestNote());
}

TEST(NoteEntry, PitchOrderIsStrict) {
  Entry e({{4, 0, 1}, {4, 0, 2}, {4, 1, 3}, {5, -3, 4}});
  FCNote* a = e.entry.GetItemAt(0);
  FCNote* b = e.entry.GetItemAt(1);
  EXPECT_FALSE(a->IsHigherPitchThan(b));
  EXPECT_FALSE(a->IsLowerPitchThan(b));
  EXPECT_TRUE(e.entry.GetItemAt(2)->IsHigherPitchThan(a));
  EXPECT_TRUE(a->IsLowerPitchThan(e.entry.GetItemAt(2)));
  EXPECT_TRUE(e.entry.GetItemAt(3)->IsHigherPitchThan(e.entry.GetItemAt(2)));
  EXPECT_FALSE(a->IsHigherPitchThan(nullptr));
}

TEST(NoteEntry, NoteCountsFromTheHostOutsideTheRecordAreClamped) {
  Entry big({});
  big.record->notecount = 40;
  big.record->flags = ENTRY_NOTE;
  big.entry._UpdateNoteCollection();
  EXPECT_EQ(12, big.entry.GetCount());
  EXPECT_EQ(nullptr, big.entry.AddNewNote());
  big.entry.GetItemAt(11)->MarkForDelete();
  big.entry._PackEXENTRYNotes();
  EXPECT_EQ(11, +big.record->notecount);
  EXPECT_EQ(11, big.entry.GetCount());

  Entry negative({});
  negative.record->notecount = -7;
  negative.entry._UpdateNoteCollection();
  EXPECT_EQ(0, negative.entry.GetCount());
  FCNote* n = negative.entry.AddNewNote();
  ASSERT_NE(nullptr, n);
  EXPECT_EQ(0, n->GetIndex());
  EXPECT_EQ(1, +negative.record->notecount);
}

TEST(NoteEntry, RecordAccessors) {
  Entry e({{0, 0, 1}});
  e.record->measurepos = 1536;
  EXPECT_EQ(1536, e.entry.GetMeasurePos());
  EXPECT_EQ(3, e.entry.GetMeasure());
  EXPECT_EQ(2, e.entry.GetStaff());
  const twobyte undotted[] = {8192, 4096, 2048, 1024, 512, 256, 128, 64, 32, 16, 8, 4};
  for (twobyte d : undotted) {
    e.record->duration = d;
    EXPECT_FALSE(e.entry.IsDotted()) << d;
  }
  const twobyte dotted[] = {1536, 3072, 2, 16384, 12288, 0, -1024};
  for (twobyte d : dotted) {
    e.record->duration = d;
    EXPECT_TRUE(e.entry.IsDotted()) << d;
  }
  e.record->flags2 = 0x8001;
  e.entry.SetNotesChangedFlag();
  EXPECT_EQ(0x8005, +e.record->flags2);

  FCNoteEntry empty;
  EXPECT_TRUE(empty.IsRest());
  EXPECT_EQ(0, empty.GetDuration());
  EXPECT_EQ(-1, empty._CalcTGFIndex());
  empty.SetNotesChangedFlag();
  empty._UpdateNoteCollection();
  EXPECT_EQ(nullptr, empty.AddNewNote());
}

TEST(NoteEntry, NamedEntryFlagsChangeOnlyTheirBit) {
  Entry e({{0, 0, 1}});
  FCNote* n = e.entry.GetItemAt(0);
  e.record->flags = ENTRY_NOTE | 0x00000005;
  n->_SetNoteDetailEntryFlag(true);
  n->_SetArticulationEntryFlag(true);
  n->_SetPerformanceDataEntryFlag(true);
  n->_SetSpecialAltsEntryFlag(true);
  EXPECT_EQ(ENTRY_NOTE | 0x00000005 | 0x00400000 | 0x00200000 | 0x00020000 | 0x00001000,
            +e.record->flags);
  EXPECT_TRUE(n->_GetNoteDetailEntryFlag());
  EXPECT_TRUE(n->_GetPerformanceDataEntryFlag());
  EXPECT_TRUE(n->_GetSpecialAltsEntryFlag());
  n->_SetNoteDetailEntryFlag(false);
  n->_SetPerformanceDataEntryFlag(false);
  n->_SetSpecialAltsEntryFlag(false);
  n->_SetArticulationEntryFlag(false);
  EXPECT_EQ(ENTRY_NOTE | 0x00000005, +e.record->flags);
  EXPECT_FALSE(n->_GetNoteDetailEntryFlag());
  EXPECT_EQ(77u, n->_GetEntryNumber());

  n->SetNoteFlag(NOTE_TIE | NOTE_ACCIDENTAL, true);
  EXPECT_EQ(NOTE_CREATED | NOTE_TIE | NOTE_ACCIDENTAL, n->GetNoteFlags());
  n->SetNoteFlag(NOTE_CREATED | NOTE_TIE, false);
  EXPECT_EQ(NOTE_ACCIDENTAL, n->GetNoteFlags());
}

TEST(NoteEntry, FreeStandingPitchHasItsOwnZeroedSlot) {
  FCNotePitch p;
  EXPECT_STREQ("FCNotePitch", p.ClassName());
  EXPECT_EQ(0, p.GetIndex());
  EXPECT_EQ(nullptr, p.GetEntry());
  EXPECT_EQ(0, p.GetDisplacement());
  EXPECT_EQ(0u, p.GetNoteFlags());
  EXPECT_EQ(0u, p._GetEntryNumber());
  EXPECT_FALSE(p._GetNoteDetailEntryFlag());
  p._SetNoteDetailEntryFlag(true); // no entry: nothing to change
  p.SetDisplacement(7);
  p.SetRaiseLower(1);
  FCNotePitch q;
  q.SetDisplacement(7);
  EXPECT_TRUE(p.IsHigherPitchThan(&q));
  EXPECT_EQ(0, q.GetRaiseLower());
}

TEST(NoteEntry, TGFIndexFindsTheRecordInItsFrame) {
  std::vector<EXENTRY> entries(3);
  memset(entries.data(), 0, entries.size() * sizeof(EXENTRY));
  EXTGF2005a frame;
  memset(&frame, 0, sizeof frame);
  frame.entries = entries.data();
  frame.entrycount = 3;
  FCNoteEntry third(&entries[2], &frame, 1, 1);
  EXPECT_EQ(2, third._CalcTGFIndex());
  EXENTRY stray;
  FCNoteEntry foreign(&stray, &frame, 1, 1);
  EXPECT_EQ(-1, foreign._CalcTGFIndex());
  frame.entrycount = 2;
  EXPECT_EQ(-1, third._CalcTGFIndex());
  frame.entrycount = -3;
  EXPECT_EQ(-1, third._CalcTGFIndex());
  frame.entrycount = 3;
  frame.entries = nullptr;
  EXPECT_EQ(-1, third._CalcTGFIndex());
}

} // namespace
