// The host's record tags, each made once from its four characters.
#pragma once
#include "hostapi/fxtypes.h"

const EXTAG TAG_SOMS = MAKEEXTAG('S', 'O', 'M', 'S'); // measure
const EXTAG TAG_SOIS = MAKEEXTAG('S', 'O', 'I', 'S'); // staff
const EXTAG TAG_SOSC = MAKEEXTAG('S', 'O', 'S', 'C'); // staff as it stands at a measure
const EXTAG TAG_SOIu = MAKEEXTAG('S', 'O', 'I', 'u'); // staff list entry
const EXTAG TAG_SOSS = MAKEEXTAG('S', 'O', 'S', 'S'); // staff style
const EXTAG TAG_OSS2 = MAKEEXTAG('O', 2, 'S', 'S');   // the staff style under its second tag
const EXTAG TAG_SOTX = MAKEEXTAG('S', 'O', 'T', 'X');
const EXTAG TAG_SOSD = MAKEEXTAG('S', 'O', 'S', 'D');
const EXTAG TAG_SDGF = MAKEEXTAG('S', 'D', 'G', 'F');
const EXTAG TAG_dtFL = MAKEEXTAG('d', 't', 'F', 'L');     // cell detail
const EXTAG TAG_SPECIAL48 = MAKEEXTAG('O', 4, 'I', 'X');  // loaded into a cleared 48-byte area
const EXTAG TAG_SPECIAL108 = MAKEEXTAG('O', 9, 'f', 'I'); // loaded into a cleared 108-byte area

// Generic records: 'o', 't' and two characters naming the record's source.
const EXTAG GENERIC_TAG_BASE = MAKEEXTAG('o', 't', 0, 0);
inline EXTAG GenericRecordTag(const char source[2]) {
  return MAKEEXTAG('o', 't', source[0], source[1]);
}
const EXTAG TAG_otDO = MAKEEXTAG('o', 't', 'D', 'O');
const EXTAG TAG_otSD = MAKEEXTAG('o', 't', 'S', 'D'); // the generic record behind 'SOSD'
