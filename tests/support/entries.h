// The first layer of a cell of the host simulator's score, entry by entry, as the tests of
// Explode and Reduce compare it: the plug-in's own tests and those that drive the real module.
#pragma once
#include <algorithm>
#include <ostream>
#include <vector>

#include "score.h"

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

} // namespace testsupport
