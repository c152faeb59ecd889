#include "fcvoiceleadinghandler.h"

#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "data/fcbrowsernoteentries.h"
#include "data/fccell.h"
#include "data/fckeysignature.h"
#include "data/fcmusicregion.h"
#include "data/fcnote.h"
#include "data/fcnoteentry.h"
#include "data/fcstaffatposition.h"
#include "fxbridge.h"
#include "voiceleading.h"

namespace {

using voiceleading::Chord;
using voiceleading::Note;
using voiceleading::Plan;

// Where one visited entry went: the walks visit the same entries in the same order, so the
// writing walk finds each entry's plan by its place in the walk.
struct Visit {
  ufourbyte entry = 0; // the host's entry number, to be sure it is the same entry
  int notes = 0;       // its note count when read
  int passage = -1;    // the passage it belongs to; -1: left alone
  int chord = -1;      // its place in the passage
};

// The notes a tie leaves from, by written pitch.
using Ties = std::vector<std::pair<int, int>>;

// One staff's layer as the walk goes through it.
struct Lane {
  int passage = -1; // its passage; made at its first chord
  Ties ties;        // the pitches tied from its last entry
};

bool Tied(const FCNote* note) {
  return (note->GetNoteFlags() & NOTE_TIE) != 0;
}

class Reader : public FCIteratorHandler {
public:
  explicit Reader(bool top) : _top(top) {}
  bool Iterate(__FCBase* object) override;

  std::vector<Visit> visits;                // every entry visited, in walk order
  std::vector<std::vector<Chord>> passages; // each staff's layer's chords in time order
  int grace = 0;                            // chords of grace notes passed over
  int twelve = 0;                           // chords of twelve notes kept as written

private:
  // The key word notes of the entry's cell sound in (0 where its staff ignores the key).
  twobyte _KeyWord(FCNoteEntry* entry);

  bool _top;
  std::map<long, Lane> _lanes; // by staff and layer
  twobyte _keyMeasure = 0;     // the cell whose key word is at hand
  twobyte _keyStaff = 0;
  twobyte _keyWord = 0;
};

twobyte Reader::_KeyWord(FCNoteEntry* entry) {
  if (entry->GetMeasure() == _keyMeasure && entry->GetStaff() == _keyStaff) return _keyWord;
  _keyMeasure = entry->GetMeasure();
  _keyStaff = entry->GetStaff();
  _keyWord = 0;
  FCCurrentStaffSpec staffAt;
  if (!(staffAt.Load(entry) && staffAt.GetIgnoreKeySignature())) {
    FCCell cell(_keyMeasure, _keyStaff);
    _keyWord = static_cast<twobyte>(cell.GetKeySignature()->GetKeyWord());
  }
  return _keyWord;
}

bool Reader::Iterate(__FCBase* object) {
  FCNoteEntry* entry = static_cast<FCNoteEntry*>(object);
  EXENTRY* record = entry ? entry->_GetEntryRecord() : nullptr;
  visits.emplace_back();
  if (!record || !entry->_GetFrame()) return true;
  Visit& visit = visits.back();
  visit.entry = record->entnum;
  visit.notes = entry->GetCount();
  // A grace note is an ornament of the line, not a chord of it: passed over, ties and all.
  if (record->flags & ENTRY_GRACENOTE) {
    grace += !entry->IsRest() && entry->GetCount() >= 2;
    return true;
  }
  Lane& lane = _lanes[static_cast<long>(entry->GetStaff()) * 0x10000 + entry->_GetFrame()->layer];
  Ties from;
  from.swap(lane.ties);
  if (entry->IsRest()) return true;
  int count = entry->GetCount();
  for (int i = 0; i < count; ++i) {
    FCNote* note = entry->GetItemAt(i);
    if (Tied(note)) lane.ties.push_back({note->GetDisplacement(), note->GetRaiseLower()});
  }
  if (count < 2) return true; // a single note is left alone and does not end the passage
  if (lane.passage < 0) {
    lane.passage = static_cast<int>(passages.size());
    passages.emplace_back();
  }
  std::vector<Chord>& passage = passages[lane.passage];
  Chord chord;
  chord.notes.reserve(count);
  twobyte key = _KeyWord(entry);
  for (int i = 0; i < count; ++i) {
    FCNote* note = entry->GetItemAt(i);
    Note n;
    n.step = note->GetDisplacement();
    n.raiselower = note->GetRaiseLower();
    n.key = FX_NoteToMidi(note->_GetNoteSlot(), key);
    // Both ends of a tie stay, so that no tie breaks.
    n.fixed = Tied(note);
    for (const std::pair<int, int>& t : from)
      n.fixed = n.fixed || (t.first == n.step && t.second == n.raiselower);
    chord.notes.push_back(n);
  }
  FCNote* kept = _top ? entry->FindHighestNote() : entry->FindLowestNote();
  chord.kept = kept ? kept->GetIndex() : 0;
  // The passage's first chord is where it starts from; a chord of twelve notes is left alone
  // but still leads on to the next.
  twelve += count >= MAX_NOTES && !passage.empty(); // a first chord is never voiced anew
  chord.asWritten = passage.empty() || count >= MAX_NOTES;
  visit.passage = lane.passage;
  visit.chord = static_cast<int>(passage.size());
  passage.push_back(std::move(chord));
  return true;
}

class Writer : public FCIteratorHandler {
public:
  Writer(const std::vector<Visit>& visits, const std::vector<Plan>& plans)
      : _visits(visits), _plans(plans) {}
  bool Iterate(__FCBase* object) override;
  bool GetChanged() const { return _changed; }

private:
  const std::vector<Visit>& _visits; // what the reading walk found, in walk order
  const std::vector<Plan>& _plans;   // each passage's plan
  size_t _next = 0;                  // the visit this call is
  bool _changed = false;
};

bool Writer::Iterate(__FCBase* object) {
  FCNoteEntry* entry = static_cast<FCNoteEntry*>(object);
  if (_next >= _visits.size()) return true;
  const Visit& visit = _visits[_next++];
  EXENTRY* record = entry ? entry->_GetEntryRecord() : nullptr;
  if (visit.passage < 0 || !record || record->entnum != visit.entry ||
      entry->GetCount() != visit.notes)
    return true;
  const std::vector<int>& shifts = _plans[visit.passage][visit.chord];
  bool moved = false;
  for (int i = 0; i < visit.notes && i < static_cast<int>(shifts.size()); ++i) {
    if (shifts[i] == 0) continue;
    FCNote* note = entry->GetItemAt(i);
    int step = note->GetDisplacement() + voiceleading::OCTAVE_STEPS * shifts[i];
    if (step < -0x8000 || step > 0x7FFF) continue;
    note->SetDisplacement(static_cast<twobyte>(step));
    moved = true;
  }
  if (moved) {
    entry->SetNotesChangedFlag();
    _changed = true;
  }
  return true;
}

} // namespace

void ChordsLeftAlone::Describe(char* text, int size) const {
  char many[64];
  snprintf(many, sizeof many, "with more than %d ways to voice them", voiceleading::MAX_VOICINGS);
  const struct {
    int count;
    const char* why;
  } kinds[] = {{grace, "of grace notes"},
               {twelve, "of twelve notes"},
               {tooMany, many},
               {noVoicing, "with no voicing within reach that keeps the rules"}};
  int used = 0;
  if (size > 0) text[0] = 0;
  for (const auto& k : kinds) {
    if (k.count == 0 || used >= size) continue;
    int n = snprintf(text + used, static_cast<size_t>(size - used), "%s%d %s %s", used ? ", " : "",
                     k.count, k.count == 1 ? "chord" : "chords", k.why);
    used += n > 0 ? n : 0;
  }
}

bool FCVoiceLeadingHandler::Execute(FCMusicRegion* region) {
  Reader reader(_top);
  FCBrowserNoteEntries reading;
  reading.ForEachInRegion(&reader, region);
  _alone = ChordsLeftAlone();
  _alone.grace = reader.grace;
  _alone.twelve = reader.twelve;
  std::vector<Plan> plans;
  bool moves = false;
  for (const std::vector<voiceleading::Chord>& passage : reader.passages) {
    voiceleading::LeftAlone alone;
    plans.push_back(voiceleading::Choose(passage, _top, _strict, nullptr, &alone));
    _alone.tooMany += alone.tooMany;
    _alone.noVoicing += alone.noVoicing;
    for (const std::vector<int>& shifts : plans.back())
      for (int s : shifts)
        moves = moves || s != 0;
  }
  if (!moves) return false;
  Writer writer(reader.visits, plans);
  writer.SetSaveAfterIterating(true);
  FCBrowserNoteEntries writing;
  writing.ForEachInRegion(&writer, region);
  return writer.GetChanged();
}
