// Record transfers: the host's typed records travel by tag and key. Before the host sees a
// transfer the version word is corrected for the record's tag and size; loads and saves of
// preference structures are served from the host's generic records; three record kinds get a
// fallback when the host cannot load them.
//
// Sizes come from callers and from the host and are not trusted: a load must say how much room
// its buffer has, nothing is written beyond that room, and a save or create never hands the host
// a negative size or a missing buffer with a size.
#include <cstring>

#include "hostcall.h"
#include "prefmaps.h"

namespace {

const fourbyte SOSD_SIZE = 66;
const EVERSION MAPS_FROM_VERSION = 0x08000000; // older callers' saves are never mapped

// One resolution slot per host function, shared by the bridge function and the mapped
// transfers it makes on its own behalf.
fxbridge::HostProc& LoadProc() {
  static fxbridge::HostProc proc;
  return proc;
}
fxbridge::HostProc& SaveProc() {
  static fxbridge::HostProc proc;
  return proc;
}

twobyte HostLoad(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v) {
  return fxbridge::Short(LoadProc(), "FX_LoadEData", 0, tag, key, buffer, size, v);
}
twobyte HostSave(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  return fxbridge::Short(SaveProc(), "FX_SaveEData", 0, tag, key, buffer, size, v);
}

twobyte ItemOf(const void* key) {
  twobyte item;
  memcpy(&item, key, sizeof item);
  return item;
}

// A generic record's key: item number and inci, bytes 4 to 7 zero.
void GenericKey(twobyte item, twobyte inci, uint8_t key[8]) {
  memset(key, 0, 8);
  memcpy(key, &item, 2);
  memcpy(key + 2, &inci, 2);
}

// Loads one generic record into words; a record that fails to load leaves zeros.
void LoadGeneric(EXTAG tag, twobyte item, twobyte inci, twobyte words[6]) {
  uint8_t key[8];
  GenericKey(item, inci, key);
  memset(words, 0, GENERIC_RECORD_SIZE);
  fourbyte size = GENERIC_RECORD_SIZE;
  HostLoad(tag, key, words, &size, FINALEVERSION);
}

void SaveGeneric(EXTAG tag, twobyte item, twobyte inci, void* words) {
  uint8_t key[8];
  GenericKey(item, inci, key);
  HostSave(tag, key, words, GENERIC_RECORD_SIZE, FINALEVERSION);
}

// ---- Structure maps -----------------------------------------------------------------------------

twobyte RowItem(const PREFERENCE_LOCATION_MAPRECORD& row) {
  return row.item == 0 ? GENERIC_RECORD_ITEM : row.item;
}

bool SameSource(const PREFERENCE_LOCATION_MAPRECORD& a, const PREFERENCE_LOCATION_MAPRECORD& b) {
  return a.source[0] == b.source[0] && a.source[1] == b.source[1] && a.item == b.item &&
         a.inci == b.inci;
}

fourbyte StructureSize(const PREFERENCE_LOCATION_MAPRECORD* rows, twobyte count) {
  fourbyte size = 0;
  for (int i = 0; i < count; ++i)
    size += rows[i].size;
  return size;
}

// The value a row gives the structure from a generic record's words.
fourbyte ValueFromWords(const PREFERENCE_LOCATION_MAPRECORD& row, const twobyte words[6]) {
  twobyte w = words[row.word];
  switch (row.conversion) {
  case MAPCONV_WORD:
    return w;
  case MAPCONV_FOURBYTE_HIGH:
  case MAPCONV_FOURBYTE_LOW:
    return makePrefsFourbyte(w, words[row.word + 1], row.conversion);
  case MAPCONV_BOOL_INVERTED:
    return w == 0 ? 1 : 0;
  case MAPCONV_LOW_BYTE:
    return static_cast<uint8_t>(w & 0xFF);
  default:
    return 0;
  }
}

// Puts a value back into a generic record's words as the row says.
void ValueToWords(const PREFERENCE_LOCATION_MAPRECORD& row, fourbyte value, twobyte words[6]) {
  switch (row.conversion) {
  case MAPCONV_WORD:
    words[row.word] = static_cast<twobyte>(value);
    break;
  case MAPCONV_FOURBYTE_HIGH:
  case MAPCONV_FOURBYTE_LOW:
    makePrefsTwobytes(value, &words[row.word], &words[row.word + 1], row.conversion);
    break;
  case MAPCONV_BOOL_INVERTED:
    words[row.word] = value == 0 ? 1 : 0;
    break;
  case MAPCONV_LOW_BYTE:
    words[row.word] = static_cast<int8_t>(value & 0xFF);
    break;
  default:
    break; // an unknown conversion leaves the host's words alone
  }
}

// A value as the structure holds it: two bytes are a signed 16-bit number.
fourbyte AsStored(const PREFERENCE_LOCATION_MAPRECORD& row, fourbyte value) {
  return row.size == 2 ? static_cast<twobyte>(value) : value;
}

void PutValue(const PREFERENCE_LOCATION_MAPRECORD& row, fourbyte value, uint8_t* structure) {
  if (row.size == 2) {
    twobyte v = static_cast<twobyte>(value);
    memcpy(structure + row.offset, &v, 2);
  } else {
    memcpy(structure + row.offset, &value, 4);
  }
}

fourbyte GetValue(const PREFERENCE_LOCATION_MAPRECORD& row, const uint8_t* structure) {
  if (row.size == 2) {
    twobyte v;
    memcpy(&v, structure + row.offset, 2);
    return v;
  }
  fourbyte v;
  memcpy(&v, structure + row.offset, 4);
  return v;
}

void ClearDone(PREFERENCE_LOCATION_MAPRECORD* rows, twobyte count) {
  for (int i = 0; i < count; ++i)
    rows[i].done = 0;
}

// A structure load: each generic record is loaded once, for its first row, and serves every
// later row of the same source. A buffer smaller than the structure receives nothing.
twobyte LoadStructure(PREFERENCE_LOCATION_MAPRECORD* rows, twobyte count, void* buffer,
                      fourbyte* size) {
  fourbyte structureSize = StructureSize(rows, count);
  if (!buffer) {
    *size = structureSize;
    return 1;
  }
  if (*size < structureSize) return 0;
  uint8_t* structure = static_cast<uint8_t*>(buffer);
  ClearDone(rows, count);
  for (int i = 0; i < count; ++i) {
    if (rows[i].done) continue;
    twobyte words[6];
    LoadGeneric(GenericRecordTag(rows[i].source), RowItem(rows[i]), rows[i].inci, words);
    for (int j = i; j < count; ++j) {
      if (rows[j].done || !SameSource(rows[i], rows[j])) continue;
      PutValue(rows[j], ValueFromWords(rows[j], words), structure);
      rows[j].done = 1;
    }
  }
  *size = structureSize;
  return 1;
}

// A structure save: a value counts as changed when it differs from what a load would give, and
// only the generic records whose words then changed go back to the host.
twobyte SaveStructure(PREFERENCE_LOCATION_MAPRECORD* rows, twobyte count, void* buffer,
                      fourbyte size) {
  if (!buffer || size < StructureSize(rows, count)) return 0;
  const uint8_t* structure = static_cast<const uint8_t*>(buffer);
  ClearDone(rows, count);
  for (int i = 0; i < count; ++i) {
    if (rows[i].done) continue;
    twobyte words[6], before[6];
    LoadGeneric(GenericRecordTag(rows[i].source), RowItem(rows[i]), rows[i].inci, words);
    memcpy(before, words, sizeof before);
    for (int j = i; j < count; ++j) {
      if (rows[j].done || !SameSource(rows[i], rows[j])) continue;
      fourbyte value = GetValue(rows[j], structure);
      if (AsStored(rows[j], ValueFromWords(rows[j], words)) != value)
        ValueToWords(rows[j], value, words);
      rows[j].done = 1;
    }
    if (memcmp(before, words, sizeof before) != 0)
      SaveGeneric(GenericRecordTag(rows[i].source), RowItem(rows[i]), rows[i].inci, words);
  }
  return 1;
}

// ---- Run maps -----------------------------------------------------------------------------------

twobyte LoadRun(EXTAG generic, twobyte records, twobyte firstinci, void* buffer, fourbyte* size) {
  fourbyte total = records * GENERIC_RECORD_SIZE;
  if (!buffer) {
    *size = total;
    return 1;
  }
  if (*size < total) return 0;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  for (int i = 0; i < records; ++i) {
    twobyte words[6];
    LoadGeneric(generic, GENERIC_RECORD_ITEM, static_cast<twobyte>(firstinci + i), words);
    memcpy(out + i * GENERIC_RECORD_SIZE, words, GENERIC_RECORD_SIZE);
  }
  *size = total;
  return 1;
}

twobyte SaveRun(EXTAG generic, twobyte records, twobyte firstinci, void* buffer, fourbyte size) {
  if (!buffer || size < records * GENERIC_RECORD_SIZE) return 0;
  uint8_t* in = static_cast<uint8_t*>(buffer);
  for (int i = 0; i < records; ++i)
    SaveGeneric(generic, GENERIC_RECORD_ITEM, static_cast<twobyte>(firstinci + i),
                in + i * GENERIC_RECORD_SIZE);
  return 1;
}

// ---- Special loads ------------------------------------------------------------------------------

// The host may fill these records partly and still report failure: the area is cleared first,
// and anything the host left in it counts as loaded. Never more than the caller's room is
// cleared or read.
twobyte LoadIntoClearedArea(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v,
                            fourbyte area) {
  fourbyte span = *size < area ? *size : area;
  memset(buffer, 0, span);
  twobyte result = HostLoad(tag, key, buffer, size, v);
  if (result) return result;
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  for (fourbyte i = 0; i < span; ++i)
    if (bytes[i]) return 1;
  return 0;
}

// A host without the record answers from its generic 'otSD' record: present means an empty one.
twobyte LoadStaffSystemData(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v) {
  fourbyte room = *size;
  twobyte result = HostLoad(tag, key, buffer, size, v);
  if (result) return result;
  if (!key) return 0;
  uint8_t genericKey[8];
  memcpy(genericKey, key, 8); // the item number and bytes 4 to 7 go along
  memset(genericKey + 2, 0, 2);
  twobyte words[6];
  fourbyte genericSize = GENERIC_RECORD_SIZE;
  if (!HostLoad(TAG_otSD, genericKey, words, &genericSize, FINALEVERSION)) return 0;
  if (buffer)
    memset(buffer, 0, room < SOSD_SIZE ? room : SOSD_SIZE);
  else
    *size = SOSD_SIZE;
  return 1;
}

} // namespace

twobyte FX_LoadEData(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v) {
  if (!fxbridge::Resolve(LoadProc(), "FX_LoadEData")) return 0;
  if (!size || (buffer && *size < 0)) return 0; // the room to fill must be known
  HandleEnigmaVersion(tag, *size, v);
  if (buffer && tag == TAG_SPECIAL48) return LoadIntoClearedArea(tag, key, buffer, size, v, 48);
  if (buffer && tag == TAG_SPECIAL108) return LoadIntoClearedArea(tag, key, buffer, size, v, 108);
  if (tag == TAG_SOSD) return LoadStaffSystemData(tag, key, buffer, size, v);
  if (key) {
    PREFERENCE_LOCATION_MAPRECORD* rows;
    twobyte count;
    if (mapPrefStruct(tag, ItemOf(key), &rows, &count))
      return LoadStructure(rows, count, buffer, size);
    EXTAG generic;
    twobyte records, firstinci;
    mapPrefTag(tag, ItemOf(key), &generic, &records, &firstinci);
    if (generic) return LoadRun(generic, records, firstinci, buffer, size);
  }
  return HostLoad(tag, key, buffer, size, v);
}

twobyte FX_SaveEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  if (!fxbridge::Resolve(SaveProc(), "FX_SaveEData")) return 0;
  if (size < 0 || (size > 0 && !buffer)) return 0;
  EVERSION corrected = v;
  HandleEnigmaVersion(tag, size, corrected);
  if (v >= MAPS_FROM_VERSION && key) {
    PREFERENCE_LOCATION_MAPRECORD* rows;
    twobyte count;
    if (mapPrefStruct(tag, ItemOf(key), &rows, &count))
      return SaveStructure(rows, count, buffer, size);
    EXTAG generic;
    twobyte records, firstinci;
    mapPrefTag(tag, ItemOf(key), &generic, &records, &firstinci);
    if (generic) return SaveRun(generic, records, firstinci, buffer, size);
  }
  return HostSave(tag, key, buffer, size, corrected);
}

twobyte FX_CreateEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  if (size < 0 || (size > 0 && !buffer)) return 0;
  HandleEnigmaVersion(tag, size, v);
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_DeleteEData(EXTAG tag, void* key, EVERSION v) {
  FX_SHORT(0, tag, key, v);
}

twobyte FX_NextEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  if (buffer && size < 0) return 0;
  HandleEnigmaVersion(tag, size, v);
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_PreviousEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  if (buffer && size < 0) return 0;
  HandleEnigmaVersion(tag, size, v);
  FX_SHORT(0, tag, key, buffer, size, v);
}
