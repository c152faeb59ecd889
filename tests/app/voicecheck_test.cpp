// The voice-leading check through the job and the command: a hand-made chorale with one fault
// of each kind, a clean one, the selection, and the check of a task's result; voices as written
// in hand-made cases and in real chorales in four parts.
#include "commandline.h"
#include "scorefixture.h"

using namespace scoretest;

namespace {

ScoreJobResult Check(const std::string& file, const std::string& measures = "") {
  ScoreJobOptions o;
  o.check = true;
  o.applyTask = false;
  o.measures = measures;
  return RunFile(file, "", false, o);
}

// The check alone on a score's text.
ScoreJobResult CheckText(const std::string& xml) {
  ScoreJobOptions o;
  o.check = true;
  o.applyTask = false;
  return RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "case.musicxml", o, Plugin());
}

std::vector<VoiceFaultKind> Kinds(const std::vector<VoiceFault>& faults) {
  std::vector<VoiceFaultKind> kinds;
  for (const VoiceFault& f : faults)
    kinds.push_back(f.kind);
  return kinds;
}

// One staff of chords: its voices are its notes from the bass up, so the tenor rising to where
// the alto was (beat 4) stays below it and crosses nothing.
TEST(VoiceCheck, TheFaultyChoraleHasOneOfEachKindWhereItWasWritten) {
  ScoreJobResult r = Check("chorale-faults.musicxml");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(
      (std::vector<VoiceFaultKind>{VoiceFaultKind::ParallelFifths, VoiceFaultKind::ParallelOctaves,
                                   VoiceFaultKind::HiddenFifths, VoiceFaultKind::Spacing}),
      Kinds(r.faults));
  ASSERT_EQ(4u, r.faults.size());
  const VoiceFault& fifths = r.faults[0];
  EXPECT_EQ("P1", fifths.part);
  EXPECT_EQ("Chorale", fifths.partName);
  EXPECT_EQ("1", fifths.measure);
  EXPECT_EQ(2.0, fifths.beat);
  EXPECT_EQ(1, fifths.lower);
  EXPECT_EQ(2, fifths.upper);
  EXPECT_EQ("C3 G3", fifths.before);
  EXPECT_EQ("D3 A3", fifths.after);
  EXPECT_EQ("A3 A4", r.faults[1].before); // tenor and soprano
  EXPECT_EQ("C3 C5", r.faults[2].before); // the outer voices, the soprano leaping
  EXPECT_EQ("D3 A5", r.faults[2].after);
  EXPECT_EQ("2", r.faults[3].measure);
  EXPECT_EQ(2.0, r.faults[3].beat);
  EXPECT_EQ("", r.faults[3].before); // spacing is one chord's
  EXPECT_EQ("A3 B4", r.faults[3].after);
  EXPECT_EQ("part P1 (Chorale), measure 1, beat 2, staff 1, voice 1: parallel fifths, voices 1 "
            "and 2 from the bass: C3 G3 -> D3 A3\n",
            r.checkText.substr(0, r.checkText.find('\n') + 1));
  EXPECT_EQ("voice leading: 4 faults: 1 parallel fifth, 1 parallel octave or unison, 1 hidden "
            "fifth or octave, 0 voices crossing, 1 pair of upper voices over an octave apart",
            r.checkSummary);
  // A report: nothing applied, nothing to write.
  EXPECT_TRUE(r.changes.empty());
  EXPECT_TRUE(r.output.empty());
}

TEST(VoiceCheck, TheCleanChoraleHasNone) {
  ScoreJobResult r = Check("chorale-clean.musicxml");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_TRUE(r.faults.empty()) << r.checkText;
  EXPECT_EQ("", r.checkText);
  EXPECT_EQ(0u, r.checkSummary.find("voice leading: 0 faults: 0 parallel fifths"));
}

// Measure 2 alone: its first chord has no chord before it in the selection.
TEST(VoiceCheck, OnlyTheSelectedMeasuresAreChecked) {
  ScoreJobResult two = Check("chorale-faults.musicxml", "2");
  EXPECT_EQ(std::vector<VoiceFaultKind>{VoiceFaultKind::Spacing}, Kinds(two.faults));
  ScoreJobResult one = Check("chorale-faults.musicxml", "1");
  EXPECT_EQ(2u, one.faults.size());
  // Measures 1 and 2 with nothing between them: as the whole.
  EXPECT_EQ(4u, Check("chorale-faults.musicxml", "1,2").faults.size());
}

// A fault in short: "parallel fifths 1:3 1-2 Bb2 F4 -> C3 G4" (kind, measure:beat, the two
// voices from the bass, their notes).
std::string Short(const VoiceFault& f) {
  char beat[32];
  snprintf(beat, sizeof beat, "%g", f.beat);
  return std::string(FaultName(f.kind)) + " " + f.measure + ":" + beat + " " +
         std::to_string(f.lower) + "-" + std::to_string(f.upper) + " " +
         (f.before.empty() ? f.after : f.before + " -> " + f.after);
}

std::vector<std::string> Shorts(const std::vector<VoiceFault>& faults) {
  std::vector<std::string> out;
  for (const VoiceFault& f : faults)
    out.push_back(Short(f));
  return out;
}

TEST(VoiceCheck, HearsTheVoicesAsWrittenAndComparesOnlyWhereBothSound) {
  struct Case {
    const char* what;
    const char* time;
    std::vector<WrittenPart> parts;
    std::vector<std::string> faults;
    std::string line = ""; // the first line printed, when given
  };
  const Case cases[] = {
      {"four notes to three: the Eb goes to the D, no fifths Ab3 Eb4 -> Bb3 F4",
       "4/4",
       {{"Piano", {"Ab3+Bb3+Eb4+G4q Bb3+D4+F4h."}}},
       {}},
      {"a chord staff: a chorale in one staff, two voices meeting on F4 and parting again",
       "4/4",
       {{"Choir", {"C3+G3+E4+C5q D3+A3+F4q E3+B3+G4+E5h"}}},
       {"parallel fifths 1:2 1-2 C3 G3 -> D3 A3", "parallel fifths 1:3 1-2 D3 A3 -> E3 B3",
        "hidden fifths or octaves 1:3 1-4 D3 F4 -> E3 E5"}},
      {"a passing tone over a held bass: no fifths D3 A4 -> Bb2 F4 from beat to beat",
       "4/4",
       {{"Soprano", {"A4e G4e F4q G4h"}}, {"Bass", {"D3q Bb2q C3h"}}},
       {"parallel fifths 1:3 1-2 Bb2 F4 -> C3 G4"},
       "part P2 (Bass), measure 1, beat 3, staff 1, voice 1, with part P1 (Soprano), staff 1, "
       "voice 1: parallel fifths, voices 1 and 2 from the bass: Bb2 F4 -> C3 G4"},
      {"nothing across rests", "4/4", {{"Piano", {"F3+F5q rq rh | rw | Bb2+Bb4w"}}}, {}},
      {"nothing across a grace note", "4/4", {{"Piano", {"C3+G3q gE3+B3e D3+A3h."}}}, {}},
      {"tenor and bass crossing: one crossing, no parallels",
       "4/4",
       {{"Tenor", {"C4q G3h."}}, {"Bass", {"F3q D4h."}}},
       {"voices crossing 1:2 1-2 F3 C4 -> D4 G3"}},
      {"spacing between upper voices next to each other in pitch: the soprano under the alto",
       "4/4",
       {{"S", {"B3h B3h"}}, {"A", {"C5h D5h"}}, {"T", {"E4h F4h"}}, {"B", {"C3h D3h"}}},
       {"parallel octaves or unisons 1:3 1-3 C3 C5 -> D3 D5"}},
      {"an upbeat counts back from its end",
       "4/4",
       {{"Piano", {"C3+G4q D3+A4q | E3+C5w"}}},
       {"parallel fifths 1:4 1-2 C3 G4 -> D3 A4"}},
      {"3/2 has three beats of a half",
       "3/2",
       {{"Piano", {"C4+E4h C4+G4h D4+A4h"}}},
       {"parallel fifths 1:3 1-2 C4 G4 -> D4 A4"}},
      {"6/8 has two beats of a dotted quarter",
       "6/8",
       {{"Piano", {"C4+G4q. D4+A4q."}}},
       {"parallel fifths 1:2 1-2 C4 G4 -> D4 A4"}},
      {"a piano part of two staves: the left hand's bass with the right hand's chord",
       "4/4",
       {{"Piano", {"E4+G4+C5q F4+A4+D5h.", "C3q D3h."}}},
       {"parallel fifths 1:2 1-3 C3 G4 -> D3 A4",
        "parallel octaves or unisons 1:2 1-4 C3 C5 -> D3 D5"},
       "part P1 (Piano), measure 1, beat 2, staff 2, voice 2, with part P1 (Piano), staff 1, voice "
       "1: parallel fifths, voices 1 and 3 from the bass: C3 G4 -> D3 A4"},
  };
  for (const Case& c : cases) {
    ScoreJobResult r = CheckText(WrittenScore(c.time, c.parts));
    ASSERT_EQ(0, r.status) << c.what << ": " << r.error;
    EXPECT_EQ(c.faults, Shorts(r.faults)) << c.what;
    if (!c.line.empty()) {
      EXPECT_EQ(c.line + "\n", r.checkText.substr(0, r.checkText.find('\n') + 1));
    }
  }
}

// A clarinet in B-flat written D5 E5 sounds C5 D5: fifths with the bass as they sound, named as
// written.
TEST(VoiceCheck, ComparesTransposingPartsAsTheySound) {
  std::string xml = WrittenScore("4/4", {{"Clarinet", {"D5q E5h."}}, {"Bass", {"F3q G3h."}}});
  xml.replace(xml.find("</attributes>"), 0,
              "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose>");
  ScoreJobResult r = CheckText(xml);
  EXPECT_EQ(std::vector<std::string>{"parallel fifths 1:2 1-2 F3 D5 -> G3 E5"}, Shorts(r.faults));
}

// Eleven parts of twelve-note chords: 132 voices at once are not compared two by two, and the
// summary says so.
TEST(VoiceCheck, APlaceOfTooManyVoicesIsCountedNotCompared) {
  std::vector<WrittenPart> parts(
      11, {"Tutti", {"C3+D3+E3+F3+G3+A3+B3+C4+D4+E4+F4+G4h D3+E3+F3+G3+A3+B3+C4+D4+E4+F4+G4+A4h"}});
  ScoreJobResult r = CheckText(WrittenScore("4/4", parts));
  EXPECT_TRUE(r.faults.empty());
  EXPECT_EQ("; 2 places of more than 128 voices not compared",
            r.checkSummary.substr(r.checkSummary.find(';')));
}

// Chorales in four parts (3/4; 3/4 with an upbeat; 3/2; 4/4 with an upbeat, rests and ties):
// each fault found by hand in the parts as written, every moment compared, and no other.
TEST(VoiceCheck, RealChoralesInPartsHaveTheFaultsFoundByHand) {
  const std::pair<const char*, std::vector<std::string>> chorales[] = {
      {"bwv122.6",
       {"voices crossing 1:2.5 3-4 G4 G4 -> A4 G4",
        "hidden fifths or octaves 13:1 1-4 Bb2 Bb4 -> Bb3 F5"}},
      {"bwv130.6",
       {"upper voices over an octave apart 3:2 2-3 G3 C5",
        "upper voices over an octave apart 14:3 2-3 A3 C5",
        "voices crossing 14:3.5 1-2 A3 A3 -> B3 A3",
        "upper voices over an octave apart 15:1 2-3 G3 C5"}},
      {"bwv123.6",
       {"voices crossing 7:1 3-4 F#4 D5 -> F#4 D4",
        "hidden fifths or octaves 7:1 1-4 B2 D5 -> G2 D4",
        "voices crossing 7:3 2-3 B3 D4 -> E4 C#4"}},
      {"bwv119.9",
       {"hidden fifths or octaves 4:3 1-4 G2 G4 -> G3 D5",
        "voices crossing 13:3 1-2 C3 C4 -> C4 A3", "voices crossing 15:4 2-3 G4 C5 -> A4 E4"}}};
  for (const auto& c : chorales)
    EXPECT_EQ(c.second, Shorts(Check(std::string("chorales/") + c.first + ".musicxml").faults))
        << c.first;
  EXPECT_NE(std::string::npos, Check("chorales/bwv123.6.musicxml")
                                   .checkSummary.find(": 0 parallel fifths, 0 parallel octaves or "
                                                      "unisons, 1 hidden fifth or octave, 2 voices "
                                                      "crossing, 0 pairs of upper voices"));
}

// After a task the check reads the result: a dry run's check equals the check of the file the
// same task writes.
TEST(VoiceCheck, AfterATaskItChecksTheResult) {
  ScoreJobOptions o;
  o.check = true;
  o.dryRun = true;
  ScoreJobResult dry = RunFile("chorale-faults.musicxml", "Voice Leading", false, o);
  ASSERT_EQ(0, dry.status) << dry.error;
  ASSERT_FALSE(dry.changes.empty());
  ScoreJobResult written = RunFile("chorale-faults.musicxml", "Voice Leading");
  ASSERT_FALSE(written.output.empty());
  ScoreJobOptions only;
  only.check = true;
  only.applyTask = false;
  ScoreJobResult after = RunScoreJob(written.output, "after.musicxml", only, Plugin());
  EXPECT_EQ(after.checkText, dry.checkText);
  EXPECT_EQ(after.checkSummary, dry.checkSummary);
  EXPECT_NE(Check("chorale-faults.musicxml").checkText, dry.checkText);
}

TEST(VoiceCheck, HandedOutAsFoundTheLinesAreTheSameAndNoneIsKept) {
  struct Case {
    const char* what;
    std::string task;
    bool dryRun;
  } cases[] = {{"alone", "", false},
               {"after a dry run", "Voice Leading", true},
               {"after a task", "Voice Leading", false}};
  for (const Case& c : cases) {
    ScoreJobOptions o;
    o.check = true;
    o.applyTask = !c.task.empty();
    o.dryRun = c.dryRun;
    ScoreJobResult kept = RunFile("chorale-faults.musicxml", c.task, false, o);
    std::string lines;
    o.checkLines = [&lines](const std::string& line) { lines += line; };
    ScoreJobResult handed = RunFile("chorale-faults.musicxml", c.task, false, o);
    ASSERT_EQ(0, handed.status) << c.what << ": " << handed.error;
    EXPECT_FALSE(kept.checkText.empty()) << c.what;
    EXPECT_EQ(kept.checkText, lines) << c.what;
    EXPECT_EQ(kept.checkSummary, handed.checkSummary) << c.what;
    EXPECT_TRUE(handed.checkText.empty() && handed.faults.empty()) << c.what;
    EXPECT_EQ(kept.output, handed.output) << c.what;
  }
}

// The note of a drawing's text that carries an id, as the check names notes: "F#3".
std::string NoteNamed(const pugi::xml_document& doc, const std::string& id, int* count) {
  std::string name;
  *count = 0;
  for (pugi::xpath_node x : doc.select_nodes("//note[@id]")) {
    pugi::xml_node n = x.node();
    if (id != n.attribute("id").value()) continue;
    ++*count;
    pugi::xml_node p = n.child("pitch");
    int alter = p.child("alter").text().as_int();
    name = std::string(p.child_value("step")) +
           (alter > 0 ? std::string(alter, '#') : std::string(-alter, 'b')) +
           p.child_value("octave");
  }
  return name;
}

// Every fault's notes named once each in the text to draw, and they are the notes its line
// names; the file itself is not written.
void ExpectNamedOnce(const ScoreJobResult& r) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(r.afterXml.c_str()));
  for (const VoiceFault& f : r.faults) {
    std::string names = (f.before.empty() ? "" : f.before + " ") + f.after;
    ASSERT_EQ(f.before.empty() ? 2u : 4u, f.ids.size()) << names;
    std::string found;
    for (const std::string& id : f.ids) {
      int count = 0;
      found += (found.empty() ? "" : " ") + NoteNamed(doc, id, &count);
      EXPECT_EQ(1, count) << id;
    }
    EXPECT_EQ(names, found);
  }
}

TEST(VoiceCheck, MarkedForTheDrawingEachFaultNamesItsOwnNotes) {
  ScoreJobOptions o;
  o.check = true;
  o.applyTask = false;
  o.markShown = true;
  ScoreJobResult r = RunFile("chorale-faults.musicxml", "", false, o);
  ASSERT_EQ(0, r.status) << r.error;
  ASSERT_EQ(4u, r.faults.size());
  EXPECT_TRUE(r.output.empty());
  ExpectNamedOnce(r);
  EXPECT_EQ(Check("chorale-faults.musicxml").checkText, r.checkText); // the lines unchanged
  // The marked text checked again over a smaller selection: the names of the check before go,
  // none is given twice.
  o.measures = "2";
  std::vector<uint8_t> marked(r.afterXml.begin(), r.afterXml.end());
  ScoreJobResult again = RunScoreJob(marked, "marked.musicxml", o, Plugin());
  ASSERT_EQ(1u, again.faults.size());
  ExpectNamedOnce(again);
  EXPECT_EQ(std::string::npos, again.afterXml.find("qv-fault-2"));
  // Two voices of one fault in two parts: each named in its own part.
  o.measures = "";
  ScoreJobResult parts = RunFile("chorales/bwv122.6.musicxml", "", false, o);
  ASSERT_EQ(2u, parts.faults.size());
  ExpectNamedOnce(parts);
  // Without the mark the job draws nothing and names nothing.
  ScoreJobResult plain = Check("chorale-faults.musicxml");
  EXPECT_EQ("", plain.afterXml);
  EXPECT_TRUE(plain.faults[0].ids.empty());
}

// After a task the changed chords' names stay: a fault's note in a changed chord is found by
// the name the changed-chords list finds it by.
TEST(VoiceCheck, MarkedAfterATaskTheChangedChordsKeepTheirNames) {
  ScoreJobOptions o;
  o.check = true;
  o.markShown = true;
  ScoreJobResult r = RunFile("chorale-faults.musicxml", "Drop 2nd", false, o);
  ASSERT_EQ(0, r.status) << r.error;
  ASSERT_FALSE(r.faults.empty());
  ExpectNamedOnce(r);
  bool changed = false;
  for (const VoiceFault& f : r.faults)
    for (const std::string& id : f.ids)
      changed = changed || id.rfind("qv-change-", 0) == 0;
  EXPECT_TRUE(changed) << r.checkText;
  std::string output(r.output.begin(), r.output.end());
  EXPECT_EQ(std::string::npos, output.find("qv-fault"));
}

TEST(VoiceCheckCommand, CheckIsAFlagThatNeedsAScore) {
  auto parse = [](std::vector<std::string> words, CommandLine* c, std::string* error) {
    std::vector<char*> argv = {const_cast<char*>("qvhost")};
    for (std::string& w : words)
      argv.push_back(&w[0]);
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), c, error);
  };
  CommandLine c;
  std::string error;
  ASSERT_TRUE(parse({"a.musicxml", "--check"}, &c, &error)) << error;
  EXPECT_TRUE(c.check);
  EXPECT_TRUE(c.task.empty());
  CommandLine alone;
  EXPECT_FALSE(parse({"--check"}, &alone, &error));
  EXPECT_NE(std::string::npos, error.find("no score file given")) << error;
  CommandLine valued;
  EXPECT_FALSE(parse({"a.musicxml", "--check=yes"}, &valued, &error));
  EXPECT_NE(std::string::npos, error.find("--check takes no value")) << error;
}

TEST(VoiceCheckCommand, PrintsTheLinesAndTheSummaryAndWritesNothing) {
  TempFolder folder;
  std::vector<uint8_t> bytes = ReadBytes(FilePath("chorale-faults.musicxml"));
  std::string file = folder.Write("c.musicxml", std::string(bytes.begin(), bytes.end()));
  std::string out;
  EXPECT_EQ(0, Command("--score " + file + " --check", &out)) << out;
  EXPECT_EQ(Check("chorale-faults.musicxml").checkText +
                Check("chorale-faults.musicxml").checkSummary + "\n",
            out);
  EXPECT_EQ(1, folder.Count());
  // With a task: its summary, then the check of what it wrote.
  out.clear();
  EXPECT_EQ(0, Command("--score " + file + " --task voice --check", &out)) << out;
  std::vector<uint8_t> written = ReadBytes(folder.Path("c-voice-leading.musicxml"));
  ScoreJobOptions only;
  only.check = true;
  only.applyTask = false;
  ScoreJobResult after = RunScoreJob(written, "c.musicxml", only, Plugin());
  EXPECT_EQ(0u, out.find("Voice Leading: ")) << out;
  EXPECT_EQ(out.find('\n') + 1, out.find(after.checkText + after.checkSummary + "\n")) << out;
  EXPECT_EQ(2, folder.Count());
  // Several scores: one at a time.
  out.clear();
  EXPECT_EQ(2, Command(folder.Path("") + " --check", &out));
  EXPECT_NE(std::string::npos, out.find("--check reports on one score at a time")) << out;
}

} // namespace
