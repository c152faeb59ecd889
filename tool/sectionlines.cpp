#include "sectionlines.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "data/fcmeasure.h"
#include "data/fcmusicregion.h"
#include "data/fcnoteentrycell.h"
#include "fxbridge.h"
#include "linepitch.h"

namespace {

const int FIRST_LAYER = 1;              // the cell's layer code for the first layer only
const fourbyte FAR_END = 0x7FFFFFFF;    // past every entry of a measure
const fourbyte LONGEST_WRITTEN = 24576; // a dotted long, the longest length one note writes
const fourbyte LONGEST_ENTRY = 0x7FFF;  // an entry's length field holds no more
// The host holds a length read from a file rounded down (a triplet eighth is 341), so the
// times of entries that meet may be a unit or two apart.
const fourbyte SLACK = 2;

// The entries of a frame that lie in a measure's part of the region: first index and count.
struct Span {
  int first = 0;
  int count = 0;
};

Span FindSpan(const EXTGF2005a* frame, fourbyte from, fourbyte to) {
  Span span;
  int n = SoundEntryCount(frame);
  span.first = n;
  for (int i = 0; i < n; ++i) {
    fourbyte pos = frame->entries[i].measurepos;
    if (pos < from || pos > to) continue;
    if (span.count == 0) span.first = i;
    span.count = i - span.first + 1;
  }
  return span;
}

bool HasNotes(const EXENTRY& e) {
  return (e.flags & ENTRY_NOTE) != 0 && SoundNoteCount(e.notecount) > 0;
}

int NoteCount(const EXENTRY& e) {
  return HasNotes(e) ? SoundNoteCount(e.notecount) : 0;
}

bool IsGrace(const EXENTRY& e) {
  return (e.flags & ENTRY_GRACENOTE) != 0;
}

// Where an entry stops sounding; a grace note takes no time.
fourbyte EndOf(const EXENTRY& e) {
  return e.measurepos + (IsGrace(e) ? 0 : e.duration);
}

bool HigherPitch(const ENOTE& a, const ENOTE& b) {
  return a.displacement != b.displacement ? a.displacement > b.displacement
                                          : a.raiselower > b.raiselower;
}

bool SamePitch(const ENOTE& a, const ENOTE& b) {
  return a.displacement == b.displacement && a.raiselower == b.raiselower;
}

// Whether a length is one written note, plain or dotted (or, with doubleDots, double-dotted).
bool WrittenLength(fourbyte length, bool doubleDots) {
  for (fourbyte base = 4; base <= 4 << 12; base *= 2)
    if (length == base || length == base + base / 2 ||
        (doubleDots && length == base + base / 2 + base / 4))
      return true;
  return false;
}

EXENTRY Rest(fourbyte pos, fourbyte duration) {
  EXENTRY e;
  memset(&e, 0, sizeof e);
  e.measurepos = pos;
  e.duration = static_cast<twobyte>(duration);
  e.flags2 = ENTRY2_NOTESCHANGED;
  return e;
}

// The rank of each note slot from the highest pitch (0) down; notes of equal pitch keep their
// slot order.
void RankFromTop(const EXENTRY& e, int count, int rank[MAX_NOTES]) {
  for (int i = 0; i < count; ++i) {
    rank[i] = 0;
    for (int j = 0; j < count; ++j)
      if (HigherPitch(e.notes[j], e.notes[i]) || (j < i && SamePitch(e.notes[j], e.notes[i])))
        ++rank[i];
  }
}

// The ranks (from the top) a staff's line takes of a chord of count notes dealt to lines
// staves: one note each, the rest as a chord on the last staff (dealt from the top) or on the
// first (from the bottom); with fewer notes than staves the lowest note is doubled below
// (from the top) or the highest above (from the bottom).
void LineRanks(int count, int line, int lines, bool fromTop, int* first, int* last) {
  if (count >= lines && fromTop) {
    *first = line;
    *last = line == lines - 1 ? count - 1 : line;
  } else if (count >= lines) {
    *first = line == 0 ? 0 : count - lines + line;
    *last = count - lines + line;
  } else if (fromTop) {
    *first = *last = line < count ? line : count - 1;
  } else {
    int rank = count - lines + line;
    *first = *last = rank < 0 ? 0 : rank;
  }
}

// Keeps, of a chord, the notes of one line, written at the place given. False when a pitch
// does not fit the note slot there. A rest stays as it is.
bool KeepLine(EXENTRY* e, int line, int lines, bool fromTop, const StaffPlace& from,
              const StaffPlace& to) {
  if (!HasNotes(*e)) return true;
  int count = SoundNoteCount(e->notecount);
  int rank[MAX_NOTES];
  RankFromTop(*e, count, rank);
  int first, last;
  LineRanks(count, line, lines, fromTop, &first, &last);
  ENOTE kept[MAX_NOTES];
  memset(kept, 0, sizeof kept);
  int k = 0;
  for (int i = 0; i < count; ++i) {
    if (rank[i] < first || rank[i] > last) continue;
    kept[k] = e->notes[i];
    if (!CarryPitch(from, to, &kept[k].displacement, &kept[k].raiselower)) return false;
    ++k;
  }
  memcpy(e->notes, kept, sizeof kept);
  e->notecount = static_cast<twobyte>(k);
  return true;
}

// A run of entries as it sounds: each note or grace note as it is, and rests in a row as one
// silence from where the first starts to where the last ends, however they are written.
struct Sounding {
  const EXENTRY* entry; // the note, or the first rest of the silence
  fourbyte end;         // where it ends
};

std::vector<Sounding> AsSounding(const EXENTRY* entries, int count) {
  std::vector<Sounding> out;
  for (int i = 0; i < count; ++i) {
    const EXENTRY& e = entries[i];
    bool silent = !HasNotes(e) && !IsGrace(e);
    if (silent && !out.empty() && !HasNotes(*out.back().entry) && !IsGrace(*out.back().entry) &&
        out.back().end == e.measurepos) {
      out.back().end = EndOf(e);
      continue;
    }
    out.push_back({&e, EndOf(e)});
  }
  return out;
}

// Whether two runs of entries hold the same music: places, lengths, kinds and pitches with
// their ties. A rest only cut otherwise is the same silence: writing it anew would change
// the file and no note.
bool SameMusic(const EXENTRY* a, const std::vector<EXENTRY>& b, int count) {
  std::vector<Sounding> x = AsSounding(a, count),
                        y = AsSounding(b.data(), static_cast<int>(b.size()));
  if (x.size() != y.size()) return false;
  const FLAG_32 kind = ENTRY_NOTE | ENTRY_GRACENOTE;
  for (size_t i = 0; i < x.size(); ++i) {
    const EXENTRY &p = *x[i].entry, &q = *y[i].entry;
    if (p.measurepos != q.measurepos || x[i].end != y[i].end ||
        (p.flags & kind) != (q.flags & kind) || HasNotes(p) != HasNotes(q) ||
        NoteCount(p) != NoteCount(q))
      return false;
    for (int n = 0; n < NoteCount(p); ++n)
      if (!SamePitch(p.notes[n], q.notes[n]) ||
          (p.notes[n].flags & NOTE_TIE) != (q.notes[n].flags & NOTE_TIE))
        return false;
  }
  return true;
}

// Replaces a span of a frame by the entries given; each new entry keeps the number the host
// gave it. False when the host refuses a step.
bool ReplaceSpan(EXTGF2005a* frame, const Span& span, const std::vector<EXENTRY>& entries) {
  if (span.count > 0 && FX_DeleteEXENTRY(frame, static_cast<twobyte>(span.first),
                                         static_cast<twobyte>(span.count)) == 0)
    return false;
  if (entries.empty()) return true;
  if (FX_InsertEXENTRY(frame, static_cast<twobyte>(span.first),
                       static_cast<twobyte>(entries.size())) == 0)
    return false;
  if (SoundEntryCount(frame) < span.first + static_cast<int>(entries.size())) return false;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXENTRY& e = frame->entries[span.first + i];
    ufourbyte number = e.entnum;
    e = entries[i];
    e.entnum = number;
  }
  return true;
}

// A rest as rests of written lengths, the longest first; false when a piece too short for any
// is left.
bool WrittenRests(EXENTRY rest, std::vector<EXENTRY>* out) {
  fourbyte at = rest.measurepos, left = rest.duration;
  while (left > 0) {
    fourbyte take = 0;
    for (fourbyte base = 4; base <= 4 << 12; base *= 2)
      for (fourbyte length : {base, base + base / 2})
        if (length <= left && length > take) take = length;
    if (take == 0) return false;
    rest.measurepos = at;
    rest.duration = static_cast<twobyte>(take);
    out->push_back(rest);
    at += take;
    left -= take;
  }
  return true;
}

// Whether the staves' entries have the same places, lengths and kinds, note or rest: the
// frame's entries can take the new music where they stand.
bool SameShape(const std::vector<EXENTRY>& a, const std::vector<EXENTRY>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].measurepos != b[i].measurepos || a[i].duration != b[i].duration ||
        (a[i].flags & ENTRY_GRACENOTE) != (b[i].flags & ENTRY_GRACENOTE) ||
        ((a[i].flags & ENTRY_NOTE) && a[i].notecount > 0) !=
            ((b[i].flags & ENTRY_NOTE) && b[i].notecount > 0))
      return false;
  return true;
}

void MakeRest(EXENTRY* e) {
  e->flags &= ~ENTRY_NOTE;
  e->notecount = 0;
  e->flags2 |= ENTRY2_NOTESCHANGED;
}

// One staff's first layer in one measure, loaded.
struct StaffCell {
  std::unique_ptr<FCNoteEntryCell> cell;
  EXTGF2005a* frame = nullptr; // the first layer's frame; null when it did not load
  StaffPlace place;
  Span span;
  std::vector<EXENTRY> entries; // the span's, copied
};

void LoadStaffCell(StaffCell* s, twobyte measure, twobyte staff, fourbyte from, fourbyte to) {
  s->cell.reset(new FCNoteEntryCell(measure, staff));
  s->cell->SetLoadLayerMode(FIRST_LAYER);
  if (!s->cell->Load()) return;
  s->frame = s->cell->_GetFrame(0);
  s->place = LoadStaffPlace(measure, staff);
  s->span = FindSpan(s->frame, from, to);
  if (s->span.count > 0)
    s->entries.assign(s->frame->entries + s->span.first,
                      s->frame->entries + s->span.first + s->span.count);
}

// Writes a staff's new entries for the span and saves the cell: where the entries stand as
// they were, each takes its new notes in place and keeps its number; otherwise the span is
// replaced. False when the host refuses.
bool StoreEntries(StaffCell* s, const std::vector<EXENTRY>& entries) {
  if (!SameShape(s->entries, entries))
    return ReplaceSpan(s->frame, s->span, entries) && s->cell->Save();
  for (size_t i = 0; i < entries.size(); ++i) {
    EXENTRY& e = s->frame->entries[s->span.first + i];
    ufourbyte number = e.entnum;
    e = entries[i];
    e.entnum = number;
  }
  return s->cell->Save();
}

// A tie as the host holds it: on a note of an entry of a staff's first layer (staff, measure,
// place, pitch).
typedef std::tuple<twobyte, twobyte, fourbyte, twobyte, twobyte> TieAt;

// The ties of a staff's measure that lead to no note of their pitch: the entry after the tied
// one (after a grace note the next entry, else the next that is no grace note), in the measure
// or at the next one's start, does not sound it. Past the score's last measure a tie is taken
// as it is. visit(entry index, note index) for each.
template <typename F>
void EachLooseTie(const StaffCell& cell, twobyte measure, twobyte staff, F visit) {
  StaffCell next;
  bool nextLoaded = false;
  for (size_t i = 0; i < cell.entries.size(); ++i) {
    const EXENTRY& e = cell.entries[i];
    bool tied = false;
    for (int k = 0; k < NoteCount(e); ++k)
      tied = tied || (e.notes[k].flags & NOTE_TIE);
    if (!tied) continue;
    const EXENTRY* after = nullptr;
    const StaffPlace* place = &cell.place;
    for (size_t j = i + 1; j < cell.entries.size() && !after; ++j)
      if (IsGrace(e) || !IsGrace(cell.entries[j])) after = &cell.entries[j];
    if (!after) {
      FCMeasure there; // a cell is asked for only where the score has the measure
      if (!nextLoaded && there.Load(static_cast<utwobyte>(measure + 1)))
        LoadStaffCell(&next, static_cast<twobyte>(measure + 1), staff, 0, FAR_END);
      nextLoaded = true;
      if (!next.frame) continue;
      for (size_t j = 0; j < next.entries.size() && !after; ++j)
        if (IsGrace(e) || !IsGrace(next.entries[j])) after = &next.entries[j];
      place = &next.place;
    }
    for (int k = 0; k < NoteCount(e); ++k) {
      if (!(e.notes[k].flags & NOTE_TIE)) continue;
      ENOTE n = e.notes[k];
      bool found = false;
      if (after && CarryPitch(cell.place, *place, &n.displacement, &n.raiselower))
        for (int x = 0; x < NoteCount(*after) && !found; ++x)
          found = SamePitch(n, after->notes[x]);
      if (!found) visit(i, k);
    }
  }
}

TieAt TieOf(twobyte staff, twobyte measure, const EXENTRY& e, int note) {
  return TieAt(staff, measure, fourbyte(e.measurepos), twobyte(e.notes[note].displacement),
               twobyte(e.notes[note].raiselower));
}

// The loose ties of the staves' measures from first to last.
std::set<TieAt> LooseTies(const std::vector<twobyte>& staves, twobyte first, twobyte last) {
  std::set<TieAt> loose;
  for (twobyte staff : staves)
    for (int m = first; m <= last; ++m) {
      StaffCell cell;
      LoadStaffCell(&cell, static_cast<twobyte>(m), staff, 0, FAR_END);
      EachLooseTie(cell, static_cast<twobyte>(m), staff, [&](size_t i, int k) {
        loose.insert(TieOf(staff, static_cast<twobyte>(m), cell.entries[i], k));
      });
    }
  return loose;
}

// Takes away the ties into and out of the cells written that lead to no note of their pitch
// now but did before: those of the measures written and of the measures before them.
void CloseTies(const std::set<std::pair<twobyte, twobyte>>& written,
               const std::set<TieAt>& looseBefore) {
  std::set<std::pair<twobyte, twobyte>> cells;
  for (const std::pair<twobyte, twobyte>& w : written) {
    cells.insert(w);
    if (w.second > 1) cells.insert({w.first, static_cast<twobyte>(w.second - 1)});
  }
  for (const std::pair<twobyte, twobyte>& c : cells) {
    StaffCell cell;
    LoadStaffCell(&cell, c.second, c.first, 0, FAR_END);
    bool changed = false;
    EachLooseTie(cell, c.second, c.first, [&](size_t i, int k) {
      if (looseBefore.count(TieOf(c.first, c.second, cell.entries[i], k))) return;
      cell.frame->entries[cell.span.first + i].notes[k].flags &= ~NOTE_TIE;
      changed = true;
    });
    if (changed) cell.cell->Save();
  }
}

// A stretch of a measure, from its start up to (not including) its end.
struct Stretch {
  fourbyte start, end;
};

// The stretches that entries (given as stretches) chained by overlapping cover, each with
// whether a marked one is among them; empty stretches are passed by.
struct Chained {
  Stretch stretch;
  bool marked;
};
std::vector<Chained> Chain(std::vector<Chained> pieces) {
  std::sort(pieces.begin(), pieces.end(),
            [](const Chained& a, const Chained& b) { return a.stretch.start < b.stretch.start; });
  std::vector<Chained> out;
  for (const Chained& p : pieces) {
    if (p.stretch.end <= p.stretch.start) continue;
    if (!out.empty() && p.stretch.start < out.back().stretch.end) {
      out.back().stretch.end = std::max(out.back().stretch.end, p.stretch.end);
      out.back().marked = out.back().marked || p.marked;
    } else {
      out.push_back(p);
    }
  }
  return out;
}

// The stretch of a sorted list that holds pos, or null.
const Stretch* Holding(const std::vector<Stretch>& stretches, fourbyte pos) {
  auto after = std::upper_bound(stretches.begin(), stretches.end(), pos,
                                [](fourbyte p, const Stretch& s) { return p < s.start; });
  if (after == stretches.begin() || pos >= (after - 1)->end) return nullptr;
  return &*(after - 1);
}

// The order of a staff's entries: by position, a grace note before the note it leads to.
bool EarlierInLine(const EXENTRY& a, const EXENTRY& b) {
  fourbyte x = a.measurepos, y = b.measurepos;
  return x != y ? x < y : IsGrace(a) && !IsGrace(b);
}

// ---- Explode ------------------------------------------------------------------------------

// Where the staves below keep their own music: under a single note of the top staff (nothing
// to deal), where the top staff holds nothing (a chord the task left alone), and under every
// chord that a note they keep reaches into, so that none of their notes is cut.
std::vector<Stretch> KeptStretches(const StaffCell& top, const std::vector<StaffCell>& staves,
                                   fourbyte from) {
  std::vector<Chained> pieces;
  fourbyte at = from;
  for (const EXENTRY& e : top.entries) {
    if (IsGrace(e)) continue;
    if (e.measurepos > at + SLACK) pieces.push_back({{at, e.measurepos}, true});
    pieces.push_back({{e.measurepos, EndOf(e)}, NoteCount(e) == 1});
    at = std::max(at, EndOf(e));
  }
  pieces.push_back({{at, FAR_END}, true});
  // A staff below keeps a gap between its entries too: something the task leaves alone may
  // stand there.
  for (size_t j = 1; j < staves.size(); ++j) {
    at = from;
    for (const EXENTRY& e : staves[j].entries) {
      if (IsGrace(e)) continue;
      if (e.measurepos > at + SLACK) pieces.push_back({{at, e.measurepos}, true});
      if (HasNotes(e)) pieces.push_back({{e.measurepos, EndOf(e)}, false});
      at = std::max(at, EndOf(e));
    }
  }
  std::vector<Stretch> kept;
  for (const Chained& c : Chain(pieces))
    if (c.marked) kept.push_back(c.stretch);
  return kept;
}

// Whether a chord of the top staff is dealt: a rest or a chord of two notes or more, outside
// the stretches kept.
bool Dealt(const EXENTRY& e, const std::vector<Stretch>& kept) {
  return NoteCount(e) != 1 && !Holding(kept, e.measurepos);
}

// Whether b carries on a of the same line: the same notes, each tied from a, straight after.
bool TiedOn(const EXENTRY& a, const EXENTRY& b) {
  if (IsGrace(a) || IsGrace(b) || !HasNotes(a) || NoteCount(a) != NoteCount(b) ||
      EndOf(a) != b.measurepos)
    return false;
  for (int k = 0; k < NoteCount(a); ++k)
    if (!(a.notes[k].flags & NOTE_TIE) || !SamePitch(a.notes[k], b.notes[k])) return false;
  return true;
}

// Joins the entries of a line that may join (those dealt) and carry on one another by ties into
// single notes, where the joined length is one written note (as Reduce splits a held note at
// the others' notes). The longest such run from each entry on is taken.
std::vector<EXENTRY> JoinTies(const std::vector<EXENTRY>& line, const std::vector<bool>& dealt) {
  std::vector<EXENTRY> out;
  for (size_t i = 0; i < line.size();) {
    size_t last = i;
    fourbyte sum = line[i].duration, joined = sum;
    for (size_t j = i + 1; dealt[i] && j < line.size() && dealt[j] && TiedOn(line[j - 1], line[j]);
         ++j) {
      sum += line[j].duration;
      if (sum > LONGEST_WRITTEN || line[j].duration <= 0) break;
      if (WrittenLength(sum, false)) {
        last = j;
        joined = sum;
      }
    }
    out.push_back(line[i]);
    if (last > i) {
      EXENTRY& e = out.back();
      e.duration = static_cast<twobyte>(joined);
      for (int k = 0; k < NoteCount(e); ++k)
        e.notes[k].flags = (e.notes[k].flags & ~NOTE_TIE) | (line[last].notes[k].flags & NOTE_TIE);
    }
    i = last + 1;
  }
  return out;
}

// Rests from a up to b where the staff's own entries stood (its gaps stay gaps), cut where
// entries of the top staff start (cuts, in order), so that they keep its rhythm.
void AddRests(fourbyte from, fourbyte to, const std::vector<EXENTRY>& own,
              const std::vector<fourbyte>& cuts, std::vector<EXENTRY>* out) {
  auto o = std::lower_bound(own.begin(), own.end(), from,
                            [](const EXENTRY& e, fourbyte p) { return EndOf(e) <= p; });
  for (; o != own.end() && o->measurepos < to; ++o) {
    fourbyte a = std::max(from, fourbyte(o->measurepos)), b = std::min(to, EndOf(*o));
    while (a < b) {
      fourbyte cut = std::min(b, a + LONGEST_ENTRY);
      auto next = std::upper_bound(cuts.begin(), cuts.end(), a);
      if (next != cuts.end() && *next < cut) cut = *next;
      out->push_back(Rest(a, cut - a));
      a = cut;
    }
  }
}

} // namespace

bool FCSectionLines::_LoadStaves() {
  _staffCount = 0;
  _staves.clear();
  if (!_region || _region->IsEmpty()) return false;
  int first = _region->GetStartSlot(), last = _region->GetEndSlot();
  if (last - first + 1 < 2) return false;
  for (int slot = first; slot <= last; ++slot) {
    twobyte staff = FX_SlotToInst(static_cast<twobyte>(slot), _region->GetStartInstrumentList());
    if (staff <= 0) return false;
    _staves.push_back(staff);
  }
  _staffCount = static_cast<int>(_staves.size());
  return true;
}

void FCSectionLines::_Range(twobyte measure, fourbyte* from, fourbyte* to) const {
  *from = measure == _region->GetStartMeasure() ? _region->GetStartMeasurePos() : 0;
  *to = measure == _region->GetEndMeasure() ? _region->GetEndMeasurePos() : REGION_TO_END;
}

bool FCSectionLines::_EachMeasure(bool (FCSectionLines::*task)(twobyte measure)) {
  _written.clear();
  twobyte first = _region->GetStartMeasure(), last = _region->GetEndMeasure();
  std::set<TieAt> loose = LooseTies(_staves, first > 1 ? first - 1 : first, last);
  bool changed = false;
  for (int m = first; m <= last; ++m)
    changed = (this->*task)(static_cast<twobyte>(m)) || changed;
  CloseTies(_written, loose);
  return changed;
}

bool FCSectionLines::Explode() {
  if (!_LoadStaves()) return false;
  return _EachMeasure(&FCSectionLines::_ExplodeMeasure);
}

bool FCSectionLines::Reduce() {
  _leftAlone.clear();
  _crossings.clear();
  if (!_LoadStaves()) return false;
  return _EachMeasure(&FCSectionLines::_ReduceMeasure);
}

bool FCSectionLines::_ExplodeMeasure(twobyte measure) {
  fourbyte from, to;
  _Range(measure, &from, &to);
  std::vector<StaffCell> staves(_staffCount);
  for (int j = 0; j < _staffCount; ++j)
    LoadStaffCell(&staves[j], measure, _staves[j], from, to);
  const StaffCell& top = staves[0];
  if (!top.frame || top.entries.empty()) return false;
  std::vector<Stretch> kept = KeptStretches(top, staves, from);
  std::vector<fourbyte> topStarts;
  for (const EXENTRY& e : top.entries)
    if (!IsGrace(e)) topStarts.push_back(fourbyte(e.measurepos)); // a copy: the record is packed
  // Where the top staff has a gap, something the task leaves alone may stand: its entries then
  // stay where they are, their ties not joined, so that the cell is not written anew around it.
  bool topGap = false;
  fourbyte at = from;
  for (const EXENTRY& e : top.entries) {
    topGap = topGap || (!IsGrace(e) && e.measurepos > at + SLACK);
    if (!IsGrace(e)) at = std::max(at, EndOf(e));
  }
  // Each staff's line: its own music where it keeps it, the chords' line where they are
  // dealt, a rest where it kept nothing. A chord whose lines cannot all be written stays
  // whole, and every staff keeps its music under it.
  std::vector<std::vector<EXENTRY>> lines(_staffCount);
  for (int j = 0; j < _staffCount; ++j) {
    StaffCell& s = staves[j];
    if (!s.frame) return false;
    std::vector<std::pair<EXENTRY, bool>> line; // each entry, and whether it was dealt
    for (const EXENTRY& c : top.entries) {
      if (!Dealt(c, kept)) continue;
      line.push_back({c, true});
      if (!KeepLine(&line.back().first, j, _staffCount, _top, top.place, s.place)) return false;
      line.back().first.flags2 |= ENTRY2_NOTESCHANGED;
    }
    std::vector<EXENTRY> rests;
    for (const EXENTRY& e : s.entries) {
      const Stretch* in = Holding(kept, e.measurepos);
      if (j == 0 ? Dealt(e, kept) : !in) continue;
      line.push_back({e, false});
      if (in && !HasNotes(e) && EndOf(e) > in->end)
        line.back().first.duration = static_cast<twobyte>(in->end - e.measurepos);
    }
    for (const Stretch& k : kept) {
      if (j == 0) continue;
      fourbyte at = std::max(k.start, from);
      auto e = std::lower_bound(s.entries.begin(), s.entries.end(), at,
                                [](const EXENTRY& x, fourbyte p) { return x.measurepos < p; });
      for (; e != s.entries.end() && e->measurepos < k.end; ++e) {
        if (IsGrace(*e)) continue;
        AddRests(at, e->measurepos, s.entries, topStarts, &rests);
        at = std::max(at, EndOf(*e));
      }
      AddRests(at, k.end, s.entries, topStarts, &rests);
    }
    for (const EXENTRY& r : rests)
      line.push_back({r, false});
    std::stable_sort(line.begin(), line.end(),
                     [](const std::pair<EXENTRY, bool>& a, const std::pair<EXENTRY, bool>& b) {
                       return EarlierInLine(a.first, b.first);
                     });
    std::vector<EXENTRY> entries;
    std::vector<bool> dealt;
    for (const std::pair<EXENTRY, bool>& e : line) {
      entries.push_back(e.first);
      // the top staff's own single notes join the pieces dealt before them
      dealt.push_back(j == 0 ? !topGap : e.second);
    }
    lines[j] = JoinTies(entries, dealt);
  }
  // The staves below first: the top staff keeps its chords until every line has its place.
  bool changed = false, landed = true;
  for (int j = 1; j <= _staffCount; ++j) {
    StaffCell& s = staves[j % _staffCount];
    if (j == _staffCount && !landed) break;
    if (SameMusic(s.entries.data(), lines[j % _staffCount], s.span.count)) continue;
    if (StoreEntries(&s, lines[j % _staffCount])) {
      changed = true;
      _written.insert({_staves[j % _staffCount], measure});
    } else {
      landed = false;
    }
  }
  return changed;
}

namespace {

// The notes of an entry written at the place given, into chord from slot *count on; the
// target's own keep their note numbers, the others take new ones from *nextID. False when a
// pitch does not fit or the chord would pass twelve notes.
bool AddNotes(const EXENTRY& e, bool own, const StaffPlace& from, const StaffPlace& to, bool tiedOn,
              ENOTE chord[MAX_NOTES], int* count, twobyte* nextID) {
  for (int n = 0; n < NoteCount(e); ++n) {
    if (*count == MAX_NOTES) return false;
    ENOTE note = e.notes[n];
    if (!CarryPitch(from, to, &note.displacement, &note.raiselower)) return false;
    if (!own) note.noteID = ++*nextID;
    if (tiedOn) note.flags |= NOTE_TIE;
    chord[(*count)++] = note;
  }
  return true;
}

// Whether a lower staff's note sounds above an upper staff's in the notes given, staff by
// staff in score order (each staff's first and count in the chord).
bool Crossed(const ENOTE chord[MAX_NOTES], const std::vector<std::pair<int, int>>& staves) {
  const ENOTE* lowest = nullptr; // of the staves above
  for (const std::pair<int, int>& s : staves) {
    int end = std::min(s.first + s.second, MAX_NOTES);
    for (int n = s.first; n < end; ++n)
      if (lowest && HigherPitch(chord[n], *lowest)) return true;
    for (int n = s.first; n < end; ++n)
      if (!lowest || HigherPitch(*lowest, chord[n])) lowest = &chord[n];
  }
  return false;
}

} // namespace

// Every onset of any staff becomes a chord on the target staff: a note held across another
// staff's onset is split there and tied on, so every note sounds as before, and a pitch two
// staves share is kept once for each. The measure is read in blocks, each a stretch that the
// staves' notes and the target's entries chain over by overlapping; a block is gathered whole
// or left alone whole (a split no written length can hold, grace notes not every staff has, a
// chord past twelve notes, a stretch where the target holds nothing).
bool FCSectionLines::_ReduceMeasure(twobyte measure) {
  fourbyte from, to;
  _Range(measure, &from, &to);
  std::vector<StaffCell> staves(_staffCount);
  for (int j = 0; j < _staffCount; ++j) {
    LoadStaffCell(&staves[j], measure, _staves[j], from, to);
    if (!staves[j].frame) return false;
  }
  int t = _top ? 0 : _staffCount - 1;
  StaffCell& target = staves[t];
  std::vector<Chained> pieces;
  std::vector<fourbyte> cuts;
  // The other staves' rests are no music to gather: they stay as they are and cut nothing.
  for (int j = 0; j < _staffCount; ++j)
    for (const EXENTRY& e : staves[j].entries)
      if (!IsGrace(e) && (j == t || HasNotes(e))) {
        pieces.push_back({{e.measurepos, EndOf(e)}, false});
        cuts.push_back(fourbyte(e.measurepos)); // a copy: the record is packed
        cuts.push_back(EndOf(e));
      }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  // An end a unit or two before the next start is that start.
  std::vector<fourbyte> apart; // ("near" is a word the Windows headers take)
  for (size_t i = 0; i < cuts.size(); ++i)
    if (i + 1 == cuts.size() || cuts[i + 1] - cuts[i] > SLACK) apart.push_back(cuts[i]);
  cuts.swap(apart);
  std::vector<Stretch> blocks;
  for (const Chained& c : Chain(pieces))
    blocks.push_back(c.stretch);
  std::vector<EXENTRY> gathered;                      // the target's entries after
  std::vector<std::vector<int>> emptied(_staffCount); // entries of each staff gathered away
  std::vector<size_t> next(_staffCount, 0);           // each staff's first entry not yet read
  size_t firstAlone = _leftAlone.size();              // this measure's places from here on
  auto leaveAlone = [&](const EXENTRY& e) {
    if (HasNotes(e)) _leftAlone.push_back({measure, e.measurepos});
  };
  // Grace notes where no stretch is: left alone as they are.
  for (const StaffCell& s : staves)
    for (const EXENTRY& e : s.entries)
      if (IsGrace(e) && !Holding(blocks, e.measurepos)) leaveAlone(e);
  for (const EXENTRY& e : target.entries)
    if (IsGrace(e) && !Holding(blocks, e.measurepos)) gathered.push_back(e);
  for (const Stretch& b : blocks) {
    // Each staff's entries in the block: its grace notes, and its other entries in order.
    std::vector<std::vector<int>> graces(_staffCount), held(_staffCount);
    for (int j = 0; j < _staffCount; ++j)
      for (size_t i = next[j]; i < staves[j].entries.size(); ++i) {
        const EXENTRY& e = staves[j].entries[i];
        if (e.measurepos >= b.end) break;
        next[j] = i + 1;
        if (e.measurepos < b.start || (j != t && !IsGrace(e) && !HasNotes(e))) continue;
        (IsGrace(e) ? graces : held)[j].push_back(static_cast<int>(i));
      }
    std::vector<EXENTRY> chords;
    std::vector<LinePlace> crossings;
    bool fits = true;
    // Grace notes gather where every staff has the same ones.
    for (int j = 0; j < _staffCount && fits; ++j)
      fits = graces[j].size() == graces[t].size();
    for (size_t g = 0; g < graces[t].size() && fits; ++g) {
      EXENTRY chord = target.entries[graces[t][g]];
      int count = 0;
      twobyte nextID = 0;
      for (int n = 0; n < NoteCount(chord); ++n)
        nextID = std::max(nextID, twobyte(chord.notes[n].noteID));
      for (int j = 0; j < _staffCount && fits; ++j) {
        const EXENTRY& e = staves[j].entries[graces[j][g]];
        fits =
            e.measurepos == chord.measurepos && e.duration == chord.duration &&
            AddNotes(e, j == t, staves[j].place, target.place, false, chord.notes, &count, &nextID);
      }
      chord.notecount = static_cast<twobyte>(count);
      chord.flags = count ? (chord.flags | ENTRY_NOTE) & ~ENTRY_RESTNOTERECORD : chord.flags;
      chord.flags2 |= ENTRY2_NOTESCHANGED;
      chords.push_back(chord);
    }
    // Then a chord at every cut, of the notes each staff sounds there.
    std::vector<size_t> at(_staffCount, 0);
    bool crossedBefore = false;
    auto cut = std::lower_bound(cuts.begin(), cuts.end(), b.start);
    for (; fits && cut + 1 != cuts.end() && *cut < b.end; ++cut) {
      fourbyte start = *cut, end = *(cut + 1);
      bool whole = false; // some entry starts here with this length
      const EXENTRY* base = nullptr;
      ENOTE notes[MAX_NOTES];
      memset(notes, 0, sizeof notes);
      int count = 0;
      twobyte nextID = 0;
      std::vector<std::pair<int, int>> voices;
      std::vector<const EXENTRY*> sounding(_staffCount, nullptr);
      for (int j = 0; j < _staffCount; ++j) {
        while (at[j] < held[j].size() && EndOf(staves[j].entries[held[j][at[j]]]) <= start)
          ++at[j];
        if (at[j] == held[j].size()) continue;
        const EXENTRY& e = staves[j].entries[held[j][at[j]]];
        if (e.measurepos > start) continue;
        sounding[j] = &e;
        whole = whole || (e.measurepos == start && EndOf(e) <= end && EndOf(e) + SLACK >= end);
        if (j == t) base = &e;
      }
      for (int n = 0; sounding[t] && n < NoteCount(*sounding[t]); ++n)
        nextID = std::max(nextID, twobyte(sounding[t]->notes[n].noteID));
      for (int j = 0; j < _staffCount && fits; ++j) {
        if (!sounding[j]) continue;
        voices.push_back({count, NoteCount(*sounding[j])});
        fits = AddNotes(*sounding[j], j == t, staves[j].place, target.place,
                        EndOf(*sounding[j]) > end, notes, &count, &nextID);
      }
      EXENTRY chord = base ? *base : Rest(start, end - start);
      chord.measurepos = start;
      chord.duration = static_cast<twobyte>(end - start);
      memcpy(chord.notes, notes, sizeof notes);
      chord.notecount = static_cast<twobyte>(count);
      if (count) chord.flags = (chord.flags | ENTRY_NOTE) & ~ENTRY_RESTNOTERECORD;
      chord.flags2 |= ENTRY2_NOTESCHANGED;
      // Where the target staff holds nothing (a chord the task left alone) nothing is gathered;
      // a rest no note sounds in may be cut as written lengths allow.
      bool written = whole || WrittenLength(end - start, true);
      fits = fits && sounding[t] && (written || (count == 0 && WrittenRests(chord, &chords)));
      if (written) chords.push_back(chord);
      // A chord that did not fit names more notes than it holds: nothing to compare there.
      bool crossed = fits && Crossed(notes, voices);
      if (crossed && !crossedBefore) crossings.push_back({measure, start});
      crossedBefore = crossed;
    }
    if (!fits) {
      for (int j = 0; j < _staffCount; ++j) {
        for (int i : graces[j])
          leaveAlone(staves[j].entries[i]);
        for (int i : held[j])
          leaveAlone(staves[j].entries[i]);
      }
      for (int i : graces[t])
        gathered.push_back(target.entries[i]);
      for (int i : held[t])
        gathered.push_back(target.entries[i]);
      continue;
    }
    gathered.insert(gathered.end(), chords.begin(), chords.end());
    _crossings.insert(_crossings.end(), crossings.begin(), crossings.end());
    for (int j = 0; j < _staffCount; ++j) {
      if (j == t) continue;
      emptied[j].insert(emptied[j].end(), graces[j].begin(), graces[j].end());
      emptied[j].insert(emptied[j].end(), held[j].begin(), held[j].end());
    }
  }
  // Each place once, in order.
  auto byPlace = [](const LinePlace& a, const LinePlace& b) { return a.pos < b.pos; };
  std::sort(_leftAlone.begin() + firstAlone, _leftAlone.end(), byPlace);
  _leftAlone.erase(std::unique(_leftAlone.begin() + firstAlone, _leftAlone.end()),
                   _leftAlone.end());
  std::stable_sort(gathered.begin(), gathered.end(), EarlierInLine);
  if (SameMusic(target.entries.data(), gathered, target.span.count)) return false;
  // The chords first: the other staves are emptied only once their notes have a place. Where
  // the target's entries stand as they were, they take the notes in place.
  if (!StoreEntries(&target, gathered)) return false;
  _written.insert({_staves[t], measure});
  for (int j = 0; j < _staffCount; ++j) {
    StaffCell& s = staves[j];
    bool changed = false;
    // The last first, so that the places of those before hold; a grace note has no length to
    // rest for and goes.
    std::sort(emptied[j].begin(), emptied[j].end(), std::greater<int>());
    for (int i : emptied[j]) {
      EXENTRY* e = &s.frame->entries[s.span.first + i];
      if (!HasNotes(*e)) continue;
      changed = true;
      if (!IsGrace(*e) || FX_DeleteEXENTRY(s.frame, static_cast<twobyte>(s.span.first + i), 1) == 0)
        MakeRest(e);
    }
    if (changed && s.cell->Save()) _written.insert({_staves[j], measure});
  }
  return true;
}
