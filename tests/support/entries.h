// The first layer of a cell of the host simulator's score, entry by entry, as the tests of
// Explode and Reduce compare it: the plug-in's own tests and those that drive the real module.
#pragma once
#include <algorithm>
#include <ostream>
#include <vector>

#include "score.h"
#include "support/chords.h"

namespace testsupport {

// A note: displacement, raise/lower and whether a tie starts there.
struct P {
  int d, r;
  bool tie;
  bool operator==(const P& o) const { return d == o.d && r == o.r && tie == o.tie; }
};
inline std::ostream& operator<<(std::ostream& out, const P& p) {
  return out << p.d << (p.r ? (p.r > 0 ? "+" : "-") : "") << (p.tie ? "~" : "");
}
inline P p(int d, int r = 0, bool tie = false) {
  return P{d, r, tie};
}

// An entry: position, length, grace or not, and its notes (none for a rest).
struct Entry {
  int pos, duration;
  bool grace;
  std::vector<P> notes;
  bool operator==(const Entry& o) const {
    return pos == o.pos && duration == o.duration && grace == o.grace && notes == o.notes;
  }
};
inline std::ostream& operator<<(std::ostream& out, const Entry& e) {
  out << "{" << e.pos << " " << e.duration << (e.grace ? " grace" : "") << ":";
  for (const P& n : e.notes)
    out << " " << n;
  return out << "}";
}

// The first layer of a cell, notes in slot order.
inline std::vector<Entry> Read(int16_t staff, int16_t measure) {
  std::vector<Entry> out;
  for (const EXENTRY& e : hostsim::Cell(staff, measure, 0)) {
    Entry x{e.measurepos, e.duration, (e.flags & ENTRY_GRACENOTE) != 0, {}};
    if (e.flags & ENTRY_NOTE)
      for (int i = 0; i < e.notecount; ++i)
        x.notes.push_back(
            p(e.notes[i].displacement, e.notes[i].raiselower, (e.notes[i].flags & NOTE_TIE)));
    out.push_back(x);
  }
  return out;
}

// The notes of one entry as a set of pitches, lowest first.
inline std::vector<P> Sorted(std::vector<P> notes) {
  std::sort(notes.begin(), notes.end(),
            [](const P& a, const P& b) { return a.d != b.d ? a.d < b.d : a.r < b.r; });
  return notes;
}

// Every cell of the score's first staves and measures holding quarter rests.
inline void QuarterRests(int16_t staves, int16_t measures) {
  for (int16_t s = 1; s <= staves; ++s)
    for (int16_t m = 1; m <= measures; ++m)
      for (int32_t pos = 0; pos < 4096; pos += 1024)
        hostsim::AddEntry(s, m, 0, Chord(pos, {}));
}

// Puts the entries given in the place of a cell's first layer.
inline void Put(int16_t staff, int16_t measure, const std::vector<hostsim::EntrySpec>& entries) {
  hostsim::Cell(staff, measure, 0).clear();
  for (const hostsim::EntrySpec& e : entries)
    hostsim::AddEntry(staff, measure, 0, e);
}

// Two staves of two measures. Staff 1: a grace chord, a triplet of eighths (each a third of a
// quarter as the host counts it), a rest, then a half chord tied over the barline; staff 2 a
// whole note in measure 1.
inline void PutRhythmPassage() {
  hostsim::EntrySpec grace = Chord(0, {5, 8});
  grace.duration = 512;
  grace.flags = ENTRY_GRACENOTE;
  hostsim::NoteSpec tiedHigh = N(9, 1), tiedLow = N(2);
  tiedHigh.flags |= NOTE_TIE;
  tiedLow.flags |= NOTE_TIE;
  Put(1, 1,
      {grace, E(0, {N(0), N(4)}, 341), E(341, {N(1), N(5)}, 341), E(682, {N(2), N(6)}, 342),
       E(1024, {}, 1024), E(2048, {tiedLow, tiedHigh}, 2048)});
  Put(1, 2, {E(0, {N(2), N(9, 1)}, 2048), E(2048, {}, 2048)});
  Put(2, 1, {E(0, {N(-3)}, 4096)});
}

// Measure 1 of the passage's staff 1 (the upper notes) or 2 after Explode from the top: the
// same rhythm, one line each.
inline std::vector<Entry> RhythmExploded(int16_t staff) {
  bool upper = staff == 1;
  return {{0, 512, true, {p(upper ? 8 : 5)}},
          {0, 341, false, {p(upper ? 4 : 0)}},
          {341, 341, false, {p(upper ? 5 : 1)}},
          {682, 342, false, {p(upper ? 6 : 2)}},
          {1024, 1024, false, {}},
          {2048, 2048, false, {upper ? p(9, 1, true) : p(2, 0, true)}}};
}

} // namespace testsupport
