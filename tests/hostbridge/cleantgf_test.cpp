#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cleantgf.h"

namespace {

// A frame over a heap array of entries, so that the address sanitizer sees stray accesses.
struct Frame {
  explicit Frame(int count) : entries(count) {
    memset(entries.data(), 0, count * sizeof(EXENTRY));
    memset(&frame, 0, sizeof frame);
    frame.entries = entries.data();
    frame.entrycount = static_cast<twobyte>(count);
  }
  void SetIDs(int k, const std::vector<twobyte>& ids) {
    entries[k].notecount = static_cast<twobyte>(ids.size());
    entries[k].flags = ENTRY_NOTE;
    for (size_t i = 0; i < ids.size(); ++i)
      entries[k].notes[i].noteID = ids[i];
  }
  std::vector<twobyte> IDs(int k) const {
    std::vector<twobyte> out;
    for (int i = 0; i < entries[k].notecount; ++i)
      out.push_back(entries[k].notes[i].noteID);
    return out;
  }
  std::vector<EXENTRY> entries;
  EXTGF2005a frame;
};

TEST(CleanTGF, MissingIDsAreNumberedAboveTheLargest) {
  Frame f(1);
  f.SetIDs(0, {5, 0, 2, 0});
  CleanTGF(&f.frame);
  EXPECT_EQ((std::vector<twobyte>{5, 6, 2, 7}), f.IDs(0));
}

TEST(CleanTGF, OfRepeatedIDsTheEarlierSlotsAreRenumbered) {
  Frame f(2);
  f.SetIDs(0, {3, 3, 3});
  f.SetIDs(1, {1, 2, 1});
  CleanTGF(&f.frame);
  EXPECT_EQ((std::vector<twobyte>{4, 5, 3}), f.IDs(0));
  EXPECT_EQ((std::vector<twobyte>{3, 2, 1}), f.IDs(1));
}

TEST(CleanTGF, MirrorsTheLowFiveBitsOfEachIDIntoTheFlags) {
  Frame f(1);
  f.SetIDs(0, {33, 31, 2});
  f.entries[0].notes[0].flags = 0x80000000 | 0x001F0000 | 0x00000002;
  f.entries[0].notes[1].flags = 0x40000000;
  f.entries[0].notes[2].flags = 0x01FFFFFF;
  CleanTGF(&f.frame);
  EXPECT_EQ(0x80010002u, +f.entries[0].notes[0].flags);
  EXPECT_EQ(0x401F0000u, +f.entries[0].notes[1].flags);
  EXPECT_EQ(0x01E2FFFFu, +f.entries[0].notes[2].flags);
}

TEST(CleanTGF, ClearsTheSlotsPastTheCount) {
  Frame f(1);
  memset(f.entries[0].notes, 0x5A, sizeof f.entries[0].notes);
  f.SetIDs(0, {1, 2});
  f.entries[0].unused8C[0] = 0x77;
  CleanTGF(&f.frame);
  std::vector<uint8_t> zero(10 * sizeof(ENOTE), 0);
  EXPECT_EQ(0, memcmp(zero.data(), &f.entries[0].notes[2], zero.size()));
  EXPECT_EQ(0x5A5A, static_cast<uint16_t>(f.entries[0].notes[1].displacement));
  EXPECT_EQ(0x77, +f.entries[0].unused8C[0]); // nothing outside the slots changes
}

TEST(CleanTGF, GivesANoteLessEntryItsSingleRestSlot) {
  Frame f(2);
  memset(f.entries[0].notes, 0x33, sizeof f.entries[0].notes);
  f.entries[0].flags = 0x00000010;
  f.entries[1].flags = ENTRY_NOTE; // a note entry without notes is treated alike
  CleanTGF(&f.frame);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(1, +f.entries[k].notecount);
    EXPECT_EQ(0x80000000u, +f.entries[k].notes[0].flags);
    EXPECT_EQ(0, +f.entries[k].notes[0].noteID);
    EXPECT_EQ(0, +f.entries[k].notes[0].displacement);
  }
  EXPECT_EQ(0x01000010u, +f.entries[0].flags);
  EXPECT_EQ(ENTRY_NOTE | ENTRY_RESTNOTERECORD, +f.entries[1].flags);
}

TEST(CleanTGF, TheRestSlotFollowsTheModuleSwitch) {
  Frame f(1);
  CanAddNoteRecordToRests = false;
  CleanTGF(&f.frame);
  CanAddNoteRecordToRests = true;
  EXPECT_EQ(0, +f.entries[0].notecount);
  EXPECT_EQ(0u, +f.entries[0].flags);
}

TEST(CleanTGF, ANoteCountOutsideTheRecordIsWrittenBackClamped) {
  Frame f(2);
  f.SetIDs(0, {});
  f.entries[0].notecount = 300;
  for (int i = 0; i < 12; ++i)
    f.entries[0].notes[i].noteID = 1; // all repeated
  f.entries[1].notecount = -4;
  f.entries[1].notes[0].noteID = 9;
  CleanTGF(&f.frame);
  EXPECT_EQ(12, +f.entries[0].notecount);
  EXPECT_EQ((std::vector<twobyte>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}), f.IDs(0));
  EXPECT_EQ(1, +f.entries[1].notecount); // no notes: the rest slot
  EXPECT_EQ(0, +f.entries[1].notes[0].noteID);
}

TEST(CleanTGF, IDsAtTheTopOfTheRangeStayUniqueAndNonZero) {
  Frame f(1);
  f.SetIDs(0, {32767, 0, 32767});
  CleanTGF(&f.frame);
  std::vector<twobyte> ids = f.IDs(0);
  EXPECT_EQ(32767, ids[2]);
  EXPECT_GT(ids[0], 0);
  EXPECT_GT(ids[1], 0);
  EXPECT_NE(ids[0], ids[1]);
  EXPECT_NE(ids[0], ids[2]);
  EXPECT_NE(ids[1], ids[2]);
}

TEST(CleanTGF, FramesWithoutReadableEntriesAreLeftAlone) {
  CleanTGF(nullptr);
  Frame f(1);
  f.SetIDs(0, {0});
  f.frame.entrycount = -1;
  CleanTGF(&f.frame);
  EXPECT_EQ(0, +f.entries[0].notes[0].noteID);
  f.frame.entrycount = 1;
  f.frame.entries = nullptr;
  CleanTGF(&f.frame); // a null array with a positive count: nothing is touched
  EXPECT_EQ(0, +f.entries[0].notes[0].noteID);
}

} // namespace
