#include "cleantgf.h"

#include <cstring>

bool CanAddNoteRecordToRests = true;

namespace {

bool IDInUse(const EXENTRY& e, int count, twobyte id) {
  for (int j = 0; j < count; ++j)
    if (e.notes[j].noteID == id) return true;
  return false;
}

// The next ID after top; past the largest 16-bit value, the smallest positive one unused.
twobyte NextID(const EXENTRY& e, int count, int top) {
  if (top < 0x7FFF) return static_cast<twobyte>(top + 1);
  twobyte id = 1;
  while (IDInUse(e, count, id))
    ++id;
  return id;
}

// True when every ID is set and none repeats, as the host mostly leaves them: one bit per ID
// tells them apart. IDs above 63 are not looked at here and answer false.
bool IDsDistinctAndSet(const EXENTRY& e, int count) {
  unsigned long long seen = 0;
  for (int i = 0; i < count; ++i) {
    twobyte id = e.notes[i].noteID;
    if (id < 1 || id > 63 || (seen >> id & 1)) return false;
    seen |= 1ull << id;
  }
  return true;
}

// Gives every note whose ID is 0 or repeats another a new one (NextID).
void RenumberNotes(EXENTRY& e, int count) {
  int top = 0;
  for (int i = 0; i < count; ++i)
    if (e.notes[i].noteID > top) top = e.notes[i].noteID;
  for (int i = 0; i < count; ++i) {
    bool repeated = false;
    for (int j = 0; j < count; ++j)
      if (j != i && e.notes[j].noteID == e.notes[i].noteID) repeated = true;
    if (e.notes[i].noteID == 0 || repeated) {
      twobyte id = NextID(e, count, top);
      if (id > top) top = id;
      e.notes[i].noteID = id;
    }
  }
}

void CleanEntry(EXENTRY& e) {
  int count = SoundNoteCount(e.notecount);
  e.notecount = static_cast<twobyte>(count);
  if (!IDsDistinctAndSet(e, count)) RenumberNotes(e, count);
  for (int i = 0; i < count; ++i) {
    FLAG_32 mirror =
        (static_cast<FLAG_32>(static_cast<utwobyte>(e.notes[i].noteID)) << 16) & NOTE_IDMIRROR;
    e.notes[i].flags = (e.notes[i].flags & ~NOTE_IDMIRROR) | mirror;
  }
  if (count < MAX_NOTES) memset(&e.notes[count], 0, (MAX_NOTES - count) * sizeof(ENOTE));
  if (count == 0 && CanAddNoteRecordToRests) {
    e.flags |= ENTRY_RESTNOTERECORD;
    e.notecount = 1;
    e.notes[0].flags = NOTE_CREATED;
  }
}

} // namespace

void CleanTGF(EXTGF2005a* frame) {
  int count = SoundEntryCount(frame);
  for (int k = 0; k < count; ++k)
    CleanEntry(frame->entries[k]);
}
