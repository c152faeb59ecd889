#include "voiceleading.h"

#include <algorithm>
#include <climits>
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

// As SortedKeys, by rounds of comparing neighbours (as many rounds as keys): no branch to
// guess, for the many voicings the plan weighs.
void Place(const Chord& chord, const int* shifts, int* keys) {
  int n = static_cast<int>(chord.notes.size());
  if (n > MAX_CHORD_NOTES) return SortedKeys(chord, shifts, keys);
  for (int i = 0; i < n; ++i)
    keys[i] = chord.notes[i].key + OCTAVE_SEMITONES * shifts[i];
  for (int round = 0; round < n; ++round)
    for (int i = round % 2; i + 1 < n; i += 2) {
      int low = std::min(keys[i], keys[i + 1]), high = std::max(keys[i], keys[i + 1]);
      keys[i] = low;
      keys[i + 1] = high;
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

namespace {

// The voicings of the chord into rows (resized to hold them; its storage kept from call to
// call), one after another; answers their count.
int Fill(const Chord& chord, bool top, std::vector<int>* rows) {
  int n = static_cast<int>(chord.notes.size());
  if (n > MAX_CHORD_NOTES) {
    rows->assign(n, 0);
    return 1;
  }
  if (rows->size() < static_cast<size_t>(MAX_VOICINGS * n)) rows->resize(MAX_VOICINGS * n);
  int* out = rows->data();
  int shifts[MAX_CHORD_NOTES][MAX_SHIFTS], counts[MAX_CHORD_NOTES];
  int order[MAX_CHORD_NOTES]; // the notes with a choice, grouped by pitch class, each ascending
  int pitch[MAX_CHORD_NOTES]; // each note's pitch class
  int choices = 0;
  for (int i = 0; i < n; ++i) {
    counts[i] = Shifts(chord, i, top, shifts[i]);
    pitch[i] = FloorMod(chord.notes[i].step, OCTAVE_STEPS);
    if (counts[i] > 1) order[choices++] = i;
  }
  const std::vector<Note>& notes = chord.notes;
  auto same = [&](int x, int y) {
    return pitch[x] == pitch[y] && notes[x].raiselower == notes[y].raiselower;
  };
  auto before = [&](int x, int y) {
    if (pitch[x] != pitch[y]) return pitch[x] < pitch[y];
    if (notes[x].raiselower != notes[y].raiselower)
      return notes[x].raiselower < notes[y].raiselower;
    return notes[x].step != notes[y].step ? notes[x].step < notes[y].step : x < y;
  };
  for (int i = 1; i < choices; ++i) // a dozen at most: sorted in place
    for (int j = i; j > 0 && before(order[j], order[j - 1]); --j)
      std::swap(order[j], order[j - 1]);
  // Notes of one group have the same places to go (one list of steps, each note reaching it
  // by its own shifts), so within a group the places are taken in ascending order only.
  bool follows[MAX_CHORD_NOTES]; // whether the note before in order is of its group
  for (int p = 0; p < choices; ++p)
    follows[p] = p > 0 && same(order[p - 1], order[p]);
  int pick[MAX_CHORD_NOTES] = {0}, next[MAX_CHORD_NOTES + 1] = {0};
  int row[MAX_CHORD_NOTES];
  for (int i = 0; i < n; ++i)
    row[i] = shifts[i][0];
  int made = 0, depth = 0;
  while (true) {
    if (depth == choices) {
      if (made == MAX_VOICINGS) {
        std::fill(out, out + n, 0);
        return 1;
      }
      std::copy(row, row + n, out + made * n);
      ++made;
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
    row[note] = shifts[note][pick[note]];
    ++depth;
    if (depth < choices) next[depth] = follows[depth] ? pick[order[depth - 1]] : 0;
  }
  return made;
}

} // namespace

int Voicings(const Chord& chord, bool top, std::vector<int>* rows) {
  int count = Fill(chord, top, rows);
  rows->resize(count * chord.notes.size());
  return count;
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

namespace {

// Keys at most this far from middle C keep every sum of the weighing below in an int.
const int SMALL_KEY = 1 << 20;
// The voicings side by side are padded to a multiple of this, so that the loop over them has
// no odd end.
const int LANES = 8;
// A motion so far that can never be the least (see Choose), and the padding's.
const int NEVER = INT_MAX / 4;

// For each voicing before (columns: the k-th key of each, stride apart), the motion so far
// (start) plus the motion to the voicing b of as many notes, into m.
void Ways(const int* __restrict columns, int stride, const int* b, int notes,
          const int* __restrict start, int* __restrict m) {
  if (notes == 0) std::copy(start, start + stride, m);
  for (int u = 0; u < stride && notes > 0; ++u)
    m[u] = start[u] + std::abs(columns[u] - b[0]);
  for (int k = 1; k < notes; ++k) {
    const int* __restrict column = columns + static_cast<size_t>(k) * stride;
    int key = b[k];
    for (int u = 0; u < stride; ++u)
      m[u] += std::abs(column[u] - key);
  }
}

// One chord's voicings as the plan weighs them, made once: each one's shifts, its keys
// ascending (by row, and by column: the k-th key of every voicing side by side, so that one
// voicing is weighed against all of them in a loop the compiler makes vector code of), and
// the octaves it moves. The storage is kept from chord to chord.
struct Weighed {
  int count = 0;
  int notes = 0;
  int stride = 0;           // count, padded to LANES
  bool small = true;        // every key within SMALL_KEY
  std::vector<int> shifts;  // count rows of notes
  std::vector<int> keys;    // count rows of notes, each ascending
  std::vector<int> columns; // notes columns of count
  std::vector<long long> moved;

  void Make(const Chord& chord, bool top) {
    notes = static_cast<int>(chord.notes.size());
    count = Fill(chord, top, &shifts);
    size_t cells = static_cast<size_t>(count) * notes;
    stride = (count + LANES - 1) / LANES * LANES;
    keys.resize(cells);
    columns.assign(static_cast<size_t>(stride) * notes, 0);
    moved.resize(count);
    small = true;
    for (int v = 0; v < count; ++v) {
      int* k = &keys[static_cast<size_t>(v) * notes];
      Place(chord, &shifts[static_cast<size_t>(v) * notes], k);
      for (int i = 0; i < notes; ++i) {
        columns[static_cast<size_t>(i) * stride + v] = k[i];
        small = small && k[i] > -SMALL_KEY && k[i] < SMALL_KEY;
      }
      moved[v] = Moved(&shifts[static_cast<size_t>(v) * notes], notes);
    }
  }
};

} // namespace

Plan Choose(const std::vector<Chord>& passage, bool top, Cost* total) {
  size_t count = passage.size();
  Plan plan(count);
  if (count == 0) {
    if (total) *total = Cost();
    return plan;
  }
  // The voicings of the chord before and of this one, and the least cost of the passage up
  // to each voicing of the chord before; back[from[c] + v] names the voicing of chord c-1
  // that the best way to v of chord c takes.
  Weighed before, here;
  before.Make(passage[0], top);
  // Every chord's voicings (shifts, which fit 16 bits as the steps they reach do), from
  // at[c] on, for the way back.
  std::vector<int16_t> made(before.shifts.begin(),
                            before.shifts.begin() + before.count * before.notes);
  std::vector<size_t> at(count, 0);
  std::vector<Cost> best(before.count), reach;
  for (int v = 0; v < before.count; ++v)
    best[v].moved = before.moved[v];
  std::vector<uint16_t> back;
  std::vector<size_t> from(count, 0);
  // For each voicing before: the motion so far over the least of them (capped, and only
  // where it fits an int), and the motion of the way from it to the voicing at hand.
  std::vector<int> start, motion;
  std::vector<long long> wide;
  std::vector<int> ties;
  for (size_t c = 1; c < count; ++c) {
    here.Make(passage[c], top);
    at[c] = made.size();
    made.insert(made.end(), here.shifts.begin(), here.shifts.begin() + here.count * here.notes);
    int notes = here.notes, beforeNotes = before.notes, ways = before.count;
    reach.assign(here.count, Cost());
    from[c] = back.size();
    back.resize(back.size() + here.count, 0);
    long long least = best[0].motion;
    for (int u = 1; u < ways; ++u)
      least = std::min(least, best[u].motion);
    // Of one size (at most an entry's notes) and near middle C, a way's motion fits an int: a
    // motion so far of more than a quarter of its range can never be the least, as the least so far
    // is 0 and no transition of such keys moves that much.
    bool fast = notes == beforeNotes && notes <= MAX_CHORD_NOTES && before.small && here.small;
    start.assign(before.stride, NEVER);
    motion.resize(before.stride);
    wide.resize(ways);
    ties.resize(ways);
    for (int u = 0; u < ways; ++u)
      start[u] = static_cast<int>(std::min<long long>(best[u].motion - least, NEVER));
    for (int v = 0; v < here.count; ++v) {
      const int* b = &here.keys[static_cast<size_t>(v) * notes];
      // The voicings before whose way to v moves the least, in the order they were made.
      long long fewest;
      int tied = 0;
      if (fast) {
        int* m = motion.data();
        Ways(before.columns.data(), before.stride, b, notes, start.data(), m);
        int low = NEVER;
        for (int u = 0; u < before.stride; ++u)
          low = std::min(low, m[u]);
        for (int u = 0; u < ways; ++u) {
          ties[tied] = u;
          tied += m[u] == low;
        }
        fewest = least + low;
      } else {
        for (int u = 0; u < ways; ++u)
          wide[u] = best[u].motion + Motion(&before.keys[static_cast<size_t>(u) * beforeNotes],
                                            beforeNotes, b, notes);
        fewest = *std::min_element(wide.begin(), wide.end());
        for (int u = 0; u < ways; ++u)
          if (wide[u] == fewest) ties[tied++] = u;
      }
      // Among them: fewer crossed voices, fewer octaves moved, then the one from the voicing
      // with the least cost so far, then the first made.
      Cost way;
      int chosen = -1;
      for (int t = 0; t < tied; ++t) {
        int u = ties[t];
        const Cost& so = best[u];
        Cost trial;
        trial.motion = fewest;
        trial.crossed = so.crossed + Crossed(&before.keys[static_cast<size_t>(u) * beforeNotes],
                                             beforeNotes, b, notes);
        trial.moved = so.moved + here.moved[v];
        if (chosen < 0 || trial < way || (trial == way && so < best[chosen])) {
          way = trial;
          chosen = u;
        }
      }
      reach[v] = way;
      back[from[c] + v] = static_cast<uint16_t>(chosen);
    }
    std::swap(before, here);
    best.swap(reach);
  }
  int last = 0;
  for (int v = 1; v < before.count; ++v)
    if (best[v] < best[last]) last = v;
  if (total) *total = best[last];
  // Back from the last chord, each chord's shifts as kept when it was weighed.
  int v = last;
  for (size_t c = count; c-- > 0;) {
    size_t n = passage[c].notes.size();
    const int16_t* row = &made[at[c] + v * n];
    plan[c].assign(row, row + n);
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
