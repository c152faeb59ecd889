// The guide's spelling of notes and keys, and the rewriting of its generated blocks.
#include <gtest/gtest.h>

#include <string>

#include "fxbridge.h"
#include "hostapi/fxrecords.h"
#include "hostsim.h"
#include "markers.h"
#include "notename.h"

namespace {

// The key a spelled name sounds: letter, accidentals and octave as MIDI.
int Sounding(const std::string& name) {
  static const int natural[7] = {9, 11, 0, 2, 4, 5, 7}; // A to G
  int key = natural[name[0] - 'A'];
  size_t i = 1;
  for (; i < name.size() && (name[i] == '#' || name[i] == 'b'); ++i)
    key += name[i] == '#' ? 1 : -1;
  return key + 12 * (std::stoi(name.substr(i)) + 1);
}

TEST(NoteName, SpellsTheScaleOfTheKeyFromItsTonicAboveMiddleC) {
  EXPECT_EQ("C4", guide::NoteName(0, 0, 0x0000));
  EXPECT_EQ("B3", guide::NoteName(-1, 0, 0x0000));
  EXPECT_EQ("C3", guide::NoteName(-7, 0, 0x0000));
  EXPECT_EQ("C#5", guide::NoteName(6, 0, 0x0002)); // D major: the seventh above D4
  EXPECT_EQ("Bb4", guide::NoteName(0, 0, 0x00FE)); // B-flat major's tonic
  EXPECT_EQ("F5", guide::NoteName(4, 0, 0x00FE));  // its fifth
  EXPECT_EQ("A4", guide::NoteName(0, 0, 0x0100));  // A minor
  EXPECT_EQ("G5", guide::NoteName(6, 0, 0x0100));  // natural minor: G, not G-sharp
  EXPECT_EQ("F#4", guide::NoteName(1, 0, 0x0101)); // E minor
  EXPECT_EQ("C4", guide::NoteName(-2, 0, 0x0101)); // natural minor below its tonic
  EXPECT_EQ("Cb5", guide::NoteName(0, 0, 0x00F9)); // C-flat major: the tonic sounds B4
  EXPECT_EQ("C#4", guide::NoteName(0, 0, 0x0007)); // C-sharp major
}

TEST(NoteName, AddsTheNotesOwnAlterationToTheSignaturesAndReadsOddKeysAsCMajor) {
  EXPECT_EQ("F#4", guide::NoteName(3, 1, 0x0000));
  EXPECT_EQ("F4", guide::NoteName(2, -1, 0x0002)); // F natural in D major
  EXPECT_EQ("Bbb4", guide::NoteName(0, -1, 0x00FE));
  EXPECT_EQ("E4", guide::NoteName(2, 0, 0x4000)); // non-standard key word
  EXPECT_EQ("B-flat major", guide::KeyName(0x00FE));
  EXPECT_EQ("F-sharp minor", guide::KeyName(0x0103));
  EXPECT_EQ("C major", guide::KeyName(0x0200));
}

// Every name sounds what the host makes of the note: the examples spell what is in the score.
TEST(NoteName, SoundsAsTheHostPlaysTheNoteInEveryMajorAndMinorKey) {
  hostsim::Reset();
  for (int mode = 0; mode <= 1; ++mode)
    for (int accidentals = -7; accidentals <= 7; ++accidentals) {
      uint16_t keyword = static_cast<uint16_t>(mode << 8 | (accidentals & 0xFF));
      for (int displacement = -16; displacement <= 16; ++displacement)
        for (int raiselower = -2; raiselower <= 2; ++raiselower) {
          ENOTE note = {static_cast<twobyte>(displacement), static_cast<twobyte>(raiselower), 1, 0};
          std::string name = guide::NoteName(displacement, raiselower, keyword);
          ASSERT_EQ(FX_NoteToMidi(&note, static_cast<twobyte>(keyword)), Sounding(name))
              << name << " for key word " << keyword << ", displacement " << displacement
              << ", raise/lower " << raiselower;
        }
    }
}

const std::map<std::string, std::string> BLOCKS = {{"a", "new A\n"}, {"b", "new B\n"}};

TEST(ReplaceBlocks, RewritesEachBlockAndKeepsEverythingElse) {
  std::string text = "intro\n<!-- begin generated: a -->\nold\n<!-- end generated: a -->\n"
                     "middle\n<!-- begin generated: b -->\n<!-- end generated: b -->\nend";
  std::string out, error;
  ASSERT_TRUE(guide::ReplaceBlocks(text, BLOCKS, &out, &error)) << error;
  EXPECT_EQ("intro\n<!-- begin generated: a -->\n\nnew A\n\n<!-- end generated: a -->\n"
            "middle\n<!-- begin generated: b -->\n\nnew B\n\n<!-- end generated: b -->\nend",
            out);
  std::string again;
  ASSERT_TRUE(guide::ReplaceBlocks(out, BLOCKS, &again, &error));
  EXPECT_EQ(out, again);
  EXPECT_EQ("line 3: old", guide::FirstDifference(text, out));
}

TEST(ReplaceBlocks, RefusesMissingUnknownRepeatedAndUnendedPlaces) {
  std::string out, error;
  const std::string a = "<!-- begin generated: a -->\n<!-- end generated: a -->\n";
  const std::string b = "<!-- begin generated: b -->\n<!-- end generated: b -->\n";
  EXPECT_FALSE(guide::ReplaceBlocks(a, BLOCKS, &out, &error));
  EXPECT_EQ("no place for the block \"b\"", error);
  EXPECT_FALSE(guide::ReplaceBlocks(a + b + "<!-- begin generated: c -->\n", BLOCKS, &out, &error));
  EXPECT_EQ("no generated block is called \"c\"", error);
  EXPECT_FALSE(guide::ReplaceBlocks(a + b + a, BLOCKS, &out, &error));
  EXPECT_EQ("the block \"a\" has two places", error);
  EXPECT_FALSE(guide::ReplaceBlocks(a + "<!-- begin generated: b -->\n", BLOCKS, &out, &error));
  EXPECT_EQ("the block \"b\" has no end marker", error);
}

} // namespace
