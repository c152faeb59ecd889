// The host's record layouts, byte for byte (little-endian, packed). The host owns the memory
// these describe; every count read from them is untrusted.
#pragma once
#include <cstddef>
#include "hostapi/fxtypes.h"

#pragma pack(push, 1)

// One note of an entry.
struct ENOTE {
  twobyte displacement; // scale steps from the tonic of the key in effect
  twobyte raiselower;   // chromatic alteration
  twobyte noteID;       // unique within the entry; never 0 after frame cleaning
  FLAG_32 flags;        // note flags
};

const int MAX_NOTES = 12; // note slots of one entry record

// One entry (note, chord or rest) of an entry frame.
struct EXENTRY {
  ufourbyte entnum;       // the host's identifier of the entry
  twobyte duration;       // 0 marks a null entry
  BYTE unused06[2];       // not used by the plug-in
  FLAG_32 flags;          // entry flags
  FLAG_16 flags2;         // second flag word
  twobyte notecount;      // 0..12 in a sound record
  ENOTE notes[MAX_NOTES]; // note slots
  fourbyte measurepos;    // position from the start of the measure, duration units
  BYTE unused8C[6];       // not used by the plug-in
};

// The entry frame: every entry of one measure on one staff in one layer.
struct EXTGF2005a {
  utwobyte instlist;  // instrument list the frame was loaded with
  twobyte slot;       // staff slot in that list
  BYTE unused04[2];   // not used by the plug-in
  twobyte measure;    // measure number
  twobyte layer;      // layer index, 0-based
  BYTE unused0A[4];   // not used by the plug-in
  EXENTRY* entries;   // first entry of a contiguous array
  twobyte entrycount; // number of entries in the array
};

// A region: a run of measures by a run of staff slots, with a position at each end.
struct EREGION {
  utwobyte startinstlist; // instrument list of the start (0: the global list)
  twobyte startslot;      // first staff slot, from 1
  twobyte startmeas;      // first measure
  fourbyte startpos;      // position in the first measure; 0 is its start
  utwobyte endinstlist;   // instrument list of the end
  twobyte endslot;        // last staff slot
  twobyte endmeas;        // last measure
  fourbyte endpos;        // position in the last measure; 0x7FFFFFFF: to its end
};

#pragma pack(pop)

// Entry flags (EXENTRY::flags).
const FLAG_32 ENTRY_NOTE = 0x40000000;           // a note entry; clear for a rest
const FLAG_32 ENTRY_RESTNOTERECORD = 0x01000000; // frame cleaning gave the rest its note slot
const FLAG_32 ENTRY_GRACENOTE = 0x00800000;
const FLAG_32 ENTRY_NOTEDETAIL = 0x00400000;
const FLAG_32 ENTRY_ARTICULATION = 0x00200000;
const FLAG_32 ENTRY_PERFORMANCEDATA = 0x00020000;
const FLAG_32 ENTRY_SPECIALALTS = 0x00001000;
// Second flag word: the chord operations changed this entry's notes.
const FLAG_16 ENTRY2_NOTESCHANGED = 0x0004;
// Note flags (ENOTE::flags).
const FLAG_32 NOTE_CREATED = 0x80000000; // set on every note slot the plug-in creates
const FLAG_32 NOTE_TIE = 0x40000000;
const FLAG_32 NOTE_ACCIDENTAL = 0x01000000;
const FLAG_32 NOTE_IDMIRROR = 0x001F0000;  // the low five bits of the note ID
const fourbyte REGION_TO_END = 0x7FFFFFFF; // end position meaning "to the end of the measure"

// Every size and offset the plug-in reads or writes, as the 32-bit host lays them out. Only the
// frame's entry array is a pointer: it is 4 bytes wide on the host, 8 in the native build.
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
static_assert(offsetof(EXTGF2005a, entrycount) == 0x0E + sizeof(void*), "frame entry count");
static_assert(sizeof(EXTGF2005a) == 0x10 + sizeof(void*), "entry frame: 0x14 on the host");

static_assert(offsetof(EREGION, startinstlist) == 0x00, "region start list");
static_assert(offsetof(EREGION, startslot) == 0x02, "region start slot");
static_assert(offsetof(EREGION, startmeas) == 0x04, "region start measure");
static_assert(offsetof(EREGION, startpos) == 0x06, "region start position");
static_assert(offsetof(EREGION, endinstlist) == 0x0A, "region end list");
static_assert(offsetof(EREGION, endslot) == 0x0C, "region end slot");
static_assert(offsetof(EREGION, endmeas) == 0x0E, "region end measure");
static_assert(offsetof(EREGION, endpos) == 0x10, "region end position");
static_assert(sizeof(EREGION) == 20, "region record");

// The note count a record may hold: a count from the host outside 0..12 is clamped to it, so
// that no view reads or writes past the twelve slots.
inline int SoundNoteCount(twobyte count) {
  return count < 0 ? 0 : (count > MAX_NOTES ? MAX_NOTES : count);
}
// The entries of a frame that may be read: none for a null array or a negative count.
inline int SoundEntryCount(const EXTGF2005a* frame) {
  if (!frame || !frame->entries || frame->entrycount <= 0) return 0;
  return frame->entrycount;
}
