// Frame cleaning: what the bridge does to an entry frame just before the host stores or
// restructures it (FX_SaveTGF, FX_DeleteEXENTRY, FX_InsertEXENTRY, FX_ReduceEntries).
#pragma once
#include "hostapi/fxrecords.h"

// When true, cleaning gives every entry without notes a single rest note slot.
extern bool CanAddNoteRecordToRests;

// Renumbers missing and repeated note IDs, mirrors each ID into its note flags, clears the
// unused note slots and gives note-less entries their rest slot. A note count outside 0..12 is
// written back clamped; a frame with a null entry array or a count of 0 or less is left alone.
void CleanTGF(EXTGF2005a* frame);
