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

// The most notes a chord is voiced with: an entry holds twelve.
const int MAX_CHORD_NOTES = 12;

// A chord's notes as voiced (shifts, one per note), ascending, into keys.
void SortedKeys(const Chord& chord, const int* shifts, int* keys) {
  int n = static_cast<int>(chord.notes.size());
  for (int i = 0; i < n; ++i) {
    int key = chord.notes[i].key + OCTAVE_SEMITONES * shifts[i];
    int j = i;
    for (; j > 0 && keys[j - 1] > key; --j)
      keys[j] = keys[j - 1];
    keys[j] = key;
  }
}

long long Moved(const int* shifts, int n) {
  long long moved = 0;
  for (int i = 0; i < n; ++i)
    moved += std::abs(shifts[i]);
  return moved;
}

} // namespace

int Shifts(const Chord& chord, int i, bool top, int out[MAX_SHIFTS]) {
  const Note& n = chord.notes[i];
  out[0] = 0;
  if (chord.asWritten || i == chord.kept || n.fixed) return 1;
  const Note& k = chord.notes[chord.kept];
  int count = 0;
  int lowest = FloorDiv(k.step - REACH_STEPS - n.step, OCTAVE_STEPS);
  int highest = FloorDiv(k.step + REACH_STEPS - n.step, OCTAVE_STEPS) + 1;
  for (int s = lowest; s <= highest && count < MAX_SHIFTS; ++s) {
    long long step = n.step + static_cast<long long>(OCTAVE_STEPS) * s;
    if (std::llabs(step - k.step) > REACH_STEPS || step < -0x8000 || step > 0x7FFF) continue;
    if (top ? Above(n, static_cast<int>(step), k) : Below(n, static_cast<int>(step), k)) continue;
    out[count++] = s;
  }
  // Only at the very edge of the displacement range is there no place: the note stays.
  if (count == 0) out[count++] = 0;
  return count;
}

std::vector<int> Shifts(const Chord& chord, int i, bool top) {
  int out[MAX_SHIFTS];
  int count = Shifts(chord, i, top, out);
  return std::vector<int>(out, out + count);
}

int Voicings(const Chord& chord, bool top, std::vector<int>* rows) {
  int n = static_cast<int>(chord.notes.size());
  rows->clear();
  if (n > MAX_CHORD_NOTES) {
    rows->assign(n, 0);
    return 1;
  }
  int shifts[MAX_CHORD_NOTES][MAX_SHIFTS], counts[MAX_CHORD_NOTES];
  int order[MAX_CHORD_NOTES]; // the notes with a choice, grouped by pitch class, each ascending
  int choices = 0;
  for (int i = 0; i < n; ++i) {
    counts[i] = Shifts(chord, i, top, shifts[i]);
    if (counts[i] > 1) order[choices++] = i;
  }
  const std::vector<Note>& notes = chord.notes;
  auto group = [&notes](int i) {
    return std::make_pair(FloorMod(notes[i].step, OCTAVE_STEPS), notes[i].raiselower);
  };
  auto before = [&](int x, int y) {
    if (group(x) != group(y)) return group(x) < group(y);
    return notes[x].step != notes[y].step ? notes[x].step < notes[y].step : x < y;
  };
  for (int i = 1; i < choices; ++i) // a dozen at most: sorted in place
    for (int j = i; j > 0 && before(order[j], order[j - 1]); --j)
      std::swap(order[j], order[j - 1]);
  // Notes of one group have the same places to go (one list of steps, each note reaching it
  // by its own shifts), so within a group the places are taken in ascending order only.
  int pick[MAX_CHORD_NOTES] = {0}, next[MAX_CHORD_NOTES + 1] = {0};
  auto start = [&](int p) {
    return p > 0 && group(order[p - 1]) == group(order[p]) ? pick[order[p - 1]] : 0;
  };
  int made = 0, depth = 0;
  if (choices > 0) next[0] = start(0);
  while (true) {
    if (depth == choices) {
      if (++made > MAX_VOICINGS) {
        rows->assign(n, 0);
        return 1;
      }
      for (int i = 0; i < n; ++i)
        rows->push_back(shifts[i][pick[i]]);
      if (depth == 0) break;
      --depth;
      continue;
    }
    int note = order[depth];
    if (next[depth] >= counts[note]) {
      if (depth == 0) break;
      --depth;
      continue;
    }
    pick[note] = next[depth]++;
    ++depth;
    if (depth < choices) next[depth] = start(depth);
  }
  return made;
}

std::vector<std::vector<int>> Voicings(const Chord& chord, bool top) {
  std::vector<int> rows;
  int count = Voicings(chord, top, &rows);
  size_t n = chord.notes.size();
  std::vector<std::vector<int>> out;
  for (int v = 0; v < count; ++v)
    out.emplace_back(rows.begin() + v * n, rows.begin() + (v + 1) * n);
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
  // The voicings of the chord before and of this one (rows of shifts), their notes ascending
  // (rows of keys), and the least cost of the passage up to each voicing of the chord before;
  // back[from[c] + v] names the voicing of chord c-1 that the best way to v of chord c takes.
  std::vector<int> before, here, beforeKeys, keys;
  int beforeCount = Voicings(passage[0], top, &before);
  int beforeNotes = static_cast<int>(passage[0].notes.size());
  beforeKeys.resize(static_cast<size_t>(beforeCount) * beforeNotes);
  std::vector<Cost> best(beforeCount), reach;
  for (int v = 0; v < beforeCount; ++v) {
    SortedKeys(passage[0], &before[v * beforeNotes], &beforeKeys[v * beforeNotes]);
    best[v].moved = Moved(&before[v * beforeNotes], beforeNotes);
  }
  std::vector<uint16_t> back;
  std::vector<size_t> from(count, 0);
  std::vector<int> order;
  std::vector<long long> sums; // each voicing before: the sum of its keys
  for (size_t c = 1; c < count; ++c) {
    int hereCount = Voicings(passage[c], top, &here);
    int notes = static_cast<int>(passage[c].notes.size());
    keys.resize(static_cast<size_t>(hereCount) * notes);
    reach.assign(hereCount, Cost());
    from[c] = back.size();
    back.resize(back.size() + hereCount, 0);
    // The voicings before, cheapest way first: once a way there costs more motion than the
    // best found for v, so does every way after it, and v is decided.
    sums.assign(beforeCount, 0);
    for (int u = 0; u < beforeCount; ++u)
      for (int k = 0; k < beforeNotes; ++k)
        sums[u] += beforeKeys[u * beforeNotes + k];
    order.resize(beforeCount);
    for (int u = 0; u < beforeCount; ++u)
      order[u] = u;
    std::sort(order.begin(), order.end(),
              [&best](int x, int y) { return best[x] < best[y] || (best[x] == best[y] && x < y); });
    for (int v = 0; v < hereCount; ++v) {
      int* b = &keys[v * notes];
      SortedKeys(passage[c], &here[v * notes], b);
      long long moved = Moved(&here[v * notes], notes);
      bool found = false;
      long long sum = 0; // of the keys: two chords of one size move at least their sums apart
      for (int k = 0; k < notes; ++k)
        sum += b[k];
      for (int u : order) {
        if (found && best[u].motion > reach[v].motion) break;
        if (found && beforeNotes == notes &&
            best[u].motion + std::llabs(sums[u] - sum) > reach[v].motion)
          continue;
        const int* a = &beforeKeys[u * beforeNotes];
        Cost way = best[u];
        way.motion += Motion(a, beforeNotes, b, notes);
        if (found && reach[v].motion < way.motion) continue;
        way.crossed += Crossed(a, beforeNotes, b, notes);
        way.moved += moved;
        if (!found || way < reach[v]) {
          reach[v] = way;
          back[from[c] + v] = static_cast<uint16_t>(u);
          found = true;
        }
      }
    }
    before.swap(here);
    beforeKeys.swap(keys);
    beforeCount = hereCount;
    beforeNotes = notes;
    best.swap(reach);
  }
  int last = 0;
  for (int v = 1; v < beforeCount; ++v)
    if (best[v] < best[last]) last = v;
  if (total) *total = best[last];
  // Back from the last chord; each chord's voicings are made again, in the same order.
  int v = last;
  for (size_t c = count; c-- > 0;) {
    int n = static_cast<int>(passage[c].notes.size());
    if (c + 1 != count) Voicings(passage[c], top, &before);
    plan[c].assign(before.begin() + v * n, before.begin() + (v + 1) * n);
    if (c > 0) v = back[from[c] + v];
  }
  return plan;
}

Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan) {
  Cost cost;
  std::vector<int> before, here;
  for (size_t c = 0; c < passage.size(); ++c) {
    int n = static_cast<int>(passage[c].notes.size());
    here.assign(n, 0);
    SortedKeys(passage[c], plan[c].data(), here.data());
    cost.moved += Moved(plan[c].data(), n);
    if (c > 0) {
      cost.motion += Motion(before.data(), static_cast<int>(before.size()), here.data(), n);
      cost.crossed += Crossed(before.data(), static_cast<int>(before.size()), here.data(), n);
    }
    before.swap(here);
  }
  return cost;
}

} // namespace voiceleading
