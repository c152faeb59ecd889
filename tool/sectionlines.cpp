#include "sectionlines.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "data/fcmusicregion.h"
#include "data/fcnoteentrycell.h"
#include "fxbridge.h"
#include "linepitch.h"

namespace {

const int FIRST_LAYER = 1; // the cell's layer code for the first layer only

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

bool HigherPitch(const ENOTE& a, const ENOTE& b) {
  return a.displacement != b.displacement ? a.displacement > b.displacement
                                          : a.raiselower > b.raiselower;
}

bool SamePitch(const ENOTE& a, const ENOTE& b) {
  return a.displacement == b.displacement && a.raiselower == b.raiselower;
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
// staves: one note each, the last staff the rest as a chord; with fewer notes than staves the
// lowest note is doubled below (dealt from the top) or the highest above (from the bottom).
void LineRanks(int count, int line, int lines, bool fromTop, int* first, int* last) {
  if (count >= lines) {
    *first = line;
    *last = line == lines - 1 ? count - 1 : line;
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

// Whether two runs of entries hold the same music: places, lengths, kinds and pitches with
// their ties.
bool SameMusic(const EXENTRY* a, const std::vector<EXENTRY>& b, int count) {
  if (static_cast<int>(b.size()) != count) return false;
  const FLAG_32 kind = ENTRY_NOTE | ENTRY_GRACENOTE;
  for (int i = 0; i < count; ++i) {
    const EXENTRY &x = a[i], &y = b[i];
    if (x.measurepos != y.measurepos || x.duration != y.duration ||
        (x.flags & kind) != (y.flags & kind) || HasNotes(x) != HasNotes(y))
      return false;
    if (!HasNotes(x)) continue;
    if (SoundNoteCount(x.notecount) != SoundNoteCount(y.notecount)) return false;
    for (int n = 0; n < SoundNoteCount(x.notecount); ++n)
      if (!SamePitch(x.notes[n], y.notes[n]) ||
          (x.notes[n].flags & NOTE_TIE) != (y.notes[n].flags & NOTE_TIE))
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
  std::vector<bool> used;  // per entry of the span: gathered into a chord
  std::vector<int> graces; // grace notes of the span gathered away: they go, having no length
  bool changed = false;
};

void LoadStaffCell(StaffCell* s, twobyte measure, twobyte staff, fourbyte from, fourbyte to) {
  s->cell.reset(new FCNoteEntryCell(measure, staff));
  s->cell->SetLoadLayerMode(FIRST_LAYER);
  if (!s->cell->Load()) return;
  s->frame = s->cell->_GetFrame(0);
  s->place = LoadStaffPlace(measure, staff);
  s->span = FindSpan(s->frame, from, to);
  s->used.assign(s->span.count, false);
}

// The entry of a span at the same place as e (position, length, grace or not) not yet used.
int FindPartner(const StaffCell& s, const EXENTRY& e) {
  for (int i = 0; i < s.span.count; ++i) {
    const EXENTRY& x = s.frame->entries[s.span.first + i];
    if (!s.used[i] && x.measurepos == e.measurepos && x.duration == e.duration &&
        (x.flags & ENTRY_GRACENOTE) == (e.flags & ENTRY_GRACENOTE))
      return i;
  }
  return -1;
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

bool FCSectionLines::Explode() {
  if (!_LoadStaves()) return false;
  bool changed = false;
  for (int m = _region->GetStartMeasure(); m <= _region->GetEndMeasure(); ++m)
    changed = _ExplodeMeasure(static_cast<twobyte>(m)) || changed;
  return changed;
}

bool FCSectionLines::Reduce() {
  _leftAlone = 0;
  if (!_LoadStaves()) return false;
  bool changed = false;
  for (int m = _region->GetStartMeasure(); m <= _region->GetEndMeasure(); ++m)
    changed = _ReduceMeasure(static_cast<twobyte>(m)) || changed;
  return changed;
}

bool FCSectionLines::_ExplodeMeasure(twobyte measure) {
  fourbyte from, to;
  _Range(measure, &from, &to);
  StaffCell top;
  LoadStaffCell(&top, measure, _staves[0], from, to);
  if (!top.frame || top.span.count == 0) return false;
  std::vector<EXENTRY> chords(top.frame->entries + top.span.first,
                              top.frame->entries + top.span.first + top.span.count);
  bool changed = false, landed = true;
  std::vector<EXENTRY> line;
  for (int j = 1; j < _staffCount; ++j) {
    StaffCell staff;
    LoadStaffCell(&staff, measure, _staves[j], from, to);
    line = chords;
    bool fits = staff.frame != nullptr;
    for (EXENTRY& e : line) {
      fits = fits && KeepLine(&e, j, _staffCount, _top, top.place, staff.place);
      e.flags2 |= ENTRY2_NOTESCHANGED;
    }
    if (fits && SameMusic(staff.frame->entries + staff.span.first, line, staff.span.count))
      continue;
    if (fits && ReplaceSpan(staff.frame, staff.span, line) && staff.cell->Save())
      changed = true;
    else
      landed = false;
  }
  // The top staff keeps its own line, once every other line has its place: a chord whose lines
  // could not all be written stays whole.
  if (!landed) return changed;
  for (int i = 0; i < top.span.count; ++i) {
    EXENTRY* e = &top.frame->entries[top.span.first + i];
    twobyte before = e->notecount;
    KeepLine(e, 0, _staffCount, _top, top.place, top.place);
    if (e->notecount != before) {
      e->flags2 |= ENTRY2_NOTESCHANGED;
      top.changed = true;
    }
  }
  if (top.changed && top.cell->Save()) changed = true;
  return changed;
}

bool FCSectionLines::_ReduceMeasure(twobyte measure) {
  fourbyte from, to;
  _Range(measure, &from, &to);
  std::vector<StaffCell> staves(_staffCount);
  for (int j = 0; j < _staffCount; ++j)
    LoadStaffCell(&staves[j], measure, _staves[j], from, to);
  int t = _top ? 0 : _staffCount - 1;
  StaffCell& target = staves[t];
  if (!target.frame) return false;
  std::vector<fourbyte> alone; // positions left alone, counted once each
  std::vector<int> partner(_staffCount);
  for (int i = 0; i < target.span.count; ++i) {
    EXENTRY* e = &target.frame->entries[target.span.first + i];
    bool complete = true, others = false, any = HasNotes(*e);
    for (int j = 0; j < _staffCount; ++j) {
      partner[j] = j == t ? i : FindPartner(staves[j], *e);
      if (partner[j] < 0) {
        complete = false;
        continue;
      }
      bool notes = HasNotes(staves[j].frame->entries[staves[j].span.first + partner[j]]);
      any = any || notes;
      others = others || (notes && j != t);
    }
    if (!complete) {
      if (any) alone.push_back(fourbyte(e->measurepos)); // a copy: the record is packed
      continue;
    }
    // The chord: the target's own notes, then each other staff's in score order.
    ENOTE chord[MAX_NOTES];
    int count = HasNotes(*e) ? SoundNoteCount(e->notecount) : 0;
    memcpy(chord, e->notes, sizeof chord);
    twobyte nextID = 0;
    for (int n = 0; n < count; ++n)
      if (chord[n].noteID > nextID) nextID = chord[n].noteID;
    bool fits = true;
    for (int j = 0; j < _staffCount && fits; ++j) {
      if (j == t) continue;
      const EXENTRY& x = staves[j].frame->entries[staves[j].span.first + partner[j]];
      if (!HasNotes(x)) continue;
      for (int n = 0; n < SoundNoteCount(x.notecount) && fits; ++n) {
        ENOTE note = x.notes[n];
        if (!CarryPitch(staves[j].place, target.place, &note.displacement, &note.raiselower)) {
          fits = false;
          break;
        }
        bool doubled = false;
        for (int k = 0; k < count; ++k)
          doubled = doubled || SamePitch(chord[k], note);
        if (doubled) continue;
        if (count == MAX_NOTES) {
          fits = false;
          break;
        }
        note.noteID = ++nextID;
        chord[count++] = note;
      }
    }
    if (!fits) {
      alone.push_back(fourbyte(e->measurepos));
      continue;
    }
    for (int j = 0; j < _staffCount; ++j)
      staves[j].used[partner[j]] = true;
    if (!others) continue;
    if (!HasNotes(*e)) {
      e->flags |= ENTRY_NOTE;
      e->flags &= ~ENTRY_RESTNOTERECORD;
    }
    memcpy(e->notes, chord, sizeof chord);
    e->notecount = static_cast<twobyte>(count);
    e->flags2 |= ENTRY2_NOTESCHANGED;
    target.changed = true;
    for (int j = 0; j < _staffCount; ++j) {
      if (j == t) continue;
      EXENTRY* x = &staves[j].frame->entries[staves[j].span.first + partner[j]];
      if (!HasNotes(*x)) continue;
      if (x->flags & ENTRY_GRACENOTE)
        staves[j].graces.push_back(partner[j]);
      else
        MakeRest(x);
      staves[j].changed = true;
    }
  }
  // Notes of the other staves at places the target has no partner for.
  for (int j = 0; j < _staffCount; ++j) {
    if (j == t || !staves[j].frame) continue;
    for (int i = 0; i < staves[j].span.count; ++i) {
      const EXENTRY& x = staves[j].frame->entries[staves[j].span.first + i];
      if (!staves[j].used[i] && HasNotes(x)) alone.push_back(fourbyte(x.measurepos));
    }
  }
  for (size_t a = 0; a < alone.size(); ++a) {
    bool seen = false;
    for (size_t b = 0; b < a; ++b)
      seen = seen || alone[b] == alone[a];
    if (!seen) ++_leftAlone;
  }
  // The chords first: the other staves are emptied only once their notes have a place.
  if (!target.changed || !target.cell->Save()) return false;
  for (StaffCell& s : staves) {
    if (&s == &target || !s.changed) continue;
    // The last first, so that the places of those before hold.
    std::sort(s.graces.begin(), s.graces.end(), std::greater<int>());
    for (int g : s.graces)
      if (FX_DeleteEXENTRY(s.frame, static_cast<twobyte>(s.span.first + g), 1) == 0)
        MakeRest(&s.frame->entries[s.span.first + g]);
    s.cell->Save();
  }
  return true;
}
