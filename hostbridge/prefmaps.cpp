// The tables behind record transfers: version corrections by tag and size, the run maps and
// the structure maps of the preference structures.
#include "prefmaps.h"

#include "fxbridge.h"

namespace {

// ---- Version corrections ----------------------------------------------------------------------

enum VersionRule {
  VERSION_SET,      // the version becomes the value
  VERSION_AT_LEAST, // a lower version is raised to the value (with the warning, if any)
  VERSION_AT_MOST,  // a higher version is lowered to the value
};

struct VersionCorrection {
  EXTAG tag;           // the record's tag
  fourbyte size;       // the size the caller passes
  VersionRule rule;    // how the version word changes
  EVERSION value;      // the version word the rule works with
  const char* warning; // shown before a raise, or null
};

const VersionCorrection kVersionCorrections[] = {
    {TAG_SOMS, 26, VERSION_AT_LEAST, 0x0A000000, nullptr},
    {TAG_SOMS, 24, VERSION_SET, 0x09000000, nullptr},
    {TAG_SOSS, 28, VERSION_AT_LEAST, 0x0A000000, nullptr},
    {TAG_OSS2, 28, VERSION_AT_LEAST, 0x0A000000, nullptr},
    {TAG_SOSS, 24, VERSION_AT_LEAST, 0x06000000, nullptr},
    {TAG_OSS2, 24, VERSION_AT_LEAST, 0x06000000, nullptr},
    {TAG_SOSS, 22, VERSION_SET, 0x05000000, nullptr},
    {TAG_OSS2, 22, VERSION_SET, 0x05000000, nullptr},
    {TAG_SOIS, 66, VERSION_SET, 0x05000000, nullptr},
    {TAG_SOIS, 102, VERSION_SET, 0x08000000, nullptr},
    {TAG_SOTX, 48, VERSION_AT_MOST, 0x08000000, nullptr},
    {TAG_SOTX, 26, VERSION_AT_LEAST, 0x09000000,
     "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter"},
    {TAG_SDGF, 12, VERSION_AT_MOST, 0x08000000, nullptr},
    {TAG_SDGF, 10, VERSION_AT_LEAST, 0x09000000,
     "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter"},
    {TAG_otDO, 12, VERSION_AT_MOST, 0x08000000, nullptr},
    {TAG_otDO, 34, VERSION_AT_LEAST, 0x09000000,
     "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter"},
};

// ---- Run maps -----------------------------------------------------------------------------------

struct RunMap {
  EXTAG tag;          // the 'pf' tag
  utwobyte lastIndex; // highest item number - 1 (unsigned) that is mapped; 0xFFFF: any
  char source[2];     // characters of the generic records
  twobyte records;    // consecutive generic records of the structure
  bool inciFromItem;  // the first inci is item number - 1 (else 0)
};

const utwobyte ANY_ITEM = 0xFFFF;

const RunMap kRunMaps[] = {
    {MAKEEXTAG('p', 'f', 'G', 'D'), ANY_ITEM, {'7', '9'}, 1, false},
    {MAKEEXTAG('p', 'f', 'G', 'G'), ANY_ITEM, {'8', '8'}, 11, false},
    {MAKEEXTAG('p', 'f', 'G', 'b'), 3, {'9', '8'}, 1, true}, // items 1 to 4
    {MAKEEXTAG('p', 'f', 'G', 'd'), ANY_ITEM, {'8', '0'}, 1, false},
    {MAKEEXTAG('p', 'f', 'G', 's'), 0, {'9', '1'}, 1, false}, // item 1
    {MAKEEXTAG('p', 'f', 'M', 'M'), ANY_ITEM, {'2', '5'}, 2, false},
    {MAKEEXTAG('p', 'f', 'N', 'D'), ANY_ITEM, {'0', '4'}, 1, false},
    {MAKEEXTAG('p', 'f', 'N', 'd'), ANY_ITEM, {'6', '6'}, 1, false},
    {MAKEEXTAG('p', 'f', 'P', 'F'), 0, {'7', '7'}, 4, false}, // item 1
    {MAKEEXTAG('p', 'f', 'S', 'C'), ANY_ITEM, {'5', '2'}, 2, false},
    {MAKEEXTAG('p', 'f', 'S', 'N'), 127, {'4', '0'}, 1, true}, // items 1 to 128
    {MAKEEXTAG('p', 'f', 'S', 'P'), ANY_ITEM, {'9', '4'}, 3, false},
    {MAKEEXTAG('p', 'f', 'S', 'l'), 14, {'2', '6'}, 1, true}, // items 1 to 15
    {MAKEEXTAG('p', 'f', 'T', 'C'), ANY_ITEM, {'8', '6'}, 5, false},
    {MAKEEXTAG('p', 'f', 'T', 'I'), ANY_ITEM, {'8', '4'}, 4, false},
    {MAKEEXTAG('p', 'f', 'T', 'X'), ANY_ITEM, {'7', '8'}, 8, false},
    {MAKEEXTAG('p', 'f', 'T', 'p'), ANY_ITEM, {'8', '5'}, 4, false},
    {MAKEEXTAG('p', 'f', 'T', 's'), 8, {'9', '0'}, 1, true}, // items 1 to 9
};

// ---- Structure maps -----------------------------------------------------------------------------
// Only the rows known so far are listed; a map is served once all its rows are here.

PREFERENCE_LOCATION_MAPRECORD EDTDistancePrefs_MAP_ARRAY[] = {
    {0, {'2', '1'}, 0, 0, 0, 3, 2, MAPCONV_WORD},
    {0, {'6', '8'}, 0, 0, 18, 4, 4, MAPCONV_FOURBYTE_HIGH},
    {0, {'7', '7'}, 0, 4, 72, 0, 2, MAPCONV_WORD},
};

PREFERENCE_LOCATION_MAPRECORD EDTMiscDocPrefs_MAP_ARRAY[] = {
    {0, {'3', '6'}, 0, 0, 12, 1, 2, MAPCONV_BOOL_INVERTED},
    {0, {'1', '9'}, 0, 0, 52, 4, 2, MAPCONV_LOW_BYTE},
};

PREFERENCE_STRUCT_MAP kShippedStructMaps[] = {
    {MAKEEXTAG('p', 'f', 'D', 'P'), false, EDTDistancePrefs_MAP_ARRAY, 3, 36, 76},
    {MAKEEXTAG('p', 'f', 'E', 'X'), false, nullptr, 0, 25, 50},
    {MAKEEXTAG('p', 'f', 'M', 'S'), false, EDTMiscDocPrefs_MAP_ARRAY, 2, 49, 104},
    {MAKEEXTAG('p', 'f', 'P', 'B'), false, nullptr, 0, 11, 44},
    {MAKEEXTAG('p', 'f', 'P', 'F'), true, nullptr, 0, 22, 48},
    {MAKEEXTAG('p', 'f', 'P', 'L'), false, nullptr, 0, 7, 14},
    {MAKEEXTAG('p', 'f', 'R', 'P'), false, nullptr, 0, 20, 40},
    {MAKEEXTAG('p', 'f', 'S', 'I'), false, nullptr, 0, 23, 54},
    {MAKEEXTAG('p', 'f', 'S', 'S'), false, nullptr, 0, 43, 96},
};

PREFERENCE_STRUCT_MAP* gStructMaps = kShippedStructMaps;
int gStructMapCount = sizeof kShippedStructMaps / sizeof kShippedStructMaps[0];

bool RowFits(const PREFERENCE_LOCATION_MAPRECORD& row, twobyte structureSize) {
  if (row.size != 2 && row.size != 4) return false;
  if (row.offset < 0 || row.offset + row.size > structureSize) return false;
  bool twoWords = row.conversion == MAPCONV_FOURBYTE_HIGH || row.conversion == MAPCONV_FOURBYTE_LOW;
  return row.word >= 0 && row.word <= (twoWords ? 4 : 5);
}

// A map is served only when it is whole: a map with rows missing would hand out wrong values as
// right ones, and a row reaching outside the structure or the generic record must never run.
bool Servable(const PREFERENCE_STRUCT_MAP& map) {
  if (!map.rows || map.rowCount <= 0 || map.rowCount != map.fullRowCount) return false;
  fourbyte sum = 0;
  for (int i = 0; i < map.rowCount; ++i) {
    if (!RowFits(map.rows[i], map.structureSize)) return false;
    sum += map.rows[i].size;
  }
  return sum == map.structureSize;
}

} // namespace

void HandleEnigmaVersion(EXTAG& tag, fourbyte size, EVERSION& version) {
  if (size == 0) return;
  for (const VersionCorrection& c : kVersionCorrections) {
    if (c.tag != tag || c.size != size) continue;
    switch (c.rule) {
    case VERSION_SET:
      version = c.value;
      break;
    case VERSION_AT_LEAST:
      if (version < c.value) {
        if (c.warning) FX_AlertMessage(0, 0, 0, c.warning, FINALEVERSION);
        version = c.value;
      }
      break;
    case VERSION_AT_MOST:
      if (version > c.value) version = c.value;
      break;
    }
    return;
  }
}

bool mapPrefStruct(EXTAG tag, twobyte item, PREFERENCE_LOCATION_MAPRECORD** table, twobyte* count) {
  *table = nullptr;
  *count = 0;
  for (int i = 0; i < gStructMapCount; ++i) {
    const PREFERENCE_STRUCT_MAP& map = gStructMaps[i];
    if (map.tag != tag) continue;
    if ((map.onlyItemZero && item != 0) || !Servable(map)) return false;
    *table = map.rows;
    *count = map.rowCount;
    return true;
  }
  return false;
}

void mapPrefTag(EXTAG tag, twobyte item, EXTAG* generic, twobyte* records, twobyte* firstinci) {
  *generic = 0;
  *records = 0;
  *firstinci = 0;
  utwobyte index = static_cast<utwobyte>(item - 1); // item 0 wraps to 0xFFFF
  for (const RunMap& m : kRunMaps) {
    if (m.tag != tag) continue;
    if (m.lastIndex != ANY_ITEM && index > m.lastIndex) return;
    *generic = GenericRecordTag(m.source);
    *records = m.records;
    *firstinci = m.inciFromItem ? static_cast<twobyte>(index) : 0;
    return;
  }
}

fourbyte makePrefsFourbyte(twobyte indexed, twobyte next, MAP_ARRAY_CONVERSION conversion) {
  ufourbyte hi, lo;
  if (conversion == MAPCONV_FOURBYTE_HIGH) {
    hi = static_cast<utwobyte>(indexed);
    lo = static_cast<utwobyte>(next);
  } else if (conversion == MAPCONV_FOURBYTE_LOW) {
    hi = static_cast<utwobyte>(next);
    lo = static_cast<utwobyte>(indexed);
  } else {
    return 0;
  }
  return static_cast<fourbyte>((hi << 16) | lo);
}

void makePrefsTwobytes(fourbyte value, twobyte* indexed, twobyte* next,
                       MAP_ARRAY_CONVERSION conversion) {
  twobyte hi = static_cast<twobyte>(static_cast<ufourbyte>(value) >> 16);
  twobyte lo = static_cast<twobyte>(static_cast<ufourbyte>(value) & 0xFFFF);
  if (conversion == MAPCONV_FOURBYTE_HIGH) {
    *indexed = hi;
    *next = lo;
  } else if (conversion == MAPCONV_FOURBYTE_LOW) {
    *indexed = lo;
    *next = hi;
  }
}

void InstallPrefStructMaps(PREFERENCE_STRUCT_MAP* maps, int count) {
  if (maps && count > 0) {
    gStructMaps = maps;
    gStructMapCount = count;
  } else {
    gStructMaps = kShippedStructMaps;
    gStructMapCount = sizeof kShippedStructMaps / sizeof kShippedStructMaps[0];
  }
}
