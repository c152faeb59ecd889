// The chord-symbol engine: every kind's tones and four-note form, the degrees, the voicings,
// a progression realized with and without leading (against every choice tried), the bass, and
// block chords under a melody.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>

#include "chordsymbols.h"

namespace cs = chordsymbols;

namespace {

cs::Tone ToneOf(const std::string& name) {
  cs::Pitch p;
  EXPECT_TRUE(cs::ParsePitch(name + "4", &p)) << name;
  cs::Tone t;
  t.step = p.step;
  t.alter = p.alter;
  return t;
}

cs::Symbol Sym(const std::string& root, const std::string& kind,
               std::vector<cs::Degree> degrees = {}) {
  cs::Symbol s;
  s.root = ToneOf(root);
  s.kind = kind;
  s.degrees = degrees;
  return s;
}

cs::Chord Make(const cs::Symbol& s) {
  cs::Chord c;
  std::string why;
  EXPECT_TRUE(cs::Build(s, &c, &why)) << s.kind << ": " << why;
  return c;
}

std::string Tones(const std::vector<cs::ChordTone>& tones) {
  std::string s;
  for (const cs::ChordTone& t : tones)
    s += (s.empty() ? "" : " ") + cs::Name(t.tone);
  return s;
}

std::string Pitches(const std::vector<cs::Pitch>& pitches) {
  std::string s;
  for (const cs::Pitch& p : pitches)
    s += (s.empty() ? "" : " ") + cs::Name(p);
  return s;
}

cs::Pitch P(const std::string& name) {
  cs::Pitch p;
  EXPECT_TRUE(cs::ParsePitch(name, &p)) << name;
  return p;
}

TEST(ChordSymbols, EveryKindThatNamesAChordHasItsTonesAndFourNoteForm) {
  struct Case {
    const char* root;
    const char* kind;
    const char* tones;
    const char* form; // root, third, fifth and seventh places
  } cases[] = {
      {"C", "major", "C E G", "C E G C"},
      {"C", "minor", "C Eb G", "C Eb G C"},
      {"C", "augmented", "C E G#", "C E G# C"},
      {"C", "diminished", "C Eb Gb", "C Eb Gb C"},
      {"Bb", "dominant", "Bb D F Ab", "Bb D F Ab"},
      {"C", "major-seventh", "C E G B", "C E G B"},
      {"C", "minor-seventh", "C Eb G Bb", "C Eb G Bb"},
      {"C", "diminished-seventh", "C Eb Gb Bbb", "C Eb Gb Bbb"},
      {"C", "augmented-seventh", "C E G# Bb", "C E G# Bb"},
      {"F#", "half-diminished", "F# A C E", "F# A C E"},
      {"C", "major-minor", "C Eb G B", "C Eb G B"},
      {"C", "major-sixth", "C E G A", "C E G A"},
      {"C", "minor-sixth", "C Eb G A", "C Eb G A"},
      {"C", "dominant-ninth", "C E G Bb D", "D E G Bb"},
      {"Eb", "major-ninth", "Eb G Bb D F", "F G Bb D"},
      {"C", "minor-ninth", "C Eb G Bb D", "D Eb G Bb"},
      {"C", "dominant-11th", "C E G Bb D F", "D F G Bb"},
      {"C", "major-11th", "C E G B D F", "D F G B"},
      {"C", "minor-11th", "C Eb G Bb D F", "D Eb F Bb"},
      {"C", "dominant-13th", "C E G Bb D A", "D E A Bb"},
      {"C", "major-13th", "C E G B D A", "D E A B"},
      {"C", "minor-13th", "C Eb G Bb D A", "D Eb A Bb"},
      {"C", "suspended-second", "C D G", "C D G C"},
      {"C", "suspended-fourth", "C F G", "C F G C"},
      {"Db", "Neapolitan", "Db F Ab", "Db F Ab Db"},
      {"F", "Tristan", "F B D# G#", "F B D# G#"},
      {"C", "power", "C G", "C G C G"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.root) + " " + c.kind);
    EXPECT_TRUE(cs::NamesChord(c.kind));
    cs::Chord chord = Make(Sym(c.root, c.kind));
    EXPECT_EQ(c.tones, Tones(chord.tones));
    EXPECT_EQ(c.form, Tones(cs::Form(chord)));
  }
}

TEST(ChordSymbols, KindsThatNameNoChordAreRefusedWithTheReason) {
  for (const char* kind : {"none", "other", "Italian", "French", "German", "pedal", "Major"}) {
    SCOPED_TRACE(kind);
    EXPECT_FALSE(cs::NamesChord(kind));
    cs::Chord chord;
    std::string why;
    EXPECT_FALSE(cs::Build(Sym("C", kind), &chord, &why));
    EXPECT_EQ(std::string("\"") + kind + "\" names no chord", why);
  }
}

TEST(ChordSymbols, DegreesAddAlterAndTakeAwayTonesAndPlaces) {
  using T = cs::DegreeType;
  struct Case {
    const char* kind;
    std::vector<cs::Degree> degrees;
    const char* tones;
    const char* form;
  } cases[] = {
      {"dominant", {{5, -1, T::Alter}}, "C E Gb Bb", "C E Gb Bb"},
      {"augmented-seventh", {{5, -1, T::Alter}}, "C E G Bb", "C E G Bb"},
      {"dominant", {{9, -1, T::Add}}, "C E G Bb Db", "Db E G Bb"},
      {"dominant", {{9, 1, T::Alter}}, "C E G Bb D#", "D# E G Bb"},
      {"dominant-ninth", {{9, 1, T::Alter}}, "C E G Bb D#", "D# E G Bb"},
      {"major", {{9, 0, T::Add}}, "C E G D", "D E G C"},
      {"major", {{6, 0, T::Add}}, "C E G A", "C E G A"},
      {"dominant", {{13, 0, T::Add}}, "C E G Bb A", "C E A Bb"},
      {"dominant", {{11, 1, T::Add}}, "C E G Bb F#", "C F# G Bb"},
      {"minor-seventh", {{11, 0, T::Add}}, "C Eb G Bb F", "C Eb F Bb"},
      {"dominant", {{5, 0, T::Subtract}}, "C E Bb", "C E Bb"},
      {"dominant", {{3, 0, T::Subtract}}, "C G Bb", "C G Bb"},
      {"dominant-ninth", {{9, 0, T::Subtract}}, "C E G Bb", "C E G Bb"},
      {"major", {{7, 0, T::Add}}, "C E G Bb", "C E G Bb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind + std::string(" ") + c.tones);
    cs::Chord chord = Make(Sym("C", c.kind, c.degrees));
    EXPECT_EQ(c.tones, Tones(chord.tones));
    EXPECT_EQ(c.form, Tones(cs::Form(chord)));
  }
  // A degree no chord has is refused, not guessed at.
  cs::Chord chord;
  std::string why;
  EXPECT_FALSE(cs::Build(Sym("C", "major", {{14, 0, T::Add}}), &chord, &why));
  EXPECT_FALSE(cs::Build(Sym("C", "major", {{9, 5, T::Add}}), &chord, &why));
  EXPECT_FALSE(
      cs::Build(Sym("C", "power", {{1, 0, T::Subtract}, {5, 0, T::Subtract}}), &chord, &why));
}

TEST(ChordSymbols, TheBassIsTheRootTheSlashOrTheInversion) {
  cs::Symbol s = Sym("C", "dominant");
  EXPECT_EQ("C", cs::Name(Make(s).bass));
  s.inversion = 1;
  EXPECT_EQ("E", cs::Name(Make(s).bass));
  s.inversion = 3;
  EXPECT_EQ("Bb", cs::Name(Make(s).bass));
  s.hasBass = true;
  s.bass = ToneOf("G");
  EXPECT_EQ("G", cs::Name(Make(s).bass));
  // In octave 2 or 3, whichever is nearer the bass before (C3 for the first).
  EXPECT_EQ("G2", cs::Name(cs::BassNote(Make(s), 48)));
  EXPECT_EQ("G3", cs::Name(cs::BassNote(Make(s), 57)));
  EXPECT_EQ("C3", cs::Name(cs::BassNote(Make(Sym("C", "major")), -1)));
}

TEST(ChordSymbols, EachVoicingStacksTheFormAsNamed) {
  cs::Chord c7 = Make(Sym("C", "dominant")), triad = Make(Sym("C", "major"));
  cs::Chord power = Make(Sym("C", "power"));
  cs::Chord no5 = Make(Sym("C", "dominant", {{5, 0, cs::DegreeType::Subtract}}));
  struct Case {
    const cs::Chord* chord;
    cs::Voicing voicing;
    int inversion;
    const char* pitches;
  } cases[] = {
      {&c7, cs::Voicing::Close, 0, "C3 E3 G3 Bb3"}, {&c7, cs::Voicing::Close, 1, "E3 G3 Bb3 C4"},
      {&c7, cs::Voicing::Close, 3, "Bb3 C4 E4 G4"}, {&c7, cs::Voicing::Drop2, 0, "G2 C3 E3 Bb3"},
      {&c7, cs::Voicing::Drop2, 2, "C3 G3 Bb3 E4"}, {&c7, cs::Voicing::Drop24, 0, "C2 G2 E3 Bb3"},
      {&c7, cs::Voicing::Shell, 0, "C3 E3 Bb3"},    {&c7, cs::Voicing::Shell, 1, "E3 Bb3 C4"},
      {&c7, cs::Voicing::Root, 0, "C3 E3 G3 Bb3"},  {&triad, cs::Voicing::Close, 0, "C3 E3 G3 C4"},
      {&triad, cs::Voicing::Shell, 0, "C3 E3 G3"},  {&power, cs::Voicing::Close, 0, "C3 G3 C4 G4"},
      {&no5, cs::Voicing::Drop2, 0, "E2 C3 Bb3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(cs::VoicingName(c.voicing)) + " " + c.pitches);
    EXPECT_EQ(c.pitches, Pitches(cs::Voice(*c.chord, c.voicing, c.inversion)));
  }
  EXPECT_EQ(1, cs::Inversions(c7, cs::Voicing::Root));
  EXPECT_EQ(4, cs::Inversions(c7, cs::Voicing::Close));
  EXPECT_EQ(3, cs::Inversions(c7, cs::Voicing::Shell));
}

TEST(ChordSymbols, NamesOfVoicingsAndRangesAreReadOrRefused) {
  cs::Voicing v;
  for (const char* name : {"close", "drop2", "drop24", "shell", "root"}) {
    ASSERT_TRUE(cs::ParseVoicing(name, &v)) << name;
    EXPECT_STREQ(name, cs::VoicingName(v));
  }
  EXPECT_FALSE(cs::ParseVoicing("drop3", &v));
  cs::Range r;
  std::string error;
  ASSERT_TRUE(cs::ParseRange("D4-Bb5", &r, &error)) << error;
  EXPECT_EQ(62, r.low);
  EXPECT_EQ(82, r.high);
  EXPECT_FALSE(cs::ParseRange("E4-C5", &r, &error));
  EXPECT_NE(std::string::npos, error.find("too narrow"));
  EXPECT_FALSE(cs::ParseRange("E4", &r, &error));
  EXPECT_FALSE(cs::ParseRange("H4-A5", &r, &error));
  EXPECT_FALSE(cs::ParseRange("E4-A55", &r, &error));
}

// The motion of a passage of chords, note k to note k (all of one size here).
int Motion(const std::vector<std::vector<cs::Pitch>>& passage) {
  int total = 0;
  for (size_t c = 1; c < passage.size(); ++c)
    for (size_t k = 0; k < passage[c].size(); ++k)
      total += std::abs(cs::KeyOf(passage[c][k]) - cs::KeyOf(passage[c - 1][k]));
  return total;
}

TEST(ChordSymbols, RealizingWithoutLeadingIsRootPositionWithTheLowestTopInTheRange) {
  std::vector<cs::Chord> ii_V_I = {Make(Sym("D", "minor-seventh")), Make(Sym("G", "dominant")),
                                   Make(Sym("C", "major-seventh"))};
  auto out = cs::Realize(ii_V_I, cs::Voicing::Close, false, cs::Range());
  ASSERT_EQ(3u, out.size());
  EXPECT_EQ("D4 F4 A4 C5", Pitches(out[0]));
  EXPECT_EQ("G3 B3 D4 F4", Pitches(out[1]));
  EXPECT_EQ("C4 E4 G4 B4", Pitches(out[2]));
}

TEST(ChordSymbols, RealizingWithLeadingMovesLeastOverThePassageWithTheTopInRange) {
  std::vector<cs::Chord> passage = {Make(Sym("D", "minor-seventh")), Make(Sym("G", "dominant")),
                                    Make(Sym("C", "major-seventh")), Make(Sym("A", "dominant")),
                                    Make(Sym("F", "major-sixth"))};
  for (cs::Voicing v : {cs::Voicing::Close, cs::Voicing::Drop2, cs::Voicing::Drop24,
                        cs::Voicing::Shell, cs::Voicing::Root}) {
    SCOPED_TRACE(cs::VoicingName(v));
    cs::Range range;
    auto led = cs::Realize(passage, v, true, range);
    ASSERT_EQ(passage.size(), led.size());
    // Every choice tried: each chord's inversions at each octave with the top in range.
    std::vector<std::vector<std::vector<cs::Pitch>>> choices(passage.size());
    for (size_t c = 0; c < passage.size(); ++c) {
      EXPECT_GE(cs::KeyOf(led[c].back()), range.low);
      EXPECT_LE(cs::KeyOf(led[c].back()), range.high);
      for (int k = 0; k < cs::Inversions(passage[c], v); ++k)
        for (int shift = -3; shift <= 3; ++shift) {
          std::vector<cs::Pitch> voiced = cs::Voice(passage[c], v, k);
          for (cs::Pitch& p : voiced)
            p.octave += shift;
          int top = cs::KeyOf(voiced.back());
          if (top >= range.low && top <= range.high) choices[c].push_back(voiced);
        }
    }
    int least = INT_MAX;
    std::vector<std::vector<cs::Pitch>> way(passage.size());
    std::function<void(size_t)> walk = [&](size_t c) {
      if (c == passage.size()) {
        least = std::min(least, Motion(way));
        return;
      }
      for (const auto& choice : choices[c]) {
        way[c] = choice;
        walk(c + 1);
      }
    };
    walk(0);
    EXPECT_EQ(least, Motion(led));
    // Root position throughout moves more, but for Root, which has no other inversion.
    if (v != cs::Voicing::Root) {
      EXPECT_LT(Motion(led), Motion(cs::Realize(passage, v, false, range)));
    }
  }
}

TEST(ChordSymbols, BlockChordsPutTheMelodyOnTopOfTheFormOrADiminishedSeventh) {
  struct Case {
    const char* root;
    const char* kind;
    const char* melody;
    const char* chord;
  } cases[] = {
      {"C", "dominant", "Bb4", "C4 E4 G4 Bb4"},
      {"C", "dominant", "E5", "G4 Bb4 C5 E5"},
      {"C", "dominant-ninth", "D5", "E4 G4 Bb4 D5"},
      {"C", "dominant-ninth", "C5", "E4 G4 Bb4 C5"}, // the root takes the ninth's place back
      {"C", "major", "C5", "C4 E4 G4 C5"},
      {"C", "major", "E5", "C4 G4 C5 E5"},
      {"C", "major-sixth", "A4", "C4 E4 G4 A4"},
      {"C", "minor-11th", "F5", "Bb4 D5 Eb5 F5"},
      {"F#", "half-diminished", "A4", "C4 E4 F#4 A4"},
      {"C", "minor-seventh", "Eb5", "G4 Bb4 C5 Eb5"},
      {"C", "major", "B#4", "C4 E4 G4 B#4"},    // a tone by its sound, kept as spelled
      {"C", "dominant", "D5", "E#4 G#4 B4 D5"}, // not a tone of C7: diminished seventh
      {"C", "minor", "Fb5", "G4 Bb4 Db5 Fb5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.root) + " " + c.kind + " over " + c.melody);
    EXPECT_EQ(c.chord, Pitches(cs::BlockChord(Make(Sym(c.root, c.kind)), P(c.melody))));
  }
}

} // namespace
