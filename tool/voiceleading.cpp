#include "voiceleading.h"

#include <algorithm>
#include <cstdlib>

namespace voiceleading {

namespace {

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int FloorMod(int a, int b) {
  return a - FloorDiv(a, b) * b;
}

// Whether note n stands above the note k in written-pitch order (displacement, then
// alteration), as the highest and lowest notes of an entry are found.
bool Above(const Note& n, int step, const Note& k) {
  return step > k.step || (step == k.step && n.raiselower > k.raiselower);
}

bool Below(const Note& n, int step, const Note& k) {
  return step < k.step || (step == k.step && n.raiselower < k.raiselower);
}

// A chord's notes as voiced, ascending, into keys (as many as notes).
void SortedKeys(const Chord& chord, const std::vector<int>& shifts, int* keys) {
  int n = static_cast<int>(chord.notes.size());
  for (int i = 0; i < n; ++i) {
    int key = chord.notes[i].key + OCTAVE_SEMITONES * shifts[i];
    int j = i;
    for (; j > 0 && keys[j - 1] > key; --j)
      keys[j] = keys[j - 1];
    keys[j] = key;
  }
}

long long Moved(const std::vector<int>& shifts) {
  long long moved = 0;
  for (int s : shifts)
    moved += std::abs(s);
  return moved;
}

Cost Transition(const int* a, int na, const int* b, int nb, long long moved) {
  Cost c;
  c.motion = Motion(a, na, b, nb);
  c.crossed = Crossed(a, na, b, nb);
  c.moved = moved;
  return c;
}

} // namespace

std::vector<int> Shifts(const Chord& chord, int i, bool top) {
  const Note& n = chord.notes[i];
  if (chord.asWritten || i == chord.kept || n.fixed) return {0};
  const Note& k = chord.notes[chord.kept];
  std::vector<int> out;
  int lowest = FloorDiv(k.step - REACH_STEPS - n.step, OCTAVE_STEPS);
  int highest = FloorDiv(k.step + REACH_STEPS - n.step, OCTAVE_STEPS) + 1;
  for (int s = lowest; s <= highest; ++s) {
    int step = n.step + OCTAVE_STEPS * s;
    if (std::abs(step - k.step) > REACH_STEPS || step < -0x8000 || step > 0x7FFF) continue;
    if (top ? Above(n, step, k) : Below(n, step, k)) continue;
    out.push_back(s);
  }
  // Only at the very edge of the displacement range is there no place: the note stays.
  if (out.empty()) out.push_back(0);
  return out;
}

std::vector<std::vector<int>> Voicings(const Chord& chord, bool top) {
  int n = static_cast<int>(chord.notes.size());
  std::vector<std::vector<int>> shifts(n);
  std::vector<int> order; // the notes with a choice, grouped by pitch class, each group ascending
  for (int i = 0; i < n; ++i) {
    shifts[i] = Shifts(chord, i, top);
    if (shifts[i].size() > 1) order.push_back(i);
  }
  const std::vector<Note>& notes = chord.notes;
  auto group = [&notes](int i) {
    return std::make_pair(FloorMod(notes[i].step, OCTAVE_STEPS), notes[i].raiselower);
  };
  std::sort(order.begin(), order.end(), [&](int x, int y) {
    if (group(x) != group(y)) return group(x) < group(y);
    return notes[x].step != notes[y].step ? notes[x].step < notes[y].step : x < y;
  });
  std::vector<std::vector<int>> out;
  std::vector<int> pick(n, 0), voicing(n, 0);
  // Notes of one group have the same places to go (one list of steps, shifted by their own
  // octave), so within a group the places are taken in ascending order only.
  bool tooMany = false;
  size_t depth = 0;
  std::vector<int> next(order.size() + 1, 0);
  auto start = [&](size_t p) {
    return p > 0 && group(order[p - 1]) == group(order[p]) ? pick[order[p - 1]] : 0;
  };
  if (!order.empty()) next[0] = start(0);
  while (true) {
    if (depth == order.size()) {
      for (int i = 0; i < n; ++i)
        voicing[i] = shifts[i][pick[i]];
      out.push_back(voicing);
      if (out.size() > static_cast<size_t>(MAX_VOICINGS)) {
        tooMany = true;
        break;
      }
      if (depth == 0) break;
      --depth;
      continue;
    }
    int note = order[depth];
    if (next[depth] >= static_cast<int>(shifts[note].size())) {
      if (depth == 0) break;
      --depth;
      continue;
    }
    pick[note] = next[depth]++;
    ++depth;
    if (depth < order.size()) next[depth] = start(depth);
  }
  if (tooMany) return {std::vector<int>(n, 0)};
  return out;
}

long long Motion(const int* a, int na, const int* b, int nb) {
  if (na == 0 || nb == 0) return 0;
  long long total = 0;
  if (na == nb) {
    for (int k = 0; k < na; ++k)
      total += std::abs(a[k] - b[k]);
    return total;
  }
  // Of two sizes: least[i][j] is the least motion that matches a[0..i] with b[0..j] in
  // order, every note taking at least one; a pair adds |a[i] - b[j]|.
  const int M = 16; // an entry holds at most twelve notes
  if (na > M || nb > M) return 0;
  long long least[M][M];
  for (int i = 0; i < na; ++i)
    for (int j = 0; j < nb; ++j) {
      long long here = std::abs(a[i] - b[j]);
      if (i == 0 && j == 0) {
        least[i][j] = here;
        continue;
      }
      long long before = -1;
      auto take = [&before](long long v) {
        if (before < 0 || v < before) before = v;
      };
      if (i > 0 && j > 0) take(least[i - 1][j - 1]);
      if (i > 0) take(least[i - 1][j]);
      if (j > 0) take(least[i][j - 1]);
      least[i][j] = here + before;
    }
  return least[na - 1][nb - 1];
}

int Crossed(const int* a, int na, const int* b, int nb) {
  int n = std::min(na, nb);
  int crossed = 0;
  for (int k = 0; k + 1 < n; ++k) {
    if (b[k] > a[k + 1]) ++crossed;
    if (b[k + 1] < a[k]) ++crossed;
  }
  return crossed;
}

Plan Choose(const std::vector<Chord>& passage, bool top, Cost* total) {
  size_t count = passage.size();
  Plan plan(count);
  if (count == 0) {
    if (total) *total = Cost();
    return plan;
  }
  // The voicings of the chord before and of this one, their notes ascending (a row of
  // `notes` keys each), and the least cost of the passage up to each voicing of the chord
  // before; back[c][v] names the voicing of chord c-1 that the best way to v comes from.
  std::vector<std::vector<int>> before = Voicings(passage[0], top);
  int beforeNotes = static_cast<int>(passage[0].notes.size());
  std::vector<int> beforeKeys(before.size() * beforeNotes);
  std::vector<Cost> best(before.size());
  for (size_t v = 0; v < before.size(); ++v) {
    SortedKeys(passage[0], before[v], &beforeKeys[v * beforeNotes]);
    best[v].moved = Moved(before[v]);
  }
  std::vector<std::vector<uint16_t>> back(count);
  for (size_t c = 1; c < count; ++c) {
    std::vector<std::vector<int>> here = Voicings(passage[c], top);
    int notes = static_cast<int>(passage[c].notes.size());
    std::vector<int> keys(here.size() * notes);
    std::vector<Cost> reach(here.size());
    back[c].assign(here.size(), 0);
    for (size_t v = 0; v < here.size(); ++v) {
      const int* b = &keys[v * notes];
      SortedKeys(passage[c], here[v], &keys[v * notes]);
      long long moved = Moved(here[v]);
      for (size_t u = 0; u < before.size(); ++u) {
        Cost way = best[u];
        way += Transition(&beforeKeys[u * beforeNotes], beforeNotes, b, notes, moved);
        if (u == 0 || way < reach[v]) {
          reach[v] = way;
          back[c][v] = static_cast<uint16_t>(u);
        }
      }
    }
    before.swap(here);
    beforeKeys.swap(keys);
    beforeNotes = notes;
    best.swap(reach);
  }
  size_t last = 0;
  for (size_t v = 1; v < best.size(); ++v)
    if (best[v] < best[last]) last = v;
  if (total) *total = best[last];
  // Back from the last chord; each chord's voicings are made again, in the same order.
  size_t v = last;
  for (size_t c = count; c-- > 0;) {
    std::vector<std::vector<int>> voicings = c + 1 == count ? before : Voicings(passage[c], top);
    plan[c] = voicings[v];
    if (c > 0) v = back[c][v];
  }
  return plan;
}

Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan) {
  Cost cost;
  std::vector<int> before, here;
  for (size_t c = 0; c < passage.size(); ++c) {
    here.assign(passage[c].notes.size(), 0);
    SortedKeys(passage[c], plan[c], here.data());
    cost.moved += Moved(plan[c]);
    if (c > 0) {
      cost.motion += Motion(before.data(), static_cast<int>(before.size()), here.data(),
                            static_cast<int>(here.size()));
      cost.crossed += Crossed(before.data(), static_cast<int>(before.size()), here.data(),
                              static_cast<int>(here.size()));
    }
    before.swap(here);
  }
  return cost;
}

} // namespace voiceleading
