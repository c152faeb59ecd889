#include "fcindependentcelldetail.h"

#include <cstring>

FCIndependentCellDetail::FCIndependentCellDetail() {
  memset(_record, 0, sizeof _record);
}

twobyte FCIndependentCellDetail::GetKeySignatureValue() const {
  return RecordWord(_record, 0);
}

bool FCIndependentCellDetail::GetHasKeySignature() const {
  return (static_cast<utwobyte>(RecordWord(_record, 8)) & 0x0800) != 0;
}

void FCIndependentCellDetail::CloneMemoryFrom(__FCBaseData* other) {
  if (other) _CloneIntoBuffer(other, _record, RECORD_SIZE);
}
