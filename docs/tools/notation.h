// The guide's examples as notation: one MusicXML score per task for Verovio to draw
// (docs/tools/notation.mjs). Each example is two measures, the chord before and after, on a
// piano's two staves split at middle C, with the notes that go or come in colour.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "notename.h"

namespace guide {

struct NotationExample {
  uint16_t keyword;          // the key of both measures
  std::string label;         // written above the chord before: the direction chosen
  std::vector<Pitch> before; // the chord before Apply
  std::vector<Pitch> after;  // and after
  bool changed;              // false: "left alone" is written above the chord after
};

// The examples as a MusicXML document.
std::string NotationScore(const std::vector<NotationExample>& examples);

// A progression as written and as a task left it (a task that sees several chords): its
// chords one measure each, first as written, then after Apply, the notes that moved in colour.
struct NotationProgression {
  uint16_t keyword;                       // the key of every measure
  std::string label;                      // written above the first chord after: the direction
  std::vector<std::vector<Pitch>> before; // the chords as written
  std::vector<std::vector<Pitch>> after;  // and after Apply, as many
};

// The progressions, one after another, as a MusicXML document.
std::string NotationScore(const std::vector<NotationProgression>& progressions);

// An example of a task that moves music between staves: every staff's chord before and after,
// top staff first (an empty chord is a rest).
struct SectionExample {
  uint16_t keyword;
  std::string label;
  std::vector<std::vector<Pitch>> before, after;
  bool changed;
};

// Those examples as a MusicXML document of one part with a staff for each staff of the
// selection, the notes that go or come in colour.
std::string SectionNotationScore(const std::vector<SectionExample>& examples);

} // namespace guide
