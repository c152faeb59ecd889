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

// The most octaves a note may move by so as to move at most steps (down: steps < 0), and the
// fewest it must move by to move at least steps.
long long OctavesDown(long long steps) {
  // Rounded down without a branch on the sign (which is as good as random): the steps are
  // lifted by a whole number of octaves far above any displacement first.
  const long long LIFT = static_cast<long long>(OCTAVE_STEPS) << 40;
  return (steps + LIFT) / OCTAVE_STEPS - (LIFT / OCTAVE_STEPS);
}

long long OctavesUp(long long steps) {
  return -OctavesDown(-steps);
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
  // Each bound (within reach of the kept note, inside the displacement range, on the kept
  // note's side) leaves one run of whole shifts: their ends are worked out, not searched for,
  // as every chord of a passage asks this of every note.
  long long from = n.step, kept = k.step;
  long long lowest = std::max(OctavesUp(kept - REACH_STEPS - from), OctavesUp(-0x8000 - from));
  long long highest = std::min(OctavesDown(kept + REACH_STEPS - from), OctavesDown(0x7FFF - from));
  // Below the top (above the bottom): on the kept note's step only if flatter (sharper) than
  // it, or on its very pitch when written there.
  bool unison = n.step == k.step && n.raiselower == k.raiselower;
  if (top)
    highest =
        std::min(highest, OctavesDown(kept - (n.raiselower >= k.raiselower && !unison) - from));
  else
    lowest = std::max(lowest, OctavesUp(kept + (n.raiselower <= k.raiselower && !unison) - from));
  int count = 0;
  for (long long s = lowest; s <= highest && count < MAX_SHIFTS; ++s)
    out[count++] = static_cast<int>(s);
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
// them: a voicing is then the bits of the places it takes, and its keys ascending are read
// off its bits in order, with no sorting.
struct Ranks {
  static const int MOST = 64;
  int count = 0; // 0: more places than bits (or only the written voicing): none kept
  int key[MOST];
};

// Ranks for the notes' shifts, and each shift's bit; false when they take more places than
// it holds.
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

// A voicing as it is made: the shift each note takes, as its index in the note's shifts
// (PICK_BITS a note), the places it takes when they are ranked, and the octaves it moves.
struct Made {
  uint32_t picks = 0;
  uint64_t taken = 0;
  long long moved = 0;
  int last = 0;       // the pick of the note taken last: where the next note written on its
                      // pitch starts
  uint64_t held = 0;  // the places of each pitch class and alteration taken (CLASS_BITS each)
  uint64_t apart = 0; // of those, the ones taken by notes written apart from the note at hand
};

// A note's places on the kept note's side and within REACH_STEPS of it are an octave apart,
// so it has at most REACH_STEPS / OCTAVE_STEPS + 1 shifts: two bits hold its pick, and a
// chord's picks fit 32 bits.
const int PICK_BITS = 2;
static_assert(REACH_STEPS / OCTAVE_STEPS + 1 < (1 << PICK_BITS), "a pick fits PICK_BITS");
static_assert(PICK_BITS * MAX_CHORD_NOTES <= 32, "a voicing's picks fit 32 bits");
// The notes of one pitch class and alteration reach the same places, one a pick (a note
// written on the kept note's pitch one more, at the top): a pick's place is one bit of the
// group's CLASS_BITS.
const int CLASS_BITS = 1 << PICK_BITS;
static_assert(CLASS_BITS * MAX_CHORD_NOTES <= 64, "every group's places fit 64 bits");

// A note's place in written-pitch order, shifted by octaves.
long long PitchOrder(const Note& n, int shift) {
  return (static_cast<long long>(n.step) + OCTAVE_STEPS * shift) * 0x20000 + n.raiselower;
}

// What the rules of a voicing (Breaks) need of the chord as written, worked out once.
struct Rules {
  int pairs = 0;
  int pair[MAX_CHORD_NOTES * (MAX_CHORD_NOTES - 1) / 2][2]; // notes of one pitch class and
                                                            // alteration written apart
  int lowest = -1;     // with top: the note written lowest, which stays lowest
  bool spaced = false; // the upper voices as written are within an octave of each other

  void Make(const Chord& chord, bool top) {
    const std::vector<Note>& notes = chord.notes;
    int n = static_cast<int>(notes.size());
    pairs = 0;
    lowest = -1;
    for (int i = 0; i < n; ++i)
      for (int j = i + 1; j < n; ++j)
        if (notes[i].raiselower == notes[j].raiselower && notes[i].step != notes[j].step &&
            FloorMod(notes[i].step - notes[j].step, OCTAVE_STEPS) == 0) {
          pair[pairs][0] = i;
          pair[pairs++][1] = j;
        }
    if (top && n > 0) {
      lowest = 0;
      for (int i = 1; i < n; ++i)
        if (PitchOrder(notes[i], 0) < PitchOrder(notes[lowest], 0)) lowest = i;
    }
    int keys[MAX_CHORD_NOTES], none[MAX_CHORD_NOTES] = {0};
    SortedKeys(chord, none, keys);
    spaced = Spaced(keys, n);
  }

  static bool Spaced(const int* keys, int n) {
    bool within = true;
    for (int k = 1; k + 1 < n; ++k)
      within = within && keys[k + 1] - keys[k] <= OCTAVE_SEMITONES;
    return within;
  }

  // keys: the voicing's keys ascending.
  bool Breaks(const Chord& chord, const int* shifts, const int* keys) const {
    const std::vector<Note>& notes = chord.notes;
    for (int p = 0; p < pairs; ++p) {
      int i = pair[p][0], j = pair[p][1];
      if (notes[i].step + OCTAVE_STEPS * shifts[i] == notes[j].step + OCTAVE_STEPS * shifts[j])
        return true;
    }
    int n = static_cast<int>(notes.size());
    if (lowest >= 0) {
      long long low = PitchOrder(notes[lowest], shifts[lowest]);
      for (int i = 0; i < n; ++i)
        if (PitchOrder(notes[i], shifts[i]) < low) return true;
    }
    return spaced && !Spaced(keys, n);
  }
};

// Why a chord has only its written voicing, for the user.
enum class Why { Chosen, TooMany, NoVoicing };

// The voicings of one chord, in the order the choice counts on ("the first made" breaks its
// last ties): depth-first over the notes with a choice, grouped by pitch class, each note's
// picks ascending. They are made breadth-first, which gives that order with no backtracking:
// each note in turn extends every voicing made so far, in order, by each of its picks.
// The storage is kept from chord to chord.
struct Voicer {
  int count = 0;
  bool written = false; // only the written voicing (every shift 0)
  Why why = Why::Chosen;
  int shifts[MAX_CHORD_NOTES][MAX_SHIFTS];
  Ranks ranks;
  Rules rules;
  std::vector<Made> made = std::vector<Made>(MAX_VOICINGS), next = made;

  void Make(const Chord& chord, bool top) {
    int n = static_cast<int>(chord.notes.size());
    ranks.count = 0;
    why = Why::Chosen;
    if (n > MAX_CHORD_NOTES) return Written(Why::TooMany);
    int counts[MAX_CHORD_NOTES];
    int order[MAX_CHORD_NOTES]; // the notes with a choice, grouped by pitch class, ascending
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
    // Each shift's place as a bit: every one a voicing can take is set by Rank, so only a
    // chord it cannot rank needs them cleared (its voicings' bits are then never read).
    uint64_t bit[MAX_CHORD_NOTES][MAX_SHIFTS];
    if (!Rank(chord, shifts, counts, bit, &ranks)) {
      ranks.count = 0;
      std::fill(&bit[0][0], &bit[0][0] + MAX_CHORD_NOTES * MAX_SHIFTS, 0);
    }
    // The notes without a choice take their only shift in every voicing.
    Made first;
    for (int i = 0; i < n; ++i)
      if (counts[i] == 1) {
        first.taken |= bit[i][0];
        first.moved += std::abs(shifts[i][0]);
      }
    made[0] = first;
    count = 1;
    written = false;
    int group = -1;
    for (int d = 0; d < choices; ++d) {
      int note = order[d];
      // Notes written on one pitch go to the same places (the same shifts), so they take them
      // in ascending order only: a voicing that only swaps them is made once. Notes of their
      // pitch class written apart never take one place (no unison is made): each of the
      // group's places is a bit, those taken before this pitch's notes set apart.
      bool inGroup = d > 0 && same(order[d - 1], note);
      bool follows = inGroup && notes[order[d - 1]].step == notes[note].step;
      group += !inGroup;
      int out = 0;
      for (int v = 0; v < count; ++v) {
        const Made& m = made[v];
        uint64_t apart = follows ? m.apart : m.held;
        for (int p = follows ? m.last : 0; p < counts[note]; ++p) {
          uint64_t place = uint64_t(1) << (CLASS_BITS * group + p);
          if (apart & place) continue;
          if (out == MAX_VOICINGS) return Written(Why::TooMany);
          Made& x = next[out++];
          x.picks = m.picks | static_cast<uint32_t>(p) << (PICK_BITS * note);
          x.taken = m.taken | bit[note][p];
          x.moved = m.moved + std::abs(shifts[note][p]);
          x.last = p;
          x.held = m.held | place;
          x.apart = apart;
        }
      }
      made.swap(next);
      count = out;
    }
    if (!chord.asWritten) Keep(chord, top);
  }

  // The shift note i takes in voicing v.
  int Shift(int v, int i) const {
    return written ? 0 : shifts[i][(made[v].picks >> (PICK_BITS * i)) & ((1 << PICK_BITS) - 1)];
  }

private:
  // Only the voicings that keep the rules stay, in their order; none: the written one.
  void Keep(const Chord& chord, bool top) {
    rules.Make(chord, top);
    int n = static_cast<int>(chord.notes.size()), kept = 0;
    int row[MAX_CHORD_NOTES], keys[MAX_CHORD_NOTES];
    for (int v = 0; v < count; ++v) {
      for (int i = 0; i < n; ++i)
        row[i] = Shift(v, i);
      if (ranks.count == 0) {
        SortedKeys(chord, row, keys);
      } else {
        int k = 0;
        for (uint64_t taken = made[v].taken; taken; taken &= taken - 1)
          keys[k++] = ranks.key[__builtin_ctzll(taken)];
      }
      if (!rules.Breaks(chord, row, keys)) made[kept++] = made[v];
    }
    count = kept;
    if (count == 0) Written(Why::NoVoicing);
  }

  void Written(Why reason) {
    count = 1;
    written = true;
    why = reason;
    ranks.count = 0;
    made[0] = Made();
  }
};

// The voicings of the chord into rows (resized to hold them), one after another; answers
// their count.
int Fill(const Chord& chord, bool top, std::vector<int>* rows) {
  Voicer voicer;
  voicer.Make(chord, top);
  int n = static_cast<int>(chord.notes.size());
  rows->resize(static_cast<size_t>(voicer.count) * n);
  for (int v = 0; v < voicer.count; ++v)
    for (int i = 0; i < n; ++i)
      (*rows)[static_cast<size_t>(v) * n + i] = voicer.Shift(v, i);
  return voicer.count;
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

namespace {

// The most notes of a chord the matching of two sizes weighs: an entry holds at most twelve.
const int MATCHED = 16;

// least[i][j]: the least motion that matches a[0..i] with b[0..j] in order, every note taking
// at least one; a pair adds |a[i] - b[j]|.
void LeastMatchings(const int* a, int na, const int* b, int nb, long long least[][MATCHED]) {
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
}

} // namespace

long long Motion(const int* a, int na, const int* b, int nb) {
  if (na == 0 || nb == 0) return 0;
  long long total = 0;
  if (na == nb) {
    for (int k = 0; k < na; ++k)
      total += std::abs(a[k] - b[k]);
    return total;
  }
  if (na > MATCHED || nb > MATCHED) return 0;
  long long least[MATCHED][MATCHED];
  LeastMatchings(a, na, b, nb, least);
  return least[na - 1][nb - 1];
}

std::vector<std::pair<int, int>> Matching(const int* a, int na, const int* b, int nb) {
  std::vector<std::pair<int, int>> pairs;
  if (na == 0 || nb == 0) return pairs;
  if (na == nb || na > MATCHED || nb > MATCHED) {
    for (int k = 0; k < std::max(na, nb); ++k)
      pairs.push_back({std::min(k, na - 1), std::min(k, nb - 1)});
    return pairs;
  }
  long long least[MATCHED][MATCHED];
  LeastMatchings(a, na, b, nb, least);
  // Back from the last pair, each step to a pair before whose least leaves this one's.
  int i = na - 1, j = nb - 1;
  pairs.push_back({i, j});
  while (i > 0 || j > 0) {
    long long rest = least[i][j] - std::abs(a[i] - b[j]);
    if (i > 0 && j > 0 && least[i - 1][j - 1] == rest) {
      --i;
      --j;
    } else if (i > 0 && least[i - 1][j] == rest) {
      --i;
    } else {
      --j;
    }
    pairs.push_back({i, j});
  }
  std::reverse(pairs.begin(), pairs.end());
  return pairs;
}

int Crossed(const int* a, int na, const int* b, int nb) {
  int n = std::min(na, nb);
  int crossed = 0;
  // Counted without branches: which voices cross is as good as random to a predictor.
  for (int k = 0; k + 1 < n; ++k)
    crossed += static_cast<int>(b[k] > a[k + 1]) + static_cast<int>(b[k + 1] < a[k]);
  return crossed;
}

bool Breaks(const Chord& chord, const int* shifts, bool top) {
  int n = static_cast<int>(chord.notes.size());
  if (n > MAX_CHORD_NOTES) return false;
  Rules rules;
  rules.Make(chord, top);
  int keys[MAX_CHORD_NOTES];
  SortedKeys(chord, shifts, keys);
  return rules.Breaks(chord, shifts, keys);
}

namespace {

const int FIFTH = 7; // semitones

int Sign(int x) {
  return (x > 0) - (x < 0);
}

// Whether voices i and j (i < j) of the way from a to b move the same way, a fifth (an octave)
// apart before and after, or only the same way, when the intervals are known to be so.
bool SameWay(const int* a, const int* b, int i, int j) {
  int mi = b[i] - a[i];
  return mi != 0 && Sign(b[j] - a[j]) == Sign(mi);
}

// Hidden fifths or octaves of the way (see Faults): 0 or 1.
int Hidden(const int* a, int na, const int* b, int nb) {
  if (na < 2 || nb < 2) return 0;
  int from = (a[na - 1] - a[0]) % OCTAVE_SEMITONES, to = (b[nb - 1] - b[0]) % OCTAVE_SEMITONES;
  int bass = b[0] - a[0], top = b[nb - 1] - a[na - 1];
  return (to == FIFTH || to == 0) && from != to && bass != 0 && Sign(bass) == Sign(top) &&
         std::abs(top) > 2;
}

} // namespace

long long Faults(const int* a, int na, const int* b, int nb) {
  int n = std::min(na, nb);
  long long faults = Hidden(a, na, b, nb);
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) {
      int from = (a[j] - a[i]) % OCTAVE_SEMITONES, to = (b[j] - b[i]) % OCTAVE_SEMITONES;
      if (from == to && (from == 0 || from == FIFTH) && SameWay(a, b, i, j)) faults += PARALLEL;
    }
  return faults;
}

namespace {
// The most a way weighed in bytes may come to (see Weighed::narrow).
const int BYTE_WAYS = 255;
} // namespace

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

namespace {

// The voicings (below ways) whose m is least, as bits (voicing u is bit u % 32 of word
// u / 32), thirty-two at a time: a chord of six notes has about that many voicings, so its
// ties are one word.
void LeastBits(const uint8_t* m, int ways, uint8_t least, uint32_t* bits) {
#if defined(__SSE2__)
  __m128i wanted = _mm_set1_epi8(static_cast<char>(least));
  for (int u = 0; u < ways; u += 2 * LANES) {
    __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + u));
    uint32_t word = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, wanted)));
    if (ways - u > LANES) {
      __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + u + LANES));
      word |= static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, wanted))) << LANES;
    }
    if (ways - u < 2 * LANES) word &= (1u << (ways - u)) - 1;
    bits[u / 32] = word;
  }
#else
  std::fill(bits, bits + (ways + 31) / 32, 0u);
  for (int u = 0; u < ways; ++u)
    if (m[u] == least) bits[u / 32] |= 1u << (u % 32);
#endif
}

// One chord's voicings as the plan weighs them, made once: each one's shifts (as picks), its
// keys ascending and the octaves it moves. The storage is kept from chord to chord.
struct Weighed {
  int count = 0;
  int notes = 0;
  int stride = 0; // count, padded to LANES
  Voicer voicings;
  // The keys by place: the k-th lowest key of every voicing, one place after another (notes
  // columns of count), so that each place's keys are weighed in one plain loop.
  std::vector<int> keys;
  std::vector<int> row, sorted; // one voicing's shifts and keys, when its keys are sorted
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

  const int* Place(int k) const { return &keys[static_cast<size_t>(k) * count]; }

  // Crossed voices (Crossed) of the way from voicing u to voicing v of after, read straight
  // from the keys by place: a way is weighed so for each tie, so no rows are gathered.
  int CrossedTo(int u, const Weighed& after, int v) const {
    int n = std::min(notes, after.notes), up = 0, down = 0;
    if (n == 0) return 0;
    const int* a = &keys[u];
    const int* b = &after.keys[v];
    size_t from = static_cast<size_t>(count), to = static_cast<size_t>(after.count);
    int here = a[0], there = b[0];
    for (int k = 0; k + 1 < n; ++k) {
      int next = a[(k + 1) * from], nextThere = b[(k + 1) * to];
      up += static_cast<int>(there > next);
      down += static_cast<int>(nextThere < here);
      here = next;
      there = nextThere;
    }
    return up + down;
  }

  // Voicing v's keys ascending, into out.
  void Keys(int v, int* out) const {
    for (int k = 0; k < notes; ++k)
      out[k] = keys[static_cast<size_t>(k) * count + v];
  }

  // With strict: each voicing's pairs of voices a fifth apart, and an octave or a unison apart
  // (in semitones modulo 12), as bits (PairBit), two words a voicing; a way can only move in
  // parallel on the pairs both its voicings have, which are few, so only those are followed.
  bool perfect = false; // the bits are made (a chord of MAX_CHORD_NOTES notes at most)
  std::vector<uint64_t> fifths, octaves;

  static int PairBit(int i, int j) { return j * (j - 1) / 2 + i; }

  void Perfect() {
    perfect = notes <= MAX_CHORD_NOTES;
    if (!perfect) return;
    fifths.assign(2 * static_cast<size_t>(count), 0);
    octaves.assign(fifths.size(), 0);
    int k[MAX_CHORD_NOTES];
    for (int v = 0; v < count; ++v) {
      Keys(v, k);
      for (int j = 1; j < notes; ++j)
        for (int i = 0; i < j; ++i) {
          int d = (k[j] - k[i]) % OCTAVE_SEMITONES, bit = PairBit(i, j);
          uint64_t word = uint64_t(1) << (bit % 64);
          if (d == FIFTH) fifths[2 * v + bit / 64] |= word;
          if (d == 0) octaves[2 * v + bit / 64] |= word;
        }
    }
  }

  // Faults (weighed as Faults weighs them) of the way from voicing u to voicing v of after,
  // whose keys ascending are a and b.
  long long FaultsTo(int u, const Weighed& after, int v, const int* a, const int* b) const {
    if (!perfect || !after.perfect) return Faults(a, notes, b, after.notes);
    long long faults = Hidden(a, notes, b, after.notes);
    for (int w = 0; w < 2; ++w) {
      uint64_t both = (fifths[2 * u + w] & after.fifths[2 * v + w]) |
                      (octaves[2 * u + w] & after.octaves[2 * v + w]);
      for (; both; both &= both - 1) {
        int bit = 64 * w + __builtin_ctzll(both), j = 1;
        while (PairBit(0, j + 1) <= bit)
          ++j;
        faults += SameWay(a, b, bit - PairBit(0, j), j) ? PARALLEL : 0;
      }
    }
    return faults;
  }

  void Make(const Chord& chord, bool top, bool strict) {
    notes = static_cast<int>(chord.notes.size());
    voicings.Make(chord, top);
    count = voicings.count;
    stride = (count + LANES - 1) / LANES * LANES;
    keys.resize(static_cast<size_t>(count) * notes);
    moved.resize(count);
    const Ranks& ranks = voicings.ranks;
    for (int v = 0; v < count; ++v) {
      int* k = &keys[v];
      if (ranks.count == 0) {
        row.resize(notes);
        sorted.resize(notes);
        for (int i = 0; i < notes; ++i)
          row[i] = voicings.Shift(v, i);
        SortedKeys(chord, row.data(), sorted.data());
        for (int i = 0; i < notes; ++i)
          k[static_cast<size_t>(i) * count] = sorted[i];
      } else {
        for (uint64_t taken = voicings.made[v].taken; taken; taken &= taken - 1, k += count)
          *k = ranks.key[__builtin_ctzll(taken)];
      }
      moved[v] = voicings.made[v].moved;
    }
    Narrow();
    if (strict) Perfect();
  }

  // The chord's voicings given as they are, each its keys ascending (as many in each), none
  // of them moving any octave.
  void Make(const std::vector<std::vector<int>>& ways) {
    count = static_cast<int>(ways.size());
    notes = count ? static_cast<int>(ways[0].size()) : 0;
    stride = (count + LANES - 1) / LANES * LANES;
    keys.resize(static_cast<size_t>(count) * notes);
    moved.assign(count, 0);
    for (int v = 0; v < count; ++v)
      for (int k = 0; k < notes; ++k)
        keys[static_cast<size_t>(k) * count + v] = ways[v][k];
    Narrow();
  }

  // Each place's lowest and highest key, then the columns of the places that differ.
  void Narrow() {
    places = same = spread = 0;
    narrow = notes <= MAX_CHORD_NOTES;
    for (int k = 0; k < notes && narrow; ++k) {
      const int* keys = Place(k);
      int least = keys[0], most = keys[0];
      for (int v = 1; v < count; ++v) {
        least = std::min(least, keys[v]);
        most = std::max(most, keys[v]);
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
    bytes.resize(static_cast<size_t>(places) * stride);
    for (int p = 0; p < places; ++p) {
      uint8_t* column = &bytes[static_cast<size_t>(p) * stride];
      const int* keys = Place(place[p]);
      for (int v = 0; v < count; ++v)
        column[v] = static_cast<uint8_t>(keys[v] - low[p]);
      std::fill(column + count, column + stride, 0);
    }
  }
};

// Every voicing after's keys brought into the ranges of the places of the chord before that
// differ (Weighed::bytes), done for all of them at once, as plain loops the compiler can
// vectorise: each one's key in each place's range (at[p * count + v]), and what bringing them
// took plus the motion at the places alike (brought[v]).
struct Brought {
  std::vector<uint8_t> at;
  std::vector<int> brought;

  void Make(const Weighed& before, const Weighed& here) {
    int count = here.count;
    at.resize(static_cast<size_t>(before.places) * count);
    brought.assign(count, 0);
    int* took = brought.data();
    for (int p = 0; p < before.places; ++p) {
      const int* keys = here.Place(before.place[p]);
      uint8_t* in = &at[static_cast<size_t>(p) * count];
      int low = before.low[p], span = before.span[p];
      for (int v = 0; v < count; ++v) {
        int key = keys[v] - low;
        int kept = std::max(0, std::min(key, span));
        took[v] += std::abs(key - kept);
        in[v] = static_cast<uint8_t>(kept);
      }
    }
    for (int p = 0; p < before.same; ++p) {
      const int* keys = here.Place(before.samePlace[p]);
      int key = before.sameKey[p];
      for (int v = 0; v < count; ++v)
        took[v] += std::abs(keys[v] - key);
    }
  }
};

// The way of least total Cost through count chords, chord c's voicings weighed into a
// Weighed by make(c, weighed), with the faults of every way when strict: the voicing taken at
// each chord.
template <typename MakeChord>
std::vector<int> LeastWay(size_t count, bool strict, MakeChord make, Cost* total) {
  std::vector<int> way(count, 0);
  if (count == 0) {
    if (total) *total = Cost();
    return way;
  }
  // The voicings of the chord before and of this one, and the least cost of the passage up
  // to each voicing of the chord before; back[from[c] + v] names the voicing of chord c-1
  // that the best way to v of chord c takes.
  // Two chords' storage, the roles swapped from chord to chord (by pointer: a Weighed holds
  // arrays that a swap would copy).
  Weighed first, second;
  Weighed* before = &first;
  Weighed* here = &second;
  make(0, before);
  Brought brought;
  std::vector<Cost> best(before->count), reach;
  for (int v = 0; v < before->count; ++v)
    best[v].moved = before->moved[v];
  // A voicing is one of at most MAX_VOICINGS: a byte names it. The passage's storage is
  // kept small, as the pages it takes are most of what it costs.
  static_assert(MAX_VOICINGS <= 0x100, "a voicing's number fits a byte");
  std::vector<uint8_t> back;
  // Room made at once for as many voicings a chord as a six-note chord has (more are made
  // room for as they come): growing them step by step would copy them and touch new pages
  // each time, while room never used is never touched.
  const size_t ROOM = 32;
  back.reserve(count * ROOM);
  std::vector<size_t> from(count, 0);
  // For each voicing before: the motion so far over the least of them (capped), and the
  // motion of the way from it to the voicing at hand.
  std::vector<uint8_t> start, motion;
  std::vector<long long> wide, faults;
  std::vector<int> a, b; // a voicing before's keys and the one at hand's
  for (size_t c = 1; c < count; ++c) {
    make(c, here);
    int notes = here->notes, beforeNotes = before->notes, ways = before->count;
    reach.resize(here->count);
    a.resize(beforeNotes);
    b.resize(notes);
    from[c] = back.size();
    back.resize(back.size() + here->count, 0);
    long long least = best[0].motion;
    for (int u = 1; u < ways; ++u)
      least = std::min(least, best[u].motion);
    // The bytes hold motion only: the faults of every way are counted one way at a time.
    bool bytes = notes == beforeNotes && before->narrow && !strict;
    int words = (ways + 31) / 32; // of the ties' bits
    if (bytes) {
      brought.Make(*before, *here);
      uint8_t capped = static_cast<uint8_t>(before->spread + 1);
      start.assign(before->stride, capped);
      motion.resize(before->stride);
      for (int u = 0; u < ways; ++u)
        start[u] = static_cast<uint8_t>(std::min<long long>(best[u].motion - least, capped));
    } else {
      wide.resize(ways);
      faults.assign(ways, 0);
    }
    for (int v = 0; v < here->count; ++v) {
      // The voicings before whose way to v has the fewest faults and moves the least, in the
      // order they were made.
      long long fewest, fewestFaults = 0;
      uint32_t tied[MAX_VOICINGS / 32];
      if (bytes) {
        uint8_t into[MAX_CHORD_NOTES];
        for (int p = 0; p < before->places; ++p)
          into[p] = brought.at[static_cast<size_t>(p) * here->count + v];
        uint8_t low = WaysInBytes(before->bytes.data(), before->stride, into, before->places,
                                  start.data(), motion.data());
        LeastBits(motion.data(), ways, low, tied);
        fewest = least + low + brought.brought[v];
      } else {
        here->Keys(v, b.data());
        for (int u = 0; u < ways; ++u) {
          before->Keys(u, a.data());
          wide[u] = best[u].motion + Motion(a.data(), beforeNotes, b.data(), notes);
          if (strict)
            faults[u] = best[u].faults + before->FaultsTo(u, *here, v, a.data(), b.data());
        }
        int first = 0;
        for (int u = 1; u < ways; ++u)
          if (faults[u] < faults[first] || (faults[u] == faults[first] && wide[u] < wide[first]))
            first = u;
        fewest = wide[first];
        fewestFaults = faults[first];
        std::fill(tied, tied + words, 0u);
        for (int u = 0; u < ways; ++u)
          if (wide[u] == fewest && faults[u] == fewestFaults) tied[u / 32] |= 1u << (u % 32);
      }
      // Among them: fewer crossed voices, fewer octaves moved (all add v's own), then the one
      // from the voicing with the least cost so far, then the first made. The first is taken
      // as it is; most often it is the only one.
      int w = 0;
      while (tied[w] == 0)
        ++w;
      int chosen = 32 * w + __builtin_ctz(tied[w]);
      tied[w] &= tied[w] - 1;
      long long crossed = best[chosen].crossed + before->CrossedTo(chosen, *here, v);
      for (; w < words; ++w)
        for (uint32_t bits = tied[w]; bits; bits &= bits - 1) {
          int u = 32 * w + __builtin_ctz(bits);
          const Cost &so = best[u], &was = best[chosen];
          long long x = so.crossed + before->CrossedTo(u, *here, v);
          if (x < crossed ||
              (x == crossed && (so.moved < was.moved || (so.moved == was.moved && so < was)))) {
            chosen = u;
            crossed = x;
          }
        }
      reach[v] = {fewest, crossed, best[chosen].moved + here->moved[v], fewestFaults};
      back[from[c] + v] = static_cast<uint8_t>(chosen);
    }
    std::swap(before, here);
    best.swap(reach);
  }
  int last = 0;
  for (int v = 1; v < before->count; ++v)
    if (best[v] < best[last]) last = v;
  if (total) *total = best[last];
  int v = last;
  for (size_t c = count; c-- > 0;) {
    way[c] = v;
    if (c > 0) v = back[from[c] + v];
  }
  return way;
}

} // namespace

Plan Choose(const std::vector<Chord>& passage, bool top, Cost* total) {
  return Choose(passage, top, false, total);
}

Plan Choose(const std::vector<Chord>& passage, bool top, bool strict, Cost* total,
            LeftAlone* alone) {
  if (alone) *alone = LeftAlone();
  size_t count = passage.size();
  // Every chord's voicings (the picks of their shifts), from at[c] on, for the way back.
  // Room made at once for as many voicings a chord as a six-note chord has.
  std::vector<uint32_t> picks;
  std::vector<bool> written(count, false);
  std::vector<size_t> at(count, 0);
  picks.reserve(count * 32);
  std::vector<int> way = LeastWay(
      count, strict,
      [&](size_t c, Weighed* w) {
        w->Make(passage[c], top, strict);
        at[c] = picks.size();
        const Voicer& voicings = w->voicings;
        for (int v = 0; v < voicings.count; ++v)
          picks.push_back(voicings.made[v].picks);
        if (alone) {
          alone->tooMany += voicings.why == Why::TooMany;
          alone->noVoicing += voicings.why == Why::NoVoicing;
        }
        written[c] = voicings.written;
      },
      total);
  // Each chord's shifts from the picks kept when it was weighed.
  Plan plan(count);
  for (size_t c = 0; c < count; ++c) {
    int n = static_cast<int>(passage[c].notes.size());
    plan[c].assign(n, 0);
    uint32_t pick = picks[at[c] + way[c]];
    for (int i = 0; i < n && !written[c]; ++i, pick >>= PICK_BITS) {
      int shifts[MAX_SHIFTS];
      Shifts(passage[c], i, top, shifts);
      plan[c][i] = shifts[pick & ((1 << PICK_BITS) - 1)];
    }
  }
  return plan;
}

std::vector<int> ChooseAmong(const std::vector<std::vector<std::vector<int>>>& passage,
                             Cost* total) {
  return LeastWay(
      passage.size(), false, [&](size_t c, Weighed* w) { w->Make(passage[c]); }, total);
}

Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan) {
  return PlanCost(passage, plan, false);
}

Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan, bool strict) {
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
      if (strict)
        cost.faults += Faults(before.data(), static_cast<int>(before.size()), here.data(), n);
    }
    before.swap(here);
  }
  return cost;
}

} // namespace voiceleading
