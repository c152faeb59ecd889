#include "notation.h"

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>

namespace guide {

namespace {

const char* CHANGED_COLOR = "#D00000"; // the notes that go (before) or come (after)

// The notes of `chord` that are not in `other`, by position in `chord`.
std::vector<bool> NotIn(const std::vector<Pitch>& chord, std::vector<Pitch> other) {
  std::vector<bool> out;
  for (const Pitch& p : chord) {
    auto match = std::find_if(other.begin(), other.end(), [&p](const Pitch& q) {
      return q.displacement == p.displacement && q.raiselower == p.raiselower;
    });
    out.push_back(match == other.end());
    if (match != other.end()) other.erase(match);
  }
  return out;
}

void Words(pugi::xml_node measure, const std::string& text) {
  pugi::xml_node d = measure.append_child("direction");
  d.append_attribute("placement") = "above";
  d.append_child("direction-type").append_child("words").text() = text.c_str();
  d.append_child("staff").text() = 1;
}

// The accidental a reader needs on a note of a one-chord measure: where the note differs from
// the key signature, and on every note of a letter and octave that the chord alters two ways.
const char* Accidental(const std::vector<Spelling>& chord, size_t i, uint16_t keyword) {
  const Spelling& s = chord[i];
  bool needed = s.alter != SignatureAlter(keyword, s.step);
  for (const Spelling& other : chord)
    needed = needed || (other.step == s.step && other.octave == s.octave && other.alter != s.alter);
  if (!needed) return nullptr;
  static const char* names[5] = {"flat-flat", "flat", "natural", "sharp", "double-sharp"};
  return s.alter >= -2 && s.alter <= 2 ? names[s.alter + 2] : nullptr;
}

// One staff's whole-note chord (lowest first), or a whole-measure rest when it has no notes.
void StaffChord(pugi::xml_node measure, int staff, const std::vector<Spelling>& notes,
                const std::vector<bool>& marked, uint16_t keyword) {
  if (notes.empty()) {
    pugi::xml_node n = measure.append_child("note");
    n.append_child("rest").append_attribute("measure") = "yes";
    n.append_child("duration").text() = 4;
    n.append_child("voice").text() = staff;
    n.append_child("staff").text() = staff;
    return;
  }
  for (size_t i = 0; i < notes.size(); ++i) {
    pugi::xml_node n = measure.append_child("note");
    if (marked[i]) n.append_attribute("color") = CHANGED_COLOR;
    if (i > 0) n.append_child("chord");
    pugi::xml_node pitch = n.append_child("pitch");
    pitch.append_child("step").text() = std::string(1, notes[i].step).c_str();
    if (notes[i].alter) pitch.append_child("alter").text() = notes[i].alter;
    pitch.append_child("octave").text() = notes[i].octave;
    n.append_child("duration").text() = 4;
    n.append_child("voice").text() = staff;
    n.append_child("type").text() = "whole";
    if (const char* accidental = Accidental(notes, i, keyword))
      n.append_child("accidental").text() = accidental;
    n.append_child("staff").text() = staff;
  }
}

// A chord's notes spelled in the key, and their order lowest first.
void SpellSorted(const std::vector<Pitch>& chord, uint16_t keyword, std::vector<Spelling>* spelled,
                 std::vector<size_t>* order) {
  order->resize(chord.size());
  for (size_t i = 0; i < order->size(); ++i)
    (*order)[i] = i;
  for (const Pitch& p : chord)
    spelled->push_back(Spell(p.displacement, p.raiselower, keyword));
  std::stable_sort(order->begin(), order->end(), [spelled](size_t a, size_t b) {
    return MidiKey((*spelled)[a]) < MidiKey((*spelled)[b]);
  });
}

// A measure holding one chord, split between the staves at middle C.
void ChordMeasure(pugi::xml_node measure, const std::vector<Pitch>& chord,
                  const std::vector<Pitch>& other, uint16_t keyword) {
  std::vector<size_t> order;
  std::vector<Spelling> spelled;
  SpellSorted(chord, keyword, &spelled, &order);
  std::vector<bool> marked = NotIn(chord, other);
  std::vector<Spelling> staffNotes[2];
  std::vector<bool> staffMarks[2];
  for (size_t i : order) {
    int staff = MidiKey(spelled[i]) >= 60 ? 0 : 1;
    staffNotes[staff].push_back(spelled[i]);
    staffMarks[staff].push_back(marked[i]);
  }
  StaffChord(measure, 1, staffNotes[0], staffMarks[0], keyword);
  measure.append_child("backup").append_child("duration").text() = 4;
  StaffChord(measure, 2, staffNotes[1], staffMarks[1], keyword);
}

// Every staff's chord of a selection in one measure, each on its own staff.
void SectionMeasure(pugi::xml_node measure, const std::vector<std::vector<Pitch>>& chords,
                    const std::vector<std::vector<Pitch>>& others, uint16_t keyword) {
  for (size_t s = 0; s < chords.size(); ++s) {
    std::vector<size_t> order;
    std::vector<Spelling> spelled, notes;
    SpellSorted(chords[s], keyword, &spelled, &order);
    std::vector<bool> marked =
                          NotIn(chords[s], s < others.size() ? others[s] : std::vector<Pitch>()),
                      marks;
    for (size_t i : order) {
      notes.push_back(spelled[i]);
      marks.push_back(marked[i]);
    }
    if (s > 0) measure.append_child("backup").append_child("duration").text() = 4;
    StaffChord(measure, static_cast<int>(s + 1), notes, marks, keyword);
  }
}

// staves: 2 for the piano's treble and bass, more for a section whose last staff is a bass.
void Attributes(pugi::xml_node measure, uint16_t keyword, bool first, int staves = 2) {
  pugi::xml_node a = measure.append_child("attributes");
  if (first) a.append_child("divisions").text() = 1;
  pugi::xml_node key = a.append_child("key");
  key.append_child("fifths").text() = KeyFifths(keyword);
  key.append_child("mode").text() = KeyIsMinor(keyword) ? "minor" : "major";
  if (!first) return;
  pugi::xml_node time = a.append_child("time");
  time.append_attribute("print-object") = "no";
  time.append_child("beats").text() = 4;
  time.append_child("beat-type").text() = 4;
  a.append_child("staves").text() = staves;
  for (int staff = 0; staff < staves; ++staff) {
    bool bass = staff == staves - 1;
    pugi::xml_node clef = a.append_child("clef");
    clef.append_attribute("number") = staff + 1;
    clef.append_child("sign").text() = bass ? "F" : "G";
    clef.append_child("line").text() = bass ? 4 : 2;
  }
}

// A score of one part without a name, for the examples' measures.
pugi::xml_node NewScore(pugi::xml_document& doc) {
  pugi::xml_node score = doc.append_child("score-partwise");
  score.append_attribute("version") = "4.0";
  pugi::xml_node part = score.append_child("part-list").append_child("score-part");
  part.append_attribute("id") = "P1";
  part.append_child("part-name").append_attribute("print-object") = "no";
  pugi::xml_node music = score.append_child("part");
  music.append_attribute("id") = "P1";
  return music;
}

void Barline(pugi::xml_node measure, bool last) {
  pugi::xml_node bar = measure.append_child("barline");
  bar.append_attribute("location") = "right";
  bar.append_child("bar-style").text() = last ? "light-heavy" : "light-light";
}

std::string Text(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

} // namespace

namespace {
// Each example as two measures, the chords before and after, each measure's music written by
// write(measure, chords, the other measure's chords, key).
template <typename Example, typename Write>
std::string BeforeAndAfter(const std::vector<Example>& examples, int staves, Write write) {
  pugi::xml_document doc;
  pugi::xml_node music = NewScore(doc);
  int number = 0;
  for (size_t i = 0; i < examples.size(); ++i) {
    const Example& ex = examples[i];
    pugi::xml_node before = music.append_child("measure");
    before.append_attribute("number") = ++number;
    if (i == 0 || examples[i - 1].keyword != ex.keyword)
      Attributes(before, ex.keyword, i == 0, staves);
    Words(before, ex.label);
    write(before, ex.before, ex.after, ex.keyword);
    pugi::xml_node after = music.append_child("measure");
    after.append_attribute("number") = ++number;
    Words(after, ex.changed ? "after" : "left alone");
    write(after, ex.after, ex.before, ex.keyword);
    Barline(after, i + 1 == examples.size());
  }
  return Text(doc);
}
} // namespace

std::string NotationScore(const std::vector<NotationProgression>& progressions) {
  pugi::xml_document doc;
  pugi::xml_node music = NewScore(doc);
  int number = 0;
  for (size_t i = 0; i < progressions.size(); ++i) {
    const NotationProgression& p = progressions[i];
    for (int half = 0; half < 2; ++half) {
      const std::vector<std::vector<Pitch>>& chords = half ? p.after : p.before;
      const std::vector<std::vector<Pitch>>& other = half ? p.before : p.after;
      for (size_t c = 0; c < chords.size(); ++c) {
        pugi::xml_node m = music.append_child("measure");
        m.append_attribute("number") = ++number;
        if (number == 1 || (c == 0 && half == 0 && progressions[i - 1].keyword != p.keyword))
          Attributes(m, p.keyword, number == 1);
        if (c == 0) Words(m, half ? p.label : "as written");
        ChordMeasure(m, chords[c], c < other.size() ? other[c] : std::vector<Pitch>(), p.keyword);
        if (c + 1 == chords.size()) Barline(m, half == 1 && i + 1 == progressions.size());
      }
    }
  }
  return Text(doc);
}

std::string NotationScore(const std::vector<NotationExample>& examples) {
  return BeforeAndAfter(examples, 2, ChordMeasure);
}

std::string SectionNotationScore(const std::vector<SectionExample>& examples) {
  size_t staves = 1;
  for (const SectionExample& ex : examples)
    staves = std::max(staves, std::max(ex.before.size(), ex.after.size()));
  return BeforeAndAfter(examples, static_cast<int>(staves), SectionMeasure);
}

} // namespace guide
