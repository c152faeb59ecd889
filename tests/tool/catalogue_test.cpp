// The task catalogue as the window, the command and the processing code rely on it: each row
// reachable by its position, a name that can be told apart from every other, texts to show,
// and an operation behind every row.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "data/fcnoteentry.h"
#include "fcnoteentryprocessinghandler.h"

namespace {

// Chords that between them give every task something to change: a unison, an octave and a
// spread chord, and four notes within an octave.
const std::vector<std::vector<twobyte>> kChords = {{0, 0, 2, 4, 7, 16}, {0, 2, 4, 6}};

// Whether the handler for the row changes the chord, in the given direction.
bool Changes(int task, bool top, const std::vector<twobyte>& pitches) {
  EXENTRY rec;
  memset(&rec, 0, sizeof rec);
  rec.flags = ENTRY_NOTE;
  for (size_t i = 0; i < pitches.size(); ++i) {
    rec.notes[i].displacement = pitches[i];
    rec.notes[i].noteID = static_cast<twobyte>(i + 1);
  }
  rec.notecount = static_cast<twobyte>(pitches.size());
  FCNoteEntry entry(&rec, nullptr, 1, 1);
  entry._UpdateNoteCollection();
  FCNoteEntryProcessingHandler handler(task, top);
  handler.Iterate(&entry);
  return handler.GetChanged();
}

} // namespace

TEST(TaskCatalogue, EachRowIsReachedByItsPositionAndNamedUniquely) {
  std::set<std::string> names;
  for (int i = 0; i < TASKCOUNT; ++i) {
    const TaskDescriptor& row = TaskDescriptors[i];
    EXPECT_EQ(row.taskid, i);
    ASSERT_TRUE(row.name && row.toplabel && row.bottomlabel && row.description) << i;
    std::string name = row.name;
    // The command takes the name as typed; the list shows it whole at its width.
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_NE(' ', name.front()) << name;
    EXPECT_NE(' ', name.back()) << name;
    EXPECT_LE(name.size(), 24u) << name;
    EXPECT_TRUE(names.insert(name).second) << name << " twice";
    EXPECT_NE('\0', row.description[0]) << name;
    EXPECT_EQ('.', std::string(row.description).back()) << name;
    if (row.showoptions) {
      EXPECT_NE('\0', row.toplabel[0]) << name;
      EXPECT_NE('\0', row.bottomlabel[0]) << name;
      EXPECT_STRNE(row.toplabel, row.bottomlabel) << name;
    }
  }
}

// A row whose identifier the processing code does not know would do nothing, silently.
TEST(TaskCatalogue, EveryRowHasAnOperationBehindIt) {
  for (int i = 0; i < TASKCOUNT; ++i) {
    // Voice Leading sees a passage, never one chord: its walk is tested in voiceleading_test.
    if (TaskDescriptors[i].taskid == VoiceLeading) {
      EXPECT_FALSE(Changes(VoiceLeading, true, kChords[0]));
      continue;
    }
    // The tasks that move music between staves need more than one chord (sectionlines_test).
    if (TaskDescriptors[i].taskid == Explode || TaskDescriptors[i].taskid == Reduce) continue;
    bool changed = false;
    for (const auto& chord : kChords)
      for (bool top : {true, false})
        changed = changed || Changes(TaskDescriptors[i].taskid, top, chord);
    EXPECT_TRUE(changed) << TaskDescriptors[i].name;
  }
}

// The sixteen keep their places; the seven new ones follow them, all with a direction.
TEST(TaskCatalogue, TheNewTasksFollowTheSixteenInTheirOwnRows) {
  static_assert(FIRSTNEWTASK == 16 && TASKCOUNT == 25, "sixteen tasks, then nine new ones");
  EXPECT_STREQ("Add Third", TaskDescriptors[0].name);
  EXPECT_STREQ("Unisons to Octaves", TaskDescriptors[FIRSTNEWTASK - 1].name);
  const char* const added[] = {"Add Second", "Add Fourth",  "Add Fifth",
                               "Add Sixth",  "Add Seventh", "Close Position",
                               "Voice Leading", "Explode",   "Reduce"};
  for (int i = FIRSTNEWTASK; i < TASKCOUNT; ++i) {
    EXPECT_STREQ(added[i - FIRSTNEWTASK], TaskDescriptors[i].name);
    EXPECT_TRUE(TaskDescriptors[i].showoptions) << TaskDescriptors[i].name;
  }
  int hidden = 0;
  for (int i = 0; i < TASKCOUNT; ++i)
    hidden += TaskDescriptors[i].showoptions ? 0 : 1;
  EXPECT_EQ(hidden, 6);
  for (ChordTask t : {DeleteUnisons, Drop2nd, Drop3rd, Drop4th, Drop2ndAnd4th, KeepLines})
    EXPECT_FALSE(TaskDescriptors[t].showoptions) << TaskDescriptors[t].name;
}
