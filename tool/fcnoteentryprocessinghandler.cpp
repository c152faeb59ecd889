#include "fcnoteentryprocessinghandler.h"

#include "data/fckeysignature.h"
#include "data/fcnote.h"
#include "data/fcnoteentry.h"

namespace {

const int OCTAVE = 7; // displacement steps
const int SECOND = 1;
const int THIRD = 2;
const int FOURTH = 3;
const int FIFTH = 4;
const int SIXTH = 5;
const int SEVENTH = 6;

// Note flags AddInterval carries from the source note to the added one.
const FLAG_32 FLAG_TIE = NOTE_TIE;
const FLAG_32 FLAG_ACCIDENTAL = NOTE_ACCIDENTAL;
const FLAG_32 FLAG_HOST_0002 = 0x00000002;
const FLAG_32 FLAG_HOST_0080 = 0x00800000;

// The drop tasks' length rule: at least minimum notes, exactly four when the user's options
// ask for four-note drop chords only.
bool DropApplies(FCNoteEntry* entry, int minimum, bool fournoteonly) {
  int count = entry->GetCount();
  if (fournoteonly) return count == 4;
  return count >= minimum;
}

// A displacement is a signed 16-bit word in the note slot: a step past either end would wrap
// round to the other end of the range, so such a step or added note is not made.
bool InRange(int displacement) {
  return displacement >= -0x8000 && displacement <= 0x7FFF;
}

bool CanStep(FCNote* note, int steps) {
  return InRange(note->GetDisplacement() + steps);
}

void Step(FCNote* note, int steps) {
  note->SetDisplacement(static_cast<twobyte>(note->GetDisplacement() + steps));
}

bool SamePitch(FCNote* a, FCNote* b) {
  return a->GetDisplacement() == b->GetDisplacement() && a->GetRaiseLower() == b->GetRaiseLower();
}

void CopyFlag(FCNote* from, FCNote* to, FLAG_32 flag) {
  to->SetNoteFlag(flag, (from->GetNoteFlags() & flag) != 0);
}

// Marks every note except keep; answers whether any note was marked.
bool MarkAllBut(FCNoteEntry* entry, FCNote* keep, FCNote* keepToo) {
  bool marked = false;
  for (int i = 0; i < entry->GetCount(); ++i) {
    FCNote* note = entry->GetItemAt(i);
    if (note == keep || note == keepToo) continue;
    note->MarkForDelete();
    marked = true;
  }
  return marked;
}

// The host's sounding pitches of source and of added (with the key's own accidental), for a
// key whose scale the tool cannot read itself: false when either lies at an end of the host's
// range, where it may have been cut off.
bool HostSemitones(FCNote* source, FCNote* added, fourbyte* from, fourbyte* to) {
  *from = source->CalcMIDIKey();
  *to = added->CalcMIDIKey();
  return *from > 0 && *from < 127 && *to > 0 && *to < 127;
}

} // namespace

bool FCNoteEntryProcessingHandler::Iterate(__FCBase* object) {
  FCNoteEntry* entry = static_cast<FCNoteEntry*>(object);
  if (!entry || entry->IsRest()) return true;
  if (_RunTask(entry)) {
    _changed = true;
    entry->SetNotesChangedFlag();
  }
  return true;
}

bool FCNoteEntryProcessingHandler::_RunTask(FCNoteEntry* entry) {
  switch (_taskid) {
  case ChordTask::AddThird:
    return AddThird(entry);
  case ChordTask::AddOctave:
    return AddOctave(entry);
  case ChordTask::AddReverseOctave:
    return AddReverseOctave(entry);
  case ChordTask::DeleteOctaves:
    return DeleteOctaves(entry);
  case ChordTask::DeleteOuterNote:
    return DeleteOuterNote(entry);
  case ChordTask::DeleteUnisons:
    return DeleteUnisons(entry);
  case ChordTask::Drop2nd:
    return Drop2nd(entry);
  case ChordTask::Drop3rd:
    return Drop3rd(entry);
  case ChordTask::Drop4th:
    return Drop4th(entry);
  case ChordTask::Drop2ndAnd4th:
    return Drop2ndAnd4th(entry);
  case ChordTask::KeepLines:
    return KeepLines(entry);
  case ChordTask::KeepSpecificLine:
    return KeepSpecificLine(entry);
  case ChordTask::Rotate:
    return Rotate(entry);
  case ChordTask::TransposeOctave:
    return TransposeOctave(entry);
  case ChordTask::TransposeOctaveChord:
    return TransposeOctaveChord(entry);
  case ChordTask::UnisonsToOctaves:
    return UnisonsToOctaves(entry);
  case ChordTask::AddSecond:
    return AddSecond(entry);
  case ChordTask::AddFourth:
    return AddFourth(entry);
  case ChordTask::AddFifth:
    return AddFifth(entry);
  case ChordTask::AddSixth:
    return AddSixth(entry);
  case ChordTask::AddSeventh:
    return AddSeventh(entry);
  case ChordTask::ClosePosition:
    return ClosePosition(entry);
  default:
    return false;
  }
}

bool FCNoteEntryProcessingHandler::AddInterval(FCNoteEntry* entry, int interval, bool checkexisting,
                                               bool copyflags) {
  FCNote* source = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  if (!source) return false;
  if (!_top) interval = -interval;
  if (!CanStep(source, interval)) return false;
  twobyte displacement = static_cast<twobyte>(source->GetDisplacement() + interval);
  twobyte raiselower = source->GetRaiseLower();
  if (checkexisting) {
    FCNotePitch pitch;
    pitch.SetDisplacement(displacement);
    pitch.SetRaiseLower(raiselower);
    if (entry->FindPitch(&pitch)) return false;
  }
  FCNote* added = entry->AddNewNote();
  if (!added) return false;
  added->SetDisplacement(displacement);
  added->SetRaiseLower(raiselower);
  CopyFlag(source, added, FLAG_TIE);
  if (copyflags) {
    CopyFlag(source, added, FLAG_ACCIDENTAL);
    CopyFlag(source, added, FLAG_HOST_0002);
    CopyFlag(source, added, FLAG_HOST_0080);
  }
  return true;
}

// A raise/lower is an alteration against the key signature, so the key's own accidental is a
// raise/lower of 0: F#5 over D#5 in E minor rather than F##5, F5 over Db5 in B-flat major
// rather than Fb5. A fourth or a fifth from a note the key does not hold would then be
// augmented or diminished (A4 over Db4 in F major); a musician writes it perfect (Ab4), so its
// alteration is what makes the perfect interval. In a key of the host's own, one given letter
// by letter, the host's sounding pitches measure it; where even those fail the key's own
// accidental stays.
bool FCNoteEntryProcessingHandler::AddDiatonicInterval(FCNoteEntry* entry, int interval,
                                                       bool inKey) {
  FCNote* source = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  if (!AddInterval(entry, interval, false, false)) return false;
  if (!inKey) return true;
  FCNote* added = entry->GetItemAt(entry->GetCount() - 1); // the added note is the entry's last
  added->SetRaiseLower(0);
  if ((interval != FOURTH && interval != FIFTH) || source->GetRaiseLower() == 0) return true;
  FCKeySignature key;
  key.SetKeyWord(source->CalcKeyWordInEffect());
  fourbyte from = 0, to = 0;
  bool read = key.CalcSemitones(source->GetDisplacement(), source->GetRaiseLower(), &from) &&
              key.CalcSemitones(added->GetDisplacement(), 0, &to);
  if (!read && !HostSemitones(source, added, &from, &to)) return true;
  int perfect = interval == FIFTH ? 7 : 5; // semitones
  int raiselower = from + (_top ? perfect : -perfect) - to;
  if (raiselower >= -0x8000 && raiselower <= 0x7FFF)
    added->SetRaiseLower(static_cast<twobyte>(raiselower));
  return true;
}

// Add Third keeps its source's alteration unless the options ask for the key's spelling; the
// intervals added later are spelt in the key.
bool FCNoteEntryProcessingHandler::AddThird(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, THIRD, _rules.spellInKey);
}

bool FCNoteEntryProcessingHandler::AddSecond(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, SECOND, true);
}

bool FCNoteEntryProcessingHandler::AddFourth(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, FOURTH, true);
}

bool FCNoteEntryProcessingHandler::AddFifth(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, FIFTH, true);
}

bool FCNoteEntryProcessingHandler::AddSixth(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, SIXTH, true);
}

bool FCNoteEntryProcessingHandler::AddSeventh(FCNoteEntry* entry) {
  return AddDiatonicInterval(entry, SEVENTH, true);
}

bool FCNoteEntryProcessingHandler::AddOctave(FCNoteEntry* entry) {
  return AddInterval(entry, OCTAVE, false, true);
}

// The octave goes inwards: below the top note, or above the bottom one.
bool FCNoteEntryProcessingHandler::AddReverseOctave(FCNoteEntry* entry) {
  return AddInterval(entry, -OCTAVE, true, false);
}

// Of each pair of notes an octave apart, the upper (_top) or the lower note goes.
bool FCNoteEntryProcessingHandler::DeleteOctaves(FCNoteEntry* entry) {
  int count = entry->GetCount();
  if (count < 1) return false;
  int offset = _top ? OCTAVE : -OCTAVE;
  bool marked = false;
  for (int i = 0; i < count; ++i) {
    FCNote* p = entry->GetItemAt(i);
    for (int j = 0; j < count; ++j) {
      FCNote* q = entry->GetItemAt(j);
      if (i == j || q->GetDisplacement() != p->GetDisplacement() + offset ||
          q->GetRaiseLower() != p->GetRaiseLower())
        continue;
      q->MarkForDelete();
      marked = true;
    }
  }
  return marked;
}

bool FCNoteEntryProcessingHandler::DeleteOuterNote(FCNoteEntry* entry) {
  if (entry->GetCount() < 2) return false;
  FCNote* edge = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  edge->MarkForDelete();
  return true;
}

// The first note of each group of identical pitches stays.
bool FCNoteEntryProcessingHandler::DeleteUnisons(FCNoteEntry* entry) {
  int count = entry->GetCount();
  bool marked = false;
  for (int i = 0; i < count; ++i)
    for (int j = i + 1; j < count; ++j) {
      FCNote* q = entry->GetItemAt(j);
      if (!SamePitch(entry->GetItemAt(i), q)) continue;
      q->MarkForDelete();
      marked = true;
    }
  return marked;
}

bool FCNoteEntryProcessingHandler::Drop2nd(FCNoteEntry* entry) {
  if (!DropApplies(entry, 2, _rules.fourNoteDropChords)) return false;
  FCNote* second = entry->FindHighestNote(entry->FindHighestNote());
  if (!second || !CanStep(second, -OCTAVE)) return false;
  Step(second, -OCTAVE);
  return true;
}

bool FCNoteEntryProcessingHandler::Drop3rd(FCNoteEntry* entry) {
  if (!DropApplies(entry, 3, _rules.fourNoteDropChords)) return false;
  FCNote* second = entry->FindHighestNote(entry->FindHighestNote());
  FCNote* third = second ? entry->FindHighestNote(second) : nullptr;
  if (!third || !CanStep(third, -OCTAVE)) return false;
  Step(third, -OCTAVE);
  return true;
}

bool FCNoteEntryProcessingHandler::Drop4th(FCNoteEntry* entry) {
  if (!DropApplies(entry, 4, _rules.fourNoteDropChords)) return false;
  FCNote* lowest = entry->FindLowestNote();
  if (!CanStep(lowest, -OCTAVE)) return false;
  Step(lowest, -OCTAVE);
  return true;
}

// On a chord of two distinct pitches the second highest note is also the lowest one; it drops
// one octave like every other dropped note, not two.
bool FCNoteEntryProcessingHandler::Drop2ndAnd4th(FCNoteEntry* entry) {
  if (!DropApplies(entry, 4, _rules.fourNoteDropChords)) return false;
  FCNote* second = entry->FindHighestNote(entry->FindHighestNote());
  if (!second) return false;
  FCNote* lowest = entry->FindLowestNote();
  if (!CanStep(second, -OCTAVE) || !CanStep(lowest, -OCTAVE)) return false;
  Step(second, -OCTAVE);
  if (lowest != second) Step(lowest, -OCTAVE);
  return true;
}

// Only the highest and the lowest note objects stay.
bool FCNoteEntryProcessingHandler::KeepLines(FCNoteEntry* entry) {
  if (entry->GetCount() < 3) return false;
  MarkAllBut(entry, entry->FindHighestNote(), entry->FindLowestNote());
  return true;
}

bool FCNoteEntryProcessingHandler::KeepSpecificLine(FCNoteEntry* entry) {
  if (entry->GetCount() < 2) return false;
  FCNote* keep = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  MarkAllBut(entry, keep, keep);
  return true;
}

// Chords within an octave only: the bottom note goes up an octave, or the top note down.
bool FCNoteEntryProcessingHandler::Rotate(FCNoteEntry* entry) {
  if (entry->GetCount() < 2) return false;
  FCNote* highest = entry->FindHighestNote();
  FCNote* lowest = entry->FindLowestNote();
  if (highest->GetDisplacement() - lowest->GetDisplacement() > OCTAVE - 1) return false;
  FCNote* moved = _top ? lowest : highest;
  int steps = _top ? OCTAVE : -OCTAVE;
  if (!CanStep(moved, steps)) return false;
  Step(moved, steps);
  return true;
}

bool FCNoteEntryProcessingHandler::TransposeOctave(FCNoteEntry* entry) {
  if (entry->GetCount() < 2) return false;
  FCNote* edge = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  int steps = _top ? OCTAVE : -OCTAVE;
  if (!CanStep(edge, steps)) return false;
  Step(edge, steps);
  return true;
}

bool FCNoteEntryProcessingHandler::TransposeOctaveChord(FCNoteEntry* entry) {
  int count = entry->GetCount();
  if (count < 2) return false;
  int steps = _top ? OCTAVE : -OCTAVE;
  for (int i = 0; i < count; ++i)
    if (!CanStep(entry->GetItemAt(i), steps)) return false;
  for (int i = 0; i < count; ++i)
    Step(entry->GetItemAt(i), steps);
  return true;
}

// Each later repeat of a pitch moves an octave; pitches are compared as they stand, moves
// already made included. The moves are worked out first, so that a chord one of whose moves
// would leave the displacement range is left as it was.
bool FCNoteEntryProcessingHandler::UnisonsToOctaves(FCNoteEntry* entry) {
  int count = entry->GetCount();
  int to[MAX_NOTES]; // an entry holds at most MAX_NOTES notes; no heap work per entry
  if (count > MAX_NOTES) return false;
  for (int i = 0; i < count; ++i)
    to[i] = entry->GetItemAt(i)->GetDisplacement();
  bool moved = false;
  for (int i = 0; i < count; ++i)
    for (int j = i + 1; j < count; ++j) {
      if (to[i] != to[j] ||
          entry->GetItemAt(i)->GetRaiseLower() != entry->GetItemAt(j)->GetRaiseLower())
        continue;
      to[j] += _top ? OCTAVE : -OCTAVE;
      moved = true;
    }
  if (!moved) return false;
  for (int i = 0; i < count; ++i)
    if (!InRange(to[i])) return false;
  for (int i = 0; i < count; ++i)
    entry->GetItemAt(i)->SetDisplacement(static_cast<twobyte>(to[i]));
  return true;
}

// Every note moves by whole octaves into close position under the top note (or over the
// bottom note), in the written-pitch order the edge notes are found by. A pitch class written
// more than once keeps its notes stacked as they were: the one nearest the edge goes to the
// closed place, the next an octave further out, and so on, so that the chord keeps its
// doublings and gains no unison (an octave doubling of the edge stays an octave away). A unison
// written in the chord stays one. As with Unisons to Octaves the moves are worked out first,
// so a chord with a move out of the displacement range, or with nothing to move, is left as it
// was.
bool FCNoteEntryProcessingHandler::ClosePosition(FCNoteEntry* entry) {
  int count = entry->GetCount();
  if (count < 2 || count > MAX_NOTES) return false;
  FCNote* edge = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  if (!edge) return false;
  int edged = edge->GetDisplacement();
  int edgerl = edge->GetRaiseLower();
  int outwards = _top ? -OCTAVE : OCTAVE;
  int d[MAX_NOTES], rl[MAX_NOTES], place[MAX_NOTES];
  for (int i = 0; i < count; ++i) {
    FCNote* note = entry->GetItemAt(i);
    d[i] = note->GetDisplacement();
    rl[i] = note->GetRaiseLower();
    // The note's step counted from the edge note's, 0 to 6: the nearest such step inwards.
    int step = ((d[i] - edged) % OCTAVE + OCTAVE) % OCTAVE;
    if (step != 0)
      place[i] = _top ? edged - OCTAVE + step : edged + step;
    else if (rl[i] == edgerl) // the edge's own pitch class: the edge is its closed place
      place[i] = edged;
    else // the edge's step: inside only when its alteration lies inwards of the edge's
      place[i] = (_top ? rl[i] < edgerl : rl[i] > edgerl) ? edged : edged + outwards;
  }
  int to[MAX_NOTES];
  bool moved = false;
  for (int i = 0; i < count; ++i) {
    // How many other written pitches of its class lie nearer the edge: that many octaves out.
    int level = 0;
    for (int j = 0; j < count; ++j) {
      bool nearer = _top ? d[j] > d[i] : d[j] < d[i];
      if (!nearer || place[j] != place[i] || rl[j] != rl[i]) continue;
      bool repeat = false; // the same written pitch counted already
      for (int k = 0; k < j && !repeat; ++k)
        repeat = d[k] == d[j] && rl[k] == rl[j];
      if (!repeat) ++level;
    }
    to[i] = place[i] + level * outwards;
    if (to[i] != d[i]) moved = true;
  }
  if (!moved) return false;
  for (int i = 0; i < count; ++i)
    if (!InRange(to[i])) return false;
  for (int i = 0; i < count; ++i)
    entry->GetItemAt(i)->SetDisplacement(static_cast<twobyte>(to[i]));
  return true;
}
