// The host simulator's record store as tests see it: generic 'ot' records by their six words,
// the order the record services walk keys in, and the log of record transfers.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "score.h"

namespace hostsim {

// Item number the host files its generic records under.
const uint16_t GENERIC_ITEM = 0xFFFE;
// Bytes of one generic record: six 16-bit words.
const int GENERIC_SIZE = 12;

typedef std::array<int16_t, 6> GenericWords;

// The tag of a generic record from its two characters, for example "98" for 'ot98'.
uint32_t GenericTag(const char* chars);
// The key of a generic record: item number and inci, bytes 4 to 7 zero.
RecordKey GenericKey(uint16_t item, int16_t inci);

// Stores a generic record of the front document (six little-endian words).
void PutGeneric(const char* chars, uint16_t item, int16_t inci, const GenericWords& words);
// Reads a generic record back; false when there is none or it is not 12 bytes long.
bool ReadGeneric(const char* chars, uint16_t item, int16_t inci, GenericWords* words);

// Key order of the record services: the key's four 16-bit words compared as unsigned numbers,
// item number first. Answers <0, 0 or >0.
int CompareKeys(const RecordKey& a, const RecordKey& b);

// The record transfers of one service, in order.
std::vector<RecordTransfer> TransfersTo(const std::string& name);

} // namespace hostsim
