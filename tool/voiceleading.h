// Voice Leading's choice: the octave of every note of a passage of chords, so that the voices
// move as little as possible over the whole passage. Plain numbers in and out; the walk over
// the score that fills a passage and writes the result is FCVoiceLeadingHandler's.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace voiceleading {

const int OCTAVE_STEPS = 7;      // displacement steps of an octave
const int OCTAVE_SEMITONES = 12; // sounding semitones of an octave
const int REACH_STEPS = 14;      // a note stays within two octaves of the kept note
const int MAX_VOICINGS = 256;    // a chord with more ways to voice it stays as written

// One note of a chord as written.
struct Note {
  int step = 0;       // displacement
  int raiselower = 0; // alteration
  int key = 0;        // sounding pitch (MIDI key number)
  bool fixed = false; // stays where it is: tied from the chord before or into the next
};

struct Chord {
  std::vector<Note> notes; // in the entry's slot order
  int kept = 0;            // index of the note kept: the highest (top) or the lowest (bottom)
  bool asWritten = false;  // only its written voicing: the passage's first chord, one left alone
};

// What a transition, or a passage, costs; compared faults first (counted only when strict),
// then motion, crossed and moved, each only on a tie of the one before.
struct Cost {
  long long motion = 0;  // semitones the voices move, over the least matching of the notes
  long long crossed = 0; // crossed voices (Crossed)
  long long moved = 0;   // octaves the notes moved away from the chords as written
  long long faults = 0;  // parallel and hidden fifths and octaves, weighed (Faults)
  bool operator<(const Cost& o) const {
    if (faults != o.faults) return faults < o.faults;
    if (motion != o.motion) return motion < o.motion;
    if (crossed != o.crossed) return crossed < o.crossed;
    return moved < o.moved;
  }
  bool operator==(const Cost& o) const {
    return faults == o.faults && motion == o.motion && crossed == o.crossed && moved == o.moved;
  }
  Cost& operator+=(const Cost& o) {
    motion += o.motion;
    crossed += o.crossed;
    moved += o.moved;
    faults += o.faults;
    return *this;
  }
};

// For each chord of a passage, the octaves each note moves by (slot order); negative is down.
using Plan = std::vector<std::vector<int>>;

// Written-pitch order, which the rules below go by: by displacement, then by alteration on one
// displacement. So E#5 is below Fb5 (E below F), though it sounds a semitone higher.

// The octave shifts note i of the chord may take, ascending: 0 only for the kept note, a fixed
// note and a chord as written; otherwise every shift that leaves the note on the kept note's
// side (below the top, above the bottom, in written-pitch order; on the kept note itself, a
// unison, only when written there) and at most two octaves (REACH_STEPS) from it, inside the
// displacement range. Never empty; at most MAX_SHIFTS, written into out; answers their number.
const int MAX_SHIFTS = 8;
int Shifts(const Chord& chord, int i, bool top, int out[MAX_SHIFTS]);
std::vector<int> Shifts(const Chord& chord, int i, bool top);

// The distinct voicings of the chord that keep the rules (Breaks), each a shift per note, one
// after another in *shifts (notes × count of them); only the written one when the chord is as
// written, when it has more than MAX_VOICINGS without a unison, or when none keeps the rules.
// Notes written on one pitch share their places, so a voicing that only swaps them is made
// once. Answers their count.
int Voicings(const Chord& chord, bool top, std::vector<int>* shifts);
std::vector<std::vector<int>> Voicings(const Chord& chord, bool top);

// Whether a voicing of the chord (a shift per note) breaks a rule that every voicing keeps:
// it puts two notes on one written pitch (a unison) that were not written on one; with top,
// a note below the note written lowest (the inversion changes); or, when the chord as written
// has none, neighbouring voices above the lowest more than an octave (12 semitones) apart.
bool Breaks(const Chord& chord, const int* shifts, bool top);

// The least total motion in semitones between two chords, over the matchings that give every
// note of each chord a note of the other; a and b ascending. Chords of one size: note k to
// note k. Of two sizes: the least over the matchings that keep the order (a note may take two).
long long Motion(const int* a, int na, const int* b, int nb);
// The matching Motion weighs, as pairs (index in a, index in b) in order: note k to note k
// between chords of one size; of two sizes the least one that keeps the order, where every
// note takes at least one (on a tie the pair of both next notes goes first). Chords past
// sixteen notes, which no entry holds, are paired by place, the extra notes with the top one.
std::vector<std::pair<int, int>> Matching(const int* a, int na, const int* b, int nb);

// Crossed voices between two chords, a (before) and b (after) ascending, voices counted from
// the bass up over the voices both have: voice k crosses when it moves above where voice k+1
// was (b[k] > a[k+1]) or voice k+1 moves below where voice k was (b[k+1] < a[k]); each such
// passing counts once.
int Crossed(const int* a, int na, const int* b, int nb);

// The faults of the way from chord a to chord b (ascending keys) that the strict choice
// avoids, weighed: PARALLEL for each two voices (counted from the bass up, over the voices both
// have) a fifth apart (an octave or a unison apart, in semitones modulo 12) that both move the
// same way into a fifth (an octave or a unison) again; and 1 when the outer voices (the bass
// and each chord's top) move the same way into a fifth or an octave they were not in before,
// the top by more than a whole tone (hidden fifths or octaves). A passage never holds PARALLEL
// ways (each chord takes more than a byte of memory), so fewer parallels always win.
const long long PARALLEL = 1LL << 32;
long long Faults(const int* a, int na, const int* b, int nb);

// The voicings of a chord are weighed side by side, sixteen at an instruction: their count
// padded to a multiple of LANES.
const int LANES = 16;

// For each of stride voicings before (columns: their keys above some base at each of places
// places, a column of stride bytes a place), its motion so far (start) plus its motion to the
// keys into (one a place, above the same base), into m; answers the least of them. Each sum
// must stay within a byte.
uint8_t WaysInBytes(const uint8_t* columns, int stride, const uint8_t* into, int places,
                    const uint8_t* start, uint8_t* m);

// The plan of least total Cost over the passage (dynamic programming over the chords'
// voicings, so its work is chords times voicings squared); *total gets its cost when given.
Plan Choose(const std::vector<Chord>& passage, bool top, Cost* total = nullptr);

// The chords a plan leaves as written for want of a choice, by why.
struct LeftAlone {
  int tooMany = 0;   // more than MAX_VOICINGS ways to voice them
  int noVoicing = 0; // no voicing within reach keeps the rules
};

// The same; strict also counts the faults (Faults) of every way, so the plan has the fewest
// of them and the least motion among those. *alone, when given, gets the chords left alone.
Plan Choose(const std::vector<Chord>& passage, bool top, bool strict, Cost* total,
            LeftAlone* alone = nullptr);

// The same search over chords that offer their own voicings (Realize Chord Symbols' inversions),
// each voicing its keys ascending, as many in every voicing of a chord, at most MAX_VOICINGS
// of them, none moving any octave: the voicing taken at each chord, the first made on a tie.
std::vector<int> ChooseAmong(const std::vector<std::vector<std::vector<int>>>& passage,
                             Cost* total = nullptr);

// The cost of a plan over the passage: each chord's moved octaves plus every transition, with
// the transitions' faults when strict.
Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan);
Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan, bool strict);

} // namespace voiceleading
