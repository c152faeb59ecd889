// The tasks on chord symbols through the score job, on a lead sheet made for them: the symbols
// read from <harmony>, the piano part realized in each voicing, the melody blocked, the
// symbols and the rest of the file kept, and the schema's word on the output.
#include <algorithm>
#include <map>
#include <sstream>

#include "commandline.h"
#include "scorefixture.h"
#include "scorefile.h"

using namespace scoretest;

namespace {

const char* const kLeadSheet = "leadsheet.musicxml";

ScoreJobResult RunLeadSheet(const std::string& task, const std::string& parts,
                            const std::string& voicing = "", bool leading = true,
                            const std::string& range = "") {
  ScoreJobOptions o;
  o.parts = parts;
  o.voicing = voicing;
  o.leading = leading;
  o.topRange = range;
  o.listChanges = true;
  return RunFile(kLeadSheet, task, false, o);
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

// The notes of a part's measure (from 1) with a tie of the type given.
int Ties(const std::string& xml, const char* part, int measure, const char* type) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  pugi::xml_node m =
      doc.child("score-partwise").find_child_by_attribute("part", "id", part).child("measure");
  for (int i = 1; i < measure; ++i)
    m = m.next_sibling("measure");
  int ties = 0;
  for (pugi::xml_node n : m.children("note"))
    ties += n.find_child_by_attribute("tie", "type", type) ? 1 : 0;
  return ties;
}

std::string Part(const std::string& xml, const std::string& id) {
  size_t from = xml.find("<part id=\"" + id + "\">");
  return xml.substr(from, xml.find("</part>", from) - from);
}

TEST(ChordSymbolFiles, HarmonyIsReadWithItsRootKindBassDegreesAndPlace) {
  std::string xml = R"(<score-partwise><part-list><score-part id="P1"/></part-list>
<part id="P1"><measure number="1"><attributes><divisions>2</divisions></attributes>
<harmony><root><root-step>B</root-step><root-alter>-1</root-alter></root>
<kind text="7">dominant</kind><bass><bass-step>D</bass-step></bass>
<degree><degree-value>9</degree-value><degree-alter>-1</degree-alter>
<degree-type>add</degree-type></degree></harmony>
<note><pitch><step>D</step><octave>5</octave></pitch><duration>4</duration></note>
<harmony><root><root-step>F</root-step><root-alter>1</root-alter></root>
<kind> half-diminished </kind><inversion>1</inversion><offset>1</offset></harmony>
<harmony><numeral><numeral-root>5</numeral-root></numeral><kind>major</kind></harmony>
<harmony><root><root-step>C</root-step></root><kind>major</kind>
<degree><degree-value>9</degree-value><degree-type>twist</degree-type></degree></harmony>
<note><pitch><step>E</step><octave>5</octave></pitch><duration>4</duration></note>
</measure></part></score-partwise>)";
  musicxml::Score score;
  std::string error;
  ASSERT_TRUE(musicxml::ParseScore(std::vector<uint8_t>(xml.begin(), xml.end()), &score, &error))
      << error;
  ASSERT_EQ(4u, score.harmonies.size());
  const musicxml::Harmony& b7 = score.harmonies[0];
  EXPECT_EQ("", b7.unreadable);
  EXPECT_EQ(6, b7.root.step);
  EXPECT_EQ(-1, b7.root.alter);
  EXPECT_EQ("dominant", b7.kind);
  EXPECT_EQ("7", b7.text);
  EXPECT_TRUE(b7.hasBass);
  EXPECT_EQ(1, b7.bass.step);
  ASSERT_EQ(1u, b7.degrees.size());
  EXPECT_EQ(9, b7.degrees[0].value);
  EXPECT_EQ(-1, b7.degrees[0].alter);
  EXPECT_EQ("add", b7.degrees[0].type);
  EXPECT_EQ(0, b7.pos);
  const musicxml::Harmony& half = score.harmonies[1];
  EXPECT_EQ("half-diminished", half.kind);
  EXPECT_EQ(1, half.inversion);
  EXPECT_EQ(2 * musicxml::kQuarter + musicxml::kQuarter / 2, half.pos); // its offset added
  EXPECT_EQ("it has no root (a numeral or a function)", score.harmonies[2].unreadable);
  EXPECT_NE("", score.harmonies[3].unreadable);
  EXPECT_EQ(2u, score.chords.size()); // the notes are read as ever
}

TEST(RealizeChordSymbols, ThePianoPartGetsLedChordsAndTheirBassTiedOverTheBarLine) {
  ScoreJobResult r = RunLeadSheet("Realize Chord Symbols", "Piano");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("Realize Chord Symbols", r.task);
  EXPECT_EQ("[F4 A4 C5 D5] [F4 G4 B4 D5] [D3] [G3] | [E4 G4 B4 C5] [C3] | [E4 G4 B4 C5] "
            "[E4 G4 Bb4 C#5] [C3] [A2] | [r] [F4 A4 C5 D5] [r] [A2]",
            Chords(r.afterXml, "P2"));
  EXPECT_TRUE(Valid(r.afterXml));
  // The chords sounding across the bar line are tied (bass too); the melody and its symbols are
  // as they were.
  EXPECT_EQ(5, Ties(r.afterXml, "P2", 2, "start"));
  EXPECT_EQ(5, Ties(r.afterXml, "P2", 3, "stop"));
  EXPECT_EQ(Part(r.beforeXml, "P1"), Part(r.afterXml, "P1"));
  EXPECT_EQ(6, Count(r.afterXml, "<harmony>"));
  EXPECT_EQ("Realize Chord Symbols: 12 chords changed in 4 measures on 2 staves", r.summary);
  EXPECT_NE(std::string::npos, r.leftAlone.find("(N.C. (none) in measure 4)")) << r.leftAlone;
  EXPECT_NE(std::string::npos,
            r.dryRunText.find("measure 1, staff 1, voice 1, Dm7: rest -> F4 A4 C5 D5"))
      << r.dryRunText;
  EXPECT_NE(std::string::npos, r.dryRunText.find("measure 1, staff 2, voice 5, Dm7: rest -> D3"))
      << r.dryRunText;
}

TEST(RealizeChordSymbols, SymbolsOfATransposingPartSoundAsOnTheConcertPiano) {
  // The melody for a B-flat trumpet: its symbols written a tone above what sounds.
  std::vector<uint8_t> bytes = ReadBytes(FilePath(kLeadSheet));
  std::string xml(bytes.begin(), bytes.end());
  for (size_t at = xml.find("-step>"); at != std::string::npos; at = xml.find("-step>", at + 1))
    if (xml[at - 5] == '<' &&
        (xml.compare(at - 4, 4, "root") == 0 || xml.compare(at - 4, 4, "bass") == 0))
      xml[at + 6] = "DEFGABC"[std::string("CDEFGAB").find(xml[at + 6])];
  size_t clef = xml.find("</clef>") + 7;
  xml.insert(clef, "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose>");
  ScoreJobOptions o;
  o.task = "Realize Chord Symbols";
  o.parts = "Piano";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "trumpet.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(Chords(RunLeadSheet("Realize Chord Symbols", "Piano").afterXml, "P2"),
            Chords(r.afterXml, "P2"));
}

TEST(RealizeChordSymbols, EachVoicingAndRootPositionWithoutLeading) {
  struct Case {
    const char* voicing;
    bool leading;
    const char* range;
    const char* firstMeasure; // staff 1's two chords, then the bass
  } cases[] = {
      {"close", false, "", "[D4 F4 A4 C5] [G3 B3 D4 F4] [D3] [G3]"},
      {"root", true, "", "[D4 F4 A4 C5] [G4 B4 D5 F5] [D3] [G3]"},
      {"drop2", false, "", "[A3 D4 F4 C5] [D3 G3 B3 F4] [D3] [G3]"},
      {"drop24", false, "", "[D3 A3 F4 C5] [G2 D3 B3 F4] [D3] [G3]"},
      {"shell", false, "", "[D4 F4 C5] [G3 B3 F4] [D3] [G3]"},
      {"close", false, "A4-A5", "[D4 F4 A4 C5] [G4 B4 D5 F5] [D3] [G3]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.voicing) + (c.leading ? " led " : " ") + c.range);
    ScoreJobResult r = RunLeadSheet("realize", "Piano", c.voicing, c.leading, c.range);
    ASSERT_EQ(0, r.status) << r.error;
    std::string p2 = Chords(r.afterXml, "P2");
    EXPECT_EQ(c.firstMeasure, p2.substr(0, p2.find(" |")));
  }
}

TEST(RealizeChordSymbols, BadOptionsAndAScoreWithoutSymbolsAreSaid) {
  ScoreJobResult r = RunLeadSheet("realize", "Piano", "drop3");
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.error.find("no voicing \"drop3\"")) << r.error;
  r = RunLeadSheet("realize", "Piano", "close", true, "C4-G4");
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.error.find("too narrow")) << r.error;
  ScoreJobOptions o;
  r = RunFile("explode-chorale.musicxml", "Realize Chord Symbols", false, o);
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(0u, r.changedCount);
  EXPECT_NE(std::string::npos, r.leftAlone.find("no chord symbols")) << r.leftAlone;
}

TEST(RealizeChordSymbols, AMeasureLongerThanAnyNotationIsLeftAloneNotFilledWithTiedChords) {
  std::string xml = R"(<score-partwise><part-list><score-part id="P1"/></part-list>
<part id="P1"><measure number="1"><attributes><divisions>1</divisions></attributes>
<harmony><root><root-step>C</root-step></root><kind>major</kind></harmony>
<note><rest/><duration>100000</duration></note></measure></part></score-partwise>)";
  ScoreJobOptions o;
  o.task = "Realize Chord Symbols";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "long.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(0u, r.changedCount);
  EXPECT_EQ("left alone: 1 measure longer than sixteen whole notes", r.leftAlone);
}

TEST(BlockChords, EachMelodyNoteTopsItsChordOrADiminishedSeventh) {
  ScoreJobResult r = RunLeadSheet("block", "Melody");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("Block Chords", r.task);
  EXPECT_EQ("[C4 D4 F4 A4] [D4 F4 A4 C5] [D4 F4 G4 B4] | [G4 B4 C5 E5] [E#4 G#4 B4 D5] "
            "[E4 G4 B4 C5] | [E4 G4 B4 C5] [r] g[A4] [Bb3 C#4 E4 G4] | [F4] [C4 D4 F4 A4]",
            Chords(r.afterXml, "P1"));
  EXPECT_TRUE(Valid(r.afterXml));
  // The half tied over the bar line stays tied in every voice of its chord.
  EXPECT_EQ(4, Ties(r.afterXml, "P1", 2, "start"));
  EXPECT_EQ(6, Count(r.afterXml, "<harmony>"));
  EXPECT_EQ(Part(r.beforeXml, "P2"), Part(r.afterXml, "P2"));
  EXPECT_EQ("Block Chords: 9 chords changed in 4 measures on 1 staff", r.summary);
  EXPECT_EQ(2u, r.leftAloneCount); // the grace note and the note under N.C.
  EXPECT_NE(std::string::npos, r.leftAlone.find("left alone: 1 rest, 1 grace note")) << r.leftAlone;
  EXPECT_NE(std::string::npos, r.leftAlone.find("N.C. (none) in measure 4")) << r.leftAlone;
}

TEST(BlockChords, OnlyTheChordsMadeAreMarkedNotTheNotesKeptAsTheyWere) {
  ScoreJobOptions o;
  o.parts = "Melody";
  o.markShown = true;
  ScoreJobResult r = RunFile(kLeadSheet, "Block Chords", false, o);
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(9 * 4, Count(r.afterXml, "color=")); // not the grace note, nor the note under N.C.
  EXPECT_EQ(9 * 4, Count(r.afterXml, "id=\"qv-change-"));
  o.markShown = false;
  o.markChanges = true;
  r = RunFile(kLeadSheet, "Block Chords", false, o);
  EXPECT_EQ(9 * 4, Count(std::string(r.output.begin(), r.output.end()), "color="));
}

TEST(ChordSymbolLists, EachChordWrittenIsListedWithItsSymbolAsPrinted) {
  ScoreJobResult lead = RunLeadSheet("Block Chords", "Melody");
  // Symbols without a printed kind: a major triad by its root alone, another kind by its name.
  std::string xml = R"(<score-partwise><part-list><score-part id="P1"/></part-list>
<part id="P1"><measure number="1"><attributes><divisions>1</divisions></attributes>
<harmony><root><root-step>C</root-step></root><kind>major</kind></harmony>
<note><pitch><step>G</step><octave>4</octave></pitch><duration>2</duration></note>
<harmony><root><root-step>E</root-step><root-alter>-1</root-alter></root><kind>minor</kind>
<degree><degree-value>5</degree-value><degree-alter>0</degree-alter>
<degree-type>subtract</degree-type></degree></harmony>
<note><pitch><step>G</step><octave>4</octave></pitch><duration>2</duration></note>
</measure></part></score-partwise>)";
  ScoreJobOptions o;
  o.task = "Block Chords";
  o.dryRun = true;
  ScoreJobResult plain =
      RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "plain.musicxml", o, Plugin());
  struct Case {
    const std::string& text;
    const char* line;
  } cases[] = {
      {lead.dryRunText, "measure 1, staff 1, voice 1, Dm7: A4 -> "},
      {lead.dryRunText, "measure 3, staff 1, voice 1, A7(b9): G4 -> Bb3 C#4 E4 G4\n"},
      {lead.dryRunText, "measure 4, staff 1, voice 1, F6/A: A4 -> C4 D4 F4 A4\n"},
      {plain.dryRunText, "part P1, measure 1, staff 1, voice 1, C: G4 -> C3 C4 E4 G4\n"},
      {plain.dryRunText,
       "part P1, measure 1, staff 1, voice 1, Eb minor(no5): G4 -> A#3 C#4 E4 G4\n"},
  };
  for (const Case& c : cases)
    EXPECT_NE(std::string::npos, c.text.find(c.line)) << c.line << " in\n" << c.text;
}

// Each entry's pitches of a part as MIDI keys, written (as the file shows them) or sounding.
std::vector<std::vector<int>> Keys(const std::string& xml, const char* part, int shift = 0) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::vector<std::vector<int>> out;
  for (pugi::xml_node m : doc.child("score-partwise").find_child_by_attribute("part", "id", part))
    for (pugi::xml_node n : m.children("note")) {
      if (!n.child("chord")) out.push_back({});
      const int steps[] = {0, 2, 4, 5, 7, 9, 11};
      pugi::xml_node p = n.child("pitch");
      if (p)
        out.back().push_back(12 * (p.child("octave").text().as_int() + 1) +
                             steps[std::string("CDEFGAB").find(p.child_value("step")) % 7] +
                             p.child("alter").text().as_int() + shift);
    }
  return out;
}

// A lead sheet on the first of four saxophones becomes their soli in three steps: its melody
// blocked, the chords in Drop 2, exploded over the four. Written for the altos (concert E-flat
// major, their C major); the symbols as the first alto reads them.
TEST(ChordSymbolTasks, ALeadSheetBecomesASaxophoneSoliInThreeSteps) {
  const std::string melody = "F5q E5q D5q B4q | C5h E5q G5q | A5q G5q F#5q E5q | D5w";
  std::string xml = WrittenScore("4/4", {{"Alto 1", {melody}},
                                         {"Alto 2", {"rw | rw | rw | rw"}},
                                         {"Tenor", {"rw | rw | rw | rw"}},
                                         {"Baritone", {"rw | rw | rw | rw"}}});
  // Each saxophone's transposition (the octave lower of tenor and baritone included), and the
  // tenor's key a fourth above the altos'.
  const char* transposed[] = {
      "<diatonic>-5</diatonic><chromatic>-9</chromatic>",
      "<diatonic>-5</diatonic><chromatic>-9</chromatic>",
      "<diatonic>-1</diatonic><chromatic>-2</chromatic><octave-change>-1</octave-change>",
      "<diatonic>-5</diatonic><chromatic>-9</chromatic><octave-change>-1</octave-change>"};
  size_t at = 0;
  for (const char* t : transposed) {
    at = xml.find("</staves>", at) + 9;
    xml.insert(at, std::string("<transpose>") + t + "</transpose>");
  }
  size_t tenor = xml.find("<fifths>0</fifths>", xml.find("<part id=\"P3\">"));
  xml.replace(tenor, 18, "<fifths>-1</fifths>");
  auto symbol = [](const char* root, const char* kind, int offset) {
    return std::string("<harmony><root><root-step>") + root[0] + "</root-step>" +
           (root[1] ? "<root-alter>1</root-alter>" : "") + "</root><kind>" + kind + "</kind>" +
           (offset ? "<offset>" + std::to_string(offset) + "</offset>" : "") + "</harmony>";
  };
  const std::string symbols[] = {
      symbol("D", "minor-seventh", 0) + symbol("G", "dominant", 8), symbol("C", "major-seventh", 0),
      symbol("A", "minor-seventh", 0) + symbol("D", "dominant", 8), symbol("G", "major-sixth", 0)};
  size_t p1 = xml.find("<part id=\"P1\">");
  for (int m = 4; m >= 1; --m) {
    size_t bar = xml.find("<measure number=\"" + std::to_string(m) + "\">", p1);
    size_t note = xml.find("<note>", bar);
    xml.insert(note, symbols[m - 1]);
  }
  ASSERT_TRUE(Valid(xml));

  std::vector<uint8_t> bytes(xml.begin(), xml.end());
  struct Step {
    const char* task;
    const char* parts;
  } steps[] = {{"Block Chords", "P1"}, {"Drop 2nd", "P1"}, {"Explode", ""}};
  ScoreJobResult r;
  for (const Step& step : steps) {
    ScoreJobOptions o;
    o.task = step.task;
    o.parts = step.parts;
    r = RunScoreJob(std::vector<uint8_t>(bytes), "soli.musicxml", o, Plugin());
    ASSERT_EQ(0, r.status) << step.task << ": " << r.error;
    bytes = r.output;
  }
  std::string soli(bytes.begin(), bytes.end());
  EXPECT_TRUE(Valid(soli));
  EXPECT_EQ("", OpenMarks(soli));
  // Four lines of single notes; the first alto has the melody as written, on top of all four
  // as they sound.
  EXPECT_EQ("[F5] [E5] [D5] [B4] | [C5] [E5] [G5] | [A5] [G5] [F#5] [E5] | [D5]",
            Chords(soli, "P1"));
  // The inner lines as written: Dm7 under F5 is F5 D5 C5 A4 in close position, D dropped an
  // octave; E5 over it is no tone of Dm7 and gets a diminished seventh spelled by letters down
  // (C#5 A#4 F##4), whose F##4 the tenor writes B#4.
  EXPECT_EQ("[C5] [A#4] [G4] [F4] | [G4] [B4] [C5] | [E5] [C5] [C5] [A#4] | [G4]",
            Chords(soli, "P2"));
  EXPECT_EQ("[D5] [B#4] [Bb4] [G4] | [A4] [C5] [E5] | [F5] [D5] [D5] [B#4] | [A4]",
            Chords(soli, "P3"));
  EXPECT_EQ("[D5] [C#5] [B4] [G4] | [B4] [C5] [E5] | [G5] [E5] [D5] [C#5] | [B4]",
            Chords(soli, "P4"));
  const char* parts[] = {"P1", "P2", "P3", "P4"};
  const int sounding[] = {-9, -9, -14, -21}; // written to sounding, in semitones
  std::vector<std::vector<int>> lines[4];
  for (int k = 0; k < 4; ++k) {
    lines[k] = Keys(soli, parts[k], sounding[k]);
    ASSERT_EQ(12u, lines[k].size()) << parts[k];
  }
  for (size_t e = 0; e < 12; ++e)
    for (int k = 0; k < 4; ++k) {
      ASSERT_EQ(1u, lines[k][e].size()) << parts[k] << " entry " << e;
      if (k) {
        EXPECT_GT(lines[k - 1][e][0], lines[k][e][0]) << parts[k] << " entry " << e;
      }
    }
  // Each written note within the saxophones' written range, B-flat 3 to F6 (58 to 89).
  for (const char* part : parts)
    for (const std::vector<int>& entry : Keys(soli, part))
      EXPECT_TRUE(entry[0] >= 58 && entry[0] <= 89) << part << ": " << entry[0];
}

// A pitch named as the changed chords' list names it ("Bb3", "A##3") as a MIDI key.
int KeyNamed(const std::string& name) {
  const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A to G
  int key = steps[(name[0] - 'A') % 7], k = 1;
  for (; name[k] == '#' || name[k] == 'b'; ++k)
    key += name[k] == '#' ? 1 : -1;
  return key + 12 * (std::stoi(name.substr(k)) + 1);
}

std::vector<int> KeysNamed(const std::string& names) {
  std::vector<int> keys;
  std::istringstream in(names);
  for (std::string n; in >> n;)
    keys.push_back(KeyNamed(n));
  return keys;
}

// The pitch classes of keys, sorted: a chord's form as a multiset.
std::vector<int> Classes(std::vector<int> keys) {
  for (int& k : keys)
    k = (k % 12 + 12) % 12;
  std::sort(keys.begin(), keys.end());
  return keys;
}

// Two public-domain lead sheets (tests/musicxml/files/leadsheets) realized and blocked: every
// chord written holds its symbol's four-note form, tone for tone (a triad doubling its root),
// the bass its root; each melody note tops its block chord, a diminished seventh chord under
// a note that is no tone of the symbol.
TEST(ChordSymbolTasks, RealLeadSheetsGetEachSymbolsFormAndKeepTheirMelodyOnTop) {
  // Every symbol the two sheets use, by hand, lowest tone in octave 4.
  const std::map<std::string, std::string> forms = {
      {"F", "F4 A4 C5 F5"},  {"Bb", "Bb4 D5 F5 Bb5"}, {"C", "C4 E4 G4 C5"},  {"Dm", "D4 F4 A4 D5"},
      {"G7", "G4 B4 D5 F5"}, {"C7", "C4 E4 G4 Bb4"},  {"F7", "F4 A4 C5 Eb5"}};
  struct Case {
    const char* file;
    const char* task;
    const char* parts;
    const char* voicing;
    size_t chords; // changed
  } cases[] = {
      {"leadsheets/jeanie.musicxml", "Realize Chord Symbols", "Piano", "close", 88},
      {"leadsheets/jeanie.musicxml", "Realize Chord Symbols", "Piano", "drop2", 88},
      {"leadsheets/jeanie.musicxml", "Block Chords", "Melody", "", 94},
      {"leadsheets/ragtime.musicxml", "Realize Chord Symbols", "Piano", "close", 66},
      {"leadsheets/ragtime.musicxml", "Realize Chord Symbols", "Piano", "drop2", 66},
      {"leadsheets/ragtime.musicxml", "Block Chords", "Melody", "", 128},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.task + " " + c.voicing);
    ScoreJobOptions o;
    o.parts = c.parts;
    o.voicing = c.voicing;
    o.listChanges = true;
    ScoreJobResult r = RunFile(c.file, c.task, false, o);
    ASSERT_EQ(0, r.status) << r.error;
    EXPECT_EQ(c.chords, r.changes.size());
    bool block = std::string(c.task) == "Block Chords";
    EXPECT_EQ(Part(r.beforeXml, block ? "P2" : "P1"), Part(r.afterXml, block ? "P2" : "P1"));
    EXPECT_TRUE(Valid(std::string(r.output.begin(), r.output.end())));
    for (const musicxml::ChangedChord& ch : r.changes) {
      SCOPED_TRACE("measure " + ch.measure + ", staff " + std::to_string(ch.staff) + ", " +
                   ch.symbol + ": " + ch.before + " -> " + ch.after);
      ASSERT_EQ(1u, forms.count(ch.symbol));
      std::vector<int> form = KeysNamed(forms.at(ch.symbol)), after = KeysNamed(ch.after);
      if (!block && ch.staff == 2) { // the bass: the root
        ASSERT_EQ(1u, after.size());
        EXPECT_EQ(form[0] % 12, after[0] % 12);
        continue;
      }
      ASSERT_EQ(4u, after.size());
      if (!block) {
        EXPECT_EQ(Classes(form), Classes(after));
        continue;
      }
      ASSERT_EQ(1u, KeysNamed(ch.before).size());
      EXPECT_EQ(KeysNamed(ch.before)[0], after.back()); // the melody note on top
      std::vector<int> classes = Classes(form);
      if (std::count(classes.begin(), classes.end(), after.back() % 12)) {
        EXPECT_EQ(classes, Classes(after));
      } else {
        for (size_t k = 1; k < 4; ++k)
          EXPECT_EQ(3, after[k] - after[k - 1]) << "a diminished seventh chord";
      }
    }
  }
}

TEST(ChordSymbolOptions, TheCommandTakesAVoicingLeadingAndARangeAndRefusesOthers) {
  struct Case {
    std::vector<const char*> args;
    const char* error; // empty: taken
  } cases[] = {
      {{"--voicing", "drop24", "--no-lead", "--range", "D4-C6"}, ""},
      {{"--voicing=shell"}, ""},
      {{"--voicing", "drop3"}, "--voicing needs a voicing: close, drop2, drop24, shell or root"},
      {{"--range", "E4-C5"}, "--range: the top notes' range \"E4-C5\" is too narrow"},
      {{"--range", "low-high"}, "is not two pitches such as E4-A5"},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv = {const_cast<char*>("qvchord"), const_cast<char*>("song.musicxml")};
    for (const char* a : c.args)
      argv.push_back(const_cast<char*>(a));
    CommandLine line;
    std::string error;
    bool ok = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &line, &error);
    SCOPED_TRACE(c.args[0]);
    EXPECT_EQ(*c.error == 0, ok) << error;
    EXPECT_NE(std::string::npos, error.find(c.error)) << error;
  }
  CommandLine line;
  std::vector<char*> argv = {const_cast<char*>("qvchord"), const_cast<char*>("a.musicxml"),
                             const_cast<char*>("--voicing"), const_cast<char*>("drop2"),
                             const_cast<char*>("--no-lead")};
  std::string error;
  ASSERT_TRUE(ParseCommandLine(5, argv.data(), &line, &error)) << error;
  EXPECT_EQ("drop2", line.voicing);
  EXPECT_TRUE(line.noLeading);
}

TEST(ChordSymbolOptions, TheTasksAreListedAndFoundByTheirNamesAsTyped) {
  std::vector<std::string> names;
  for (const TaskInfo& t : AllTasks(Plugin()))
    names.push_back(t.name);
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ("Realize Chord Symbols", names[names.size() - 2]);
  EXPECT_EQ("Block Chords", names.back());
  for (const char* typed : {"realize", "Realize chord symbols", "block", "BLOCK-CHORDS"}) {
    ScoreJobOptions o;
    o.dryRun = true;
    ScoreJobResult r = RunFile(kLeadSheet, typed, false, o);
    EXPECT_EQ(0, r.status) << typed << ": " << r.error;
    EXPECT_TRUE(IsFileTask(r.task)) << typed << ": " << r.task;
  }
}

} // namespace
