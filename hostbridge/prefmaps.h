// How record transfers are adapted before they reach the host: the version word a record's tag
// and size call for, and the translation of whole preference structures ('pf' tags) into the
// host's small generic records ('ot' tags, six 16-bit words each).
#pragma once
#include "hostapi/fxtags.h"
#include "hostapi/fxtypes.h"

// Corrects the version word in place for a record of this tag passed with this size, so that a
// caller asking for an older or newer layout gets the version matching the size it passes.
// May show a developer warning through FX_AlertMessage. The tag is only read.
void HandleEnigmaVersion(EXTAG& tag, fourbyte size, EVERSION& version);

// How a generic word becomes a value of the caller's structure (and back on save).
enum MAP_ARRAY_CONVERSION : int32_t {
  MAPCONV_WORD = 0,          // the word unchanged
  MAPCONV_FOURBYTE_HIGH = 1, // four bytes from two words, the indexed word high
  MAPCONV_FOURBYTE_LOW = 2,  // four bytes from two words, the indexed word low
  MAPCONV_BOOL_INVERTED = 3, // 1 where the word is 0, else 0
  MAPCONV_LOW_BYTE = 4,      // the word's low byte (zero-extended in, sign-extended out)
};

// One value of a preference structure and where the host keeps it.
struct PREFERENCE_LOCATION_MAPRECORD {
  utwobyte done;                   // scratch: set once the row has been served in a transfer
  char source[2];                  // third and fourth characters of the generic record's tag
  twobyte item;                    // generic record's item number; 0 stands for -2
  twobyte inci;                    // generic record's inci
  twobyte offset;                  // byte offset of the value in the caller's structure
  twobyte word;                    // the generic record's word, 0 to 5
  utwobyte size;                   // bytes of the value in the caller's structure: 2 or 4
  MAP_ARRAY_CONVERSION conversion; // how the word(s) become the value
};

// The map of one preference structure: its rows in the order they are served.
struct PREFERENCE_STRUCT_MAP {
  EXTAG tag;                           // the 'pf' tag
  bool onlyItemZero;                   // mapped only when the key's item number is 0
  PREFERENCE_LOCATION_MAPRECORD* rows; // the rows known, or null
  twobyte rowCount;                    // rows known
  twobyte fullRowCount;                // rows of the complete map
  twobyte structureSize;               // bytes of the structure: the sum of the rows' sizes
};

// Finds the structure map of a tag for a key's item number. True only for a map that is complete
// and well formed (every row present, every value inside the structure and every word inside a
// generic record); otherwise false with a null table and count 0, and the tag goes to the host
// unchanged.
bool mapPrefStruct(EXTAG tag, twobyte item, PREFERENCE_LOCATION_MAPRECORD** table, twobyte* count);

// Finds the run map of a tag for a key's item number: the generic tag, the number of consecutive
// generic records and the first inci. The generic tag is 0 (count and inci 0) when none applies.
void mapPrefTag(EXTAG tag, twobyte item, EXTAG* generic, twobyte* records, twobyte* firstinci);

// The four-byte conversions: the value from the indexed word and the next, and back.
fourbyte makePrefsFourbyte(twobyte indexed, twobyte next, MAP_ARRAY_CONVERSION conversion);
void makePrefsTwobytes(fourbyte value, twobyte* indexed, twobyte* next,
                       MAP_ARRAY_CONVERSION conversion);

// The structure maps in force. The shipped maps hold only the rows known so far, so none of them
// is served; a complete set of maps can be put in place here (null restores the shipped ones).
void InstallPrefStructMaps(PREFERENCE_STRUCT_MAP* maps, int count);

// Generic records: their size, and the item number 0 stands for.
const fourbyte GENERIC_RECORD_SIZE = 12;
const twobyte GENERIC_RECORD_ITEM = -2;
