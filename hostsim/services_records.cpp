// Host services: typed record transfers over the front document's record store, and alerts.
//
// What the simulated host does with each transfer (every call is logged with its version word,
// and entered in the transfer log with the key and size it arrived with):
// - Load: a null buffer is a size query (the stored size is written back). A buffer smaller than
//   the record fails and receives nothing (unless the tag is one whose loads copy what fits);
//   otherwise the whole record is copied and its size written back.
// - Save: stores exactly the bytes given, replacing the record; a record that does not exist is
//   not created (that is what create is for) and the save fails.
// - Create: a key word of 0xFFFF asks the host to choose: item number 0xFFFF a new item number
//   (inci 0), inci 0xFFFF in the second word (item-numbered keys) or in the third word (cell
//   keys) the next inci under the rest of the key. An explicit key that is taken fails. The key
//   the host chose is written back.
// - Next / previous: move the key to the nearest stored record of the same tag in key order
//   (the four key words as unsigned numbers, item number first). With a buffer the record is
//   copied too, when it fits. With nextGoesRound, "next" past the last record answers the first.
// Null keys, null size pointers, negative sizes and null buffers with a positive size fail
// without touching anything.
#include <cstring>

#include "exports.h"
#include "hostsim.h"
#include "records.h"

using namespace hostsim;

namespace {

typedef std::map<std::pair<uint32_t, RecordKey>, std::vector<uint8_t>> Store;

RecordKey KeyOf(const void* key) {
  RecordKey k = {};
  if (key) memcpy(k.data(), key, k.size());
  return k;
}

uint16_t Word(const RecordKey& k, int i) {
  return static_cast<uint16_t>(k[2 * i] | (k[2 * i + 1] << 8));
}

void SetWord(RecordKey& k, int i, uint16_t w) {
  k[2 * i] = static_cast<uint8_t>(w & 0xFF);
  k[2 * i + 1] = static_cast<uint8_t>(w >> 8);
}

int32_t Logged(const Service& service, uint32_t tag, const RecordKey& key, int32_t size,
               bool buffer, uint32_t v, int32_t result) {
  if (Logging())
    TheHost().transfers.push_back(RecordTransfer{service.name, tag, key, size, buffer, v, result});
  return result;
}

// The highest value of key word `word` among the records of `tag` whose other words listed in
// `same` equal the key's; -1 when there is none. Values at or above `limit` are not counted.
int32_t HighestWord(uint32_t tag, const RecordKey& key, int word, std::initializer_list<int> same,
                    uint32_t limit) {
  int32_t best = -1;
  for (auto& r : Doc().records) {
    if (r.first.first != tag) continue;
    bool match = true;
    for (int i : same)
      if (Word(r.first.second, i) != Word(key, i)) match = false;
    uint16_t w = Word(r.first.second, word);
    if (match && w < limit && w > best) best = w;
  }
  return best;
}

// Chooses the key a create asks for; false when no number is free.
bool ChooseKey(uint32_t tag, RecordKey& key) {
  if (Word(key, 0) == 0xFFFF) { // a new item number; 0xFFFE and up are the host's own
    int32_t top = HighestWord(tag, key, 0, {}, 0xFFFE);
    if (top + 1 >= 0xFFFE) return false;
    SetWord(key, 0, static_cast<uint16_t>(top < 1 ? 1 : top + 1));
    if (Word(key, 1) == 0xFFFF) SetWord(key, 1, 0);
    return true;
  }
  if (Word(key, 1) == 0xFFFF) { // the next inci under the item
    int32_t top = HighestWord(tag, key, 1, {0, 2, 3}, 0x8000);
    if (top + 1 >= 0x8000) return false;
    SetWord(key, 1, static_cast<uint16_t>(top + 1));
    return true;
  }
  if (Word(key, 2) == 0xFFFF) { // the next inci of a cell
    int32_t top = HighestWord(tag, key, 2, {0, 1, 3}, 0x8000);
    if (top + 1 >= 0x8000) return false;
    SetWord(key, 2, static_cast<uint16_t>(top + 1));
    return true;
  }
  return Doc().records.count({tag, key}) == 0;
}

// The nearest record of `tag` after (forward) or before the key, or end.
Store::iterator Neighbour(uint32_t tag, const RecordKey& key, bool forward) {
  Store& store = Doc().records;
  Store::iterator best = store.end();
  for (auto it = store.begin(); it != store.end(); ++it) {
    if (it->first.first != tag) continue;
    int c = CompareKeys(it->first.second, key);
    if (forward ? c <= 0 : c >= 0) continue;
    if (best == store.end() || (CompareKeys(it->first.second, best->first.second) < 0) == forward)
      best = it;
  }
  return best;
}

int32_t Step(const Service& service, int32_t tag, void* key, void* buffer, int32_t size, uint32_t v,
             bool forward) {
  Log(service, {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  uint32_t t = static_cast<uint32_t>(tag);
  RecordKey k = KeyOf(key);
  auto done = [&](int32_t r) { return Logged(service, t, k, size, buffer != nullptr, v, r); };
  if (!key || (buffer && size < 0)) return done(0);
  auto it = Neighbour(t, k, forward);
  if (it == Doc().records.end() && forward && TheHost().nextGoesRound)
    it = Neighbour(t, MakeKey(0), true); // the first record (none has the all-zero key)
  if (it == Doc().records.end()) return done(0);
  const std::vector<uint8_t>& bytes = it->second;
  if (buffer) {
    if (size < static_cast<int32_t>(bytes.size())) return done(0);
    if (!bytes.empty()) memcpy(buffer, bytes.data(), bytes.size());
  }
  memcpy(key, it->first.second.data(), 8);
  return done(1);
}

} // namespace

HOST_SERVICE(fourbyte, FX_AlertMessage,
             (fourbyte a, fourbyte b, fourbyte c, const char* text, EVERSION v)) {
  Log(FX_AlertMessage_service, {Slot(a), Slot(b), Slot(c), Slot(text)}, v);
  TheHost().alerts.push_back(text ? text : "");
  return 1;
}

HOST_SERVICE(fourbyte, FX_LoadEData,
             (EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v)) {
  Log(FX_LoadEData_service, {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  uint32_t t = static_cast<uint32_t>(tag);
  RecordKey k = KeyOf(key);
  int32_t asked = size ? *size : -1;
  auto done = [&](int32_t r) {
    return Logged(FX_LoadEData_service, t, k, asked, buffer != nullptr, v, r);
  };
  if (!key || !size) return done(0);
  const std::vector<uint8_t>* bytes = FindRecord(t, k);
  if (!bytes) return done(0);
  int32_t stored = static_cast<int32_t>(bytes->size());
  if (!buffer) {
    *size = stored;
    return done(1);
  }
  if (asked < stored) {
    if (asked > 0 && TheHost().loadsCopyWhatFits.count(t)) memcpy(buffer, bytes->data(), asked);
    return done(0);
  }
  if (stored > 0) memcpy(buffer, bytes->data(), stored);
  *size = stored;
  return done(1);
}

HOST_SERVICE(fourbyte, FX_SaveEData,
             (EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v)) {
  Log(FX_SaveEData_service, {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  uint32_t t = static_cast<uint32_t>(tag);
  RecordKey k = KeyOf(key);
  auto done = [&](int32_t r) {
    return Logged(FX_SaveEData_service, t, k, size, buffer != nullptr, v, r);
  };
  if (!key || !buffer || size <= 0) return done(0);
  auto it = Doc().records.find({t, k});
  if (it == Doc().records.end()) return done(0);
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  it->second.assign(p, p + size);
  return done(1);
}

HOST_SERVICE(fourbyte, FX_CreateEData,
             (EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v)) {
  Log(FX_CreateEData_service, {Slot(tag), Slot(key), Slot(buffer), Slot(size)}, v);
  uint32_t t = static_cast<uint32_t>(tag);
  RecordKey k = KeyOf(key);
  auto done = [&](int32_t r) {
    return Logged(FX_CreateEData_service, t, k, size, buffer != nullptr, v, r);
  };
  if (!key || !buffer || size <= 0) return done(0);
  RecordKey chosen = k;
  if (!ChooseKey(t, chosen)) return done(0);
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  Doc().records[{t, chosen}] = std::vector<uint8_t>(p, p + size);
  memcpy(key, chosen.data(), 8);
  return done(1);
}

HOST_SERVICE(fourbyte, FX_DeleteEData, (EXTAG tag, void* key, EVERSION v)) {
  Log(FX_DeleteEData_service, {Slot(tag), Slot(key)}, v);
  uint32_t t = static_cast<uint32_t>(tag);
  RecordKey k = KeyOf(key);
  int32_t r = key && Doc().records.erase({t, k}) ? 1 : 0;
  return Logged(FX_DeleteEData_service, t, k, 0, false, v, r);
}

HOST_SERVICE(fourbyte, FX_NextEData,
             (EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v)) {
  return Step(FX_NextEData_service, tag, key, buffer, size, v, true);
}

HOST_SERVICE(fourbyte, FX_PreviousEData,
             (EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v)) {
  return Step(FX_PreviousEData_service, tag, key, buffer, size, v, false);
}
