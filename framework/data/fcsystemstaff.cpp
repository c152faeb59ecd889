#include "fcsystemstaff.h"

#include <cstring>

FCSystemStaff::FCSystemStaff() {
  memset(_record, 0, sizeof _record);
}

twobyte FCSystemStaff::GetStaff() const {
  return RecordWord(_record, 0);
}

void FCSystemStaff::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}
