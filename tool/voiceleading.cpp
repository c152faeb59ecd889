#include "voiceleading.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Every place the notes of a chord may take, ascending by key, when there are at most 64 of
// them, and each voicing as the bits of the places it takes: its keys ascending are read off
// its bits in order, with no sorting.
struct Ranks {
  static const int MOST = 64;
  int count = 0; // 0: more places than bits (or only the written voicing): none kept
  int key[MOST];
  std::vector<uint64_t> bits; // by voicing
};

// Ranks for the notes' shifts; false when they take more places than it holds.
bool Rank(const Chord& chord, const int shifts[][MAX_SHIFTS], const int* counts,
          uint64_t bit[][MAX_SHIFTS], Ranks* ranks) {
  int n = static_cast<int>(chord.notes.size()), places = 0;
  int note[Ranks::MOST], shift[Ranks::MOST];
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < counts[i]; ++c) {
      if (places == Ranks::MOST) return false;
      int key = chord.notes[i].key + OCTAVE_SEMITONES * shifts[i][c];
      int at = places++;
      for (; at > 0 && ranks->key[at - 1] > key; --at) {
        ranks->key[at] = ranks->key[at - 1];
        note[at] = note[at - 1];
        shift[at] = shift[at - 1];
      }
      ranks->key[at] = key;
      note[at] = i;
      shift[at] = c;
    }
  for (int r = 0; r < places; ++r)
    bit[note[r]][shift[r]] = uint64_t(1) << r;
  ranks->count = places;
  return true;
}

// The voicings of the chord into rows (resized to hold them; its storage kept from call to
// call), one after another, and into ranks when given; answers their count.
int Fill(const Chord& chord, bool top, std::vector<int>* rows, Ranks* ranks = nullptr) {
  int n = static_cast<int>(chord.notes.size());
  if (ranks) ranks->count = 0;
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
  uint64_t bit[MAX_CHORD_NOTES][MAX_SHIFTS];
  if (ranks && !Rank(chord, shifts, counts, bit, ranks)) ranks = nullptr;
  if (ranks && ranks->bits.size() < static_cast<size_t>(MAX_VOICINGS))
    ranks->bits.resize(MAX_VOICINGS);
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
        if (ranks) ranks->count = 0;
        return 1;
      }
      std::copy(row, row + n, out + made * n);
      if (ranks) {
        uint64_t taken = 0;
        for (int i = 0; i < n; ++i)
          taken |= bit[i][pick[i]];
        ranks->bits[made] = taken;
      }
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

// The voicings of a chord side by side are padded to a multiple of this: the sixteen bytes
// one vector instruction weighs.
const int LANES = 16;
// The most a way weighed in bytes may come to (see Weighed::narrow).
const int BYTE_WAYS = 255;

// For each voicing before, its motion so far (start) plus the motion at the places that differ
// (columns, one per place, stride apart) to the keys into, into m; answers the least of them.
uint8_t WaysInBytes(const uint8_t* columns, int stride, const uint8_t* into, int places,
                    const uint8_t* start, uint8_t* m) {
#if defined(__SSE2__)
  __m128i keys[MAX_CHORD_NOTES];
  for (int p = 0; p < places; ++p)
    keys[p] = _mm_set1_epi8(static_cast<char>(into[p]));
  __m128i least = _mm_set1_epi8(static_cast<char>(BYTE_WAYS));
  for (int u = 0; u < stride; u += LANES) {
    __m128i sum = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + u));
    for (int p = 0; p < places; ++p) {
      __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns + p * stride + u));
      sum = _mm_add_epi8(sum, _mm_or_si128(_mm_subs_epu8(x, keys[p]), _mm_subs_epu8(keys[p], x)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(m + u), sum);
    least = _mm_min_epu8(least, sum);
  }
  least = _mm_min_epu8(least, _mm_srli_si128(least, 8));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 4));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 2));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 1));
  return static_cast<uint8_t>(_mm_cvtsi128_si32(least));
#else
  uint8_t least = BYTE_WAYS;
  for (int u = 0; u < stride; ++u) {
    int sum = start[u];
    for (int p = 0; p < places; ++p)
      sum += std::abs(columns[p * stride + u] - into[p]);
    m[u] = static_cast<uint8_t>(sum);
    least = std::min(least, m[u]);
  }
  return least;
#endif
}

// The voicings (below ways) whose m is least, in the order they were made, into ties;
// answers their number.
int LeastOnes(const uint8_t* m, int ways, uint8_t least, int* ties) {
  int tied = 0;
#if defined(__SSE2__)
  __m128i wanted = _mm_set1_epi8(static_cast<char>(least));
  for (int u = 0; u < ways; u += LANES) {
    __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + u));
    unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, wanted)));
    if (ways - u < LANES) bits &= (1u << (ways - u)) - 1;
    for (; bits; bits &= bits - 1)
      ties[tied++] = u + __builtin_ctz(bits);
  }
#else
  for (int u = 0; u < ways; ++u)
    if (m[u] == least) ties[tied++] = u;
#endif
  return tied;
}

// One chord's voicings as the plan weighs them, made once: each one's shifts, its keys
// ascending and the octaves it moves. The storage is kept from chord to chord.
struct Weighed {
  int count = 0;
  int notes = 0;
  int stride = 0;          // count, padded to LANES
  std::vector<int> shifts; // count rows of notes
  Ranks ranks;             // the places they take, when few enough
  std::vector<int> keys;   // count rows of notes, each ascending
  std::vector<long long> moved;
  // The ways to a chord of as many notes, weighed sixteen at a time in bytes. Only the places
  // (k-th keys) where the voicings differ are weighed; each is kept as its key above the
  // place's lowest, and a key of the chord after is brought into the place's range
  // [low, low + span] first, which adds the same to the way from every voicing (what it was
  // brought by), so the least ways stay the least. A way so weighed comes to at most the sum
  // of the spans (spread) and differs from another by at most that: so a motion so far more
  // than spread above the least is capped at spread + 1 (it can never be the least), and every
  // sum stays within a byte when 2 * spread + 1 does.
  bool narrow = false;
  int spread = 0;
  int places = 0;                 // the places that differ
  int place[MAX_CHORD_NOTES];     // each one's k
  int low[MAX_CHORD_NOTES];       // its lowest key
  int span[MAX_CHORD_NOTES];      // its highest above the lowest
  int same = 0;                   // the places every voicing has alike
  int samePlace[MAX_CHORD_NOTES]; // each one's k
  int sameKey[MAX_CHORD_NOTES];   // and its key
  std::vector<uint8_t> bytes;     // places columns of stride

  void Make(const Chord& chord, bool top) {
    notes = static_cast<int>(chord.notes.size());
    count = Fill(chord, top, &shifts, &ranks);
    stride = (count + LANES - 1) / LANES * LANES;
    keys.resize(static_cast<size_t>(count) * notes);
    moved.resize(count);
    for (int v = 0; v < count; ++v) {
      const int* s = &shifts[static_cast<size_t>(v) * notes];
      int* k = &keys[static_cast<size_t>(v) * notes];
      if (ranks.count == 0) {
        SortedKeys(chord, s, k);
      } else {
        for (uint64_t taken = ranks.bits[v]; taken; taken &= taken - 1)
          *k++ = ranks.key[__builtin_ctzll(taken)];
      }
      moved[v] = Moved(s, notes);
    }
    Narrow();
  }

  void Narrow() {
    places = same = spread = 0;
    narrow = notes <= MAX_CHORD_NOTES;
    for (int k = 0; k < notes && narrow; ++k) {
      int least = keys[k], most = keys[k];
      for (int v = 1; v < count; ++v) {
        int key = keys[static_cast<size_t>(v) * notes + k];
        least = std::min(least, key);
        most = std::max(most, key);
      }
      if (least == most) {
        samePlace[same] = k;
        sameKey[same++] = least;
        continue;
      }
      // Keys beyond any octave count (the displacement's range) cannot be this close.
      narrow = static_cast<long long>(most) - least <= BYTE_WAYS;
      spread += most - least;
      narrow = narrow && 2 * spread + 1 <= BYTE_WAYS;
      place[places] = k;
      low[places] = least;
      span[places++] = most - least;
    }
    if (!narrow) return;
    bytes.assign(static_cast<size_t>(places) * stride, 0);
    for (int p = 0; p < places; ++p)
      for (int v = 0; v < count; ++v)
        bytes[static_cast<size_t>(p) * stride + v] =
            static_cast<uint8_t>(keys[static_cast<size_t>(v) * notes + place[p]] - low[p]);
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
  // For each voicing before: the motion so far over the least of them (capped), and the
  // motion of the way from it to the voicing at hand.
  std::vector<uint8_t> start, motion;
  std::vector<long long> wide;
  std::vector<int> ties;
  for (size_t c = 1; c < count; ++c) {
    here.Make(passage[c], top);
    at[c] = made.size();
    made.insert(made.end(), here.shifts.begin(), here.shifts.begin() + here.count * here.notes);
    int notes = here.notes, beforeNotes = before.notes, ways = before.count;
    reach.resize(here.count);
    from[c] = back.size();
    back.resize(back.size() + here.count, 0);
    long long least = best[0].motion;
    for (int u = 1; u < ways; ++u)
      least = std::min(least, best[u].motion);
    bool bytes = notes == beforeNotes && before.narrow;
    ties.resize(ways);
    if (bytes) {
      uint8_t capped = static_cast<uint8_t>(before.spread + 1);
      start.assign(before.stride, capped);
      motion.resize(before.stride);
      for (int u = 0; u < ways; ++u)
        start[u] = static_cast<uint8_t>(std::min<long long>(best[u].motion - least, capped));
    } else {
      wide.resize(ways);
    }
    for (int v = 0; v < here.count; ++v) {
      const int* b = &here.keys[static_cast<size_t>(v) * notes];
      // The voicings before whose way to v moves the least, in the order they were made.
      long long fewest;
      int tied;
      if (bytes) {
        // What bringing b's keys into the places' ranges took, and the places alike.
        long long brought = 0;
        uint8_t into[MAX_CHORD_NOTES];
        for (int p = 0; p < before.places; ++p) {
          int key = b[before.place[p]] - before.low[p];
          int in = std::max(0, std::min(key, before.span[p]));
          brought += std::abs(key - in);
          into[p] = static_cast<uint8_t>(in);
        }
        for (int p = 0; p < before.same; ++p)
          brought += std::abs(b[before.samePlace[p]] - before.sameKey[p]);
        uint8_t low = WaysInBytes(before.bytes.data(), before.stride, into, before.places,
                                  start.data(), motion.data());
        tied = LeastOnes(motion.data(), ways, low, ties.data());
        fewest = least + low + brought;
      } else {
        for (int u = 0; u < ways; ++u)
          wide[u] = best[u].motion + Motion(&before.keys[static_cast<size_t>(u) * beforeNotes],
                                            beforeNotes, b, notes);
        fewest = *std::min_element(wide.begin(), wide.end());
        tied = 0;
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
