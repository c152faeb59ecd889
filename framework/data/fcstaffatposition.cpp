#include "fcstaffatposition.h"

#include "fccell.h"
#include "fcnoteentry.h"

bool FCCurrentStaffSpec::Load(FCNoteEntry* entry) {
  if (!entry) return false;
  return _LoadAt(entry->GetStaff(), entry->GetMeasure(), entry->GetMeasurePos());
}

bool FCCurrentStaffSpec::Load(FCCell* cell, long position) {
  if (!cell) return false;
  return _LoadAt(static_cast<twobyte>(cell->GetStaff()), static_cast<twobyte>(cell->GetMeasure()),
                 static_cast<fourbyte>(position));
}

bool FCCurrentStaffSpec::_LoadAt(twobyte staff, twobyte measure, fourbyte position) {
  _SetKeyWord(0, static_cast<utwobyte>(staff));
  _SetKeyWord(1, static_cast<utwobyte>(measure));
  _SetKeyFourbyte(4, position);
  return LoadDataBlock();
}
