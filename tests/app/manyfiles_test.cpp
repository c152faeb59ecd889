// Many scores in one command: folders and files together, a bad score among good ones, each
// output what the single-file command writes, and the table at the end.
#include "scorefixture.h"

using namespace scoretest;

namespace {

std::string Copy(const TempFolder& folder, const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath(from));
  return folder.Write(to, std::string(bytes.begin(), bytes.end()));
}

TEST(ManyScores, ABadScoreAmongGoodOnesFailsAloneAndEachOutputIsTheSingleCommands) {
  TempFolder folder;
  std::string out;
  ASSERT_EQ(0, Shell("mkdir '" + folder.Path("in") + "' '" + folder.Path("single") + "'", &out));
  Copy(folder, "pickup.musicxml", "in/a.musicxml");
  Copy(folder, "voices.musicxml", "in/b.musicxml");
  folder.Write("in/c.xml", "%PDF-1.4\n");
  folder.Write("in/notes.txt", "not a score name: not taken from the folder");
  std::string extra = Copy(folder, "tasks.musicxml", "d.musicxml");
  std::string outDir = folder.Path("out");
  EXPECT_EQ(2, Command("'" + folder.Path("in") + "' '" + extra + "' --task drop2 --out-dir '" +
                           outDir + "' -j 2",
                       &out));
  // not a terminal: a line a score, then the table
  EXPECT_NE(std::string::npos, out.find("[4/4] ")) << out;
  EXPECT_NE(std::string::npos, out.find("error: a PDF document, not a score")) << out;
  EXPECT_NE(std::string::npos, out.find("4 scores: 3 written, 1 failed")) << out;
  for (const char* name : {"a", "b", "d"}) {
    std::string input =
        std::string(name) == "d" ? extra : folder.Path("in/" + std::string(name) + ".musicxml");
    std::string single = folder.Path("single/" + std::string(name) + ".musicxml"), o;
    ASSERT_EQ(0, Command("--score '" + input + "' --task 'Drop 2nd' --out '" + single + "'", &o))
        << o;
    EXPECT_EQ(ReadBytes(single), ReadBytes(outDir + "/" + name + "-drop-2nd.musicxml")) << name;
  }
  std::string listing;
  Shell("ls -A '" + outDir + "'", &listing);
  EXPECT_EQ("a-drop-2nd.musicxml\nb-drop-2nd.musicxml\nd-drop-2nd.musicxml\n", listing);
}

TEST(ManyScores, InPlaceReplacesEachScoreAndTwoOfOneNameIntoOneFolderAreRefused) {
  TempFolder folder;
  std::string out;
  Shell("mkdir '" + folder.Path("x") + "' '" + folder.Path("y") + "'", &out);
  std::string a = Copy(folder, "pickup.musicxml", "x/song.musicxml");
  std::string b = Copy(folder, "voices.musicxml", "y/song.musicxml");
  EXPECT_EQ(
      2,
      Command("'" + a + "' '" + b + "' --task drop2 --out-dir '" + folder.Path("out") + "'", &out));
  EXPECT_NE(std::string::npos, out.find("would both be written into")) << out;
  EXPECT_EQ(2, folder.Count()); // no output folder made

  std::vector<uint8_t> before = ReadBytes(a);
  ASSERT_EQ(
      0, Command("'" + a + "' --task drop2 --out '" + folder.Path("single.musicxml") + "'", &out))
      << out;
  ASSERT_EQ(0, Command("'" + folder.Path("x") + "' '" + b + "' --task drop2 --in-place -j 1", &out))
      << out;
  EXPECT_NE(before, ReadBytes(a));
  EXPECT_EQ(ReadBytes(folder.Path("single.musicxml")), ReadBytes(a));
  EXPECT_NE(std::string::npos, out.find("2 scores: 2 written, 0 failed")) << out;
}

TEST(ScoreCommand, TakesArgumentsAsPeopleTypeThem) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", GeneratedScore(40)), out; // ten measures
  struct Case {
    std::string args;
    const char* says;
  } cases[] = {
      {"--task 'drop 2nd' --measures 3-", "Drop 2nd: 32 chords changed in 8 measures"},
      {"--task drop2 --measures -2", "Drop 2nd: 8 chords changed in 2 measures"},
      {"--task=DROP-2 --measures '1, 3, 5-8'", "Drop 2nd: 24 chords changed in 6 measures"},
      {"--task rot --parts ' piano '", "Rotate: 40 chords changed in 10 measures"},
  };
  for (const Case& c : cases) {
    out.clear();
    EXPECT_EQ(0, Command("--score " + in + " --dry-run " + c.args, &out)) << c.args;
    EXPECT_NE(std::string::npos, out.find(c.says)) << c.args << "\n" << out;
  }
  struct Wrong {
    std::string args;
    const char* says;
  } wrong[] = {
      {"--task", "--task needs a task name\n("},
      {"--task drop2 --measures 12-", "no measure \"12\" in the score (its measures are numbered "
                                      "1 to 10)"},
      {"--task keep", "task \"keep\" could be any of these"},
      {"--task drop2 --parts 'Piano, Bass,'", "--parts \"Piano, Bass,\" has an empty place"},
  };
  for (const Wrong& w : wrong) {
    out.clear();
    EXPECT_EQ(2, Command("--score " + in + " " + w.args, &out)) << w.args;
    EXPECT_NE(std::string::npos, out.find(w.says)) << w.args << "\n" << out;
  }
  EXPECT_EQ(1, folder.Count()); // nothing written
}

// A folder run again: the results of earlier runs beside the scores (of any task, and results
// of results) and the command's temporary files are not scores to change.
TEST(ManyScores, AFoldersEarlierResultsAndTemporaryFilesAreNotTakenAsScores) {
  TempFolder folder;
  std::string out;
  ASSERT_EQ(0, Shell("mkdir '" + folder.Path("in") + "'", &out));
  Copy(folder, "pickup.musicxml", "in/song.musicxml");
  Copy(folder, "voices.musicxml", "in/song-2.musicxml"); // a score of its own
  ASSERT_EQ(0, Command("'" + folder.Path("in") + "' --task rotate", &out)) << out;
  ASSERT_EQ(0, Command("'" + folder.Path("in") + "' --task drop2", &out)) << out;
  folder.Write("in/.qvscore.1.abcdef", "a file being written");
  out.clear();
  ASSERT_EQ(0, Command("'" + folder.Path("in") + "' --task 'drop 3' -j 2", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("2 scores: 2 written, 0 failed")) << out;
  EXPECT_NE(std::string::npos,
            out.find(folder.Path("in/song-drop-2nd.musicxml") + ": skipped, a result of an "
                                                                "earlier run"))
      << out;
  std::string listing;
  Shell("ls -A '" + folder.Path("in") + "'", &listing);
  EXPECT_EQ(".qvscore.1.abcdef\n"
            "song-2-drop-2nd.musicxml\nsong-2-drop-3rd.musicxml\nsong-2-rotate.musicxml\n"
            "song-2.musicxml\n"
            "song-drop-2nd.musicxml\nsong-drop-3rd.musicxml\nsong-rotate.musicxml\n"
            "song.musicxml\n",
            listing);
}

} // namespace
