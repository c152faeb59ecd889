#include "voicecheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "lines.h"
#include "selection.h"
#include "voiceleading.h"
#include "writeback.h"

namespace {

// More voices than this sounding at once are not compared two by two at that moment (counted
// in the summary): the pairs grow as the square of the voices.
const size_t kMostVoices = 128;

int KeyOf(const musicxml::Spelling& s) {
  static const int letter[7] = {0, 2, 4, 5, 7, 9, 11};
  return 12 * (s.octave + 1) + letter[s.step] + s.alter;
}

int Sign(int x) {
  return (x > 0) - (x < 0);
}

// A note of a voice, as long as its entry sounds.
struct Sound {
  size_t strand = 0;            // the voice's line: one unbroken run of its notes
  size_t chord = 0, note = 0;   // its entry (index into Score::chords) and note there
  int key = 0;                  // sounding pitch (MIDI number)
  int16_t staff = 0, layer = 0; // its entry's staff (host number) and layer
  int place = 0;                // its place among its entry's voices, from the lowest
  int16_t measure = 0;          // where it sounds: in this measure from pos to end
  int32_t pos = 0, end = 0;
  bool struck = false; // played where it starts, not tied from the note before
};

// Whether the check hears an entry: notes all pitched, held by the host, not a grace note.
bool Heard(const musicxml::Chord& c) {
  if (c.rest || c.grace || c.skip != musicxml::Skip::None || c.layer < 0 || c.notes.empty())
    return false;
  for (const musicxml::NoteRef& n : c.notes)
    if (!n.pitched) return false;
  return true;
}

// The lines of an entry's notes (here, lowest first) that follow the entry before (last, a
// sound per line, lowest first, lines that met on one note side by side): the notes matched by
// the least motion. A note before hands its lines on to the notes it is matched to: one line to
// the nearest, or several one each from the lowest, what is left to the highest; a note given
// none begins a line of its own (*strands counts the lines). When that would give the layer
// more lines than either entry has voices, its lines begin anew here.
std::vector<Sound> Follow(const std::vector<Sound>& last, const std::vector<Sound>& here,
                          size_t* strands) {
  std::vector<int> a, b;
  std::vector<std::vector<size_t>> lines; // each note's lines before, as indices into last
  for (size_t k = 0; k < last.size(); ++k) {
    if (k == 0 || last[k].chord != last[k - 1].chord || last[k].note != last[k - 1].note) {
      a.push_back(last[k].key);
      lines.push_back({});
    }
    lines.back().push_back(k);
  }
  for (const Sound& s : here)
    b.push_back(s.key);
  std::vector<std::pair<int, int>> pairs = voiceleading::Matching(
      a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  std::vector<std::vector<size_t>> given(b.size()); // each note's lines, as indices into last
  for (size_t p = 0; p < pairs.size();) {
    int i = pairs[p].first;
    std::vector<int> to;
    for (; p < pairs.size() && pairs[p].first == i; ++p)
      to.push_back(pairs[p].second);
    const std::vector<size_t>& own = lines[i];
    if (own.size() == 1) {
      int nearest = to[0];
      for (int j : to)
        if (std::abs(b[j] - a[i]) < std::abs(b[nearest] - a[i])) nearest = j;
      given[nearest].push_back(own[0]);
      continue;
    }
    for (size_t k = 0; k < own.size(); ++k)
      given[to[std::min(k, to.size() - 1)]].push_back(own[k]);
  }
  size_t count = 0;
  for (const std::vector<size_t>& g : given)
    count += std::max<size_t>(g.size(), 1);
  std::vector<Sound> next;
  bool anew = count > std::max(last.size(), here.size());
  for (size_t j = 0; j < here.size(); ++j) {
    if (given[j].empty() || anew) {
      next.push_back(here[j]);
      next.back().strand = (*strands)++;
    }
    if (!anew)
      for (size_t k : given[j]) {
        next.push_back(here[j]);
        next.back().strand = last[k].strand;
      }
  }
  return next;
}

// Every voice of the selection as sounds, staff by staff and layer by layer. An entry of
// single notes goes on its voice's line; a chord's notes go on the lines of the chord before
// by the least motion (two lines may meet on one note and part again); a rest, a place left
// alone, a gap or a measure not chosen ends every line of its layer.
std::vector<Sound> ReadVoices(const musicxml::Score& score, const std::vector<bool>& parts,
                              const std::vector<bool>& measures) {
  std::map<std::pair<int, int>, std::vector<size_t>> lanes; // (staff, layer): entries
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const musicxml::Chord& c = score.chords[i];
    // A chord that writing back emptied stands where the chords written anew stand.
    if (c.layer < 0 || (c.notes.empty() && !c.rest)) continue;
    if (Selected(parts, measures, c.part, c.measure)) lanes[{c.staff, c.layer}].push_back(i);
  }
  // Voices of transposing parts are compared as they sound, and named as written.
  std::vector<musicxml::Transposition> transpositions = musicxml::StaffTranspositions(score);
  std::vector<Sound> sounds;
  size_t strands = 0;
  for (auto& lane : lanes) {
    std::vector<size_t>& entries = lane.second;
    // Chords written anew come after the file's; within a layer time goes forward.
    std::stable_sort(entries.begin(), entries.end(), [&score](size_t x, size_t y) {
      const musicxml::Chord &a = score.chords[x], &b = score.chords[y];
      return std::make_pair(a.measure, a.pos) < std::make_pair(b.measure, b.pos);
    });
    std::vector<Sound> last; // the notes of the entry before, lowest first; empty after a break
    for (size_t i : entries) {
      const musicxml::Chord& c = score.chords[i];
      if (!Heard(c)) {
        last.clear();
        continue;
      }
      if (!last.empty()) {
        const Sound& l = last.front();
        int32_t length = score.measureTimes[l.measure - 1].length;
        bool follows = (c.measure == l.measure && c.pos == l.end) ||
                       (c.measure == l.measure + 1 && c.pos == 0 && l.end >= length);
        if (!follows) last.clear();
      }
      std::vector<Sound> here;
      for (size_t n = 0; n < c.notes.size(); ++n) {
        Sound s;
        s.chord = i;
        s.note = n;
        s.key = KeyOf(c.notes[n].pitch) + (static_cast<size_t>(c.staff) < transpositions.size()
                                               ? transpositions[c.staff].chromatic
                                               : 0);
        s.staff = c.staff;
        s.layer = c.layer;
        s.measure = c.measure;
        s.pos = c.pos;
        s.end = c.end;
        s.struck = !c.notes[n].tieStop;
        here.push_back(s);
      }
      std::stable_sort(here.begin(), here.end(),
                       [](const Sound& x, const Sound& y) { return x.key < y.key; });
      std::vector<Sound> next;
      if (last.empty()) {
        for (Sound& s : here) {
          s.strand = strands++;
          next.push_back(s);
        }
      } else {
        next = Follow(last, here, &strands);
      }
      for (size_t k = 0; k < next.size(); ++k)
        next[k].place = static_cast<int>(k);
      sounds.insert(sounds.end(), next.begin(), next.end());
      last = std::move(next);
    }
  }
  return sounds;
}

bool SameNote(const Sound& x, const Sound& y) {
  return x.chord == y.chord && x.note == y.note;
}

// Lower in the score as written: a later staff, a later layer, a lower place in its chord.
bool WrittenBelow(const Sound& x, const Sound& y) {
  if (x.staff != y.staff) return x.staff > y.staff;
  if (x.layer != y.layer) return x.layer > y.layer;
  return x.place < y.place;
}

class Checker {
public:
  explicit Checker(const musicxml::Score& score) : _score(score) {}

  // The faults arriving at a moment from the moment before: now and before are the voices
  // sounding at each, written from the bass up; a voice sounds at both when its line does.
  void Between(const std::vector<const Sound*>& before, const std::vector<const Sound*>& now) {
    if (now.size() > kMostVoices) {
      ++crowded;
      return;
    }
    std::map<size_t, const Sound*> was;
    for (const Sound* s : before)
      was[s->strand] = s;
    // The voices of both moments, and each one's number now from the bass.
    std::vector<std::pair<const Sound*, const Sound*>> both;
    std::vector<int> number;
    for (size_t k = 0; k < now.size(); ++k) {
      auto found = was.find(now[k]->strand);
      if (found == was.end()) continue;
      both.push_back({found->second, now[k]});
      number.push_back(static_cast<int>(k) + 1);
    }
    for (size_t x = 0; x < both.size(); ++x)
      for (size_t y = x + 1; y < both.size(); ++y) {
        const Sound &xa = *both[x].first, &xb = *both[x].second;
        const Sound &ya = *both[y].first, &yb = *both[y].second;
        if (SameNote(xa, ya) && SameNote(xb, yb)) continue; // one voice doubled, not two
        int from = ya.key - xa.key, to = yb.key - xb.key;
        int mx = xb.key - xa.key, my = yb.key - ya.key;
        if (from >= 0 && to < 0)
          Add(VoiceFaultKind::Crossing, &xa, &ya, xb, yb, number[x], number[y]);
        if (mx == 0 || my == 0 || Sign(mx) != Sign(my)) continue;
        if (std::abs(from) % 12 == 7 && std::abs(to) % 12 == 7)
          Add(VoiceFaultKind::ParallelFifths, &xa, &ya, xb, yb, number[x], number[y]);
        if (std::abs(from) % 12 == 0 && std::abs(to) % 12 == 0)
          Add(VoiceFaultKind::ParallelOctaves, &xa, &ya, xb, yb, number[x], number[y]);
      }
    // The outer voices, the bass and the top as they sound now, when both sounded before.
    if (both.size() >= 2 && both.front().second == now.front() &&
        both.back().second == now.back()) {
      const Sound &ba = *both.front().first, &bb = *both.front().second;
      const Sound &ta = *both.back().first, &tb = *both.back().second;
      int from = std::abs(ta.key - ba.key), to = std::abs(tb.key - bb.key);
      int bass = bb.key - ba.key, top = tb.key - ta.key;
      bool perfect = to % 12 == 7 || to % 12 == 0;
      if (perfect && from % 12 != to % 12 && bass != 0 && Sign(bass) == Sign(top) &&
          std::abs(top) > 2)
        Add(VoiceFaultKind::HiddenFifths, &ba, &ta, bb, tb, 1, static_cast<int>(now.size()));
    }
    // Upper voices (the bass as written apart) next to each other in pitch, where one of the
    // two is played now; named in their written order.
    auto played = [this](const Sound* s) {
      return s->struck && s->measure == _measure && s->pos == _pos;
    };
    std::vector<size_t> upper;
    for (size_t k = 1; k < now.size(); ++k)
      upper.push_back(k);
    std::stable_sort(upper.begin(), upper.end(),
                     [&now](size_t x, size_t y) { return now[x]->key < now[y]->key; });
    for (size_t k = 0; k + 1 < upper.size(); ++k) {
      size_t x = std::min(upper[k], upper[k + 1]), y = std::max(upper[k], upper[k + 1]);
      if (now[upper[k + 1]]->key - now[upper[k]]->key > 12 && (played(now[x]) || played(now[y])))
        Add(VoiceFaultKind::Spacing, nullptr, nullptr, *now[x], *now[y], static_cast<int>(x) + 1,
            static_cast<int>(y) + 1);
    }
  }

  std::function<void(VoiceFault&&)> found; // takes each fault as it is found
  size_t crowded = 0;                      // moments of more voices than are compared

  // The moment the faults added next arrive at.
  void At(int16_t measure, int32_t pos) {
    _measure = measure;
    _pos = pos;
  }

private:
  // A fault of the lower voice x and the upper voice y as written, from xa and ya (none for
  // spacing) to xb and yb, numbered from the bass as they sound now.
  void Add(VoiceFaultKind kind, const Sound* xa, const Sound* ya, const Sound& xb, const Sound& yb,
           int lower, int upper) {
    VoiceFault f;
    f.kind = kind;
    auto place = [this](const Sound& s) {
      const musicxml::Chord& c = _score.chords[s.chord];
      return musicxml::ChordPlace(_score, c.part, c.staff, _measure, _pos,
                                  _score.voiceNames[c.part][c.voice]);
    };
    musicxml::ChangedChord at = place(xb), with = place(yb);
    f.part = at.part;
    f.partName = at.partName;
    f.staff = at.staff;
    f.scoreStaff = at.scoreStaff;
    f.measure = at.measure;
    f.beat = at.beat;
    f.voice = at.voice;
    f.upperPart = with.part;
    f.upperPartName = with.partName;
    f.upperStaff = with.staff;
    f.upperScoreStaff = with.scoreStaff;
    f.upperVoice = with.voice;
    f.lower = lower;
    f.upper = upper;
    auto name = [this](const Sound& s) {
      return musicxml::PitchName(_score.chords[s.chord].notes[s.note].pitch);
    };
    if (xa && ya) {
      f.before = name(*xa) + " " + name(*ya);
      f.notes = {{xa->chord, xa->note}, {ya->chord, ya->note}};
    }
    f.after = name(xb) + " " + name(yb);
    f.notes.push_back({xb.chord, xb.note});
    f.notes.push_back({yb.chord, yb.note});
    found(std::move(f));
  }

  const musicxml::Score& _score;
  int16_t _measure = 1; // the moment: its measure and place there
  int32_t _pos = 0;
};

} // namespace

void CheckVoiceLeading(const musicxml::Score& score, const std::vector<bool>& parts,
                       const std::vector<bool>& measures,
                       const std::function<void(VoiceFault&&)>& found, size_t* crowded) {
  std::vector<Sound> sounds = ReadVoices(score, parts, measures);
  auto starts = [](const Sound& s) { return std::make_pair(s.measure, s.pos); };
  std::stable_sort(sounds.begin(), sounds.end(),
                   [&](const Sound& x, const Sound& y) { return starts(x) < starts(y); });
  // Every place a note starts is a moment; the voices sounding there are those whose notes
  // started there or before and end after it.
  Checker checker(score);
  checker.found = found;
  std::vector<const Sound*> before, now;
  for (size_t i = 0; i < sounds.size();) {
    std::pair<int16_t, int32_t> moment = starts(sounds[i]);
    now.clear();
    for (const Sound* s : before)
      if (s->measure == moment.first && s->end > moment.second) now.push_back(s);
    for (; i < sounds.size() && starts(sounds[i]) == moment; ++i)
      now.push_back(&sounds[i]);
    std::stable_sort(now.begin(), now.end(),
                     [](const Sound* x, const Sound* y) { return WrittenBelow(*x, *y); });
    checker.At(moment.first, moment.second);
    checker.Between(before, now);
    std::swap(before, now);
  }
  if (crowded) *crowded = checker.crowded;
}

std::vector<VoiceFault> CheckVoiceLeading(const musicxml::Score& score,
                                          const std::vector<bool>& parts,
                                          const std::vector<bool>& measures, size_t* crowded) {
  std::vector<VoiceFault> faults;
  CheckVoiceLeading(
      score, parts, measures, [&faults](VoiceFault&& f) { faults.push_back(std::move(f)); },
      crowded);
  return faults;
}

namespace {
// What each kind is called: in a line, and in the summary for one fault and for none or more.
struct KindNames {
  const char *line, *one, *more;
};
const KindNames kKindNames[] = {
    {"parallel fifths", "parallel fifth", "parallel fifths"},
    {"parallel octaves or unisons", "parallel octave or unison", "parallel octaves or unisons"},
    {"hidden fifths or octaves", "hidden fifth or octave", "hidden fifths or octaves"},
    {"voices crossing", "voice crossing", "voices crossing"},
    {"upper voices over an octave apart", "pair of upper voices over an octave apart",
     "pairs of upper voices over an octave apart"}};
static_assert(sizeof kKindNames / sizeof kKindNames[0] ==
                  static_cast<size_t>(VoiceFaultKind::Count),
              "a name for every kind");

const KindNames* Names(VoiceFaultKind kind) {
  static const KindNames none = {"", "", ""};
  int k = static_cast<int>(kind);
  return k >= 0 && k < static_cast<int>(VoiceFaultKind::Count) ? &kKindNames[k] : &none;
}
} // namespace

const char* FaultName(VoiceFaultKind kind) {
  return Names(kind)->line;
}

std::string DescribeFaults(const std::vector<VoiceFault>& faults) {
  std::string text;
  for (const VoiceFault& f : faults)
    text += DescribeFault(f);
  return text;
}

std::string DescribeFault(const VoiceFault& f) {
  char beat[32];
  snprintf(beat, sizeof beat, "%g", f.beat);
  auto part = [](const std::string& id, const std::string& name) {
    return "part " + id + (name.empty() ? "" : " (" + name + ")");
  };
  bool apart = f.upperPart != f.part || f.upperStaff != f.staff || f.upperVoice != f.voice;
  return part(f.part, f.partName) + ", measure " + f.measure + ", beat " + beat + ", staff " +
         std::to_string(f.staff) + ", voice " + f.voice +
         (apart ? ", with " + part(f.upperPart, f.upperPartName) + ", staff " +
                      std::to_string(f.upperStaff) + ", voice " + f.upperVoice
                : "") +
         ": " + FaultName(f.kind) + ", voices " + std::to_string(f.lower) + " and " +
         std::to_string(f.upper) +
         " from the bass: " + (f.before.empty() ? f.after : f.before + " -> " + f.after) + "\n";
}

std::string FaultSummary(const std::vector<VoiceFault>& faults, size_t crowded) {
  FaultCounts counts = {};
  for (const VoiceFault& f : faults)
    ++counts[static_cast<size_t>(f.kind)];
  return FaultSummary(counts, crowded);
}

std::string FaultSummary(const FaultCounts& counts, size_t crowded) {
  const int kinds = static_cast<int>(VoiceFaultKind::Count);
  size_t total = 0;
  for (size_t n : counts)
    total += n;
  std::string line =
      "voice leading: " + std::to_string(total) + (total == 1 ? " fault" : " faults");
  for (int k = 0; k < kinds; ++k) {
    VoiceFaultKind kind = static_cast<VoiceFaultKind>(k);
    line += std::string(k == 0 ? ": " : ", ") + std::to_string(counts[k]) + " " +
            (counts[k] == 1 ? Names(kind)->one : Names(kind)->more);
  }
  if (crowded)
    line += "; " + std::to_string(crowded) + (crowded == 1 ? " place" : " places") +
            " of more than " + std::to_string(kMostVoices) + " voices not compared";
  return line;
}

void MarkFaults(musicxml::Score* score, std::vector<VoiceFault>* faults) {
  const std::string fault = "qv-fault-", change = "qv-change-";
  auto named = [](pugi::xml_node node, const std::string& prefix) {
    return std::string(node.attribute("id").value()).rfind(prefix, 0) == 0;
  };
  for (const musicxml::Chord& c : score->chords)
    for (const musicxml::NoteRef& n : c.notes)
      if (named(n.node, fault)) pugi::xml_node(n.node).remove_attribute("id");
  size_t next = 0;
  for (VoiceFault& f : *faults) {
    f.ids.clear();
    for (const std::pair<size_t, size_t>& at : f.notes) {
      if (at.first >= score->chords.size() || at.second >= score->chords[at.first].notes.size())
        continue;
      pugi::xml_node node = score->chords[at.first].notes[at.second].node;
      if (!named(node, fault) && !named(node, change)) {
        pugi::xml_attribute id = node.attribute("id");
        (id ? id : node.append_attribute("id")).set_value((fault + std::to_string(next++)).c_str());
      }
      f.ids.push_back(node.attribute("id").value());
    }
  }
}
