#include "fcstaff.h"

#include <cstring>

FCStaff::FCStaff() {
  memset(_record, 0, sizeof _record);
}

utwobyte FCStaff::GetFlags() const {
  return static_cast<utwobyte>(RecordWord(_record, 22));
}

bool FCStaff::LoadFirst() {
  _SetKeyWord(0, 0);
  _SetKeyWord(1, 0);
  return LoadNext();
}

void FCStaff::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}
