// A MusicXML score (score-partwise) as the chord tasks see it: the parsed document, and every
// chord and rest of it with the <note> elements behind it, placed and pitched as a notation
// host numbers them (staves, measures, layers, positions, scale steps of the key). Writing back
// (writeback.h) puts a task's changes into the same document.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "edits.h"
#include "pitch.h"

namespace musicxml {

// One note of a chord.
struct NoteRef {
  pugi::xml_node node;      // the <note>
  Spelling pitch;           // as written
  int16_t displacement = 0; // as the host holds it
  int16_t raiselower = 0;
  bool pitched = false;    // false for unpitched notes and microtones: never compared or changed
  bool microtone = false;  // an alteration that is not a whole number of semitones
  bool tieStart = false;   // a tie starts here (kept up to date by writing back)
  bool tieStop = false;    // a tie ends here (kept up to date by writing back)
  bool accidental = false; // an accidental is shown
  bool moved = false;      // writing back gave it another pitch, or added it
};

// The score's units of time, as the host counts them: a quarter note is 1024.
const int32_t kQuarter = 1024;

// The most notes of a chord the host holds: a chord of more is left alone.
const size_t kMaxChordNotes = 12;

// What the host holds: a file's counts are checked against these before they size anything.
// Staff, part and measure numbers are 16-bit, and so is the count of a cell layer's entries.
const int kMaxStaves = 32767;       // all parts' staves together
const int kMaxPartStaves = 64;      // the staves of one part
const int kMaxParts = 32767;        // parts of a score
const int kMaxMeasures = 32767;     // measures of a part
const int kMaxLayerEntries = 32767; // chords and rests of one voice of a staff in a measure

// Why a chord is not handed to the host.
enum class Skip : uint8_t {
  None,
  VoicePastFour,
  Unpitched,
  Microtone,
  TwoStaves,
  OverTwelve,
  NoSuchStaff,
  WideKey,    // a key of more sharps or flats than a file can spell in its signature
  OutOfRange, // the task's result lies outside what a file can spell (found when writing back)
  Count
};

// One entry: a chord, a single note or a rest, with the <note> elements that make it.
struct Chord {
  std::vector<NoteRef> notes; // pitched notes in file order; empty for a rest
  pugi::xml_node first;       // the <note> that starts it (for a rest: the rest)
  Key key;                    // the key in effect where it stands
  int32_t pos = 0;            // position in the measure, host units
  int32_t end = 0;            // where it ends, counted as the next entry's position is
  int16_t duration = 1;       // host units, at least 1 (0 would make a null entry)
  int part = 0;               // index into Score::parts
  int16_t staff = 0;          // host staff number
  int16_t measure = 0;        // host measure number, 1-based
  int16_t layer = -1;         // host layer index; -1: not in the host (left alone)
  int32_t voice = 0;          // index of its voice in the part, for following ties
  bool rest = false;
  bool grace = false;
  Skip skip = Skip::None;
  bool changed = false; // set by writing back
};

// A measure's time as the first part to reach it gives it.
struct MeasureTime {
  int beats = 4;         // the time signature's beats ("3+2" adds up to 5)
  int beatType = 4;      // its note value (4: a quarter); 0 when the file gives none
  bool implicit = false; // printed without a number of its own (an upbeat, a split measure)
  int32_t length = 0;    // how long its longest voice runs, host units
};

// A degree a chord symbol adds, alters or takes away, as written.
struct HarmonyDegree {
  int value = 0;
  int alter = 0;
  std::string type; // "add", "alter" or "subtract"
};

// A chord symbol (<harmony>) as the file writes it; writing back leaves it as it is.
struct Harmony {
  pugi::xml_node node;  // the <harmony>
  int part = 0;         // index into Score::parts
  int16_t staff = 0;    // host staff number
  int16_t measure = 0;  // host measure number, 1-based
  int32_t pos = 0;      // where it starts sounding in the measure, host units
  Spelling root;        // its step and alteration; octave unused
  std::string kind;     // the kind's value, "major" when the file gives none
  std::string text;     // the kind as printed (its text attribute), for showing only
  bool hasBass = false; // a bass after a slash
  Spelling bass;        // its step and alteration
  int inversion = 0;    // <inversion>: 1 the third in the bass, ...
  std::vector<HarmonyDegree> degrees;
  std::string unreadable; // why no chord can be read from it (no root, a bad number); empty
};

struct PartInfo {
  std::string id;         // the part's id attribute
  std::string name;       // its part-name
  int16_t firstStaff = 0; // host staff number of its first staff
  int16_t staffCount = 1;
  int16_t measureCount = 0; // the measures it holds: the score's first ones
  // The time signatures it gives, each with the host measure it holds from; those of its
  // measures before the first are not known.
  std::vector<std::pair<int16_t, MeasureTime>> times;
};

// A part's time signature in a measure; null where the part has given none yet.
const MeasureTime* PartTime(const PartInfo& part, int measure);

// Whether two time signatures make measures of one length (4/4 and 2/2 do).
bool SameLength(const MeasureTime& a, const MeasureTime& b);

// The line that reports the chords left alone, by kind; empty when there are none.
std::string LeftAloneLine(const std::vector<Chord>& chords);

struct Score {
  std::vector<uint8_t> text; // the file's bytes as read: saving copies what was not edited
  pugi::xml_document doc;    // parsed from a copy of them
  Edits edits;               // what writing back changed in the document
  pugi::xml_encoding encoding = pugi::encoding_utf8; // the file's, kept when saving
  bool byteOrderMark = false;                        // the file starts with one, kept too
  std::vector<PartInfo> parts;
  std::vector<std::string> measureNumbers; // as the first part prints them; host measure i+1
  std::vector<std::vector<std::string>> voiceNames; // per part, by Chord::voice
  std::vector<Chord> chords;                        // in file order, part by part
  std::vector<Harmony> harmonies;                   // chord symbols, in file order
  std::vector<uint16_t> measureKeys;     // key word of the first staff at each measure's start
  std::vector<MeasureTime> measureTimes; // each measure's time, host measure i+1
  int16_t staffCount = 0;
  int16_t measureCount = 0;
};

// The beat a place in a measure falls on, counted from 1: in the time signature's beats (a
// half in 3/2; a dotted quarter in 6/8, 9/8 and 12/8), in quarters when the file gives none.
// A measure shorter than its time signature that starts the score or is printed without a
// number (an upbeat) counts back from its end, so that its last beat is the time's last.
double Beat(const Score& score, int measure, int32_t pos);

// Parses the file's text, which the score takes over. Everything is kept in the document
// (declaration, DOCTYPE, comments, processing instructions, whitespace and line ends as
// written). False with a message "LINE:COLUMN: ..." or "not MusicXML ..." on bad input;
// throws std::bad_alloc when memory runs out, as the containers do.
bool ParseScore(std::vector<uint8_t>&& text, Score* score, std::string* error);

// The length of a written note value (<type>: "quarter", "eighth", ...) in the score's units,
// for a grace note, which has no duration of its own. An unknown type counts as an eighth.
int16_t TypeDuration(const char* type);

// The file as the document now stands, in the file's own encoding: the file's own bytes but
// for the notes writing back edited, added or removed (the file itself when none were); the
// whole document serialised when the file's bytes cannot be matched to it.
void SaveScore(const Score& score, std::vector<uint8_t>* out);
void SaveScore(const Score& score, pugi::xml_writer& out);
// The document as it now stands as UTF-8 text without a byte order mark, whatever the file's
// encoding: for showing it (a text in UTF-16 is no string a drawing program reads).
std::string ScoreText(const Score& score);

} // namespace musicxml
