// The voice-leading check through the job and the command: a hand-made chorale with one fault
// of each kind, a clean one, the selection, and the check of a task's result.
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

std::vector<VoiceFaultKind> Kinds(const std::vector<VoiceFault>& faults) {
  std::vector<VoiceFaultKind> kinds;
  for (const VoiceFault& f : faults)
    kinds.push_back(f.kind);
  return kinds;
}

TEST(VoiceCheck, TheFaultyChoraleHasOneOfEachKindWhereItWasWritten) {
  ScoreJobResult r = Check("chorale-faults.musicxml");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ((std::vector<VoiceFaultKind>{VoiceFaultKind::ParallelFifths,
                                         VoiceFaultKind::ParallelOctaves, VoiceFaultKind::Crossing,
                                         VoiceFaultKind::HiddenFifths, VoiceFaultKind::Spacing}),
            Kinds(r.faults));
  ASSERT_EQ(5u, r.faults.size());
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
  EXPECT_EQ("B3 D4", r.faults[2].before); // the tenor rises past where the alto was
  EXPECT_EQ("E4 G4", r.faults[2].after);
  EXPECT_EQ("C3 C5", r.faults[3].before); // the outer voices, the soprano leaping
  EXPECT_EQ("D3 A5", r.faults[3].after);
  EXPECT_EQ("2", r.faults[4].measure);
  EXPECT_EQ(2.0, r.faults[4].beat);
  EXPECT_EQ("", r.faults[4].before); // spacing is one chord's
  EXPECT_EQ("A3 B4", r.faults[4].after);
  EXPECT_EQ("part P1 (Chorale), measure 1, beat 2, staff 1, voice 1: parallel fifths, voices 1 "
            "and 2 from the bass: C3 G3 -> D3 A3\n",
            r.checkText.substr(0, r.checkText.find('\n') + 1));
  EXPECT_EQ("voice leading: 5 faults: 1 parallel fifths, 1 parallel octaves or unisons, 1 hidden "
            "fifths or octaves, 1 voices crossing, 1 upper voices over an octave apart",
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
  EXPECT_EQ(3u, one.faults.size());
  // Measures 1 and 2 with nothing between them: as the whole.
  EXPECT_EQ(5u, Check("chorale-faults.musicxml", "1,2").faults.size());
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
  ASSERT_EQ(5u, r.faults.size());
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
