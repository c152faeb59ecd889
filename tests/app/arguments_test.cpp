// The command's arguments as people type them: task names in any case and spelling, measure
// lists and open ranges as the score numbers them, part names with spaces, and a message for
// each wrong argument that says what is wrong.
#include "commandline.h"
#include "scorefixture.h"
#include "selection.h"
#include "taskname.h"

using namespace scoretest;

namespace {

// The task names as the plug-in's own list holds them.
std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const TaskInfo& t : TaskCatalogue(Plugin()))
    names.push_back(t.name);
  return names;
}

TEST(TaskNames, UsualSpellingsFindTheirTask) {
  std::vector<std::string> names = Names();
  ASSERT_FALSE(names.empty());
  const char* cases[][2] = {
      {"Drop 2nd", "Drop 2nd"},
      {"drop 2nd", "Drop 2nd"},
      {"drop2", "Drop 2nd"},
      {"DROP-2", "Drop 2nd"},
      {"drop-2-4", "Drop 2nd+4th"},
      {"drop 2nd + 4th", "Drop 2nd+4th"},
      {"add 3rd", "Add Third"},
      {"rot", "Rotate"},
      {"transpose octave", "Transpose Octave"},
      {"transpose octave chord", "Transpose Octave (Chord)"},
      {"unisons", "Unisons to Octaves"},
      {"keep specific", "Keep Specific Line"},
  };
  for (const auto& c : cases) {
    std::string error;
    int i = MatchTask(names, c[0], &error);
    ASSERT_GE(i, 0) << c[0] << ": " << error;
    EXPECT_EQ(c[1], names[i]) << c[0];
  }
}

TEST(TaskNames, AnAmbiguousStartOrAnUnknownNameListsTheTasksNearIt) {
  std::vector<std::string> names = Names();
  std::string error;
  EXPECT_EQ(-1, MatchTask(names, "keep", &error));
  EXPECT_EQ("task \"keep\" could be any of these; give more of its name:\n  Keep Lines\n  Keep "
            "Specific Line",
            error);
  EXPECT_EQ(-1, MatchTask(names, "drop 9", &error));
  EXPECT_NE(std::string::npos, error.find("no task \"drop 9\"; the nearest names:\n  Drop 2nd"));
  EXPECT_EQ(std::string::npos, error.find("Add Third")) << error;
  EXPECT_EQ(-1, MatchTask(names, "zzz", &error));
  for (const std::string& n : names)
    EXPECT_NE(std::string::npos, error.find("\n  " + n)) << n;
}

// Each word typed may be the start of the name's word, a number by its digit or its word.
TEST(TaskNames, TheStartOfEachWordFindsTheTaskOrListsTheTasksItStarts) {
  std::vector<std::string> names = Names();
  const char* unique[][2] = {
      {"add sec", "Add Second"},
      {"add fif", "Add Fifth"},
      {"add six", "Add Sixth"},
      {"add sev", "Add Seventh"},
      {"Add Fourth", "Add Fourth"},
      {"add 7th", "Add Seventh"},
      {"tr oct ch", "Transpose Octave (Chord)"},
      {"clo pos", "Close Position"},
      {"keepspecific", "Keep Specific Line"},
      {"del out", "Delete Outer Note"},
  };
  for (const auto& c : unique) {
    std::string error;
    int i = MatchTask(names, c[0], &error);
    ASSERT_GE(i, 0) << c[0] << ": " << error;
    EXPECT_EQ(c[1], names[i]) << c[0];
  }
  std::string error;
  EXPECT_EQ(-1, MatchTask(names, "add s", &error));
  EXPECT_EQ("task \"add s\" could be any of these; give more of its name:\n  Add Second\n  Add "
            "Sixth\n  Add Seventh",
            error);
}

TEST(TaskNames, AWordFromInsideNamesListsOnlyTheTasksWithIt) {
  std::vector<std::string> names = Names();
  std::string error;
  EXPECT_EQ(-1, MatchTask(names, "2nd", &error));
  EXPECT_EQ("no task name starts with \"2nd\"; the names with it:\n  Drop 2nd\n  Drop 2nd+4th\n  "
            "Add Second",
            error);
  EXPECT_EQ(-1, MatchTask(names, "octave chord", &error));
  EXPECT_EQ(
      "no task name starts with \"octave chord\"; the names with it:\n  Transpose Octave (Chord)",
      error);
  // a word in no name is not near every name for sharing a letter
  EXPECT_EQ(-1, MatchTask(names, "9th", &error));
  EXPECT_EQ(0u, error.find("no task \"9th\"; the tasks are:")) << error;
}

std::string Runs(const std::vector<std::string>& numbers, const std::string& text) {
  std::vector<std::pair<int16_t, int16_t>> runs;
  std::string error, s;
  if (!MeasureRuns(numbers, text, &runs, &error)) return error;
  for (const auto& r : runs)
    s += (s.empty() ? "" : " ") + std::to_string(r.first) + "-" + std::to_string(r.second);
  return s;
}

TEST(MeasureSelection, NumbersRangesOpenEndsAndListsAsTheScorePrintsThem) {
  // a pickup numbered 0, then 1 to 8: host measures 1 to 9
  std::vector<std::string> n = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};
  EXPECT_EQ("1-9", Runs(n, ""));
  EXPECT_EQ("6-6", Runs(n, "5"));
  EXPECT_EQ("6-9", Runs(n, "5-"));
  EXPECT_EQ("1-4", Runs(n, "-3"));
  EXPECT_EQ("4-6", Runs(n, "3-5"));
  EXPECT_EQ("2-2 4-4 6-9", Runs(n, "1,3,5-8"));
  EXPECT_EQ("3-5", Runs(n, " 2 - 3 , 3-4 ")); // overlaps applied once
  EXPECT_EQ("2-2 6-6", Runs(n, "5,1"));
}

TEST(MeasureSelection, AWrongListSaysWhatIsWrongWithIt) {
  std::vector<std::string> n = {"0", "1", "2", "3"};
  EXPECT_EQ("no measure \"9\" in the score (its measures are numbered 0 to 3)", Runs(n, "9"));
  EXPECT_EQ("no measure \"x\" in the score (its measures are numbered 0 to 3)", Runs(n, "x-2"));
  EXPECT_EQ("measure \"1\" comes before measure \"3\"", Runs(n, "3-1"));
  EXPECT_EQ("--measures \"1,,2\" has an empty place between commas", Runs(n, "1,,2"));
  EXPECT_EQ("--measures \"-\": \"-\" needs a measure on at least one side", Runs(n, "-"));
}

// Accidentals as signs or letters alike: "Bb Trumpet" is "B\u266d Trumpet".
TEST(PartSelection, FlatSharpAndNaturalSignsMatchTheirLetters) {
  std::vector<std::pair<std::string, std::string>> parts = {{"P1", "B\u266d Trumpet"},
                                                            {"P2", "F\u266f  Horn"},
                                                            {"P3", "E\u266e Bass"},
                                                            {"P4", "Bb Clarinet"}};
  std::vector<bool> chosen;
  std::string error;
  ASSERT_TRUE(PartsNamed(parts, "Bb Trumpet, f# horn, E Bass", &chosen, &error)) << error;
  EXPECT_EQ((std::vector<bool>{true, true, true, false}), chosen);
  ASSERT_TRUE(PartsNamed(parts, "B\u266d clarinet", &chosen, &error)) << error;
  EXPECT_EQ((std::vector<bool>{false, false, false, true}), chosen);
  EXPECT_FALSE(PartsNamed(parts, "B Trumpet", &chosen, &error));
}

TEST(PartSelection, NamesAndIdsTrimmedInAnyCase) {
  std::vector<std::pair<std::string, std::string>> parts = {
      {"P1", "Piano"}, {"P2", "Bass"}, {"P3", "Choir"}};
  std::vector<bool> chosen;
  std::string error;
  ASSERT_TRUE(PartsNamed(parts, "Piano, Bass", &chosen, &error)) << error;
  EXPECT_EQ((std::vector<bool>{true, true, false}), chosen);
  ASSERT_TRUE(PartsNamed(parts, " p3 ", &chosen, &error)) << error;
  EXPECT_EQ((std::vector<bool>{false, false, true}), chosen);
  ASSERT_TRUE(PartsNamed(parts, "", &chosen, &error));
  EXPECT_EQ((std::vector<bool>{true, true, true}), chosen);
  EXPECT_FALSE(PartsNamed(parts, "Piano, Strings", &chosen, &error));
  EXPECT_EQ("no part \"Strings\" in the score (by id or name); its parts are P1 (Piano), P2 "
            "(Bass), P3 (Choir)",
            error);
}

bool Parse(std::vector<std::string> words, CommandLine* c, std::string* error) {
  words.insert(words.begin(), "qvchord");
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(&w[0]);
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), c, error);
}

TEST(CommandLine, ValuesAfterASpaceOrAnEqualsSignAndScoresAnywhere) {
  CommandLine c;
  std::string error;
  ASSERT_TRUE(Parse({"plugin.so", "a.musicxml", "--task=drop2", "--measures", "-8", "b.mxl", "-j2",
                     "--parts", "Piano, Bass", "--score", "c.xml", "--bottom"},
                    &c, &error))
      << error;
  EXPECT_EQ("plugin.so", c.plugin);
  EXPECT_EQ((std::vector<std::string>{"a.musicxml", "b.mxl", "c.xml"}), c.inputs);
  EXPECT_EQ("drop2", c.task);
  EXPECT_EQ("-8", c.measures);
  EXPECT_EQ("Piano, Bass", c.parts);
  EXPECT_EQ(2, c.jobs);
  EXPECT_TRUE(c.bottom);
}

TEST(CommandLine, WebTakesAPortAfterASpaceOrAnEqualsSign) {
  for (auto words : {std::vector<std::string>{"--web", "8123"}, {"--web=8123"}, {"--web"}}) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse(words, &c, &error)) << error;
    EXPECT_TRUE(c.web);
    EXPECT_EQ(words.size() == 1 && words[0] == "--web" ? "" : "8123", c.port);
    EXPECT_TRUE(c.inputs.empty());
  }
}

TEST(CommandLine, VersionNeedsNoScoreAndTakesNoValue) {
  for (auto words : {std::vector<std::string>{"--version"}, {"--version", "--task", "drop2"}}) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse(words, &c, &error)) << error;
    EXPECT_TRUE(c.version);
  }
  CommandLine c;
  std::string error;
  EXPECT_FALSE(Parse({"--version=2"}, &c, &error));
  EXPECT_EQ("--version takes no value (\"--version=2\")", error);
}

TEST(CommandLine, EveryWrongArgumentSaysWhatIsWrongWithIt) {
  struct Case {
    std::vector<std::string> words;
    const char* message;
  } cases[] = {
      {{"--score", "a.musicxml", "--task"}, "--task needs a task name"},
      {{"--score", "a.musicxml", "--task", "--bottom"}, "--task needs a task name"},
      {{"--scroe", "a.musicxml"}, "unknown option --scroe; did you mean --score?"},
      {{"--score", "a.musicxml", "-j", "x"}, "-j needs the number of files"},
      {{"--score", "a.musicxml", "-j0"}, "(not \"0\")"},
      {{"--score", "a.musicxml", "--bottom=yes"}, "--bottom takes no value"},
      {{"--score", "a.musicxml", "--out", "x", "--in-place"}, "cannot be given together"},
      {{"--score", "a.musicxml", "b.musicxml", "--out", "x"}, "--out names one file, but 2"},
      {{"--out", "x.musicxml"}, "no score file given"},
      {{"--score", "a", "--task", "drop2", "--task", "rotate"}, "--task is given twice"},
      {{"--demo", "--score", "a.musicxml"}, "--demo runs on its own score"},
      {{"--web", "--score", "a.musicxml"}, "--web serves the page"},
      {{"--web", "8123", "--task", "drop2"}, "--web serves the page"},
  };
  for (const Case& k : cases) {
    CommandLine c;
    std::string error;
    EXPECT_FALSE(Parse(k.words, &c, &error)) << k.message;
    EXPECT_NE(std::string::npos, error.find(k.message)) << error;
  }
}

} // namespace
