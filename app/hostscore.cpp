#include "hostscore.h"

#include <algorithm>
#include <map>

#include "score.h"

using musicxml::Chord;
using musicxml::ChordChange;
using musicxml::Key;
using musicxml::Skip;
using musicxml::Transposition;

namespace {

// The host keeps every note at concert pitch, in the key that sounds, and shows a transposing
// staff written itself; the file shows it written. A staff without a transposition is the same
// in both.
struct Concert {
  std::vector<Transposition> staves; // by host staff number
  std::vector<Key> measureKeys;      // the host's key of each measure (index 0 unused)

  explicit Concert(const musicxml::Score& score)
      : staves(musicxml::StaffTranspositions(score)),
        measureKeys(static_cast<size_t>(score.measureCount) + 1) {
    musicxml::FirstChords first;
    if (Of(1).Any()) first = musicxml::FindFirstChords(score);
    for (size_t m = 1; m < measureKeys.size(); ++m) {
      uint16_t word = m <= score.measureKeys.size() ? score.measureKeys[m - 1] : 0;
      measureKeys[m] =
          Of(1).Any()
              ? musicxml::SoundingKey(musicxml::CellKey(score, first, 1, static_cast<int16_t>(m)),
                                      Of(1))
              : musicxml::TraditionalKey(static_cast<int8_t>(word & 0xFF), (word >> 8) == 1);
    }
  }

  Transposition Of(int16_t staff) const {
    return staff > 0 && static_cast<size_t>(staff) < staves.size() ? staves[staff]
                                                                   : Transposition();
  }

  uint16_t MeasureWord(int16_t measure) const {
    return measure > 0 && static_cast<size_t>(measure) < measureKeys.size()
               ? measureKeys[measure].word
               : 0;
  }
};

// A note spelled in written on a staff of transposition t, as the host holds it in sounding.
void ToConcert(const Key& written, const Key& sounding, const Transposition& t, int* displacement,
               int* raiselower) {
  musicxml::Spelling s = musicxml::FromHost(written, *displacement, *raiselower);
  musicxml::ToHost(sounding, musicxml::Sounding(s, t), displacement, raiselower);
}

// And back: the written spelling of a note the host holds in sounding.
musicxml::Spelling WrittenOf(const Key& sounding, const Transposition& t, int displacement,
                             int raiselower) {
  return musicxml::Written(musicxml::FromHost(sounding, displacement, raiselower), t);
}

// The word the host holds a key by: a major or minor key's own word, or for a signature of
// letters that no such key has, the word of a key the document defines with those letters, so
// that the host sounds its notes as written. (Past the most signatures a document can define,
// the rest are held as C major: their notes keep their spelling, but fourths and fifths over
// notes outside the key are reckoned in C.)
uint16_t HostKeyWord(const Key& key) {
  if (key.expressible || !key.spellable) return key.word;
  hostsim::KeyAlterations letters;
  std::copy(key.signature, key.signature + 7, letters.begin());
  return hostsim::DefineKey(letters);
}

} // namespace

HostEntries BuildHostScore(const musicxml::Score& score) {
  hostsim::NewDocument(score.staffCount, score.measureCount);
  for (const musicxml::PartInfo& p : score.parts) {
    std::vector<int16_t> staves;
    for (int s = 0; s < p.staffCount; ++s)
      staves.push_back(static_cast<int16_t>(p.firstStaff + s));
    hostsim::SetPartName(hostsim::AddPart(staves), p.name.empty() ? p.id : p.name);
  }
  Concert concert(score);
  // counted wider than the host's numbers: the last one the host holds is the type's largest
  for (int m = 1; m <= score.measureCount; ++m)
    if (uint16_t word = concert.MeasureWord(static_cast<int16_t>(m)))
      hostsim::SetMeasureKey(static_cast<int16_t>(m), word);
  HostEntries entries(score.chords.size(), -1);
  hostsim::EntrySpec entry;
  // last measure given its own key, by staff; the reader has kept the counts to what the
  // host holds, and a chord outside them would write past the table
  std::vector<int16_t> ownKeyIn(static_cast<size_t>(std::max<int>(0, score.staffCount)) + 1, 0);
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.skip != Skip::None || c.staff < 1 || c.staff > score.staffCount || c.measure < 1 ||
        c.measure > score.measureCount)
      continue;
    Transposition t = concert.Of(c.staff);
    Key key = t.Any() ? musicxml::SoundingKey(c.key, t) : c.key;
    uint16_t word = HostKeyWord(key);
    if (word != concert.MeasureWord(c.measure) && ownKeyIn[c.staff] != c.measure) {
      ownKeyIn[c.staff] = c.measure;
      hostsim::SetCellKey(c.staff, c.measure, word);
    }
    entry.notes.clear();
    entry.pos = c.pos;
    entry.duration = c.grace ? musicxml::TypeDuration(c.first.child_value("type")) : c.duration;
    entry.flags = c.grace ? ENTRY_GRACENOTE : 0;
    for (const musicxml::NoteRef& n : c.notes) {
      hostsim::NoteSpec ns;
      int displacement = n.displacement, raiselower = n.raiselower;
      if (t.Any()) ToConcert(c.key, key, t, &displacement, &raiselower);
      ns.displacement = static_cast<int16_t>(displacement);
      ns.raiselower = static_cast<int16_t>(raiselower);
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
  Concert concert(*score);
  for (size_t i = 0; i < score->chords.size(); ++i) {
    Chord& c = score->chords[i];
    if (c.skip != Skip::None || c.rest || i >= entries.size() || entries[i] < 0) continue;
    const std::vector<EXENTRY>& cell = hostsim::Cell(c.staff, c.measure, c.layer);
    if (static_cast<size_t>(entries[i]) >= cell.size()) continue;
    const EXENTRY& e = cell[entries[i]];
    if (!(e.flags2 & ENTRY2_NOTESCHANGED)) continue;
    ChordChange change;
    change.chord = i;
    Transposition t = concert.Of(c.staff);
    Key key = t.Any() ? musicxml::SoundingKey(c.key, t) : c.key;
    int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(MAX_NOTES, e.notecount)) : 0;
    bool same = static_cast<size_t>(count) == c.notes.size(), spelled = true;
    for (int k = 0; k < count; ++k) {
      const ENOTE& n = e.notes[k];
      musicxml::Spelling s = WrittenOf(key, t, n.displacement, n.raiselower);
      spelled = spelled && s.octave >= 0 && s.octave <= 9 && s.alter >= -3 && s.alter <= 3;
      int displacement = n.displacement, raiselower = n.raiselower;
      if (t.Any()) musicxml::ToHost(c.key, s, &displacement, &raiselower);
      change.after.push_back({n.noteID, displacement, raiselower, (n.flags & NOTE_TIE) != 0});
      same = same && n.noteID == k + 1 && displacement == c.notes[k].displacement &&
             raiselower == c.notes[k].raiselower;
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
  Concert concert(*score);
  musicxml::FirstChords first = musicxml::FindFirstChords(*score);
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
    // The host's notes are concert pitch in its key; the file spells the voice in the cell's.
    Transposition t = concert.Of(r.staff);
    Key written = musicxml::CellKey(*score, first, r.staff, r.measure), key = written;
    if (t.Any())
      key = first.count(std::make_pair(r.staff, r.measure))
                ? musicxml::SoundingKey(written, t)
                : concert.measureKeys[std::min<size_t>(r.measure, concert.measureKeys.size() - 1)];
    for (const EXENTRY& e : now) {
      musicxml::NewEntry n;
      n.pos = e.measurepos;
      n.duration = e.duration;
      n.grace = (e.flags & ENTRY_GRACENOTE) != 0;
      int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(MAX_NOTES, e.notecount)) : 0;
      for (int k = 0; k < count; ++k) {
        int displacement = e.notes[k].displacement, raiselower = e.notes[k].raiselower;
        if (t.Any())
          musicxml::ToHost(written, WrittenOf(key, t, displacement, raiselower), &displacement,
                           &raiselower);
        n.notes.push_back(
            {e.notes[k].noteID, displacement, raiselower, (e.notes[k].flags & NOTE_TIE) != 0});
      }
      r.entries.push_back(n);
    }
    rewrites.push_back(std::move(r));
  }
  return rewrites;
}
