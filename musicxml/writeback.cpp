#include "writeback.h"

#include "lines.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace musicxml {

namespace {

// ---- whitespace-keeping edits ---------------------------------------------------------------
// The document keeps its indentation as text nodes; new elements copy the indentation of the
// element they follow, and removed ones take theirs with them. Each edit first tells the
// score's Edits what it reaches (an element rewritten, an element gaining or losing children),
// so that saving copies everything else from the file.

bool IsSpace(const pugi::xml_node& n) {
  if (n.type() != pugi::node_pcdata) return false;
  for (const char* p = n.value(); *p; ++p)
    if (!strchr(" \t\r\n", *p)) return false;
  return true;
}

void Remove(Edits& edits, pugi::xml_node n) {
  pugi::xml_node parent = n.parent();
  edits.Reorder(parent);
  pugi::xml_node before = n.previous_sibling();
  if (IsSpace(before)) {
    edits.Forget(before);
    parent.remove_child(before);
  }
  edits.Forget(n);
  parent.remove_child(n);
}

// Places a node the caller made right after `after`, with after's indentation before it.
void Indent(pugi::xml_node made, pugi::xml_node after) {
  pugi::xml_node space = after.previous_sibling();
  if (IsSpace(space)) made.parent().insert_copy_after(space, after);
}

// The order of a note's children in the schema.
const char* const kNoteOrder[] = {"grace",      "cue",       "chord",         "pitch",
                                  "unpitched",  "rest",      "duration",      "tie",
                                  "instrument", "footnote",  "level",         "voice",
                                  "type",       "dot",       "accidental",    "time-modification",
                                  "stem",       "notehead",  "notehead-text", "staff",
                                  "beam",       "notations", "lyric",         "play",
                                  "listen"};
const int kNoteOrderCount = sizeof kNoteOrder / sizeof kNoteOrder[0];

int Rank(const char* name) {
  for (int i = 0; i < kNoteOrderCount; ++i)
    if (strcmp(kNoteOrder[i], name) == 0) return i;
  return kNoteOrderCount;
}

pugi::xml_node LastElement(pugi::xml_node parent) {
  for (pugi::xml_node c = parent.last_child(); c; c = c.previous_sibling())
    if (c.type() == pugi::node_element) return c;
  return pugi::xml_node();
}

// Appends a copy of a node to a parent, indented like the parent's last element.
void AppendCopy(pugi::xml_node parent, pugi::xml_node source) {
  pugi::xml_node last = LastElement(parent);
  if (!last) {
    parent.append_copy(source);
    return;
  }
  Indent(parent.insert_copy_after(source, last), last);
}

// Appends a new element to a parent, indented like the parent's last element.
pugi::xml_node AppendElement(pugi::xml_node parent, const char* name) {
  pugi::xml_node last = LastElement(parent);
  if (!last) return parent.append_child(name);
  pugi::xml_node made = parent.insert_child_after(name, last);
  Indent(made, last);
  return made;
}

// A new child of a note in its place by the schema's order.
pugi::xml_node AddToNote(pugi::xml_node note, const char* name) {
  int rank = Rank(name);
  for (pugi::xml_node c = note.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element || Rank(c.name()) <= rank) continue;
    pugi::xml_node made = note.insert_child_before(name, c);
    pugi::xml_node space = made.previous_sibling();
    if (IsSpace(space)) note.insert_copy_after(space, made);
    return made;
  }
  return AppendElement(note, name);
}

bool HasElements(pugi::xml_node n) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element) return true;
  return false;
}

// ---- pitches, ties, accidentals ---------------------------------------------------------------

void SetPitch(Edits& edits, pugi::xml_node note, const Spelling& s) {
  pugi::xml_node pitch = note.child("pitch");
  edits.Change(pitch);
  char step[2] = {StepLetter(s.step), 0};
  pitch.child("step").text().set(step);
  pugi::xml_node alter = pitch.child("alter");
  if (s.alter == 0) {
    if (alter) Remove(edits, alter);
  } else {
    if (!alter) {
      pugi::xml_node octave = pitch.child("octave");
      alter = pitch.insert_child_before("alter", octave);
      pugi::xml_node space = alter.previous_sibling();
      if (IsSpace(space)) pitch.insert_copy_after(space, alter);
    }
    alter.text().set(s.alter);
  }
  pitch.child("octave").text().set(s.octave);
}

void RemoveTie(Edits& edits, pugi::xml_node note, const char* type) {
  while (pugi::xml_node t = note.find_child_by_attribute("tie", "type", type))
    Remove(edits, t);
  for (pugi::xml_node n = note.child("notations"); n;) {
    pugi::xml_node next = n.next_sibling("notations");
    while (pugi::xml_node t = n.find_child_by_attribute("tied", "type", type))
      Remove(edits, t);
    if (!HasElements(n)) Remove(edits, n);
    n = next;
  }
}

pugi::xml_node Notations(pugi::xml_node note) {
  pugi::xml_node n = note.child("notations");
  return n ? n : AddToNote(note, "notations");
}

// A new element next to a sibling of its own kind, with the sibling's indentation.
pugi::xml_node AddBeside(pugi::xml_node sibling, const char* name, bool before) {
  pugi::xml_node parent = sibling.parent();
  if (!before) {
    pugi::xml_node made = parent.insert_child_after(name, sibling);
    Indent(made, sibling);
    return made;
  }
  pugi::xml_node made = parent.insert_child_before(name, sibling);
  pugi::xml_node space = made.previous_sibling();
  if (IsSpace(space)) parent.insert_copy_after(space, made);
  return made;
}

// A tie's end or start. On a note that shows the other one already, a stop goes before the
// start (as files and the schema's examples write them) unless stopFirst says the chord writes
// them the other way round; a start goes after the stop likewise.
void AddTie(Edits& edits, pugi::xml_node note, const char* type, bool stopFirst = true) {
  bool stop = strcmp(type, "stop") == 0;
  const char* other = stop ? "start" : "stop";
  bool before = stop == stopFirst; // the new one goes before the other type
  edits.Reorder(note);
  edits.Reorder(note.child("notations"));
  pugi::xml_node tie = note.find_child_by_attribute("tie", "type", other);
  tie = tie ? AddBeside(tie, "tie", before) : AddToNote(note, "tie");
  tie.append_attribute("type") = type;
  pugi::xml_node notations = Notations(note);
  pugi::xml_node tied = notations.find_child_by_attribute("tied", "type", other);
  tied = tied ? AddBeside(tied, "tied", before) : AppendElement(notations, "tied");
  tied.append_attribute("type") = type;
}

const char* AccidentalName(int alter) {
  static const char* names[] = {"triple-flat", "flat-flat",    "flat",        "natural",
                                "sharp",       "double-sharp", "triple-sharp"};
  return names[std::max(-3, std::min(3, alter)) + 3];
}

bool Deliberate(pugi::xml_node accidental) {
  for (const char* mark : {"cautionary", "editorial", "parentheses", "bracket"})
    if (strcmp(accidental.attribute(mark).value(), "yes") == 0) return true;
  return false;
}

// Whether a moved note shows the accidental a reader needs (or none): one that already says
// the same is kept, and so is a deliberate one (a courtesy) that names the note's alteration.
bool AccidentalRight(pugi::xml_node note, bool needed, int alter) {
  pugi::xml_node a = note.child("accidental");
  bool names = a && strcmp(a.child_value(), AccidentalName(alter)) == 0;
  return needed ? names : !a || (Deliberate(a) && names);
}

void SetAccidental(Edits& edits, pugi::xml_node note, bool needed, int alter) {
  pugi::xml_node a = note.child("accidental");
  edits.Reorder(note);
  if (a) edits.Change(a);
  const char* name = AccidentalName(alter);
  if (needed) {
    if (!a) a = AddToNote(note, "accidental");
    if (strcmp(a.child_value(), name) != 0) a.text().set(name);
  } else if (a && !(Deliberate(a) && strcmp(a.child_value(), name) == 0)) {
    Remove(edits, a);
  }
}

bool SamePitch(const NoteRef& a, const NoteRef& b) {
  return a.pitched && b.pitched && a.pitch.step == b.pitch.step &&
         a.pitch.octave == b.pitch.octave && a.pitch.alter == b.pitch.alter;
}

// ---- one chord ------------------------------------------------------------------------------

// Children of a note that belong to each note of a chord, kept in an added note.
bool PerNote(const char* name) {
  static const char* const keep[] = {"grace",      "cue",   "chord", "pitch", "duration",
                                     "instrument", "voice", "type",  "dot",   "time-modification",
                                     "stem",       "staff"};
  for (const char* k : keep)
    if (strcmp(k, name) == 0) return true;
  return false;
}

// Chord-level marks that the first note of a chord carries.
bool ChordLevelNotation(const char* name) {
  static const char* const marks[] = {"slur",      "tuplet",   "articulations", "fermata",
                                      "ornaments", "dynamics", "arpeggiate",    "non-arpeggiate",
                                      "glissando", "slide"};
  for (const char* m : marks)
    if (strcmp(m, name) == 0) return true;
  return false;
}

// Ids are unique in a file: a copy keeps none. (Walked without recursion: a file's nesting
// may be deep.)
void StripIds(pugi::xml_node n) {
  struct Walker : pugi::xml_tree_walker {
    bool for_each(pugi::xml_node& node) override {
      node.remove_attribute("id");
      return true;
    }
  } walker;
  n.remove_attribute("id");
  n.traverse(walker);
}

// A new chord note after `after`, made from the chord's first note.
pugi::xml_node AddedNote(Edits& edits, pugi::xml_node first, pugi::xml_node after) {
  edits.Reorder(after.parent());
  pugi::xml_node note = after.parent().insert_copy_after(first, after);
  Indent(note, after);
  std::vector<pugi::xml_node> drop;
  for (pugi::xml_node c = note.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && !PerNote(c.name())) drop.push_back(c);
  for (pugi::xml_node c : drop)
    Remove(edits, c);
  for (pugi::xml_attribute a = note.first_attribute(); a;) {
    pugi::xml_attribute next = a.next_attribute();
    const char* n = a.name();
    if (strcmp(n, "print-object") && strcmp(n, "print-spacing") && strcmp(n, "print-leger"))
      note.remove_attribute(a);
    a = next;
  }
  StripIds(note);
  if (!note.child("chord")) AddToNote(note, "chord");
  return note;
}

// The chord's new first note takes over the marks that belong to the chord.
void HandOver(Edits& edits, pugi::xml_node from, pugi::xml_node to) {
  edits.Reorder(to);
  for (pugi::xml_node n = to.child("notations"); n; n = n.next_sibling("notations"))
    edits.Reorder(n);
  if (pugi::xml_node chord = to.child("chord")) Remove(edits, chord);
  for (const char* name : {"beam", "lyric"}) {
    for (pugi::xml_node c = from.child(name); c; c = c.next_sibling(name)) {
      const char* number = c.attribute("number").value();
      if (to.find_child_by_attribute(name, "number", number)) continue;
      pugi::xml_node made = AddToNote(to, name);
      to.insert_copy_after(c, made);
      to.remove_child(made);
    }
  }
  for (pugi::xml_node n = from.child("notations"); n; n = n.next_sibling("notations"))
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
      if (c.type() == pugi::node_element && ChordLevelNotation(c.name()))
        AppendCopy(Notations(to), c);
}

// A chord whose every note the task removed: its first note becomes a rest of the same length.
void MakeRest(Edits& edits, Chord* c) {
  pugi::xml_node note = c->notes[0].node;
  edits.Change(note);
  for (size_t i = 1; i < c->notes.size(); ++i)
    Remove(edits, c->notes[i].node);
  RemoveTie(edits, note, "start");
  RemoveTie(edits, note, "stop");
  for (const char* name : {"accidental", "stem", "notehead"})
    if (pugi::xml_node e = note.child(name)) Remove(edits, e);
  pugi::xml_node pitch = note.child("pitch");
  note.insert_child_before("rest", pitch);
  edits.Forget(pitch);
  note.remove_child(pitch);
  c->notes.clear();
  c->rest = true;
}

// Display only: a changed or added note in a color of its own.
void Mark(Edits& edits, pugi::xml_node note) {
  edits.Retag(note);
  pugi::xml_attribute color = note.attribute("color");
  (color ? color : note.append_attribute("color")).set_value("#D03020");
}

void ApplyChord(Edits& edits, Chord* c, const std::vector<HostNote>& after, bool mark) {
  if (after.empty()) {
    MakeRest(edits, c);
    return;
  }
  size_t n = c->notes.size();
  std::vector<bool> kept(n, false);
  std::vector<NoteRef> result;
  pugi::xml_node last = c->notes.back().node;
  for (const HostNote& h : after) {
    if (h.id >= 1 && static_cast<size_t>(h.id) <= n) {
      NoteRef r = c->notes[h.id - 1];
      kept[h.id - 1] = true;
      if (r.displacement != h.displacement || r.raiselower != h.raiselower) {
        r.moved = true;
        r.displacement = static_cast<int16_t>(h.displacement);
        r.raiselower = static_cast<int16_t>(h.raiselower);
        r.pitch = FromHost(c->key, h.displacement, h.raiselower);
        SetPitch(edits, r.node, r.pitch);
        if (mark) Mark(edits, r.node);
      }
      result.push_back(r);
    }
  }
  for (const HostNote& h : after) {
    if (h.id >= 1 && static_cast<size_t>(h.id) <= n) continue;
    NoteRef r;
    r.node = AddedNote(edits, c->notes[0].node, last);
    r.pitched = true;
    r.moved = true;
    r.displacement = static_cast<int16_t>(h.displacement);
    r.raiselower = static_cast<int16_t>(h.raiselower);
    r.pitch = FromHost(c->key, h.displacement, h.raiselower);
    SetPitch(edits, r.node, r.pitch);
    if (h.tie) AddTie(edits, r.node, "start");
    r.tieStart = h.tie;
    if (mark) Mark(edits, r.node);
    last = r.node;
    result.push_back(r);
  }
  if (!kept[0]) HandOver(edits, c->notes[0].node, result[0].node);
  for (size_t i = 0; i < n; ++i)
    if (!kept[i]) Remove(edits, c->notes[i].node);
  c->notes = std::move(result);
  c->first = c->notes[0].node;
}

// ---- ties ---------------------------------------------------------------------------------------
// A tie goes from a note to the same pitch where its chord ends: on its own staff first, in any
// voice (files tie between voices), then on the part's other staves; at the next measure's
// start when nothing on its staff starts there or later. From a grace chord it goes to the next
// grace chord at the same place before the main chord. Only notes the task moved or added have
// their ties rewritten; a note left as it was keeps its ties as the file has them, but for the
// end of a tie that held before the task and that the task broke, by moving or removing the
// note at the other end: that end goes too, so that no tie points at nothing.

class Ties {
public:
  // Taken before any voice is written anew: the ties of its old notes count among the file's.
  explicit Ties(Score* score) : _score(score) {
    Index();
    // The ties as the file has them, found as they are followed after the task.
    std::vector<Chord>& chords = score->chords;
    for (size_t i = 0; i < chords.size() && _any; ++i)
      for (NoteRef& x : chords[i].notes)
        if (x.pitched && x.tieStart)
          if (NoteRef* y = Partner(i, x, false)) {
            _tiedBefore.insert(x.node.internal_object());
            _tiedBefore.insert(y->node.internal_object());
          }
    _claimed.clear();
  }

  // Where each chord stands; again once voices are written anew (their old chords hold no
  // notes then, their new ones come after), before any changed chord becomes a rest.
  void Index() {
    _at.clear();
    _graceAt.clear();
    _lastStart.clear();
    const std::vector<Chord>& chords = _score->chords;
    for (const Chord& c : chords)
      for (const NoteRef& n : c.notes)
        _any = _any || n.tieStart || n.tieStop;
    for (size_t i = 0; i < chords.size() && _any; ++i) {
      const Chord& c = chords[i];
      if (c.notes.empty()) continue;
      (c.grace ? _graceAt : _at)[Place(c.part, c.measure, c.pos)].push_back(i);
      int32_t& last = _lastStart.emplace(Cell(c.staff, c.measure), c.pos).first->second;
      last = std::max(last, c.pos);
    }
  }

  bool Any() const { return _any; }

  void Mend() {
    if (!_any) return; // a score without ties gains none: an added note copies its source's
    std::vector<Chord>& chords = _score->chords;
    // The ties of notes the task left as they were hold their notes first; one whose other end
    // the task took away goes.
    for (size_t i = 0; i < chords.size(); ++i)
      for (NoteRef& x : chords[i].notes)
        if (x.pitched && x.tieStart && !x.moved && !Partner(i, x, false) &&
            _tiedBefore.count(x.node.internal_object())) {
          RemoveTie(_score->edits, x.node, "start");
          x.tieStart = false;
        }
    for (size_t i = 0; i < chords.size(); ++i)
      for (NoteRef& x : chords[i].notes) {
        if (!x.pitched || !x.tieStart || !x.moved) continue;
        size_t k = 0;
        NoteRef* y = Partner(i, x, true, &k);
        if (!y) {
          RemoveTie(_score->edits, x.node, "start");
          x.tieStart = false;
        } else if (!y->tieStop) {
          AddTie(_score->edits, y->node, "stop", StopFirst(chords[k]));
          y->tieStop = true;
        }
      }
    for (Chord& c : chords)
      for (NoteRef& y : c.notes)
        if (y.tieStop && !_claimed.count(y.node.internal_object()) &&
            (y.moved || _tiedBefore.count(y.node.internal_object()))) {
          RemoveTie(_score->edits, y.node, "stop");
          y.tieStop = false;
        }
  }

private:
  static uint64_t Place(int part, int measure, int32_t pos) {
    return (static_cast<uint64_t>(static_cast<uint16_t>(part)) << 48) |
           (static_cast<uint64_t>(static_cast<uint16_t>(measure)) << 32) |
           static_cast<uint32_t>(pos);
  }
  static uint32_t Cell(int staff, int measure) {
    return static_cast<uint32_t>(static_cast<uint16_t>(staff)) << 16 |
           static_cast<uint16_t>(measure);
  }

  // Whether a note of the chord that ends one tie and starts the next writes the end first (as
  // files mostly do), in its <tie> elements or, when it shows none, its <tied> notations; an
  // added note's ties follow the order of the notes beside it.
  static bool StopFirst(const Chord& c) {
    for (const NoteRef& n : c.notes) {
      if (!n.tieStart || !n.tieStop || n.moved) continue;
      pugi::xml_node first = n.node.child("tie");
      for (pugi::xml_node m = n.node.child("notations"); m && !first;
           m = m.next_sibling("notations"))
        first = m.child("tied");
      if (first) return strcmp(first.attribute("type").value(), "start") != 0;
    }
    return true;
  }

  // The note a tie from x goes to, claimed for it; none when there is none free. A note left as
  // it was takes only a note that shows the tie's end; a moved one also a moved note, which
  // then shows it. *chord is where it stands.
  NoteRef* Partner(size_t from, const NoteRef& x, bool moved, size_t* chord = nullptr) {
    Chord& a = _score->chords[from];
    NoteRef* best = nullptr;
    int bestRank = 0;
    auto consider = [&](const std::vector<size_t>& candidates, bool laterGrace) {
      for (size_t k : candidates) {
        if (k == from || (laterGrace && k < from)) continue;
        Chord& b = _score->chords[k];
        for (NoteRef& y : b.notes) {
          if (!SamePitch(x, y) || _claimed.count(y.node.internal_object())) continue;
          if (!y.tieStop && !(moved && y.moved)) continue;
          // From a grace chord the next grace chord comes before the main chord.
          int rank = ((b.staff != a.staff) * 4 + !y.tieStop * 2 + (b.voice != a.voice)) * 2 +
                     (a.grace && !b.grace);
          if (!best || rank < bestRank) {
            best = &y;
            bestRank = rank;
            if (chord) *chord = k;
          }
        }
      }
    };
    auto at = [&](std::unordered_map<uint64_t, std::vector<size_t>>& index, uint64_t place,
                  bool laterGrace) {
      auto found = index.find(place);
      if (found != index.end()) consider(found->second, laterGrace);
    };
    if (a.grace) at(_graceAt, Place(a.part, a.measure, a.pos), true);
    at(_at, Place(a.part, a.measure, a.end), false);
    auto last = _lastStart.find(Cell(a.staff, a.measure));
    if (last == _lastStart.end() || last->second < a.end)
      at(_at, Place(a.part, a.measure + 1, 0), false);
    if (best) _claimed.insert(best->node.internal_object());
    return best;
  }

  Score* _score;
  bool _any = false;                                          // a note of the score shows a tie
  std::unordered_map<uint64_t, std::vector<size_t>> _at;      // (part, measure, position) -> chords
  std::unordered_map<uint64_t, std::vector<size_t>> _graceAt; // the same for grace chords
  std::unordered_map<uint32_t, int32_t> _lastStart;           // (staff, measure) -> latest start
  std::unordered_set<pugi::xml_node_struct*> _claimed;        // notes a tie ends on
  std::unordered_set<pugi::xml_node_struct*> _tiedBefore;     // both ends of the file's ties
};

// ---- accidentals of the measures touched ------------------------------------------------------
// A moved or added note shows the accidental its place needs; a note the task left as it was
// keeps what it shows (a courtesy sign stays, and so does a file's silence where it needed one)
// and gains an accidental only where the change made one necessary.

typedef std::set<std::pair<int, int>> Cells; // (staff, measure)

// The notes of the cells in the order a reader meets them, each with whether its place in the
// measure needs an accidental shown.
template <typename F> void EachNote(Score* score, const Cells& cells, F visit) {
  std::map<std::pair<int, int>, std::vector<size_t>> order;
  for (size_t i = 0; i < score->chords.size(); ++i) {
    const Chord& c = score->chords[i];
    if (cells.count({c.staff, c.measure}) && !c.rest && c.skip != Skip::TwoStaves)
      order[{c.staff, c.measure}].push_back(i);
  }
  for (auto& cell : order) {
    std::vector<size_t>& chords = cell.second;
    std::stable_sort(chords.begin(), chords.end(), [score](size_t a, size_t b) {
      return score->chords[a].pos < score->chords[b].pos;
    });
    int8_t seen[7 * 12];
    bool has[7 * 12] = {false};
    for (size_t i : chords) {
      Chord& c = score->chords[i];
      for (NoteRef& n : c.notes) {
        if (!n.pitched) continue;
        int slot = n.pitch.step + 7 * std::max(0, std::min(11, n.pitch.octave));
        int expected = has[slot] ? seen[slot] : c.key.signature[n.pitch.step];
        seen[slot] = static_cast<int8_t>(n.pitch.alter);
        has[slot] = true;
        visit(c, n, n.pitch.alter != expected && !n.tieStop);
      }
    }
  }
}

// neededBefore: the notes that needed an accidental before the task.
void MendAccidentals(Score* score, const Cells& cells,
                     const std::unordered_set<pugi::xml_node_struct*>& neededBefore) {
  EachNote(score, cells, [&](Chord& c, NoteRef& n, bool needed) {
    if (c.skip != Skip::None) return;
    bool mend = n.moved ? !AccidentalRight(n.node, needed, n.pitch.alter)
                        : needed && !neededBefore.count(n.node.internal_object()) &&
                              !n.node.child("accidental");
    if (!mend) return;
    SetAccidental(score->edits, n.node, needed, n.pitch.alter);
    n.accidental = static_cast<bool>(n.node.child("accidental"));
  });
}

} // namespace

std::string PitchName(const Spelling& s) {
  std::string name(1, StepLetter(s.step));
  for (int i = 0; i < s.alter; ++i)
    name += '#';
  for (int i = 0; i > s.alter; --i)
    name += 'b';
  return name + std::to_string(s.octave);
}

std::string MeasureName(const Score& score, int measure) {
  size_t i = static_cast<size_t>(measure - 1);
  if (i < score.measureNumbers.size() && !score.measureNumbers[i].empty())
    return score.measureNumbers[i];
  return "#" + std::to_string(measure);
}

namespace {
// Pitches by name, lowest first as a chord is read from the bass up (a unison's two
// spellings by letter: B#3 before C4); "rest" for none.
std::string LowestFirstNames(std::vector<Spelling> pitches) {
  static const int kSemitones[] = {0, 2, 4, 5, 7, 9, 11};
  auto height = [](const Spelling& s) {
    return std::make_pair(s.octave * 12 + kSemitones[((s.step % 7) + 7) % 7] + s.alter,
                          s.octave * 7 + s.step);
  };
  std::stable_sort(pitches.begin(), pitches.end(),
                   [&](const Spelling& a, const Spelling& b) { return height(a) < height(b); });
  std::string names;
  for (const Spelling& s : pitches)
    names += (names.empty() ? "" : " ") + PitchName(s);
  return names.empty() ? "rest" : names;
}
} // namespace

std::string LowestFirst(const std::vector<Spelling>& pitches) {
  return LowestFirstNames(pitches);
}

ChangedChord ChordPlace(const Score& score, size_t part, int staff, int measure, int32_t pos,
                        const std::string& voice) {
  const PartInfo& p = score.parts[part];
  ChangedChord d;
  d.part = p.id;
  d.partName = p.name;
  d.staff = staff - p.firstStaff + 1;
  d.scoreStaff = staff;
  d.measure = MeasureName(score, measure);
  d.beat = Beat(score, measure, pos);
  d.voice = voice;
  return d;
}

std::string NoteNames(const Chord& chord) {
  std::vector<Spelling> pitches;
  for (const NoteRef& n : chord.notes)
    pitches.push_back(n.pitch);
  return LowestFirst(pitches);
}

std::vector<ChangedChord> ListChanges(const Score& score, const std::vector<ChordChange>& changes) {
  std::vector<ChangedChord> list;
  for (const ChordChange& ch : changes) {
    const Chord& c = score.chords[ch.chord];
    ChangedChord d =
        ChordPlace(score, c.part, c.staff, c.measure, c.pos, score.voiceNames[c.part][c.voice]);
    d.before = NoteNames(c);
    std::vector<Spelling> after;
    for (const HostNote& h : ch.after)
      after.push_back(FromHost(c.key, h.displacement, h.raiselower));
    d.after = LowestFirst(after);
    list.push_back(d);
  }
  return list;
}

std::string DescribeChanges(const std::vector<ChangedChord>& changes) {
  auto oneLine = [](std::string s) {
    for (char& c : s)
      if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return s;
  };
  std::string text;
  for (const ChangedChord& d : changes)
    text += "part " + oneLine(d.part) +
            (d.partName.empty() ? "" : " (" + oneLine(d.partName) + ")") + ", measure " +
            oneLine(d.measure) + ", staff " + std::to_string(d.staff) + ", voice " +
            oneLine(d.voice) + (d.symbol.empty() ? "" : ", " + oneLine(d.symbol)) + ": " +
            d.before + " -> " + d.after + "\n";
  return text;
}

std::string Summary(const std::string& task, const Score& score,
                    const std::vector<ChordChange>& changes) {
  return Summary(task, score, changes, {});
}

size_t RewrittenChords(const Score& score, const std::vector<LayerRewrite>& rewrites) {
  size_t n = 0;
  for (const LayerRewrite& r : rewrites)
    for (const NewEntry& e : r.entries)
      n += e.notes.empty() || e.kept || Unchanged(score, r, e) ? 0 : 1;
  return n;
}

std::string Summary(const std::string& task, const Score& score,
                    const std::vector<ChordChange>& changes,
                    const std::vector<LayerRewrite>& rewrites) {
  std::set<int> measures, staves;
  for (const ChordChange& ch : changes) {
    measures.insert(score.chords[ch.chord].measure);
    staves.insert(score.chords[ch.chord].staff);
  }
  for (const LayerRewrite& r : rewrites) {
    measures.insert(r.measure);
    staves.insert(r.staff);
  }
  auto count = [](size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  return task + ": " + count(changes.size() + RewrittenChords(score, rewrites), "chord", "chords") +
         " changed in " + count(measures.size(), "measure", "measures") + " on " +
         count(staves.size(), "staff", "staves");
}

void WriteBack(Score* score, const std::vector<ChordChange>& changes, bool markChanges) {
  std::string error;
  WriteBack(score, changes, {}, markChanges, &error); // without rewrites nothing can fail
}

namespace {

bool AnyTie(const Score& score) {
  for (const Chord& c : score.chords)
    for (const NoteRef& n : c.notes)
      if (n.tieStart || n.tieStop) return true;
  return false;
}

// The measures changed, and when the score has ties the next ones too, where a note whose tie
// the change broke may now need an accidental; on every staff of the part, as ties cross staves.
Cells ChangedCells(const Score& score, const std::vector<ChordChange>& changes,
                   const std::vector<LayerRewrite>& rewrites) {
  Cells cells;
  bool tied = AnyTie(score);
  auto add = [&](int staff, int measure) {
    cells.insert({staff, measure});
    if (!tied) return;
    auto part = std::upper_bound(score.parts.begin(), score.parts.end(), staff,
                                 [](int s, const PartInfo& p) { return s < p.firstStaff; });
    if (part == score.parts.begin()) return;
    --part;
    for (int s = part->firstStaff; s < part->firstStaff + part->staffCount; ++s) {
      cells.insert({s, measure});
      cells.insert({s, measure + 1});
    }
  };
  for (const ChordChange& ch : changes)
    add(score.chords[ch.chord].staff, score.chords[ch.chord].measure);
  for (const LayerRewrite& r : rewrites)
    add(r.staff, r.measure);
  return cells;
}

} // namespace

bool WriteBack(Score* score, const std::vector<ChordChange>& changes,
               const std::vector<LayerRewrite>& rewrites, bool markChanges, std::string* error) {
  if (changes.empty() && rewrites.empty()) return true;
  Cells cells = ChangedCells(*score, changes, rewrites);
  std::unordered_set<pugi::xml_node_struct*> needed;
  EachNote(score, cells, [&needed](Chord&, NoteRef& n, bool need) {
    if (need) needed.insert(n.node.internal_object());
  });
  size_t written = score->chords.size(); // the chords of the rewritten voices come after
  Ties ties(score);
  if (!RewriteLayers(score, rewrites, error)) return false;
  if (markChanges)
    for (size_t i = written; i < score->chords.size(); ++i)
      for (NoteRef& n : score->chords[i].notes)
        if (score->chords[i].changed) Mark(score->edits, n.node); // not a chord kept as it was
  if (!rewrites.empty()) ties.Index();
  for (const ChordChange& ch : changes) {
    Chord& c = score->chords[ch.chord];
    ApplyChord(score->edits, &c, ch.after, markChanges);
    c.changed = true;
  }
  ties.Mend();
  MendAccidentals(score, cells, needed);
  return true;
}

void RemoveElement(Edits& edits, pugi::xml_node node) {
  Remove(edits, node);
}

} // namespace musicxml
