// Voice Leading's choice: the octave of every note of a passage of chords, so that the voices
// move as little as possible over the whole passage. Plain numbers in and out; the walk over
// the score that fills a passage and writes the result is FCVoiceLeadingHandler's.
#pragma once
#include <cstdint>
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

// What a transition, or a passage, costs; compared in this order, each only on a tie of the
// one before.
struct Cost {
  long long motion = 0;  // semitones the voices move, over the least matching of the notes
  long long crossed = 0; // crossed voices (Crossed)
  long long moved = 0;   // octaves the notes moved away from the chords as written
  bool operator<(const Cost& o) const {
    if (motion != o.motion) return motion < o.motion;
    if (crossed != o.crossed) return crossed < o.crossed;
    return moved < o.moved;
  }
  bool operator==(const Cost& o) const {
    return motion == o.motion && crossed == o.crossed && moved == o.moved;
  }
  Cost& operator+=(const Cost& o) {
    motion += o.motion;
    crossed += o.crossed;
    moved += o.moved;
    return *this;
  }
};

// For each chord of a passage, the octaves each note moves by (slot order); negative is down.
using Plan = std::vector<std::vector<int>>;

// The octave shifts note i of the chord may take, ascending: 0 only for the kept note, a fixed
// note and a chord as written; otherwise every shift that leaves the note on the kept note's
// side (not above the top, not below the bottom, in written-pitch order) and at most two
// octaves (REACH_STEPS) from it, inside the displacement range. Never empty; at most
// MAX_SHIFTS, written into out; answers their number.
const int MAX_SHIFTS = 8;
int Shifts(const Chord& chord, int i, bool top, int out[MAX_SHIFTS]);
std::vector<int> Shifts(const Chord& chord, int i, bool top);

// The distinct voicings of the chord, each a shift per note, one after another in *shifts
// (notes × count of them); only the written one when the chord is as written, or when it has
// more than MAX_VOICINGS. Notes of the same pitch class and alteration share their places, so
// a voicing that only swaps them is made once (the lower written note taking the lower place).
// Answers their count.
int Voicings(const Chord& chord, bool top, std::vector<int>* shifts);
std::vector<std::vector<int>> Voicings(const Chord& chord, bool top);

// The least total motion in semitones between two chords, over the matchings that give every
// note of each chord a note of the other; a and b ascending. Chords of one size: note k to
// note k. Of two sizes: the least over the matchings that keep the order (a note may take two).
long long Motion(const int* a, int na, const int* b, int nb);

// Crossed voices between two chords, a (before) and b (after) ascending, voices counted from
// the bass up over the voices both have: voice k crosses when it moves above where voice k+1
// was (b[k] > a[k+1]) or voice k+1 moves below where voice k was (b[k+1] < a[k]); each such
// passing counts once.
int Crossed(const int* a, int na, const int* b, int nb);

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

// The same search over chords that offer their own voicings (Realize Chord Symbols' inversions),
// each voicing its keys ascending, as many in every voicing of a chord, at most MAX_VOICINGS
// of them, none moving any octave: the voicing taken at each chord, the first made on a tie.
std::vector<int> ChooseAmong(const std::vector<std::vector<std::vector<int>>>& passage,
                             Cost* total = nullptr);

// The cost of a plan over the passage: each chord's moved octaves plus every transition.
Cost PlanCost(const std::vector<Chord>& passage, const Plan& plan);

} // namespace voiceleading
