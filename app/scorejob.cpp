#include "scorejob.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "chordtasks.h"
#include "container.h"
#include "filekind.h"
#include "selection.h"
#include "dialogs.h"
#include "hostscore.h"
#include "hostsim.h"
#include "score.h"

namespace {

// The score in the file's bytes: a plain file's text is taken over, an archive stays for
// writing back and *rootPath names the score in it (empty for a plain file). *shown, when
// given, receives the score's text. False with the message for the user.
bool ReadScore(std::vector<uint8_t>* input, const std::string& fileName, musicxml::Score* score,
               std::string* rootPath, std::string* shown, std::string* error) {
  bool zipped = musicxml::LooksZipped(*input);
  std::string kind = musicxml::NotAScore(*input, fileName);
  if (!kind.empty()) {
    *error = fileName + ": " + kind;
    return false;
  }
  std::vector<uint8_t> text; // the score's text, handed to the score (a plain file's is the input)
  if (zipped && !musicxml::ReadContainer(*input, rootPath, &text, error)) {
    *error = fileName + ": " + *error;
    return false;
  }
  if (!zipped) text.swap(*input);
  if (shown) shown->assign(text.begin(), text.end());
  std::string where = zipped ? fileName + "!/" + *rootPath : fileName;
  if (musicxml::ParseScore(std::move(text), score, error)) {
    if (shown && score->encoding != pugi::encoding_utf8) *shown = musicxml::ScoreText(*score);
    return true;
  }
  *error = where + (isdigit(static_cast<unsigned char>((*error)[0])) ? ":" : ": ") + *error;
  return false;
}

// The score built in the host, and the task applied through the tool window to each run of
// selected staves over the selected measures. Answers 0, or the job's status with a message.
int ApplyTask(const musicxml::Score& score, const std::vector<std::pair<int16_t, int16_t>>& runs,
              const std::vector<bool>& parts, const ScoreJobOptions& options,
              const PluginEntries& plugin, HostEntries* entries, std::string* task,
              std::string* error) {
  hostsim::Reset();
  hostsim::SetLogging(false); // a user's run keeps no log of calls
  hostsim::TheHost().finalePath = plugin.hostFolder;
  *entries = BuildHostScore(score);
  HWND window = OpenToolWindow(plugin, nullptr, error);
  if (!window) return 1;
  if (!ChooseTask(window, options.task, options.bottom, task, error) || IsFileTask(*task)) {
    CloseToolWindow(plugin, window);
    return IsFileTask(*task) ? 0 : 2; // the job does its own tasks itself
  }
  // A score file keeps none of the host's spacing, so respacing would only cost time: the
  // plug-in asks after every changed staff in every part, the square of the parts.
  if (hostsim::ItemCheck(window, IDC_RESPACE) == BST_CHECKED) hostsim::Click(window, IDC_RESPACE);
  for (size_t p = 0; p < score.parts.size();) {
    if (!parts[p]) {
      ++p;
      continue;
    }
    size_t q = p;
    while (q + 1 < score.parts.size() && parts[q + 1])
      ++q;
    const musicxml::PartInfo& a = score.parts[p];
    const musicxml::PartInfo& b = score.parts[q];
    // The user selects the music in the score (the tool window goes inactive meanwhile),
    // comes back to the window and presses Apply.
    for (const std::pair<int16_t, int16_t>& run : runs) {
      hostsim::SetDialogActive(window, false);
      hostsim::SetSelection(a.firstStaff, run.first, 0,
                            static_cast<int16_t>(b.firstStaff + b.staffCount - 1), run.second,
                            REGION_TO_END);
      hostsim::SetDialogActive(window, true);
      hostsim::Click(window, IDC_APPLY);
    }
    p = q + 1;
  }
  CloseToolWindow(plugin, window);
  return 0;
}

// What the plug-in told the user after each Apply through the host's message, summed over
// the job's Applies: how many places the task left as they were and which ("Reduce left 2
// places alone, where ...: measure 1 beat 2, measure 3 beat 1.5."), and where it gathered
// crossed voices ("Voices cross at measure 4 beat 1: ..."). The plug-in counts the host's
// measures; the places are said as the score names them. Other messages count none.
struct TaskPlaces {
  size_t count = 0;
  std::string alone, crossed; // the places said: "measure 3 beat 2, ..."
};

// Adds the list of places that starts at m[at] ("measure 3 beat 2, ..., and 4 more") to out,
// up to the first words that are not a place.
void ReadPlaces(const musicxml::Score& score, const std::string& m, size_t at, std::string* out) {
  while (at < m.size()) {
    int measure = 0, used = 0;
    double beat = 0;
    char said[32];
    if (sscanf(m.c_str() + at, "measure %6d beat %9lf%n", &measure, &beat, &used) == 2 &&
        measure >= 1 && measure <= score.measureCount) {
      snprintf(said, sizeof said, "%g", beat);
      *out += (out->empty() ? "measure " : ", measure ") + musicxml::MeasureName(score, measure) +
              " beat " + said;
    } else if (sscanf(m.c_str() + at, "and %6d more%n", &measure, &used) == 1) {
      *out += ", and " + std::to_string(measure) + " more";
    } else {
      return;
    }
    at += static_cast<size_t>(used);
    if (m.compare(at, 2, ", ") != 0) return;
    at += 2;
  }
}

// The count a message gives at *at (moved past its digits); nothing read leaves *at where it
// was. A count beyond any score's places or chords is not a count: nine digits at most.
size_t ReadCount(const std::string& text, size_t* at) {
  size_t n = 0;
  for (size_t from = *at;
       *at < text.size() && *at - from < 9 && isdigit(static_cast<unsigned char>(text[*at])); ++*at)
    n = n * 10 + static_cast<size_t>(text[*at] - '0');
  return n;
}

TaskPlaces PlacesLeftAlone(const std::vector<std::string>& messages, const std::string& task,
                           const musicxml::Score& score) {
  const std::string start = task + " left ", cross = "Voices cross at ";
  TaskPlaces places;
  for (const std::string& m : messages) {
    size_t crossAt = m.find(cross);
    if (task.empty()) continue;
    if (crossAt != std::string::npos) ReadPlaces(score, m, crossAt + cross.size(), &places.crossed);
    if (m.compare(0, start.size(), start) != 0) continue;
    size_t i = start.size(), n = ReadCount(m, &i);
    if (i == start.size() || m.compare(i, 6, " place") != 0) continue;
    places.count += n;
    size_t list = m.find(": ", i);
    if (list != std::string::npos && (crossAt == std::string::npos || list < crossAt))
      ReadPlaces(score, m, list + 2, &places.alone);
  }
  return places;
}

// The left-alone line with the places the task left alone added, as the other kinds are said,
// and where it gathered crossed voices.
std::string WithPlaces(const std::string& line, const TaskPlaces& places) {
  std::string out = line;
  if (places.count)
    out += (out.empty() ? "left alone: " : ", ") + std::to_string(places.count) +
           (places.count == 1 ? " place" : " places") +
           " where the staves' rhythms cannot be split to meet, a grace note is not on every "
           "staff, the notes would not fit one chord or the staff they gather on holds nothing" +
           (places.alone.empty() ? "" : ": " + places.alone);
  if (!places.crossed.empty())
    out += (out.empty() ? "" : "; ") + std::string("voices cross at ") + places.crossed +
           ": the chords there do not keep which staff sang which note";
  return out;
}

// The chords the task left as written, as the plug-in told the user after each Apply ("Voice
// Leading left alone: 2 chords of grace notes, 1 chord with ...."), each kind summed over the
// job's Applies in the order first said, added to the left-alone line; *count gets their sum.
std::string WithChords(const std::string& line, const std::vector<std::string>& messages,
                       const std::string& task, size_t* count) {
  const std::string start = task + " left alone: ";
  std::vector<std::pair<std::string, size_t>> kinds; // "of grace notes", how many
  *count = 0;
  for (const std::string& m : messages) {
    if (task.empty() || m.compare(0, start.size(), start) != 0) continue;
    std::string list = m.substr(start.size());
    if (!list.empty() && list.back() == '.') list.pop_back();
    for (size_t at = 0; at < list.size();) {
      size_t end = std::min(list.find(", ", at), list.size());
      std::string item = list.substr(at, end - at);
      at = end + 2;
      size_t digits = 0, n = ReadCount(item, &digits);
      size_t space = item.find(' ', digits + 1); // past "chord" or "chords"
      if (digits == 0 || space == std::string::npos) continue;
      std::string why = item.substr(space + 1);
      auto kind =
          std::find_if(kinds.begin(), kinds.end(),
                       [&why](const std::pair<std::string, size_t>& k) { return k.first == why; });
      if (kind == kinds.end()) kind = kinds.insert(kinds.end(), {why, 0});
      kind->second += n;
      *count += n;
    }
  }
  std::string out = line;
  for (const std::pair<std::string, size_t>& k : kinds)
    out += (out.empty() ? "left alone: " : ", ") + std::to_string(k.second) +
           (k.second == 1 ? " chord " : " chords ") + k.first;
  return out;
}

// Whether a task moves music between staves, so that its selection needs two of them.
bool MovesBetweenStaves(const std::string& task) {
  return task == "Explode" || task == "Reduce";
}

// Empty when some run of neighbouring parts chosen holds two staves or more (each run is one
// selection); otherwise why not, for the task named.
std::string TwoStavesMissing(const musicxml::Score& score, const std::vector<bool>& parts,
                             const std::string& task) {
  int staves = 0, chosen = 0;
  for (size_t p = 0; p < score.parts.size(); ++p) {
    staves = parts[p] ? staves + score.parts[p].staffCount : 0;
    chosen += parts[p] ? score.parts[p].staffCount : 0;
    if (staves >= 2) return std::string();
  }
  return task + " needs a selection of at least two staves; " +
         (chosen < 2 ? "the parts chosen hold one"
                     : "the parts chosen are not next to each other, and each is a selection "
                       "of one staff (choose neighbouring parts)");
}

// A changed chord's notes as they were: each note's element and host pitch.
struct ShownNote {
  pugi::xml_node node;
  int16_t displacement, raiselower;
};

// What the drawing marks as changed.
struct Shown {
  std::vector<std::vector<ShownNote>> before; // each changed chord's notes as they were
  size_t written = 0; // Score::chords from here on were written anew into whole voices
};

// Marks the written-back changes for the drawing: moved and added notes in a color, every
// note of the K-th changed chord named "qv-change-K-J" so that the page finds it. The chords
// written anew into whole voices are new notes all; they are listed after the changed ones,
// their rests not.
void MarkShown(musicxml::Score* score, const std::vector<musicxml::ChordChange>& changes,
               const Shown& shown) {
  const char* const kChanged = "#D03020"; // the page's colour of a changed note
  auto set = [](pugi::xml_node node, const char* name, const std::string& value) {
    pugi::xml_attribute a = node.attribute(name);
    (a ? a : node.append_attribute(name)).set_value(value.c_str());
  };
  for (size_t k = 0; k < changes.size(); ++k) {
    const musicxml::Chord& c = score->chords[changes[k].chord];
    std::string id = "qv-change-" + std::to_string(k) + "-";
    if (c.notes.empty()) set(c.first, "id", id + "0");
    for (size_t j = 0; j < c.notes.size(); ++j) {
      const musicxml::NoteRef& n = c.notes[j];
      bool same = false;
      for (const ShownNote& w : shown.before[k])
        same = same || (w.node == n.node && w.displacement == n.displacement &&
                        w.raiselower == n.raiselower);
      if (!same) set(n.node, "color", kChanged);
      set(n.node, "id", id + std::to_string(j));
    }
  }
  size_t k = changes.size();
  for (size_t i = shown.written; i < score->chords.size(); ++i) {
    const musicxml::Chord& c = score->chords[i];
    if (c.notes.empty() || !c.changed) continue; // a rest, or a chord kept as it was
    std::string id = "qv-change-" + std::to_string(k++) + "-";
    for (size_t j = 0; j < c.notes.size(); ++j) {
      set(c.notes[j].node, "color", kChanged);
      set(c.notes[j].node, "id", id + std::to_string(j));
    }
  }
}

// The voice-leading check of the selection, on the score as it now stands: its lines kept in
// the result, or handed to the caller as they are found, so that a check of many faults
// holds none of them.
void CheckSelection(const musicxml::Score& score, const std::vector<bool>& parts,
                    const std::vector<bool>& measures, const ScoreJobOptions& options,
                    ScoreJobResult* r) {
  size_t crowded = 0;
  if (!options.checkLines) {
    r->faults = CheckVoiceLeading(score, parts, measures, &crowded);
    r->checkText = DescribeFaults(r->faults);
    r->checkSummary = FaultSummary(r->faults, crowded);
    return;
  }
  FaultCounts counts = {};
  CheckVoiceLeading(
      score, parts, measures,
      [&](VoiceFault&& f) {
        ++counts[static_cast<size_t>(f.kind)];
        options.checkLines(DescribeFault(f));
      },
      &crowded);
  r->checkSummary = FaultSummary(counts, crowded);
}

} // namespace

bool ScoreParts(std::vector<uint8_t>&& input, const std::string& fileName,
                std::vector<ScorePart>* parts, std::string* shown, std::string* error) {
  musicxml::Score score;
  std::string rootPath;
  if (!ReadScore(&input, fileName, &score, &rootPath, shown, error)) return false;
  for (const musicxml::PartInfo& p : score.parts)
    parts->push_back({p.id, p.name, p.staffCount});
  return true;
}

ScoreJobResult RunScoreJob(const std::vector<uint8_t>& input, const std::string& fileName,
                           const ScoreJobOptions& options, const PluginEntries& plugin) {
  return RunScoreJob(std::vector<uint8_t>(input), fileName, options, plugin);
}

namespace {

// What the options select in one score.
struct Selection {
  std::vector<std::pair<int16_t, int16_t>> runs; // the measures, as runs of the host's numbers
  std::vector<bool> parts;                       // by the score's part index
  std::vector<bool> measures;                    // by measure number, 0 unused
  std::string missing; // the parts named that the score lacks, said; empty when none
};

// The measures and parts named. False with the failure, or with r->skipped when the score holds
// none of the parts named (not a failure).
bool Select(const musicxml::Score& score, const std::string& fileName,
            const ScoreJobOptions& options, Selection* s, ScoreJobResult* r) {
  std::vector<std::pair<std::string, std::string>> partNames;
  for (const musicxml::PartInfo& p : score.parts)
    partNames.push_back({p.id, p.name});
  std::vector<std::string> missing;
  std::string error;
  if (!MeasureRuns(score.measureNumbers, options.measures, &s->runs, &error) ||
      !PartsNamed(partNames, options.parts, &s->parts, &error, &missing)) {
    r->status = 2;
    r->error = fileName + ": " + error;
    return false;
  }
  if (!missing.empty()) s->missing = fileName + ": " + error;
  if (!missing.empty() && std::find(s->parts.begin(), s->parts.end(), true) == s->parts.end()) {
    r->skipped = s->missing + "; skipped";
    return false;
  }
  s->measures.assign(static_cast<size_t>(score.measureCount) + 1, false);
  for (const std::pair<int16_t, int16_t>& run : s->runs)
    for (int m = run.first; m <= run.second; ++m)
      s->measures[m] = true;
  return true;
}

// A part as a message names it: by its name, else its id.
std::string PartName(const musicxml::PartInfo& part) {
  return "part \"" + (part.name.empty() ? part.id : part.name) + "\"";
}

// A time signature as the file writes it: "3/4".
std::string TimeText(const musicxml::MeasureTime& t) {
  return std::to_string(t.beats) + "/" + std::to_string(t.beatType);
}

// Where two parts of one selection give a selected measure time signatures of different
// lengths, for a task that carries notes between staves: the host holds one time signature a
// measure for all staves, so the notes carried would overfill the other part's measure or
// leave it short (and the measures after no longer sound together). A part that gives none
// is no matter. Empty when there is none.
std::string TimesDiffer(const musicxml::Score& score, const Selection& s, const std::string& task) {
  for (const std::pair<int16_t, int16_t>& run : s.runs)
    for (int m = run.first; m <= run.second; ++m) {
      const musicxml::MeasureTime* above = nullptr; // the nearest part's above in the selection
      size_t abovePart = 0;
      for (size_t p = 0; p < score.parts.size(); ++p) {
        const musicxml::MeasureTime* t = musicxml::PartTime(score.parts[p], m);
        if (!s.parts[p]) above = nullptr;
        if (!s.parts[p] || !t) continue;
        if (above && !musicxml::SameLength(*above, *t))
          return task + " cannot carry notes between " + PartName(score.parts[abovePart]) + " in " +
                 TimeText(*above) + " and " + PartName(score.parts[p]) + " in " + TimeText(*t) +
                 " in measure \"" + musicxml::MeasureName(score, m) +
                 "\" (the host holds one time signature a measure); select parts of one time "
                 "signature there";
        above = t;
        abovePart = p;
      }
    }
  return std::string();
}

// Why the voices a task wrote anew cannot go into the file: a part may end before the score's
// longest one, and the task may have written into a measure the part does not hold. Empty
// when they can.
std::string MeasureMissing(const musicxml::Score& score,
                           const std::vector<musicxml::LayerRewrite>& rewrites,
                           const std::string& task) {
  for (const musicxml::LayerRewrite& r : rewrites) {
    auto after = std::upper_bound(
        score.parts.begin(), score.parts.end(), r.staff,
        [](int16_t staff, const musicxml::PartInfo& p) { return staff < p.firstStaff; });
    if (after == score.parts.begin() || r.measure <= (after - 1)->measureCount) continue;
    const musicxml::PartInfo& part = *(after - 1);
    return task + " cannot carry notes into measure \"" + musicxml::MeasureName(score, r.measure) +
           "\" of " + PartName(part) + ", which holds only " + std::to_string(part.measureCount) +
           (part.measureCount == 1 ? " measure" : " measures") + "; select the measures it holds";
  }
  return std::string();
}

// Where a selected staff changes key inside a selected measure, for a task that carries notes
// between staves: the host holds one key a measure, so the notes after the change would be
// carried as if in the key before it, and land as wrong notes. Empty when there is none.
std::string KeyChangeInside(const musicxml::Score& score, const Selection& s,
                            const std::string& task) {
  std::map<std::pair<int16_t, int16_t>, uint16_t> cellKey; // staff and measure: the first key
  for (const musicxml::Chord& c : score.chords) {
    if (c.skip != musicxml::Skip::None || !Selected(s.parts, s.measures, c.part, c.measure))
      continue;
    auto first = cellKey.emplace(std::make_pair(c.staff, c.measure), c.key.word).first;
    if (first->second != c.key.word)
      return task + " cannot carry notes across the key change inside measure \"" +
             musicxml::MeasureName(score, c.measure) + "\" of part \"" + score.parts[c.part].name +
             "\" (the host holds one key a measure); select the measures before or after it";
  }
  return std::string();
}

// Why a task that moves music between staves cannot work on the selection; empty when it
// can, and for every other task.
std::string StavesRefusal(const musicxml::Score& score, const Selection& s,
                          const std::string& task) {
  if (!MovesBetweenStaves(task)) return std::string();
  std::string why = TwoStavesMissing(score, s.parts, task);
  if (why.empty()) why = KeyChangeInside(score, s, task);
  return why.empty() ? TimesDiffer(score, s, task) : why;
}

// A task on chord symbols, done on the file's view of the score without the plug-in: the
// voices it writes anew and what it left alone. False with the reason for options it cannot
// take.
bool ChordSymbolTask(const musicxml::Score& score, const Selection& s,
                     const ScoreJobOptions& options, const std::string& task,
                     std::vector<musicxml::LayerRewrite>* rewrites, std::string* said,
                     size_t* alone, std::string* error) {
  ChordTaskOptions o;
  if (!ReadChordTaskOptions(options.voicing, options.leading, options.topRange, &o, error))
    return false;
  ChordTaskResult done = task == kRealizeTask ? RealizeChordSymbols(score, s.parts, s.measures, o)
                                              : BlockChords(score, s.parts, s.measures);
  rewrites->swap(done.rewrites);
  *said = done.leftAlone;
  *alone = done.leftAloneCount;
  return true;
}

// The check alone, on the score as it came.
void CheckOnly(musicxml::Score* score, const Selection& s, const ScoreJobOptions& options,
               ScoreJobResult* r) {
  CheckSelection(*score, s.parts, s.measures, options, r);
  if (options.displayTexts && options.markShown) {
    MarkFaults(score, &r->faults);
    r->afterXml = musicxml::ScoreText(*score);
  }
}

// The closing line, the chords left alone (only what the selection held: the rest was never
// asked for) and the places the task left alone, the counts and, when asked, the changed chords
// listed.
void Describe(const musicxml::Score& score, const Selection& s,
              const std::vector<musicxml::ChordChange>& changes,
              const std::vector<musicxml::LayerRewrite>& rewrites, const TaskPlaces& places,
              const std::vector<std::string>& messages, const ScoreJobOptions& options,
              ScoreJobResult* r) {
  r->summary = musicxml::Summary(r->task, score, changes, rewrites);
  std::vector<musicxml::Chord> skipped;
  for (const musicxml::Chord& c : score.chords)
    if (c.skip != musicxml::Skip::None && Selected(s.parts, s.measures, c.part, c.measure))
      skipped.push_back(c);
  size_t chords = 0;
  r->leftAlone =
      WithChords(WithPlaces(musicxml::LeftAloneLine(skipped), places), messages, r->task, &chords);
  if (!s.missing.empty())
    r->leftAlone = s.missing + "; only the parts found are taken" +
                   (r->leftAlone.empty() ? "" : "\n" + r->leftAlone);
  r->changedCount = changes.size() + musicxml::RewrittenChords(score, rewrites);
  r->leftAloneCount = skipped.size() + places.count + chords;
  if (options.dryRun || options.listChanges) {
    r->changes = musicxml::ListChanges(score, changes);
    std::vector<musicxml::ChangedChord> lines = musicxml::ListRewrites(score, rewrites);
    r->changes.insert(r->changes.end(), lines.begin(), lines.end());
    r->dryRunText = musicxml::DescribeChanges(r->changes);
  }
}

// The changes written into the file's document; shown gets the changed chords' notes as they
// were and where the chords written anew begin, for the page's marks. Then the result checked,
// when asked.
bool Change(musicxml::Score* score, const Selection& s,
            const std::vector<musicxml::ChordChange>& changes,
            const std::vector<musicxml::LayerRewrite>& rewrites, const ScoreJobOptions& options,
            Shown* shown, ScoreJobResult* r, std::string* error) {
  if (options.markShown)
    for (const musicxml::ChordChange& ch : changes) {
      shown->before.emplace_back();
      for (const musicxml::NoteRef& n : score->chords[ch.chord].notes)
        shown->before.back().push_back({n.node, n.displacement, n.raiselower});
    }
  shown->written = score->chords.size();
  if (!musicxml::WriteBack(score, changes, rewrites, options.markChanges, error)) return false;
  // the page lists the notes as they were written
  for (size_t k = 0; k < r->changes.size() && k < changes.size(); ++k)
    r->changes[k].after = musicxml::NoteNames(score->chords[changes[k].chord]);
  if (options.check) CheckSelection(*score, s.parts, s.measures, options, r); // as written
  return true;
}

// The changed score made and handed over: straight to the caller's sink as it is made where it
// can be, else whole (packed into its archive again), with the texts the page draws. Answers 0,
// or the job's status with the message: 1 when the sink took no more, 2 when the archive could
// not be packed again.
int Deliver(musicxml::Score* score, std::vector<uint8_t>* input, const std::string& fileName,
            const std::string& rootPath, const std::vector<musicxml::ChordChange>& changes,
            const Shown& shown, const ScoreJobOptions& options, ScoreJobResult* r,
            std::string* error) {
  const char* const unwritten = "cannot write the output";
  bool zipped = !rootPath.empty();
  if (options.sink && !zipped && !options.displayTexts) {
    // Straight to the caller as it is made: no copy of the whole output is held.
    struct Sink : pugi::xml_writer {
      const ScoreJobOptions* options;
      bool ok = true;
      void write(const void* data, size_t size) override { ok = ok && options->sink(data, size); }
    } sink;
    sink.options = &options;
    musicxml::SaveScore(*score, sink);
    if (!sink.ok) *error = unwritten;
    return sink.ok ? 0 : 1;
  }
  std::vector<uint8_t> xml;
  musicxml::SaveScore(*score, &xml);
  if (options.displayTexts && options.markShown) {
    // The file keeps no marks; the drawing's text is the same document marked afterwards.
    MarkShown(score, changes, shown);
    if (options.check) MarkFaults(score, &r->faults);
    r->afterXml = musicxml::ScoreText(*score);
  } else if (options.displayTexts) {
    r->afterXml = score->encoding == pugi::encoding_utf8 ? std::string(xml.begin(), xml.end())
                                                         : musicxml::ScoreText(*score);
  }
  if (!zipped) {
    r->output.swap(xml);
  } else if (score->edits.Empty()) {
    r->output.swap(*input); // nothing changed: the archive as it came, not packed anew
  } else if (!musicxml::ReplaceRootFile(*input, rootPath, xml, &r->output, error)) {
    r->output.clear();
    *error = fileName + ": " + *error;
    return 2;
  }
  if (options.sink) {
    bool ok = options.sink(r->output.data(), r->output.size());
    std::vector<uint8_t>().swap(r->output);
    if (!ok) *error = unwritten;
    return ok ? 0 : 1;
  }
  return 0;
}

} // namespace

ScoreJobResult RunScoreJob(std::vector<uint8_t>&& input, const std::string& fileName,
                           const ScoreJobOptions& options, const PluginEntries& plugin) {
  ScoreJobResult r;
  auto fail = [&r](int status, const std::string& message) {
    r.status = status;
    r.error = message;
    return r;
  };
  std::string rootPath, error;
  musicxml::Score score;
  if (!ReadScore(&input, fileName, &score, &rootPath, options.displayTexts ? &r.beforeXml : nullptr,
                 &error))
    return fail(2, error);
  Selection selection;
  if (!Select(score, fileName, options, &selection, &r)) return r;
  if (!options.applyTask) {
    CheckOnly(&score, selection, options, &r);
    return r;
  }
  HostEntries entries;
  int status =
      ApplyTask(score, selection.runs, selection.parts, options, plugin, &entries, &r.task, &error);
  if (status) return fail(status, error);
  std::vector<musicxml::LayerRewrite> rewrites;
  std::vector<musicxml::ChordChange> changes;
  TaskPlaces places;
  std::vector<std::string> messages;
  std::string said; // what a task on chord symbols left alone, and how many chords
  size_t alone = 0;
  if (IsFileTask(r.task)) {
    if (!ChordSymbolTask(score, selection, options, r.task, &rewrites, &said, &alone, &error))
      return fail(2, fileName + ": " + error);
  } else {
    std::string refused = StavesRefusal(score, selection, r.task);
    if (!refused.empty()) return fail(2, fileName + ": " + refused);
    rewrites = CollectRewrites(&score, &entries);
    refused = MeasureMissing(score, rewrites, r.task);
    if (!refused.empty()) return fail(2, fileName + ": " + refused);
    changes = CollectChanges(&score, entries);
    places = PlacesLeftAlone(hostsim::TheHost().alerts, r.task, score);
    messages = hostsim::TheHost().alerts;
  }
  hostsim::Reset(); // the host's score has served; its memory goes before the output is made
  Describe(score, selection, changes, rewrites, places, messages, options, &r);
  if (!said.empty()) r.leftAlone += (r.leftAlone.empty() ? "" : "\n") + said;
  r.leftAloneCount += alone;
  if (options.dryRun && !options.check) return r;
  Shown shown;
  if (!Change(&score, selection, changes, rewrites, options, &shown, &r, &error))
    return fail(2, fileName + ": " + error);
  if (options.dryRun) return r;
  status = Deliver(&score, &input, fileName, rootPath, changes, shown, options, &r, &error);
  if (status) return fail(status, error);
  return r;
}

bool WriteHostOptions(const std::string& folder, const ScoreJobOptions& options) {
  FILE* f = fopen((folder + "\\qvpluginoptions.txt").c_str(), "wb");
  if (!f) return false;
  bool ok = fprintf(f, "QVCHORDSHAPER_FOURNOTEDROPCHORDS=%d\n", options.fourNoteDrops ? 1 : 0) > 0;
  ok = fprintf(f, "QVCHORDSHAPER_SPELLINKEY=%d\n", options.spellInKey ? 1 : 0) > 0 && ok;
  ok = fprintf(f, "QVCHORDSHAPER_STRICTVOICELEADING=%d\n", options.strict ? 1 : 0) > 0 && ok;
  return fclose(f) == 0 && ok;
}
