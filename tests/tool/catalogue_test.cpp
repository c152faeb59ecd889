// The task catalogue: sixteen rows in list order, each row's identifier its position, and the
// texts the user sees, byte for byte.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tasks.h"

namespace {

struct Row {
  ChordTask task;
  const char* name;
  bool showoptions;
  const char* toplabel;
  const char* bottomlabel;
  const char* description;
};

// What the window shows, in list order.
const Row kExpected[] = {
    {AddThird, "Add Third", true, "Top", "Bottom",
     "Adds a (diatonic) third interval to the chord."},
    {AddOctave, "Add Octave", true, "Top", "Bottom", "Adds an octave interval to the chord."},
    {AddReverseOctave, "Add Reverse Octave", true, "Top (add below)", "Bottom (add above)",
     "Adds an octave interval to the chord in the reverse direction."},
    {DeleteOctaves, "Delete Octaves", true, "Top", "Bottom", "Removes any octave doubling."},
    {DeleteOuterNote, "Delete Outer Note", true, "Top", "Bottom",
     "Deletes the edge note of the chord."},
    {DeleteUnisons, "Delete Unisons", false, "Top/Up", "Bottom/Down",
     "Makes sure there's just one note of each pitch."},
    {Drop2nd, "Drop 2nd", false, "Top/Up", "Bottom/Down",
     "Transposes the 2nd highest note in a chord one octave down."},
    {Drop3rd, "Drop 3rd", false, "Top/Up", "Bottom/Down",
     "Transposes the 3rd highest note in a chord one octave down."},
    {Drop4th, "Drop 4th", false, "Top/Up", "Bottom/Down",
     "Transposes the bottom note in a chord one octave down."},
    {Drop2ndAnd4th, "Drop 2nd+4th", false, "Top/Up", "Bottom/Down",
     "Transposes the 2nd highest and bottom notes in a one octave down."},
    {KeepLines, "Keep Lines", false, "Top/Up", "Bottom/Down",
     "Removes all notes from a chord, except the top and bottom note."},
    {KeepSpecificLine, "Keep Specific Line", true, "Top Line", "Bottom Line",
     "Removes all notes from a chord, except the top/bottom note."},
    {Rotate, "Rotate", true, "Up", "Down",
     "Rotates the chord up or down (by moving the top/bottom note in the chord down/up). "
     "Only affects chords less than an octave."},
    {TransposeOctave, "Transpose Octave", true, "Top (goes Up)", "Bottom (goes Down)",
     "Transposes the edge note one octave. Single notes are not transposed."},
    {TransposeOctaveChord, "Transpose Octave (Chord)", true, "Up", "Down",
     "Transposes the full chord one octave. Single notes are not transposed."},
    {UnisonsToOctaves, "Unisons to Octaves", true, "Upwards", "Downwards",
     "Splits unisons into octaves."},
};

} // namespace

static_assert(TASKCOUNT == 16, "sixteen chord tasks");
static_assert(sizeof(kExpected) / sizeof(kExpected[0]) == TASKCOUNT, "one expected row per task");

TEST(TaskCatalogue, EachRowsIdentifierIsItsPosition) {
  std::set<int> ids;
  for (int i = 0; i < TASKCOUNT; ++i) {
    EXPECT_EQ(TaskDescriptors[i].taskid, i);
    EXPECT_EQ(TaskDescriptors[i].taskid, static_cast<int>(kExpected[i].task)) << i;
    ids.insert(TaskDescriptors[i].taskid);
  }
  EXPECT_EQ(ids.size(), 16u);
  EXPECT_EQ(static_cast<int>(UnisonsToOctaves), 15);
}

TEST(TaskCatalogue, ShowsTheTextsOfEveryTaskExactly) {
  for (int i = 0; i < TASKCOUNT; ++i) {
    const TaskDescriptor& row = TaskDescriptors[i];
    const Row& want = kExpected[i];
    SCOPED_TRACE(want.name);
    ASSERT_TRUE(row.name && row.toplabel && row.bottomlabel && row.description);
    EXPECT_EQ(std::string(row.name), want.name);
    EXPECT_EQ(row.showoptions, want.showoptions);
    EXPECT_EQ(std::string(row.toplabel), want.toplabel);
    EXPECT_EQ(std::string(row.bottomlabel), want.bottomlabel);
    EXPECT_EQ(std::string(row.description), want.description);
  }
  EXPECT_STREQ(TaskDescriptors[0].name, "Add Third");
  EXPECT_STREQ(TaskDescriptors[TASKCOUNT - 1].name, "Unisons to Octaves");
  EXPECT_STREQ(TaskDescriptors[Drop2ndAnd4th].description,
               "Transposes the 2nd highest and bottom notes in a one octave down.");
}

TEST(TaskCatalogue, ExactlySixTasksHideTheDirectionChoice) {
  int hidden = 0;
  for (int i = 0; i < TASKCOUNT; ++i)
    hidden += TaskDescriptors[i].showoptions ? 0 : 1;
  EXPECT_EQ(hidden, 6);
  for (ChordTask t : {DeleteUnisons, Drop2nd, Drop3rd, Drop4th, Drop2ndAnd4th, KeepLines})
    EXPECT_FALSE(TaskDescriptors[t].showoptions) << TaskDescriptors[t].name;
}
