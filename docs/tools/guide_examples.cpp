// The guide's examples, made by the plug-in itself. A host beside the plug-in builds one small
// score, opens the tool window through the plug-in's entry points as the notation host does,
// and for every example selects one measure, picks the task and the direction in the window
// and presses Apply, exactly as a user would. The chords before and after, spelled in their
// key, become the blocks of the guide between its marker comments. The guide's transcripts of
// ./run --score are what the headless host prints, run on the shipped example score and on a
// few bad files made here:
//   guide_examples --write docs/guide.md   brings the guide's examples up to date
//   guide_examples --check docs/guide.md   fails when the guide differs from what the tool does
//   guide_examples --notation FOLDER       writes the examples as MusicXML, one score a block,
//                                          for notation.mjs to draw with Verovio
//   guide_examples                         prints the blocks
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs.h"
#include "linkedplugin.h"
#include "hostsim.h"
#include "markers.h"
#include "notation.h"
#include "notename.h"
#include "resources/resource.h"
#include "score.h"
#include "scorejob.h"
#include "transcript.h"
#include "tasks.h"
#include "winshim.h"

namespace {

// Key words: the high byte is the mode (1 minor), the low byte the signature's sharps (positive)
// or flats (negative).
const uint16_t C_MAJOR = 0x0000, D_MAJOR = 0x0002, A_MAJOR = 0x0003, F_MAJOR = 0x00FF,
               B_FLAT_MAJOR = 0x00FE;
const uint16_t G_MAJOR = 0x0001, E_FLAT_MAJOR = 0x00FD, F_SHARP_MAJOR = 0x0006;
const uint16_t A_MINOR = 0x0100, E_MINOR = 0x0101, C_MINOR = 0x01FD;

enum Direction { NONE, TOP, BOTTOM }; // NONE: a task without a direction choice

using guide::Pitch;

// One press of Apply: a task and direction on a one-chord measure.
struct Example {
  int task;                 // catalogue row
  Direction direction;      // which radio button is on
  uint16_t keyword;         // the measure's key
  std::vector<Pitch> chord; // the chord before, in the order the host stores it
  bool fourNoteDrops;       // the options file asks for four-note drop chords only
  bool spellInKey = false;  // the options file asks for added notes spelt in the key
  bool setting = false;     // shown with its setting, not with its task
  // the chords after `chord` in the same measure, a beat apart: a progression, for a task that
  // sees several chords
  std::vector<std::vector<Pitch>> more = {};
  // For the tasks that move music between staves: the chords of the staves below the first,
  // before (an empty one is a rest); the selection then spans 1 + below.size() staves.
  std::vector<std::vector<Pitch>> below = {};
  bool strict = false; // the options file asks for strict voice leading
};

std::vector<Pitch> P(std::initializer_list<int> displacements) {
  std::vector<Pitch> out;
  for (int d : displacements)
    out.push_back({static_cast<int16_t>(d), 0});
  return out;
}

// Each task's examples: its chord in both directions (once for a task without one), then a
// chord it leaves alone, and now and then a chord that shows a rule worth knowing.
std::vector<Example> TaskExamples(int task) {
  auto both = [task](uint16_t key, std::vector<Pitch> chord) {
    return std::vector<Example>{{task, TOP, key, chord, false}, {task, BOTTOM, key, chord, false}};
  };
  auto one = [task](Direction d, uint16_t key, std::vector<Pitch> chord) {
    return Example{task, d, key, chord, false};
  };
  std::vector<Example> out;
  switch (task) {
  case AddThird:
    out = both(D_MAJOR, P({0, 2, 4}));
    out.push_back(one(TOP, C_MAJOR, {{3, 1}}));
    break;
  case AddOctave:
    out = both(F_MAJOR, P({0, 2, 4}));
    break;
  case AddReverseOctave:
    out = both(C_MAJOR, P({2, 4, 7}));
    out.push_back(one(TOP, C_MAJOR, P({0, 4, 7})));
    break;
  case DeleteOctaves:
    out = both(C_MAJOR, P({0, 4, 7, 14}));
    out.push_back(one(TOP, C_MAJOR, {{0, 0}, {7, 1}}));
    out.push_back(one(TOP, C_MAJOR, P({0, 14})));
    break;
  case DeleteOuterNote:
    out = both(A_MINOR, P({0, 2, 4, 7}));
    out.push_back(one(TOP, A_MINOR, P({4})));
    break;
  case DeleteUnisons:
    out = {one(NONE, C_MAJOR, P({0, 0, 0, 2, 4})), one(NONE, C_MAJOR, {{0, 0}, {0, 1}})};
    break;
  case Drop2nd:
  case Drop3rd:
  case Drop4th:
  case Drop2ndAnd4th:
    out = {one(NONE, B_FLAT_MAJOR, P({0, 2, 4, 7}))};
    if (task == Drop2nd) out.push_back(one(NONE, B_FLAT_MAJOR, P({4})));
    if (task == Drop3rd) out.push_back(one(NONE, B_FLAT_MAJOR, P({0, 4, 7, 7})));
    if (task == Drop3rd) out.push_back(one(NONE, B_FLAT_MAJOR, P({4, 7})));
    if (task == Drop4th || task == Drop2ndAnd4th)
      out.push_back(one(NONE, B_FLAT_MAJOR, P({0, 2, 4})));
    if (task == Drop2ndAnd4th) out.push_back(one(NONE, B_FLAT_MAJOR, P({4, 4, 0, 0})));
    break;
  case KeepLines:
    out = {one(NONE, E_MINOR, P({0, 2, 4, 7})), one(NONE, E_MINOR, P({0, 4}))};
    break;
  case KeepSpecificLine:
    out = both(E_MINOR, P({0, 2, 4, 7}));
    out.push_back(one(TOP, E_MINOR, P({2})));
    break;
  case Rotate:
    out = both(C_MAJOR, P({0, 2, 4}));
    out.push_back(one(TOP, C_MAJOR, P({0, 4, 7})));
    break;
  case TransposeOctave:
  case TransposeOctaveChord:
    out = both(C_MAJOR, P({0, 2, 4}));
    out.push_back(one(TOP, C_MAJOR, P({4})));
    break;
  case UnisonsToOctaves:
    out = both(C_MAJOR, P({0, 0, 4}));
    out.push_back(one(TOP, C_MAJOR, P({0, 0, 0})));
    out.push_back(one(TOP, C_MAJOR, P({0, 4})));
    break;
  case AddSecond:
    out = both(G_MAJOR, P({0, 2, 4}));
    out.push_back(one(TOP, C_MINOR, {{4, 0}, {6, 1}}));
    break;
  case AddFourth:
    out = both(E_FLAT_MAJOR, P({0, 2, 4}));
    out.push_back(one(TOP, C_MAJOR, {{3, 1}}));
    out.push_back(one(TOP, F_MAJOR, {{-2, -1}})); // Db4 in F major: Gb4, a perfect fourth
    break;
  case AddFifth:
    out = both(A_MINOR, P({0, 2}));
    out.push_back(one(BOTTOM, C_MAJOR, {{-1, -1}, {4, 0}}));
    // Over notes outside the key the fifth is perfect: Ab4 over Db4 and Bb4 over Eb4 in
    // F major, A#5 over D#5 in E minor, F##5 over B#4 in F-sharp major.
    out.push_back(one(TOP, F_MAJOR, {{-2, -1}}));
    out.push_back(one(TOP, F_MAJOR, {{-1, -1}}));
    out.push_back(one(TOP, E_MINOR, {{6, 1}}));
    out.push_back(one(TOP, F_SHARP_MAJOR, {{3, 1}}));
    // Over a note of the key it is the key's own fifth: B4 and F5 in C major.
    out.push_back(one(TOP, C_MAJOR, P({6})));
    break;
  case AddSixth:
    out = both(F_MAJOR, P({0, 4}));
    break;
  case AddSeventh:
    out = both(D_MAJOR, P({0, 2, 4}));
    break;
  case VoiceLeading: {
    // I IV V I with the inner notes written anywhere: the melody kept, then the bass kept;
    // then a single note inside the passage, which stays and does not end it.
    Example melody = one(TOP, C_MAJOR, P({0, 2, 4}));
    melody.more = {P({-4, -2, 7}), P({-3, 1, 8}), P({-7, -5, 9})};
    Example bass = one(BOTTOM, C_MAJOR, P({-7, 2, 4, 7}));
    bass.more = {P({-4, 0, 3, 12}), P({-3, 8, 11, 13}), P({-7, 4, 7, 9})};
    Example single = one(TOP, C_MAJOR, P({0, 2, 4}));
    single.more = {P({6}), P({-8, -6, 8})};
    out = {melody, bass, single};
    break;
  }
  case Explode:
    out = {one(TOP, C_MAJOR, P({-7, 2, 4, 7})),
           one(BOTTOM, C_MAJOR, P({-7, 2, 4, 7})),
           one(TOP, C_MAJOR, P({0, 4})),
           one(BOTTOM, C_MAJOR, P({0, 4})),
           one(TOP, C_MAJOR, P({-3, 0, 2, 4, 7})),
           one(BOTTOM, C_MAJOR, P({-3, 0, 2, 4, 7})),
           one(TOP, C_MAJOR, P({7}))};
    for (Example& ex : out)
      ex.below = {{}, {}, {}};
    // A single note is dealt to no one: the staves below keep their own music under it.
    out.back().below = {P({4}), P({2}), P({-7})};
    break;
  case Reduce:
    out = {one(TOP, C_MAJOR, P({7})), one(BOTTOM, C_MAJOR, P({7})), one(TOP, C_MAJOR, P({4})),
           one(TOP, C_MAJOR, P({}))};
    out[0].below = out[1].below = {P({4}), P({2}), P({-7})};
    // A unison is kept twice; a note under a rest of the top staff is gathered all the same.
    out[2].below = {P({4}), P({}), P({0})};
    out[3].below = {P({}), P({0}), P({})};
    break;
  case ClosePosition:
    out = both(C_MAJOR, P({-10, 2, 7}));
    out.push_back(one(TOP, C_MAJOR, P({-7, 2, 4, 7})));
    out.push_back(one(TOP, C_MAJOR, P({0, -5, 9, 14})));
    out.push_back(one(BOTTOM, C_MAJOR, P({0, 0, 4, 16})));
    // A twelve-note A major chord over five octaves: every doubling stays an octave apart.
    out.push_back(one(TOP, A_MAJOR, P({-21, -17, -12, -7, -10, -5, 0, 2, 4, 7, 9, 11})));
    out.push_back(one(TOP, C_MAJOR, P({0, 2, 4})));
    break;
  }
  return out;
}

// The settings' example: the drop tasks with the options file's four-note rule on.
std::vector<Example> FourNoteExamples() {
  return {{Drop2nd, NONE, C_MAJOR, P({0, 2, 4}), true},
          {Drop2nd, NONE, C_MAJOR, P({0, 2, 4, 7}), true},
          {Drop2nd, NONE, C_MAJOR, P({-3, 0, 2, 4, 7}), true}};
}

// The settings' example for spelling: thirds over and under altered notes, copying their
// alteration and spelt in the key.
std::vector<Example> SpellingExamples() {
  std::vector<Example> out;
  for (bool inKey : {false, true}) {
    out.push_back({AddThird, TOP, E_MINOR, {{1, 0}, {3, 0}, {4, 0}, {6, 1}}, false, inKey, true});
    out.push_back({AddThird, TOP, B_FLAT_MAJOR, {{-2, 0}, {0, 0}, {2, -1}}, false, inKey, true});
    out.push_back(
        {AddThird, BOTTOM, C_MINOR, {{-1, 1}, {1, 0}, {3, 0}, {5, 0}}, false, inKey, true});
  }
  return out;
}

// The strict setting's example: Voice Leading on one progression without the setting and with
// it, where the least motion goes in parallel fifths and octaves.
std::vector<Example> StrictExamples() {
  std::vector<Example> out;
  for (bool strict : {false, true}) {
    Example ex{VoiceLeading, TOP, C_MAJOR, P({0, 4, 7}), false, false, true};
    ex.more = {P({-6, -2, 8})};
    ex.strict = strict;
    out.push_back(ex);
  }
  return out;
}

// ---- The host and the user --------------------------------------------------------------

// What one Apply did.
struct Outcome {
  std::vector<Pitch> after; // the measure's chord after Apply (its chords' notes in turn)
  std::vector<std::vector<Pitch>> chords; // each of the measure's chords after Apply
  std::vector<std::vector<Pitch>> below;  // the chords of the staves below, after
  bool changed;                           // the host recorded an undo entry
  bool beeped;                            // the tool beeped
};

class Session {
public:
  // A score of one staff with a measure for every example, an empty host folder for the
  // options file, and the plug-in loaded and invoked from its menu item.
  explicit Session(const std::vector<Example>& examples) : _examples(examples) {
    hostsim::Reset();
    namespace fs = std::filesystem;
    _folder = fs::temp_directory_path() / ("qvguide_" + std::to_string(getpid()));
    fs::create_directories(_folder);
    hostsim::TheHost().finalePath = (_folder / "host").string();
    size_t staves = 1;
    for (const Example& ex : examples)
      staves = std::max(staves, 1 + ex.below.size());
    hostsim::NewDocument(static_cast<int>(staves), static_cast<int>(examples.size()));
    for (size_t i = 0; i < examples.size(); ++i) {
      int16_t measure = static_cast<int16_t>(i + 1);
      hostsim::SetMeasureKey(measure, examples[i].keyword);
      hostsim::AddEntry(1, measure, 0, Entry(examples[i].chord));
      for (size_t k = 0; k < examples[i].more.size(); ++k) {
        hostsim::EntrySpec next = Entry(examples[i].more[k]);
        next.pos = static_cast<int32_t>(1024 * (k + 1));
        hostsim::AddEntry(1, measure, 0, next);
      }
      for (size_t s = 0; s < examples[i].below.size(); ++s)
        hostsim::AddEntry(static_cast<int16_t>(s + 2), measure, 0, Entry(examples[i].below[s]));
    }
    // The plug-in is linked in: its entry points are called as the host calls them.
    std::string menuItem;
    _dialog = OpenToolWindow(LinkedPlugin(), &menuItem, &_error);
  }
  ~Session() {
    hostsim::ResetDialogs();
    std::error_code ec;
    std::filesystem::remove_all(_folder, ec);
  }
  // Null with what went wrong when the tool window did not open.
  const char* Failure() const { return _dialog ? nullptr : _error.c_str(); }

  // The user selects the example's measure, clicks back into the tool window, picks the task
  // and the direction and presses Apply.
  Outcome Apply(size_t index) {
    const Example& ex = _examples[index];
    int16_t measure = static_cast<int16_t>(index + 1);
    ScoreJobOptions options; // the options file as the command writes it
    options.fourNoteDrops = ex.fourNoteDrops;
    options.spellInKey = ex.spellInKey;
    options.strict = ex.strict;
    WriteHostOptions(hostsim::TheHost().finalePath, options);
    hostsim::SetSelection(1, measure, 0, static_cast<int16_t>(1 + ex.below.size()), measure,
                          0x7FFFFFFF);
    hostsim::SetDialogActive(_dialog, true);
    hostsim::SelectListRow(_dialog, IDC_TASKLIST, ex.task);
    if (ex.direction != NONE)
      hostsim::Click(_dialog, ex.direction == TOP ? IDC_TOPRADIO : IDC_BOTTOMRADIO);
    size_t undo = hostsim::TheHost().undoList.size();
    int beeps = WinShim_BeepCalls();
    hostsim::Click(_dialog, IDC_APPLY);
    Outcome out;
    out.changed = hostsim::TheHost().undoList.size() > undo;
    out.beeped = WinShim_BeepCalls() > beeps;
    for (const EXENTRY& e : hostsim::Cell(1, measure, 0)) {
      int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(e.notecount, MAX_NOTES)) : 0;
      out.chords.emplace_back();
      for (int n = 0; n < count; ++n) {
        out.after.push_back({e.notes[n].displacement, e.notes[n].raiselower});
        out.chords.back().push_back(out.after.back());
      }
    }
    for (size_t s = 0; s < ex.below.size(); ++s)
      out.below.push_back(Chord(static_cast<int16_t>(s + 2), measure));
    return out;
  }

private:
  static hostsim::EntrySpec Entry(const std::vector<Pitch>& chord) {
    hostsim::EntrySpec entry;
    for (const Pitch& p : chord) {
      hostsim::NoteSpec n;
      n.displacement = p.displacement;
      n.raiselower = p.raiselower;
      entry.notes.push_back(n);
    }
    return entry;
  }

  // The notes of a staff's cell in a measure, a rest's none.
  static std::vector<Pitch> Chord(int16_t staff, int16_t measure) {
    std::vector<Pitch> out;
    for (const EXENTRY& e : hostsim::Cell(staff, measure, 0)) {
      int count = (e.flags & ENTRY_NOTE) ? std::max(0, std::min<int>(e.notecount, MAX_NOTES)) : 0;
      for (int n = 0; n < count; ++n)
        out.push_back({e.notes[n].displacement, e.notes[n].raiselower});
    }
    return out;
  }

  std::vector<Example> _examples; // one measure each, in order
  std::filesystem::path _folder;  // the temporary host folder, removed at the end
  HWND _dialog = nullptr;         // the tool window
  std::string _error;             // why it did not open
};

// ---- The guide's text -------------------------------------------------------------------

// A chord lowest note first; the notes that are not in the other chord (removed before, new
// after) in bold.
std::string Spell(std::vector<Pitch> chord, std::vector<Pitch> other, uint16_t keyword) {
  auto lower = [](const Pitch& a, const Pitch& b) {
    return a.displacement != b.displacement ? a.displacement < b.displacement
                                            : a.raiselower < b.raiselower;
  };
  std::sort(chord.begin(), chord.end(), lower);
  std::string out;
  for (const Pitch& p : chord) {
    auto match = std::find_if(other.begin(), other.end(), [&p](const Pitch& q) {
      return q.displacement == p.displacement && q.raiselower == p.raiselower;
    });
    std::string name = guide::NoteName(p.displacement, p.raiselower, keyword);
    if (match != other.end()) {
      other.erase(match);
    } else {
      name = "**" + name + "**";
    }
    out += (out.empty() ? "" : " ") + name;
  }
  return out.empty() ? "(no notes)" : out;
}

// The direction chosen, by its caption in the window; "Apply" for a task without one.
std::string Label(const Example& ex) {
  const TaskDescriptor& t = TaskDescriptors[ex.task];
  return ex.direction == NONE ? "Apply" : ex.direction == TOP ? t.toplabel : t.bottomlabel;
}

std::string Row(const Example& ex, const Outcome& o) {
  std::string after = Spell(o.after, ex.chord, ex.keyword);
  if (!o.changed) after = "left alone" + std::string(o.beeped ? " (beep)" : "");
  return "| " + guide::KeyName(ex.keyword) + " | " + Label(ex) + " | " +
         Spell(ex.chord, o.after, ex.keyword) + " | " + after + " |\n";
}

const char* TABLE_HEAD = "| key | direction | before | after |\n|---|---|---|---|\n";

// The staves of a selection, top first: "C5 / E4 / G3 / C3", a rest as "rest".
std::string Staves(const std::vector<Pitch>& first, const std::vector<std::vector<Pitch>>& below,
                   uint16_t keyword) {
  std::string out;
  auto add = [&](const std::vector<Pitch>& chord) {
    std::string notes = chord.empty() ? "rest" : Spell(chord, chord, keyword);
    out += (out.empty() ? "" : " / ") + notes;
  };
  add(first);
  for (const std::vector<Pitch>& chord : below)
    add(chord);
  return out;
}

// A row of a task that moves music between staves: every staff before and after.
std::string SectionRow(const Example& ex, const Outcome& o) {
  std::string after = Staves(o.after, o.below, ex.keyword);
  if (!o.changed) after = "left alone" + std::string(o.beeped ? " (beep)" : "");
  return "| " + guide::KeyName(ex.keyword) + " | " + Label(ex) + " | " +
         Staves(ex.chord, ex.below, ex.keyword) + " | " + after + " |\n";
}

// The file name of a task's picture: "task-01" for the first.
std::string NotationName(int task) {
  std::string number = std::to_string(task + 1);
  return (number.size() < 2 ? "task-0" : "task-") + number;
}

// The examples of one block as notation, and the picture Verovio makes of them.
guide::NotationExample Notation(const Example& ex, const Outcome& o) {
  return {ex.keyword, Label(ex), ex.chord, o.after, o.changed};
}

std::string Picture(const std::string& name, const std::string& text) {
  return "\n![" + text + "](notation/" + name + ".svg)\n";
}

// A block of the guide: its text, and its examples for the notation.
struct Block {
  std::string text;
  std::vector<guide::NotationExample> notation;
  std::vector<guide::NotationProgression> progressions; // instead, for a task of progressions
  std::vector<guide::SectionExample> section; // for the tasks that move music between staves
};

// A progression's rows: each chord before and after, numbered in the passage.
std::string ProgressionRows(const Example& ex, const Outcome& o) {
  std::vector<std::vector<Pitch>> before = {ex.chord};
  before.insert(before.end(), ex.more.begin(), ex.more.end());
  std::string rows;
  for (size_t c = 0; c < before.size(); ++c) {
    std::vector<Pitch> after = c < o.chords.size() ? o.chords[c] : std::vector<Pitch>();
    std::string shown = Spell(after, before[c], ex.keyword);
    if (Spell(after, {}, ex.keyword) == Spell(before[c], {}, ex.keyword))
      shown = before[c].size() == 1 ? "as written (a single note)"
              : c == 0              ? "as written (the first chord)"
                                    : "as written";
    rows += "| " + (c == 0 ? guide::KeyName(ex.keyword) + " | " + Label(ex) : std::string(" | ")) +
            " | " + std::to_string(c + 1) + " | " + Spell(before[c], after, ex.keyword) + " | " +
            shown + " |\n";
  }
  return rows;
}

guide::NotationProgression Progression(const Example& ex, const Outcome& o) {
  std::vector<std::vector<Pitch>> before = {ex.chord};
  before.insert(before.end(), ex.more.begin(), ex.more.end());
  return {ex.keyword, Label(ex), before, o.chords};
}

Block TaskBlock(int task, const std::vector<Example>& examples,
                const std::vector<Outcome>& outcomes) {
  const TaskDescriptor& t = TaskDescriptors[task];
  Block b;
  std::ostringstream s;
  s << "### " << task + 1 << ". " << t.name << "\n\n";
  if (task >= FIRSTNEWTASK) s << "*New in this version.*\n\n";
  s << "> " << t.description << "\n\n";
  if (t.showoptions)
    s << "Directions: **" << t.toplabel << "** or **" << t.bottomlabel << "**.\n\n";
  else
    s << "No direction: the window hides the two direction buttons for this task.\n\n";
  if (task == VoiceLeading) {
    s << "| key | direction | chord | before | after |\n|---|---|---|---|---|\n";
    for (size_t i = 0; i < examples.size(); ++i)
      if (examples[i].task == task && !examples[i].setting) {
        s << ProgressionRows(examples[i], outcomes[i]);
        b.progressions.push_back(Progression(examples[i], outcomes[i]));
      }
    b.text =
        s.str() + Picture(NotationName(task), std::string(t.name) + ", the examples in notation");
    return b;
  }
  bool section = task == Explode || task == Reduce;
  s << (section ? "| key | direction | before, staff by staff | after |\n|---|---|---|---|\n"
                : TABLE_HEAD);
  for (size_t i = 0; i < examples.size(); ++i)
    if (examples[i].task == task && !examples[i].fourNoteDrops && !examples[i].setting) {
      if (section) {
        s << SectionRow(examples[i], outcomes[i]);
        std::vector<std::vector<Pitch>> before = {examples[i].chord}, after = {outcomes[i].after};
        before.insert(before.end(), examples[i].below.begin(), examples[i].below.end());
        after.insert(after.end(), outcomes[i].below.begin(), outcomes[i].below.end());
        b.section.push_back(
            {examples[i].keyword, Label(examples[i]), before, after, outcomes[i].changed});
        continue;
      }
      s << Row(examples[i], outcomes[i]);
      b.notation.push_back(Notation(examples[i], outcomes[i]));
    }
  if (section) {
    b.text = s.str() + Picture(NotationName(task),
                               std::string(t.name) + ", the examples in notation, staff by staff");
    return b;
  }
  b.text =
      s.str() + Picture(NotationName(task), std::string(t.name) + ", the examples in notation");
  return b;
}

Block FourNoteBlock(const std::vector<Example>& examples, const std::vector<Outcome>& outcomes) {
  Block b;
  b.text = TABLE_HEAD;
  for (size_t i = 0; i < examples.size(); ++i)
    if (examples[i].fourNoteDrops) {
      b.text += Row(examples[i], outcomes[i]);
      b.notation.push_back(Notation(examples[i], outcomes[i]));
    }
  b.text += Picture("four-note-drops", "The four-note setting, in notation");
  return b;
}

// The spelling setting's examples: each chord with the setting off, then on.
Block SpellingBlock(const std::vector<Example>& examples, const std::vector<Outcome>& outcomes) {
  Block b;
  b.text = "| setting | task | key | direction | before | after |\n|---|---|---|---|---|---|\n";
  for (size_t i = 0; i < examples.size(); ++i)
    if (examples[i].setting && examples[i].task == AddThird) {
      b.text += std::string("| ") + (examples[i].spellInKey ? "on" : "off") + " | " +
                TaskDescriptors[examples[i].task].name + " " + Row(examples[i], outcomes[i]);
      b.notation.push_back(Notation(examples[i], outcomes[i]));
    }
  b.text += Picture("spell-in-key", "The spelling setting, in notation");
  return b;
}

// The strict setting's examples: the progression with the setting off, then on.
Block StrictBlock(const std::vector<Example>& examples, const std::vector<Outcome>& outcomes) {
  Block b;
  b.text = "| setting | key | direction | chord | before | after |\n|---|---|---|---|---|---|\n";
  for (size_t i = 0; i < examples.size(); ++i)
    if (examples[i].task == VoiceLeading && examples[i].setting) {
      std::istringstream rows(ProgressionRows(examples[i], outcomes[i]));
      std::string row;
      for (bool first = true; std::getline(rows, row); first = false)
        b.text +=
            (first ? (examples[i].strict ? "| on " : "| off ") : std::string("|  ")) + row + "\n";
      b.progressions.push_back(Progression(examples[i], outcomes[i]));
    }
  b.text += Picture("voice-leading-strict", "The strict setting, in notation");
  return b;
}

// ---- The command on files ---------------------------------------------------------------

// A folder like the project's, with the example score and the files of the transcripts.
class CommandFolder {
public:
  CommandFolder() {
    namespace fs = std::filesystem;
    _root = fs::temp_directory_path() / ("qvguide_files_" + std::to_string(getpid()));
    fs::create_directories(_root / "examples");
    std::error_code ec;
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "examples" / "chorale.musicxml",
                  _root / "examples" / "chorale.musicxml", ec);
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "musicxml" / "files" / "voices.musicxml",
                  _root / "voices.musicxml", ec);
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "musicxml" / "files" / "letterkey.musicxml",
                  _root / "letterkey.musicxml", ec);
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "musicxml" / "files" /
                      "chorale-faults.musicxml",
                  _root / "chorale.musicxml", ec);
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "musicxml" / "files" / "chorales" /
                      "bwv122.6.musicxml",
                  _root / "bwv122.6.musicxml", ec);
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "musicxml" / "files" / "leadsheet.musicxml",
                  _root / "leadsheet.musicxml", ec);
    std::ofstream(_root / "broken.musicxml") << "<?xml version=\"1.0\"?>\n<score-partwise>\n"
                                                "  <part id=\"P1\">\n</score-partwise>\n";
    std::ofstream(_root / "notes.xml") << "<?xml version=\"1.0\"?>\n<notes/>\n";
    std::ofstream(_root / "timewise.musicxml") << "<?xml version=\"1.0\"?>\n<score-timewise/>\n";
    std::ofstream(_root / "broken.mxl") << std::string("PK\3\4", 4) << "not the rest of an archive";
    std::ofstream(_root / "leadsheet.pdf") << "%PDF-1.7\n";
  }
  ~CommandFolder() {
    std::error_code ec;
    std::filesystem::remove_all(_root, ec);
  }
  const std::filesystem::path& Root() const { return _root; }

private:
  std::filesystem::path _root; // removed with everything in it
};

std::string Fenced(const std::filesystem::path& folder,
                   const std::vector<std::vector<std::string>>& runs) {
  std::string s = "```\n";
  for (size_t i = 0; i < runs.size(); ++i)
    s += (i ? "\n" : "") +
         guide::Transcript(folder.string(), {QV_HOST_PATH, QV_PLUGIN_PATH}, "./run", runs[i]);
  return s + "```\n";
}

void MakeCommandBlocks(std::map<std::string, std::string>* blocks) {
  CommandFolder folder;
  setenv("QV_COMMAND_NAME", "./run", 1); // the command names itself as ./run does
  const std::string score = "examples/chorale.musicxml";
  (*blocks)["command on the example"] =
      Fenced(folder.Root(), {{"--score", score, "--task", "Drop 2nd", "--dry-run"},
                             {"--score", score, "--task", "Drop 2nd"},
                             {"--score", score, "--task", "Keep Specific Line", "--bottom",
                              "--parts", "Piano", "--list", "--out", "piano-bass.musicxml"}});
  (*blocks)["command check"] = Fenced(folder.Root(), {{"--score", "chorale.musicxml", "--check"},
                                                      {"--score", "bwv122.6.musicxml", "--check"}});
  (*blocks)["command chord symbols"] = Fenced(
      folder.Root(),
      {{"--score", "leadsheet.musicxml", "--task", "Realize Chord Symbols", "--parts", "Piano",
        "--list"},
       {"--score", "leadsheet.musicxml", "--task", "Realize Chord Symbols", "--parts", "Piano",
        "--voicing", "drop2", "--no-lead", "--measures", "1", "--dry-run"},
       {"--score", "leadsheet.musicxml", "--task", "Block Chords", "--parts", "Melody", "--list"}});
  (*blocks)["command leaves alone"] =
      Fenced(folder.Root(), {{"--score", "voices.musicxml", "--task", "Add Third", "--dry-run"}});
  (*blocks)["command letter key"] = Fenced(
      folder.Root(), {{"--score", "letterkey.musicxml", "--task", "Add Second", "--dry-run"},
                      {"--score", "letterkey.musicxml", "--task", "Add Fifth", "--dry-run"}});
  (*blocks)["command errors"] = Fenced(
      folder.Root(), {{"--score", "examples/missing.musicxml", "--task", "Drop 2nd"},
                      {"--score", "broken.musicxml", "--task", "Drop 2nd"},
                      {"--score", "notes.xml", "--task", "Drop 2nd"},
                      {"--score", "timewise.musicxml", "--task", "Drop 2nd"},
                      {"--score", "broken.mxl", "--task", "Drop 2nd"},
                      {"--score", score, "--task", "Drop 2nd", "--measures", "2-"},
                      {"--score", score, "--task", "Drop 2nd", "--parts", "Strings"},
                      {"--score", score, "--task", "Drop 2nd", "--out", score},
                      {"--score", score, "--task", "Drop 2nd", "--out", "x.musicxml", "--in-place"},
                      {"--score", score, "--task", "Drop 2nd", "--out", "no-folder/x.musicxml"},
                      {"--score", score, "--task", "Drop 5th"},
                      {"--score", score, "--task", "keep"},
                      {"--score", score, "--task", "add s"},
                      {"--score", score, "--task", "2nd"},
                      {"--score", score, "--task"},
                      {"--score", "leadsheet.pdf", "--task", "Drop 2nd"}});
}

// Every block of the guide, by marker name, and the notation of the examples by file name.
bool MakeBlocks(std::map<std::string, std::string>* blocks,
                std::map<std::string, std::string>* notation) {
  std::vector<Example> examples;
  for (int task = 0; task < TASKCOUNT; ++task)
    for (const Example& ex : TaskExamples(task))
      examples.push_back(ex);
  for (const Example& ex : FourNoteExamples())
    examples.push_back(ex);
  for (const Example& ex : SpellingExamples())
    examples.push_back(ex);
  for (const Example& ex : StrictExamples())
    examples.push_back(ex);

  Session session(examples);
  if (session.Failure()) {
    fprintf(stderr, "%s\n", session.Failure());
    return false;
  }
  std::vector<Outcome> outcomes;
  for (size_t i = 0; i < examples.size(); ++i)
    outcomes.push_back(session.Apply(i));
  for (int task = 0; task < TASKCOUNT; ++task) {
    Block b = TaskBlock(task, examples, outcomes);
    (*blocks)["task " + std::to_string(task + 1)] = b.text;
    (*notation)[NotationName(task)] = !b.progressions.empty() ? guide::NotationScore(b.progressions)
                                      : !b.section.empty() ? guide::SectionNotationScore(b.section)
                                                           : guide::NotationScore(b.notation);
  }
  Block fourNote = FourNoteBlock(examples, outcomes);
  (*blocks)["four-note drops"] = fourNote.text;
  (*notation)["four-note-drops"] = guide::NotationScore(fourNote.notation);
  Block spelling = SpellingBlock(examples, outcomes);
  (*blocks)["spell in key"] = spelling.text;
  (*notation)["spell-in-key"] = guide::NotationScore(spelling.notation);
  Block strict = StrictBlock(examples, outcomes);
  (*blocks)["strict voice leading"] = strict.text;
  (*notation)["voice-leading-strict"] = guide::NotationScore(strict.progressions);
  MakeCommandBlocks(blocks);
  return true;
}

// Writes a file through a new one renamed over it: an interrupted write leaves the old one.
bool WriteFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".new";
  std::ofstream out(temporary, std::ios::binary);
  out << text;
  out.close();
  std::error_code ec;
  if (out.fail() || (std::filesystem::rename(temporary, path, ec), ec)) {
    std::filesystem::remove(temporary, ec);
    fprintf(stderr, "%s: cannot write\n", path.c_str());
    return false;
  }
  return true;
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

int Usage() {
  fprintf(stderr, "usage: guide_examples [--check GUIDE | --write GUIDE] [--notation FOLDER]\n"
                  "  --check GUIDE      fails when the guide's generated blocks differ\n"
                  "  --write GUIDE      brings them up to date\n"
                  "  --notation FOLDER  writes the examples as MusicXML for the pictures\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  std::string mode, guidePath, notationFolder;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--check" || a == "--write") && i + 1 < argc && mode.empty()) {
      mode = a;
      guidePath = argv[++i];
    } else if (a == "--notation" && i + 1 < argc) {
      notationFolder = argv[++i];
    } else {
      return Usage();
    }
  }
  std::map<std::string, std::string> blocks, notation;
  if (!MakeBlocks(&blocks, &notation)) return 1;
  if (!notationFolder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(notationFolder, ec);
    for (auto& n : notation)
      if (!WriteFile(notationFolder + "/" + n.first + ".musicxml", n.second)) return 1;
  }
  if (mode.empty()) {
    if (notationFolder.empty())
      for (auto& b : blocks)
        printf("<!-- %s -->\n%s\n", b.first.c_str(), b.second.c_str());
    return 0;
  }
  std::string text, updated, error;
  if (!ReadFile(guidePath, &text)) {
    fprintf(stderr, "%s: cannot read the guide\n", guidePath.c_str());
    return 1;
  }
  if (!guide::ReplaceBlocks(text, blocks, &updated, &error)) {
    fprintf(stderr, "%s: %s\n", guidePath.c_str(), error.c_str());
    return 1;
  }
  if (updated == text) return 0;
  if (mode == "--write") return WriteFile(guidePath, updated) ? 0 : 1;
  fprintf(stderr,
          "%s: the examples differ from what the tool does (%s); bring them up to date with "
          "\"cmake --build build/native --target guide\"\n",
          guidePath.c_str(), guide::FirstDifference(text, updated).c_str());
  return 1;
}
