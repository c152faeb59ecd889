// A note's pitch carried from one staff to another at the same sounding pitch: each staff
// writes it in the key of its own cell and through its own transposition (a B-flat trumpet
// is written a major second above what sounds).
#pragma once
#include "data/fcstaff.h"

// A staff's transposition from the staff record: what sounds is the written pitch moved by
// these many steps and semitones (-1 and -2 for a B-flat instrument). 0 and 0 for a staff in
// concert pitch, or when the record does not load.
class FCStaffTransposition : public FCStaff {
public:
  const char* ClassName() override { return "FCStaffTransposition"; }
  twobyte GetDiatonic() const { return RecordWord(_record, DIATONIC_OFFSET); }
  twobyte GetChromatic() const { return RecordWord(_record, CHROMATIC_OFFSET); }

  static constexpr int DIATONIC_OFFSET = 36;
  static constexpr int CHROMATIC_OFFSET = 38;
};

// Where a note is written: the key word in effect in its cell and its staff's transposition.
struct StaffPlace {
  utwobyte keyword = 0;
  twobyte diatonic = 0;
  twobyte chromatic = 0;
};

// The place of a staff in a measure, as the host reports it.
StaffPlace LoadStaffPlace(twobyte measure, twobyte staff);
// The same with the staff's transposition already known: only the cell's key is looked up.
StaffPlace LoadStaffPlace(twobyte measure, twobyte staff, const StaffPlace& transposition);

// Rewrites a displacement and raise/lower written at from so that the note sounds the same
// written at to: the letter moves with the transpositions' steps, the alteration follows.
// False, changing nothing, when the result does not fit the note slot.
bool CarryPitch(const StaffPlace& from, const StaffPlace& to, twobyte* displacement,
                twobyte* raiselower);
