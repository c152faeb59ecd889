// Every task in both directions through the command, on six chords in C major (see
// files/tasks.musicxml): every chord of the result, note by note, and a valid file.
#include "scorefixture.h"

using namespace scoretest;

namespace {

struct TaskCase {
  const char* task;
  bool bottom;
  const char* chords; // the part's chords afterwards
};

// Before: [C4 E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]
const TaskCase kCases[] = {
    {"Add Third", false,
     "[C4 E4 G4 C5 E5] [D4 F4 A4 C5] [E4 E4 G4 B4] [G4 B4] | [C4 G4 E5 G5] [F4 A4 C5 E5 G5] [r]"},
    {"Add Third", true,
     "[A3 C4 E4 G4 C5] [B3 D4 F4 A4] [C4 E4 E4 G4] [E4 G4] | [A3 C4 G4 E5] [D4 F4 A4 C5 E5] [r]"},
    {"Add Octave", false,
     "[C4 E4 G4 C5 C6] [D4 F4 A4 A5] [E4 E4 G4 G5] [G4 G5] | [C4 G4 E5 E6] [F4 A4 C5 E5 E6] [r]"},
    {"Add Octave", true,
     "[C3 C4 E4 G4 C5] [D3 D4 F4 A4] [E3 E4 E4 G4] [G3 G4] | [C3 C4 G4 E5] [F3 F4 A4 C5 E5] [r]"},
    {"Add Reverse Octave", false,
     "[C4 E4 G4 C5] [A3 D4 F4 A4] [G3 E4 E4 G4] [G3 G4] | [C4 E4 G4 E5] [E4 F4 A4 C5 E5] [r]"},
    {"Add Reverse Octave", true,
     "[C4 E4 G4 C5] [D4 F4 A4 D5] [E4 E4 G4 E5] [G4 G5] | [C4 G4 C5 E5] [F4 A4 C5 E5 F5] [r]"},
    {"Delete Octaves", false,
     "[C4 E4 G4] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    {"Delete Octaves", true,
     "[E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    {"Delete Outer Note", false, "[C4 E4 G4] [D4 F4] [E4 E4] [G4] | [C4 G4] [F4 A4 C5] [r]"},
    {"Delete Outer Note", true, "[E4 G4 C5] [F4 A4] [E4 G4] [G4] | [G4 E5] [A4 C5 E5] [r]"},
    {"Delete Unisons", false,
     "[C4 E4 G4 C5] [D4 F4 A4] [E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    {"Delete Unisons", true,
     "[C4 E4 G4 C5] [D4 F4 A4] [E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    {"Drop 2nd", false, "[G3 C4 E4 C5] [F3 D4 A4] [E3 E4 G4] [G4] | [G3 C4 E5] [C4 F4 A4 E5] [r]"},
    {"Drop 2nd", true, "[G3 C4 E4 C5] [F3 D4 A4] [E3 E4 G4] [G4] | [G3 C4 E5] [C4 F4 A4 E5] [r]"},
    {"Drop 3rd", false, "[E3 C4 G4 C5] [D3 F4 A4] [E4 E4 G4] [G4] | [C3 G4 E5] [A3 F4 C5 E5] [r]"},
    {"Drop 3rd", true, "[E3 C4 G4 C5] [D3 F4 A4] [E4 E4 G4] [G4] | [C3 G4 E5] [A3 F4 C5 E5] [r]"},
    {"Drop 4th", false, "[C3 E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F3 A4 C5 E5] [r]"},
    {"Drop 4th", true, "[C3 E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F3 A4 C5 E5] [r]"},
    {"Drop 2nd+4th", false,
     "[C3 G3 E4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F3 C4 A4 E5] [r]"},
    {"Drop 2nd+4th", true,
     "[C3 G3 E4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 G4 E5] [F3 C4 A4 E5] [r]"},
    {"Keep Lines", false, "[C4 C5] [D4 A4] [E4 G4] [G4] | [C4 E5] [F4 E5] [r]"},
    {"Keep Lines", true, "[C4 C5] [D4 A4] [E4 G4] [G4] | [C4 E5] [F4 E5] [r]"},
    {"Keep Specific Line", false, "[C5] [A4] [G4] [G4] | [E5] [E5] [r]"},
    {"Keep Specific Line", true, "[C4] [D4] [E4] [G4] | [C4] [F4] [r]"},
    {"Rotate", false, "[C4 E4 G4 C5] [F4 A4 D5] [E4 G4 E5] [G4] | [C4 G4 E5] [A4 C5 E5 F5] [r]"},
    {"Rotate", true, "[C4 E4 G4 C5] [A3 D4 F4] [G3 E4 E4] [G4] | [C4 G4 E5] [E4 F4 A4 C5] [r]"},
    {"Transpose Octave", false,
     "[C4 E4 G4 C6] [D4 F4 A5] [E4 E4 G5] [G4] | [C4 G4 E6] [F4 A4 C5 E6] [r]"},
    {"Transpose Octave", true,
     "[C3 E4 G4 C5] [D3 F4 A4] [E3 E4 G4] [G4] | [C3 G4 E5] [F3 A4 C5 E5] [r]"},
    {"Transpose Octave (Chord)", false,
     "[C5 E5 G5 C6] [D5 F5 A5] [E5 E5 G5] [G4] | [C5 G5 E6] [F5 A5 C6 E6] [r]"},
    {"Transpose Octave (Chord)", true,
     "[C3 E3 G3 C4] [D3 F3 A3] [E3 E3 G3] [G4] | [C3 G3 E4] [F3 A3 C4 E4] [r]"},
    {"Unisons to Octaves", false,
     "[C4 E4 G4 C5] [D4 F4 A4] [E4 G4 E5] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    {"Unisons to Octaves", true,
     "[C4 E4 G4 C5] [D4 F4 A4] [E3 E4 G4] [G4] | [C4 G4 E5] [F4 A4 C5 E5] [r]"},
    // The tasks new in this version.
    {"Add Second", false,
     "[C4 E4 G4 C5 D5] [D4 F4 A4 B4] [E4 E4 G4 A4] [G4 A4] | [C4 G4 E5 F5] [F4 A4 C5 E5 F5] [r]"},
    {"Add Second", true,
     "[B3 C4 E4 G4 C5] [C4 D4 F4 A4] [D4 E4 E4 G4] [F4 G4] | [B3 C4 G4 E5] [E4 F4 A4 C5 E5] [r]"},
    {"Add Fourth", false,
     "[C4 E4 G4 C5 F5] [D4 F4 A4 D5] [E4 E4 G4 C5] [G4 C5] | [C4 G4 E5 A5] [F4 A4 C5 E5 A5] [r]"},
    {"Add Fourth", true,
     "[G3 C4 E4 G4 C5] [A3 D4 F4 A4] [B3 E4 E4 G4] [D4 G4] | [G3 C4 G4 E5] [C4 F4 A4 C5 E5] [r]"},
    {"Add Fifth", false,
     "[C4 E4 G4 C5 G5] [D4 F4 A4 E5] [E4 E4 G4 D5] [G4 D5] | [C4 G4 E5 B5] [F4 A4 C5 E5 B5] [r]"},
    {"Add Fifth", true,
     "[F3 C4 E4 G4 C5] [G3 D4 F4 A4] [A3 E4 E4 G4] [C4 G4] | [F3 C4 G4 E5] [B3 F4 A4 C5 E5] [r]"},
    {"Add Sixth", false,
     "[C4 E4 G4 C5 A5] [D4 F4 A4 F5] [E4 E4 G4 E5] [G4 E5] | [C4 G4 E5 C6] [F4 A4 C5 E5 C6] [r]"},
    {"Add Sixth", true,
     "[E3 C4 E4 G4 C5] [F3 D4 F4 A4] [G3 E4 E4 G4] [B3 G4] | [E3 C4 G4 E5] [A3 F4 A4 C5 E5] [r]"},
    {"Add Seventh", false,
     "[C4 E4 G4 C5 B5] [D4 F4 A4 G5] [E4 E4 G4 F5] [G4 F5] | [C4 G4 E5 D6] [F4 A4 C5 E5 D6] [r]"},
    {"Add Seventh", true,
     "[D3 C4 E4 G4 C5] [E3 D4 F4 A4] [F3 E4 E4 G4] [A3 G4] | [D3 C4 G4 E5] [G3 F4 A4 C5 E5] [r]"},
    {"Close Position", false,
     "[C4 E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [G4 C5 E5] [F4 A4 C5 E5] [r]"},
    {"Close Position", true,
     "[C4 E4 G4 C5] [D4 F4 A4] [E4 E4 G4] [G4] | [C4 E4 G4] [F4 A4 C5 E5] [r]"},
};

class TaskTable : public ::testing::TestWithParam<TaskCase> {};

TEST_P(TaskTable, ChangesEveryChordAsTheTaskDoesAndWritesAValidFile) {
  const TaskCase& c = GetParam();
  TempFolder folder;
  std::string out = folder.Path("out.musicxml"), log;
  std::string command = std::string("'") + QV_HOST_PATH + "' '" + QV_PLUGIN_PATH + "' --score '" +
                        FilePath("tasks.musicxml") + "' --task '" + c.task + "' " +
                        (c.bottom ? "--bottom " : "") + "--out '" + out + "'";
  ASSERT_EQ(0, Shell(command, &log)) << log;
  std::vector<uint8_t> bytes = ReadBytes(out);
  std::string xml(bytes.begin(), bytes.end());
  EXPECT_EQ(c.chords, Chords(xml, "P1"));
  EXPECT_TRUE(Valid(xml));
  // one closing line, naming the task
  EXPECT_EQ(0u, log.find(std::string(c.task) + ": ")) << log;
  EXPECT_EQ(1, std::count(log.begin(), log.end(), '\n')) << log;
}

std::string CaseName(const ::testing::TestParamInfo<TaskCase>& info) {
  std::string name;
  for (const char* p = info.param.task; *p; ++p)
    if (isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name + (info.param.bottom ? "Second" : "First");
}

INSTANTIATE_TEST_SUITE_P(EveryTask, TaskTable, ::testing::ValuesIn(kCases), CaseName);

} // namespace
