// The guide's examples as MusicXML for the pictures: valid scores that Verovio draws as a reader
// expects, each chord split at middle C with the right accidentals and the changes in colour.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "app/scorefixture.h"
#include "notation.h"

namespace {

const uint16_t C_MAJOR = 0x0000, D_MAJOR = 0x0002;

std::vector<guide::Pitch> P(std::initializer_list<int> displacements) {
  std::vector<guide::Pitch> out;
  for (int d : displacements)
    out.push_back({static_cast<int16_t>(d), 0});
  return out;
}

// A measure's notes on one staff: "B3(red)" for a coloured note, "+" before an accidental's
// name, "rest" for a whole-measure rest.
std::string Staff(pugi::xml_node measure, int staff) {
  std::string out;
  for (pugi::xml_node n : measure.children("note")) {
    if (n.child("staff").text().as_int() != staff) continue;
    std::string s = n.child("rest") ? "rest"
                                    : std::string(n.child("pitch").child_value("step")) +
                                          n.child("pitch").child_value("octave");
    if (n.child("accidental")) s += std::string("+") + n.child_value("accidental");
    if (n.attribute("color")) s += "(red)";
    out += (out.empty() ? "" : " ") + s;
  }
  return out;
}

TEST(NotationScore, IsValidMusicXmlWithEachChordBeforeAndAfterOnTwoStaves) {
  std::string xml = guide::NotationScore({{D_MAJOR, "Bottom", P({0, 2, 4}), P({0, 2, 4, -2}), true},
                                          {C_MAJOR, "Top", P({0, 7}), P({0, 7}), false}});
  EXPECT_TRUE(scoretest::Valid(xml));
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(xml.c_str()));
  pugi::xml_node part = doc.child("score-partwise").child("part");
  std::vector<pugi::xml_node> m(part.children("measure").begin(), part.children("measure").end());
  ASSERT_EQ(4u, m.size());
  EXPECT_STREQ("Bottom", m[0].child("direction").child("direction-type").child_value("words"));
  EXPECT_EQ("D4 F4 A4", Staff(m[0], 1)); // F-sharp by the key signature: no accidental
  EXPECT_EQ("rest", Staff(m[0], 2));
  EXPECT_EQ("B3(red)", Staff(m[1], 2)); // the added third below, on the bass staff
  EXPECT_EQ(2, m[0].child("attributes").child("key").child("fifths").text().as_int());
  EXPECT_EQ(0, m[2].child("attributes").child("key").child("fifths").text().as_int());
  EXPECT_STREQ("left alone", m[3].child("direction").child("direction-type").child_value("words"));
  EXPECT_EQ("C4 C5", Staff(m[3], 1));
}

TEST(NotationScore, ShowsAccidentalsAgainstTheKeyAndBetweenNotesOfOneLetter) {
  std::string xml =
      guide::NotationScore({{C_MAJOR, "Apply", {{0, 0}, {0, 1}, {3, 1}}, {{0, 0}, {3, 1}}, true},
                            {D_MAJOR, "Top", {{2, -1}, {6, -1}}, {{2, -1}}, true}});
  EXPECT_TRUE(scoretest::Valid(xml));
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(xml.c_str()));
  pugi::xml_node part = doc.child("score-partwise").child("part");
  std::vector<pugi::xml_node> m(part.children("measure").begin(), part.children("measure").end());
  ASSERT_EQ(4u, m.size());
  EXPECT_EQ("C4+natural C4+sharp(red) F4+sharp", Staff(m[0], 1));
  EXPECT_EQ("C4 F4+sharp", Staff(m[1], 1)); // C alone again: no accidental
  EXPECT_EQ("F4+natural C5+natural(red)", Staff(m[2], 1));
}

} // namespace
