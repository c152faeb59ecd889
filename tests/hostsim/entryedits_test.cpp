// Entries inserted into and deleted from the host's frames inside an edit, and the staff
// record's transposition: what Explode and Reduce rely on.
#include <gtest/gtest.h>

#include "support/datafixture.h"
#include "hostapi/fxtags.h"

using hostsim::AddEntry;
using hostsim::Cell;
using hostsim::TheHost;

namespace {

class EntryEdits : public DataHost {
protected:
  void SetUp() override {
    DataHost::SetUp();
    hostsim::NewDocument(2, 2);
    AddEntry(1, 1, 0, E(0, {N(1), N(5)}));
    AddEntry(1, 1, 0, E(1024, {}));
  }
};

TEST_F(EntryEdits, EntriesInsertedIntoACellTheScoreLackedGoAgainWhenTheEditIsCancelled) {
  hostsim::Document before = hostsim::Doc();
  ASSERT_NE(0, FX_StartFinaleEdit("Explode"));
  EXTGF2005a* frame = FX_LoadTGF(0, 2, 2, 0, 1); // staff 2, measure 2: no entries yet
  ASSERT_NE(nullptr, frame);
  ASSERT_EQ(1, FX_InsertEXENTRY(frame, 0, 2));
  frame->entries[0].duration = 1024;
  frame->entries[1].duration = 1024;
  frame->entries[1].measurepos = 1024;
  ufourbyte first = frame->entries[0].entnum, second = frame->entries[1].entnum;
  EXPECT_NE(first, second);
  ASSERT_EQ(1, FX_SaveTGF(frame));
  FX_FreeTGF(frame);
  EXTGF2005a* other = FX_LoadTGF(0, 1, 1, 0, 1);
  ASSERT_EQ(1, FX_DeleteEXENTRY(other, 0, 1));
  ASSERT_EQ(1, FX_SaveTGF(other));
  FX_FreeTGF(other);
  EXPECT_EQ(2u, Cell(2, 2, 0).size());
  EXPECT_EQ(1u, Cell(1, 1, 0).size());
  FX_CancelFinaleEdit();
  EXPECT_TRUE(hostsim::SameScore(before, hostsim::Doc()));
  EXPECT_EQ(0u, hostsim::Doc().cells.count(hostsim::CellLayer(2, 2, 0)));
  // The numbers the cancelled edit handed out are handed out again.
  EXPECT_EQ(before.nextEntryNumber, hostsim::Doc().nextEntryNumber);
  EXPECT_TRUE(TheHost().framesOut.empty());
}

} // namespace
