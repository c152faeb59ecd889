// Host services: Entry frames, staves and layers, served from the score (score.h).
// A value a test sets with SetAnswer replaces a service's answer and its work: a host that
// answers just that.
#include <algorithm>
#include <cstring>

#include "exports.h"
#include "hostsim.h"
#include "score.h"
#include "handedframes.h"

using namespace hostsim;

namespace {
bool HasDocument() {
  return !TheHost().documents.empty();
}

// Sounding pitch of a note slot in a key, the simulator's own arithmetic. The key word: when
// neither bit of 0xC000 is set, its high byte is the mode (0 major, 1 minor) and its low byte
// the accidental count as signed 8-bit (sharps positive, flats negative); KEY_OWN and a number
// is the document's own key of that number (DefineKey); every other key word counts as C major.
// The tonic of a major key with s accidentals lies s fifths above C, that of a minor key s
// fifths above A. Displacement 0 is the tonic in the octave from middle C (MIDI 60) upward (C
// in a key of the document's own); each 7 steps are an octave; the steps inside it follow the
// major scale, the natural minor scale or the letters' alterations; raise/lower adds
// semitones. The answer is kept to 0..127.
int32_t SoundingKey(const ENOTE* note, uint16_t keyword) {
  static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
  static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
  int mode = 0;
  int accidentals = 0;
  const KeyAlterations* own = nullptr;
  if ((keyword & 0xC000) == 0 && (keyword >> 8) <= 1) {
    mode = keyword >> 8;
    accidentals = static_cast<int8_t>(keyword & 0xFF);
  } else if ((keyword & 0xC000) == KEY_OWN && HasDocument() &&
             (keyword & ~KEY_OWN) < Doc().keys.size()) {
    own = &Doc().keys[keyword & ~KEY_OWN];
  }
  int tonic = ((mode == 1 ? 9 : 0) + 7 * accidentals) % 12;
  if (tonic < 0) tonic += 12;
  int d = note->displacement;
  int octave = d >= 0 ? d / 7 : -((6 - d) / 7);
  int step = d - 7 * octave;
  int key = 60 + tonic + 12 * octave + (mode == 1 ? minor : major)[step] + note->raiselower;
  if (own) key += (*own)[step];
  return std::min(127, std::max(0, key));
}
} // namespace

HOST_SERVICE(fourbyte, FX_GetMaxLayers, (EVERSION v)) {
  Log(FX_GetMaxLayers_service, {}, v);
  int32_t a;
  if (AnswerSet(FX_GetMaxLayers_service, &a)) return a;
  return TheHost().maxLayers;
}

HOST_SERVICE(fourbyte, FX_GetShowLayer, (fourbyte layer, EVERSION v)) {
  Log(FX_GetShowLayer_service, {Slot(layer)}, v);
  int32_t a;
  if (AnswerSet(FX_GetShowLayer_service, &a)) return a;
  int16_t l = static_cast<int16_t>(layer);
  return l >= 0 && l < TheHost().maxLayers && TheHost().shownLayers[l] ? 1 : 0;
}

HOST_SERVICE(fourbyte, FX_SlotToInst, (fourbyte slot, fourbyte instlist, EVERSION v)) {
  Log(FX_SlotToInst_service, {Slot(slot), Slot(instlist)}, v);
  int32_t a;
  if (AnswerSet(FX_SlotToInst_service, &a)) return a;
  if (!HasDocument()) return 0;
  return StaffAtSlot(static_cast<int16_t>(slot), static_cast<uint16_t>(instlist));
}

HOST_SERVICE(fourbyte, FX_InstToSlot, (fourbyte staff, fourbyte instlist, EVERSION v)) {
  Log(FX_InstToSlot_service, {Slot(staff), Slot(instlist)}, v);
  int32_t a;
  if (AnswerSet(FX_InstToSlot_service, &a)) return a;
  if (!HasDocument()) return 0;
  return SlotOfStaff(static_cast<int16_t>(staff), static_cast<uint16_t>(instlist));
}

// A fresh frame of the cell layer, or null where the score has no such cell.
HOST_SERVICE(EXTGF2005a*, FX_LoadTGF,
             (fourbyte instlist, fourbyte slot, fourbyte measure, fourbyte layer, fourbyte flag,
              EVERSION v)) {
  Log(FX_LoadTGF_service, {Slot(instlist), Slot(slot), Slot(measure), Slot(layer), Slot(flag)}, v);
  if (!HasDocument()) return nullptr;
  uint16_t list = static_cast<uint16_t>(instlist);
  int16_t s = static_cast<int16_t>(slot);
  int16_t m = static_cast<int16_t>(measure);
  int16_t l = static_cast<int16_t>(layer);
  int16_t staff = StaffAtSlot(s, list);
  if (staff <= 0 || m < 1 || m > Doc().measureCount || l < 0 || l >= TheHost().maxLayers)
    return nullptr;
  return HandOutFrame(staff, m, l, list, s);
}

// Copies the frame's entries into the score; a frame not handed out, or one that no longer
// describes its own entry array, is refused.
HOST_SERVICE(fourbyte, FX_SaveTGF, (EXTGF2005a * frame, EVERSION v)) {
  Log(FX_SaveTGF_service, {Slot(frame)}, v);
  int32_t a;
  if (AnswerSet(FX_SaveTGF_service, &a)) return a;
  const EXTGF2005a* f = static_cast<const EXTGF2005a*>(frame);
  if (!FrameIsIntact(f)) return 0;
  HandedFrame* h = FindHandedFrame(f);
  for (Document& d : TheHost().documents) {
    if (d.id != h->document) continue;
    StoreCell(d, CellLayer(h->staff, h->measure, h->layer), h->entries);
    return 1;
  }
  return 0;
}

HOST_SERVICE(fourbyte, FX_FreeTGF, (EXTGF2005a * frame, EVERSION v)) {
  Log(FX_FreeTGF_service, {Slot(frame)}, v);
  return TakeBackFrame(static_cast<const EXTGF2005a*>(frame)) ? 1 : 0;
}

HOST_SERVICE(fourbyte, FX_DeleteEXENTRY,
             (EXTGF2005a * frame, fourbyte index, fourbyte count, EVERSION v)) {
  Log(FX_DeleteEXENTRY_service, {Slot(frame), Slot(index), Slot(count)}, v);
  int32_t a;
  if (AnswerSet(FX_DeleteEXENTRY_service, &a)) return a;
  EXTGF2005a* f = static_cast<EXTGF2005a*>(frame);
  if (!FrameIsIntact(f)) return 0;
  HandedFrame* h = FindHandedFrame(f);
  int i = static_cast<int16_t>(index);
  int n = static_cast<int16_t>(count);
  if (i < 0 || n < 1 || i + n > static_cast<int>(h->entries.size())) return 0;
  h->entries.erase(h->entries.begin() + i, h->entries.begin() + i + n);
  f->entries = h->entries.empty() ? nullptr : h->entries.data();
  f->entrycount = static_cast<twobyte>(h->entries.size());
  return 1;
}

// Inserts blank entries (all zero but a new entry number) at the index.
HOST_SERVICE(fourbyte, FX_InsertEXENTRY,
             (EXTGF2005a * frame, fourbyte index, fourbyte count, EVERSION v)) {
  Log(FX_InsertEXENTRY_service, {Slot(frame), Slot(index), Slot(count)}, v);
  int32_t a;
  if (AnswerSet(FX_InsertEXENTRY_service, &a)) return a;
  EXTGF2005a* f = static_cast<EXTGF2005a*>(frame);
  if (!FrameIsIntact(f)) return 0;
  HandedFrame* h = FindHandedFrame(f);
  int i = static_cast<int16_t>(index);
  int n = static_cast<int16_t>(count);
  int size = static_cast<int>(h->entries.size());
  if (i < 0 || i > size || n < 1 || size + n > 0x7FFF) return 0;
  Document* doc = nullptr;
  for (Document& d : TheHost().documents)
    if (d.id == h->document) doc = &d;
  if (!doc) return 0;
  std::vector<EXENTRY> blank(n);
  for (EXENTRY& e : blank) {
    memset(&e, 0, sizeof e);
    e.entnum = doc->nextEntryNumber++;
  }
  h->entries.insert(h->entries.begin() + i, blank.begin(), blank.end());
  f->entries = h->entries.data();
  f->entrycount = static_cast<twobyte>(h->entries.size());
  return 1;
}

HOST_SERVICE(fourbyte, FX_NoteToMidi, (void* noteslot, fourbyte keyword, EVERSION v)) {
  Log(FX_NoteToMidi_service, {Slot(noteslot), Slot(keyword)}, v);
  int32_t a;
  if (AnswerSet(FX_NoteToMidi_service, &a)) return a;
  if (!noteslot) return 0;
  return SoundingKey(static_cast<const ENOTE*>(noteslot), static_cast<uint16_t>(keyword));
}

HOST_SERVICE(fourbyte, FX_ReduceEntries,
             (EXTGF2005a * frame, fourbyte index, fourbyte count, EVERSION v)) {
  Log(FX_ReduceEntries_service, {Slot(frame), Slot(index), Slot(count)}, v);
  return Answer(FX_ReduceEntries_service, 0);
}
