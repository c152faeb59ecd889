// What the command prints: chords lowest first, names from a file or a path with their control
// characters escaped, one slash between a folder and a name, a score without the parts named
// skipped and said, and a line without a score answered with the usage.
#include "printable.h"
#include "scorefixture.h"

using namespace scoretest;

namespace {

// A one-part score: a chord written top down, in a part and a measure named by the caller.
std::string Score(const std::string& partName, const std::string& measure) {
  std::string note = "<note><chord/><pitch><step>S</step><octave>O</octave></pitch><duration>4"
                     "</duration><voice>1</voice><type>whole</type></note>";
  auto pitch = [&](const char* step, const char* octave, bool first) {
    std::string n = note;
    n.replace(n.find('S'), 1, step);
    n.replace(n.find('O'), 1, octave);
    if (first) n.erase(n.find("<chord/>"), 8);
    return n;
  };
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\"><part-list>"
         "<score-part id=\"P1\"><part-name>" +
         partName + "</part-name></score-part></part-list><part id=\"P1\"><measure number=\"" +
         measure +
         "\"><attributes><divisions>1</divisions><key><fifths>0</fifths></key><time><beats>4"
         "</beats><beat-type>4</beat-type></time><clef><sign>G</sign><line>2</line></clef>"
         "</attributes>" +
         pitch("G", "4", true) + pitch("E", "4", false) + pitch("C", "4", false) +
         "</measure></part></score-partwise>\n";
}

TEST(PrintedChords, BeforeAndAfterAreListedLowestFirst) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", Score("Piano", "1")), out;
  ASSERT_EQ(0, Command("--score " + in + " --task 'Add Third' --bottom --dry-run", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("voice 1: C4 E4 G4 -> A3 C4 E4 G4\n")) << out;
  out.clear();
  ASSERT_EQ(0, Command("--score " + in + " --task 'Drop 2nd' --dry-run", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("voice 1: C4 E4 G4 -> E3 C4 G4\n")) << out;
}

TEST(Printable, ControlCharactersAndBrokenBytesAreShownEscaped) {
  EXPECT_EQ("Piano \\x1b]0;owned\\x07 \\x1b[31mred",
            Printable("Piano \x1b]0;owned\x07 \x1b[31mred"));
  EXPECT_EQ("a\\x0ab\\x09c\\x7f\\x0d", Printable("a\nb\tc\x7f\r"));
  EXPECT_EQ("a\nb\\x0d", Printable("a\nb\r", true));
  // C1 as UTF-8 (U+009B, the one-byte CSI) and a lone CSI byte; letters beyond ASCII kept
  EXPECT_EQ("\\u009b31m \\x9b31m B\u266d \u00e9t\u00e9 \U0001D11E",
            Printable("\xc2\x9b"
                      "31m \x9b"
                      "31m B\u266d \u00e9t\u00e9 \U0001D11E"));
  // overlong and cut-off sequences are not characters
  EXPECT_EQ("\\xc0\\x80 \\xe2\\x99", Printable("\xc0\x80 \xe2\x99"));
}

TEST(Printable, NamesFromAScoreOrAPathReachTheTerminalEscaped) {
  TempFolder folder;
  std::string name = "evil\x1b]0;title\x07.musicxml";
  std::string in = folder.Write(name, Score("Pia\x1b[31mno", "1\x1b[2J")), out;
  ASSERT_EQ(
      0, Command("--score '" + in + "' --task drop2 --list --out '" + folder.Path("o") + "'", &out))
      << out;
  EXPECT_EQ(std::string::npos, out.find('\x1b')) << out;
  EXPECT_NE(std::string::npos, out.find("part P1 (Pia\\x1b[31mno), measure 1\\x1b[2J, staff 1"))
      << out;
  // errors name the file, and a folder's table and lines name every file
  std::string bad = folder.Write("bad\x1b[5m.musicxml", "<notes/>");
  out.clear();
  EXPECT_EQ(2, Command("--score '" + bad + "' --task drop2", &out));
  EXPECT_NE(std::string::npos, out.find("bad\\x1b[5m.musicxml: not a MusicXML score")) << out;
  out.clear();
  EXPECT_EQ(2, Command("'" + folder.Path("") + "' --task drop2 --dry-run -j 1", &out));
  EXPECT_EQ(std::string::npos, out.find('\x1b')) << out;
  EXPECT_NE(std::string::npos, out.find("evil\\x1b]0;title\\x07.musicxml")) << out;
}

TEST(PrintedPaths, AFolderTypedWithASlashGivesOneSlash) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", Score("Piano", "1")), out;
  ASSERT_EQ(0, Command("--score " + in + " --task drop2 --out " + folder.Path("") + "/", &out))
      << out;
  EXPECT_NE(std::string::npos, out.find("written to " + folder.Path("song-drop-2nd.musicxml")))
      << out;
  EXPECT_EQ(std::string::npos, out.find("//")) << out;
}

TEST(PartsNamed, AScoreWithoutThePartIsSkippedAndSaidNotFailed) {
  TempFolder folder;
  std::string a = folder.Write("a.musicxml", Score("Piano", "1"));
  folder.Write("b.musicxml", Score("Bass", "1"));
  std::string out;
  EXPECT_EQ(0, Command("--score " + a + " --task drop2 --parts Bass", &out)) << out;
  EXPECT_NE(std::string::npos,
            out.find("a.musicxml: no part \"Bass\" in the score (by id or name); its parts are "
                     "P1 (Piano); skipped"))
      << out;
  EXPECT_EQ(2, folder.Count()); // nothing written
  out.clear();
  EXPECT_EQ(0, Command("'" + folder.Path("") + "' --task drop2 --parts 'Bass' -j 1", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("skipped: no part \"Bass\"")) << out;
  EXPECT_NE(std::string::npos, out.find("2 scores: 1 written, 1 skipped, 0 failed")) << out;
  // a score with some of the parts named: those are taken, the others said
  out.clear();
  EXPECT_EQ(0, Command("--score " + a + " --task drop2 --parts 'Piano, Bass' --dry-run", &out));
  EXPECT_NE(std::string::npos, out.find("no part \"Bass\" in the score (by id or name); its parts "
                                        "are P1 (Piano); only the parts found are taken"))
      << out;
  EXPECT_NE(std::string::npos, out.find("Drop 2nd: 1 chord changed")) << out;
}

TEST(NoScore, TheLineWithoutAScoreIsAnsweredWithTheUsage) {
  for (const char* args : {"", "--task drop2", "--bottom"}) {
    std::string out;
    EXPECT_EQ(2, Command(args, &out)) << args;
    EXPECT_EQ(0u, out.find("no score file given: name a MusicXML or .mxl file")) << out;
    EXPECT_NE(std::string::npos, out.find("\nusage: ")) << out;
    EXPECT_NE(std::string::npos, out.find("Close Position")) << out;
    EXPECT_EQ(std::string::npos, out.find("interface")) << out; // no demo
  }
  std::string out;
  EXPECT_EQ(0, Command("--demo --task drop2", &out));
  EXPECT_NE(std::string::npos, out.find("undo entry")) << out;
}

} // namespace
