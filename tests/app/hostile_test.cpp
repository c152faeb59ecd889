// Files made to break the job, and the unlucky ones: counts past what the host holds, numbers
// that are no numbers, parts of different lengths, zip bombs and archives naming a member twice.
// The hostile files are the score fuzzer's seeds (tests/fuzz/corpus/score_fuzz), so that the
// fuzzer starts from them too.
#include <zip.h>

#include "container.h"
#include "scorefixture.h"
#include "support/manyparts.h"

using namespace scoretest;

namespace {

std::vector<uint8_t> Seed(const std::string& name) {
  return ReadBytes(std::string(QV_SOURCE_DIR) + "/tests/fuzz/corpus/score_fuzz/" + name);
}

std::vector<uint8_t> Bytes(const std::string& s) {
  return std::vector<uint8_t>(s.begin(), s.end());
}

ScoreJobResult RunDrop2(std::vector<uint8_t> bytes, const std::string& name,
                        const std::string& measures = "") {
  ScoreJobOptions o;
  o.task = "Drop 2nd";
  o.measures = measures;
  return RunScoreJob(std::move(bytes), name, o, Plugin());
}

// A one-part score around the notes of one measure.
std::string OneMeasure(const std::string& inside) {
  return "<?xml version=\"1.0\"?>\n<score-partwise version=\"4.0\"><part-list><score-part "
         "id=\"P1\"><part-name>Piano</part-name></score-part></part-list>\n<part id=\"P1\">"
         "<measure number=\"1\"><attributes><divisions>1</divisions></attributes>\n" +
         inside + "</measure></part></score-partwise>\n";
}

std::string Chord(const std::string& octave = "4", const std::string& duration = "4") {
  std::string n;
  for (const char* step : {"C", "E", "G"})
    n += std::string("<note>") + (step[0] == 'C' ? "" : "<chord/>") + "<pitch><step>" + step +
         "</step><octave>" + octave + "</octave></pitch><duration>" + duration +
         "</duration><voice>1</voice></note>\n";
  return n;
}

// A zip archive of the members given, in order.
std::vector<uint8_t> Archive(const std::vector<std::pair<std::string, std::string>>& members) {
  TempFolder folder;
  zip_t* z = zip_open(folder.Path("a.zip").c_str(), ZIP_CREATE, nullptr);
  for (const auto& m : members)
    zip_file_add(z, m.first.c_str(), zip_source_buffer(z, m.second.data(), m.second.size(), 0), 0);
  zip_close(z);
  return ReadBytes(folder.Path("a.zip"));
}

const char kManifest[] = "<?xml version=\"1.0\"?><container><rootfiles><rootfile "
                         "full-path=\"score.musicxml\"/></rootfiles></container>";

void ExpectRefused(const ScoreJobResult& r, const std::string& message, const std::string& what) {
  EXPECT_EQ(2, r.status) << what;
  EXPECT_NE(std::string::npos, r.error.find(message)) << what << ": " << r.error;
  EXPECT_TRUE(r.output.empty()) << what;
}

TEST(HostileFiles, CountsPastWhatTheHostHoldsAreRefusedNamingTheLimit) {
  struct Case {
    const char* seed;
    const char* message;
  } cases[] = {
      // a staff count of 16 bits wrapped: the key table overflowed, or a length error aborted
      {"parts32768.mxl",
       "parts32768.mxl!/score.musicxml: more parts than the host can hold (32767)"},
      {"parts65536.mxl", "more parts than the host can hold (32767)"},
      // 513 parts of 64 staves
      {"staves.mxl", "has staves past the most the host can hold in a score (32767)"},
      // 32,768 rests in one voice of one measure: a frame's entry count is 16 bits
      {"voicenotes.mxl", "part \"P1\" has more notes and rests in one voice of measure 1 than "
                         "the host can hold (32767)"},
  };
  for (const Case& c : cases)
    ExpectRefused(RunDrop2(Seed(c.seed), c.seed), c.message, c.seed);
  ExpectRefused(
      RunDrop2(Bytes(OneMeasure("<attributes><staves>65</staves></attributes>")), "s.xml"),
      "part \"P1\" has more staves than the host can hold in a part (64)", "65 staves");
  // the most a part may have is read
  ScoreJobResult r = RunDrop2(
      Bytes(OneMeasure("<attributes><staves>64</staves></attributes>" + Chord())), "s.xml");
  EXPECT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E3 C4 G4]", Chords(r.afterXml, "P1"));
}

TEST(HostileFiles, AScoreOfTheMostMeasuresTheHostHoldsRunsToTheEnd) {
  // the host's measure numbers counted in 16 bits wrapped past the last one: every task ran for
  // ever, a dry run and a few measures chosen too
  const int most = musicxml::kMaxMeasures;
  std::string text = ManyPartsScore(1, most);
  struct Case {
    const char* measures;
    bool dryRun;
    size_t changed;
  } cases[] = {{"", false, size_t(most)}, {"", true, size_t(most)}, {"1-5", false, 5}};
  for (const Case& c : cases) {
    ScoreJobOptions o;
    o.task = "Drop 2nd";
    o.measures = c.measures;
    o.dryRun = c.dryRun;
    o.displayTexts = false;
    ScoreJobResult r = RunScoreJob(Bytes(text), "long.musicxml", o, Plugin());
    EXPECT_EQ(0, r.status) << r.error;
    EXPECT_EQ(c.changed, r.changedCount) << c.measures << (c.dryRun ? " dry run" : "");
  }
}

TEST(HostileFiles, ANumberMusicXmlDoesNotHaveThereIsAnErrorNamingTheElementAndItsPlace) {
  // the octave was read as 4 and the chord changed
  ExpectRefused(RunDrop2(Seed("octave.musicxml"), "octave.musicxml"),
                "octave.musicxml:8:37: <octave> holds \"4294967300\", not a whole number from 0 "
                "to 9 as MusicXML has there",
                "octave");
  struct Case {
    std::string measure, message;
  } cases[] = {
      {Chord("10"), "<octave> holds \"10\", not a whole number from 0 to 9"},
      {Chord("4.0"), "<octave> holds \"4.0\""},
      {Chord("4", "-1"), "<duration> holds \"-1\", not a number of at least 0"},
      {Chord("4", "1e3"), "<duration> holds \"1e3\""},
      {"<note><pitch><step>C</step><alter>sharp</alter><octave>4</octave></pitch>"
       "<duration>1</duration></note>",
       "<alter> holds \"sharp\", not a number"},
      {"<attributes><key><fifths>two</fifths></key></attributes>", "<fifths> holds \"two\""},
      {"<backup><duration>" + std::string(40, '9') + "x</duration></backup>",
       "<duration> holds \"999999999999999999999999...\""},
  };
  for (const Case& c : cases) {
    ScoreJobResult r = RunDrop2(Bytes(OneMeasure(c.measure)), "n.musicxml");
    ExpectRefused(r, "n.musicxml:4:", c.measure);
    ExpectRefused(r, c.message, c.measure);
  }
  // a staff past the part's, however large, is no staff of the part (it was read as staff 1)
  std::string far = "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>"
                    "<staff>4294967297</staff></note><note><chord/><pitch><step>E</step>"
                    "<octave>4</octave></pitch><duration>1</duration><staff>4294967297</staff>"
                    "</note><note><chord/><pitch><step>G</step><octave>4</octave></pitch>"
                    "<duration>1</duration><staff>4294967297</staff></note>";
  ScoreJobResult r = RunDrop2(Bytes(OneMeasure(far)), "n.musicxml");
  EXPECT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[C4 E4 G4]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("left alone: 1 chord on a staff the part does not declare", r.leftAlone);
  // white space around a number and a decimal duration are MusicXML's own
  r = RunDrop2(Bytes(OneMeasure(Chord(" 4\n", "4.0"))), "n.musicxml");
  EXPECT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E3 C4 G4]", Chords(r.afterXml, "P1"));
}

TEST(HostileFiles, APartLongerThanTheFirstHasEveryMeasureReachedAndChosen) {
  // before, its second measure was never handed to the host, nor could --measures name it
  ScoreJobResult r = RunDrop2(Seed("longerpart.musicxml"), "longer.musicxml");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[C5]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[E3 C4 G4] | [E3 C4 G4]", Chords(r.afterXml, "P2"));
  r = RunDrop2(Seed("longerpart.musicxml"), "longer.musicxml", "2");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[C4 E4 G4] | [E3 C4 G4]", Chords(r.afterXml, "P2"));
  EXPECT_EQ(1u, r.changedCount);
}

TEST(HostileArchives, AZipBombIsRefusedBeforeItIsUnpackedAndSoIsOneInTheContainerFile) {
  ExpectRefused(RunDrop2(Seed("scorebomb.mxl"), "bomb.mxl"),
                "bomb.mxl: score.musicxml in the archive unpacks to more than 32 MB (an archive "
                "may unpack to 32 MB or 100 times its own size, never past 512 MB)",
                "score bomb");
  ExpectRefused(RunDrop2(Seed("containerbomb.mxl"), "bomb.mxl"),
                "bomb.mxl: META-INF/container.xml in the archive unpacks to more than 1 MB",
                "container bomb");
  // Both members count against one bound: two members under it each, not together.
  std::string score = OneMeasure(Chord()), pad(20 << 20, ' ');
  std::vector<uint8_t> two = Archive({{"META-INF/container.xml", kManifest},
                                      {"score.musicxml", score + pad},
                                      {"other.musicxml", pad}});
  std::string rootPath, error;
  std::vector<uint8_t> text;
  EXPECT_TRUE(musicxml::ReadContainer(two, &rootPath, &text, &error)) << error;
  EXPECT_EQ(score.size() + pad.size(), text.size());
  two = Archive({{"META-INF/container.xml", std::string(kManifest) + std::string(900 << 10, ' ')},
                 {"score.musicxml", score + std::string(63 << 19, ' ')}});
  EXPECT_FALSE(musicxml::ReadContainer(two, &rootPath, &text, &error));
  EXPECT_NE(std::string::npos, error.find("score.musicxml in the archive unpacks to more than"))
      << error;
}

TEST(HostileArchives, TwoMembersOfOneNameAreRefusedAndALargeFirstMemberIsWrittenBack) {
  // before, the first of the two was read and changed
  ExpectRefused(RunDrop2(Seed("samenames.mxl"), "same.mxl"),
                "same.mxl: the archive holds two members named \"score.musicxml\"", "same names");
  // a container file of 900 KB before the score: writing back shared and freed the caller's
  // buffer
  std::vector<uint8_t> big =
      Archive({{"META-INF/container.xml", std::string(kManifest) + std::string(900 << 10, ' ')},
               {"score.musicxml", OneMeasure(Chord())}});
  ScoreJobResult r = RunDrop2(big, "big.mxl");
  ASSERT_EQ(0, r.status) << r.error;
  std::string rootPath, error;
  std::vector<uint8_t> text;
  ASSERT_TRUE(musicxml::ReadContainer(r.output, &rootPath, &text, &error)) << error;
  EXPECT_EQ("[E3 C4 G4]", Chords(std::string(text.begin(), text.end()), "P1"));
}

} // namespace
