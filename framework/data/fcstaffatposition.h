#pragma once
#include "fcstaff.h"

class FCCell;
class FCNoteEntry;

// The staff's settings as they apply at one position of one measure: 'SOSC', keyed by staff,
// measure and position. Read-only.
class FCCurrentStaffSpec : public FCStaff {
public:
  const char* ClassName() override { return "FCCurrentStaffSpec"; }
  __FCBaseData* CreateObject() override { return new FCCurrentStaffSpec(); }
  EXTAG Tag() override { return TAG_SOSC; }
  bool Save() override { return false; }
  bool Load(utwobyte) override { return false; }
  bool SaveAs(utwobyte) override { return false; }
  bool SaveNew() override { return false; }
  utwobyte GetItemNo() override { return 0; }

  // The settings at a note entry: its staff, its measure and its position in the measure.
  bool Load(FCNoteEntry* entry);
  // The settings in a cell at a position (0: the start of the measure).
  bool Load(FCCell* cell, long position);

  // Loads the staff's settings at a position (duration units from the start of the measure).
  bool _LoadAt(twobyte staff, twobyte measure, fourbyte position);
};
