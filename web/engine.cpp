// The page's entry into the engine: the task catalogue as the tool window shows it, the parts
// of a score file, and one call that applies a task to it through the same job as
// ./run --score. The plug-in is linked in; the job binds it through its six entry points as
// the headless host does.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "chordsymbols.h"
#include "linkedplugin.h"
#include "scorejob.h"

using emscripten::val;

namespace {

// The in-memory folder the host reports as its own, for the plug-in's options file.
const char* const kHostFolder = "/host";

PluginEntries Plugin() {
  return LinkedPlugin();
}

// The tasks as the tool window lists them, with its descriptions and direction captions.
val Tasks() {
  val list = val::array();
  for (const TaskInfo& task : AllTasks(Plugin())) {
    val row = val::object();
    row.set("name", task.name);
    row.set("description", task.description);
    row.set("hasDirection", task.hasDirection);
    row.set("top", task.topLabel);
    row.set("bottom", task.bottomLabel);
    // the voicings a task on chord symbols offers, each by the name the job takes
    val voicings = val::array();
    for (chordsymbols::Voicing v : chordsymbols::VOICINGS) {
      if (task.name != kRealizeTask) break;
      val choice = val::object();
      choice.set("name", std::string(chordsymbols::VoicingName(v)));
      choice.set("label", std::string(chordsymbols::VoicingLabel(v)));
      voicings.call<void>("push", choice);
    }
    row.set("voicings", voicings);
    list.call<void>("push", row);
  }
  return list;
}

std::string Text(const val& options, const char* key) {
  val v = options[key];
  return v.isString() ? v.as<std::string>() : std::string();
}

bool Flag(const val& options, const char* key) {
  return options[key].isTrue();
}

// A copy of a Uint8Array's bytes.
std::vector<uint8_t> Bytes(const val& bytes) {
  std::vector<uint8_t> copy(bytes["length"].as<size_t>());
  val(emscripten::typed_memory_view(copy.size(), copy.data())).call<void>("set", bytes);
  return copy;
}

// The parts of a score file (a Uint8Array) and its MusicXML text, or the message for a file
// that is not a score.
val Parts(const val& bytes, const std::string& fileName) {
  std::vector<ScorePart> parts;
  std::string xml, error;
  val result = val::object();
  bool ok = ScoreParts(Bytes(bytes), fileName, &parts, &xml, &error);
  result.set("status", ok ? 0 : 2);
  result.set("error", error);
  result.set("xml", xml);
  val list = val::array();
  for (const ScorePart& p : parts) {
    val part = val::object();
    part.set("id", p.id);
    part.set("name", p.name);
    part.set("staves", p.staves);
    list.call<void>("push", part);
  }
  result.set("parts", list);
  return result;
}

// The voice-leading check's faults as rows for the page to list, each placed as a changed
// chord is (part, staff, measure, beat, voice), with the upper voice's place, the two voices
// and their notes.
val Faults(const std::vector<VoiceFault>& faults) {
  val list = val::array();
  for (const VoiceFault& f : faults) {
    val row = val::object();
    row.set("kind", std::string(FaultName(f.kind)));
    row.set("part", f.part);
    row.set("partName", f.partName);
    row.set("staff", f.staff);
    row.set("scoreStaff", f.scoreStaff);
    row.set("measure", f.measure);
    row.set("beat", f.beat);
    row.set("voice", f.voice);
    // the upper voice's place, the same as the fault's when both are on one staff's layer
    row.set("upperPart", f.upperPart);
    row.set("upperPartName", f.upperPartName);
    row.set("upperStaff", f.upperStaff);
    row.set("upperScoreStaff", f.upperScoreStaff);
    row.set("upperVoice", f.upperVoice);
    row.set("lower", f.lower);
    row.set("upper", f.upper);
    row.set("before", f.before);
    row.set("after", f.after);
    val ids = val::array(); // with markChanges: the notes' ids in afterXml, to find them drawn
    for (const std::string& id : f.ids)
      ids.call<void>("push", id);
    row.set("ids", ids);
    list.call<void>("push", row);
  }
  return list;
}

// Applies options.task to the file's bytes (a Uint8Array) in one run of the job: the changed
// file (a Uint8Array of its own, as the command writes it), the score before and after as
// text to draw (after with the changes marked, if asked), and the chords changed. With
// options.check, the voice-leading check of the result too (faults, checkText, checkSummary);
// with options.checkOnly, the check alone on the score as it is, no task run (with
// markChanges, afterXml is the score with the faults' notes named, to draw).
val RunJob(const val& bytes, const std::string& fileName, const val& options) {
  ScoreJobOptions o;
  o.task = Text(options, "task");
  o.bottom = Flag(options, "bottom");
  o.fourNoteDrops = Flag(options, "fourNoteDrops");
  o.spellInKey = Flag(options, "spellInKey");
  o.strict = Flag(options, "strict");
  o.voicing = Text(options, "voicing");
  o.leading = !options["leading"].isFalse();
  o.topRange = Text(options, "topRange");
  o.measures = Text(options, "measures");
  o.parts = Text(options, "parts");
  o.dryRun = Flag(options, "dryRun");
  o.markShown = Flag(options, "markChanges");
  o.listChanges = true;
  o.check = Flag(options, "check") || Flag(options, "checkOnly");
  o.applyTask = !Flag(options, "checkOnly");

  // As the command does: a host folder with the options file only for the plug-in's options.
  PluginEntries plugin = Plugin();
  val result = val::object();
  if (o.fourNoteDrops || o.spellInKey || o.strict) {
    plugin.hostFolder = kHostFolder;
    mkdir(kHostFolder, 0755);
    if (!WriteHostOptions(plugin.hostFolder, o)) {
      result.set("status", 1);
      result.set("error", std::string("cannot write the plug-in's options file"));
      return result;
    }
  }
  ScoreJobResult r = RunScoreJob(Bytes(bytes), fileName, o, plugin);
  result.set("status", r.status);
  result.set("error", r.error);
  result.set("task", r.task);
  result.set("summary", r.summary);
  // the chords changed: none means no new state (the host makes no undo step either)
  result.set("changed", static_cast<double>(r.changedCount));
  result.set("leftAlone", r.leftAlone);
  result.set("dryRunText", r.dryRunText);
  result.set("beforeXml", r.beforeXml);
  result.set("afterXml", r.afterXml);
  val changes = val::array();
  for (const ChangedChord& c : r.changes) {
    val row = val::object();
    row.set("part", c.part);
    row.set("partName", c.partName);
    row.set("staff", c.staff);
    row.set("scoreStaff", c.scoreStaff);
    row.set("measure", c.measure);
    row.set("beat", c.beat);
    row.set("voice", c.voice);
    row.set("symbol", c.symbol);
    row.set("before", c.before);
    row.set("after", c.after);
    changes.call<void>("push", row);
  }
  result.set("changes", changes);
  result.set("faults", Faults(r.faults));
  result.set("checkText", r.checkText);
  result.set("checkSummary", r.checkSummary);
  result.set(
      "output",
      val(emscripten::typed_memory_view(r.output.size(), r.output.data())).call<val>("slice"));
  return result;
}

} // namespace

EMSCRIPTEN_BINDINGS(qvengine) {
  emscripten::function("tasks", &Tasks);
  emscripten::function("scoreParts", &Parts);
  emscripten::function("runScoreJob", &RunJob);
}
