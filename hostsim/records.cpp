#include "records.h"

#include "hostapi/fxtags.h"

namespace hostsim {

namespace {
uint16_t Word(const RecordKey& k, int i) {
  return static_cast<uint16_t>(k[2 * i] | (k[2 * i + 1] << 8));
}
} // namespace

uint32_t GenericTag(const char* chars) {
  return GenericRecordTag(chars);
}

RecordKey GenericKey(uint16_t item, int16_t inci) {
  return MakeKey(item, static_cast<uint16_t>(inci));
}

void PutGeneric(const char* chars, uint16_t item, int16_t inci, const GenericWords& words) {
  std::vector<uint8_t> bytes(GENERIC_SIZE);
  for (int i = 0; i < 6; ++i) {
    uint16_t w = static_cast<uint16_t>(words[i]);
    bytes[2 * i] = static_cast<uint8_t>(w & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>(w >> 8);
  }
  PutRecord(GenericTag(chars), GenericKey(item, inci), bytes);
}

bool ReadGeneric(const char* chars, uint16_t item, int16_t inci, GenericWords* words) {
  const std::vector<uint8_t>* bytes = FindRecord(GenericTag(chars), GenericKey(item, inci));
  if (!bytes || bytes->size() != GENERIC_SIZE) return false;
  for (int i = 0; i < 6; ++i)
    (*words)[i] = static_cast<int16_t>((*bytes)[2 * i] | ((*bytes)[2 * i + 1] << 8));
  return true;
}

int CompareKeys(const RecordKey& a, const RecordKey& b) {
  for (int i = 0; i < 4; ++i) {
    uint16_t wa = Word(a, i), wb = Word(b, i);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return 0;
}

std::vector<RecordTransfer> TransfersTo(const std::string& name) {
  std::vector<RecordTransfer> out;
  for (auto& t : TheHost().transfers)
    if (t.name == name) out.push_back(t);
  return out;
}

} // namespace hostsim
