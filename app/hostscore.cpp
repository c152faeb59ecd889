#include "hostscore.h"

#include <algorithm>
#include <map>

#include "score.h"

using musicxml::Chord;
using musicxml::ChordChange;
using musicxml::Skip;

HostEntries BuildHostScore(const musicxml::Score& score) {
  hostsim::NewDocument(score.staffCount, score.measureCount);
  for (const musicxml::PartInfo& p : score.parts) {
    std::vector<int16_t> staves;
    for (int16_t s = 0; s < p.staffCount; ++s)
      staves.push_back(static_cast<int16_t>(p.firstStaff + s));
    hostsim::SetPartName(hostsim::AddPart(staves), p.name.empty() ? p.id : p.name);
  }
  std::vector<musicxml::Transposition> transpositions = musicxml::StaffTranspositions(score);
  for (size_t s = 1; s < transpositions.size(); ++s)
    if (transpositions[s].diatonic || transpositions[s].chromatic)
      hostsim::SetStaffTransposition(static_cast<int16_t>(s),
                                     static_cast<int16_t>(transpositions[s].diatonic),
                                     static_cast<int16_t>(transpositions[s].chromatic));
  for (size_t m = 0; m < score.measureKeys.size(); ++m)
    if (score.measureKeys[m])
      hostsim::SetMeasureKey(static_cast<int16_t>(m + 1), score.measureKeys[m]);
  HostEntries entries(score.chords.size(), -1);
  hostsim::EntrySpec entry;
  std::vector<int16_t> ownKeyIn(score.staffCount + 1, 0); // last measure given its own key
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.skip != Skip::None) continue;
    uint16_t measureKey = c.measure <= static_cast<int>(score.measureKeys.size())
                              ? score.measureKeys[c.measure - 1]
                              : 0;
    if (c.key.word != measureKey && ownKeyIn[c.staff] != c.measure) {
      ownKeyIn[c.staff] = c.measure;
      hostsim::SetCellKey(c.staff, c.measure, c.key.word);
    }
    entry.notes.clear();
    entry.pos = c.pos;
    entry.duration = c.grace ? musicxml::TypeDuration(c.first.child_value("type")) : c.duration;
    entry.flags = c.grace ? ENTRY_GRACENOTE : 0;
    for (const musicxml::NoteRef& n : c.notes) {
      hostsim::NoteSpec ns;
      ns.displacement = n.displacement;
      ns.raiselower = n.raiselower;
      if (n.tieStart) ns.flags |= NOTE_TIE;
      if (n.accidental) ns.flags |= NOTE_ACCIDENTAL;
      entry.notes.push_back(ns);
    }
    entries[i] = hostsim::AddEntry(c.staff, c.measure, c.layer, entry);
  }
  return entries;
}

std::vector<ChordChange> CollectChanges(musicxml::Score* score, const HostEntries& entries) {
  std::vector<ChordChange> changes;
  for (size_t i = 0; i < score->chords.size(); ++i) {
    Chord& c = score->chords[i];
    if (c.skip != Skip::None || c.rest || i >= entries.size() || entries[i] < 0) continue;
    const std::vector<EXENTRY>& cell = hostsim::Cell(c.staff, c.measure, c.layer);
    if (static_cast<size_t>(entries[i]) >= cell.size()) continue;
    const EXENTRY& e = cell[entries[i]];
    if (!(e.flags2 & ENTRY2_NOTESCHANGED)) continue;
    ChordChange change;
    change.chord = i;
    int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(MAX_NOTES, e.notecount)) : 0;
    bool same = static_cast<size_t>(count) == c.notes.size(), spelled = true;
    for (int k = 0; k < count; ++k) {
      const ENOTE& n = e.notes[k];
      musicxml::Spelling s = musicxml::FromHost(c.key, n.displacement, n.raiselower);
      spelled = spelled && s.octave >= 0 && s.octave <= 9 && s.alter >= -3 && s.alter <= 3;
      change.after.push_back({n.noteID, n.displacement, n.raiselower, (n.flags & NOTE_TIE) != 0});
      same = same && n.noteID == k + 1 && n.displacement == c.notes[k].displacement &&
             n.raiselower == c.notes[k].raiselower;
    }
    if (!spelled)
      c.skip = Skip::OutOfRange;
    else if (!same)
      changes.push_back(std::move(change));
  }
  return changes;
}

std::vector<musicxml::LayerRewrite> CollectRewrites(musicxml::Score* score, HostEntries* entries) {
  // The entries as built: BuildHostScore numbered them one after the other, chord by chord.
  std::map<hostsim::CellLayer, std::vector<uint32_t>> built;
  std::map<hostsim::CellLayer, std::vector<size_t>> held; // every chord of a layer, left alone too
  uint32_t number = 1;
  for (size_t i = 0; i < score->chords.size(); ++i) {
    const Chord& c = score->chords[i];
    if (c.layer < 0) continue;
    hostsim::CellLayer where(c.staff, c.measure, c.layer);
    held[where].push_back(i);
    if (c.skip == Skip::None) built[where].push_back(number++);
  }
  std::vector<musicxml::LayerRewrite> rewrites;
  for (const auto& cell : hostsim::Doc().cells) {
    const std::vector<EXENTRY>& now = cell.second;
    auto was = built.find(cell.first);
    bool same = was == built.end() ? now.empty() : was->second.size() == now.size();
    for (size_t k = 0; same && k < now.size(); ++k)
      same = now[k].entnum == was->second[k];
    if (same) continue;
    musicxml::LayerRewrite r;
    r.staff = std::get<0>(cell.first);
    r.measure = std::get<1>(cell.first);
    r.layer = std::get<2>(cell.first);
    auto old = held.find(cell.first);
    if (old != held.end()) r.old = old->second;
    for (size_t i : r.old)
      if (i < entries->size()) (*entries)[i] = -1;
    for (const EXENTRY& e : now) {
      musicxml::NewEntry n;
      n.pos = e.measurepos;
      n.duration = e.duration;
      n.grace = (e.flags & ENTRY_GRACENOTE) != 0;
      int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(MAX_NOTES, e.notecount)) : 0;
      for (int k = 0; k < count; ++k)
        n.notes.push_back({e.notes[k].noteID, e.notes[k].displacement, e.notes[k].raiselower,
                           (e.notes[k].flags & NOTE_TIE) != 0});
      r.entries.push_back(n);
    }
    rewrites.push_back(std::move(r));
  }
  return rewrites;
}
