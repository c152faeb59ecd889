// Explode and Reduce on hand-made scores through the score job with the real plug-in module:
// every part's chords read back note by note, ties and accidentals where the rules put them,
// bytes outside the selection as the file had them, and the schema's word on the output.
#include "scorefixture.h"

#include <set>

using namespace scoretest;

namespace {

ScoreJobResult RunJob(const std::string& file, const std::string& task, bool bottom = false,
                      const std::string& measures = "") {
  ScoreJobOptions o;
  o.measures = measures;
  ScoreJobResult r = RunFile(file, task, bottom, o);
  EXPECT_EQ("", OpenMarks(r.afterXml)) << file << " " << task;
  return r;
}

// The same job on a text instead of a file.
ScoreJobResult RunText(const std::string& xml, const std::string& task,
                       const std::string& measures = "") {
  ScoreJobOptions o;
  o.task = task;
  o.measures = measures;
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "score.musicxml", o, Plugin());
  EXPECT_EQ("", OpenMarks(r.afterXml)) << task;
  return r;
}

std::string Text(const std::string& file) {
  std::vector<uint8_t> b = ReadBytes(FilePath(file));
  return std::string(b.begin(), b.end());
}

// The text of one measure of one part, byte for byte.
std::string MeasureText(const std::string& xml, const std::string& part, int measure) {
  size_t p = xml.find("<part id=\"" + part + "\">");
  size_t m = xml.find("<measure number=\"" + std::to_string(measure) + "\"", p);
  return xml.substr(m, xml.find("</measure>", m) - m);
}

// The index-th note (from 0) of a measure (from 1) of a part.
pugi::xml_node NoteOf(pugi::xml_document& doc, const std::string& xml, const char* part,
                      int measure, int index) {
  doc.load_string(xml.c_str());
  pugi::xml_node m =
      doc.child("score-partwise").find_child_by_attribute("part", "id", part).child("measure");
  for (int i = 1; i < measure; ++i)
    m = m.next_sibling("measure");
  pugi::xml_node n = m.child("note");
  for (int i = 0; i < index; ++i)
    n = n.next_sibling("note");
  return n;
}

TEST(Explode, AChoraleOnTheTopStaffGoesToFourStavesWithItsTiesRestAndTriplet) {
  ScoreJobResult r = RunJob("explode-chorale.musicxml", "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[C5] [G4] [A4] | [A4] [r] [F4] [G4] [A4] [C5]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[E4] [D4] [C4] | [C4] [r] [C4] [D4] [E4] [E4]", Chords(r.afterXml, "P2"));
  EXPECT_EQ("[G3] [G3] [E3] | [E3] [r] [A3] [B3] [C4] [G3]", Chords(r.afterXml, "P3"));
  EXPECT_EQ("[C3] [B2] [A2] | [A2] [r] [F2] [G2] [A2] [C3]", Chords(r.afterXml, "P4"));
  EXPECT_TRUE(Valid(r.afterXml));
  pugi::xml_document doc;
  for (const char* part : {"P2", "P3", "P4"}) {
    SCOPED_TRACE(part);
    // The half tied over the barline, as in the top staff.
    pugi::xml_node half = NoteOf(doc, r.afterXml, part, 1, 2);
    EXPECT_STREQ("12", half.child_value("duration"));
    EXPECT_STREQ("half", half.child_value("type"));
    EXPECT_TRUE(half.find_child_by_attribute("tie", "type", "start"));
    EXPECT_TRUE(NoteOf(doc, r.afterXml, part, 2, 0).find_child_by_attribute("tie", "type", "stop"));
    // The triplet keeps its time modification and its bracket.
    pugi::xml_node first = NoteOf(doc, r.afterXml, part, 2, 2);
    EXPECT_STREQ("2", first.child_value("duration"));
    EXPECT_STREQ("3", first.child("time-modification").child_value("actual-notes"));
    EXPECT_STREQ("start", first.child("notations").child("tuplet").attribute("type").value());
    EXPECT_STREQ("stop", NoteOf(doc, r.afterXml, part, 2, 4)
                             .child("notations")
                             .child("tuplet")
                             .attribute("type")
                             .value());
  }
  EXPECT_EQ("Explode: 32 chords changed in 2 measures on 4 staves", r.summary);
}

TEST(Explode, ThenReduceGivesBackTheChordsAndReduceThenExplodeTheLines) {
  ScoreJobResult lines = RunJob("explode-chorale.musicxml", "Explode");
  ASSERT_EQ(0, lines.status) << lines.error;
  ScoreJobResult chords = RunText(lines.afterXml, "Reduce");
  ASSERT_EQ(0, chords.status) << chords.error;
  EXPECT_EQ(Chords(Text("explode-chorale.musicxml"), "P1"), Chords(chords.afterXml, "P1"));
  for (const char* part : {"P2", "P3", "P4"})
    EXPECT_EQ("[r] [r] [r] | [r] [r] [r] [r] [r] [r]", Chords(chords.afterXml, part)) << part;
  EXPECT_TRUE(Valid(chords.afterXml));
  // The gathered chords are listed lowest first, as every changed chord is.
  ScoreJobOptions listed;
  listed.task = "Reduce";
  listed.listChanges = true;
  ScoreJobResult list =
      RunScoreJob(std::vector<uint8_t>(lines.afterXml.begin(), lines.afterXml.end()),
                  "score.musicxml", listed, Plugin());
  ASSERT_FALSE(list.changes.empty());
  EXPECT_EQ("C3 G3 E4 C5", list.changes[0].after);
  ScoreJobResult again = RunText(chords.afterXml, "Explode");
  ASSERT_EQ(0, again.status) << again.error;
  for (const char* part : {"P1", "P2", "P3", "P4"})
    EXPECT_EQ(Chords(lines.afterXml, part), Chords(again.afterXml, part)) << part;
  EXPECT_TRUE(Valid(again.afterXml));
}

TEST(Explode, APianoVoicingReachesFiveHornsAtTheSameSoundingPitch) {
  ScoreJobResult r = RunJob("explode-horns.musicxml", "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  // Concert B-flat: Eb4 G4 Bb4 D5 F5, D4 F#4 A4 C5 Eb5, Eb4 G4 Bb4 D5 G5; the piano keeps
  // the lead, the six staves taking one line each and the trombone doubling the lowest.
  EXPECT_EQ("[F5] [Eb5] [G5]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[E5] [D5] [E5]", Chords(r.afterXml, "P2"));   // trumpet in B-flat: a tone up
  EXPECT_EQ("[C5] [B4] [C5]", Chords(r.afterXml, "P3"));   // trumpet in B-flat
  EXPECT_EQ("[E5] [D#5] [E5]", Chords(r.afterXml, "P4"));  // alto in E-flat: a sixth up
  EXPECT_EQ("[F5] [E5] [F5]", Chords(r.afterXml, "P5"));   // tenor: a ninth up
  EXPECT_EQ("[Eb4] [D4] [Eb4]", Chords(r.afterXml, "P6")); // trombone in concert pitch
  pugi::xml_document doc;
  EXPECT_STREQ("sharp", NoteOf(doc, r.afterXml, "P4", 1, 1).child_value("accidental"));
  EXPECT_FALSE(NoteOf(doc, r.afterXml, "P6", 1, 0).child("accidental")); // in the key
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Explode, FewerAndMoreNotesThanStavesFromTheTopAndFromTheBottom) {
  ScoreJobResult top = RunJob("explode-counts.musicxml", "Explode");
  ASSERT_EQ(0, top.status) << top.error;
  // The single G4 is dealt to no one: the staves below keep their B3 and their rest under it.
  EXPECT_EQ("[E4] [G4] [G4]", Chords(top.afterXml, "P1"));
  EXPECT_EQ("[C4] [F4] [B3]", Chords(top.afterXml, "P2"));
  EXPECT_EQ("[C4] [C4 D4 E4] [r]", Chords(top.afterXml, "P3"));
  EXPECT_TRUE(Valid(top.afterXml));
  ScoreJobResult bottom = RunJob("explode-counts.musicxml", "Explode", true);
  ASSERT_EQ(0, bottom.status) << bottom.error;
  // From the bottom the mirror: the first staff takes the highest notes as a chord.
  EXPECT_EQ("[E4] [E4 F4 G4] [G4]", Chords(bottom.afterXml, "P1"));
  EXPECT_EQ("[E4] [D4] [B3]", Chords(bottom.afterXml, "P2"));
  EXPECT_EQ("[C4] [C4] [r]", Chords(bottom.afterXml, "P3"));
  EXPECT_TRUE(Valid(bottom.afterXml));
}

TEST(Explode, AGraceChordGoesToEveryStaffAndReduceGathersItWithoutGraceRests) {
  std::string xml = Text("explode-counts.musicxml");
  xml.insert(xml.find("<note>"),
             "<note><grace/><pitch><step>G</step><octave>4</octave></pitch><voice>1</voice>"
             "<type>eighth</type></note><note><grace/><chord/><pitch><step>D</step>"
             "<octave>4</octave></pitch><voice>1</voice><type>eighth</type></note>");
  ScoreJobResult lines = RunText(xml, "Explode");
  ASSERT_EQ(0, lines.status) << lines.error;
  EXPECT_EQ("g[G4] [E4] [G4] [G4]", Chords(lines.afterXml, "P1"));
  EXPECT_EQ("g[D4] [C4] [F4] [B3]", Chords(lines.afterXml, "P2"));
  EXPECT_EQ("g[D4] [C4] [C4 D4 E4] [r]", Chords(lines.afterXml, "P3"));
  // A grace note has no length to rest for: the emptied staves lose it.
  ScoreJobResult chords = RunText(lines.afterXml, "Reduce");
  ASSERT_EQ(0, chords.status) << chords.error;
  // Each line's note is kept, unisons too: the chords keep their voices.
  EXPECT_EQ("g[D4 D4 G4] [C4 C4 E4] [C4 D4 E4 F4 G4] [B3 G4]", Chords(chords.afterXml, "P1"));
  for (const char* part : {"P2", "P3"})
    EXPECT_EQ("[r] [r] [r]", Chords(chords.afterXml, part)) << part;
  EXPECT_TRUE(Valid(chords.afterXml));
}

TEST(Explode, MeasuresOutsideTheSelectionKeepTheirBytes) {
  ScoreJobResult r = RunJob("explode-chorale.musicxml", "Explode", false, "2");
  ASSERT_EQ(0, r.status) << r.error;
  std::string before = Text("explode-chorale.musicxml");
  for (const char* part : {"P2", "P3", "P4"})
    EXPECT_EQ(MeasureText(before, part, 1), MeasureText(r.afterXml, part, 1)) << part;
  // The chord of measure 1 is tied into measure 2: the three lower notes went to other staves,
  // so their ties would point at nothing and go; the top note's stays. Nothing else changes.
  std::string kept = MeasureText(before, "P1", 1);
  for (int dropped = 0; dropped < 3; ++dropped) {
    size_t tie = kept.find("        <tie type=\"start\"/>\n");
    size_t notations = kept.find("        <notations>\n          <tied type=\"start\"/>\n"
                                 "        </notations>\n");
    ASSERT_TRUE(tie != std::string::npos && notations != std::string::npos);
    kept.erase(notations, std::string("        <notations>\n          <tied type=\"start\"/>\n"
                                      "        </notations>\n")
                              .size());
    kept.erase(tie, std::string("        <tie type=\"start\"/>\n").size());
  }
  EXPECT_EQ(kept, MeasureText(r.afterXml, "P1", 1));
  EXPECT_EQ("[A4] [r] [F4] [G4] [A4] [C5]",
            Chords(r.afterXml, "P1").substr(Chords(r.afterXml, "P1").find("| ") + 2));
  EXPECT_EQ(before.substr(before.find("</part-list>")).substr(0, 10),
            r.afterXml.substr(r.afterXml.find("</part-list>")).substr(0, 10));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Reduce, EveryOnsetBecomesAChordWithTheHeldNoteTiedIntoIt) {
  // The upper quarter B4 over two eighths: split, its first half tied on.
  for (bool bottom : {false, true}) {
    ScoreJobResult r = RunJob("reduce-rhythms.musicxml", "Reduce", bottom);
    ASSERT_EQ(0, r.status) << r.error;
    EXPECT_EQ("[E4 C5] [D4 B4] [G3 B4] [F3 A4]", Chords(r.afterXml, bottom ? "P2" : "P1"));
    EXPECT_EQ(bottom ? "[r] [r] [r]" : "[r] [r] [r] [r]", Chords(r.afterXml, bottom ? "P1" : "P2"));
    EXPECT_EQ("", r.leftAlone);
    EXPECT_TRUE(Valid(r.afterXml));
    pugi::xml_document doc;
    doc.load_string(r.afterXml.c_str());
    std::string held = std::string("//part[@id='") + (bottom ? "P2" : "P1") +
                       "']//note[pitch/step='B'][tie/@type='start'][type='eighth']";
    EXPECT_EQ(1u, doc.select_nodes(held.c_str()).size());
    // And back: the lines as they were.
    if (bottom) continue;
    ScoreJobResult lines = RunText(r.afterXml, "Explode");
    ASSERT_EQ(0, lines.status) << lines.error;
    for (const char* part : {"P1", "P2"})
      EXPECT_EQ(Chords(Text("reduce-rhythms.musicxml"), part), Chords(lines.afterXml, part));
    EXPECT_STREQ("quarter", NoteOf(doc, lines.afterXml, "P1", 1, 1).child_value("type"));
  }
}

TEST(Reduce, PlacesLeftAloneAndCrossedVoicesAreSaidByMeasureAndBeat) {
  // A triplet against two eighths on the second beat: no split meets both, so that beat is left
  // alone on both staves; the beats around it are gathered.
  ScoreJobResult r = RunJob("reduce-tuplet.musicxml", "Reduce");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E4 C5] [B4] [A4] [G4] [F3 A4]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[r] [D4] [G3] [r]", Chords(r.afterXml, "P2"));
  EXPECT_EQ("left alone: 4 places where the staves' rhythms cannot be split to meet, a grace "
            "note is not on every staff, the notes would not fit one chord or the staff they "
            "gather on holds nothing: measure 1 beat 2, measure 1 beat 2.33, measure 1 beat 2.5, "
            "measure 1 beat 2.67",
            r.leftAlone);
  EXPECT_EQ(4u, r.leftAloneCount);
  EXPECT_TRUE(Valid(r.afterXml));
  // Measures as the score names them: the chorale's upbeat is measure 0, so the host's third
  // measure is "2"; there the tenor's E3 sounds under the bass's A3.
  ScoreJobResult crossed = RunJob("chorales/bwv101.7.musicxml", "Reduce", false, "1-2");
  ASSERT_EQ(0, crossed.status) << crossed.error;
  EXPECT_EQ("voices cross at measure 2 beat 2: the chords there do not keep which staff sang "
            "which note",
            crossed.leftAlone);
  EXPECT_EQ(0u, crossed.leftAloneCount);
}

TEST(Explode, AnotherVoiceAfterTheLineKeepsItsTimeThroughABackup) {
  // Part Two's second half note becomes voice 2, following voice 1 with no backup between;
  // the last chord above, a D4 added to its G4, is dealt into the half voice 1 left empty.
  std::string xml = Text("explode-counts.musicxml");
  size_t p2 = xml.find("<part id=\"P2\">");
  xml.replace(xml.find("<voice>1</voice>", xml.find("<voice>1</voice>", p2) + 1), 16,
              "<voice>2</voice>");
  size_t last = xml.rfind("<note>", p2);
  xml.insert(xml.find("</note>", last) + 7,
             "<note><chord/><pitch><step>D</step><octave>4</octave></pitch><duration>12</duration>"
             "<voice>1</voice><type>half</type></note>");
  ScoreJobResult r = RunText(xml, "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[C4] [F4] [D4] [B3]", Chords(r.afterXml, "P2"));
  pugi::xml_document doc;
  pugi::xml_node b3 = NoteOf(doc, r.afterXml, "P2", 1, 3);
  EXPECT_STREQ("2", b3.child_value("voice"));
  // Voice 1 now fills the measure: a backup of a half takes voice 2 back to its place.
  EXPECT_STREQ("12", b3.previous_sibling("backup").child_value("duration"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Explode, AVoiceInterleavedWithAnotherIsRefusedWithNothingWritten) {
  // Part Three: a whole note, a backup, then the rest, all in voice 1.
  std::string xml = Text("explode-counts.musicxml");
  xml.insert(xml.find("<note>", xml.find("<part id=\"P3\">")),
             "<note><pitch><step>C</step><octave>4</octave></pitch><duration>6</duration>"
             "<voice>1</voice><type>quarter</type></note><backup><duration>6</duration>"
             "</backup>");
  ScoreJobResult r = RunText(xml, "Explode");
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.error.find("interleaved")) << r.error;
  EXPECT_TRUE(r.output.empty());
}

} // namespace

namespace {

// The chorale with its parts' divisions (6 to a quarter) changed: every duration scaled for
// the parts from `from` on, to `divisions`.
std::string Scaled(const std::string& from, long long divisions) {
  std::string xml = Text("explode-chorale.musicxml"), out;
  size_t at = xml.find("<part id=\"" + from + "\">"), done = 0;
  const std::string open = "<duration>", six = "<divisions>6</divisions>";
  for (size_t i = xml.find(open, at); i != std::string::npos; i = xml.find(open, done)) {
    size_t end = xml.find('<', i + open.size());
    out += xml.substr(done, i + open.size() - done) +
           std::to_string(std::stoll(xml.substr(i + open.size(), end - i - open.size())) *
                          divisions / 6);
    done = end;
  }
  out += xml.substr(done);
  for (size_t i = out.find(six, at); i != std::string::npos; i = out.find(six, i))
    out.replace(i, six.size(), "<divisions>" + std::to_string(divisions) + "</divisions>");
  return out;
}

TEST(Explode, ATripletLandsWholeInFineDivisionsAndCoarseOnesCountFinerInThatMeasure) {
  // 10080 to a quarter: the host's 341 is a third, 3360, not 3357 with a gap made up after.
  ScoreJobResult r = RunText(Scaled("P1", 10080), "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E4] [D4] [C4] | [C4] [r] [C4] [D4] [E4] [E4]", Chords(r.afterXml, "P2"));
  EXPECT_EQ(std::string::npos, r.afterXml.find("<forward>"));
  pugi::xml_document doc;
  for (int k = 2; k <= 4; ++k) {
    pugi::xml_node triplet = NoteOf(doc, r.afterXml, "P3", 2, k);
    EXPECT_EQ(3360, triplet.child("duration").text().as_llong()) << k;
    EXPECT_TRUE(triplet.child("time-modification")) << k;
  }
  EXPECT_TRUE(Valid(r.afterXml));
  // Four to a quarter cannot hold a third: the measure counts three times finer, and the next
  // one (there is none here) would count as before.
  r = RunText(Scaled("P2", 4), "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E4] [D4] [C4] | [C4] [r] [C4] [D4] [E4] [E4]", Chords(r.afterXml, "P2"));
  EXPECT_EQ("12", std::string(NoteOf(doc, r.afterXml, "P2", 2, 0)
                                  .parent()
                                  .child("attributes")
                                  .child_value("divisions")));
  EXPECT_STREQ("4", NoteOf(doc, r.afterXml, "P2", 2, 2).child_value("duration"));
  EXPECT_TRUE(Valid(r.afterXml));
  // In the middle of the score, the next measure counts as before.
  std::string xml = Scaled("P2", 4);
  std::string second = xml.substr(xml.find("<measure number=\"2\"", xml.find("<part id=\"P2\">")));
  second = second.substr(0, second.find("</measure>") + 10);
  xml.insert(xml.find("</part>", xml.find("<part id=\"P2\">")),
             std::string(second).replace(17, 1, "3"));
  for (const char* part : {"P1", "P3", "P4"}) {
    std::string own = xml.substr(
        xml.find("<measure number=\"2\"", xml.find(std::string("<part id=\"") + part + "\">")));
    own = own.substr(0, own.find("</measure>") + 10);
    xml.insert(xml.find("</part>", xml.find(std::string("<part id=\"") + part + "\">")),
               own.replace(17, 1, "3"));
  }
  ScoreJobOptions second2;
  second2.task = "Explode";
  second2.measures = "2";
  r = RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "score.musicxml", second2,
                  Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_STREQ(
      "4",
      NoteOf(doc, r.afterXml, "P2", 3, 0).parent().child("attributes").child_value("divisions"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Explode, ASelectionOfOneStaffIsRefusedWithAMessage) {
  for (const char* task : {"Explode", "Reduce"}) {
    ScoreJobOptions o;
    o.task = task;
    o.parts = "P2";
    ScoreJobResult r = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                                   "explode-counts.musicxml", o, Plugin());
    EXPECT_EQ(2, r.status) << task;
    EXPECT_EQ(std::string("explode-counts.musicxml: ") + task +
                  " needs a selection of at least two staves; the parts chosen hold one",
              r.error);
    EXPECT_TRUE(r.output.empty());
    // Two parts apart are two selections of one staff each, and said so.
    o.parts = "P1, P3";
    r = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")), "explode-counts.musicxml", o,
                    Plugin());
    EXPECT_EQ(2, r.status) << task;
    EXPECT_NE(std::string::npos, r.error.find("the parts chosen are not next to each other"))
        << r.error;
    // Two neighbouring parts are enough.
    o.parts = "P2, P3";
    EXPECT_EQ(0, RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                             "explode-counts.musicxml", o, Plugin())
                     .status)
        << task;
  }
}

} // namespace

namespace {

TEST(Explode, TheListOfChangesNamesEveryStaffsNewChordsAndWhatSoundedThereBefore) {
  ScoreJobOptions o;
  o.task = "Explode";
  o.dryRun = true;
  ScoreJobResult r = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                                 "explode-counts.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("part P1 (One), measure 1, staff 1, voice 1: C4 E4 -> E4\n"
            "part P1 (One), measure 1, staff 1, voice 1: C4 D4 E4 F4 G4 -> G4\n"
            "part P2 (Two), measure 1, staff 1, voice 1: A3 -> C4\n"
            "part P2 (Two), measure 1, staff 1, voice 1: A3 -> F4\n"
            "part P3 (Three), measure 1, staff 1, voice 1: rest -> C4\n"
            "part P3 (Three), measure 1, staff 1, voice 1: rest -> C4 D4 E4\n",
            r.dryRunText); // the B3 under the single G4 stays, and is no change
  EXPECT_EQ("Explode: 6 chords changed in 1 measure on 3 staves", r.summary);
  EXPECT_TRUE(r.output.empty());
  // Written, the page's rows keep their names.
  o.dryRun = false;
  o.listChanges = true;
  ScoreJobResult w = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                                 "explode-counts.musicxml", o, Plugin());
  ASSERT_EQ(6u, w.changes.size());
  EXPECT_EQ("C4 D4 E4", w.changes[5].after);
  EXPECT_EQ(3, w.changes[5].scoreStaff);
}

} // namespace

// The host holds a transposing part at concert pitch; the file shows it written. A task on such
// a part alone comes back as written notes in the part's own key, as a part in concert pitch
// would: a clarinet in B-flat written in D major, then F major; a tenor saxophone (an octave
// lower still) in the same keys; a horn in F written in A major, then C major.
TEST(TransposingParts, ATaskOnThePartAloneGivesTheWrittenNotesInItsOwnKey) {
  ScoreJobResult third = RunJob("transposing-parts.musicxml", "Add Third");
  ASSERT_EQ(0, third.status) << third.error;
  const std::string clarinet =
      "[D4 F#4 A4 C#5] [E4 G4 B4 D5 F#5] [F4 A4 C5 E5 G5] [C#5 E5 G5 B5] |"
      " [F4 A4 C5 E5 G5] [Bb3 D4 F4 A4 C5] [G4 Bb4 D5 F5] [E4 G4 Bb4 C#5 E#5]";
  EXPECT_EQ(clarinet, Chords(third.afterXml, "P1"));
  EXPECT_EQ(clarinet, Chords(third.afterXml, "P2")) << "the octave lower is the host's alone";
  // A major: the third above E5 is G#5, and above G5 (written with a natural) B-flat.
  EXPECT_EQ("[D4 F#4 A4 C#5] [E4 G4 B4 D5 F#5] [F4 A4 C5 E5 G#5] [C#5 E5 G5 Bb5] |"
            " [F4 A4 C5 E5 G5] [Bb3 D4 F4 A4 C5] [G4 Bb4 D5 F5] [E4 G4 Bb4 C#5 E#5]",
            Chords(third.afterXml, "P3"));

  ScoreJobResult drop = RunJob("transposing-parts.musicxml", "Drop 2nd");
  ASSERT_EQ(0, drop.status) << drop.error;
  for (const char* part : {"P1", "P2", "P3"})
    EXPECT_EQ("[F#3 D4 A4] [B3 E4 G4 D5] [C4 F4 A4 E5] [E4 C#5 G5] |"
              " [C4 F4 A4 E5] [F3 Bb3 D4 A4] [Bb3 G4 D5] [Bb3 E4 G4 C#5]",
              Chords(drop.afterXml, part))
        << part;
  EXPECT_TRUE(Valid(drop.afterXml));
}

namespace {

// The drawing marks the notes written anew on the receiving staves as changed, each listed
// chord's notes named so that the page finds them; the file keeps neither unless asked for
// its colours.
TEST(Explode, TheDrawingColoursTheNewLinesAndNamesThemAsListed) {
  ScoreJobOptions o;
  o.task = "Explode";
  o.markShown = o.listChanges = true;
  ScoreJobResult r = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                                 "explode-counts.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  std::string output(r.output.begin(), r.output.end());
  EXPECT_EQ(std::string::npos, output.find("qv-change"));
  EXPECT_EQ(std::string::npos, output.find("#D03020"));
  pugi::xml_document shown;
  ASSERT_TRUE(shown.load_string(r.afterXml.c_str()));
  ASSERT_EQ(6u, r.changes.size());
  for (size_t k = 0; k < r.changes.size(); ++k) {
    std::string id = "qv-change-" + std::to_string(k) + "-";
    std::vector<std::string> names, listed;
    int coloured = 0;
    for (pugi::xpath_node x : shown.select_nodes("//note[@id]")) {
      pugi::xml_node n = x.node();
      if (std::string(n.attribute("id").value()).rfind(id, 0) != 0) continue;
      names.push_back(std::string(n.child("pitch").child_value("step")) +
                      n.child("pitch").child_value("octave"));
      coloured += std::string(n.attribute("color").value()) == "#D03020";
    }
    std::istringstream after(r.changes[k].after);
    for (std::string name; after >> name;)
      listed.push_back(name);
    std::sort(names.begin(), names.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, names) << "chord " << k;
    // The top staff keeps a note it had: named, not coloured; every other note is new.
    EXPECT_EQ(r.changes[k].scoreStaff == 1 ? 0 : static_cast<int>(names.size()), coloured)
        << "chord " << k;
  }
  // The command's colours (--mark-changes) fall on the same notes, in the file itself.
  o.markShown = o.listChanges = false;
  o.markChanges = true;
  ScoreJobResult marked = RunScoreJob(ReadBytes(FilePath("explode-counts.musicxml")),
                                      "explode-counts.musicxml", o, Plugin());
  ASSERT_EQ(0, marked.status) << marked.error;
  std::string file(marked.output.begin(), marked.output.end());
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(file.c_str()));
  std::vector<std::string> red;
  for (pugi::xpath_node x : doc.select_nodes("//note[@color='#D03020']"))
    red.push_back(std::string(x.parent().parent().attribute("id").value()) +
                  x.node().child("pitch").child_value("step") +
                  x.node().child("pitch").child_value("octave"));
  std::sort(red.begin(), red.end());
  EXPECT_EQ((std::vector<std::string>{"P2C4", "P2F4", "P3C4", "P3C4", "P3D4", "P3E4"}), red);
  EXPECT_TRUE(Valid(file));
}

} // namespace

TEST(Explode, ThenReduceGivesBackTheTopStaffsChordsOnEveryScoreOfSeveralStaves) {
  // Every test score whose first part is one staff of chords (and no single note over music),
  // and the example, whole. A line Explode doubled comes back as a unison.
  auto distinct = [](const std::string& chords) {
    std::string out;
    for (size_t i = 0; i < chords.size();) {
      size_t open = chords.find('[', i), close = chords.find(']', open);
      if (open == std::string::npos) return out + chords.substr(i);
      out += chords.substr(i, open + 1 - i);
      std::istringstream names(chords.substr(open + 1, close - open - 1));
      std::string name, last;
      while (names >> name)
        if (name != last) out += (last.empty() ? "" : " ") + (last = name);
      out += "]";
      i = close + 1;
    }
    return out;
  };
  for (const char* file : {"explode-chorale.musicxml", "explode-horns.musicxml",
                           "transposing-parts.musicxml", "../../../examples/chorale.musicxml"}) {
    std::string before = Text(file);
    ScoreJobResult lines = RunText(before, "Explode");
    ASSERT_EQ(0, lines.status) << file << ": " << lines.error;
    ScoreJobResult chords = RunText(lines.afterXml, "Reduce");
    ASSERT_EQ(0, chords.status) << file << ": " << chords.error;
    EXPECT_EQ("", chords.leftAlone) << file;
    EXPECT_EQ(distinct(Chords(before, "P1")), distinct(Chords(chords.afterXml, "P1"))) << file;
    EXPECT_TRUE(Valid(chords.afterXml)) << file;
  }
}

TEST(Explode, AKeyChangeInsideASelectedMeasureIsRefusedWithNothingWritten) {
  // The upper staff's second chord follows a change to B-flat major on the second beat: carried
  // in the key before it, its A4 landed on the lower staff as a G5.
  for (const char* task : {"Explode", "Reduce"}) {
    ScoreJobResult r = RunJob("midkey.musicxml", task);
    EXPECT_EQ(2, r.status) << task;
    EXPECT_EQ(std::string("midkey.musicxml: ") + task +
                  " cannot carry notes across the key change inside measure \"1\" of part "
                  "\"Piano\" (the host holds one key a measure); select the measures before or "
                  "after it",
              r.error);
    EXPECT_TRUE(r.output.empty()) << task;
  }
  // A change that stays outside the selection, or a staff not chosen, is no matter.
  std::string xml = Text("explode-chorale.musicxml");
  size_t at = xml.find("<note>", xml.find("<measure number=\"2\"", xml.find("<part id=\"P1\">")));
  xml.insert(xml.find("</note>", at) + 7,
             "<attributes><key><fifths>-1</fifths></key></attributes>");
  ScoreJobResult whole = RunText(xml, "Explode");
  ASSERT_EQ(2, whole.status);
  EXPECT_NE(std::string::npos, whole.error.find("key change inside measure \"2\" of part"));
  ScoreJobOptions first;
  first.task = "Explode";
  first.measures = "1";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "score.musicxml", first, Plugin());
  EXPECT_EQ(0, r.status) << r.error;
  EXPECT_EQ(Chords(RunJob("explode-chorale.musicxml", "Explode", false, "1").afterXml, "P2"),
            Chords(r.afterXml, "P2"));
}

TEST(Explode, AChordLeftAloneOnTheTopStaffIsARestOnTheStavesBelow) {
  // The quarter-tone chords stay whole on the top staff; the horns rest under them, in their
  // rhythm, where before they had a gap that printed as nothing.
  ScoreJobResult r = RunJob("explode-leftalone.musicxml", "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("left alone: 2 chords with microtones", r.leftAlone);
  EXPECT_EQ("[D5] [A4 C5] [E5] [A4]", Chords(r.afterXml, "P1")); // quarter tones read as 0
  EXPECT_NE(std::string::npos, r.afterXml.find("<alter>0.5</alter>"));
  EXPECT_NE(std::string::npos, r.afterXml.find("<alter>-0.5</alter>"));
  EXPECT_EQ("[B4] [r] [C5] [r]", Chords(r.afterXml, "P2"));
  EXPECT_EQ("[G4] [r] [A4] [r]", Chords(r.afterXml, "P3"));
  EXPECT_EQ(std::string::npos, r.afterXml.find("<forward>"));
  pugi::xml_document doc;
  EXPECT_STREQ("quarter", NoteOf(doc, r.afterXml, "P2", 1, 1).child_value("type"));
  EXPECT_STREQ("eighth", NoteOf(doc, r.afterXml, "P3", 1, 3).child_value("type"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Explode, AChordLeftAloneOnAStaffBelowIsNeverWrittenOver) {
  // Horn 1 holds a quarter-tone note on the last beat, under a chord the task would deal: its
  // voice cannot be written anew around a note the host never held, so nothing is written.
  std::string xml = Text("explode-leftalone.musicxml");
  size_t p2 = xml.find("<part id=\"P2\">");
  size_t rest = xml.find("<note><rest/>", p2), end = xml.find("</note>", rest) + 7;
  xml.replace(rest, end - rest,
              "<note><rest/><duration>4</duration><voice>1</voice><type>half</type></note>"
              "<note><pitch><step>B</step><alter>0.5</alter><octave>4</octave></pitch>"
              "<duration>2</duration><voice>1</voice><type>quarter</type></note>");
  ASSERT_TRUE(Valid(xml));
  ScoreJobResult r = RunText(xml, "Explode");
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.error.find("part \"P2\", measure 1: the voice holds a chord left "
                                            "alone"))
      << r.error;
  EXPECT_TRUE(r.output.empty());
  // On the second beat, between its own rests, the staff keeps it: the chords over it stay,
  // the voice is written around it.
  xml = Text("explode-leftalone.musicxml");
  rest = xml.find("<note><rest/>", p2), end = xml.find("</note>", rest) + 7;
  xml.replace(rest, end - rest,
              "<note><rest/><duration>2</duration><voice>1</voice><type>quarter</type></note>"
              "<note><pitch><step>B</step><alter>0.5</alter><octave>4</octave></pitch>"
              "<duration>2</duration><voice>1</voice><type>quarter</type></note>"
              "<note><rest/><duration>2</duration><voice>1</voice><type>quarter</type></note>");
  r = RunText(xml, "Explode");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[B4] [B4] [C5] [r]", Chords(r.afterXml, "P2")); // the quarter tone reads as B4
  EXPECT_NE(std::string::npos, r.afterXml.find("<alter>0.5</alter><octave>4</octave>"));
  EXPECT_TRUE(Valid(r.afterXml));
}

namespace {

// A part's notes with their rhythm: each chord's notes, written length (type and dots),
// duration and ties, measure by measure; with beams when asked.
std::string Rhythm(const std::string& xml, const char* part, bool beams = false) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::string out;
  for (pugi::xml_node m : doc.child("score-partwise").find_child_by_attribute("part", "id", part)) {
    out += "|";
    for (pugi::xml_node n : m.children("note")) {
      if (n.child("chord")) continue;
      out += std::string(" ") + n.child_value("duration") + n.child_value("type");
      for (pugi::xml_node d = n.child("dot"); d; d = d.next_sibling("dot"))
        out += ".";
      for (pugi::xml_node t = n.child("tie"); t; t = t.next_sibling("tie"))
        out += std::string("~") + t.attribute("type").value();
      for (pugi::xml_node b = n.child("beam"); beams && b; b = b.next_sibling("beam"))
        out += std::string("=") + b.child_value();
    }
  }
  return Chords(xml, part) + "\n" + out;
}

// What sounds at every onset of any part: each note's name with the onset (measure and time
// in quarters), over all parts, sorted. Ties do not matter: a tied note sounds on.
std::vector<std::string> Sounding(const std::string& xml) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  struct Held {
    int measure;
    double from, to;
    std::string name;
  };
  std::vector<Held> notes;
  std::set<std::pair<int, double>> onsets;
  for (pugi::xml_node part : doc.child("score-partwise").children("part")) {
    int m = 0;
    double divisions = 1;
    for (pugi::xml_node measure : part.children("measure")) {
      ++m;
      if (measure.child("attributes").child("divisions"))
        divisions = measure.child("attributes").child("divisions").text().as_double();
      double at = 0, last = 0;
      for (pugi::xml_node n : measure.children("note")) {
        double from = n.child("chord") ? last : at;
        double length = n.child("duration").text().as_double() / divisions;
        if (n.child("pitch"))
          notes.push_back({m, from, from + length,
                           std::string(n.child("pitch").child_value("step")) +
                               std::to_string(n.child("pitch").child("alter").text().as_int()) +
                               n.child("pitch").child_value("octave")});
        onsets.insert({m, from});
        last = from;
        if (!n.child("chord")) at = from + length;
      }
    }
  }
  std::vector<std::string> out;
  for (const std::pair<int, double>& o : onsets)
    for (const Held& h : notes)
      if (h.measure == o.first && h.from <= o.second + 1e-6 && o.second < h.to - 1e-6)
        out.push_back(std::to_string(o.first) + "/" + std::to_string(o.second) + " " + h.name);
  std::sort(out.begin(), out.end());
  return out;
}

// The notes of a part with a fermata, as measure and place in it ("3:2"), a chord's once.
std::set<std::string> Fermatas(const std::string& xml, const char* part) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::set<std::string> out;
  int measure = 0;
  for (pugi::xml_node m : doc.child("score-partwise").find_child_by_attribute("part", "id", part)) {
    int index = -1;
    ++measure;
    for (pugi::xml_node n : m.children("note")) {
      index += !n.child("chord");
      if (n.child("notations").child("fermata"))
        out.insert(std::to_string(measure) + ":" + std::to_string(index));
    }
  }
  return out;
}

// Chorales whose voices never cross, gathered and spread again: every part's beams come back
// as they were, and every fermata (the voices the file gave none gain the chord's).
TEST(Reduce, ThenExplodeGivesAChoralesBeamsAndFermatasBack) {
  for (const char* name : {"bwv116.6.musicxml", "bwv139.6.musicxml"}) {
    std::string before = Text(std::string("chorales/") + name);
    ScoreJobResult chords = RunText(before, "Reduce");
    ASSERT_EQ(0, chords.status) << chords.error;
    ScoreJobResult lines = RunText(chords.afterXml, "Explode");
    ASSERT_EQ(0, lines.status) << lines.error;
    for (const char* part : {"P1", "P2", "P3", "P4"}) {
      EXPECT_EQ(Rhythm(before, part, true), Rhythm(lines.afterXml, part, true)) << name << part;
      std::set<std::string> was = Fermatas(before, part), now = Fermatas(lines.afterXml, part);
      EXPECT_FALSE(Fermatas(before, "P1").empty());
      EXPECT_TRUE(std::includes(now.begin(), now.end(), was.begin(), was.end())) << name << part;
    }
  }
}

// A soprano whose notes carry an id, a lyric, an articulation and a fermata, over an alto in
// eighths: gathered, its first quarter is split in two tied eighths (the marks on the first,
// the fermata on the second) and the other notes stay whole; spread again, each note is back
// with everything it had.
TEST(Reduce, ThenExplodeKeepsEveryMarkOfTheNotesThatStay) {
  std::string xml = WrittenScore("4/4", {{"S", {"C5q D5q E5h"}}, {"A", {"A4e G4e B4q C5h"}}});
  const char* marks[][3] = {
      {"n1", "Glo", "accent"}, {"n2", "ri", "staccato"}, {"n3", "a", "tenuto"}};
  size_t at = 0;
  for (const auto& m : marks) {
    at = xml.find("<note>", at);
    xml.replace(at, 6, std::string("<note id=\"") + m[0] + "\">");
    at = xml.find("</note>", at);
    std::string extra = std::string("<notations><articulations><") + m[2] +
                        "/></articulations><fermata/></notations><lyric><text>" + m[1] +
                        "</text></lyric>";
    xml.insert(at, extra);
    at += extra.size();
  }
  ASSERT_TRUE(Valid(xml));
  ScoreJobResult chords = RunText(xml, "Reduce");
  ASSERT_EQ(0, chords.status) << chords.error;
  ScoreJobResult lines = RunText(chords.afterXml, "Explode");
  ASSERT_EQ(0, lines.status) << lines.error;
  EXPECT_EQ(Chords(xml, "P2"), Chords(lines.afterXml, "P2"));
  struct Case {
    const std::string* xml;
    const char* path;  // the note looked at
    const char* lyric; // "" for none
    const char* mark;  // its articulation, "" for none
    bool fermata;
  } cases[] = {
      {&chords.afterXml, "//note[@id='n1']", "Glo", "accent", false},
      {&chords.afterXml, "//note[@id='n1']/following::note[pitch/step='C'][1]", "", "", true},
      {&chords.afterXml, "//note[@id='n2']", "ri", "staccato", true},
      {&chords.afterXml, "//note[@id='n3']", "a", "tenuto", true},
      {&lines.afterXml, "//part[@id='P1']//note[@id='n1'][type='quarter']", "Glo", "accent", true},
      {&lines.afterXml, "//part[@id='P1']//note[@id='n2']", "ri", "staccato", true},
      {&lines.afterXml, "//part[@id='P1']//note[@id='n3']", "a", "tenuto", true},
  };
  for (const Case& c : cases) {
    pugi::xml_document doc;
    doc.load_string(c.xml->c_str());
    pugi::xml_node n = doc.select_node(c.path).node();
    ASSERT_TRUE(n) << c.path;
    EXPECT_STREQ(c.lyric, n.child("lyric").child_value("text")) << c.path;
    EXPECT_STREQ(c.mark, n.child("notations").child("articulations").first_child().name())
        << c.path;
    EXPECT_EQ(c.fermata, !!n.child("notations").child("fermata")) << c.path;
    std::string id = n.attribute("id").value(); // kept once
    if (!id.empty()) {
      EXPECT_EQ(1u, doc.select_nodes(("//note[@id='" + id + "']").c_str()).size()) << c.path;
    }
  }
}

// Every chorale of the tests, its four parts gathered on the soprano's staff and spread again:
// each part's notes and rhythm come back where no two voices cross; where they cross, Reduce
// says so (the chord cannot keep who sang what). Every output validates.
TEST(Reduce, ThenExplodeGivesEveryChoraleBackNoteForNote) {
  std::string list;
  Shell("ls '" + FilePath("chorales") + "' | grep musicxml", &list);
  std::istringstream names(list);
  TempFolder folder;
  std::vector<std::string> written;
  int files = 0, back = 0, crossed = 0, sounding = 0;
  for (std::string name; std::getline(names, name);) {
    ++files;
    std::string before = Text("chorales/" + name);
    ScoreJobResult chords = RunText(before, "Reduce");
    ASSERT_EQ(0, chords.status) << name << ": " << chords.error;
    EXPECT_EQ(std::string::npos, chords.leftAlone.find("left alone")) << name;
    ScoreJobResult lines = RunText(chords.afterXml, "Explode");
    ASSERT_EQ(0, lines.status) << name << ": " << lines.error;
    bool cross = chords.leftAlone.find("voices cross at measure") != std::string::npos, same = true;
    for (const char* part : {"P1", "P2", "P3", "P4"}) {
      same = same && Rhythm(before, part) == Rhythm(lines.afterXml, part);
      EXPECT_TRUE(cross || Rhythm(before, part) == Rhythm(lines.afterXml, part))
          << name << " " << part << "\n"
          << Rhythm(before, part) << "\n"
          << Rhythm(lines.afterXml, part);
    }
    crossed += cross;
    back += same;
    // Reduce loses nothing, crossed or not: at every onset the same notes sound. (Explode
    // doubles a line where a chord has fewer notes than staves, where a voice rested.)
    std::vector<std::string> sounds = Sounding(before), now = Sounding(chords.afterXml), lost;
    std::set_difference(sounds.begin(), sounds.end(), now.begin(), now.end(),
                        std::back_inserter(lost));
    EXPECT_EQ(sounds, now) << name << ": lost " << (lost.empty() ? "" : lost[0]);
    sounding += Sounding(lines.afterXml) == sounds;
    for (const std::string* xml : {&chords.afterXml, &lines.afterXml}) {
      written.push_back(std::to_string(written.size()) + ".musicxml");
      folder.Write(written.back(), *xml);
    }
  }
  EXPECT_EQ(30, files);
  EXPECT_LT(crossed, files);
  EXPECT_TRUE(AllValid(folder, written));
  printf("%d of %d chorales back, %d with crossed voices, %d sounding as before\n", back, files,
         crossed, sounding);
}

} // namespace

namespace {

// A note of the horn's: pitch ("G3", "r" for a rest), quarters, type, voice, tie ("start").
std::string HornNote(const std::string& pitch, int quarters, const char* type,
                     const char* voice = "1", const std::string& tie = "") {
  std::string p = pitch == "r" ? "<rest/>"
                               : "<pitch><step>" + pitch.substr(0, 1) + "</step><octave>" +
                                     pitch.substr(1) + "</octave></pitch>",
              t = "<tie type=\"" + tie + "\"/>";
  return "<note>" + p + "<duration>" + std::to_string(quarters) + "</duration>" +
         (tie.empty() ? "" : t) + "<voice>" + voice + "</voice><type>" + type + "</type>" +
         (tie.empty() ? "" : "<notations><tied type=\"" + tie + "\"/></notations>") + "</note>";
}

// A piano's two-note quarter chords (dealt: the lower notes go to the horn) over a horn's own
// measures; the piano's in 4/4, as many as the horn's unless given; the horn's in the time given.
std::string PianoOverHorn(const std::vector<std::string>& horn, const std::string& hornTime = "4/4",
                          size_t pianoMeasures = 0) {
  auto attributes = [](const std::string& time) {
    return "<attributes><divisions>1</divisions><key><fifths>0</fifths></key><time><beats>" +
           time.substr(0, time.find('/')) + "</beats><beat-type>" +
           time.substr(time.find('/') + 1) + "</beat-type></time></attributes>";
  };
  std::string s = "<score-partwise version=\"4.0\"><part-list><score-part id=\"P1\"><part-name>"
                  "Piano</part-name></score-part><score-part id=\"P2\"><part-name>Horn"
                  "</part-name></score-part></part-list><part id=\"P1\">";
  for (size_t m = 0; m < (pianoMeasures ? pianoMeasures : horn.size()); ++m) {
    s += "<measure number=\"" + std::to_string(m + 1) + "\">" + (m ? "" : attributes("4/4"));
    for (const char* top : {"C", "D", "E", "F"})
      s += HornNote(std::string(top) + "5", 1, "quarter") + "<note><chord/><pitch><step>" + top +
           "</step><octave>4</octave></pitch><duration>1</duration><voice>1</voice><type>"
           "quarter</type></note>";
    s += "</measure>";
  }
  s += "</part><part id=\"P2\">";
  for (size_t m = 0; m < horn.size(); ++m)
    s += "<measure number=\"" + std::to_string(m + 1) + "\">" + (m ? "" : attributes(hornTime)) +
         horn[m] + "</measure>";
  return s + "</part></score-partwise>";
}

} // namespace

TEST(Explode, ATieAtTheSelectionsEdgeIsClosedOnBothSides) {
  // The horn's G3 is tied over the barline; the measure on one side of the tie is written anew,
  // so the end on the other side goes with it. In its own voice, or into another voice.
  const std::string rest = HornNote("r", 4, "whole"),
                    back = "<backup><duration>4</duration></backup>";
  const std::string start = HornNote("G3", 4, "whole", "1", "start"),
                    stop = HornNote("G3", 4, "whole", "1", "stop"),
                    start2 = HornNote("G3", 4, "whole", "2", "start"),
                    stop2 = HornNote("G3", 4, "whole", "2", "stop");
  const std::string dealt = "[C4] [D4] [E4] [F4]",
                    quarters = " 1quarter 1quarter 1quarter 1quarter";
  struct Case {
    const char* name;
    std::vector<std::string> horn;
    const char* measures;
    std::string chords, rhythm; // the horn's, with its ties
  } cases[] = {
      {"into the selection", {start, stop}, "2", "[G3] | " + dealt, "| 4whole|" + quarters},
      {"out of the selection", {start, stop}, "1", dealt + " | [G3]", "|" + quarters + "| 4whole"},
      {"from another voice into it",
       {rest + back + start2, stop},
       "2",
       "[r] [G3] | " + dealt,
       "| 4whole 4whole|" + quarters},
      {"out of it into another voice",
       {start, rest + back + stop2},
       "1",
       dealt + " | [r] [G3]",
       "|" + quarters + "| 4whole 4whole"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string xml = PianoOverHorn(c.horn);
    ASSERT_TRUE(Valid(xml));
    ScoreJobResult r = RunText(xml, "Explode", c.measures);
    ASSERT_EQ(0, r.status) << r.error;
    EXPECT_EQ(c.chords + "\n" + c.rhythm, Rhythm(r.afterXml, "P2"));
    EXPECT_EQ(std::string::npos, r.afterXml.find("<tied")); // the notations go with the ties
    EXPECT_TRUE(Valid(r.afterXml));
  }
}

TEST(Explode, APartOfAnotherTimeOrAShorterPartIsRefusedWithNothingWritten) {
  auto threeFour = [](const std::string& measure) {
    return "cannot carry notes between part \"Piano\" in 4/4 and part \"Horn\" in 3/4 in measure "
           "\"" +
           measure +
           "\" (the host holds one time signature a measure); select parts of one time "
           "signature there";
  };
  const std::string shorter = "Explode cannot carry notes into measure \"2\" of part \"Horn\", "
                              "which holds only 1 measure; select the measures it holds";
  const std::string whole = HornNote("G3", 4, "whole");
  std::string dottedHalf = HornNote("G3", 3, "half");
  dottedHalf.insert(dottedHalf.find("</type>") + 7, "<dot/>");
  const std::string toThreeFour =
      "<attributes><time><beats>3</beats><beat-type>4</beat-type></time></attributes>" + dottedHalf;
  struct Case {
    const char* name;
    std::vector<std::string> horn;
    const char* time;
    size_t pianoMeasures;
    const char* task;
    const char* measures;
    std::string error; // empty: written
  } cases[] = {
      {"Explode into 3/4", {dottedHalf}, "3/4", 0, "Explode", "", "Explode " + threeFour("1")},
      {"Reduce from 3/4", {dottedHalf}, "3/4", 0, "Reduce", "", "Reduce " + threeFour("1")},
      {"a change of time in measure 2",
       {whole, toThreeFour},
       "4/4",
       0,
       "Explode",
       "",
       "Explode " + threeFour("2")},
      {"the measure before the change", {whole, toThreeFour}, "4/4", 0, "Explode", "1", ""},
      {"2/2 is as long as 4/4", {whole}, "2/2", 0, "Explode", "", ""},
      {"past the horn's end", {whole}, "4/4", 2, "Explode", "", shorter},
      {"the measure the horn holds", {whole}, "4/4", 2, "Explode", "1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string xml = PianoOverHorn(c.horn, c.time, c.pianoMeasures);
    ASSERT_TRUE(Valid(xml));
    ScoreJobResult r = RunText(xml, c.task, c.measures);
    EXPECT_EQ(c.error.empty() ? 0 : 2, r.status);
    EXPECT_EQ(c.error.empty() ? "" : "score.musicxml: " + c.error, r.error);
    EXPECT_EQ(c.error.empty(), !r.output.empty());
    if (c.error.empty()) {
      EXPECT_TRUE(Valid(r.afterXml));
    }
  }
}
