// The host simulator's score: documents with their staves, typed records, entry frames,
// parts and selection. Tests build scores through this API and read them back; the services
// (services_*.cpp) serve the plug-in from it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "hostapi/fxrecords.h"

namespace hostsim {

// An 8-byte record key, as the plug-in hands it over.
typedef std::array<uint8_t, 8> RecordKey;
RecordKey MakeKey(uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0, uint16_t w3 = 0);

// One note of an entry a test builds.
struct NoteSpec {
  int16_t displacement = 0;
  int16_t raiselower = 0;
  uint32_t flags = 0x80000000; // as the host stores notes it made
  int16_t id = 0;              // 0: numbered 1, 2, ... in order
};

// One entry a test builds: a rest when it has no notes.
struct EntrySpec {
  int16_t duration = 1024;
  int32_t pos = 0;
  uint32_t flags = 0; // entry flags besides the note flag (a grace note's, say)
  std::vector<NoteSpec> notes;
};

// A part: a view of some of the score's staves. Part 0 is the score and shows every staff.
struct Part {
  int16_t id = 0;
  std::vector<int16_t> staves; // the part's instrument list: slot i + 1 holds staves[i]
};

// A cell layer: (staff, measure, layer index).
typedef std::tuple<int16_t, int16_t, int16_t> CellLayer;

// Cell layers in the order a walk over a region visits them: measure by measure, staff by
// staff, layer by layer (each number as a 16-bit pattern offset so that signed order holds).
inline uint64_t WalkKey(const CellLayer& c) {
  return static_cast<uint64_t>(static_cast<uint16_t>(std::get<1>(c) ^ 0x8000)) << 32 |
         static_cast<uint64_t>(static_cast<uint16_t>(std::get<0>(c) ^ 0x8000)) << 16 |
         static_cast<uint16_t>(std::get<2>(c) ^ 0x8000);
}
struct WalkOrder {
  bool operator()(const CellLayer& a, const CellLayer& b) const { return WalkKey(a) < WalkKey(b); }
};

// The entries of every cell layer of a document, in walk order. A walk asks for cells one
// after the other in that order, mostly for the cell the last look-up found or the one after
// it: the store remembers where the last look-up ended, so that such a look-up costs a step
// instead of a search down the tree, whatever the size of the score.
class Cells {
public:
  typedef std::map<CellLayer, std::vector<EXENTRY>, WalkOrder> Map;
  typedef Map::iterator iterator;
  typedef Map::const_iterator const_iterator;

  Cells() : last_(map_.end()), next_(map_.end()) {}
  Cells(const Cells& other) : map_(other.map_), last_(map_.end()), next_(map_.end()) {}
  Cells(Cells&& other) noexcept
      : map_(std::move(other.map_)), last_(map_.end()), next_(map_.end()) {
    other.Forget();
  }
  Cells& operator=(const Cells& other) {
    map_ = other.map_;
    Forget();
    return *this;
  }
  Cells& operator=(Cells&& other) noexcept {
    map_ = std::move(other.map_);
    Forget();
    other.Forget();
    return *this;
  }
  void swap(Cells& other) {
    map_.swap(other.map_);
    Forget();
    other.Forget();
  }

  iterator find(const CellLayer& where);
  const_iterator find(const CellLayer& where) const { return map_.find(where); }
  std::vector<EXENTRY>& operator[](const CellLayer& where) {
    Forget();
    return map_[where];
  }
  std::pair<iterator, bool> emplace(const CellLayer& where, const std::vector<EXENTRY>& entries) {
    Forget();
    return map_.emplace(where, entries);
  }
  size_t erase(const CellLayer& where) {
    Forget();
    return map_.erase(where);
  }
  const std::vector<EXENTRY>& at(const CellLayer& where) const { return map_.at(where); }
  size_t count(const CellLayer& where) const { return map_.count(where); }
  size_t size() const { return map_.size(); }
  iterator begin() { return map_.begin(); }
  iterator end() { return map_.end(); }
  const_iterator begin() const { return map_.begin(); }
  const_iterator end() const { return map_.end(); }

private:
  iterator Remember(iterator found);
  void Forget() { last_ = next_ = map_.end(); }

  Map map_;
  // The last cell found (or the one before the last cell not found) and the one after it;
  // end() for none. Every change of the cells and every copy forgets them.
  iterator last_, next_;
};

// A key signature letter by letter: the alteration of C, D, E, F, G, A and B, in semitones.
typedef std::array<int8_t, 7> KeyAlterations;
// The key word of a key of the document's own is this bit and the key's number: a non-standard
// word, whose scale only the host knows.
const uint16_t KEY_OWN = 0x4000;
const size_t MAX_OWN_KEYS = 0x4000;

struct Document {
  int16_t id = 1;
  int16_t measureCount = 0;
  std::vector<int16_t> staves; // instrument list 0: slot i + 1 holds staff number staves[i]
  std::map<std::pair<uint32_t, RecordKey>, std::vector<uint8_t>> records; // by tag and key
  Cells cells;             // the entries of every cell layer
  std::vector<Part> parts; // parts[0] is the score
  int16_t currentPart = 0; // id of the part in view
  EREGION selection = {};  // the current selection
  bool hasSelection = false;
  uint32_t nextEntryNumber = 1;
  // Key signatures of the document's own, that no major or minor key has: the alteration of
  // each letter (C = 0 ... B = 6), by number; key word KEY_OWN | number (DefineKey).
  std::vector<KeyAlterations> keys;
  std::map<KeyAlterations, uint16_t> keyNumbers;
};

// Byte-for-byte comparison of two scores (records, entries, staves, parts, selection).
bool SameScore(const Document& a, const Document& b);

// ---- The host as a whole --------------------------------------------------------------------
struct UndoEntry {
  std::string name; // the undo text the edit was opened with
};

// One record transfer as it reached the host: the key and size as they were on arrival.
struct RecordTransfer {
  std::string name; // the service, for example "FX_LoadEData"
  uint32_t tag;     // the record's four characters
  RecordKey key;    // the key on arrival (all zero when the key pointer was null)
  int32_t size;     // the size on arrival (for loads the value the size pointer held, or -1)
  bool hasBuffer;   // a buffer came with the call
  uint32_t version; // the interface version word
  int32_t result;   // what the host answered
};

// A cell layer as it was before the open edit stored new entries into it.
struct CellBefore {
  CellLayer where; // the cell layer
  bool existed;    // the score held it at all
  size_t first;    // its entries then: these in Host::entriesBefore
  size_t count;
};

struct MenuCommandRecord {
  int32_t item;      // host menu item number
  int16_t part;      // part in view when it ran
  EREGION selection; // selection in force when it ran
};

struct Host {
  std::vector<Document> documents; // documents[currentDocument] is in front
  size_t currentDocument = 0;
  std::vector<bool> shownLayers = std::vector<bool>(0x8000, true); // by layer, every one a
                                                                   // 16-bit count can report
  int16_t maxLayers = 4;
  std::vector<const EXTGF2005a*> framesOut; // frames handed out and not given back
  int framesHandedOut = 0;                  // every frame ever handed out
  bool editOpen = false;                    // an edit transaction is open
  bool refuseEdits = false;                 // FX_StartFinaleEdit answers 0
  std::string editName;                     // undo text of the open edit
  Document beforeEdit;                      // the score as it was when the edit opened, but for
                                            // its cells: those are in cellsBefore
  std::vector<CellBefore> cellsBefore;      // every store into a cell during the edit, in order
  std::vector<EXENTRY> entriesBefore;       // their entries, one after the other
  std::vector<UndoEntry> undoList;          // ended edits, oldest first
  std::vector<MenuCommandRecord> menuCommands;
  int redraws = 0;
  std::vector<std::string> alerts; // texts shown with FX_AlertMessage
  std::string finalePath;          // the folder FX_GetFinalePath reports

  // Every record transfer, in order.
  std::vector<RecordTransfer> transfers;
  // Tags whose loads into a too-small buffer copy the part that fits and then report failure,
  // the way some host versions treat records they have grown.
  std::set<uint32_t> loadsCopyWhatFits;
  // FX_NextEData past the last record of a tag answers the first one again, as a host whose
  // record list is a ring would.
  bool nextGoesRound = false;
};

// The simulator's one host. Reset() (hostsim.h) empties it.
extern Host theHost; // made before main; nothing touches it while statics are made
inline Host& TheHost() {
  return theHost;
}
// The document in front; creates an empty one (id 1) if there is none.
Document& MakeDocumentInFront();
inline Document& Doc() {
  Host& h = TheHost();
  return h.currentDocument < h.documents.size() ? h.documents[h.currentDocument]
                                                : MakeDocumentInFront();
}

// Makes a new document in front with staves 1..staffCount (staff records 'SOIS' with a zeroed
// flag word, staff list 'SOIu' under item 0), measures 1..measureCount ('SOMS' with key word 0)
// and the score as its only part. Answers it.
Document& NewDocument(int staffCount, int measureCount, int16_t id = 1);
// Adds a part showing the staves given (in that order) and answers its id.
int16_t AddPart(const std::vector<int16_t>& staves);

// Typed records by tag and key.
void PutRecord(uint32_t tag, const RecordKey& key, const std::vector<uint8_t>& bytes);
const std::vector<uint8_t>* FindRecord(uint32_t tag, const RecordKey& key);
void SetMeasureKey(int16_t measure, uint16_t keyword);
// The key word of a key of the document's own with these alterations, defined on first use
// (the same alterations answer the same word); 0 when the document holds MAX_OWN_KEYS already.
// Displacement 0 is middle C in it, and each letter sounds with its alteration.
uint16_t DefineKey(const KeyAlterations& alterations);
void SetStaffFlags(int16_t staff, uint16_t flags); // the 16-bit flag word at offset 22
// Gives one staff's cell in a measure a key of its own, as the host keeps a staff in another
// key than its measure (a key per staff): the cell's detail record carries
// the key, and the staff's settings there let its cells carry one.
void SetCellKey(int16_t staff, int16_t measure, uint16_t keyword);

// Entries: appends one to a cell layer and answers its index there.
int AddEntry(int16_t staff, int16_t measure, int16_t layer, const EntrySpec& entry);
// A cell layer's entries, made empty when the score has none. While an edit is open the cell
// is kept as it was first, for the edit's rollback.
std::vector<EXENTRY>& Cell(int16_t staff, int16_t measure, int16_t layer);

// A region record over list's slots (0: the score's list).
EREGION MakeRegion(int16_t startSlot, int16_t startMeasure, int32_t startPos, int16_t endSlot,
                   int16_t endMeasure, int32_t endPos, uint16_t list = 0);

// The selection of the document in front.
void SetSelection(int16_t startSlot, int16_t startMeasure, int32_t startPos, int16_t endSlot,
                  int16_t endMeasure, int32_t endPos);
void ClearSelection();

// Stores entries into a cell layer of the document; while an edit of that document is open
// the old entries are kept for its rollback first. No entries where the score has no cell
// layer leave it without one.
void StoreCell(Document& document, const CellLayer& where, const std::vector<EXENTRY>& entries);

// Slots and staves of an instrument list: list 0 is the score's, list n the staves of part n.
// A staff stands once in a list, as in the host's; a list whose staves run on from its first
// one (every list NewDocument and the score files make) answers without a search, so that a
// plug-in asking for every staff of every part costs a step a question, whatever the score.
int16_t StaffAtSlot(int16_t slot, uint16_t list);
int16_t SlotOfStaff(int16_t staff, uint16_t list);

// The index in the document's parts of the part with the id, -1 when there is none. An id
// stands once, as in the host; AddPart numbers a part by its place, so that place is tried
// first.
std::ptrdiff_t PartIndex(const Document& d, int16_t id);
inline const Part* FindPart(const Document& d, int16_t id) {
  std::ptrdiff_t i = PartIndex(d, id);
  return i < 0 ? nullptr : &d.parts[static_cast<size_t>(i)];
}

// ---- Part names (served by FX_GetPartName) ---------------------------------------------------
// A part's name is kept with the document, as a record the plug-in never asks for, so that an
// edit's rollback and SameScore cover it. A part without one is called "Score" (part 0) or
// "Part <id>".
void SetPartName(int16_t part, const std::string& name);
std::string PartName(int16_t part);

} // namespace hostsim
