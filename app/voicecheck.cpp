#include "voicecheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "selection.h"
#include "writeback.h"

namespace {

// A chord as the check sees it: its notes ascending by sounding pitch.
struct Voiced {
  size_t chord;                   // index into Score::chords
  std::vector<int> keys;          // sounding pitches (MIDI numbers), ascending
  std::vector<std::string> names; // the notes as written, in the same order
  std::vector<size_t> order;      // each one's index in the chord's notes
};

int KeyOf(const musicxml::Spelling& s) {
  static const int letter[7] = {0, 2, 4, 5, 7, 9, 11};
  return 12 * (s.octave + 1) + letter[s.step] + s.alter;
}

Voiced Voice(const musicxml::Chord& c, size_t index) {
  std::vector<size_t> order(c.notes.size());
  for (size_t j = 0; j < order.size(); ++j)
    order[j] = j;
  std::vector<int> keys;
  for (const musicxml::NoteRef& n : c.notes)
    keys.push_back(KeyOf(n.pitch));
  std::stable_sort(order.begin(), order.end(),
                   [&keys](size_t x, size_t y) { return keys[x] < keys[y]; });
  Voiced v;
  v.chord = index;
  v.order = order;
  for (size_t j : order) {
    v.keys.push_back(keys[j]);
    v.names.push_back(musicxml::PitchName(c.notes[j].pitch));
  }
  return v;
}

int Sign(int x) {
  return (x > 0) - (x < 0);
}

class Checker {
public:
  Checker(const musicxml::Score& score, const std::function<void(VoiceFault&&)>& found)
      : _score(score), _found(found) {}

  // The faults arriving in chord b from chord a (none for the first of a lane).
  void Between(const Voiced* a, const Voiced& b) {
    int nb = static_cast<int>(b.keys.size());
    for (int k = 1; k + 1 < nb; ++k)
      if (b.keys[k + 1] - b.keys[k] > 12) Add(VoiceFaultKind::Spacing, nullptr, b, k, k + 1);
    if (!a) return;
    int na = static_cast<int>(a->keys.size());
    int n = std::min(na, nb);
    for (int i = 0; i < n; ++i)
      for (int j = i + 1; j < n; ++j) {
        int from = a->keys[j] - a->keys[i], to = b.keys[j] - b.keys[i];
        int mi = b.keys[i] - a->keys[i], mj = b.keys[j] - a->keys[j];
        if (mi == 0 || mj == 0 || Sign(mi) != Sign(mj)) continue;
        if (from % 12 == 7 && to % 12 == 7) Add(VoiceFaultKind::ParallelFifths, a, b, i, j);
        if (from % 12 == 0 && to % 12 == 0) Add(VoiceFaultKind::ParallelOctaves, a, b, i, j);
      }
    // The outer voices: the bass and each chord's own top.
    if (na >= 2 && nb >= 2) {
      int from = a->keys[na - 1] - a->keys[0], to = b.keys[nb - 1] - b.keys[0];
      int bass = b.keys[0] - a->keys[0], top = b.keys[nb - 1] - a->keys[na - 1];
      bool perfect = to % 12 == 7 || to % 12 == 0;
      if (perfect && from % 12 != to % 12 && bass != 0 && Sign(bass) == Sign(top) &&
          std::abs(top) > 2)
        Add(VoiceFaultKind::HiddenFifths, a, b, 0, nb - 1, na - 1);
    }
    for (int k = 0; k + 1 < n; ++k)
      if (b.keys[k] > a->keys[k + 1] || b.keys[k + 1] < a->keys[k])
        Add(VoiceFaultKind::Crossing, a, b, k, k + 1);
  }

private:
  // upperBefore: the upper voice's index in a when it is not upper (its top).
  void Add(VoiceFaultKind kind, const Voiced* a, const Voiced& b, int lower, int upper,
           int upperBefore = -1) {
    musicxml::ChordChange where{b.chord, {}};
    musicxml::ChangedChord place = musicxml::ListChanges(_score, {where})[0];
    VoiceFault f;
    f.kind = kind;
    f.part = place.part;
    f.partName = place.partName;
    f.staff = place.staff;
    f.scoreStaff = place.scoreStaff;
    f.measure = place.measure;
    f.beat = place.beat;
    f.voice = place.voice;
    f.lower = lower + 1;
    f.upper = upper + 1;
    int top = upperBefore < 0 ? upper : upperBefore;
    if (a) {
      f.before = a->names[lower] + " " + a->names[top];
      f.notes = {{a->chord, a->order[lower]}, {a->chord, a->order[top]}};
    }
    f.after = b.names[lower] + " " + b.names[upper];
    f.notes.push_back({b.chord, b.order[lower]});
    f.notes.push_back({b.chord, b.order[upper]});
    _found(std::move(f));
  }

  const musicxml::Score& _score;
  const std::function<void(VoiceFault&&)>& _found;
};

} // namespace

std::vector<VoiceFault> CheckVoiceLeading(const musicxml::Score& score,
                                          const std::vector<bool>& parts,
                                          const std::vector<bool>& measures) {
  std::vector<VoiceFault> faults;
  CheckVoiceLeading(score, parts, measures,
                    [&faults](VoiceFault&& f) { faults.push_back(std::move(f)); });
  return faults;
}

void CheckVoiceLeading(const musicxml::Score& score, const std::vector<bool>& parts,
                       const std::vector<bool>& measures,
                       const std::function<void(VoiceFault&&)>& found) {
  Checker checker(score, found);
  // Each staff's layer: its last chord so far. Within a voice a file goes forward in time,
  // so the chords of a lane come in time order.
  std::map<std::pair<int, int>, Voiced> last;
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const musicxml::Chord& c = score.chords[i];
    if (c.rest || c.grace || c.skip != musicxml::Skip::None || c.notes.size() < 2 || c.layer < 0)
      continue;
    if (!Selected(parts, measures, c.part, c.measure)) continue;
    Voiced v = Voice(c, i);
    auto lane = last.find({c.staff, c.layer});
    const Voiced* before = lane == last.end() ? nullptr : &lane->second;
    // Measures left out between two chords part them, as the task runs on each run apart.
    for (int m = before ? score.chords[before->chord].measure + 1 : c.measure; m < c.measure; ++m)
      if (!measures[m]) before = nullptr;
    checker.Between(before, v);
    last[{c.staff, c.layer}] = std::move(v);
  }
}

const char* FaultName(VoiceFaultKind kind) {
  switch (kind) {
  case VoiceFaultKind::ParallelFifths:
    return "parallel fifths";
  case VoiceFaultKind::ParallelOctaves:
    return "parallel octaves or unisons";
  case VoiceFaultKind::HiddenFifths:
    return "hidden fifths or octaves";
  case VoiceFaultKind::Crossing:
    return "voices crossing";
  case VoiceFaultKind::Spacing:
    return "upper voices over an octave apart";
  default:
    return "";
  }
}

std::string DescribeFault(const VoiceFault& f) {
  char beat[32];
  snprintf(beat, sizeof beat, "%g", f.beat);
  return "part " + f.part + (f.partName.empty() ? "" : " (" + f.partName + ")") + ", measure " +
         f.measure + ", beat " + beat + ", staff " + std::to_string(f.staff) + ", voice " +
         f.voice + ": " + FaultName(f.kind) + ", voices " + std::to_string(f.lower) + " and " +
         std::to_string(f.upper) +
         " from the bass: " + (f.before.empty() ? f.after : f.before + " -> " + f.after) + "\n";
}

std::string DescribeFaults(const std::vector<VoiceFault>& faults) {
  std::string text;
  for (const VoiceFault& f : faults)
    text += DescribeFault(f);
  return text;
}

std::string FaultSummary(const std::vector<VoiceFault>& faults) {
  FaultCounts counts = {};
  for (const VoiceFault& f : faults)
    ++counts[static_cast<size_t>(f.kind)];
  return FaultSummary(counts);
}

std::string FaultSummary(const FaultCounts& counts) {
  const int kinds = static_cast<int>(VoiceFaultKind::Count);
  size_t total = 0;
  for (size_t n : counts)
    total += n;
  std::string line =
      "voice leading: " + std::to_string(total) + (total == 1 ? " fault" : " faults");
  for (int k = 0; k < kinds; ++k)
    line += std::string(k == 0 ? ": " : ", ") + std::to_string(counts[k]) + " " +
            FaultName(static_cast<VoiceFaultKind>(k));
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
