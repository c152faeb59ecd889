// The host's record layouts as the 32-bit host sees them: every size and offset the plug-in
// reads or writes, checked where a pointer is 4 bytes wide.
#include <cstddef>

#include "fxrecords.h"

static_assert(sizeof(void*) == 4, "the host is a 32-bit process");

static_assert(offsetof(ENOTE, displacement) == 0x00, "note displacement");
static_assert(offsetof(ENOTE, raiselower) == 0x02, "note alteration");
static_assert(offsetof(ENOTE, noteID) == 0x04, "note ID");
static_assert(offsetof(ENOTE, flags) == 0x06, "note flags");
static_assert(sizeof(ENOTE) == 10, "note slot");

static_assert(offsetof(EXENTRY, entnum) == 0x00, "entry number");
static_assert(offsetof(EXENTRY, duration) == 0x04, "entry duration");
static_assert(offsetof(EXENTRY, flags) == 0x08, "entry flags");
static_assert(offsetof(EXENTRY, flags2) == 0x0C, "second entry flag word");
static_assert(offsetof(EXENTRY, notecount) == 0x0E, "note count");
static_assert(offsetof(EXENTRY, notes) == 0x10, "first note slot");
static_assert(offsetof(EXENTRY, notes) + MAX_NOTES * sizeof(ENOTE) == 0x88, "twelve note slots");
static_assert(offsetof(EXENTRY, measurepos) == 0x88, "measure position");
static_assert(sizeof(EXENTRY) == 146, "entry record");

static_assert(offsetof(EXTGF2005a, instlist) == 0x00, "frame instrument list");
static_assert(offsetof(EXTGF2005a, slot) == 0x02, "frame staff slot");
static_assert(offsetof(EXTGF2005a, measure) == 0x06, "frame measure");
static_assert(offsetof(EXTGF2005a, layer) == 0x08, "frame layer");
static_assert(offsetof(EXTGF2005a, entries) == 0x0E, "frame entry array");
static_assert(offsetof(EXTGF2005a, entrycount) == 0x12, "frame entry count");
static_assert(sizeof(EXTGF2005a) == 0x14, "entry frame");

static_assert(offsetof(EREGION, startinstlist) == 0x00, "region start list");
static_assert(offsetof(EREGION, startslot) == 0x02, "region start slot");
static_assert(offsetof(EREGION, startmeas) == 0x04, "region start measure");
static_assert(offsetof(EREGION, startpos) == 0x06, "region start position");
static_assert(offsetof(EREGION, endinstlist) == 0x0A, "region end list");
static_assert(offsetof(EREGION, endslot) == 0x0C, "region end slot");
static_assert(offsetof(EREGION, endmeas) == 0x0E, "region end measure");
static_assert(offsetof(EREGION, endpos) == 0x10, "region end position");
static_assert(sizeof(EREGION) == 20, "region record");
