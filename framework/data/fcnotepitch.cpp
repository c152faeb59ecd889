// Pitch comparisons that need the key in effect: sounding pitch, identical pitch, the search
// of an entry for a pitch and the letter of a note.
#include "fccell.h"
#include "fckeysignature.h"
#include "fcnote.h"
#include "fcnoteentry.h"
#include "fcstaffatposition.h"
#include "fxbridge.h"

twobyte FCNote::CalcMIDIKey() {
  if (!_pSlot) return 0;
  return FX_NoteToMidi(_pSlot, static_cast<twobyte>(CalcKeyWordInEffect()));
}

utwobyte FCNote::CalcKeyWordInEffect() {
  // A pitch without an entry has no key in effect; it is taken in key word 0.
  if (!_pEntry) return 0;
  FCCurrentStaffSpec staffAt;
  if (staffAt.Load(_pEntry) && staffAt.GetIgnoreKeySignature()) return 0;
  FCCell cell(_pEntry->GetMeasure(), _pEntry->GetStaff());
  return cell.GetKeySignature()->GetKeyWord();
}

bool FCNote::IsIdenticalPitch(FCNote* other) {
  if (!other) return false;
  bool sameKey = true;
  if (_pEntry && other->_pEntry) {
    FCCell mine(_pEntry->GetMeasure(), _pEntry->GetStaff());
    FCCell theirs(other->_pEntry->GetMeasure(), other->_pEntry->GetStaff());
    sameKey = mine.GetKeySignature()->IsIdentical(theirs.GetKeySignature());
  }
  if (sameKey)
    return GetDisplacement() == other->GetDisplacement() &&
           GetRaiseLower() == other->GetRaiseLower();
  return CalcMIDIKey() == other->CalcMIDIKey();
}

int FCNote::CalcPitchChar() {
  if (!_pEntry || !_pEntry->IsNote()) return 0;
  FCCell cell(_pEntry->GetMeasure(), _pEntry->GetStaff());
  int root = cell.GetKeySignature()->CalcScaleRootIndex();
  if (root < 0) return 0; // a non-standard key names no letter
  int letter = (root + GetDisplacement()) % 7;
  if (letter < 0) letter += 7;
  return 'A' + letter;
}

FCNote* FCNoteEntry::FindPitch(FCNote* pitch) {
  if (!pitch || IsRest()) return nullptr;
  for (int i = 0; i < GetCount(); ++i)
    if (GetItemAt(i)->IsIdenticalPitch(pitch)) return GetItemAt(i);
  return nullptr;
}
