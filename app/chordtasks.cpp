#include "chordtasks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "selection.h"
#include "writeback.h"

using musicxml::Chord;
using musicxml::HostNote;
using musicxml::LayerRewrite;
using musicxml::NewEntry;
using musicxml::Score;
using musicxml::Skip;
using musicxml::Spelling;

namespace cs = chordsymbols;

bool ReadChordTaskOptions(const std::string& voicing, bool leading, const std::string& range,
                          ChordTaskOptions* o, std::string* error) {
  if (!voicing.empty() && !cs::ParseVoicing(voicing, &o->voicing)) {
    *error = "no voicing \"" + voicing + "\"; the voicings are close, drop2, drop24, shell, root";
    return false;
  }
  o->leading = leading;
  return range.empty() || cs::ParseRange(range, &o->range, error);
}

namespace {

// One chord symbol of the progression, read and built.
struct Symbol {
  const musicxml::Harmony* harmony;
  bool chord = false; // it names a chord, built here
  cs::Chord built;
  std::string why; // why not
};

// The chord symbols the task follows, by time: those of the staff's own part, else those of
// the first part that has any (a lead sheet's melody part). Each lasts until the next one.
struct Symbols {
  std::vector<Symbol> list;
  musicxml::Transposition from; // the staff they stand on: their tones are written for it

  // The symbol sounding at a place; -1 before the first.
  int At(int16_t measure, int32_t pos) const {
    auto after = std::upper_bound(list.begin(), list.end(), std::make_pair(measure, pos),
                                  [](const std::pair<int16_t, int32_t>& at, const Symbol& s) {
                                    return at < std::make_pair(s.harmony->measure, s.harmony->pos);
                                  });
    return static_cast<int>(after - list.begin()) - 1;
  }
};

cs::Tone ToneOf(const Spelling& s) {
  cs::Tone t;
  t.step = s.step;
  t.alter = s.alter;
  return t;
}

// A symbol as the score prints it, for the changed chords' list: its root, its kind as printed
// (else the kind's name; nothing for a major triad), its degrees and the bass after a slash:
// "Dm7", "A7(b9)", "F6/A", "C minor".
std::string Printed(const musicxml::Harmony& h) {
  std::string s = cs::Name(ToneOf(h.root)) + (!h.text.empty()     ? h.text
                                              : h.kind == "major" ? ""
                                                                  : " " + h.kind);
  for (const musicxml::HarmonyDegree& d : h.degrees)
    s += "(" +
         std::string(d.type == "subtract" ? "no"
                     : d.type == "add"    ? "add"
                                          : "") +
         std::string(std::min(std::abs(d.alter), 2), d.alter < 0 ? 'b' : '#') +
         std::to_string(d.value) + ")";
  return s + (h.hasBass ? "/" + cs::Name(ToneOf(h.bass)) : "");
}

Symbols ReadSymbols(const Score& score, int part,
                    const std::vector<musicxml::Transposition>& staves) {
  Symbols out;
  int from = -1;
  for (const musicxml::Harmony& h : score.harmonies)
    if (from < 0 || h.part == part) from = h.part;
  for (const musicxml::Harmony& h : score.harmonies) {
    if (h.part != from) continue;
    Symbol s;
    s.harmony = &h;
    s.why = h.unreadable;
    if (s.why.empty()) {
      cs::Symbol y;
      y.root = ToneOf(h.root);
      y.kind = h.kind;
      y.hasBass = h.hasBass;
      y.bass = ToneOf(h.bass);
      y.inversion = h.inversion;
      for (const musicxml::HarmonyDegree& d : h.degrees)
        y.degrees.push_back({d.value, d.alter,
                             d.type == "add"     ? cs::DegreeType::Add
                             : d.type == "alter" ? cs::DegreeType::Alter
                                                 : cs::DegreeType::Subtract});
      s.chord = cs::Build(y, &s.built, &s.why);
    }
    out.list.push_back(s);
  }
  std::stable_sort(out.list.begin(), out.list.end(), [](const Symbol& a, const Symbol& b) {
    return std::make_pair(a.harmony->measure, a.harmony->pos) <
           std::make_pair(b.harmony->measure, b.harmony->pos);
  });
  if (!out.list.empty() && static_cast<size_t>(out.list[0].harmony->staff) < staves.size())
    out.from = staves[out.list[0].harmony->staff];
  return out;
}

// The selected parts' staves, in score order.
std::vector<int16_t> SelectedStaves(const Score& score, const std::vector<bool>& parts) {
  std::vector<int16_t> staves;
  for (size_t p = 0; p < score.parts.size(); ++p)
    for (int s = 0; p < parts.size() && parts[p] && s < score.parts[p].staffCount; ++s)
      staves.push_back(static_cast<int16_t>(score.parts[p].firstStaff + s));
  return staves;
}

int PartOf(const Score& score, int16_t staff) {
  for (size_t p = 0; p < score.parts.size(); ++p)
    if (staff >= score.parts[p].firstStaff &&
        staff < score.parts[p].firstStaff + score.parts[p].staffCount)
      return static_cast<int>(p);
  return 0;
}

cs::Pitch PitchOf(const Spelling& s) {
  cs::Pitch p;
  p.step = s.step;
  p.alter = s.alter;
  p.octave = s.octave;
  return p;
}

// A symbol's chord as the staff it is written on spells it: its tones moved from the staff
// the symbol stands on to that one (a B-flat trumpet's written Em7 is a piano's Dm7), so that
// its range and its melody are the staff's own.
cs::Chord ForStaff(cs::Chord c, const musicxml::Transposition& from,
                   const musicxml::Transposition& to) {
  if (from.diatonic == to.diatonic && from.chromatic == to.chromatic) return c;
  auto move = [&](cs::Tone* t) {
    Spelling s;
    s.step = t->step;
    s.alter = t->alter;
    s = musicxml::Written(musicxml::Sounding(s, from), to);
    t->step = s.step;
    t->alter = s.alter;
  };
  for (cs::ChordTone& t : c.tones)
    move(&t.tone);
  for (int p = 0; p < cs::PLACES; ++p) {
    move(&c.place[p].tone);
    move(&c.primary[p].tone);
  }
  move(&c.bass);
  return c;
}

// Pitches written into a staff's cells as the host holds them, each tied or not.
struct Writer {
  const Score& score;
  musicxml::FirstChords first;

  explicit Writer(const Score& s) : score(s), first(musicxml::FindFirstChords(s)) {}

  std::vector<HostNote> Notes(int16_t staff, int16_t measure, const std::vector<cs::Pitch>& pitches,
                              const std::vector<bool>& tied) const {
    musicxml::Key key = musicxml::CellKey(score, first, staff, measure);
    std::vector<HostNote> out;
    for (size_t k = 0; k < pitches.size(); ++k) {
      Spelling s;
      s.step = pitches[k].step;
      s.alter = pitches[k].alter;
      s.octave = pitches[k].octave;
      int d = 0, r = 0;
      musicxml::ToHost(key, s, &d, &r);
      out.push_back({static_cast<int>(k + 1), d, r, tied[k]});
    }
    return out;
  }
};

// A chord of the file as it stands, as an entry of a voice written anew; false for one the
// host never held (its notes cannot be written back as they are).
bool Kept(const Chord& c, NewEntry* e) {
  if (c.skip != Skip::None) return false;
  e->pos = c.pos;
  e->duration = c.grace ? musicxml::TypeDuration(c.first.child_value("type")) : c.duration;
  e->grace = c.grace;
  e->kept = true;
  e->notes.clear();
  for (size_t k = 0; k < c.notes.size(); ++k)
    e->notes.push_back({static_cast<int>(k + 1), c.notes[k].displacement, c.notes[k].raiselower,
                        c.notes[k].tieStart});
  return true;
}

// A stretch of time cut into written note values, longest first (a dotted one where it fits).
std::vector<std::pair<int32_t, int16_t>> Pieces(int32_t pos, int32_t length) {
  std::vector<std::pair<int32_t, int16_t>> out;
  while (length > 0) {
    int32_t piece = 0; // what no note value holds goes whole
    for (int i = 12; i >= 0 && !piece; --i)
      for (int32_t value : {(4 << i) * 7 / 4, (4 << i) * 3 / 2, 4 << i})
        if (!piece && value <= length && value <= 32767) piece = value;
    if (!piece) piece = std::min<int32_t>(length, 32767);
    out.push_back({pos, static_cast<int16_t>(piece)});
    pos += piece;
    length -= piece;
  }
  return out;
}

// Each measure's length: where its last sound ends, over all parts.
std::vector<int32_t> MeasureLengths(const Score& score) {
  std::vector<int32_t> lengths(static_cast<size_t>(score.measureCount) + 1, 0);
  for (const Chord& c : score.chords)
    if (!c.grace && c.measure >= 1 && c.measure <= score.measureCount)
      lengths[c.measure] = std::max(lengths[c.measure], c.end);
  return lengths;
}

// The chords of each voice of a staff in a measure, by layer.
typedef std::map<int16_t, std::vector<size_t>> Layers;
std::map<std::pair<int16_t, int16_t>, Layers> CellLayers(const Score& score) {
  std::map<std::pair<int16_t, int16_t>, Layers> cells;
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.layer >= 0) cells[{c.staff, c.measure}][c.layer].push_back(i);
  }
  return cells;
}

// What a task left alone, counted, and the symbols that name no chord, said in one line.
struct Tally {
  struct Count {
    const char* one;
    const char* many;
    int n;
  };
  std::vector<Count> counts;
  std::vector<std::string> symbols; // each once: its kind, its measure and why

  void Add(const char* one, const char* many) {
    for (Count& c : counts)
      if (strcmp(c.one, one) == 0) {
        ++c.n;
        return;
      }
    counts.push_back({one, many, 1});
  }
  void NoChord(const Score& score, const Symbol& s) {
    const musicxml::Harmony& h = *s.harmony;
    std::string said = h.text.empty() ? "\"" + h.kind + "\"" : h.text + " (" + h.kind + ")";
    said += " in measure " + musicxml::MeasureName(score, h.measure);
    if (s.why.find("names no chord") == std::string::npos) said += ": " + s.why;
    if (std::find(symbols.begin(), symbols.end(), said) == symbols.end()) symbols.push_back(said);
  }
  std::string Line() const {
    std::vector<std::string> parts;
    for (const Count& c : counts)
      parts.push_back(std::to_string(c.n) + " " + (c.n == 1 ? c.one : c.many));
    if (!symbols.empty()) {
      std::string list;
      for (const std::string& s : symbols)
        list += (list.empty() ? "" : "; ") + s;
      parts.push_back("the music under chord symbols that name no chord (" + list + ")");
    }
    std::string line;
    for (const std::string& p : parts)
      line += (line.empty() ? "left alone: " : ", ") + p;
    return line;
  }
};

// The longest measure realized: sixteen whole notes. A longer one (a length no notation
// has, read from a file) would be written as thousands of tied chords.
const int32_t kLongestMeasure = 16 * 4 * musicxml::kQuarter;

// A stretch of a measure under one symbol.
struct Segment {
  int16_t measure = 0;
  int32_t pos = 0, end = 0;
  int symbol = -1; // in Symbols::list; -1 before the first
  int chord = -1;  // in the progression; -1: a symbol that names no chord, or none
};

} // namespace

ChordTaskResult RealizeChordSymbols(const Score& score, const std::vector<bool>& parts,
                                    const std::vector<bool>& measures, const ChordTaskOptions& o) {
  ChordTaskResult result;
  std::vector<int16_t> staves = SelectedStaves(score, parts);
  std::vector<musicxml::Transposition> transpositions = musicxml::StaffTranspositions(score);
  if (staves.empty()) return result;
  Symbols symbols = ReadSymbols(score, PartOf(score, staves[0]), transpositions);
  Tally said;
  if (symbols.list.empty()) {
    result.leftAlone = "left alone: the selection, as the score has no chord symbols to realize";
    return result;
  }
  // The stretches under each symbol, and the progression: each symbol that names a chord once.
  std::vector<int32_t> lengths = MeasureLengths(score);
  std::vector<Segment> segments;
  std::vector<cs::Chord> progression, bassChords; // spelled for the first staff, the second
  std::map<int, int> chordOf;                     // symbol -> progression
  size_t first = 0;                               // the first symbol not before the measure at hand
  for (int16_t m = 1; m <= score.measureCount; ++m) {
    if (static_cast<size_t>(m) >= measures.size() || !measures[m] || lengths[m] <= 0) continue;
    if (lengths[m] > kLongestMeasure) {
      said.Add("measure longer than sixteen whole notes",
               "measures longer than sixteen whole notes");
      continue;
    }
    std::vector<int32_t> cuts = {0};
    while (first < symbols.list.size() && symbols.list[first].harmony->measure < m)
      ++first;
    for (size_t k = first; k < symbols.list.size() && symbols.list[k].harmony->measure == m; ++k) {
      int32_t pos = symbols.list[k].harmony->pos;
      if (pos > cuts.back() && pos < lengths[m]) cuts.push_back(pos);
    }
    cuts.push_back(lengths[m]);
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
      Segment g;
      g.measure = m;
      g.pos = cuts[k];
      g.end = cuts[k + 1];
      g.symbol = symbols.At(m, g.pos);
      if (g.symbol >= 0 && symbols.list[g.symbol].chord) {
        auto known = chordOf.find(g.symbol);
        if (known == chordOf.end()) {
          known = chordOf.emplace(g.symbol, static_cast<int>(progression.size())).first;
          progression.push_back(
              ForStaff(symbols.list[g.symbol].built, symbols.from, transpositions[staves[0]]));
          if (staves.size() > 1)
            bassChords.push_back(
                ForStaff(symbols.list[g.symbol].built, symbols.from, transpositions[staves[1]]));
        }
        g.chord = known->second;
      } else if (g.symbol >= 0) {
        said.NoChord(score, symbols.list[g.symbol]);
      } else {
        said.Add("stretch before the first chord symbol",
                 "stretches before the first chord symbol");
      }
      segments.push_back(g);
    }
  }
  std::vector<std::vector<cs::Pitch>> voiced =
      cs::Realize(progression, o.voicing, o.leading, o.range);
  std::vector<cs::Pitch> basses;
  for (const cs::Chord& c : bassChords)
    basses.push_back(cs::BassNote(c, basses.empty() ? -1 : cs::KeyOf(basses.back())));

  std::map<std::pair<int16_t, int16_t>, Layers> cells = CellLayers(score);
  Writer writer(score);
  for (size_t from = 0; from < segments.size();) {
    int16_t m = segments[from].measure;
    size_t to = from;
    bool any = false;
    for (; to < segments.size() && segments[to].measure == m; ++to)
      any = any || segments[to].chord >= 0;
    std::vector<LayerRewrite> measure;
    bool kept = true;
    size_t keptChords = 0; // the file's chords written again as they were
    for (size_t s = 0; s < std::min<size_t>(2, staves.size()) && kept && any; ++s) {
      int16_t staff = staves[s];
      Layers layers = cells[{staff, m}];
      layers[0]; // the first voice is written even where the staff had none
      for (auto& layer : layers) {
        LayerRewrite r;
        r.staff = staff;
        r.measure = m;
        r.layer = layer.first;
        r.old.assign(layer.second.begin(), layer.second.end());
        // The file's own chords where no chord is realized; a rest in the first voice's gaps.
        size_t chord = 0;
        for (size_t g = from; g < to && kept; ++g) {
          const Segment& seg = segments[g];
          if (seg.chord >= 0) {
            if (layer.first != 0) continue;
            const Segment* next = g + 1 < segments.size() ? &segments[g + 1] : nullptr;
            bool onward = next && next->symbol == seg.symbol && next->pos == 0 &&
                          next->measure == m + 1 && seg.end >= lengths[m];
            std::vector<cs::Pitch> pitches =
                s == 0 ? voiced[seg.chord] : std::vector<cs::Pitch>{basses[seg.chord]};
            auto pieces = Pieces(seg.pos, seg.end - seg.pos);
            for (size_t k = 0; k < pieces.size(); ++k) {
              NewEntry e;
              e.pos = pieces[k].first;
              e.duration = pieces[k].second;
              std::vector<bool> tied(pitches.size(), k + 1 < pieces.size() || onward);
              e.notes = writer.Notes(staff, m, pitches, tied);
              e.symbol = Printed(*symbols.list[seg.symbol].harmony);
              r.entries.push_back(e);
            }
            continue;
          }
          // The voice's chords in time order, each looked at once over the measure's stretches.
          int32_t at = seg.pos;
          for (; chord < layer.second.size() && score.chords[layer.second[chord]].pos < seg.end;
               ++chord) {
            const Chord& c = score.chords[layer.second[chord]];
            // rests are made anew for the stretch, where one may lie across its end
            if (c.rest || c.pos < seg.pos) continue;
            NewEntry e;
            kept = kept && c.end <= seg.end && Kept(c, &e);
            ++keptChords;
            if (layer.first == 0 && !c.grace && c.pos > at)
              for (auto& rest : Pieces(at, c.pos - at))
                r.entries.push_back({rest.first, rest.second, false, {}, false, ""});
            r.entries.push_back(e);
            if (!c.grace) at = std::max(at, c.end);
          }
          if (layer.first == 0 && at < seg.end)
            for (auto& rest : Pieces(at, seg.end - at))
              r.entries.push_back({rest.first, rest.second, false, {}, false, ""});
        }
        measure.push_back(r);
      }
    }
    if (!kept)
      said.Add("measure whose music outside the chord symbols could not be kept",
               "measures whose music outside the chord symbols could not be kept");
    if (kept && any) {
      result.rewrites.insert(result.rewrites.end(), measure.begin(), measure.end());
      result.leftAloneCount += keptChords;
    }
    from = to;
  }
  result.leftAlone = said.Line();
  return result;
}

ChordTaskResult BlockChords(const Score& score, const std::vector<bool>& parts,
                            const std::vector<bool>& measures) {
  ChordTaskResult result;
  std::vector<int16_t> staves = SelectedStaves(score, parts);
  if (staves.empty()) return result;
  int16_t staff = staves[0];
  std::vector<musicxml::Transposition> transpositions = musicxml::StaffTranspositions(score);
  Symbols symbols = ReadSymbols(score, PartOf(score, staff), transpositions);
  Writer writer(score);
  Tally said;
  // Each melody note's chord, by the chord's index; the notes of every chord of the staff's
  // voices as they will stand, for the ties.
  std::map<size_t, std::vector<cs::Pitch>> blocked;
  std::map<size_t, int> symbolOf; // each block chord's symbol
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.staff != staff || c.layer < 0 || !Selected(parts, measures, c.part, c.measure)) continue;
    int s = symbols.At(c.measure, c.pos);
    if (c.rest) {
      said.Add("rest", "rests");
    } else if (c.grace) {
      said.Add("grace note", "grace notes");
      ++result.leftAloneCount;
    } else if (c.skip != Skip::None) {
      continue; // the job says these
    } else if (s < 0) {
      said.Add("note without a chord symbol", "notes without a chord symbol");
      ++result.leftAloneCount;
    } else if (!symbols.list[s].chord) {
      said.NoChord(score, symbols.list[s]);
      ++result.leftAloneCount;
    } else {
      const musicxml::NoteRef* top = &c.notes[0];
      for (const musicxml::NoteRef& n : c.notes)
        if (cs::KeyOf(PitchOf(n.pitch)) > cs::KeyOf(PitchOf(top->pitch))) top = &n;
      symbolOf[i] = s;
      blocked[i] =
          cs::BlockChord(ForStaff(symbols.list[s].built, symbols.from, transpositions[staff]),
                         PitchOf(top->pitch));
    }
  }
  // A note of a block chord is tied where its melody note was and the next chord of the voice
  // holds the same pitch.
  std::map<std::pair<int, int32_t>, size_t> last; // (part, voice) -> the chord before
  std::map<size_t, size_t> next;
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.staff != staff || c.grace || c.layer < 0) continue;
    auto before = last.find({c.part, c.voice});
    if (before != last.end()) next[before->second] = i;
    last[{c.part, c.voice}] = i;
  }
  auto pitchesOf = [&](size_t i) {
    auto b = blocked.find(i);
    if (b != blocked.end()) return b->second;
    std::vector<cs::Pitch> out;
    for (const musicxml::NoteRef& n : score.chords[i].notes)
      out.push_back(PitchOf(n.pitch));
    return out;
  };
  std::map<std::pair<int16_t, int16_t>, Layers> cells = CellLayers(score);
  for (const auto& cell : cells) {
    if (cell.first.first != staff) continue;
    for (const auto& layer : cell.second) {
      LayerRewrite r;
      r.staff = staff;
      r.measure = cell.first.second;
      r.layer = layer.first;
      r.old.assign(layer.second.begin(), layer.second.end());
      bool kept = true;
      size_t made = 0; // block chords in the voice
      for (size_t i : layer.second) {
        NewEntry e;
        kept = Kept(score.chords[i], &e) && kept;
        auto b = blocked.find(i);
        if (b != blocked.end()) {
          ++made;
          bool tie = std::any_of(score.chords[i].notes.begin(), score.chords[i].notes.end(),
                                 [](const musicxml::NoteRef& n) { return n.tieStart; });
          std::vector<cs::Pitch> after =
              next.count(i) ? pitchesOf(next[i]) : std::vector<cs::Pitch>();
          std::vector<bool> tied;
          for (const cs::Pitch& p : b->second)
            tied.push_back(tie && std::any_of(after.begin(), after.end(), [&p](const cs::Pitch& q) {
                             return q.step == p.step && q.alter == p.alter && q.octave == p.octave;
                           }));
          e.notes = writer.Notes(staff, r.measure, b->second, tied);
          e.symbol = Printed(*symbols.list[symbolOf[i]].harmony);
          e.kept = false;
        }
        r.entries.push_back(e);
      }
      if (made && !kept) {
        said.Add("measure whose other notes could not be kept",
                 "measures whose other notes could not be kept");
        result.leftAloneCount += made;
      }
      if (made && kept) result.rewrites.push_back(r);
    }
  }
  result.leftAlone = said.Line();
  return result;
}
