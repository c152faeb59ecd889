// What scores exported by notation programs hold (files/): ties between voices, keys past
// seven sharps or flats, courtesy and parenthesised accidentals, ties with a missing end;
// checked note by note and tie by tie, notes outside the selection included. And the output
// is the file's own bytes but for the notes a task changed.
#include <dirent.h>

#include "hostapi/fxrecords.h"
#include "pitch.h"
#include "scorefixture.h"
#include "writeback.h"

extern "C" int32_t FX_NoteToMidi(void* noteslot, int32_t keyword, uint32_t version);

using namespace scoretest;

namespace {

// "start", "stop", "start stop" or "" as the note's <tie> elements say, checked against its
// <tied> notations, which must say the same.
std::string Ties(pugi::xml_node note) {
  std::string tie, tied;
  for (pugi::xml_node t : note.children("tie"))
    tie += (tie.empty() ? "" : " ") + std::string(t.attribute("type").value());
  for (pugi::xml_node t : note.child("notations").children("tied"))
    tied += (tied.empty() ? "" : " ") + std::string(t.attribute("type").value());
  return tie == tied ? tie : "<tie> " + tie + " but <tied> " + tied;
}

// The tasks that move music between staves refuse a score of one staff, and one whose staff
// changes key inside a measure, and say so.
bool StavesRefused(const ScoreJobResult& r) {
  return r.status == 2 &&
         (r.error.find("needs a selection of at least two staves") != std::string::npos ||
          r.error.find("cannot carry notes across the key change inside") != std::string::npos);
}

// Every note of the first part in file order, as "C4", a tie's end before it and its start
// after it ("~G4~"), its accidental in brackets ("E4[natural]"); measures apart by "|".
std::string Notes(const std::string& xml) {
  pugi::xml_document doc;
  doc.load_string(xml.c_str());
  std::string out;
  for (pugi::xml_node m : doc.child("score-partwise").child("part").children("measure")) {
    out += out.empty() ? "" : " |";
    for (pugi::xml_node n : m.children("note")) {
      std::string ties = Ties(n), name = "r";
      if (pugi::xml_node p = n.child("pitch")) {
        int alter = p.child("alter").text().as_int();
        name = p.child_value("step") + std::string(std::max(0, alter), '#') +
               std::string(std::max(0, -alter), 'b') + p.child_value("octave");
      }
      out += std::string(" ") + (ties.find("stop") != std::string::npos ? "~" : "") + name +
             (ties.find("start") != std::string::npos ? "~" : "");
      if (n.child("accidental")) out += "[" + std::string(n.child_value("accidental")) + "]";
      if (ties.find(" but ") != std::string::npos) out += "{" + ties + "}";
    }
  }
  return out.empty() ? out : out.substr(1);
}

ScoreJobResult RunIn(const std::string& file, const std::string& task, const std::string& measures,
                     bool bottom = false) {
  ScoreJobOptions o;
  o.measures = measures;
  return RunFile(file, task, bottom, o);
}

TEST(TiesBetweenVoices, AreFollowedIntoTheOtherVoiceAndNotesOutsideTheSelectionKeepTheirs) {
  // measure 1: the added G5 finds no G5 after it; measure 2's G4 keeps its stop
  EXPECT_EQ("E5 E6 G4~ G5 | ~G4", Notes(RunIn("voicetie.musicxml", "Add Octave", "1").afterXml));
  // measure 2: its G4 keeps the stop of the tie from voice 2
  EXPECT_EQ("E5 G4~ | ~G4 G5", Notes(RunIn("voicetie.musicxml", "Add Octave", "2").afterXml));
  // both: the added G5 is tied into the G5 added in the other voice
  ScoreJobResult r = RunIn("voicetie.musicxml", "Add Octave", "");
  EXPECT_EQ("E5 E6 G4~ G5~ | ~G4 ~G5", Notes(r.afterXml));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(TiesBetweenVoices, FromAChordInVoiceOneIntoVoiceTwoWithinTheMeasure) {
  EXPECT_EQ("C4 E3 G4~ C4 E5 ~G4 B2", Notes(RunIn("chordtie.musicxml", "Drop 2nd", "").afterXml));
  // the octave added above the tied G is tied too: into the G5 added in voice 2
  EXPECT_EQ("C4 E4 G4~ G5~ C5 E5 E6 ~G4 B3 ~G5",
            Notes(RunIn("chordtie.musicxml", "Add Octave", "").afterXml));
}

TEST(TiesBetweenVoices, OnAPianosLowerStaffWithVoicesFiveToEight) {
  EXPECT_EQ("E5 G5 C6 C4 E4 D4 F4~ G2 C3 G3 E2 | F5 A5 C6 A3 C4 ~F4 A4",
            Notes(RunIn("pianovoices.musicxml", "Transpose Octave (Chord)", "").afterXml));
  // only the second measure: its F moves and loses the stop; the first measure's F its start
  EXPECT_EQ("E4 G4 C5 C3 E3 D3 F3 G2 C2 G2 E2 | F5 A5 C6 A3 C4 F4 A4",
            Notes(RunIn("pianovoices.musicxml", "Transpose Octave (Chord)", "2").afterXml));
}

TEST(TiesWithAMissingEnd, StayAsTheFileHasThemOnNotesThatKeepTheirPitch) {
  EXPECT_EQ("C4~ E4~ | E4 ~G4",
            Notes(RunIn("openties.musicxml", "Delete Outer Note", "").afterXml));
}

// A tie whose one end a task moves or removes loses its other end too, with every task that
// moves or removes notes (files/brokenties.musicxml: B4 tied over measures 1-2, C3 over 3-4).
TEST(TiesWhoseOtherEndMoves, LoseTheMarkOnTheNoteLeftBehind) {
  struct Case {
    const char* task;
    bool bottom;
    const char* measures;
    const char* notes;
  } const cases[] = {
      {"Drop 2nd", false, "1-2", "D4 G3 B4 | D4 G4 B3 D5 | C3~ G3 E4 | ~C3 E3 G3"},
      {"Close Position", false, "3-4", "D4 G4 B4~ | D4 G4 ~B4 D5 | C4 G3 E4 | C3 E3 G3"},
      {"Drop 2nd+4th", false, "2", "D4 G4 B4 | D3 G4 B3 D5 | C3~ G3 E4 | ~C3 E3 G3"},
      {"Keep Lines", false, "2", "D4 G4 B4 | D4 D5 | C3~ G3 E4 | ~C3 E3 G3"},
      {"Keep Specific Line", false, "1", "B4~ | D4 G4 ~B4 D5 | C3~ G3 E4 | ~C3 E3 G3"},
      {"Delete Outer Note", false, "1", "D4 G4 | D4 G4 B4 D5 | C3~ G3 E4 | ~C3 E3 G3"},
      {"Rotate", false, "4", "D4 G4 B4~ | D4 G4 ~B4 D5 | C3 G3 E4 | C4 E3 G3"},
      {"Transpose Octave", true, "4", "D4 G4 B4~ | D4 G4 ~B4 D5 | C3 G3 E4 | C2 E3 G3"},
  };
  for (const Case& c : cases) {
    ScoreJobResult r = RunIn("brokenties.musicxml", c.task, c.measures, c.bottom);
    EXPECT_EQ(c.notes, Notes(r.afterXml)) << c.task;
    EXPECT_TRUE(Valid(r.afterXml)) << c.task;
  }
}

// A tie from one grace chord into the next stays when both ends move alike or both gain the
// same note (files/graceties.musicxml: g[C4 E4~] g[C4 ~E4] [G4 D5]).
TEST(TiesBetweenGraceChords, StayWhenBothEndsMoveAlikeOrGainTheSameNote) {
  EXPECT_EQ("C5 E5~ C5 ~E5 G5 D6",
            Notes(RunIn("graceties.musicxml", "Transpose Octave (Chord)", "").afterXml));
  EXPECT_EQ("C4 E5~ C4 ~E5 G4 D6",
            Notes(RunIn("graceties.musicxml", "Transpose Octave", "").afterXml));
  EXPECT_EQ("C4 E3~ C4 ~E3 G4 D4", Notes(RunIn("graceties.musicxml", "Rotate", "", true).afterXml));
  // the note added over the tied E4 starts a tie, the one added in the next grace chord ends it
  struct Case {
    const char* task;
    const char* notes;
  } const added[] = {{"Add Octave", "C4 E4~ E5~ C4 ~E4 ~E5 G4 D5 D6"},
                     {"Add Third", "C4 E4~ G4~ C4 ~E4 ~G4 G4 D5 F5"},
                     {"Add Fifth", "C4 E4~ B4~ C4 ~E4 ~B4 G4 D5 A5"}};
  for (const Case& c : added) {
    ScoreJobResult r = RunIn("graceties.musicxml", c.task, "");
    EXPECT_EQ(c.notes, Notes(r.afterXml)) << c.task;
    EXPECT_TRUE(Valid(r.afterXml)) << c.task;
  }
}

// On a note that ends one tie and starts the next, a note added over it has its ties in the
// same order, stop then start, in <tie> and in <tied> (files/tiechain.musicxml).
TEST(TiesOfAnAddedNote, KeepTheOrderOfTheNoteItIsBuiltOn) {
  for (const char* task : {"Add Octave", "Add Fifth", "Add Third"}) {
    ScoreJobResult r = RunIn("tiechain.musicxml", task, "");
    pugi::xml_document doc;
    pugi::xml_node added = NoteAt(doc, r.afterXml, 1, 5); // the middle chord's added note
    EXPECT_EQ("stop start", Ties(added)) << task;
    EXPECT_EQ(Ties(NoteAt(doc, r.afterXml, 1, 4)), Ties(added)) << task;
    EXPECT_TRUE(Valid(r.afterXml)) << task;
  }
}

// The same when that note shows its ties only as <tied> notations, the start first: the note
// added over it writes the start first too.
TEST(TiesOfAnAddedNote, FollowTheTiedNotationsOfANoteWithoutTieElements) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath("tiechain.musicxml"));
  std::string text(bytes.begin(), bytes.end());
  for (const std::string tie : {"<tie type=\"start\"/>", "<tie type=\"stop\"/>"})
    for (size_t at; (at = text.find(tie)) != std::string::npos;)
      text.erase(at, tie.size());
  const std::string stopStart = "<tied type=\"stop\"/><tied type=\"start\"/>";
  text.replace(text.find(stopStart), stopStart.size(),
               "<tied type=\"start\"/><tied type=\"stop\"/>");
  for (const char* task : {"Add Octave", "Add Fifth"}) {
    ScoreJobOptions o;
    o.task = task;
    ScoreJobResult r = RunScoreJob(std::vector<uint8_t>(text.begin(), text.end()),
                                   "tiechain.musicxml", o, Plugin());
    pugi::xml_document doc;
    EXPECT_EQ("start stop", Ties(NoteAt(doc, r.afterXml, 1, 5))) << task;
    EXPECT_TRUE(Valid(r.afterXml)) << task;
  }
}

TEST(Accidentals, ACourtesySignOnANoteTheTaskDidNotTouchStays) {
  EXPECT_EQ("Eb4[flat] | E4[natural] C4",
            Notes(RunIn("courtesy.musicxml", "Delete Outer Note", "").afterXml));
  EXPECT_EQ("Eb4[flat] | E4[natural] G4 C4 G4 B4",
            Notes(RunIn("courtesy.musicxml", "Add Third", "2").afterXml));
  // after a bar line in D major: the courtesy sharp stays whatever the task does to the chord
  EXPECT_EQ("C4[natural] D4 F#4 A4 | C#4[sharp] E4 E4 G4 B4 D5",
            Notes(RunIn("barline.musicxml", "Add Third", "2").afterXml));
  for (const char* task : {"Drop 2nd", "Rotate", "Keep Specific Line"}) {
    std::string notes = Notes(RunIn("barline.musicxml", task, "2").afterXml);
    EXPECT_EQ(0u, notes.find("C4[natural] D4 F#4 A4 | C#4[sharp] ")) << task << ": " << notes;
  }
}

TEST(Accidentals, ANoteLeftAsItWasGainsOneOnlyWhereTheChangeMadeItNecessary) {
  // the F sharp between goes: the last F sharp now needs its sign, after its neighbour above
  // went; the F double sharp the file shows without a sign stays so
  ScoreJobResult r = RunIn("neighbour.musicxml", "Delete Outer Note", "");
  EXPECT_EQ("F4[natural] D4 D4 F#4[sharp] | D4 F##4", Notes(r.afterXml));
  EXPECT_NE(std::string::npos, r.afterXml.find("<print></print>")); // spliced, not rewritten
}

TEST(Accidentals, AParenthesisedSignStaysOnItsNoteMovedOrNot) {
  pugi::xml_document doc;
  ScoreJobResult r = RunIn("parens.musicxml", "Rotate", "");
  EXPECT_EQ("F#4[sharp] | D5 F4[natural] A4", Notes(r.afterXml));
  EXPECT_STREQ("yes",
               NoteAt(doc, r.afterXml, 2, 1).child("accidental").attribute("parentheses").value());
  r = RunIn("parens.musicxml", "Transpose Octave (Chord)", "2");
  EXPECT_EQ("F#4[sharp] | D5 F5[natural] A5", Notes(r.afterXml));
  EXPECT_STREQ("yes",
               NoteAt(doc, r.afterXml, 2, 1).child("accidental").attribute("parentheses").value());
}

TEST(WideKeys, ScaleStepsAndAccidentalsAreTheWrittenKeys) {
  // eight flats: the naturals stay, the added G5 needs one; E flat and G flat need none
  ScoreJobResult r = RunIn("widekey.musicxml", "Add Octave", "");
  EXPECT_EQ("C4[natural] E4[natural] G4[natural] G5[natural] | Eb4 Gb4 Gb5 | "
            "C4[natural] C5[natural]",
            Notes(r.afterXml));
  // thirds of the written scales: B double flat in eight flats; above a C natural the third
  // keeps its step's raise, E flat against the E double flat of nine flats
  r = RunIn("widekey.musicxml", "Add Third", "");
  EXPECT_EQ("C4[natural] E4[natural] G4[natural] Bb4[flat] | Eb4 Gb4 Bbb4 | "
            "C4[natural] Eb4[flat]",
            Notes(r.afterXml));
  EXPECT_EQ("", r.leftAlone);
  // eight sharps (G sharp major) and nine flats in minor (G flat minor)
  EXPECT_EQ("G#4 B#4 D#5 F##5 | Gb4 Bbb4 Db5 Fb5",
            Notes(RunIn("widekeys.musicxml", "Add Third", "").afterXml));
  r = RunIn("widekeys.musicxml", "Add Third", "", true);
  EXPECT_EQ("G#4 B#4 D#5 E#4 | Gb4 Bbb4 Db5 Ebb4", Notes(r.afterXml));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(WideKeys, PastTwentyOneSharpsOrFlatsAreLeftAloneAndCounted) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath("widekeys.musicxml"));
  std::string text(bytes.begin(), bytes.end());
  text.replace(text.find("<fifths>8</fifths>"), 18, "<fifths>22</fifths>");
  ScoreJobOptions o;
  o.task = "Add Third";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(text.begin(), text.end()), "wide.musicxml", o, Plugin());
  EXPECT_EQ("left alone: 1 chord in keys of more than 21 sharps or flats", r.leftAlone);
  EXPECT_EQ("[G#4 B#4 D#5] | [Gb4 Bbb4 Db5 Fb5]", Chords(r.afterXml, "P1"));
}

TEST(WideKeys, AreHeldSevenFifthsNearerWithEveryNoteTheSameStepAndBackExactly) {
  for (int fifths = -21; fifths <= 21; ++fifths) {
    if (fifths >= -7 && fifths <= 7) continue;
    musicxml::Key key = musicxml::TraditionalKey(fifths, false);
    int shift = 0;
    for (int octave = 2; octave <= 6; ++octave)
      for (int step = 0; step < 7; ++step)
        for (int alter = -3; alter <= 3; ++alter) {
          musicxml::Spelling s{step, octave, alter};
          int d, r;
          musicxml::ToHost(key, s, &d, &r);
          EXPECT_EQ(musicxml::PitchName(s), musicxml::PitchName(musicxml::FromHost(key, d, r)));
          ENOTE note = {static_cast<twobyte>(d), static_cast<twobyte>(r), 1, 0};
          static const int natural[7] = {0, 2, 4, 5, 7, 9, 11};
          int midi = 12 * (octave + 1) + natural[step] + alter;
          int heard = FX_NoteToMidi(&note, key.word, 0) - midi; // the same for every note
          if (octave == 2 && step == 0 && alter == -3) shift = heard;
          ASSERT_EQ(shift, heard) << fifths << " " << musicxml::PitchName(s);
        }
  }
  EXPECT_FALSE(musicxml::TraditionalKey(22, false).spellable);
  EXPECT_EQ(-2, musicxml::TraditionalKey(-9, false).signature[6]); // B double flat
}

// Every hand-made score and the example, every task both ways: a line diff of input and output
// shows only lines of notes; a task that changes nothing gives the input byte for byte; every
// output validates.
TEST(SmallerDiffs, OnlyTheChangedNotesLinesDifferAndEveryOutputIsValid) {
  std::vector<std::string> files;
  DIR* dir = opendir(FilePath("").c_str());
  ASSERT_TRUE(dir);
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name.size() > 9 && name.substr(name.size() - 9) == ".musicxml")
      files.push_back(FilePath(name));
  }
  closedir(dir);
  std::sort(files.begin(), files.end());
  files.push_back(std::string(QV_SOURCE_DIR) + "/examples/chorale.musicxml");
  std::vector<TaskInfo> tasks = TaskCatalogue(Plugin());
  ASSERT_GE(tasks.size(), 16u);
  TempFolder folder;
  std::vector<std::string> outputs;
  int unchanged = 0, changed = 0;
  for (const std::string& path : files) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    std::string in(bytes.begin(), bytes.end());
    std::vector<bool> inNotes = NoteLines(in);
    for (const TaskInfo& task : tasks)
      for (bool bottom : {false, true}) {
        if (bottom && !task.hasDirection) continue;
        ScoreJobOptions o;
        o.task = task.name;
        o.bottom = bottom;
        ScoreJobResult r = RunScoreJob(bytes, path, o, Plugin());
        std::string what = path + " " + task.name + (bottom ? " (second)" : "");
        if (StavesRefused(r)) continue; // a score Explode and Reduce cannot work on
        ASSERT_EQ(0, r.status) << what << ": " << r.error;
        std::string out(r.output.begin(), r.output.end());
        EXPECT_EQ("", OpenMarks(out)) << what;
        if (r.summary.find(": 0 chords changed") != std::string::npos) {
          EXPECT_EQ(in, out) << what;
          ++unchanged;
          continue;
        }
        ++changed;
        std::vector<bool> outNotes = NoteLines(out);
        std::vector<std::string> lines = DiffLines(in, out);
        EXPECT_FALSE(lines.empty()) << what;
        // The tasks that move lines between staves rewrite whole voices, which a line diff
        // pairs across parts; their bytes outside the selection are checked in explode_test.
        if (task.name == "Explode" || task.name == "Reduce") lines.clear();
        for (const std::string& l : lines) {
          size_t n = std::stoul(l.substr(1));
          const std::vector<bool>& notes = l[0] == '<' ? inNotes : outNotes;
          EXPECT_TRUE(n < notes.size() && notes[n]) << what << ": line " << l << " is no note's";
        }
        std::string name = std::to_string(outputs.size()) + ".musicxml";
        folder.Write(name, out);
        outputs.push_back(name);
      }
  }
  EXPECT_GT(unchanged, 0);
  EXPECT_GT(changed, 100);
  EXPECT_TRUE(AllValid(folder, outputs));
}

TEST(SmallerDiffs, AUtf16FileIsSplicedAsItsUtf8TextIsAndComesBackWholeWhenNothingChanged) {
  std::vector<uint8_t> ascii = ReadBytes(FilePath("chordtie.musicxml"));
  std::string text(ascii.begin(), ascii.end());
  text.replace(text.find("UTF-8"), 5, "UTF-16");
  text.replace(text.find("The G"), 5, "The G \xE2\x99\xAE \xF0\x9D\x84\x9E"); // U+266E, U+1D11E
  auto wide = [](const std::string& narrow) {
    std::vector<uint8_t> w = {0xFE, 0xFF}; // big-endian, from UTF-8 with at most 4-byte forms
    for (size_t i = 0; i < narrow.size();) {
      unsigned char c = narrow[i];
      int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
      uint32_t u = more ? c & (0x3F >> more) : c;
      for (int k = 1; k <= more; ++k)
        u = u << 6 | (narrow[i + k] & 0x3F);
      i += more + 1;
      std::vector<uint32_t> units = {u};
      if (u >= 0x10000) units = {0xD800 + ((u - 0x10000) >> 10), 0xDC00 + ((u - 0x10000) & 0x3FF)};
      for (uint32_t x : units)
        w.insert(w.end(), {static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(x)});
    }
    return w;
  };
  ScoreJobOptions o;
  o.task = "Delete Unisons";
  EXPECT_EQ(wide(text), RunScoreJob(wide(text), "wide.musicxml", o, Plugin()).output);
  for (const char* task : {"Add Octave", "Delete Outer Note", "Drop 2nd"}) {
    o.task = task;
    ScoreJobResult narrow =
        RunScoreJob(std::vector<uint8_t>(text.begin(), text.end()), "narrow.musicxml", o, Plugin());
    ScoreJobResult r = RunScoreJob(wide(text), "wide.musicxml", o, Plugin());
    ASSERT_EQ(0, r.status) << r.error;
    EXPECT_EQ(wide(std::string(narrow.output.begin(), narrow.output.end())), r.output) << task;
  }
}

// A file on one line, with comments between the notes, attributes in single quotes and a note
// last in its measure: every task gives the chords it gives on the file as written by hand, in
// a valid file.
TEST(SmallerDiffs, AFileWithoutLineBreaksOrIndentationIsSplicedAsWell) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath("tasks.musicxml"));
  std::string plain(bytes.begin(), bytes.end()), packed;
  for (char c : plain)
    if (c != '\n') packed += c;
  for (size_t at = 0; (at = packed.find("</note><note>", at)) != std::string::npos; at += 20)
    packed.replace(at, 13, "</note><!--n--><note>");
  packed.replace(packed.find("version=\"4.0\""), 13, "version='4.0'");
  ASSERT_NE(std::string::npos, packed.find("</note></measure>")); // a note last in its measure
  TempFolder folder;
  std::vector<std::string> outputs;
  for (const TaskInfo& task : TaskCatalogue(Plugin())) {
    ScoreJobOptions o;
    o.task = task.name;
    ScoreJobResult want = RunScoreJob(bytes, "plain.musicxml", o, Plugin());
    ScoreJobResult r =
        RunScoreJob(std::vector<uint8_t>(packed.begin(), packed.end()), "packed", o, Plugin());
    if (StavesRefused(r) && StavesRefused(want)) continue;
    ASSERT_EQ(0, r.status) << task.name << ": " << r.error;
    std::string out(r.output.begin(), r.output.end());
    EXPECT_EQ(Chords(want.afterXml, "P1"), Chords(out, "P1")) << task.name;
    EXPECT_EQ(std::string::npos, out.find('\n', out.find("<score-partwise"))) << task.name;
    outputs.push_back(std::to_string(outputs.size()) + ".musicxml");
    folder.Write(outputs.back(), out);
  }
  EXPECT_TRUE(AllValid(folder, outputs));
}

TEST(SmallerDiffs, MarkedNotesGainTheirColourAndNothingElseChangesForIt) {
  ScoreJobOptions o;
  o.task = "Drop 2nd";
  o.markChanges = true;
  ScoreJobResult marked =
      RunScoreJob(ReadBytes(FilePath("pianovoices.musicxml")), "pianovoices.musicxml", o, Plugin());
  std::string text = marked.afterXml;
  EXPECT_EQ(7, [&text] {
    int n = 0;
    for (size_t at = 0; (at = text.find("<note color=\"#D03020\">", at)) != std::string::npos; ++at)
      ++n;
    return n;
  }());
  const std::string colour = " color=\"#D03020\"";
  for (size_t at; (at = text.find(colour)) != std::string::npos;)
    text.erase(at, colour.size());
  o.markChanges = false;
  ScoreJobResult plain =
      RunScoreJob(ReadBytes(FilePath("pianovoices.musicxml")), "pianovoices.musicxml", o, Plugin());
  EXPECT_EQ(plain.afterXml, text);
}

TEST(SmallerDiffs, ChangedNotesKeepTheFilesLineEndsAndAnUnchangedArchiveComesBackAsItWas) {
  ScoreJobResult r = RunIn("pianovoices.musicxml", "Add Octave", "");
  std::string out(r.output.begin(), r.output.end());
  ASSERT_NE(std::string::npos, out.find("<octave>6</octave>"));
  for (size_t at = 0; (at = out.find('\n', at)) != std::string::npos; ++at)
    ASSERT_EQ('\r', out[at - 1]) << out.substr(at > 80 ? at - 80 : 0, 80);

  std::vector<uint8_t> mxl =
      ReadBytes(std::string(QV_SOURCE_DIR) + "/tests/fuzz/corpus/score_fuzz/ties.mxl");
  ScoreJobOptions o;
  o.task = "Delete Unisons";
  r = RunScoreJob(mxl, "ties.mxl", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(mxl, r.output);
}

} // namespace
