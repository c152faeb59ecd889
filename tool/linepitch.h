// A note's pitch carried from one staff to another at the same sounding pitch. The host keeps
// every note at concert pitch, counted from the tonic of the key in effect in its cell, and
// shows a transposing staff written itself: carrying a note is a matter of the two cells' keys.
#pragma once
#include "hostapi/fxtypes.h"

// Where a note is written: the key word in effect in its cell.
struct StaffPlace {
  utwobyte keyword = 0;
};

// The place of a staff in a measure, as the host reports it.
StaffPlace LoadStaffPlace(twobyte measure, twobyte staff);

// Rewrites a displacement and raise/lower written at from so that the note sounds the same
// written at to: the letter stays, the displacement follows the tonic and the raise/lower the
// signature. False, changing nothing, when the result does not fit the note slot.
bool CarryPitch(const StaffPlace& from, const StaffPlace& to, twobyte* displacement,
                twobyte* raiselower);
