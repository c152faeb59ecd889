// A staff's transposition, kept in its staff record as the host keeps it.
#include "hostapi/fxtags.h"
#include "score.h"

namespace hostsim {

namespace {
const int DIATONIC_OFFSET = 36;  // signed 16-bit: steps from written to sounding
const int CHROMATIC_OFFSET = 38; // signed 16-bit: semitones from written to sounding

void PutWord(std::vector<uint8_t>& record, int offset, int16_t value) {
  if (record.size() < static_cast<size_t>(offset + 2)) record.resize(offset + 2, 0);
  record[offset] = static_cast<uint8_t>(static_cast<uint16_t>(value) & 0xFF);
  record[offset + 1] = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
}
} // namespace

void SetStaffTransposition(int16_t staff, int16_t diatonic, int16_t chromatic) {
  auto& r = Doc().records[{TAG_SOIS, MakeKey(static_cast<uint16_t>(staff))}];
  if (r.size() < 114) r.resize(114, 0);
  PutWord(r, DIATONIC_OFFSET, diatonic);
  PutWord(r, CHROMATIC_OFFSET, chromatic);
}

} // namespace hostsim
