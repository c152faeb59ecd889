// What the mapping between the file and the host's score must get right, one hand-made file
// each (files/), checked note by note after the plug-in's task.
#include <zip.h>

#include "data/fccell.h"
#include "data/fckeysignature.h"
#include "hostapi/fxrecords.h"
#include "hostsim.h"
#include "hostscore.h"
#include "pitch.h"
#include "score.h"
#include "writeback.h"
#include "scorefixture.h"

extern "C" int32_t FX_NoteToMidi(void* noteslot, int32_t keyword, uint32_t version);

using namespace scoretest;

namespace {

TEST(PitchMapping, EveryKeyStoresNotesAsTheHostSoundsThemAndReadsThemBackExactly) {
  for (int fifths = -7; fifths <= 7; ++fifths)
    for (bool minor : {false, true})
      for (int octave = 1; octave <= 7; ++octave)
        for (int step = 0; step < 7; ++step)
          for (int alter = -2; alter <= 2; ++alter) {
            musicxml::Key key = musicxml::TraditionalKey(fifths, minor);
            musicxml::Spelling s{step, octave, alter};
            int d, r;
            musicxml::ToHost(key, s, &d, &r);
            ENOTE note = {static_cast<twobyte>(d), static_cast<twobyte>(r), 1, 0};
            static const int natural[7] = {0, 2, 4, 5, 7, 9, 11};
            int midi = 12 * (octave + 1) + natural[step] + alter;
            ASSERT_EQ(std::min(127, std::max(0, midi)), FX_NoteToMidi(&note, key.word, 0))
                << fifths << (minor ? " minor " : " major ") << musicxml::PitchName(s);
            musicxml::Spelling back = musicxml::FromHost(key, d, r);
            ASSERT_EQ(musicxml::PitchName(s), musicxml::PitchName(back));
          }
}

TEST(PitchMapping, ATranspositionMovesNotesAndKeysTogetherAndBackExactly) {
  // Steps and semitones from written to sounding: a clarinet, a tenor saxophone, a horn, an
  // alto saxophone, a piccolo (an octave up) and an interval no instrument uses.
  const musicxml::Transposition ts[] = {{-1, -2}, {-8, -14}, {-4, -7}, {-5, -9}, {7, 12}, {2, 3}};
  static const int natural[7] = {0, 2, 4, 5, 7, 9, 11};
  for (const musicxml::Transposition& t : ts)
    for (int fifths = -7; fifths <= 7; ++fifths) {
      musicxml::Key written = musicxml::TraditionalKey(fifths, false);
      musicxml::Key sounding = musicxml::SoundingKey(written, t);
      ASSERT_TRUE(sounding.spellable);
      for (int step = 0; step < 7; ++step)
        for (int alter = -1; alter <= 1; ++alter) {
          musicxml::Spelling w{step, 4, written.signature[step] + alter};
          musicxml::Spelling s = musicxml::Sounding(w, t);
          int semitones = 12 * w.octave + natural[w.step] + w.alter;
          EXPECT_EQ(semitones + t.chromatic, 12 * s.octave + natural[s.step] + s.alter);
          EXPECT_EQ(7 * w.octave + w.step + t.diatonic, 7 * s.octave + s.step);
          // A note of the written key is a note of the sounding key, an accidental stays one.
          EXPECT_EQ(alter, s.alter - sounding.signature[s.step]) << fifths << " " << step;
          EXPECT_EQ(musicxml::PitchName(w), musicxml::PitchName(musicxml::Written(s, t)));
        }
    }
  musicxml::Key dMinor = musicxml::TraditionalKey(-1, true);
  EXPECT_EQ(0x01FF, dMinor.word);
  EXPECT_EQ(0x01FD, musicxml::SoundingKey(dMinor, {-1, -2}).word); // C minor
}

TEST(Mapping, TransposingPartsAreHeldAtConcertPitchInTheKeyThatSounds) {
  musicxml::Score score;
  std::string error;
  ASSERT_TRUE(
      musicxml::ParseScore(ReadBytes(FilePath("transposing-parts.musicxml")), &score, &error))
      << error;
  hostsim::Reset();
  BuildHostScore(score);
  // Written D major for the clarinet and the saxophone is concert C, the measure's key; the
  // horn's A major is concert D, a key of its own. Then written F and C: concert E-flat and F.
  EXPECT_EQ(0x0000, FCCell(1, 1).GetKeySignature()->GetKeyWord());
  EXPECT_EQ(0x0000, FCCell(1, 2).GetKeySignature()->GetKeyWord());
  EXPECT_EQ(0x0002, FCCell(1, 3).GetKeySignature()->GetKeyWord());
  EXPECT_EQ(0x00FD, FCCell(2, 1).GetKeySignature()->GetKeyWord());
  EXPECT_EQ(0x00FF, FCCell(2, 3).GetKeySignature()->GetKeyWord());
  // The first chord, written D4 F#4 A4: C4 E4 G4, C3 E3 G3 and G3 B3 D4 sound.
  auto held = [](int16_t staff) {
    std::vector<int> out;
    const EXENTRY& e = hostsim::Cell(staff, 1, 0).at(0);
    for (int k = 0; k < e.notecount; ++k)
      out.push_back(FX_NoteToMidi(const_cast<ENOTE*>(&e.notes[k]),
                                  FCCell(1, staff).GetKeySignature()->GetKeyWord(), 0));
    return out;
  };
  EXPECT_EQ((std::vector<int>{60, 64, 67}), held(1));
  EXPECT_EQ((std::vector<int>{48, 52, 55}), held(2));
  EXPECT_EQ((std::vector<int>{55, 59, 62}), held(3));
  EXPECT_EQ(0, hostsim::Cell(1, 1, 0).at(0).notes[0].displacement);  // from the tonic C
  EXPECT_EQ(-4, hostsim::Cell(3, 1, 0).at(0).notes[0].displacement); // from the tonic D4
}

TEST(Mapping, KeysWithSharpsFlatsAndMinorModesGiveDiatonicThirdsWithTheirAccidentals) {
  ScoreJobResult up = RunFile("keys.musicxml", "Add Third");
  ASSERT_EQ(0, up.status) << up.error;
  EXPECT_EQ("[D4 F#4 A4 C#5] | [Bb3 Db4 F4 Ab4] | [G4 B4 D#5] | [E4 G4 B4 D5] | [D4 F#4 A4 C#5]",
            Chords(up.afterXml, "P1"));
  pugi::xml_document doc;
  EXPECT_STREQ("", NoteAt(doc, up.afterXml, 1, 3).child_value("accidental")); // C# in D major
  EXPECT_STREQ("sharp", NoteAt(doc, up.afterXml, 3, 2).child_value("accidental"));
  EXPECT_STREQ("natural", NoteAt(doc, up.afterXml, 3, 1).child_value("accidental"));
  // F sharp and C sharp given letter by letter are D major: the third above A is C#, as written
  EXPECT_FALSE(NoteAt(doc, up.afterXml, 5, 3).child("accidental"));
  ScoreJobResult down = RunFile("keys.musicxml", "Add Third", true);
  EXPECT_EQ("[B3 D4 F#4 A4] | [Gb3 Bb3 Db4 F4] | [Eb4 G4 B4] | [C4 E4 G4 B4] | [B3 D4 F#4 A4]",
            Chords(down.afterXml, "P1"));
  EXPECT_TRUE(Valid(up.afterXml));
}

// A signature no traditional key has, given letter by letter (B flat, E flat, F sharp): the
// key's own accidentals are the written ones, not C major's (files/letterkey.musicxml: A4, D4
// and C#4, a note outside the key).
TEST(Mapping, AKeyGivenLetterByLetterSpellsAddedNotesAsWritten) {
  struct Case {
    const char* task;
    const char* chords;
  } const cases[] = {{"Add Second", "[A4 Bb4] | [D4 Eb4] | [C#4 D4]"},
                     {"Add Third", "[A4 C5] | [D4 F#4] | [C#4 E4]"},
                     {"Add Fifth", "[A4 Eb5] | [D4 A4] | [C#4 G#4]"},
                     {"Add Octave", "[A4 A5] | [D4 D5] | [C#4 C#5]"}};
  for (const Case& c : cases) {
    ScoreJobResult r = RunFile("letterkey.musicxml", c.task);
    EXPECT_EQ(c.chords, Chords(r.afterXml, "P1")) << c.task;
    EXPECT_TRUE(Valid(r.afterXml)) << c.task;
  }
  // the written key also decides which added notes show an accidental
  pugi::xml_document doc;
  ScoreJobResult r = RunFile("letterkey.musicxml", "Add Second");
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 1).child("accidental"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 1).child("accidental"));
}

// A signature of double flats and sharps no traditional key has (files/doublekey.musicxml: C4
// and F#4 outside it, Db4 in it; the key: Cbb, Db, E, F, G##, A, B#). Added notes take the
// key's accidentals, but a fourth or a fifth over a note outside the key is perfect (as the
// host sounds the key), and a third keeps its note's distance from the key.
TEST(Mapping, AKeyOfDoubleFlatsAndSharpsGivesEveryAddedIntervalInIt) {
  struct Case {
    const char* task;
    const char* up;
    const char* down;
  } const cases[] = {
      {"Add Second", "[C4 Db4] | [Db4 E4] | [F#4 G##4]", "[B#3 C4] | [Cbb4 Db4] | [E4 F#4]"},
      {"Add Third", "[C4 E##4] | [Db4 F4] | [F#4 A#4]", "[A##3 C4] | [B#3 Db4] | [D4 F#4]"},
      {"Add Fourth", "[C4 F4] | [Db4 G##4] | [F#4 B4]", "[G3 C4] | [A3 Db4] | [C#4 F#4]"},
      {"Add Fifth", "[C4 G4] | [Db4 A4] | [F#4 C#5]", "[F3 C4] | [G##3 Db4] | [B3 F#4]"},
      {"Add Sixth", "[C4 A4] | [Db4 B#4] | [F#4 Db5]", "[E3 C4] | [F3 Db4] | [A3 F#4]"},
      {"Add Seventh", "[C4 B#4] | [Db4 Cbb5] | [F#4 E5]", "[Db3 C4] | [E3 Db4] | [G##3 F#4]"},
      {"Add Octave", "[C4 C5] | [Db4 Db5] | [F#4 F#5]", "[C3 C4] | [Db3 Db4] | [F#3 F#4]"},
  };
  for (const Case& c : cases)
    for (bool bottom : {false, true}) {
      ScoreJobResult r = RunFile("doublekey.musicxml", c.task, bottom);
      EXPECT_EQ(bottom ? c.down : c.up, Chords(r.afterXml, "P1")) << c.task << " " << bottom;
      EXPECT_EQ("", r.leftAlone) << c.task << " " << bottom;
    }
  EXPECT_TRUE(Valid(RunFile("doublekey.musicxml", "Add Fifth").afterXml));
}

TEST(Mapping, AKeyChangedHalfwayThroughAMeasureHoldsFromWhereItStandsOnEveryStaff) {
  ScoreJobResult r = RunFile("midkey.musicxml", "Add Third");
  pugi::xml_document doc;
  // the lower staff's chord starts before the change: C major, not B flat major
  EXPECT_EQ("[A4 C5 E5] [Bb4 D5 F5] [C3 E3 G3]", Chords(r.afterXml, "P1"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 7).child("accidental"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 8).child("accidental"));
}

TEST(Mapping, AStaffInAKeyOfItsOwnHasItInTheHostsCellAsThePlugInReadsIt) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath("keys.musicxml"));
  std::string text(bytes.begin(), bytes.end());
  text.replace(text.find("<fifths>2</fifths>"), 18,
               "<fifths>0</fifths></key><key number=\"2\"><fifths>2</fifths>");
  text.replace(text.find("<time>"), 0, "<staves>2</staves>");
  for (size_t at = 0, n = 0; n < 3; ++n, at += 24) // the first chord onto staff 2
    text.replace(at = text.find("</note>", at), 0, "<staff>2</staff>");
  musicxml::Score score;
  std::string error;
  ASSERT_TRUE(musicxml::ParseScore(std::vector<uint8_t>(text.begin(), text.end()), &score, &error))
      << error;
  hostsim::Reset();
  BuildHostScore(score);
  EXPECT_EQ(0x0002, FCCell(1, 2).GetKeySignature()->GetKeyWord()); // staff 2, measure 1
  EXPECT_EQ(0x0000, FCCell(1, 1).GetKeySignature()->GetKeyWord());
  EXPECT_EQ(0x01FB, FCCell(2, 1).GetKeySignature()->GetKeyWord()); // B-flat minor for both
  ScoreJobOptions o;
  o.task = "Add Third";
  o.measures = "1";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(text.begin(), text.end()), "keys.musicxml", o, Plugin());
  EXPECT_EQ(0u, Chords(r.afterXml, "P1").find("[D4 F#4 A4 C#5] |")); // a third in D major
}

TEST(Mapping, VoicesOfAStaffAndStavesOfAPartChangeApartAndTheRestIsLeftAloneAndCounted) {
  ScoreJobResult r = RunFile("voices.musicxml", "Drop 2nd");
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E3 G4] [F3 A4] [C2 G3] [D2 A3]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[E4 C5 G5] [C2 G3]", Chords(r.afterXml, "P2"));
  EXPECT_EQ("[C4 E4] [D4 F4] [x x] [r] [C2 E3] [D2 F3] [E2 G3] [F2 A3] [G3 B3]",
            Chords(r.afterXml, "P3"));
  EXPECT_EQ("left alone: 1 chord in voices past the fourth of a staff, 1 chord with unpitched "
            "notes, 1 chord with microtones, 1 chord with notes on two staves",
            r.leftAlone);
  EXPECT_EQ("Drop 2nd: 10 chords changed in 1 measure on 4 staves", r.summary);
  EXPECT_TRUE(Valid(r.afterXml));

  ScoreJobOptions piano;
  piano.parts = "P2,Extras";
  r = RunFile("voices.musicxml", "Drop 2nd", false, piano);
  EXPECT_EQ("[E4 G4] [F4 A4] [C3 G3] [D3 A3]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("[E4 C5 G5] [C2 G3]", Chords(r.afterXml, "P2"));
  piano.parts = "P1,P2"; // what lies outside the selection is not counted
  EXPECT_EQ("", RunFile("voices.musicxml", "Drop 2nd", false, piano).leftAlone);
  piano.parts = "Strings"; // a score without the part: skipped, said, nothing made
  r = RunFile("voices.musicxml", "Drop 2nd", false, piano);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(0u, r.skipped.find("voices.musicxml: no part \"Strings\" in the score")) << r.skipped;
  EXPECT_TRUE(r.output.empty());
}

TEST(Mapping, ATieKeepsOnlyWhereTheSamePitchFollowsInTheVoice) {
  // out of a changed chord: the moved G loses its tie, and so does the G it went to, outside
  // the selection: a tie's end with no start would be left
  ScoreJobOptions first;
  first.measures = "1";
  ScoreJobResult r = RunFile("ties.musicxml", "Transpose Octave", false, first);
  pugi::xml_document doc;
  EXPECT_EQ("[C4 E4 G5] | [C4 E4 G4]", Chords(r.afterXml, "P1"));
  EXPECT_TRUE(NoteAt(doc, r.afterXml, 1, 0).find_child_by_attribute("tie", "type", "start"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("tie"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("notations"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("tie"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("notations"));
  EXPECT_TRUE(NoteAt(doc, r.afterXml, 2, 1).find_child_by_attribute("tie", "type", "stop"));
  // into a changed chord: the moved G loses its stop, the G before it (outside) its start
  ScoreJobOptions second;
  second.measures = "2-2";
  r = RunFile("ties.musicxml", "Transpose Octave", false, second);
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("tie"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("notations"));
  EXPECT_TRUE(NoteAt(doc, r.afterXml, 1, 1).find_child_by_attribute("tie", "type", "start"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("tie"));
  // an added note copies its source's tie and the next chord's same note takes the stop
  r = RunFile("ties.musicxml", "Add Octave");
  EXPECT_EQ("[C4 E4 G4 G5] | [C4 E4 G4 G5]", Chords(r.afterXml, "P1"));
  EXPECT_STREQ("start", NoteAt(doc, r.afterXml, 1, 3).child("tie").attribute("type").value());
  EXPECT_STREQ(
      "start",
      NoteAt(doc, r.afterXml, 1, 3).child("notations").child("tied").attribute("type").value());
  EXPECT_STREQ("stop", NoteAt(doc, r.afterXml, 2, 3).child("tie").attribute("type").value());
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, ATieFollowsItsStaffWhenAVoiceNumberIsUsedOnBothStaves) {
  ScoreJobResult r = RunFile("samevoice.musicxml", "Transpose Octave");
  pugi::xml_document doc;
  EXPECT_EQ("[C4 E4 G5] [C3 G4] | [C4 E4 G5] [C3 G4]", Chords(r.afterXml, "P1"));
  for (int note = 0; note < 3; ++note) {
    EXPECT_TRUE(NoteAt(doc, r.afterXml, 1, note).find_child_by_attribute("tie", "type", "start"));
    EXPECT_TRUE(NoteAt(doc, r.afterXml, 2, note).find_child_by_attribute("tie", "type", "stop"));
  }
}

TEST(Mapping, ATieShownOnlyAsANotationIsKeptConsistentAsWell) {
  std::vector<uint8_t> bytes = ReadBytes(FilePath("ties.musicxml"));
  std::string xml(bytes.begin(), bytes.end());
  for (size_t at; (at = xml.find("<tie type=")) != std::string::npos;)
    xml.erase(at, xml.find("/>", at) + 2 - at);
  ScoreJobOptions o;
  o.task = "Transpose Octave";
  o.measures = "1";
  ScoreJobResult r = RunScoreJob(std::vector<uint8_t>(xml.begin(), xml.end()), "ties", o, Plugin());
  pugi::xml_document doc;
  EXPECT_EQ("[C4 E4 G5] | [C4 E4 G4]", Chords(r.afterXml, "P1"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("notations"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("notations")); // outside, its start gone
  EXPECT_TRUE(NoteAt(doc, r.afterXml, 2, 1).child("notations").child("tied"));
}

TEST(Mapping, ANoteThatLosesItsTieShowsTheAccidentalItsMeasureNowNeeds) {
  ScoreJobOptions second;
  second.measures = "2";
  ScoreJobResult r = RunFile("tiedkey.musicxml", "Transpose Octave", false, second);
  pugi::xml_document doc;
  EXPECT_EQ("[C4 F4 A4] | [C4 F4 A5]", Chords(r.afterXml, "P1"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("tie"));
  EXPECT_STREQ("natural", NoteAt(doc, r.afterXml, 2, 2).child_value("accidental"));
  // the note it was tied to, outside the selection, loses its end of the tie, and with it the
  // continuation that let it go without the natural its key now asks for
  ScoreJobOptions first;
  first.measures = "1";
  r = RunFile("tiedkey.musicxml", "Transpose Octave", false, first);
  EXPECT_EQ("[C4 F4 A5] | [C4 F4 A4]", Chords(r.afterXml, "P1"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 2, 2).child("tie"));
  EXPECT_STREQ("natural", NoteAt(doc, r.afterXml, 2, 2).child_value("accidental"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, RemovingTheFirstNoteHandsItsLyricsArticulationsSlurAndBeamToTheNextNote) {
  ScoreJobResult r = RunFile("firstnote.musicxml", "Delete Outer Note", true);
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[E4 G4] [F4 A4]", Chords(r.afterXml, "P1"));
  pugi::xml_document doc;
  pugi::xml_node e = NoteAt(doc, r.afterXml, 1, 0);
  EXPECT_FALSE(e.child("chord"));
  EXPECT_STREQ("La", e.child("lyric").child_value("text"));
  EXPECT_TRUE(e.child("notations").child("articulations").child("staccato"));
  EXPECT_STREQ("start", e.child("notations").child("slur").attribute("type").value());
  EXPECT_STREQ("begin", e.child_value("beam"));
  pugi::xml_node f = NoteAt(doc, r.afterXml, 1, 2);
  EXPECT_STREQ("F", f.child("pitch").child_value("step"));
  EXPECT_TRUE(f.child("notations").child("fermata"));
  EXPECT_STREQ("end", f.child_value("beam"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, AnAddedNoteTakesWhatBelongsToEachNoteAndNoneOfTheChordsMarks) {
  ScoreJobResult r = RunFile("firstnote.musicxml", "Add Octave");
  pugi::xml_document doc;
  pugi::xml_node added = NoteAt(doc, r.afterXml, 1, 3);
  EXPECT_STREQ("G", added.child("pitch").child_value("step"));
  EXPECT_STREQ("5", added.child("pitch").child_value("octave"));
  EXPECT_TRUE(added.child("chord"));
  EXPECT_STREQ("eighth", added.child_value("type"));
  EXPECT_STREQ("up", added.child_value("stem"));
  EXPECT_FALSE(added.child("lyric") || added.child("beam") || added.child("notations"));
  EXPECT_FALSE(added.attribute("id") || added.attribute("default-x"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, NotesAddedAndRemovedKeepTheFilesIndentation) {
  std::vector<uint8_t> example =
      ReadBytes(std::string(QV_SOURCE_DIR) + "/examples/chorale.musicxml");
  for (bool bottom : {false, true}) {
    ScoreJobOptions o;
    o.task = bottom ? "Delete Outer Note" : "Add Octave";
    o.bottom = bottom;
    ScoreJobResult r = RunScoreJob(example, "chorale.musicxml", o, Plugin());
    ASSERT_EQ(0, r.status) << r.error;
    EXPECT_EQ(std::string::npos, r.afterXml.find("  \n")) << o.task; // no line of spaces
    EXPECT_NE(std::string::npos,
              r.afterXml.find(bottom ? "<note>\n        <pitch>\n          <step>B</step>"
                                     : "<note>\n        <chord/>\n        <pitch>\n          "
                                       "<step>G</step>\n          <octave>5</octave>"))
        << r.afterXml;
  }
}

TEST(Mapping, GraceChordsAreEntriesOfTheirOwn) {
  ScoreJobResult r = RunFile("grace.musicxml", "Add Third");
  EXPECT_EQ("g[C5 E5 G5] [C4 E4 G4 B4]", Chords(r.afterXml, "P1"));
  pugi::xml_document doc;
  EXPECT_TRUE(NoteAt(doc, r.afterXml, 1, 2).child("grace"));
  EXPECT_FALSE(NoteAt(doc, r.afterXml, 1, 2).child("duration"));
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, AResultAFileCannotWriteLeavesTheChordAsItWasAndSaysSo) {
  std::vector<uint8_t> tasks = ReadBytes(FilePath("tasks.musicxml"));
  std::string text(tasks.begin(), tasks.end());
  text.replace(text.find("<octave>5</octave>"), 18,
               "<octave>9</octave>"); // C9 atop the first chord
  ScoreJobOptions o;
  o.task = "Transpose Octave";
  ScoreJobResult r =
      RunScoreJob(std::vector<uint8_t>(text.begin(), text.end()), "high.musicxml", o, Plugin());
  EXPECT_EQ(0u, Chords(r.afterXml, "P1").find("[C4 E4 G4 C9] [D4 F4 A5]"));
  EXPECT_EQ("left alone: 1 chord whose result would leave the octaves a file can write (0 to 9)",
            r.leftAlone);
  EXPECT_TRUE(Valid(r.afterXml));
}

TEST(Mapping, MeasuresAreChosenByTheNumbersTheFilePrintsAPickupIncluded) {
  ScoreJobOptions o;
  o.measures = "0-0";
  ScoreJobResult r = RunFile("pickup.musicxml", "Drop 2nd", false, o);
  EXPECT_EQ("[B3 G4 D5] | [C4 E4 G4] | [D4 F4 A4]", Chords(r.afterXml, "P1"));
  o.measures = "1-2";
  r = RunFile("pickup.musicxml", "Drop 2nd", false, o);
  EXPECT_EQ("[G4 B4 D5] | [E3 C4 G4] | [F3 D4 A4]", Chords(r.afterXml, "P1"));
  EXPECT_EQ("Drop 2nd: 2 chords changed in 2 measures on 1 staff", r.summary);
  o.measures = "2-1";
  EXPECT_EQ(2, RunFile("pickup.musicxml", "Drop 2nd", false, o).status);
  o.measures = "7";
  EXPECT_EQ(2, RunFile("pickup.musicxml", "Drop 2nd", false, o).status);
}

TEST(Mapping, ATaskThatChangesNothingGivesTheSameCanonicalFileCommentsAndInstructionsKept) {
  std::vector<uint8_t> pickup = ReadBytes(FilePath("pickup.musicxml"));
  ScoreJobResult r = RunFile("pickup.musicxml", "Delete Unisons");
  EXPECT_EQ("Delete Unisons: 0 chords changed in 0 measures on 0 staves", r.summary);
  EXPECT_EQ(Canonical(std::string(pickup.begin(), pickup.end())), Canonical(r.afterXml));
  EXPECT_NE(std::string::npos, r.afterXml.find("<?qv-note a processing instruction"));
  r = RunFile("tasks.musicxml", "Delete Unisons");
  EXPECT_NE(std::string::npos, Canonical(r.afterXml).find("<!-- Six chords in C major"));
}

TEST(Mapping, AFileInUtf16ComesBackInUtf16WithItsByteOrderMark) {
  std::vector<uint8_t> ascii = ReadBytes(FilePath("pickup.musicxml"));
  std::string text(ascii.begin(), ascii.end());
  text.replace(text.find("UTF-8"), 5, "UTF-16");
  std::vector<uint8_t> wide = {0xFF, 0xFE};
  for (char ch : text)
    wide.insert(wide.end(), {static_cast<uint8_t>(ch), 0});
  ScoreJobOptions o;
  o.task = "Drop 2nd";
  ScoreJobResult r = RunScoreJob(wide, "pickup.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  ASSERT_GE(r.output.size(), 4u);
  EXPECT_EQ(0xFF, r.output[0]);
  EXPECT_EQ(0xFE, r.output[1]);
  std::string narrow;
  for (size_t i = 2; i + 1 < r.output.size(); i += 2)
    narrow += static_cast<char>(r.output[i]);
  EXPECT_EQ("[B3 G4 D5] | [E3 C4 G4] | [F3 D4 A4]", Chords(narrow, "P1"));
  // The texts shown beside the file (the web page draws them) are UTF-8 whatever the file's.
  EXPECT_EQ("[B3 G4 D5] | [E3 C4 G4] | [F3 D4 A4]", Chords(r.afterXml, "P1"));
  EXPECT_EQ(Chords(text, "P1"), Chords(r.beforeXml, "P1"));
  EXPECT_EQ(std::string::npos, r.afterXml.find('\0'));
}

TEST(Mapping, CompressedScoresComeBackInTheSameContainerWithOnlyTheScoreReplaced) {
  std::vector<uint8_t> score = ReadBytes(FilePath("pickup.musicxml"));
  const char manifest[] = "<?xml version=\"1.0\"?><container><rootfiles><rootfile "
                          "full-path=\"music/pickup.musicxml\"/></rootfiles></container>";
  TempFolder folder;
  std::string path = folder.Path("pickup.mxl");
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE, nullptr);
  zip_file_add(z, "META-INF/container.xml", zip_source_buffer(z, manifest, sizeof manifest - 1, 0),
               0);
  zip_file_add(z, "music/pickup.musicxml", zip_source_buffer(z, score.data(), score.size(), 0), 0);
  zip_file_add(z, "readme.txt", zip_source_buffer(z, "kept", 4, 0), 0);
  ASSERT_EQ(0, zip_close(z));

  ScoreJobOptions o;
  o.task = "Drop 2nd";
  ScoreJobResult r = RunScoreJob(ReadBytes(path), "pickup.mxl", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ("[B3 G4 D5] | [E3 C4 G4] | [F3 D4 A4]", Chords(r.afterXml, "P1"));
  std::string out = folder.Write("out.mxl", std::string(r.output.begin(), r.output.end()));
  z = zip_open(out.c_str(), ZIP_RDONLY, nullptr);
  ASSERT_TRUE(z);
  EXPECT_EQ(3, zip_get_num_entries(z, 0));
  char text[8] = {0};
  zip_file_t* f = zip_fopen(z, "readme.txt", 0);
  ASSERT_TRUE(f);
  EXPECT_EQ(4, zip_fread(f, text, 4));
  zip_fclose(f);
  zip_stat_t st;
  EXPECT_EQ(0, zip_stat(z, "music/pickup.musicxml", 0, &st));
  EXPECT_EQ(r.afterXml.size(), st.size);
  zip_discard(z);
  EXPECT_STREQ("kept", text);

  // a broken archive: a message naming the file, nothing produced
  std::vector<uint8_t> broken = ReadBytes(path);
  broken.resize(broken.size() / 2);
  r = RunScoreJob(broken, "pickup.mxl", o, Plugin());
  EXPECT_EQ(2, r.status);
  EXPECT_EQ(0u, r.error.find("pickup.mxl: ")) << r.error;
  EXPECT_TRUE(r.output.empty());
}

} // namespace

namespace {

TEST(TaskCatalogue, IsThePlugInsOwnListWithDescriptionsAndDirectionCaptions) {
  std::vector<TaskInfo> tasks = TaskCatalogue(Plugin());
  ASSERT_EQ(25u, tasks.size());
  EXPECT_EQ("Add Third", tasks[0].name);
  EXPECT_EQ("Adds a (diatonic) third interval to the chord.", tasks[0].description);
  EXPECT_EQ("Unisons to Octaves", tasks[15].name);
  EXPECT_TRUE(tasks[12].hasDirection);
  EXPECT_EQ("Up", tasks[12].topLabel);
  EXPECT_EQ("Down", tasks[12].bottomLabel);
  EXPECT_FALSE(tasks[6].hasDirection); // Drop 2nd
  EXPECT_EQ("Close Position", tasks[21].name);
  EXPECT_EQ("Top (close below)", tasks[21].topLabel);
  EXPECT_EQ("Voice Leading", tasks[22].name);
  EXPECT_EQ("Top", tasks[22].topLabel);
  EXPECT_EQ("Bottom", tasks[22].bottomLabel);
  // The tasks that move music between staves come last.
  EXPECT_EQ("Explode", tasks[tasks.size() - 2].name);
  EXPECT_EQ("Reduce", tasks.back().name);
  EXPECT_TRUE(tasks.back().hasDirection);
}

} // namespace

namespace {

TEST(Mapping, TheDrawingAloneIsMarkedAndTheChangedChordsAreListedWithTheirBeats) {
  const std::string chorale = std::string(QV_SOURCE_DIR) + "/examples/chorale.musicxml";
  ScoreJobOptions o;
  o.task = "Drop 2nd";
  ScoreJobResult plain = RunScoreJob(ReadBytes(chorale), "chorale.musicxml", o, Plugin());
  o.markShown = o.listChanges = true;
  ScoreJobResult r = RunScoreJob(ReadBytes(chorale), "chorale.musicxml", o, Plugin());
  ASSERT_EQ(0, r.status) << r.error;
  EXPECT_EQ(plain.output, r.output); // one run gives the command's file and the marked drawing
  std::string output(r.output.begin(), r.output.end());
  EXPECT_EQ(std::string::npos, output.find("qv-change"));
  EXPECT_EQ(std::string::npos, output.find("#D03020"));
  pugi::xml_document shown;
  ASSERT_TRUE(shown.load_string(r.afterXml.c_str()));
  // every note of each changed chord is named; only the moved note is coloured
  pugi::xml_node first = shown.find_node(
      [](pugi::xml_node n) { return std::string(n.attribute("id").value()) == "qv-change-0-0"; });
  ASSERT_TRUE(first);
  int named = 0, coloured = 0;
  for (pugi::xml_node n = first; n && (n == first || n.child("chord"));
       n = n.next_sibling("note")) {
    named += std::string(n.attribute("id").value()).rfind("qv-change-0-", 0) == 0;
    coloured += std::string(n.attribute("color").value()) == "#D03020";
  }
  EXPECT_EQ(4, named);
  EXPECT_EQ(1, coloured);
  ASSERT_EQ(7u, r.changes.size());
  const ChangedChord& c = r.changes[0];
  EXPECT_EQ("P1", c.part);
  EXPECT_EQ("Choir", c.partName);
  EXPECT_EQ("1", c.measure);
  EXPECT_EQ(1, c.staff);
  EXPECT_EQ(1, c.scoreStaff);
  EXPECT_DOUBLE_EQ(1.0, c.beat);
  EXPECT_EQ("G3 B3 D4 G4", c.before);
  EXPECT_EQ("D3 G3 B3 G4", c.after); // lowest first, as the command lists it
  EXPECT_DOUBLE_EQ(2.0, r.changes[1].beat);
}

} // namespace
