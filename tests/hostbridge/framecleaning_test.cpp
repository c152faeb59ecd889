// The bridge cleans a frame before the host sees it: every frame call that stores or
// restructures entries hands the host unique note IDs and rest slots.
#include <gtest/gtest.h>

#include "fxbridge.h"
#include "support/datafixture.h"

namespace {

class BridgeCleaning : public DataHost {};

TEST_F(BridgeCleaning, EveryFrameCallThatStoresOrRestructuresCleansFirst) {
  hostsim::NewDocument(1, 1);
  for (int i = 0; i < 3; ++i)
    hostsim::AddEntry(1, 1, 0, E(i * 1024, {N(0, 0, 2), N(4, 0, 2)}));
  auto check = [](EXTGF2005a* frame, const char* call) {
    SCOPED_TRACE(call);
    for (int k = 0; k < frame->entrycount; ++k) {
      EXPECT_EQ(3, +frame->entries[k].notes[0].noteID);
      EXPECT_EQ(0x80030000u, +frame->entries[k].notes[0].flags);
    }
  };
  EXTGF2005a* frame = FX_LoadTGF(0, 1, 1, 0, 1);
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(1, FX_DeleteEXENTRY(frame, 2, 1));
  check(frame, "FX_DeleteEXENTRY");
  frame->entries[0].notes[0].noteID = 2;
  EXPECT_EQ(1, FX_InsertEXENTRY(frame, 0, 1));
  EXPECT_EQ(2, +frame->entries[1].notes[1].noteID);
  EXPECT_EQ(3, +frame->entries[1].notes[0].noteID);
  frame->entries[1].notes[0].noteID = 2;
  FX_ReduceEntries(frame, 0, 1);
  EXPECT_EQ(3, +frame->entries[1].notes[0].noteID);
  frame->entries[1].notes[0].noteID = 2;
  EXPECT_EQ(1, FX_SaveTGF(frame));
  FX_FreeTGF(frame);
  std::vector<EXENTRY>& stored = hostsim::Cell(1, 1, 0);
  ASSERT_EQ(3u, stored.size());
  EXPECT_EQ(1, +stored[0].notecount); // the inserted blank entry got its rest slot
  EXPECT_EQ(ENTRY_RESTNOTERECORD, +stored[0].flags);
  EXPECT_EQ(3, +stored[1].notes[0].noteID);
  EXPECT_EQ(0x80030000u, +stored[1].notes[0].flags);
  EXPECT_EQ(0x80020000u, +stored[1].notes[1].flags);
}

} // namespace
