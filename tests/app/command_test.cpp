// The --score command as a user runs it: where the changed file goes, and bad input refused
// with a message (file name, line and column for XML), exit status 2 and nothing written.
#include <unistd.h>

#include "scorefixture.h"

using namespace scoretest;

namespace {

TEST(ScoreCommand, WritesBesideTheInputUnlessToldAndReplacesTheInputOnlyInPlace) {
  TempFolder folder;
  std::vector<uint8_t> original = ReadBytes(FilePath("pickup.musicxml"));
  std::string in = folder.Write("song.musicxml", std::string(original.begin(), original.end()));
  std::string out;
  ASSERT_EQ(0, Command("--score " + in + " --task 'Drop 2nd'", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("written to " + folder.Path("song-drop-2nd.musicxml")));
  EXPECT_EQ(original, ReadBytes(in));
  EXPECT_EQ(2, Command("--score " + in + " --task 'Drop 2nd' --out " + in, &out));
  EXPECT_EQ(original, ReadBytes(in));
  EXPECT_EQ(0, Command("--score " + in + " --task 'Drop 2nd' --in-place", &out)) << out;
  EXPECT_EQ(ReadBytes(folder.Path("song-drop-2nd.musicxml")), ReadBytes(in));
  EXPECT_EQ(2, folder.Count()); // no temporary file left behind
}

TEST(ScoreCommand, DryRunListsEachChordThatWouldChangeAndWritesNothing) {
  TempFolder folder;
  std::string out;
  ASSERT_EQ(0, Command("--score " + FilePath("voices.musicxml") +
                           " --task 'Drop 2nd' --parts P2 "
                           "--dry-run --out " +
                           folder.Path("x.musicxml"),
                       &out));
  EXPECT_NE(std::string::npos,
            out.find("part P2 (Piano), measure 1, staff 1, voice 1: C5 E5 G5 -> E4 C5 G5\n"));
  EXPECT_NE(std::string::npos,
            out.find("part P2 (Piano), measure 1, staff 2, voice 5: C3 G3 -> C2 G3\n"));
  EXPECT_NE(std::string::npos,
            out.find("Drop 2nd: 2 chords changed in 1 measure on 2 staves (dry run"));
  EXPECT_EQ(0, folder.Count());
}

TEST(ScoreCommand, TheFourNoteRuleComesToThePlugInThroughItsOptionsFile) {
  std::string out;
  ASSERT_EQ(0, Command("--score " + FilePath("tasks.musicxml") +
                           " --task 'Drop 2nd' --dry-run "
                           "--four-note-drops",
                       &out))
      << out;
  EXPECT_NE(std::string::npos, out.find("Drop 2nd: 2 chords changed in 2 measures")) << out;
}

// Add Third copies the alteration of the note it is built on, unless --spell-in-key asks for
// the key's own, which the later intervals always take: E minor, B-flat major, C minor and
// D major, above the top and below the bottom (files/spelling.musicxml).
TEST(ScoreCommand, SpellInKeyGivesAddedNotesTheKeysAccidentals) {
  TempFolder folder;
  struct Case {
    const char* args;
    const char* chords;
  } const cases[] = {
      {"--task 'Add Third'",
       "[F#4 A4 B4 D#5 F##5] | [G4 Bb4 Db5 Fb5] | [B3 D4 F4 Ab4 C5] | [F4 A4 C5 Eb5]"},
      {"--task 'Add Third' --spell-in-key",
       "[F#4 A4 B4 D#5 F#5] | [G4 Bb4 Db5 F5] | [B3 D4 F4 Ab4 C5] | [F4 A4 C5 E5]"},
      {"--task 'Add Third' --bottom",
       "[D4 F#4 A4 B4 D#5] | [Eb4 G4 Bb4 Db5] | [G#3 B3 D4 F4 Ab4] | [Db4 F4 A4 C5]"},
      {"--task 'Add Third' --bottom --spell-in-key",
       "[D4 F#4 A4 B4 D#5] | [Eb4 G4 Bb4 Db5] | [G3 B3 D4 F4 Ab4] | [D4 F4 A4 C5]"},
      {"--task 'Add Sixth'", // the intervals after the third are spelt in the key anyway
       "[F#4 A4 B4 D#5 B5] | [G4 Bb4 Db5 Bb5] | [B3 D4 F4 Ab4 F5] | [F4 A4 C5 A5]"},
      {"--task 'Add Sixth' --spell-in-key",
       "[F#4 A4 B4 D#5 B5] | [G4 Bb4 Db5 Bb5] | [B3 D4 F4 Ab4 F5] | [F4 A4 C5 A5]"},
  };
  for (const Case& c : cases) {
    std::string out = folder.Path("out.musicxml"), log;
    ASSERT_EQ(
        0,
        Command("--score " + FilePath("spelling.musicxml") + " " + c.args + " --out " + out, &log))
        << log;
    std::vector<uint8_t> bytes = ReadBytes(out);
    std::string xml(bytes.begin(), bytes.end());
    EXPECT_EQ(c.chords, Chords(xml, "P1")) << c.args;
    EXPECT_TRUE(Valid(xml)) << c.args;
  }
  EXPECT_EQ(1, folder.Count()); // the options file went with the run
}

// Voice Leading moves least into fifths and octaves unless --strict asks it to avoid them, and
// says which chords it left as written and why (files/voiceleading.musicxml).
TEST(ScoreCommand, StrictVoiceLeadingAvoidsParallelsAndChordsLeftAloneAreSaid) {
  struct Case {
    const char* args;
    const char* changed;
  } const cases[] = {
      {"", "D3 A3 D5 -> D4 A4 D5\n"},
      {" --strict", "D3 A3 D5 -> D3 A4 D5\n"},
  };
  for (const Case& c : cases) {
    std::string out;
    ASSERT_EQ(0, Command("--score " + FilePath("voiceleading.musicxml") +
                             " --task 'Voice Leading' --dry-run" + c.args,
                         &out))
        << out;
    EXPECT_NE(std::string::npos, out.find(c.changed)) << c.args << "\n" << out;
    EXPECT_NE(std::string::npos, out.find("left alone: 1 chord of grace notes, 1 chord with more "
                                          "than 256 ways to voice them\n"))
        << out;
  }
}

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

TEST(ScoreCommand, BadInputIsRefusedWithItsPlaceAndNothingIsWritten) {
  TempFolder folder;
  struct Bad {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      // a line end inside a tag: the text is parsed in place, the place must still be right
      {"broken.musicxml",
       "<?xml version=\"1.0\"?>\n<score-partwise\nversion=\"4.0\">\n  <part "
       "id=\"P1\">\n</score-partwise>\n",
       "broken.musicxml:5:3: not well-formed XML"},
      {"empty.musicxml", "", "empty.musicxml: the file is empty: there is no score in it"},
      {"leadsheet.pdf", "%PDF-1.4\n", "leadsheet.pdf: a PDF document, not a score"},
      {"timewise.musicxml", "<score-timewise version=\"4.0\"/>", "score-timewise"},
      {"other.xml", "<notes><note/></notes>", "not a MusicXML score"},
      {"empty.mxl", "PK\x03\x04 not really", "empty.mxl: not a readable zip archive"},
      // a container whose manifest claims gigabytes in a file of a few hundred bytes
      {"huge.mxl", Bytes(ReadBytes(FilePath("hugemember.mxl"))),
       "huge.mxl: META-INF/container.xml in the archive"},
  };
  for (const Bad& b : cases) {
    std::string in = folder.Write(b.name, b.bytes), out;
    EXPECT_EQ(2, Command("--score " + in + " --out " + folder.Path("out.musicxml"), &out))
        << b.name;
    EXPECT_NE(std::string::npos, out.find(b.message)) << out;
  }
  std::string out;
  EXPECT_EQ(2, Command("--score " + folder.Path("missing.musicxml"), &out));
  EXPECT_NE(std::string::npos, out.find("missing.musicxml: cannot open")) << out;
  EXPECT_EQ(2, Command("--score " + FilePath("tasks.musicxml") + " --task 'Drop 9th' --out " +
                           folder.Path("out.musicxml"),
                       &out));
  EXPECT_NE(std::string::npos, out.find("no task \"Drop 9th\"; the nearest names:\n  Drop 2nd"))
      << out;
  EXPECT_EQ(7, folder.Count()); // the seven inputs, no output
}

} // namespace

namespace {

TEST(ScoreCommand, InPlaceThroughALinkReplacesTheFileLinkedToAndOutMayNameAFolder) {
  TempFolder folder;
  std::string out;
  std::vector<uint8_t> original = ReadBytes(FilePath("pickup.musicxml"));
  ASSERT_EQ(0, Shell("mkdir '" + folder.Path("real") + "' '" + folder.Path("results") + "'", &out));
  std::string real = folder.Write("real/song.musicxml", Bytes(original));
  ASSERT_EQ(0, symlink("real/song.musicxml", folder.Path("song.musicxml").c_str()));
  // --out naming a folder: the result goes in it under the name it has beside the input
  ASSERT_EQ(0, Command("--score " + real + " --task drop2 --out " + folder.Path("results"), &out))
      << out;
  std::vector<uint8_t> changed = ReadBytes(folder.Path("results/song-drop-2nd.musicxml"));
  ASSERT_FALSE(changed.empty()) << out;
  ASSERT_EQ(0,
            Command("--score " + folder.Path("song.musicxml") + " --task drop2 --in-place", &out))
      << out;
  char target[256] = {0};
  EXPECT_GT(readlink(folder.Path("song.musicxml").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ("real/song.musicxml", target);
  EXPECT_EQ(changed, ReadBytes(real));
}

} // namespace
