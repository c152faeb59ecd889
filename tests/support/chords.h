// Builds the entries a test puts into the simulated host's score.
#pragma once
#include <utility>
#include <vector>

#include "score.h"

namespace testsupport {

// One note: its staff position, its alteration and, when not 0, its note ID.
inline hostsim::NoteSpec N(int16_t displacement, int16_t raiselower = 0, int16_t id = 0) {
  hostsim::NoteSpec n;
  n.displacement = displacement;
  n.raiselower = raiselower;
  n.id = id;
  return n;
}

// One entry at pos; a rest when it has no notes.
inline hostsim::EntrySpec E(int32_t pos, std::vector<hostsim::NoteSpec> notes,
                            int16_t duration = 1024) {
  hostsim::EntrySpec e;
  e.pos = pos;
  e.duration = duration;
  e.notes = std::move(notes);
  return e;
}

// A chord of plain notes at pos, one per staff position; a rest when there are none.
inline hostsim::EntrySpec Chord(int32_t pos, const std::vector<int16_t>& displacements) {
  std::vector<hostsim::NoteSpec> notes;
  for (int16_t d : displacements)
    notes.push_back(N(d));
  return E(pos, std::move(notes));
}

} // namespace testsupport
