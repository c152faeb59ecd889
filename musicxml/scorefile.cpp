#include "scorefile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>

namespace musicxml {

namespace {
const long long kLongest = 1LL << 40; // the longest position or duration read, in divisions
const int kMaxLayers = 4;

bool Is(const pugi::xml_node& n, const char* name) {
  return strcmp(n.name(), name) == 0;
}

bool Space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A whole number as MusicXML writes one, white space around it allowed.
bool WholeText(const char* t, long long* value) {
  while (Space(*t))
    ++t;
  const char* digits = t + (*t == '+' || *t == '-');
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  char* end = nullptr;
  *value = strtoll(t, &end, 10);
  if (errno == ERANGE) return false;
  while (Space(*end))
    ++end;
  return *end == 0;
}

// A decimal number as MusicXML writes one (digits with at most one point, no exponent).
bool DecimalText(const char* t, double* value) {
  while (Space(*t))
    ++t;
  const char* at = t + (*t == '+' || *t == '-');
  int digits = 0, points = 0;
  for (; (*at >= '0' && *at <= '9') || *at == '.'; ++at)
    *at == '.' ? ++points : ++digits;
  const char* end = at;
  while (Space(*end))
    ++end;
  if (!digits || points > 1 || *end) return false;
  *value = strtod(t, nullptr);
  return std::isfinite(*value);
}

// "LINE:COLUMN" of a byte offset in the file's text, both counted from 1: the text is kept as
// read, so the place of an error is counted there, and only when there is one.
std::string Location(const std::vector<uint8_t>& text, ptrdiff_t offset) {
  size_t at = std::min(static_cast<size_t>(std::max<ptrdiff_t>(0, offset)), text.size());
  long line = 1;
  size_t start = 0;
  for (size_t i = 0; i < at; ++i)
    if (text[i] == '\n') {
      ++line;
      start = i + 1;
    }
  return std::to_string(line) + ":" + std::to_string(at - start + 1);
}

// The numbers of the elements the job reads, read strictly: a text that is not the number MusicXML
// has there is an error naming the element, its text and its place, not a value guessed from it
// (an octave of 4294967300 taken as 4 would change notes the file does not have). The first
// such error is kept; the value answered meanwhile is the fallback.
class Numbers {
public:
  Numbers(const std::vector<uint8_t>& text, bool placed) : _text(text), _placed(placed) {}

  // A whole number from low to high; fallback when the element is missing.
  long long Whole(const pugi::xml_node& n, long long low, long long high, long long fallback,
                  const char* what) {
    long long v = fallback;
    if (n && (!WholeText(n.child_value(), &v) || v < low || v > high))
      return Bad(n, what, fallback);
    return v;
  }
  // A count of divisions (a duration, a <backup>, <divisions>): a decimal of at least 0, taken
  // in whole divisions up to the longest counted.
  long long Divisions(const pugi::xml_node& n, long long fallback) {
    double v = 0;
    if (!n) return fallback;
    if (!DecimalText(n.child_value(), &v) || v < 0)
      return Bad(n, "a number of at least 0", fallback);
    return static_cast<long long>(std::min(v, static_cast<double>(kLongest)));
  }
  // Semitones of an alteration.
  double Semitones(const pugi::xml_node& n) {
    double v = 0;
    if (n && !DecimalText(n.child_value(), &v)) return Bad(n, "a number", 0);
    return v;
  }
  const std::string& Error() const { return _error; }

private:
  long long Bad(const pugi::xml_node& n, const char* what, long long fallback) {
    if (!_error.empty()) return fallback;
    // the text as read, shortened, with only printable characters
    std::string shown;
    for (const char* t = n.child_value(); *t && shown.size() < 24; ++t)
      shown += (*t >= ' ' && *t < 127) ? *t : '?';
    if (strlen(n.child_value()) > 24) shown += "...";
    // The place is counted in the file's bytes, which are the parsed ones only in UTF-8.
    if (_placed) _error = Location(_text, n.offset_debug()) + ": ";
    _error += std::string("<") + n.name() + "> holds \"" + shown + "\", not " + what +
              " as MusicXML has there";
    return fallback;
  }
  const std::vector<uint8_t>& _text;
  bool _placed;
  std::string _error;
};

} // namespace

int16_t TypeDuration(const char* type) {
  static const char* names[] = {"1024th", "512th",   "256th", "128th", "64th",  "32nd", "16th",
                                "eighth", "quarter", "half",  "whole", "breve", "long"};
  for (int i = 0; i < 13; ++i)
    if (strcmp(type, names[i]) == 0) return static_cast<int16_t>(4 << i); // a quarter: 1024
  return kQuarter / 2;
}

namespace {

// A <key> element: a traditional key (fifths, mode) or explicit letter alterations.
Key ReadKey(const pugi::xml_node& k, Numbers* numbers) {
  pugi::xml_node fifths = k.child("fifths");
  if (fifths) {
    const char* mode = k.child_value("mode");
    long long n = numbers->Whole(fifths, LLONG_MIN, LLONG_MAX, 0, "a whole number");
    n = std::max(-1000LL, std::min(1000LL, n)); // past 21 either way the key is not spellable
    return TraditionalKey(static_cast<int>(n),
                          strcmp(mode, "minor") == 0 || strcmp(mode, "aeolian") == 0);
  }
  int8_t sig[7] = {0};
  for (pugi::xml_node s = k.child("key-step"); s; s = s.next_sibling("key-step")) {
    int step = StepIndex(s.child_value());
    pugi::xml_node a = s.next_sibling("key-alter");
    double alter = std::max(-9.0, std::min(9.0, numbers->Semitones(a)));
    if (step >= 0 && a) sig[step] = static_cast<int8_t>(std::lround(alter));
  }
  return ExplicitKey(sig);
}

// A time signature: its beats ("3+2" adds up) and beat type; one the host could not count
// (none given, out of range, not a number) leaves the time as it was, and a time without a
// signature counts in quarters. Only the beat numbers of listed places depend on it.
void ReadTime(const pugi::xml_node& time, MeasureTime* t) {
  if (time.child("senza-misura")) {
    t->beatType = 0;
    return;
  }
  long long beats = 0, part = 0, type = 0;
  std::string text = time.child_value("beats");
  for (size_t at = 0; at <= text.size();) {
    size_t plus = std::min(text.find('+', at), text.size());
    if (!WholeText(text.substr(at, plus - at).c_str(), &part) || part < 1 || part > 999) return;
    beats += part;
    at = plus + 1;
  }
  if (!WholeText(time.child_value("beat-type"), &type) || type < 1 || type > 1024 || beats > 9999)
    return;
  t->beats = static_cast<int>(beats);
  t->beatType = static_cast<int>(type);
}

// Reads one part into chords; keys and layers are per staff of the part.
class PartReader {
public:
  PartReader(Score* score, int part, Numbers* numbers)
      : _score(score), _part(part), _numbers(numbers) {}

  bool Read(const pugi::xml_node& partNode, std::string* error);

private:
  void Attributes(const pugi::xml_node& a);
  void Note(const pugi::xml_node& n);
  void Harmony(const pugi::xml_node& h);
  int16_t Layer(int staff, const char* voice);
  int32_t Voice(const char* voice);

  Score* _score;
  int _part;
  Numbers* _numbers;
  int _staves = 1;        // staves declared so far
  std::string _over;      // what the part has more of than the host can hold
  std::vector<Key> _keys; // key in effect on each staff of the part
  // The keys of each staff from each place in the measure that gives one, in file order: a
  // key given halfway through a measure holds only from there, also for the staves and voices
  // the file lists after it.
  std::vector<std::pair<long long, std::vector<Key>>> _keysFrom;
  std::vector<std::vector<const char*>> _layers;         // the first four voices of each staff
  std::vector<std::array<int32_t, kMaxLayers>> _entries; // entries of each layer in the measure
  std::unordered_map<std::string_view, int32_t> _voices; // index of each voice of the part
  long long _divisions = 1;
  MeasureTime _time;       // the time signature in effect
  bool _timeGiven = false; // the part has given one
  long long _pos = 0;      // position in the measure, divisions
  int16_t _measure = 0;    // host measure number
  long _open = -1;         // index of the chord a <chord/> note joins
};

bool PartReader::Read(const pugi::xml_node& partNode, std::string* error) {
  // The part's staves follow the staves before it; its <staves> may add more as it goes.
  PartInfo& info = _score->parts[_part];
  info.firstStaff = static_cast<int16_t>(_score->staffCount + 1);
  _keys.assign(_staves, TraditionalKey(0, false));
  _layers.assign(_staves, {});

  for (pugi::xml_node m = partNode.child("measure"); m; m = m.next_sibling("measure")) {
    if (_measure == kMaxMeasures) {
      *error = "part \"" + info.id + "\" has more measures than the host can hold (" +
               std::to_string(kMaxMeasures) + ")";
      return false;
    }
    ++_measure;
    // The score's measures are those of its longest part: the first part to reach a measure
    // numbers it and gives it its key.
    bool first = static_cast<size_t>(_measure) > _score->measureNumbers.size();
    if (first) _score->measureNumbers.push_back(m.attribute("number").value());
    _pos = 0;
    _open = -1;
    _keysFrom.assign(1, std::make_pair(0LL, _keys));
    _entries.assign(_staves, {});
    bool keyRecorded = false;
    for (pugi::xml_node c = m.first_child(); c; c = c.next_sibling()) {
      if (!_numbers->Error().empty() || !_over.empty()) break;
      if (c.type() != pugi::node_element) continue;
      if (Is(c, "note")) {
        if (!keyRecorded && first) {
          _score->measureKeys.resize(_measure, 0);
          _score->measureKeys[_measure - 1] = _keys[0].word;
          keyRecorded = true;
        }
        Note(c);
      } else if (Is(c, "backup")) {
        _pos = std::max(0LL, _pos - _numbers->Divisions(c.child("duration"), 0));
        _open = -1;
      } else if (Is(c, "forward")) {
        _pos = std::min(kLongest, _pos + _numbers->Divisions(c.child("duration"), 0));
        _open = -1;
      } else if (Is(c, "attributes")) {
        Attributes(c);
      } else if (Is(c, "harmony")) {
        Harmony(c);
      }
    }
    if (!keyRecorded && first) {
      _score->measureKeys.resize(_measure, 0);
      _score->measureKeys[_measure - 1] = _keys[0].word;
    }
    if (_timeGiven && (info.times.empty() || info.times.back().second.beats != _time.beats ||
                       info.times.back().second.beatType != _time.beatType))
      info.times.emplace_back(_measure, _time);
    if (first) {
      _score->measureTimes.resize(_measure);
      MeasureTime& t = _score->measureTimes[_measure - 1];
      t.beats = _time.beats;
      t.beatType = _time.beatType;
      t.implicit = strcmp(m.attribute("implicit").value(), "yes") == 0;
    }
    if (!_numbers->Error().empty()) {
      *error = _numbers->Error();
      return false;
    }
    if (!_over.empty()) {
      *error = "part \"" + info.id + "\" has " + _over;
      return false;
    }
  }
  if (_score->staffCount + _staves > kMaxStaves) {
    *error = "part \"" + info.id + "\" has staves past the most the host can hold in a score (" +
             std::to_string(kMaxStaves) + ")";
    return false;
  }
  info.staffCount = static_cast<int16_t>(_staves);
  info.measureCount = _measure;
  _score->staffCount = static_cast<int16_t>(_score->staffCount + _staves);
  _score->measureCount = std::max(_score->measureCount, _measure);
  return true;
}

void PartReader::Attributes(const pugi::xml_node& a) {
  // <staves> comes after the keys it numbers: read first.
  if (pugi::xml_node staves = a.child("staves")) {
    long long n = _numbers->Whole(staves, 0, LLONG_MAX, 1, "a whole number of at least 0");
    if (n > kMaxPartStaves) {
      _over =
          "more staves than the host can hold in a part (" + std::to_string(kMaxPartStaves) + ")";
    } else if (_score->staffCount + n > kMaxStaves) {
      _over =
          "staves past the most the host can hold in a score (" + std::to_string(kMaxStaves) + ")";
    } else if (n > _staves) {
      _staves = static_cast<int>(n);
      _keys.resize(_staves, _keys[0]);
      _layers.resize(_staves);
      _entries.resize(_staves);
    }
  }
  for (pugi::xml_node c = a.first_child(); c; c = c.next_sibling()) {
    if (Is(c, "divisions")) {
      long long d = _numbers->Divisions(c, 1);
      if (d > 0) _divisions = d;
    } else if (Is(c, "key")) {
      Key k = ReadKey(c, _numbers);
      long staff = c.attribute("number").as_int(0);
      if (staff >= 1 && staff <= _staves)
        _keys[staff - 1] = k;
      else if (!c.attribute("number"))
        _keys.assign(_staves, k);
      if (_keysFrom.back().first != _pos) _keysFrom.emplace_back(_pos, _keys);
      _keysFrom.back().second = _keys;
    } else if (Is(c, "time")) {
      ReadTime(c, &_time);
      _timeGiven = true;
    }
  }
}

namespace {

// A step and alteration of a chord symbol (root or bass): false when they are no note name.
bool ReadStep(const pugi::xml_node& step, const pugi::xml_node& alter, Spelling* s) {
  double a = 0;
  s->step = StepIndex(step.text().get());
  if (alter && !DecimalText(alter.child_value(), &a)) return false;
  s->alter = static_cast<int>(a);
  return s->step >= 0 && a == std::floor(a) && std::fabs(a) <= 2;
}

// A whole number of a chord symbol within limits.
bool ReadWhole(const pugi::xml_node& n, long long low, long long high, int* value) {
  long long v = 0;
  if (!WholeText(n.child_value(), &v) || v < low || v > high) return false;
  *value = static_cast<int>(v);
  return true;
}

} // namespace

// A chord symbol where it stands (its offset added); what it cannot say is kept as the reason,
// as a symbol is no note: the score is read all the same.
void PartReader::Harmony(const pugi::xml_node& h) {
  musicxml::Harmony y;
  y.node = h;
  y.part = _part;
  y.measure = _measure;
  long long at = _pos;
  double offset = 0;
  if (h.child("offset") && DecimalText(h.child_value("offset"), &offset))
    at = std::max(0LL, std::min(kLongest, at + static_cast<long long>(offset)));
  y.pos = static_cast<int32_t>(std::min<long long>(0x7FFFFFF, at * kQuarter / _divisions));
  int staff = 1;
  if (h.child("staff") && (!ReadWhole(h.child("staff"), 1, _staves, &staff)))
    y.unreadable = "it names a staff the part does not have";
  y.staff = static_cast<int16_t>(_score->parts[_part].firstStaff + staff - 1);
  pugi::xml_node root = h.child("root");
  if (!root)
    y.unreadable = "it has no root (a numeral or a function)";
  else if (!ReadStep(root.child("root-step"), root.child("root-alter"), &y.root))
    y.unreadable = "its root is no note name";
  pugi::xml_node kind = h.child("kind");
  y.kind = kind ? kind.text().get() : "major";
  y.kind.erase(0, y.kind.find_first_not_of(" \t\r\n"));
  y.kind.erase(y.kind.find_last_not_of(" \t\r\n") + 1);
  if (y.kind.empty()) y.kind = "none";
  y.text = kind.attribute("text").value();
  if (pugi::xml_node bass = h.child("bass")) {
    y.hasBass = true;
    if (!ReadStep(bass.child("bass-step"), bass.child("bass-alter"), &y.bass))
      y.unreadable = "its bass is no note name";
  }
  if (h.child("inversion") && !ReadWhole(h.child("inversion"), 0, 3, &y.inversion))
    y.unreadable = "its inversion is not 0 to 3";
  for (pugi::xml_node d = h.child("degree"); d; d = d.next_sibling("degree")) {
    HarmonyDegree g;
    g.type = d.child("degree-type").text().get();
    double alter = 0;
    if (!ReadWhole(d.child("degree-value"), 1, 99, &g.value) ||
        (d.child("degree-alter") && !DecimalText(d.child_value("degree-alter"), &alter)) ||
        alter != std::floor(alter) || std::fabs(alter) > 2 ||
        (g.type != "add" && g.type != "alter" && g.type != "subtract")) {
      y.unreadable = "one of its degrees is not a degree, an alteration and add, alter or "
                     "subtract";
      break;
    }
    g.alter = static_cast<int>(alter);
    y.degrees.push_back(g);
  }
  _score->harmonies.push_back(std::move(y));
}

int32_t PartReader::Voice(const char* voice) {
  auto found = _voices.find(voice); // the document keeps the text alive
  if (found != _voices.end()) return found->second;
  std::vector<std::string>& names = _score->voiceNames[_part];
  names.push_back(voice);
  int32_t index = static_cast<int32_t>(names.size() - 1);
  _voices.emplace(voice, index);
  return index;
}

int16_t PartReader::Layer(int staff, const char* voice) {
  std::vector<const char*>& layers = _layers[staff - 1];
  for (size_t i = 0; i < layers.size(); ++i)
    if (strcmp(layers[i], voice) == 0) return static_cast<int16_t>(i);
  if (layers.size() == kMaxLayers) return -1;
  layers.push_back(voice); // the document keeps the text alive
  return static_cast<int16_t>(layers.size() - 1);
}

// The children of a <note> that the mapping reads, found in one pass.
struct NoteParts {
  pugi::xml_node chord, pitch, rest, grace, duration, voice, staff;
  bool tieStart = false, tieStop = false, accidental = false;
  explicit NoteParts(const pugi::xml_node& n) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
      const char* name = c.name();
      switch (name[0]) {
      case 'a':
        accidental = accidental || strcmp(name, "accidental") == 0;
        break;
      case 'c':
        if (strcmp(name, "chord") == 0) chord = c;
        break;
      case 'd':
        if (strcmp(name, "duration") == 0) duration = c;
        break;
      case 'g':
        if (strcmp(name, "grace") == 0) grace = c;
        break;
      case 'n':
        // A tie some files show only as a notation.
        if (strcmp(name, "notations") == 0)
          for (pugi::xml_node t = c.child("tied"); t; t = t.next_sibling("tied"))
            Tie(t);
        break;
      case 'p':
        if (strcmp(name, "pitch") == 0) pitch = c;
        break;
      case 'r':
        if (strcmp(name, "rest") == 0) rest = c;
        break;
      case 's':
        if (strcmp(name, "staff") == 0) staff = c;
        break;
      case 't':
        if (strcmp(name, "tie") == 0) Tie(c);
        break;
      case 'v':
        if (strcmp(name, "voice") == 0) voice = c;
        break;
      }
    }
  }
  void Tie(const pugi::xml_node& t) {
    const char* type = t.attribute("type").value();
    tieStart = tieStart || strcmp(type, "start") == 0;
    tieStop = tieStop || strcmp(type, "stop") == 0;
  }
};

void PartReader::Note(const pugi::xml_node& n) {
  NoteParts parts(n);
  bool joins = _open >= 0 && parts.chord;
  long long staff = _numbers->Whole(parts.staff, 1, LLONG_MAX, 1, "a whole number of at least 1");
  const char* voice = parts.voice ? parts.voice.child_value() : "1";
  NoteRef note;
  note.node = n;
  note.tieStart = parts.tieStart;
  note.tieStop = parts.tieStop;
  note.accidental = parts.accidental;
  bool rest = !parts.pitch && parts.rest;
  if (parts.pitch) {
    pugi::xml_node step, alter, octave;
    for (pugi::xml_node c = parts.pitch.first_child(); c; c = c.next_sibling())
      if (strcmp(c.name(), "step") == 0)
        step = c;
      else if (strcmp(c.name(), "alter") == 0)
        alter = c;
      else if (strcmp(c.name(), "octave") == 0)
        octave = c;
    note.pitch.step = StepIndex(step.child_value());
    note.pitch.octave =
        static_cast<int>(_numbers->Whole(octave, 0, 9, -1, "a whole number from 0 to 9"));
    double a = _numbers->Semitones(alter);
    note.pitched = note.pitch.step >= 0 && a == std::floor(a) && std::fabs(a) <= 3 &&
                   note.pitch.octave >= 0 && note.pitch.octave <= 9;
    note.pitch.alter = note.pitched ? static_cast<int>(a) : 0;
    note.microtone = alter && a != std::floor(a);
  }
  if (!joins) {
    long long duration = _numbers->Divisions(parts.duration, 0);
    _score->chords.emplace_back();
    Chord& c = _score->chords.back();
    c.first = n;
    c.part = _part;
    c.measure = _measure;
    c.grace = static_cast<bool>(parts.grace);
    c.rest = rest;
    c.pos = static_cast<int32_t>(std::min<long long>(0x7FFFFFF, _pos * kQuarter / _divisions));
    long long end = c.grace ? _pos : std::min(kLongest, _pos + duration);
    c.end = static_cast<int32_t>(std::min<long long>(0x7FFFFFF, end * kQuarter / _divisions));
    c.duration = static_cast<int16_t>(
        std::min<long long>(32767, std::max<long long>(1, duration * kQuarter / _divisions)));
    c.voice = Voice(voice);
    if (staff < 1 || staff > _staves) {
      c.skip = Skip::NoSuchStaff;
    } else {
      c.staff = static_cast<int16_t>(_score->parts[_part].firstStaff + staff - 1);
      size_t from = _keysFrom.size() - 1;
      while (from > 0 && _keysFrom[from].first > _pos)
        --from;
      const std::vector<Key>& keys = _keysFrom[from].second;
      c.key = static_cast<size_t>(staff) <= keys.size() ? keys[staff - 1] : keys[0];
      c.layer = Layer(static_cast<int>(staff), voice);
      if (c.layer < 0)
        c.skip = Skip::VoicePastFour;
      else if (++_entries[staff - 1][c.layer] > kMaxLayerEntries)
        _over = "more notes and rests in one voice of measure " + std::to_string(_measure) +
                " than the host can hold (" + std::to_string(kMaxLayerEntries) + ")";
      if (!c.key.spellable && c.skip == Skip::None) c.skip = Skip::WideKey;
    }
    if (!c.grace) _pos = std::min(kLongest, _pos + duration);
    _open = rest ? -1 : static_cast<long>(_score->chords.size() - 1);
    if (rest) return;
  }
  Chord& c = _score->chords[_open];
  if (c.skip == Skip::None) {
    if (c.staff != _score->parts[_part].firstStaff + staff - 1)
      c.skip = Skip::TwoStaves;
    else if (!note.pitched)
      c.skip = note.microtone ? Skip::Microtone : Skip::Unpitched;
    else if (c.notes.size() == kMaxChordNotes)
      c.skip = Skip::OverTwelve;
  }
  if (note.pitched) {
    int d, r;
    ToHost(c.key, note.pitch, &d, &r);
    note.displacement = static_cast<int16_t>(d);
    note.raiselower = static_cast<int16_t>(r);
  }
  c.notes.push_back(note);
}

struct VectorWriter : pugi::xml_writer {
  std::vector<uint8_t>* out;
  void write(const void* data, size_t size) override {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
  }
};
} // namespace

bool ParseScore(std::vector<uint8_t>&& text, Score* score, std::string* error) {
  score->text.swap(text);
  const std::vector<uint8_t>& t = score->text;
  score->byteOrderMark =
      (t.size() >= 3 && t[0] == 0xEF && t[1] == 0xBB && t[2] == 0xBF) ||
      (t.size() >= 2 && ((t[0] == 0xFF && t[1] == 0xFE) || (t[0] == 0xFE && t[1] == 0xFF)));
  // Parsed from a copy, so that the file's bytes stay to be written back; line ends as the
  // file has them, so that a note written anew keeps them too.
  pugi::xml_parse_result r = score->doc.load_buffer(
      t.data(), t.size(), (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_eol,
      pugi::encoding_auto);
  // Memory running out is no fault of the file: said as any other allocation that fails.
  if (r.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (!r) {
    *error = Location(t, r.offset) + ": not well-formed XML (" + r.description() + ")";
    return false;
  }
  score->encoding = r.encoding;
  pugi::xml_node root = score->doc.document_element();
  if (Is(root, "score-timewise")) {
    *error = "a score-timewise file; only score-partwise MusicXML is read";
    return false;
  }
  if (!Is(root, "score-partwise")) {
    *error = std::string("not a MusicXML score (its root element is <") + root.name() +
             ">, not <score-partwise>)";
    return false;
  }
  // Counted before anything is sized by them: the host numbers parts with 16 bits.
  size_t partCount = 0;
  for (pugi::xml_node p = root.child("part"); p; p = p.next_sibling("part"))
    if (++partCount > static_cast<size_t>(kMaxParts)) {
      *error = "more parts than the host can hold (" + std::to_string(kMaxParts) + ")";
      return false;
    }
  // The part list's names by id, looked up once each: a search of the list for every part
  // would cost the square of the parts.
  std::unordered_map<std::string_view, const char*> names;
  for (pugi::xml_node p = root.child("part-list").child("score-part"); p;
       p = p.next_sibling("score-part"))
    names.emplace(p.attribute("id").value(), p.child_value("part-name"));
  for (pugi::xml_node p = root.child("part"); p; p = p.next_sibling("part")) {
    PartInfo info;
    info.id = p.attribute("id").value();
    auto named = names.find(info.id);
    if (named != names.end()) info.name = named->second;
    score->parts.push_back(info);
  }
  score->voiceNames.assign(score->parts.size(), {});
  Numbers numbers(score->text, r.encoding == pugi::encoding_utf8);
  int index = 0;
  for (pugi::xml_node p = root.child("part"); p; p = p.next_sibling("part"))
    if (!PartReader(score, index++, &numbers).Read(p, error)) return false;
  score->measureTimes.resize(score->measureCount);
  for (const Chord& c : score->chords)
    if (c.measure >= 1 && c.measure <= score->measureCount) {
      int32_t& length = score->measureTimes[c.measure - 1].length;
      length = std::max(length, c.end);
    }
  return true;
}

const MeasureTime* PartTime(const PartInfo& part, int measure) {
  auto after =
      std::upper_bound(part.times.begin(), part.times.end(), measure,
                       [](int m, const std::pair<int16_t, MeasureTime>& t) { return m < t.first; });
  return after == part.times.begin() ? nullptr : &(after - 1)->second;
}

bool SameLength(const MeasureTime& a, const MeasureTime& b) {
  return static_cast<long long>(a.beats) * b.beatType ==
         static_cast<long long>(b.beats) * a.beatType;
}

double Beat(const Score& score, int measure, int32_t pos) {
  if (measure < 1 || static_cast<size_t>(measure) > score.measureTimes.size())
    return 1 + static_cast<double>(pos) / kQuarter;
  const MeasureTime& t = score.measureTimes[measure - 1];
  if (t.beatType <= 0) return 1 + static_cast<double>(pos) / kQuarter;
  // A compound time's beat is three of its notes.
  bool compound = t.beats % 3 == 0 && t.beats > 3 && t.beatType >= 8;
  double unit = 4.0 * kQuarter / t.beatType * (compound ? 3 : 1);
  double full = 4.0 * kQuarter / t.beatType * t.beats;
  double offset = pos;
  if ((measure == 1 || t.implicit) && t.length > 0 && t.length < full) offset += full - t.length;
  return 1 + offset / unit;
}

void SaveScore(const Score& score, std::vector<uint8_t>* out) {
  VectorWriter w;
  w.out = out;
  out->reserve(score.text.size() + score.text.size() / 8 + 4096);
  SaveScore(score, w);
}

namespace {
// The document's nodes in the encoding given, after a byte order mark when the file had one.
void Save(const Score& score, pugi::xml_writer& w, pugi::xml_encoding encoding, bool mark) {
  // Each node before and after the root on a line of its own, as files have them; the
  // document keeps no text outside its root.
  if (mark) {
    static const struct {
      pugi::xml_encoding encoding;
      const char* bytes;
      size_t size;
    } marks[] = {{pugi::encoding_utf8, "\xEF\xBB\xBF", 3},
                 {pugi::encoding_utf16_le, "\xFF\xFE", 2},
                 {pugi::encoding_utf16_be, "\xFE\xFF", 2},
                 {pugi::encoding_utf32_le, "\xFF\xFE\0\0", 4},
                 {pugi::encoding_utf32_be, "\0\0\xFE\xFF", 4}};
    for (const auto& m : marks)
      if (m.encoding == encoding) w.write(m.bytes, m.size);
  }
  for (pugi::xml_node n = score.doc.first_child(); n; n = n.next_sibling()) {
    n.print(w, "", pugi::format_raw | pugi::format_no_declaration, encoding);
    pugi::xml_document newline;
    newline.append_child(pugi::node_pcdata).set_value("\n");
    newline.first_child().print(w, "", pugi::format_raw, encoding);
  }
}
} // namespace

void SaveScore(const Score& score, pugi::xml_writer& w) {
  if (score.edits.Empty()) {
    w.write(score.text.data(), score.text.size());
    return;
  }
  if (!score.edits.Save(score.text, score.encoding, w))
    Save(score, w, score.encoding, score.byteOrderMark);
}

std::string ScoreText(const Score& score) {
  struct : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
      text.append(static_cast<const char*>(data), size);
    }
  } w;
  Save(score, w, pugi::encoding_utf8, false);
  return w.text;
}

std::string LeftAloneLine(const std::vector<Chord>& chords) {
  const int kinds = static_cast<int>(Skip::Count);
  int counts[kinds] = {0};
  for (const Chord& c : chords)
    if (!c.rest) ++counts[static_cast<int>(c.skip)]; // a rest left alone loses nothing
  static const char* what[kinds] = {
      "",
      "in voices past the fourth of a staff",
      "with unpitched notes",
      "with microtones",
      "with notes on two staves",
      "of more than twelve notes",
      "on a staff the part does not declare",
      "in keys of more than 21 sharps or flats",
      "whose result would leave the octaves a file can write (0 to 9)"};
  std::string line;
  for (int i = 1; i < kinds; ++i) {
    if (!counts[i]) continue;
    line += line.empty() ? "left alone: " : ", ";
    line += std::to_string(counts[i]) + (counts[i] == 1 ? " chord " : " chords ") + what[i];
  }
  return line;
}

} // namespace musicxml
