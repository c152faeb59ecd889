#include "chordsymbols.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "voiceleading.h"

namespace chordsymbols {

namespace {

const int NATURAL[7] = {0, 2, 4, 5, 7, 9, 11}; // semitones of C D E F G A B above C

int Mod(int a, int b) {
  return ((a % b) + b) % b;
}

// The pitch class of a tone, 0..11.
int Class(const Tone& t) {
  return Mod(NATURAL[t.step] + t.alter, 12);
}

// The semitones a degree lies above the root in a dominant chord (major and perfect
// intervals, the seventh minor): the measure an added degree's alteration counts from.
int DominantSemitones(int degree) {
  static const int scale[7] = {0, 2, 4, 5, 7, 9, 10};
  return scale[(degree - 1) % 7] + 12 * ((degree - 1) / 7);
}

// A kind and the degrees it names, each with its semitones above the root.
struct KindRow {
  const char* name;
  int degrees[7][2]; // (degree, semitones); ends at degree 0
};

// Elevenths hold the ninth; thirteenths the ninth but not the eleventh, which players leave
// out of them.
const KindRow KINDS[] = {
    {"major", {{1, 0}, {3, 4}, {5, 7}}},
    {"minor", {{1, 0}, {3, 3}, {5, 7}}},
    {"augmented", {{1, 0}, {3, 4}, {5, 8}}},
    {"diminished", {{1, 0}, {3, 3}, {5, 6}}},
    {"dominant", {{1, 0}, {3, 4}, {5, 7}, {7, 10}}},
    {"major-seventh", {{1, 0}, {3, 4}, {5, 7}, {7, 11}}},
    {"minor-seventh", {{1, 0}, {3, 3}, {5, 7}, {7, 10}}},
    {"diminished-seventh", {{1, 0}, {3, 3}, {5, 6}, {7, 9}}},
    {"augmented-seventh", {{1, 0}, {3, 4}, {5, 8}, {7, 10}}},
    {"half-diminished", {{1, 0}, {3, 3}, {5, 6}, {7, 10}}},
    {"major-minor", {{1, 0}, {3, 3}, {5, 7}, {7, 11}}},
    {"major-sixth", {{1, 0}, {3, 4}, {5, 7}, {6, 9}}},
    {"minor-sixth", {{1, 0}, {3, 3}, {5, 7}, {6, 9}}},
    {"dominant-ninth", {{1, 0}, {3, 4}, {5, 7}, {7, 10}, {9, 14}}},
    {"major-ninth", {{1, 0}, {3, 4}, {5, 7}, {7, 11}, {9, 14}}},
    {"minor-ninth", {{1, 0}, {3, 3}, {5, 7}, {7, 10}, {9, 14}}},
    {"dominant-11th", {{1, 0}, {3, 4}, {5, 7}, {7, 10}, {9, 14}, {11, 17}}},
    {"major-11th", {{1, 0}, {3, 4}, {5, 7}, {7, 11}, {9, 14}, {11, 17}}},
    {"minor-11th", {{1, 0}, {3, 3}, {5, 7}, {7, 10}, {9, 14}, {11, 17}}},
    {"dominant-13th", {{1, 0}, {3, 4}, {5, 7}, {7, 10}, {9, 14}, {13, 21}}},
    {"major-13th", {{1, 0}, {3, 4}, {5, 7}, {7, 11}, {9, 14}, {13, 21}}},
    {"minor-13th", {{1, 0}, {3, 3}, {5, 7}, {7, 10}, {9, 14}, {13, 21}}},
    {"suspended-second", {{1, 0}, {2, 2}, {5, 7}}},
    {"suspended-fourth", {{1, 0}, {4, 5}, {5, 7}}},
    {"Neapolitan", {{1, 0}, {3, 4}, {5, 7}}},
    {"Tristan", {{1, 0}, {4, 6}, {6, 10}, {9, 15}}},
    {"power", {{1, 0}, {5, 7}}},
};

const KindRow* FindKind(const std::string& name) {
  for (const KindRow& k : KINDS)
    if (name == k.name) return &k;
  return nullptr;
}

// A degree's tone spelled from the root: its letter counted up from the root's, its
// alteration making up the semitones.
ChordTone Spell(const Tone& root, int degree, int semitones) {
  ChordTone c;
  c.degree = degree;
  c.semitones = semitones;
  c.tone.step = (root.step + degree - 1) % 7;
  int natural = Mod(NATURAL[c.tone.step] - NATURAL[root.step], 12);
  c.tone.alter = root.alter + Mod(semitones - natural + 6, 12) - 6;
  return c;
}

int Find(const std::vector<ChordTone>& tones, int degree) {
  for (size_t i = 0; i < tones.size(); ++i)
    if (tones[i].degree == degree) return static_cast<int>(i);
  return -1;
}

// The place an extension takes: a ninth the root's, a thirteenth the fifth's, an eleventh the
// third's (the fifth's over a minor third).
int ExtensionPlace(int degree, bool minor) {
  if (degree == 9) return ROOT;
  if (degree == 13) return FIFTH;
  if (degree == 11) return minor ? FIFTH : THIRD;
  return -1;
}

// Spelled anew on the next letter when its alteration is past a double sharp or flat.
Pitch Respelled(Pitch p) {
  while (p.alter > 2 || p.alter < -2) {
    int key = KeyOf(p), up = p.alter > 0 ? 1 : -1;
    p.octave += up > 0 ? (p.step == 6) : -(p.step == 0);
    p.step = Mod(p.step + up, 7);
    p.alter = 0;
    p.alter = key - KeyOf(p);
  }
  return p;
}

// The highest pitch of a tone strictly below a key.
Pitch Below(const Tone& t, int key) {
  Pitch p = At(t, key / 12);
  while (KeyOf(p) >= key)
    --p.octave;
  while (KeyOf(p) + 12 < key)
    ++p.octave;
  return p;
}

// The lowest pitch of a tone strictly above a key.
Pitch Above(const Tone& t, int key) {
  Pitch p = At(t, key / 12 - 2);
  while (KeyOf(p) <= key)
    ++p.octave;
  return p;
}

// The tones a voicing stacks, in root-position order.
std::vector<Tone> Stacked(const Chord& chord, Voicing v) {
  std::vector<Tone> out;
  if (v != Voicing::Shell) {
    for (const ChordTone& c : Form(chord))
      out.push_back(c.tone);
    return out;
  }
  int seventh = SEVENTH;
  if (chord.filled[SEVENTH] && chord.filled[ROOT] &&
      Class(chord.place[SEVENTH].tone) == Class(chord.place[ROOT].tone) && chord.filled[FIFTH])
    seventh = FIFTH; // a triad's seventh place only doubles its root
  for (int p : {static_cast<int>(ROOT), static_cast<int>(THIRD), seventh})
    if (chord.filled[p]) out.push_back(chord.place[p].tone);
  return out;
}

bool ByKey(const Pitch& a, const Pitch& b) {
  return KeyOf(a) < KeyOf(b);
}

} // namespace

int KeyOf(const Pitch& p) {
  return 12 * (p.octave + 1) + NATURAL[p.step] + p.alter;
}

Pitch At(const Tone& t, int octave) {
  Pitch p;
  p.step = t.step;
  p.alter = t.alter;
  p.octave = octave;
  return p;
}

std::string Name(const Tone& t) {
  std::string s(1, "CDEFGAB"[t.step]);
  s += std::string(std::max(0, t.alter), '#') + std::string(std::max(0, -t.alter), 'b');
  return s;
}

std::string Name(const Pitch& p) {
  Tone t;
  t.step = p.step;
  t.alter = p.alter;
  return Name(t) + std::to_string(p.octave);
}

bool ParsePitch(const std::string& text, Pitch* p) {
  if (text.empty()) return false;
  const char* letters = "CDEFGAB";
  const char* at = strchr(letters, toupper(static_cast<unsigned char>(text[0])));
  if (!at || !*at) return false;
  Pitch q;
  q.step = static_cast<int>(at - letters);
  size_t i = 1;
  for (; i < text.size() && (text[i] == '#' || text[i] == 'b'); ++i)
    q.alter += text[i] == '#' ? 1 : -1;
  if (i + 1 != text.size() || !isdigit(static_cast<unsigned char>(text[i])) || q.alter < -2 ||
      q.alter > 2)
    return false;
  q.octave = text[i] - '0';
  *p = q;
  return true;
}

bool NamesChord(const std::string& kind) {
  return FindKind(kind) != nullptr;
}

bool Build(const Symbol& symbol, Chord* chord, std::string* why) {
  const KindRow* kind = FindKind(symbol.kind);
  if (!kind) {
    *why = "\"" + symbol.kind + "\" names no chord";
    return false;
  }
  if (symbol.root.step < 0 || symbol.root.step > 6 || std::abs(symbol.root.alter) > 2 ||
      (symbol.hasBass && (symbol.bass.step < 0 || symbol.bass.step > 6))) {
    *why = "its root or bass is no note name";
    return false;
  }
  // (degree, semitones) of each tone, then the degrees applied; the ninths, elevenths and
  // thirteenths the symbol names take places in the form.
  std::vector<std::pair<int, int>> tones;
  bool named[14] = {};
  for (const auto& d : kind->degrees) {
    if (d[0] == 0) break;
    tones.push_back({d[0], d[1]});
    named[d[0]] = d[0] >= 9 && symbol.kind != "Tristan";
  }
  for (const Degree& d : symbol.degrees) {
    if (d.value < 1 || d.value > 13 || d.alter < -2 || d.alter > 2) {
      *why = "its degree " + std::to_string(d.value) + " (altered by " + std::to_string(d.alter) +
             ") is not one a chord has";
      return false;
    }
    auto has = std::find_if(tones.begin(), tones.end(),
                            [&d](const std::pair<int, int>& t) { return t.first == d.value; });
    if (d.type == DegreeType::Subtract) {
      if (has != tones.end()) tones.erase(has);
      named[d.value] = false;
      continue;
    }
    int semitones = d.type == DegreeType::Alter && has != tones.end()
                        ? has->second + d.alter
                        : DominantSemitones(d.value) + d.alter;
    if (has != tones.end())
      has->second = semitones;
    else
      tones.push_back({d.value, semitones});
    named[d.value] = true;
  }
  if (tones.empty()) {
    *why = "its degrees take away every tone";
    return false;
  }
  std::sort(tones.begin(), tones.end());
  Chord c;
  for (const auto& t : tones)
    c.tones.push_back(Spell(symbol.root, t.first, t.second));
  auto put = [&c](int place, int index) {
    if (index < 0) return;
    c.place[place] = c.tones[index];
    c.filled[place] = true;
  };
  int root = Find(c.tones, 1), third = Find(c.tones, 3), fifth = Find(c.tones, 5);
  if (symbol.kind == "Tristan") { // its fourth, sixth and ninth stack as they sound
    put(ROOT, root);
    put(THIRD, Find(c.tones, 4));
    put(FIFTH, Find(c.tones, 6));
    put(SEVENTH, Find(c.tones, 9));
  } else if (symbol.kind == "power") {
    put(ROOT, root);
    put(THIRD, fifth);
    put(FIFTH, root);
    put(SEVENTH, fifth);
  } else {
    put(ROOT, root);
    put(THIRD, third >= 0 ? third : Find(c.tones, 2) >= 0 ? Find(c.tones, 2) : Find(c.tones, 4));
    put(FIFTH, fifth);
    int seventh = Find(c.tones, 7) >= 0 ? Find(c.tones, 7) : Find(c.tones, 6);
    put(SEVENTH, seventh >= 0 ? seventh : root);
  }
  for (int p = 0; p < PLACES; ++p)
    c.primary[p] = c.place[p];
  bool minor = third >= 0 && c.tones[third].semitones == 3;
  for (int degree : {9, 11, 13})
    if (named[degree] && Find(c.tones, degree) >= 0)
      put(ExtensionPlace(degree, minor), Find(c.tones, degree));
  if (!std::count(c.filled, c.filled + PLACES, true)) {
    *why = "its degrees take away every tone of its four-note form";
    return false;
  }
  c.bass = symbol.hasBass ? symbol.bass : symbol.root;
  if (!symbol.hasBass && symbol.inversion >= 1 && symbol.inversion < PLACES &&
      c.filled[symbol.inversion])
    c.bass = c.primary[symbol.inversion].tone;
  *chord = c;
  return true;
}

std::vector<ChordTone> Form(const Chord& chord) {
  std::vector<ChordTone> out;
  for (int p = 0; p < PLACES; ++p)
    if (chord.filled[p]) out.push_back(chord.place[p]);
  return out;
}

const Voicing VOICINGS[5] = {Voicing::Close, Voicing::Drop2, Voicing::Drop24, Voicing::Shell,
                             Voicing::Root};

const char* VoicingLabel(Voicing v) {
  static const char* const labels[] = {"Close", "Drop 2", "Drop 2 and 4", "Shell", "Root"};
  return labels[static_cast<int>(v)];
}

bool ParseVoicing(const std::string& name, Voicing* v) {
  for (Voicing each : VOICINGS)
    if (name == VoicingName(each)) {
      *v = each;
      return true;
    }
  return false;
}

const char* VoicingName(Voicing v) {
  switch (v) {
  case Voicing::Close:
    return "close";
  case Voicing::Drop2:
    return "drop2";
  case Voicing::Drop24:
    return "drop24";
  case Voicing::Shell:
    return "shell";
  case Voicing::Root:
    return "root";
  }
  return "close";
}

bool ParseRange(const std::string& text, Range* range, std::string* error) {
  size_t dash = text.find('-');
  Pitch low, high;
  if (dash == std::string::npos || !ParsePitch(text.substr(0, dash), &low) ||
      !ParsePitch(text.substr(dash + 1), &high)) {
    *error = "the top notes' range \"" + text + "\" is not two pitches such as E4-A5";
    return false;
  }
  if (KeyOf(high) - KeyOf(low) < 11) {
    *error = "the top notes' range \"" + text +
             "\" is too narrow: the second pitch must lie at least eleven semitones above the "
             "first, so that every tone has a place in it";
    return false;
  }
  range->low = KeyOf(low);
  range->high = KeyOf(high);
  return true;
}

int Inversions(const Chord& chord, Voicing v) {
  return v == Voicing::Root ? 1 : std::max<int>(1, static_cast<int>(Stacked(chord, v).size()));
}

std::vector<Pitch> Voice(const Chord& chord, Voicing v, int inversion) {
  std::vector<Tone> tones = Stacked(chord, v);
  std::vector<Pitch> out;
  if (tones.empty()) return out;
  size_t n = tones.size(), k = static_cast<size_t>(Mod(inversion, static_cast<int>(n)));
  out.push_back(At(tones[k], 3));
  for (size_t i = 1; i < n; ++i)
    out.push_back(Above(tones[(k + i) % n], KeyOf(out.back())));
  // Drops, counted from the top of the close stack.
  if (n >= 3 && (v == Voicing::Drop2 || v == Voicing::Drop24)) out[n - 2].octave -= 1;
  if (n >= 4 && v == Voicing::Drop24) out[n - 4].octave -= 1;
  std::sort(out.begin(), out.end(), ByKey);
  return out;
}

std::vector<std::vector<Pitch>> Realize(const std::vector<Chord>& progression, Voicing v,
                                        bool leading, const Range& range) {
  // Each chord's candidates: every inversion at every octave that puts its top in the range
  // (root position only, and its lowest such octave, without leading).
  std::vector<std::vector<std::vector<Pitch>>> candidates(progression.size());
  std::vector<std::vector<std::vector<int>>> keys(progression.size());
  for (size_t c = 0; c < progression.size(); ++c) {
    int inversions = leading ? Inversions(progression[c], v) : 1;
    for (int k = 0; k < inversions; ++k) {
      std::vector<Pitch> base = Voice(progression[c], v, k);
      int top = KeyOf(base.back());
      for (int shift = (range.low - top) / 12 - 1; top + 12 * shift <= range.high; ++shift) {
        if (top + 12 * shift < range.low) continue;
        std::vector<Pitch> moved = base;
        std::vector<int> row;
        for (Pitch& p : moved) {
          p.octave += shift;
          row.push_back(KeyOf(p));
        }
        candidates[c].push_back(moved);
        keys[c].push_back(row);
        if (!leading) break;
      }
    }
  }
  for (size_t c = 0; c < progression.size(); ++c)
    if (candidates[c].empty()) { // a range narrower than an octave: root position as stacked
      candidates[c].push_back(Voice(progression[c], v, 0));
      keys[c].emplace_back();
      for (const Pitch& p : candidates[c].back())
        keys[c].back().push_back(KeyOf(p));
    }
  std::vector<int> way = voiceleading::ChooseAmong(keys);
  std::vector<std::vector<Pitch>> out;
  for (size_t c = 0; c < progression.size(); ++c)
    out.push_back(candidates[c][way[c]]);
  return out;
}

Pitch BassNote(const Chord& chord, int before) {
  Pitch low = At(chord.bass, 2), high = At(chord.bass, 3);
  int to = before < 0 ? 48 : before;
  return std::abs(KeyOf(high) - to) < std::abs(KeyOf(low) - to) ? high : low;
}

std::vector<Pitch> BlockChord(const Chord& chord, const Pitch& melody) {
  int pc = Mod(KeyOf(melody), 12);
  int at = -1; // the place the melody takes
  for (int p = 0; p < PLACES && at < 0; ++p)
    if (chord.filled[p] && Class(chord.place[p].tone) == pc) at = p;
  for (int p = 0; p < PLACES && at < 0; ++p)
    if (chord.filled[p] && Class(chord.primary[p].tone) == pc) at = p;
  bool minor = chord.filled[THIRD] && chord.primary[THIRD].degree == 3 &&
               chord.primary[THIRD].semitones == 3;
  for (const ChordTone& t : chord.tones)
    if (at < 0 && t.degree >= 9 && Class(t.tone) == pc) {
      int p = ExtensionPlace(t.degree, minor);
      if (p >= 0 && chord.filled[p]) at = p;
    }
  std::vector<Pitch> out(1, melody);
  if (at < 0) {
    // Not a tone of the chord: a diminished seventh chord down from it.
    for (int i = 0; i < 3; ++i) {
      const Pitch& above = out.back();
      Pitch p;
      p.step = Mod(above.step - 2, 7);
      p.octave = above.octave - (above.step < 2 ? 1 : 0);
      p.alter = KeyOf(above) - 3 - KeyOf(p);
      out.push_back(Respelled(p));
    }
  } else {
    std::vector<Tone> rest;
    for (int p = 0; p < PLACES; ++p)
      if (p != at && chord.filled[p]) rest.push_back(chord.place[p].tone);
    while (!rest.empty()) {
      size_t best = 0;
      for (size_t i = 1; i < rest.size(); ++i)
        if (KeyOf(Below(rest[i], KeyOf(out.back()))) > KeyOf(Below(rest[best], KeyOf(out.back()))))
          best = i;
      out.push_back(Below(rest[best], KeyOf(out.back())));
      rest.erase(rest.begin() + static_cast<long>(best));
    }
  }
  std::reverse(out.begin(), out.end());
  return out;
}

} // namespace chordsymbols
