#include "scorejob.h"

#include <cctype>
#include <cstdio>

#include "container.h"
#include "dialogs.h"
#include "hostscore.h"
#include "hostsim.h"
#include "score.h"

namespace {

// The host measures of "A-B" (or "A") by the numbers the file prints.
bool MeasureRange(const musicxml::Score& score, const std::string& range, int16_t* first,
                  int16_t* last, std::string* error) {
  *first = 1;
  *last = score.measureCount;
  if (range.empty()) return true;
  size_t dash = range.find('-', 1);
  std::string a = range.substr(0, dash);
  std::string b = dash == std::string::npos ? a : range.substr(dash + 1);
  const std::vector<std::string>& numbers = score.measureNumbers;
  int ia = -1, ib = -1;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (ia < 0 && numbers[i] == a) ia = static_cast<int>(i);
    if (numbers[i] == b) ib = static_cast<int>(i);
  }
  if (ia < 0 || ib < 0) {
    *error = "no measure \"" + (ia < 0 ? a : b) + "\" in the score";
    return false;
  }
  if (ib < ia) {
    *error = "measure \"" + b + "\" comes before measure \"" + a + "\"";
    return false;
  }
  *first = static_cast<int16_t>(ia + 1);
  *last = static_cast<int16_t>(ib + 1);
  return true;
}

// The host staves of the parts named (all when none are), in score order.
bool SelectedStaves(const musicxml::Score& score, const std::string& names,
                    std::vector<bool>* parts, std::string* error) {
  parts->assign(score.parts.size(), names.empty());
  size_t start = 0;
  while (!names.empty() && start <= names.size()) {
    size_t comma = names.find(',', start);
    std::string name = names.substr(start, comma == std::string::npos ? comma : comma - start);
    bool found = false;
    for (size_t i = 0; i < score.parts.size(); ++i)
      if (score.parts[i].id == name || score.parts[i].name == name) (*parts)[i] = found = true;
    if (!found) {
      *error = "no part \"" + name + "\" in the score (by id or name)";
      return false;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// The score in the file's bytes: a plain file's text is taken over, an archive stays for
// writing back and *rootPath names the score in it (empty for a plain file). *shown, when
// given, receives the score's text. False with the message for the user.
bool ReadScore(std::vector<uint8_t>* input, const std::string& fileName, musicxml::Score* score,
               std::string* rootPath, std::string* shown, std::string* error) {
  bool zipped = musicxml::LooksZipped(*input);
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
int ApplyTask(const musicxml::Score& score, int16_t first, int16_t last,
              const std::vector<bool>& parts, const ScoreJobOptions& options,
              const PluginEntries& plugin, HostEntries* entries, std::string* task,
              std::string* error) {
  hostsim::Reset();
  hostsim::SetLogging(false); // a user's run keeps no log of calls
  hostsim::TheHost().finalePath = plugin.hostFolder;
  *entries = BuildHostScore(score);
  HWND window = OpenToolWindow(plugin, nullptr, error);
  if (!window) return 1;
  if (!ChooseTask(window, options.task, options.bottom, task, error)) {
    CloseToolWindow(plugin, window);
    return 2;
  }
  for (size_t p = 0; p < score.parts.size() && score.measureCount > 0;) {
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
    hostsim::SetDialogActive(window, false);
    hostsim::SetSelection(a.firstStaff, first, 0,
                          static_cast<int16_t>(b.firstStaff + b.staffCount - 1), last,
                          REGION_TO_END);
    hostsim::SetDialogActive(window, true);
    hostsim::Click(window, IDC_APPLY);
    p = q + 1;
  }
  CloseToolWindow(plugin, window);
  return 0;
}

} // namespace

bool ScoreParts(std::vector<uint8_t>&& input, const std::string& fileName,
                std::vector<ScorePart>* parts, std::string* shown, std::string* error) {
  musicxml::Score score;
  std::string rootPath;
  if (!ReadScore(&input, fileName, &score, &rootPath, shown, error)) return false;
  for (const musicxml::PartInfo& p : score.parts)
    parts->push_back({p.id, p.name});
  return true;
}

ScoreJobResult RunScoreJob(const std::vector<uint8_t>& input, const std::string& fileName,
                           const ScoreJobOptions& options, const PluginEntries& plugin) {
  return RunScoreJob(std::vector<uint8_t>(input), fileName, options, plugin);
}

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
  bool zipped = !rootPath.empty();

  int16_t first = 1, last = 1;
  std::vector<bool> parts;
  if (!MeasureRange(score, options.measures, &first, &last, &error) ||
      !SelectedStaves(score, options.parts, &parts, &error))
    return fail(2, fileName + ": " + error);

  HostEntries entries;
  int status = ApplyTask(score, first, last, parts, options, plugin, &entries, &r.task, &error);
  if (status) return fail(status, error);
  std::vector<musicxml::ChordChange> changes = CollectChanges(&score, entries);
  hostsim::Reset(); // the host's score has served; its memory goes before the output is made
  r.summary = musicxml::Summary(r.task, score, changes);
  // Only what the selection held was left alone; the rest was never asked for.
  std::vector<musicxml::Chord> skipped;
  for (const musicxml::Chord& c : score.chords)
    if (c.skip != musicxml::Skip::None && parts[c.part] && c.measure >= first && c.measure <= last)
      skipped.push_back(c);
  r.leftAlone = musicxml::LeftAloneLine(skipped);
  if (options.dryRun || options.listChanges)
    r.dryRunText = musicxml::DescribeChanges(score, changes);
  if (options.dryRun) return r;
  musicxml::WriteBack(&score, changes, options.markChanges);
  if (options.sink && !zipped && !options.displayTexts) {
    // Straight to the caller as it is made: no copy of the whole output is held.
    struct Sink : pugi::xml_writer {
      const ScoreJobOptions* options;
      bool ok = true;
      void write(const void* data, size_t size) override { ok = ok && options->sink(data, size); }
    } sink;
    sink.options = &options;
    musicxml::SaveScore(score, sink);
    if (!sink.ok) return fail(1, "cannot write the output");
    return r;
  }
  std::vector<uint8_t> xml;
  musicxml::SaveScore(score, &xml);
  if (options.displayTexts)
    r.afterXml = score.encoding == pugi::encoding_utf8 ? std::string(xml.begin(), xml.end())
                                                       : musicxml::ScoreText(score);
  if (!zipped) {
    r.output.swap(xml);
  } else if (score.edits.Empty()) {
    r.output.swap(input); // nothing changed: the archive as it came, not packed anew
  } else if (!musicxml::ReplaceRootFile(input, rootPath, xml, &r.output, &error)) {
    r.output.clear();
    return fail(2, fileName + ": " + error);
  }
  if (options.sink) {
    bool ok = options.sink(r.output.data(), r.output.size());
    std::vector<uint8_t>().swap(r.output);
    if (!ok) return fail(1, "cannot write the output");
  }
  return r;
}

bool WriteHostOptions(const std::string& folder, const ScoreJobOptions& options) {
  FILE* f = fopen((folder + "\\qvpluginoptions.txt").c_str(), "wb");
  if (!f) return false;
  bool ok = fprintf(f, "QVCHORDSHAPER_FOURNOTEDROPCHORDS=%d\n", options.fourNoteDrops ? 1 : 0) > 0;
  return fclose(f) == 0 && ok;
}
