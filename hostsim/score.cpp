#include "score.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>

#include "handedframes.h"

#include "hostapi/fxtags.h"

namespace hostsim {

Host theHost;

namespace {

bool SameBytes(const void* a, const void* b, size_t n) {
  return memcmp(a, b, n) == 0;
}

bool SameEntries(const std::vector<EXENTRY>& a, const std::vector<EXENTRY>& b) {
  return a.size() == b.size() &&
         (a.empty() || SameBytes(a.data(), b.data(), a.size() * sizeof(EXENTRY)));
}
} // namespace

RecordKey MakeKey(uint16_t w0, uint16_t w1, uint16_t w2, uint16_t w3) {
  RecordKey k;
  uint16_t w[4] = {w0, w1, w2, w3};
  for (int i = 0; i < 4; ++i) {
    k[2 * i] = static_cast<uint8_t>(w[i] & 0xFF);
    k[2 * i + 1] = static_cast<uint8_t>(w[i] >> 8);
  }
  return k;
}

bool SameScore(const Document& a, const Document& b) {
  if (a.id != b.id || a.measureCount != b.measureCount || a.staves != b.staves ||
      a.records != b.records || a.currentPart != b.currentPart ||
      a.hasSelection != b.hasSelection || !SameBytes(&a.selection, &b.selection, sizeof(EREGION)) ||
      a.cells.size() != b.cells.size() || a.parts.size() != b.parts.size() || a.keys != b.keys)
    return false;
  for (size_t i = 0; i < a.parts.size(); ++i)
    if (a.parts[i].id != b.parts[i].id || a.parts[i].staves != b.parts[i].staves) return false;
  for (const auto& cell : a.cells) {
    auto other = b.cells.find(cell.first);
    if (other == b.cells.end() || !SameEntries(cell.second, other->second)) return false;
  }
  return true;
}

Cells::iterator Cells::find(const CellLayer& where) {
  uint64_t key = WalkKey(where);
  if (last_ != map_.end() && WalkKey(last_->first) <= key) {
    if (WalkKey(last_->first) == key) return last_;
    if (next_ == map_.end() || key < WalkKey(next_->first)) return map_.end();
    if (WalkKey(next_->first) == key) return Remember(next_);
  }
  iterator it = map_.lower_bound(where);
  if (it != map_.end() && WalkKey(it->first) == key) return Remember(it);
  if (it == map_.begin()) {
    Forget();
  } else {
    last_ = std::prev(it);
    next_ = it;
  }
  return map_.end();
}

// Keeps the cell found and the one after it, and starts bringing that one's entries into the
// cache: a walk asks for it next, after a whole cell's work that the wait then hides in.
Cells::iterator Cells::Remember(iterator found) {
  last_ = found;
  next_ = std::next(found);
  if (next_ != map_.end()) {
    const char* bytes = reinterpret_cast<const char*>(next_->second.data());
    size_t size = std::min<size_t>(next_->second.size() * sizeof(EXENTRY), 4096);
    for (size_t at = 0; at < size; at += 64)
      __builtin_prefetch(bytes + at);
  }
  return found;
}

Document& MakeDocumentInFront() {
  Host& h = TheHost();
  if (h.documents.empty()) {
    h.documents.push_back(Document());
    h.currentDocument = 0;
  }
  if (h.currentDocument >= h.documents.size()) h.currentDocument = 0;
  return h.documents[h.currentDocument];
}

Document& NewDocument(int staffCount, int measureCount, int16_t id) {
  Host& h = TheHost();
  h.documents.push_back(Document());
  h.currentDocument = h.documents.size() - 1;
  Document& d = h.documents.back();
  d.id = id;
  d.measureCount = static_cast<int16_t>(measureCount);
  Part score;
  score.id = 0;
  for (int s = 1; s <= staffCount; ++s) {
    d.staves.push_back(static_cast<int16_t>(s));
    score.staves.push_back(static_cast<int16_t>(s));
    PutRecord(TAG_SOIS, MakeKey(static_cast<uint16_t>(s)), std::vector<uint8_t>(114, 0));
    std::vector<uint8_t> item(24, 0);
    item[0] = static_cast<uint8_t>(s & 0xFF);
    item[1] = static_cast<uint8_t>(s >> 8);
    PutRecord(TAG_SOIu, MakeKey(0, static_cast<uint16_t>(s - 1)), item);
  }
  d.parts.push_back(score);
  for (int m = 1; m <= measureCount; ++m)
    PutRecord(TAG_SOMS, MakeKey(static_cast<uint16_t>(m)), std::vector<uint8_t>(26, 0));
  return d;
}

int16_t AddPart(const std::vector<int16_t>& staves) {
  Document& d = Doc();
  Part p;
  p.id = static_cast<int16_t>(d.parts.size());
  p.staves = staves;
  d.parts.push_back(p);
  return p.id;
}

void PutRecord(uint32_t tag, const RecordKey& key, const std::vector<uint8_t>& bytes) {
  Doc().records[{tag, key}] = bytes;
}

const std::vector<uint8_t>* FindRecord(uint32_t tag, const RecordKey& key) {
  auto& r = Doc().records;
  auto it = r.find({tag, key});
  return it == r.end() ? nullptr : &it->second;
}

void SetMeasureKey(int16_t measure, uint16_t keyword) {
  auto& r = Doc().records[{TAG_SOMS, MakeKey(static_cast<uint16_t>(measure))}];
  if (r.size() < 26) r.resize(26, 0);
  r[2] = static_cast<uint8_t>(keyword & 0xFF);
  r[3] = static_cast<uint8_t>(keyword >> 8);
}

uint16_t DefineKey(const KeyAlterations& alterations) {
  Document& d = Doc();
  auto found = d.keyNumbers.find(alterations);
  if (found != d.keyNumbers.end()) return static_cast<uint16_t>(KEY_OWN | found->second);
  if (d.keys.size() >= MAX_OWN_KEYS) return 0;
  uint16_t number = static_cast<uint16_t>(d.keys.size());
  d.keys.push_back(alterations);
  d.keyNumbers.emplace(alterations, number);
  return static_cast<uint16_t>(KEY_OWN | number);
}

void SetStaffFlags(int16_t staff, uint16_t flags) {
  auto& r = Doc().records[{TAG_SOIS, MakeKey(static_cast<uint16_t>(staff))}];
  if (r.size() < 114) r.resize(114, 0);
  r[22] = static_cast<uint8_t>(flags & 0xFF);
  r[23] = static_cast<uint8_t>(flags >> 8);
}

void SetCellKey(int16_t staff, int16_t measure, uint16_t keyword) {
  const RecordKey key = MakeKey(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure));
  std::vector<uint8_t> detail(10, 0);
  detail[0] = static_cast<uint8_t>(keyword & 0xFF);
  detail[1] = static_cast<uint8_t>(keyword >> 8);
  detail[9] = 0x08; // the flag word's 0x0800: the cell has its own key
  PutRecord(TAG_dtFL, key, detail);
  std::vector<uint8_t> settings(114, 0); // the staff's settings at the measure's start
  settings[23] = 0x80;                   // the flag word's 0x8000: its cells may carry keys
  PutRecord(TAG_SOSC, key, settings);
}

int AddEntry(int16_t staff, int16_t measure, int16_t layer, const EntrySpec& entry) {
  Document& d = Doc();
  EXENTRY e;
  memset(&e, 0, sizeof e);
  e.entnum = d.nextEntryNumber++;
  e.duration = entry.duration;
  e.measurepos = entry.pos;
  e.notecount =
      static_cast<twobyte>(entry.notes.size() > MAX_NOTES ? MAX_NOTES : entry.notes.size());
  e.flags = entry.flags;
  if (e.notecount > 0) e.flags |= ENTRY_NOTE;
  for (int i = 0; i < e.notecount; ++i) {
    const NoteSpec& n = entry.notes[i];
    e.notes[i].displacement = n.displacement;
    e.notes[i].raiselower = n.raiselower;
    e.notes[i].noteID = n.id ? n.id : static_cast<twobyte>(i + 1);
    e.notes[i].flags = n.flags;
  }
  std::vector<EXENTRY>& cell = Cell(staff, measure, layer);
  cell.push_back(e);
  return static_cast<int>(cell.size()) - 1;
}

namespace {
// Keeps a cell layer as it is for the open edit's rollback, when an edit of the document is
// open. The entries go into one list for the whole edit, so that keeping them allocates
// nothing once it has grown.
void KeepForRollback(const Document& d, const CellLayer& where, const std::vector<EXENTRY>* cell) {
  Host& h = TheHost();
  if (!h.editOpen || d.id != h.beforeEdit.id) return;
  size_t first = h.entriesBefore.size();
  if (cell) h.entriesBefore.insert(h.entriesBefore.end(), cell->begin(), cell->end());
  h.cellsBefore.push_back(CellBefore{where, cell != nullptr, first, cell ? cell->size() : 0});
}
} // namespace

std::vector<EXENTRY>& Cell(int16_t staff, int16_t measure, int16_t layer) {
  Document& d = Doc();
  CellLayer where(staff, measure, layer);
  // Whatever a caller does with the cell while an edit is open, a cancel puts it back.
  auto cell = d.cells.find(where);
  KeepForRollback(d, where, cell == d.cells.end() ? nullptr : &cell->second);
  return d.cells[where];
}

void StoreCell(Document& document, const CellLayer& where, const std::vector<EXENTRY>& entries) {
  auto cell = document.cells.find(where);
  if (cell == document.cells.end() && entries.empty()) return;
  KeepForRollback(document, where, cell == document.cells.end() ? nullptr : &cell->second);
  if (cell == document.cells.end())
    cell = document.cells.emplace(where, entries).first;
  else
    cell->second.assign(entries.begin(), entries.end());
}

EREGION MakeRegion(int16_t startSlot, int16_t startMeasure, int32_t startPos, int16_t endSlot,
                   int16_t endMeasure, int32_t endPos, uint16_t list) {
  EREGION r = {};
  r.startinstlist = r.endinstlist = list;
  r.startslot = startSlot;
  r.startmeas = startMeasure;
  r.startpos = startPos;
  r.endslot = endSlot;
  r.endmeas = endMeasure;
  r.endpos = endPos;
  return r;
}

void SetSelection(int16_t startSlot, int16_t startMeasure, int32_t startPos, int16_t endSlot,
                  int16_t endMeasure, int32_t endPos) {
  Document& d = Doc();
  d.selection = MakeRegion(startSlot, startMeasure, startPos, endSlot, endMeasure, endPos);
  d.hasSelection = true;
}

void ClearSelection() {
  Document& d = Doc();
  d.selection = EREGION();
  d.hasSelection = false;
}

namespace {
const std::vector<int16_t>* ListStaves(uint16_t list) {
  Document& d = Doc();
  if (list == 0) return &d.staves;
  const Part* p = FindPart(d, static_cast<int16_t>(list));
  return p ? &p->staves : nullptr;
}
} // namespace

std::ptrdiff_t PartIndex(const Document& d, int16_t id) {
  const std::vector<Part>& parts = d.parts;
  size_t place = static_cast<uint16_t>(id);
  if (place < parts.size() && parts[place].id == id) return static_cast<std::ptrdiff_t>(place);
  for (size_t i = 0; i < parts.size(); ++i)
    if (parts[i].id == id) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

int16_t StaffAtSlot(int16_t slot, uint16_t list) {
  const std::vector<int16_t>* staves = ListStaves(list);
  if (!staves || slot < 1 || slot > static_cast<int>(staves->size())) return 0;
  return (*staves)[slot - 1];
}

int16_t SlotOfStaff(int16_t staff, uint16_t list) {
  const std::vector<int16_t>* staves = ListStaves(list);
  if (!staves || staves->empty()) return 0;
  size_t place = static_cast<size_t>(staff - (*staves)[0]);
  if (staff >= (*staves)[0] && place < staves->size() && (*staves)[place] == staff)
    return static_cast<int16_t>(place + 1);
  for (size_t i = 0; i < staves->size(); ++i)
    if ((*staves)[i] == staff) return static_cast<int16_t>(i + 1);
  return 0;
}

// ---- Part names -----------------------------------------------------------------------------
namespace {
const uint32_t TAG_PARTNAME = MAKEEXTAG('h', 's', 'P', 'A'); // the simulator's own, not a host tag
}

void SetPartName(int16_t part, const std::string& name) {
  PutRecord(TAG_PARTNAME, MakeKey(static_cast<uint16_t>(part)),
            std::vector<uint8_t>(name.begin(), name.end()));
}

std::string PartName(int16_t part) {
  const std::vector<uint8_t>* r = FindRecord(TAG_PARTNAME, MakeKey(static_cast<uint16_t>(part)));
  if (r) return std::string(r->begin(), r->end());
  return part == 0 ? "Score" : "Part " + std::to_string(part);
}

} // namespace hostsim

// ==== Entry frames handed out, and bad host data for tests =================================
namespace hostsim {

namespace {
// The storage of the frames handed out, at the same index as their addresses in framesOut,
// and that of frames given back, reused first in, first out so that an address comes back only
// after many others and handing out allocates nothing once a few frames have come back. A
// Reset() empties framesOut; the storage of frames it forgot is dropped at the next hand-out.
struct FrameStorage {
  std::deque<std::unique_ptr<HandedFrame>> out;   // beside TheHost().framesOut; given back from
                                                  // either end in O(1)
  std::deque<std::unique_ptr<HandedFrame>> given; // storage of frames given back
};
const size_t KEPT_BEFORE_REUSE = 16; // storage given back is reused after this many others

FrameStorage frameStore;
inline FrameStorage& FrameStore() {
  return frameStore;
}

void DropForgottenFrames() {
  // The two lists change together; only a Reset() makes them differ.
  if (FrameStore().out.size() != TheHost().framesOut.size()) FrameStore().out.clear();
}

// Where the frame stands in framesOut, or -1. Few frames are out at once, and the one asked
// for is mostly the latest or, when a cell gives back all its layers, the earliest: a search
// from both ends.
std::ptrdiff_t OutIndex(const EXTGF2005a* frame) {
  const auto& out = TheHost().framesOut;
  if (!frame || FrameStore().out.size() != out.size()) return -1;
  for (size_t lo = 0, hi = out.size(); lo < hi; ++lo) {
    if (out[--hi] == frame) return static_cast<std::ptrdiff_t>(hi);
    if (out[lo] == frame) return static_cast<std::ptrdiff_t>(lo);
  }
  return -1;
}

FrameTamper& Tamper() {
  static FrameTamper tamper;
  return tamper;
}
} // namespace

HandedFrame* FindHandedFrame(const EXTGF2005a* frame) {
  std::ptrdiff_t i = OutIndex(frame);
  return i < 0 ? nullptr : FrameStore().out[static_cast<size_t>(i)].get();
}

EXTGF2005a* HandOutFrame(int16_t staff, int16_t measure, int16_t layer, uint16_t list,
                         int16_t slot) {
  DropForgottenFrames();
  FrameStorage& store = FrameStore();
  Document& d = Doc();
  std::unique_ptr<HandedFrame> h;
  if (store.given.size() > KEPT_BEFORE_REUSE) {
    h = std::move(store.given.front());
    store.given.pop_front();
  } else {
    h.reset(new HandedFrame());
  }
  memset(&h->frame, 0, sizeof h->frame);
  auto cell = d.cells.find(CellLayer(staff, measure, layer));
  if (cell != d.cells.end())
    h->entries.assign(cell->second.begin(), cell->second.end());
  else
    h->entries.clear();
  h->document = d.id;
  h->staff = staff;
  h->measure = measure;
  h->layer = layer;
  h->frame.instlist = list;
  h->frame.slot = slot;
  h->frame.measure = measure;
  h->frame.layer = layer;
  h->frame.entries = h->entries.empty() ? nullptr : h->entries.data();
  h->frame.entrycount = static_cast<twobyte>(h->entries.size());
  EXTGF2005a* frame = &h->frame;
  store.out.push_back(std::move(h));
  TheHost().framesOut.push_back(frame);
  if (Tamper()) Tamper()(frame);
  ++TheHost().framesHandedOut;
  return frame;
}

bool TakeBackFrame(const EXTGF2005a* frame) {
  DropForgottenFrames();
  std::ptrdiff_t i = OutIndex(frame);
  if (i < 0) return false;
  FrameStorage& store = FrameStore();
  auto& out = TheHost().framesOut;
  store.given.push_back(std::move(store.out[static_cast<size_t>(i)]));
  store.out.erase(store.out.begin() + i);
  out.erase(out.begin() + i);
  return true;
}

bool FrameIsIntact(const EXTGF2005a* frame) {
  HandedFrame* h = FindHandedFrame(frame);
  if (!h) return false;
  const EXENTRY* own = h->entries.empty() ? nullptr : h->entries.data();
  return frame->entries == own && frame->entrycount == static_cast<twobyte>(h->entries.size());
}

ScopedFrameTamper::ScopedFrameTamper(FrameTamper tamper) {
  Tamper() = std::move(tamper);
}

ScopedFrameTamper::~ScopedFrameTamper() {
  Tamper() = FrameTamper();
}

} // namespace hostsim
