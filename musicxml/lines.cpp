#include "lines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <map>
#include <new>
#include <numeric>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "writeback.h"

namespace musicxml {

FirstChords FindFirstChords(const Score& score) {
  FirstChords first;
  for (size_t i = 0; i < score.chords.size(); ++i) {
    const Chord& c = score.chords[i];
    if (c.skip == Skip::None) first.emplace(std::make_pair(c.staff, c.measure), i);
  }
  return first;
}

Key CellKey(const Score& score, const FirstChords& first, int16_t staff, int16_t measure) {
  auto found = first.find(std::make_pair(staff, measure));
  if (found != first.end()) return score.chords[found->second].key;
  uint16_t word =
      static_cast<size_t>(measure) <= score.measureKeys.size() ? score.measureKeys[measure - 1] : 0;
  return TraditionalKey(static_cast<int8_t>(word & 0xFF), (word >> 8) == 1);
}

namespace {

bool Is(const pugi::xml_node& n, const char* name) {
  return strcmp(n.name(), name) == 0;
}

long long Number(const pugi::xml_node& n, long long fallback) {
  const char* t = n.child_value();
  char* end = nullptr;
  long long v = strtoll(t, &end, 10);
  return end == t ? fallback : v;
}

bool IsSpace(const pugi::xml_node& n) {
  if (n.type() != pugi::node_pcdata) return false;
  for (const char* p = n.value(); *p; ++p)
    if (!strchr(" \t\r\n", *p)) return false;
  return true;
}

// The measures of a part by host measure number - 1, with the divisions in effect in each.
struct PartMeasures {
  std::vector<pugi::xml_node> measures;
  std::vector<long long> divisions;
};

PartMeasures ReadPart(const pugi::xml_node& part) {
  PartMeasures p;
  long long divisions = 1;
  for (pugi::xml_node m = part.child("measure"); m; m = m.next_sibling("measure")) {
    for (pugi::xml_node a = m.child("attributes"); a; a = a.next_sibling("attributes")) {
      long long d = Number(a.child("divisions"), 0);
      if (d > 0 && d < (1LL << 40)) divisions = d;
    }
    p.measures.push_back(m);
    p.divisions.push_back(divisions);
  }
  return p;
}

// An element of a measure and the time where it stands, in divisions.
struct Placed {
  pugi::xml_node node;
  long long pos;
};

// The measure's elements in order with their times; answers the time at its end.
long long Walk(const pugi::xml_node& measure, std::vector<Placed>* out) {
  const long long longest = 1LL << 40;
  long long pos = 0;
  for (pugi::xml_node c = measure.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    out->push_back({c, pos});
    long long d = std::min(longest, std::max(0LL, Number(c.child("duration"), 0)));
    if (Is(c, "note") && !c.child("chord") && !c.child("grace"))
      pos += d;
    else if (Is(c, "backup"))
      pos = std::max(0LL, pos - d);
    else if (Is(c, "forward"))
      pos += d;
  }
  return pos;
}

// The most counts of divisions weighed for one time.
const long long kMostCounts = 128;

// A time in host units as a count of the part's divisions, false when they cannot hold it. The
// host holds a quarter as 1024 units and a time read from a file rounded down, so a triplet
// eighth is 341, and the host's times are a unit or two off where the divisions do not go into
// 1024. A time that is a whole count is that count; otherwise every count from a unit below
// to `above` units above may be the one meant, and of them the simplest part of a quarter is
// taken (3360 of 10080, a third, not 3357, which would leave the measure ten short), then the
// nearest. None: the divisions are too coarse for the time (a triplet in quarters of four).
bool ToDivisions(long long units, long long divisions, int above, long long* count) {
  long long g = std::gcd(divisions, static_cast<long long>(kQuarter));
  if (units % (kQuarter / g) == 0) {
    *count = units / (kQuarter / g) * (divisions / g);
    return true;
  }
  double exact = static_cast<double>(units) * divisions / kQuarter;
  double unit = static_cast<double>(divisions) / kQuarter;
  double low = exact - unit - 1e-9, high = exact + above * unit + 1e-9;
  *count = std::llround(exact);
  if (high - low > kMostCounts) return true; // finer than any time the host can tell apart
  auto parts = [divisions](long long n) { return divisions / std::gcd(std::llabs(n), divisions); };
  bool held = false;
  for (long long n = std::llround(std::ceil(low)); n <= high; ++n) {
    if (!held || parts(n) < parts(*count) ||
        (parts(n) == parts(*count) && std::fabs(n - exact) < std::fabs(*count - exact)))
      *count = n;
    held = true;
  }
  return held;
}

// Where new entry k of the voice starts and ends in the part's divisions, false when they
// cannot hold it. An end is a start and a length added, each rounded down, so it may be two
// units short: the next entry's start when it is that close.
bool EntryTimes(const std::vector<NewEntry>& entries, size_t k, long long divisions,
                long long* start, long long* end) {
  const NewEntry& e = entries[k];
  if (!ToDivisions(e.pos, divisions, 1, start)) return false;
  if (e.grace) {
    *end = *start;
    return true;
  }
  long long units = static_cast<long long>(e.pos) + e.duration;
  if (k + 1 < entries.size() && std::llabs(entries[k + 1].pos - units) <= 2)
    return ToDivisions(entries[k + 1].pos, divisions, 1, end) && *end > *start;
  return ToDivisions(units, divisions, 2, end) && *end > *start;
}

std::string Print(const pugi::xml_node& n) {
  struct : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
      text.append(static_cast<const char*>(data), size);
    }
  } w;
  n.print(w, "", pugi::format_raw);
  return w.text;
}

// A note value's name and dots for a length in host units, when it is one.
bool NoteValue(int duration, const char** type, int* dots) {
  static const char* names[] = {"1024th", "512th",   "256th", "128th", "64th",  "32nd", "16th",
                                "eighth", "quarter", "half",  "whole", "breve", "long"};
  for (int i = 0; i < 13; ++i) {
    int base = 4 << i;
    for (int d = 0; d <= 2; ++d) {
      int length = d == 0 ? base : d == 1 ? base + base / 2 : base + base / 2 + base / 4;
      if (length == duration) {
        *type = names[i];
        *dots = d;
        return true;
      }
    }
  }
  return false;
}

// A chord's length as the host holds it: a grace note its written value.
int HostLength(const Chord& c) {
  return c.grace ? TypeDuration(c.first.child_value("type")) : c.duration;
}

// How many beams a note value carries: an eighth one, a sixteenth two; 0 for longer ones.
int BeamCount(const std::string& type) {
  static const char* names[] = {"eighth", "16th",  "32nd",  "64th",
                                "128th",  "256th", "512th", "1024th"};
  for (int i = 0; i < 8; ++i)
    if (type == names[i]) return i + 1;
  return 0;
}

std::string Escaped(const char* text) {
  std::string out;
  for (const char* c = text; *c; ++c)
    out += *c == '&' ? "&amp;" : *c == '<' ? "&lt;" : *c == '"' ? "&quot;" : std::string(1, *c);
  return out;
}

bool IsAny(const pugi::xml_node& n, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (Is(n, name)) return true;
  return false;
}

// What a new note keeps of the old notes of its voice it stands for: the one that started at
// its place (its attributes, lyrics, articulations and other marks: a note split into tied
// pieces keeps them on the first) and the one that ended where it ends (its fermata: on the
// last piece). exact: one note that stays as it was, keeping its rhythm notation and slurs.
struct NoteFrom {
  pugi::xml_node start, end;
  bool exact = false;
};

// One voice's place in the document, found and checked before anything is written.
struct Plan {
  const LayerRewrite* rewrite;
  std::vector<NewEntry> entries; // the rewrite's, with rests for chords left alone (WithRests)
  pugi::xml_node measure;
  long long divisions;
  std::vector<pugi::xml_node> remove; // the old notes and the voice's forwards
  std::vector<Placed> kept;           // other elements inside the voice's stretch
  pugi::xml_node before;              // where the stretch starts; none: at the end
  pugi::xml_node after;               // the first element after the stretch; none: the end
  long long start = 0, end = 0;       // the stretch's times
  bool append = false;                // the voice had no notes: written at the end
  std::string indent, inner, unit;    // the file's indentation of notes and their children
  Key key;                            // the key the host spelled the voice in
  std::string voice;                  // the voice's name
  std::string where;                  // "part "P1", measure 3: ", for a message
  int staffInPart = 1;
  bool staffElement = false; // the part has staves to name
};

// The text of a measure's whitespace before its elements and inside a note, as the file has it.
void Indentation(const pugi::xml_node& measure, Plan* plan) {
  for (pugi::xml_node c = measure.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    if (IsSpace(c.previous_sibling())) plan->indent = c.previous_sibling().value();
    pugi::xml_node note = Is(c, "note") ? c : measure.child("note");
    for (pugi::xml_node k = note.first_child(); k; k = k.next_sibling())
      if (k.type() == pugi::node_element) {
        if (IsSpace(k.previous_sibling())) plan->inner = k.previous_sibling().value();
        break;
      }
    break;
  }
  if (plan->inner.size() > plan->indent.size() &&
      plan->inner.compare(0, plan->indent.size(), plan->indent) == 0)
    plan->unit = plan->inner.substr(plan->indent.size());
  else if (!plan->indent.empty())
    plan->unit = "  ";
  if (plan->inner.empty() && !plan->indent.empty()) plan->inner = plan->indent + plan->unit;
}

class LayerWriter {
public:
  LayerWriter(Score* score, const std::vector<LayerRewrite>& rewrites)
      : _score(score), _rewrites(rewrites) {}

  bool Run(std::string* error) {
    std::vector<pugi::xml_node> parts;
    for (pugi::xml_node p = _score->doc.document_element().child("part"); p;
         p = p.next_sibling("part"))
      parts.push_back(p);
    _parts.resize(parts.size());
    _old.assign(_score->chords.size(), false);
    for (const LayerRewrite& r : _rewrites)
      for (size_t i : r.old)
        if (i < _old.size()) _old[i] = true;
    IndexTemplates();
    _firstInCell = FindFirstChords(*_score);
    std::vector<Plan> plans;
    for (const LayerRewrite& r : _rewrites) {
      plans.emplace_back();
      if (!Prepare(r, parts, &plans.back(), error)) return false;
    }
    if (!Refine(&plans, error)) return false;
    for (Plan& p : plans) {
      long long& scale = _finer[p.measure.internal_object()];
      if (scale > 1) Rescale(p.measure, p.divisions / scale, scale);
      scale = 1; // once a measure
      Write(p);
      // What only the writing needed goes now: the new notes take the memory.
      std::vector<NewEntry>().swap(p.entries);
      std::vector<Placed>().swap(p.kept);
      std::string().swap(p.where);
    }
    // The old notes go once every voice is written: they model the rhythm of the others.
    _spaces.clear();
    for (const Plan& p : plans)
      for (pugi::xml_node n : p.remove)
        RemoveElement(_score->edits, n);
    if (!_failure.empty()) *error = _failure;
    return _failure.empty();
  }

private:
  // The chords, by measure, position, length and grace, for their rhythm (those left as they
  // were before those of the voices rewritten, which the task read the same way);
  // the first chord of each staff in each measure, for its key; a chord of each voice of each
  // staff, for its name.
  void IndexTemplates() {
    for (size_t i = 0; i < _score->chords.size(); ++i) {
      const Chord& c = _score->chords[i];
      if (c.layer >= 0) _inLayer.emplace(std::make_pair(c.staff, c.layer), i);
      if (c.skip == Skip::NoSuchStaff) continue;
      _templates.emplace_back(
          std::make_tuple(int(c.measure), c.pos, HostLength(c), c.grace, size_t(_old[i])), i);
      if (_old[i]) continue;
      if (c.skip != Skip::None && !c.grace)
        _leftAlone.emplace(std::make_pair(c.measure, c.pos), std::make_pair(c.duration, c.staff));
    }
    // A sorted list, not a map: one entry for every chord of the score. The first of a key in
    // the file's order stands for it.
    std::sort(_templates.begin(), _templates.end());
    _templates.erase(
        std::unique(_templates.begin(), _templates.end(),
                    [](const Indexed& a, const Indexed& b) { return a.first == b.first; }),
        _templates.end());
    _templates.shrink_to_fit();
  }

  // The rewrite's entries, with a rest wherever a chord the host never held (one left alone,
  // on the staff the lines came from) stood in a gap between them: the staff written anew
  // keeps its rhythm whole there, where a gap would print as nothing. Not for such a chord
  // on the staff itself, which stays there. The host's times may be a unit or two off a time
  // read from the file (a triplet's thirds).
  std::vector<NewEntry> WithRests(const LayerRewrite& r) const {
    std::vector<NewEntry> out;
    int32_t at = 0;
    auto f = _leftAlone.lower_bound(std::make_pair(r.measure, INT32_MIN));
    auto stays = [&](int32_t pos, int32_t end) { // a chord of the voice itself stays there
      for (size_t i : r.old) {
        const Chord& c = _score->chords[i];
        if (c.skip != Skip::None && !c.notes.empty() && c.pos < end && pos < c.end) return true;
      }
      return false;
    };
    auto fill = [&](int32_t upto) {
      for (; f != _leftAlone.end() && f->first.first == r.measure; ++f) {
        int32_t pos = f->first.second, end = pos + f->second.first;
        // behind (in an entry's time, or a rest already), or standing on this staff
        if (pos < at - 2 || f->second.second == r.staff || stays(pos, end)) continue;
        if (pos > at + 2 || end > upto + 2) return;
        NewEntry rest;
        rest.pos = pos;
        rest.duration = f->second.first;
        out.push_back(rest);
        at = end;
      }
    };
    for (const NewEntry& e : r.entries) {
      if (!e.grace) fill(e.pos);
      out.push_back(e);
      if (!e.grace) at = std::max(at, e.pos + e.duration);
    }
    fill(INT32_MAX - 2);
    return out;
  }

  // The chords of the same length at the same place as an entry, those left as they were first.
  std::vector<const Chord*> Templates(const LayerRewrite& r, const NewEntry& e) const {
    std::vector<const Chord*> out;
    auto key = std::make_tuple(int(r.measure), e.pos, int(e.duration), e.grace);
    for (auto f = std::lower_bound(_templates.begin(), _templates.end(),
                                   Indexed(std::tuple_cat(key, std::make_tuple(size_t(0))), 0));
         f != _templates.end() &&
         std::make_tuple(std::get<0>(f->first), std::get<1>(f->first), std::get<2>(f->first),
                         std::get<3>(f->first)) == key;
         ++f)
      out.push_back(&_score->chords[f->second]);
    return out;
  }

  int PartOf(int16_t staff) const {
    for (size_t p = 0; p < _score->parts.size(); ++p) {
      const PartInfo& info = _score->parts[p];
      if (staff >= info.firstStaff && staff < info.firstStaff + info.staffCount)
        return static_cast<int>(p);
    }
    return -1;
  }

  bool Prepare(const LayerRewrite& r, const std::vector<pugi::xml_node>& parts, Plan* plan,
               std::string* error) {
    plan->rewrite = &r;
    int part = PartOf(r.staff);
    if (part < 0 || static_cast<size_t>(part) >= parts.size()) {
      *error = "a staff the score does not hold was rewritten";
      return false;
    }
    PartMeasures& pm = _parts[part];
    if (pm.measures.empty()) pm = ReadPart(parts[part]);
    if (r.measure < 1 || static_cast<size_t>(r.measure) > pm.measures.size()) {
      *error = "a measure the part does not hold was rewritten";
      return false;
    }
    const PartInfo& info = _score->parts[part];
    plan->measure = pm.measures[r.measure - 1];
    plan->divisions = pm.divisions[r.measure - 1];
    plan->staffInPart = r.staff - info.firstStaff + 1;
    plan->staffElement = info.staffCount > 1;
    plan->key = CellKey(*_score, _firstInCell, r.staff, r.measure);
    plan->voice = VoiceOf(r, part);
    Indentation(plan->measure, plan);

    std::string where = "part \"" + info.id + "\", measure " +
                        std::string(plan->measure.attribute("number").value()) + ": ";
    std::unordered_set<pugi::xml_node_struct*> old, stays;
    for (size_t i : r.old) {
      const Chord& c = _score->chords[i];
      // A chord the host never held stays where it is, the new music written around it; new
      // music at its time would write over it.
      if (c.skip != Skip::None && !c.notes.empty()) {
        for (const NewEntry& e : r.entries)
          if (!e.grace && !c.grace && e.pos < c.end - 2 && c.pos < e.pos + e.duration - 2) {
            *error = where + "the voice holds a chord left alone (" + NoteNames(c) +
                     "), which its new music would write over";
            return false;
          }
        for (const NoteRef& n : c.notes)
          stays.insert(n.node.internal_object());
        stays.insert(c.first.internal_object());
        continue;
      }
      old.insert(c.first.internal_object());
      for (const NoteRef& n : c.notes)
        old.insert(n.node.internal_object());
    }
    std::vector<Placed> placed;
    long long end = Walk(plan->measure, &placed);
    size_t lo = placed.size(), hi = 0;
    for (size_t k = 0; k < placed.size(); ++k)
      if (old.count(placed[k].node.internal_object())) {
        lo = std::min(lo, k);
        hi = k;
      }
    if (lo == placed.size()) {
      plan->append = true;
      plan->start = plan->end = end;
    } else {
      plan->before = placed[lo].node;
      plan->start = placed[lo].pos;
      plan->end = hi + 1 < placed.size() ? placed[hi + 1].pos : end;
      if (hi + 1 < placed.size()) plan->after = placed[hi + 1].node;
      for (size_t k = lo; k <= hi; ++k) {
        const pugi::xml_node& n = placed[k].node;
        if (stays.count(n.internal_object())) {
          plan->kept.push_back(placed[k]);
          continue;
        }
        if (Is(n, "backup") || (Is(n, "note") && !old.count(n.internal_object()))) {
          *error = where + "the voice's notes are interleaved with another voice's; its new "
                           "music cannot be written in place";
          return false;
        }
        if (Is(n, "note") || Is(n, "forward"))
          plan->remove.push_back(n);
        else
          plan->kept.push_back(placed[k]);
      }
    }
    plan->entries = WithRests(r);
    plan->where = where;
    return true;
  }

  // Whether the part's divisions, made scale times finer, hold every new entry's times.
  static bool Holds(const Plan& p, long long scale) {
    long long start, end;
    for (size_t k = 0; k < p.entries.size(); ++k)
      if (!EntryTimes(p.entries, k, p.divisions * scale, &start, &end)) return false;
    return true;
  }

  // The divisions of each measure written into, made finer where they cannot hold the new
  // notes' times (the parts' other voices split at a sixteenth in a part that counts eighths):
  // the least multiple that holds the lengths of every voice written there. The plans' times
  // follow. False with the message when none up to a limit does.
  bool Refine(std::vector<Plan>* plans, std::string* error) {
    const long long kMostScale = 64;
    for (Plan& p : *plans) {
      long long scale = 1;
      while (scale <= kMostScale && !Holds(p, scale))
        ++scale;
      if (scale > kMostScale || p.divisions * scale > (1LL << 40)) {
        *error = p.where + "the part's divisions (" + std::to_string(p.divisions) +
                 " to a quarter) cannot hold the new notes' lengths";
        return false;
      }
      long long& finer = _finer[p.measure.internal_object()];
      finer = std::lcm(std::max(1LL, finer), scale);
    }
    for (Plan& p : *plans) {
      long long scale = _finer[p.measure.internal_object()];
      if (scale == 1) continue;
      if (!Holds(p, scale)) {
        *error = p.where + "the part's divisions (" + std::to_string(p.divisions) +
                 " to a quarter) cannot hold the new notes' lengths";
        return false;
      }
      p.divisions *= scale;
      p.start *= scale;
      p.end *= scale;
      for (Placed& k : p.kept)
        k.pos *= scale;
    }
    return true;
  }

  // Makes a measure's divisions scale times finer: every length in it and every divisions it
  // sets; where it sets none, it sets the finer ones at its start. The next measure of the part
  // sets the divisions it had before, unless it sets its own.
  void Rescale(pugi::xml_node measure, long long divisions, long long scale) {
    bool set = false;
    for (pugi::xml_node c = measure.first_child(); c; c = c.next_sibling()) {
      pugi::xml_node d = Is(c, "attributes") ? c.child("divisions") : c.child("duration");
      if (!d) continue;
      set = set || Is(c, "attributes");
      _score->edits.Change(d);
      d.text().set(std::to_string(Number(d, 0) * scale).c_str());
    }
    auto setAtStart = [this](pugi::xml_node m, long long value) {
      _score->edits.Reorder(m);
      pugi::xml_node first = m.first_child();
      while (first && first.type() != pugi::node_element)
        first = first.next_sibling();
      pugi::xml_node a =
          first ? m.insert_child_before("attributes", first) : m.append_child("attributes");
      a.append_child("divisions").text().set(std::to_string(value).c_str());
    };
    if (!set) setAtStart(measure, divisions * scale);
    pugi::xml_node next = measure.next_sibling("measure");
    if (!next) return;
    for (pugi::xml_node a = next.child("attributes"); a; a = a.next_sibling("attributes"))
      if (a.child("divisions")) return;
    setAtStart(next, divisions);
  }

  // The voice's name: that of the staff's chords in the layer, else a new one for the staff.
  std::string VoiceOf(const LayerRewrite& r, int part) const {
    auto found = _inLayer.find(std::make_pair(r.staff, r.layer));
    if (found != _inLayer.end())
      return _score->voiceNames[part][_score->chords[found->second].voice];
    const std::vector<std::string>& used = _score->voiceNames[part];
    int staffInPart = r.staff - _score->parts[part].firstStaff + 1;
    for (int v = 4 * (staffInPart - 1) + 1 + r.layer;; ++v) {
      std::string name = std::to_string(v);
      if (std::find(used.begin(), used.end(), name) == used.end()) return name;
    }
  }

  // ---- writing ------------------------------------------------------------------------------

  // Parses an element's text and puts it in place. An element's only text is kept in the
  // element itself, not in a node of its own: the score holds many new notes, and a node of
  // text is as large as an element. Out of memory throws as reading the file does: the
  // parser says so, a node it cannot make is empty, a copy lacks what it could not make.
  void Insert(Plan& p, const std::string& xml) {
    pugi::xml_document made;
    pugi::xml_parse_result r =
        made.load_buffer(xml.data(), xml.size(),
                         pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_embed_pcdata);
    if (r.status == pugi::status_out_of_memory) throw std::bad_alloc();
    pugi::xml_node element = made.document_element();
    if (!r || !element) { // text made from the file's own elements: never malformed
      if (_failure.empty())
        _failure = p.where + "the new notes could not be written (" + r.description() + ")";
      _made.push_back(pugi::xml_node());
      return;
    }
    if (!p.append && _at) {
      pugi::xml_node e = Build(p.measure, _at, element);
      if (!p.indent.empty()) Text(p.measure, _at, p.indent.c_str());
      _made.push_back(e);
      return;
    }
    // At the end: after the last element, before the whitespace that closes the measure.
    pugi::xml_node closing = p.measure.last_child();
    if (!IsSpace(closing)) closing = pugi::xml_node();
    if (!p.indent.empty()) Text(p.measure, closing, p.indent.c_str());
    _made.push_back(Build(p.measure, closing, element));
  }

  // A copy of a made node, before `before` (none: at the end). The parser keeps the text that
  // starts an element in the element; where other children follow it (the indentation before
  // a note's first child) it is made a node of its own again, as the file's elements have it.
  pugi::xml_node Build(pugi::xml_node parent, const pugi::xml_node& before,
                       const pugi::xml_node& from) {
    if (from.type() == pugi::node_pcdata) return Text(parent, before, from.value());
    if (from.type() != pugi::node_element || !from.first_child()) {
      pugi::xml_node n =
          Made(before ? parent.insert_copy_before(from, before) : parent.append_copy(from));
      if (std::distance(n.attributes_begin(), n.attributes_end()) !=
          std::distance(from.attributes_begin(), from.attributes_end()))
        throw std::bad_alloc();
      return n;
    }
    pugi::xml_node n = Made(before ? parent.insert_child_before(from.name(), before)
                                   : parent.append_child(from.name()));
    for (pugi::xml_attribute a = from.first_attribute(); a; a = a.next_attribute())
      if (!n.append_copy(a)) throw std::bad_alloc();
    if (*from.value()) Text(n, pugi::xml_node(), from.value());
    for (pugi::xml_node c = from.first_child(); c; c = c.next_sibling())
      Build(n, pugi::xml_node(), c);
    return n;
  }

  static pugi::xml_node Made(pugi::xml_node n) {
    if (!n) throw std::bad_alloc();
    return n;
  }

  // A text node before `before` (none: at the end). Indentation the old notes of the voices
  // written hold is copied from them, which shares its text with the file's instead of
  // keeping another copy: they leave the document only once every voice is written.
  pugi::xml_node Text(pugi::xml_node parent, const pugi::xml_node& before, const char* text) {
    auto found = _spaces.find(text);
    if (found != _spaces.end())
      return Made(before ? parent.insert_copy_before(found->second, before)
                         : parent.append_copy(found->second));
    pugi::xml_node n = Made(before ? parent.insert_child_before(pugi::node_pcdata, before)
                                   : parent.append_child(pugi::node_pcdata));
    if (!n.set_value(text)) throw std::bad_alloc();
    return n;
  }

  // The indentation inside the old notes of a voice, for Text.
  void HoldSpaces(const pugi::xml_node& n) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
      if (IsSpace(c))
        _spaces.emplace(c.value(), c);
      else if (c.type() == pugi::node_element)
        HoldSpaces(c);
  }

  std::string Child(const Plan& p, const std::string& element) const { return p.inner + element; }

  void Move(Plan& p, long long to) {
    if (to == _cursor) return;
    std::string d = std::to_string(to > _cursor ? to - _cursor : _cursor - to);
    if (to > _cursor) {
      std::string x = "<forward>" + Child(p, "<duration>" + d + "</duration>") +
                      Child(p, "<voice>" + p.voice + "</voice>");
      if (p.staffElement) x += Child(p, "<staff>" + std::to_string(p.staffInPart) + "</staff>");
      Insert(p, x + p.indent + "</forward>");
    } else {
      Insert(p, "<backup>" + Child(p, "<duration>" + d + "</duration>") + p.indent + "</backup>");
    }
    _cursor = to;
  }

  // The kept elements that stand at or before a time go before what is written there.
  void Pass(Plan& p, long long upto) {
    while (_kept < p.kept.size() && p.kept[_kept].pos <= upto) {
      const pugi::xml_node& kept = p.kept[_kept].node;
      if (_cursor < p.kept[_kept].pos) Move(p, p.kept[_kept].pos);
      // a note kept (one left alone) takes its time
      if (Is(kept, "note") && !kept.child("chord") && !kept.child("grace"))
        _cursor = p.kept[_kept].pos + std::max(0LL, Number(kept.child("duration"), 0));
      pugi::xml_node next = kept.next_sibling();
      while (next && IsSpace(next))
        next = next.next_sibling();
      _at = next;
      ++_kept;
    }
  }

  // A note value's name as the model has it, else as the length gives it ("" when none does).
  static std::string TypeOf(const NewEntry& e, const Chord* t) {
    const char* type = nullptr;
    int dots = 0;
    if (t && t->first.child("type")) return t->first.child_value("type");
    return NoteValue(e.duration, &type, &dots) ? type : "";
  }

  // The old notes of the voice that each new note stands for (a rest: the rest), by entry.
  std::vector<std::vector<NoteFrom>> Sources(const Plan& p) {
    const LayerRewrite& r = *p.rewrite;
    const int kRest = INT_MIN;                       // a rest's pitch
    typedef std::tuple<bool, int, int, int32_t> Key; // grace, displacement, raiselower, time
    std::multimap<Key, pugi::xml_node> starts, ends;
    for (size_t i : r.old) {
      const Chord& c = _score->chords[i];
      if (c.skip != Skip::None && !c.notes.empty()) continue; // it stays where it is
      int32_t end = c.grace ? c.pos : c.pos + c.duration;
      if (c.notes.empty() && c.rest) {
        starts.emplace(Key(c.grace, kRest, 0, c.pos), c.first);
        ends.emplace(Key(c.grace, kRest, 0, end), c.first);
      }
      for (const NoteRef& n : c.notes) {
        starts.emplace(Key(c.grace, n.displacement, n.raiselower, c.pos), n.node);
        ends.emplace(Key(c.grace, n.displacement, n.raiselower, end), n.node);
      }
    }
    // Each old note serves once: a unison doubled keeps its marks (and its id) on one note.
    auto take = [](std::multimap<Key, pugi::xml_node>& from, Key k) {
      auto lo =
          from.lower_bound(Key(std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k) - 2));
      auto hi =
          from.upper_bound(Key(std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k) + 2));
      if (lo == hi) return pugi::xml_node();
      pugi::xml_node n = lo->second;
      from.erase(lo);
      return n;
    };
    std::vector<std::vector<NoteFrom>> out;
    _exact.clear();
    for (const NewEntry& e : p.entries) {
      out.emplace_back();
      int32_t end = e.grace ? e.pos : e.pos + e.duration;
      size_t count = std::max<size_t>(1, e.notes.size());
      for (size_t k = 0; k < count; ++k) {
        int d = e.notes.empty() ? kRest : e.notes[k].displacement;
        int rl = e.notes.empty() ? 0 : e.notes[k].raiselower;
        NoteFrom f;
        f.start = take(starts, Key(e.grace, d, rl, e.pos));
        f.end = take(ends, Key(e.grace, d, rl, end));
        f.exact = f.start && f.start == f.end;
        if (f.exact) _exact.insert(f.start.internal_object());
        out.back().push_back(f);
      }
    }
    // A slur between two notes of the voice stays only when both notes do.
    _lostSlurs.clear();
    std::map<std::string, std::pair<pugi::xml_node, pugi::xml_node>> open; // number -> note, slur
    for (size_t i : r.old)
      for (const NoteRef& n : _score->chords[i].notes)
        for (pugi::xml_node ns = n.node.child("notations"); ns; ns = ns.next_sibling("notations"))
          for (pugi::xml_node sl = ns.child("slur"); sl; sl = sl.next_sibling("slur")) {
            std::string number = sl.attribute("number").as_string("1");
            std::string type = sl.attribute("type").value();
            auto f = open.find(number);
            if (type == "stop" && f != open.end()) {
              if (!_exact.count(n.node.internal_object()) ||
                  !_exact.count(f->second.first.internal_object())) {
                _lostSlurs.insert(sl.internal_object());
                _lostSlurs.insert(f->second.second.internal_object());
              }
              open.erase(f);
            }
            if (type == "start") open[number] = std::make_pair(n.node, sl);
          }
    return out;
  }

  // The model of each entry's rhythm notation: the old chord when its first note stays as
  // it was, else a chord of the same length at the same place.
  // A chord's mark of a group: its first beam's value ("begin", "continue", "end") or its
  // tuplet's ("start", "stop"; "continue" inside one); "" for none.
  static std::string GroupMark(const Chord* t, bool beam) {
    if (!t) return "";
    if (beam) {
      for (pugi::xml_node b = t->first.child("beam"); b; b = b.next_sibling("beam"))
        if (strcmp(b.attribute("number").as_string("1"), "1") == 0) return b.child_value();
      return "";
    }
    for (pugi::xml_node ns = t->first.child("notations"); ns; ns = ns.next_sibling("notations"))
      if (ns.child("tuplet")) return ns.child("tuplet").attribute("type").value();
    return t->first.child("time-modification") ? "continue" : "";
  }

  // Whether chord b comes right after chord a in a's voice.
  static bool Follows(const Chord* a, const Chord* b) {
    return a && b && a->part == b->part && a->staff == b->staff && a->voice == b->voice &&
           a->measure == b->measure && std::abs(b->pos - a->end) <= 2;
  }

  // The model of each entry's rhythm notation: the old chord when its first note stays as it
  // was; else a chord of the same length at the same place, the one whose beam group the
  // entries after it take longest whole (voices beamed apart give the voice one of them).
  std::vector<const Chord*> Models(const Plan& p, const std::vector<std::vector<NoteFrom>>& from) {
    std::unordered_map<pugi::xml_node_struct*, const Chord*> firsts;
    for (size_t i : p.rewrite->old)
      firsts.emplace(_score->chords[i].first.internal_object(), &_score->chords[i]);
    size_t n = p.entries.size();
    std::vector<const Chord*> models(n, nullptr);
    std::vector<std::vector<const Chord*>> candidates(n);
    for (size_t k = 0; k < n; ++k) {
      auto own = from[k][0].exact ? firsts.find(from[k][0].start.internal_object()) : firsts.end();
      if (own != firsts.end()) candidates[k].push_back(own->second);
      for (const Chord* t : Templates(*p.rewrite, p.entries[k]))
        candidates[k].push_back(t);
    }
    for (size_t k = 0; k < n; ++k) {
      std::vector<const Chord*> best;
      for (const Chord* c : candidates[k]) {
        std::vector<const Chord*> chain{c};
        while (GroupMark(chain.back(), true) == (chain.size() == 1 ? "begin" : "continue") &&
               k + chain.size() < n) {
          const Chord* next = nullptr;
          for (const Chord* d : candidates[k + chain.size()])
            if (!next && Follows(chain.back(), d)) next = d;
          if (!next) break;
          chain.push_back(next);
        }
        if (chain.size() > best.size() && GroupMark(chain.back(), true) == "end") best = chain;
      }
      if (best.empty() && !candidates[k].empty()) best.push_back(candidates[k][0]);
      for (size_t i = 0; i < best.size(); ++i)
        models[k + i] = best[i];
      k += best.size() > 1 ? best.size() - 1 : 0;
    }
    return models;
  }

  // The beams and tuplet brackets of each entry, as the first note's text: a model's whole
  // group where the entries take each chord of it in a row (the voice's own notes that stay,
  // or another voice's at the same places); else beams by beat from the new notes' values,
  // and no bracket (the time modification says the rest). Never a group left open.
  struct Grouping {
    std::string beams, tuplets;
  };
  std::vector<Grouping> Groups(const Plan& p, const std::vector<const Chord*>& models) const {
    size_t n = p.entries.size();
    std::vector<Grouping> g(n);
    std::vector<bool> taken(n, false);
    auto value = GroupMark;
    auto next = Follows;
    for (bool beam : {true, false})
      for (size_t k = 0; k < n; ++k) {
        if (value(models[k], beam) != (beam ? "begin" : "start")) continue;
        size_t j = k + 1;
        while (j < n && next(models[j - 1], models[j]) && value(models[j], beam) == "continue")
          ++j;
        if (j >= n || !next(models[j - 1], models[j]) ||
            value(models[j], beam) != (beam ? "end" : "stop"))
          continue;
        for (size_t i = k; i <= j; ++i) {
          pugi::xml_node f = models[i]->first;
          if (beam) {
            taken[i] = true;
            for (pugi::xml_node b = f.child("beam"); b; b = b.next_sibling("beam"))
              g[i].beams += Child(p, Print(b));
            continue;
          }
          for (pugi::xml_node ns = f.child("notations"); ns; ns = ns.next_sibling("notations"))
            for (pugi::xml_node u = ns.child("tuplet"); u; u = u.next_sibling("tuplet"))
              g[i].tuplets += p.inner + p.unit + Print(u);
        }
        k = j;
      }
    auto level = [&](size_t k) {
      const NewEntry& e = p.entries[k];
      return e.grace || e.notes.empty() || taken[k] ? 0 : BeamCount(TypeOf(e, models[k]));
    };
    int16_t measure = p.rewrite->measure;
    auto beat = [&](int32_t pos) { return std::floor(Beat(*_score, measure, pos) + 1e-6); };
    for (size_t k = 0; k < n;) {
      size_t j = k;
      double b = beat(p.entries[k].pos);
      for (; j < n && level(j) > 0; ++j) {
        const NewEntry& e = p.entries[j];
        bool joined =
            j == k || std::abs(e.pos - p.entries[j - 1].pos - p.entries[j - 1].duration) <= 2;
        if (!joined || beat(e.pos) != b || beat(e.pos + e.duration - 3) != b) break;
      }
      for (size_t i = k; j - k >= 2 && i < j; ++i)
        for (int l = 1; l <= level(i); ++l) {
          bool before = i > k && level(i - 1) >= l, after = i + 1 < j && level(i + 1) >= l;
          const char* v = before && after ? "continue"
                          : before        ? "end"
                          : after         ? "begin"
                          : i == k        ? "forward hook"
                                          : "backward hook";
          g[i].beams += Child(p, "<beam number=\"" + std::to_string(l) + "\">" + v + "</beam>");
        }
      k = std::max(j, k + 1);
    }
    return g;
  }

  // The first fermata over a chord's notes.
  static pugi::xml_node FermataOf(const Chord& c) {
    std::vector<pugi::xml_node> notes;
    for (const NoteRef& n : c.notes)
      notes.push_back(n.node);
    if (notes.empty()) notes.push_back(c.first);
    for (const pugi::xml_node& n : notes)
      for (pugi::xml_node ns = n.child("notations"); ns; ns = ns.next_sibling("notations"))
        if (ns.child("fermata")) return ns.child("fermata");
    return pugi::xml_node();
  }

  std::string NoteText(const Plan& p, const NewEntry& e, const Chord* t, size_t index,
                       const Spelling* pitch, bool tie, long long duration, const NoteFrom& from,
                       const Grouping& group) const {
    pugi::xml_node first = t ? t->first : pugi::xml_node();
    std::string x = "<note";
    for (pugi::xml_attribute a = from.start.first_attribute(); a; a = a.next_attribute())
      x += std::string(" ") + a.name() + "=\"" + Escaped(a.value()) + "\"";
    x += ">";
    if (e.grace) x += Child(p, first.child("grace") ? Print(first.child("grace")) : "<grace/>");
    if (index > 0) x += Child(p, "<chord/>");
    if (pitch) {
      std::string in = p.inner + p.unit;
      x += Child(p, "<pitch>") + in + "<step>" + StepLetter(pitch->step) + "</step>";
      if (pitch->alter) x += in + "<alter>" + std::to_string(pitch->alter) + "</alter>";
      x += in + "<octave>" + std::to_string(pitch->octave) + "</octave>" + p.inner + "</pitch>";
    } else {
      bool whole = first && strcmp(first.child("rest").attribute("measure").value(), "yes") == 0;
      x += Child(p, whole ? "<rest measure=\"yes\"/>" : "<rest/>");
    }
    if (!e.grace) x += Child(p, "<duration>" + std::to_string(duration) + "</duration>");
    if (tie) x += Child(p, "<tie type=\"start\"/>");
    x += Child(p, "<voice>" + p.voice + "</voice>");
    const char* type = nullptr;
    int dots = 0;
    if (first && first.child("type")) {
      x += Child(p, Print(first.child("type")));
      for (pugi::xml_node d = first.child("dot"); d; d = d.next_sibling("dot"))
        x += Child(p, "<dot/>");
    } else if (NoteValue(e.duration, &type, &dots)) {
      x += Child(p, std::string("<type>") + type + "</type>");
      for (int d = 0; d < dots; ++d)
        x += Child(p, "<dot/>");
    }
    if (first && first.child("time-modification"))
      x += Child(p, Print(first.child("time-modification")));
    for (const char* name : {"notehead", "notehead-text"})
      if (from.start.child(name)) x += Child(p, Print(from.start.child(name)));
    if (p.staffElement) x += Child(p, "<staff>" + std::to_string(p.staffInPart) + "</staff>");
    if (index == 0) x += group.beams;
    std::string notations, in = p.inner + p.unit;
    if (tie) notations += in + "<tied type=\"start\"/>";
    if (index == 0) notations += group.tuplets;
    // Marks of the note it stands for; its fermata from the note that ended with it, else,
    // new music, the model's.
    for (pugi::xml_node ns = from.start.child("notations"); ns; ns = ns.next_sibling("notations"))
      for (pugi::xml_node k = ns.first_child(); k; k = k.next_sibling())
        if (k.type() == pugi::node_element &&
            !IsAny(k, {"tied", "tuplet", "fermata", "slur", "glissando", "slide"}))
          notations += in + Print(k);
    for (pugi::xml_node ns = from.exact ? from.start.child("notations") : pugi::xml_node(); ns;
         ns = ns.next_sibling("notations"))
      for (pugi::xml_node sl = ns.child("slur"); sl; sl = sl.next_sibling("slur"))
        if (!_lostSlurs.count(sl.internal_object())) notations += in + Print(sl);
    pugi::xml_node fermata = from.end ? from.end.child("notations").child("fermata")
                             : index == 0 && t && !from.start ? FermataOf(*t)
                                                              : pugi::xml_node();
    if (fermata) notations += in + Print(fermata);
    if (!notations.empty()) x += Child(p, "<notations>") + notations + p.inner + "</notations>";
    for (pugi::xml_node l = from.start.child("lyric"); l; l = l.next_sibling("lyric"))
      x += Child(p, Print(l));
    return x + p.indent + "</note>";
  }

  void Write(Plan& p) {
    const LayerRewrite& r = *p.rewrite;
    _score->edits.Reorder(p.measure);
    _cursor = p.start;
    _kept = 0;
    _at = p.append ? pugi::xml_node() : p.before;
    int part = PartOf(r.staff);
    int32_t voice = VoiceIndex(part, p.voice);
    for (const pugi::xml_node& n : p.remove)
      HoldSpaces(n);
    std::vector<std::vector<NoteFrom>> from = Sources(p);
    std::vector<const Chord*> models = Models(p, from);
    std::vector<Grouping> groups = Groups(p, models);
    std::vector<size_t> modelAt;
    for (const Chord* m : models)
      modelAt.push_back(m ? static_cast<size_t>(m - _score->chords.data()) : SIZE_MAX);
    for (size_t k = 0; k < p.entries.size(); ++k) {
      const NewEntry& e = p.entries[k];
      long long start, end; // held, as the plan found
      EntryTimes(p.entries, k, p.divisions, &start, &end);
      Pass(p, start);
      Move(p, start);
      // by index: the chords grow as the voice is written
      const Chord* t = modelAt[k] < _score->chords.size() ? &_score->chords[modelAt[k]] : nullptr;
      long long duration = e.grace ? 0 : end - start;
      Chord c;
      c.key = p.key;
      c.pos = e.pos;
      c.end = e.grace ? e.pos : e.pos + e.duration;
      c.duration = e.duration;
      c.part = part;
      c.staff = r.staff;
      c.measure = r.measure;
      c.layer = r.layer;
      c.voice = voice;
      c.grace = e.grace;
      c.rest = e.notes.empty();
      c.changed = !e.kept && !Unchanged(*_score, r, e);
      _made.clear();
      if (c.rest) {
        Insert(p, NoteText(p, e, t, 0, nullptr, false, duration, from[k][0], groups[k]));
      } else {
        for (size_t i = 0; i < e.notes.size(); ++i) {
          const HostNote& h = e.notes[i];
          NoteRef n;
          n.pitch = FromHost(p.key, h.displacement, h.raiselower);
          n.displacement = static_cast<int16_t>(h.displacement);
          n.raiselower = static_cast<int16_t>(h.raiselower);
          n.pitched = true;
          n.tieStart = h.tie;
          n.moved = true;
          Insert(p, NoteText(p, e, t, i, &n.pitch, h.tie, duration, from[k][i], groups[k]));
          n.node = _made.back();
          c.notes.push_back(n);
        }
      }
      c.first = _made.front();
      if (!e.grace) _cursor = start + duration;
      _score->chords.push_back(c);
    }
    Pass(p, 1LL << 62);
    if (!p.append) Move(p, p.end);
    for (size_t i : r.old) {
      Chord& c = _score->chords[i];
      if (c.skip != Skip::None && !c.notes.empty()) continue; // it stays
      c.notes.clear();
      c.rest = true;
      c.layer = -1;
    }
  }

  int32_t VoiceIndex(int part, const std::string& name) {
    std::vector<std::string>& names = _score->voiceNames[part];
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<int32_t>(i);
    names.push_back(name);
    return static_cast<int32_t>(names.size() - 1);
  }

  Score* _score;
  const std::vector<LayerRewrite>& _rewrites;
  std::vector<PartMeasures> _parts; // read as they are needed
  // How many times finer each measure written into counts its divisions.
  std::map<pugi::xml_node_struct*, long long> _finer;
  std::vector<bool> _old; // by chord: of a voice rewritten
  // The chords by measure, position, length, grace and whether old (1), in that order.
  typedef std::pair<std::tuple<int, int32_t, int, bool, size_t>, size_t> Indexed;
  std::vector<Indexed> _templates;
  // Chords left alone: (measure, pos) -> (length, staff).
  std::multimap<std::pair<int16_t, int32_t>, std::pair<int16_t, int16_t>> _leftAlone;
  FirstChords _firstInCell;                               // (staff, measure) -> chord
  std::map<std::pair<int16_t, int16_t>, size_t> _inLayer; // (staff, layer) -> chord
  // While one voice is written: where the next element goes, the time there, the kept
  // elements passed, and the notes the last insertion made.
  pugi::xml_node _at;
  long long _cursor = 0;
  size_t _kept = 0;
  std::vector<pugi::xml_node> _made;
  // The old notes that stay as they were, and the slurs that lose a note they joined.
  std::unordered_set<pugi::xml_node_struct*> _exact, _lostSlurs;
  std::string _failure;                          // an element that could not be made
  std::map<std::string, pugi::xml_node> _spaces; // indentation in old notes, by its text
};

} // namespace

std::vector<Transposition> StaffTranspositions(const Score& score) {
  std::vector<Transposition> out(static_cast<size_t>(score.staffCount) + 1);
  size_t part = 0;
  for (pugi::xml_node p = score.doc.document_element().child("part");
       p && part < score.parts.size(); p = p.next_sibling("part"), ++part) {
    const PartInfo& info = score.parts[part];
    std::vector<bool> given(static_cast<size_t>(info.staffCount) + 1, false);
    for (pugi::xml_node m = p.child("measure"); m; m = m.next_sibling("measure"))
      for (pugi::xml_node a = m.child("attributes"); a; a = a.next_sibling("attributes"))
        for (pugi::xml_node t = a.child("transpose"); t; t = t.next_sibling("transpose")) {
          long long octave = Number(t.child("octave-change"), 0);
          Transposition x;
          x.diatonic = static_cast<int>(
              std::max(-99LL, std::min(99LL, Number(t.child("diatonic"), 0) + 7 * octave)));
          x.chromatic = static_cast<int>(std::max(
              -99.0, std::min(99.0, std::round(atof(t.child_value("chromatic")) + 12.0 * octave))));
          long staff = t.attribute("number").as_int(0);
          for (int s = 1; s <= info.staffCount; ++s) {
            if ((staff && s != staff) || given[s]) continue;
            given[s] = true; // the first a staff gets holds for the score
            out[info.firstStaff + s - 1] = x;
          }
        }
  }
  return out;
}

bool Unchanged(const Score& score, const LayerRewrite& r, const NewEntry& e) {
  for (size_t i : r.old) {
    const Chord& c = score.chords[i];
    if (c.pos != e.pos || c.grace != e.grace || HostLength(c) != e.duration ||
        c.notes.size() != e.notes.size())
      continue;
    bool same = true;
    for (size_t k = 0; k < c.notes.size() && same; ++k)
      same = c.notes[k].displacement == e.notes[k].displacement &&
             c.notes[k].raiselower == e.notes[k].raiselower &&
             c.notes[k].tieStart == e.notes[k].tie;
    if (same) return true;
  }
  return false;
}

std::vector<ChangedChord> ListRewrites(const Score& score,
                                       const std::vector<LayerRewrite>& rewrites) {
  FirstChords first = FindFirstChords(score);
  // The chords each rewritten voice held, by position, for the names before.
  std::vector<ChangedChord> list;
  for (const LayerRewrite& r : rewrites) {
    Key key = CellKey(score, first, r.staff, r.measure);
    size_t part = 0;
    while (part + 1 < score.parts.size() && score.parts[part + 1].firstStaff <= r.staff)
      ++part;
    if (part >= score.parts.size()) continue;
    std::string voice;
    for (size_t i : r.old)
      if (voice.empty()) voice = score.voiceNames[part][score.chords[i].voice];
    for (const NewEntry& e : r.entries) {
      if (e.notes.empty() || e.kept || Unchanged(score, r, e)) continue;
      ChangedChord d =
          ChordPlace(score, part, r.staff, r.measure, e.pos, voice.empty() ? "1" : voice);
      d.symbol = e.symbol;
      d.before = "rest"; // or what sounded there
      for (size_t i : r.old) {
        const Chord& c = score.chords[i];
        bool sounding = e.grace ? c.grace && c.pos == e.pos
                                : !c.grace && c.pos <= e.pos && e.pos < std::max(c.end, c.pos + 1);
        if (sounding) d.before = NoteNames(c);
      }
      std::vector<Spelling> after;
      for (const HostNote& h : e.notes)
        after.push_back(FromHost(key, h.displacement, h.raiselower));
      d.after = LowestFirst(after);
      list.push_back(d);
    }
  }
  return list;
}

bool RewriteLayers(Score* score, const std::vector<LayerRewrite>& rewrites, std::string* error) {
  if (rewrites.empty()) return true;
  return LayerWriter(score, rewrites).Run(error);
}

} // namespace musicxml
