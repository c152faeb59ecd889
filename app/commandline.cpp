#include "commandline.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "chordsymbols.h"

namespace {

enum Kind { Value, Flag };
struct Option {
  const char* name;
  const char* shortName;
  Kind kind;
  const char* needs; // what the value is, for the message when it is missing
};

const Option kOptions[] = {
    {"--task", nullptr, Value, "a task name"},
    {"--score", nullptr, Value, "a MusicXML or .mxl file"},
    {"--out", nullptr, Value, "a file name for the changed score"},
    {"--out-dir", nullptr, Value, "a folder for the changed scores"},
    {"--measures", nullptr, Value, "measure numbers: 5, 5-, -8, 3-8 or 1,3,5-8"},
    {"--parts", nullptr, Value, "part ids or names, separated by commas"},
    {"--jobs", "-j", Value, "the number of files to work on at once, 1 or more"},
    {"--voicing", nullptr, Value, "a voicing: close, drop2, drop24, shell or root"},
    {"--range", nullptr, Value, "two pitches such as E4-A5"},
    {"--no-lead", nullptr, Flag, nullptr},
    {"--bottom", nullptr, Flag, nullptr},
    {"--help", "-h", Flag, nullptr},
    {"--version", nullptr, Flag, nullptr},
    {"--demo", nullptr, Flag, nullptr},
    {"--web", nullptr, Flag, nullptr},
    {"--in-place", nullptr, Flag, nullptr},
    {"--four-note-drops", nullptr, Flag, nullptr},
    {"--spell-in-key", nullptr, Flag, nullptr},
    {"--strict", nullptr, Flag, nullptr},
    {"--dry-run", nullptr, Flag, nullptr},
    {"--list", nullptr, Flag, nullptr},
    {"--mark-changes", nullptr, Flag, nullptr},
    {"--check", nullptr, Flag, nullptr},
};

bool EndsWith(const std::string& s, const char* end) {
  size_t n = strlen(end);
  return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// The option a mistyped one was probably meant to be: the one sharing the longest start.
std::string Nearest(const std::string& typed) {
  std::string best;
  size_t bestLength = 3; // more than "--" and a letter
  for (const Option& o : kOptions) {
    size_t n = 0;
    while (o.name[n] && n < typed.size() && o.name[n] == typed[n])
      ++n;
    if (n > bestLength) {
      bestLength = n;
      best = o.name;
    }
  }
  return best;
}

bool SetOnce(std::string* target, const std::string& value, const char* name, std::string* error) {
  if (!target->empty() && *target != value) {
    *error = std::string(name) + " is given twice (\"" + *target + "\" and \"" + value +
             "\"); give it once";
    return false;
  }
  *target = value;
  return true;
}

bool Apply(const Option& o, const std::string& value, CommandLine* c, std::string* error) {
  std::string name = o.name;
  if (o.kind == Value && value.empty()) {
    *error = name + " needs " + o.needs;
    return false;
  }
  if (name == "--task") return SetOnce(&c->task, value, o.name, error);
  if (name == "--out") return SetOnce(&c->out, value, o.name, error);
  if (name == "--out-dir") return SetOnce(&c->outDir, value, o.name, error);
  if (name == "--measures") return SetOnce(&c->measures, value, o.name, error);
  if (name == "--parts") return SetOnce(&c->parts, value, o.name, error);
  if (name == "--voicing" || name == "--range") {
    std::string* target = name == "--voicing" ? &c->voicing : &c->topRange;
    if (!SetOnce(target, value, o.name, error)) return false;
    // refused here, before any file is read
    chordsymbols::Voicing voicing;
    chordsymbols::Range range;
    std::string why;
    if (name == "--voicing" && !chordsymbols::ParseVoicing(value, &voicing)) {
      *error = "--voicing needs " + std::string(o.needs) + " (not \"" + value + "\")";
      return false;
    }
    if (name == "--range" && !chordsymbols::ParseRange(value, &range, &why)) {
      *error = "--range: " + why;
      return false;
    }
    return true;
  }
  if (name == "--score") {
    c->inputs.push_back(value);
    return true;
  }
  if (name == "--jobs") {
    char* end = nullptr;
    long n = strtol(value.c_str(), &end, 10);
    if (*end || n < 1 || n > 1024) {
      *error = "-j needs the number of files to work on at once, 1 to 1024 (not \"" + value + "\")";
      return false;
    }
    c->jobs = static_cast<int>(n);
    return true;
  }
  bool* flag = name == "--bottom"            ? &c->bottom
               : name == "--help"            ? &c->help
               : name == "--version"         ? &c->version
               : name == "--demo"            ? &c->demo
               : name == "--web"             ? &c->web
               : name == "--in-place"        ? &c->inPlace
               : name == "--four-note-drops" ? &c->fourNoteDrops
               : name == "--spell-in-key"    ? &c->spellInKey
               : name == "--strict"          ? &c->strict
               : name == "--dry-run"         ? &c->dryRun
               : name == "--list"            ? &c->list
               : name == "--check"           ? &c->check
               : name == "--no-lead"         ? &c->noLeading
                                             : &c->markChanges;
  *flag = true;
  return true;
}

// Combinations that cannot be meant.
bool CheckTogether(const CommandLine& c, std::string* error) {
  bool scoreOptions = !c.out.empty() || !c.outDir.empty() || c.inPlace || c.fourNoteDrops ||
                      c.spellInKey || c.strict || !c.measures.empty() || !c.parts.empty() ||
                      c.dryRun || c.list || c.markChanges || c.jobs || c.check ||
                      !c.voicing.empty() || c.noLeading || !c.topRange.empty();
  if (c.help || c.version) return true;
  if (c.web && (c.demo || !c.inputs.empty() || scoreOptions || !c.task.empty() || c.bottom)) {
    *error = "--web serves the page, where the score and the task are chosen; give it alone "
             "(a port may follow)";
    return false;
  }
  if (c.demo && !c.inputs.empty()) {
    *error = "--demo runs on its own score; leave out the score files, or leave out --demo";
    return false;
  }
  if (c.inputs.empty() && scoreOptions) {
    *error = "no score file given: name one with --score FILE (or several files or folders)";
    return false;
  }
  if (c.inPlace && !c.out.empty()) {
    *error = "--out and --in-place cannot be given together";
    return false;
  }
  if (!c.out.empty() && !c.outDir.empty()) {
    *error = "--out and --out-dir cannot be given together: --out names one file, --out-dir a "
             "folder for them";
    return false;
  }
  if (!c.out.empty() && c.inputs.size() > 1) {
    *error = "--out names one file, but " + std::to_string(c.inputs.size()) +
             " scores are given: use --out-dir FOLDER for several";
    return false;
  }
  return true;
}

} // namespace

const char* Version() {
  return QV_VERSION;
}

bool ParseCommandLine(int argc, char** argv, CommandLine* c, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.size() < 2 || a[0] != '-') {
      // The module first (as ./run passes it), then score files and folders.
      bool module = EndsWith(a, ".so") || EndsWith(a, ".dll");
      if (module && c->plugin.empty() && c->inputs.empty())
        c->plugin = a;
      else if (!a.empty())
        c->inputs.push_back(a);
      else {
        *error = "an empty argument: a file name or an option was meant";
        return false;
      }
      continue;
    }
    std::string name = a, value;
    bool attached = false;
    size_t eq = a.find('=');
    if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
      attached = true;
    } else if (a.compare(0, 2, "-j") == 0 && a.size() > 2) {
      name = "-j";
      value = a.substr(2);
      attached = true;
    }
    const Option* option = nullptr;
    for (const Option& o : kOptions)
      if (name == o.name || (o.shortName && name == o.shortName)) option = &o;
    if (!option) {
      std::string guess = Nearest(name);
      *error = "unknown option " + name + (guess.empty() ? "" : "; did you mean " + guess + "?");
      return false;
    }
    if (name == "--web") { // the port is optional: a number after it, or "=PORT"
      bool next = !attached && i + 1 < argc && isdigit(static_cast<unsigned char>(argv[i + 1][0]));
      c->port = attached ? value : next ? argv[++i] : "";
      c->web = true;
      continue;
    }
    if (option->kind == Flag && attached) {
      *error = std::string(option->name) + " takes no value (\"" + a + "\")";
      return false;
    }
    if (option->kind == Value && !attached) {
      // The value is the next word, unless that is another option ("--task --bottom");
      // "--measures -8" is a value.
      bool next = i + 1 < argc && strncmp(argv[i + 1], "--", 2) != 0;
      value = next ? argv[++i] : "";
    }
    if (!Apply(*option, value, c, error)) return false;
  }
  return CheckTogether(*c, error);
}

std::string Usage(const std::string& command, bool fromRun, const std::vector<TaskInfo>& tasks,
                  const std::string& defaultPlugin) {
  const std::string& n = command;
  std::string s =
      "usage: " + n + " --score FILE [FILE or FOLDER ...] [--task NAME] [--bottom] [options]\n" +
      "         applies a task to the chords of MusicXML (.musicxml, .xml) or .mxl files\n";
  if (fromRun) s += "       " + n + "   the example score (examples/chorale.musicxml), Drop 2nd\n";
  s += "       " + n + " --web [PORT]   the same tasks in a web page on 127.0.0.1 (port 8080)\n";
  s += "       " + n + " --demo [--task NAME] [--bottom]   the built-in demo score\n";
  s += "\nwhat to change\n"
       "  --task NAME        the task (below); capitals, spaces and \"2nd\" or \"2\" do not\n"
       "                     matter (\"drop2\", \"drop 2-4\"), and the start of a name will do\n"
       "                     when only one task starts so; default: the window's first\n"
       "  --bottom           the task's second direction instead of its first\n"
       "  --measures LIST    only these measures, as the score numbers them: 5, 5- (to the\n"
       "                     end), -8 (from the start), 3-8, or a list: 1,3,5-8\n"
       "  --parts LIST       only these parts, by id or name: \"Piano, Bass\" or P1,P2\n"
       "  --four-note-drops  the drop tasks change only chords of exactly four notes\n"
       "  --spell-in-key     Add Third takes the key's own sharps and flats, not those of\n"
       "                     the note it is built on (the other intervals always do)\n"
       "  --strict           Voice Leading also avoids parallel fifths and octaves and\n"
       "                     hidden ones in the outer voices, moving least among those\n"
       "  --voicing NAME     Realize Chord Symbols' voicing: close (default), drop2,\n"
       "                     drop24, shell (root, third, seventh) or root\n"
       "  --no-lead          Realize Chord Symbols puts every chord in root position\n"
       "                     instead of the inversions that move least\n"
       "  --range LOW-HIGH   where Realize Chord Symbols keeps the chords' top notes\n"
       "                     (default: E4-A5)\n"
       "where it goes\n"
       "  --out FILE         the changed score (one score in); default: beside the score,\n"
       "                     named after the task: song-drop-2nd.musicxml\n"
       "  --out-dir FOLDER   the changed scores, under their names with the task added\n"
       "                     (made if missing)\n"
       "  --in-place         replace each score itself (in --out-dir: under its own name)\n"
       "  --dry-run          list the chords that would change; write nothing\n"
       "  --list             list the chords changed\n"
       "  --mark-changes     colour changed and added notes\n"
       "  --check            list parallel fifths and octaves, hidden fifths and octaves,\n"
       "                     crossing voices and upper voices over an octave apart (after\n"
       "                     the task; without --task it only checks and writes nothing)\n"
       "many files\n"
       "  FILE or FOLDER     more scores: a folder stands for its .musicxml, .xml and .mxl\n"
       "                     files; a bad file does not stop the others\n"
       "  -j N, --jobs N     scores worked on at once (default: one per core)\n"
       "  --help             this text\n"
       "  --version          the version of the command and its plug-in\n";
  if (!fromRun)
    s += "  PLUGIN             the plug-in module (.so), first on the line (default: " +
         defaultPlugin + ")\n";
  if (tasks.empty()) {
    s += "\n(the task list could not be read from the plug-in)\n";
  } else {
    s += "\ntasks                       directions: first, or --bottom\n";
    for (const TaskInfo& t : tasks) {
      std::string line = "  " + t.name;
      line += std::string(line.size() < 28 ? 28 - line.size() : 1, ' ');
      line += t.hasDirection ? t.topLabel + ", or " + t.bottomLabel : "-";
      s += line + "\n";
    }
  }
  s += "\nvoicings                    of Realize Chord Symbols (--voicing)\n"
       "  close                     the four notes within an octave (the default)\n"
       "  drop2                     the second from the top an octave lower\n"
       "  drop24                    the second and the fourth from the top an octave lower\n"
       "  shell                     root, third and seventh\n"
       "  root                      close, always in root position\n";
  s += "\nexit status: 0 done; 1 the plug-in or the host failed, or a file could not be\n"
       "written; 2 a wrong argument or a score that could not be read (with several scores:\n"
       "any of them failed)\n";
  return s;
}
