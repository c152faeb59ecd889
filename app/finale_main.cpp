// The headless host: loads the plug-in module by path, finds its six entry points by name and
// drives it as the notation host and its user do: the menu item opens the tool window, the user
// picks a task and a direction and presses Apply, then closes the window.
//   --score FILE  applies the task to MusicXML or .mxl files and writes the changed files
//                 (command.h; commandline.h reads the arguments)
//   --demo        the built-in demo: a small score made here, with the chords of the
//                 selection printed before and after, the undo entry and the parts respaced
//   --web [PORT]  the web page installed with the command, served by Node.js
//   nothing       says that a score is missing, with the usage
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "commandline.h"
#include "dialogs.h"
#include "hostsim.h"
#include "pluginhost.h"
#include "printable.h"
#include "resources/resource.h"
#include "score.h"
#ifdef QV_SCORE_FILES
#include "command.h"
#endif

#ifdef _WIN32
static std::string DefaultPlugin() {
  return "QVChordShaper.dll";
}
#else
// The program's own folder, wherever it is called from; empty when it cannot be told.
static std::string OwnFolder() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return std::string();
  std::string dir(self, static_cast<size_t>(n));
  return dir.substr(0, dir.rfind('/'));
}

// The module beside the program (the build tree) or in the lib folder beside its bin folder
// (an installed qvchord), wherever the program is called from.
static std::string DefaultPlugin() {
  std::string dir = OwnFolder();
  if (!dir.empty())
    for (const char* place : {"/QVChordShaper.so", "/../lib/qvchord/QVChordShaper.so"})
      if (access((dir + place).c_str(), R_OK) == 0) return dir + place;
  return "./QVChordShaper.so";
}
#endif

namespace {

// ---- the score ----------------------------------------------------------------------------

hostsim::NoteSpec Note(int16_t displacement, int16_t raiselower = 0) {
  hostsim::NoteSpec n;
  n.displacement = displacement;
  n.raiselower = raiselower;
  return n;
}

hostsim::EntrySpec Chord(int32_t pos, std::vector<hostsim::NoteSpec> notes) {
  hostsim::EntrySpec e;
  e.duration = 1024;
  e.pos = pos;
  e.notes = std::move(notes);
  return e;
}

// Two staves in C major, two measures of four quarter notes; a part that shows the lower
// staff. The selection is both staves of measure 1.
void BuildScore() {
  hostsim::NewDocument(2, 2);
  hostsim::AddPart({2});
  // Upper staff, measure 1: C major, F major over C, G7, a single E.
  hostsim::AddEntry(1, 1, 0, Chord(0, {Note(0), Note(2), Note(4)}));
  hostsim::AddEntry(1, 1, 0, Chord(1024, {Note(0), Note(3), Note(5)}));
  hostsim::AddEntry(1, 1, 0, Chord(2048, {Note(-3), Note(1), Note(3), Note(4)}));
  hostsim::AddEntry(1, 1, 0, Chord(3072, {Note(2)}));
  // Lower staff, measure 1: octaves and a B-flat triad.
  hostsim::AddEntry(2, 1, 0, Chord(0, {Note(-14), Note(-7)}));
  hostsim::AddEntry(2, 1, 0, Chord(1024, {Note(-8, -1), Note(-6), Note(-4)}));
  hostsim::AddEntry(2, 1, 0, Chord(2048, {Note(-11), Note(-9), Note(-7), Note(-7)}));
  hostsim::AddEntry(2, 1, 0, Chord(3072, {}));
  // Measure 2, outside the selection.
  hostsim::AddEntry(1, 2, 0, Chord(0, {Note(0), Note(4), Note(7)}));
  hostsim::AddEntry(2, 2, 0, Chord(0, {Note(-14), Note(-7)}));
  hostsim::SetSelection(1, 1, 0, 2, 1, 0x7FFFFFFF);
}

// A note as a name and octave in C major: displacement 0 is middle C, C4.
std::string NoteName(const ENOTE& n) {
  static const char* letters = "CDEFGAB";
  int d = n.displacement;
  int step = ((d % 7) + 7) % 7;
  int octave = 4 + (d - step) / 7;
  std::string s(1, letters[step]);
  for (int i = 0; i < n.raiselower && i < 3; ++i)
    s += '#';
  for (int i = 0; i > n.raiselower && i > -3; --i)
    s += 'b';
  return s + std::to_string(octave);
}

void PrintChords(const char* heading) {
  printf("%s\n", heading);
  hostsim::Document& doc = hostsim::Doc();
  for (int16_t staff : doc.staves) {
    for (int measure = 1; measure <= doc.measureCount; ++measure) {
      if (measure != 1) continue; // the selection's measure
      std::string line;
      for (int layer = 0; layer < 4; ++layer) {
        auto it = doc.cells.find(
            hostsim::CellLayer(staff, static_cast<int16_t>(measure), static_cast<int16_t>(layer)));
        if (it == doc.cells.end()) continue;
        for (const EXENTRY& e : it->second) {
          if (e.duration == 0) continue;
          int count = e.notecount < 0 ? 0 : (e.notecount > MAX_NOTES ? MAX_NOTES : e.notecount);
          if (!(e.flags & ENTRY_NOTE) || count == 0) {
            line += "  [rest]";
            continue;
          }
          std::vector<ENOTE> notes(e.notes, e.notes + count);
          for (size_t a = 1; a < notes.size(); ++a)
            for (size_t b = a; b > 0 && notes[b - 1].displacement > notes[b].displacement; --b)
              std::swap(notes[b - 1], notes[b]);
          std::string chord;
          for (const ENOTE& n : notes)
            chord += (chord.empty() ? "" : " ") + NoteName(n);
          line += "  [" + chord + "]";
        }
      }
      printf("  staff %d, measure %d:%s\n", staff, measure, line.c_str());
    }
  }
}

std::string OnOff(int check) {
  return check ? "on" : "off";
}

void PrintWindow(HWND dialog) {
  int row = hostsim::ListSelection(dialog, IDC_TASKLIST);
  std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
  printf("tool window  \"%s\"\n", hostsim::WindowText(dialog).c_str());
  printf("  task       %s\n", row >= 0 && row < (int)rows.size() ? rows[row].c_str() : "(none)");
  printf("  about      %s\n", hostsim::ItemText(dialog, IDC_DESCRIPTION).c_str());
  if (hostsim::ItemVisible(dialog, IDC_TOPRADIO))
    printf("  direction  %s: %s, %s: %s\n", hostsim::ItemText(dialog, IDC_TOPRADIO).c_str(),
           OnOff(hostsim::ItemCheck(dialog, IDC_TOPRADIO)).c_str(),
           hostsim::ItemText(dialog, IDC_BOTTOMRADIO).c_str(),
           OnOff(hostsim::ItemCheck(dialog, IDC_BOTTOMRADIO)).c_str());
  else
    printf("  direction  (none for this task)\n");
  printf("  %s  %s\n", hostsim::ItemText(dialog, IDC_RESPACE).c_str(),
         OnOff(hostsim::ItemCheck(dialog, IDC_RESPACE)).c_str());
  printf("  Apply      %s\n", hostsim::ItemEnabled(dialog, IDC_APPLY) ? "enabled" : "disabled");
}

// The built-in demo on the small score above.
int RunDemo(const CommandLine& o, const std::string& path, const PluginEntries& plugin) {
  hostsim::Reset();
  hostsim::SetLogging(false); // a user's run keeps no log of calls
  hostsim::ResetDialogs();
  BuildScore();
  printf("plug-in      %s\n", Printable(path).c_str());
  printf("interface    0x%08X\n", (unsigned)plugin.version(0x0F000200));
  std::string item, error, chosen;
  HWND dialog = OpenToolWindow(plugin, &item, &error);
  if (!dialog) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  printf("menu item    \"%s\"\n\n", item.c_str());
  if (!ChooseTask(dialog, o.task, false, &chosen, &error) || IsFileTask(chosen)) {
    if (IsFileTask(chosen))
      error = chosen + " works on chord symbols, which the demo score has none of; run it on "
                       "a score file with --score FILE";
    fprintf(stderr, "%s\n", error.c_str());
    CloseToolWindow(plugin, dialog);
    return 2;
  }
  if (o.bottom) {
    if (hostsim::ItemVisible(dialog, IDC_BOTTOMRADIO) &&
        hostsim::ItemEnabled(dialog, IDC_BOTTOMRADIO))
      hostsim::Click(dialog, IDC_BOTTOMRADIO);
    else
      printf("(this task has no direction; --bottom changes nothing)\n");
  }
  PrintWindow(dialog);
  printf("\n");

  const EREGION& sel = hostsim::Doc().selection;
  printf("selection    staves %d-%d, measures %d-%d\n\n", sel.startslot, sel.endslot, sel.startmeas,
         sel.endmeas);
  PrintChords("before");
  size_t undoBefore = hostsim::TheHost().undoList.size();
  size_t menusBefore = hostsim::TheHost().menuCommands.size();
  hostsim::Click(dialog, IDC_APPLY);
  PrintChords("after Apply");
  printf("\n");

  const hostsim::Host& host = hostsim::TheHost();
  if (host.undoList.size() > undoBefore)
    printf("undo entry   \"%s\"\n", host.undoList.back().name.c_str());
  else
    printf("undo entry   (none: the task changed nothing)\n");
  if (host.menuCommands.size() > menusBefore) {
    for (size_t i = menusBefore; i < host.menuCommands.size(); ++i) {
      const hostsim::MenuCommandRecord& m = host.menuCommands[i];
      printf("respaced     %s (menu item %d, measures %d-%d)\n",
             m.part == 0 ? "score" : ("part " + std::to_string(m.part)).c_str(), m.item,
             m.selection.startmeas, m.selection.endmeas);
    }
  } else {
    printf("respaced     nothing\n");
  }
  printf("window       %s after Apply\n", hostsim::OpenDialog() == dialog ? "open" : "closed");

  CloseToolWindow(plugin, dialog);
  printf("window       %s after Close\n", hostsim::OpenDialogCount() ? "open" : "closed");
  return 0;
}

// The web page installed beside the command (share/qvchord: the page as web/build.sh builds it
// and its server, in the places they have in the project), served by Node.js; replaces this
// process. Answers only when it cannot, with the status.
int ServePage(const std::string& port) {
#ifdef _WIN32
  (void)port;
  fprintf(stderr, "this host serves no web page; ./run --web does\n");
  return 2;
#else
  std::string bin = OwnFolder();
  std::string share = bin.substr(0, bin.rfind('/')) + "/share/qvchord";
  std::string server = share + "/web/serve.mjs";
  if (access(server.c_str(), R_OK) != 0 ||
      access((share + "/build/web/site/index.html").c_str(), R_OK) != 0) {
    fprintf(stderr,
            "the web page was not installed with this command (%s): in the project folder, "
            "build it with web/build.sh and install again, or serve it there with ./run --web\n",
            Printable(share).c_str());
    return 1;
  }
  std::vector<char*> argv = {const_cast<char*>("node"), &server[0]};
  std::string p = port;
  if (!p.empty()) argv.push_back(&p[0]);
  argv.push_back(nullptr);
  fflush(stdout);
  execvp("node", argv.data());
  fprintf(stderr, "the web page needs Node.js to serve it, and \"node\" cannot be started (%s)\n",
          strerror(errno));
  return 1;
#endif
}

} // namespace

int main(int argc, char** argv) {
  // ./run names itself; an installed command is called by the name it was typed as.
  const char* typed = getenv("QV_COMMAND_NAME");
  std::string name = typed && *typed ? typed : argc > 0 ? argv[0] : "qvchord";
  CommandLine c;
  std::string error;
  if (!ParseCommandLine(argc, argv, &c, &error)) {
    fprintf(stderr, "%s\n(%s --help lists the options and the tasks)\n",
            Printable(error, true).c_str(), Printable(name).c_str());
    return 2;
  }
  if (c.version) { // the release's name, whatever the command was typed as
    printf("qvchord %s\n", Version());
    return 0;
  }
  if (c.web) return ServePage(c.port);
  std::string path = c.plugin.empty() ? DefaultPlugin() : c.plugin;
  PluginEntries plugin;
  bool loaded = LoadPlugin(path.c_str(), &plugin, &error);
  if (c.help) {
    fputs(Usage(Printable(name), typed != nullptr,
                loaded ? AllTasks(plugin) : std::vector<TaskInfo>(), Printable(DefaultPlugin()))
              .c_str(),
          stdout);
    return 0;
  }
  if (!loaded) {
    fprintf(stderr, "%s\n", Printable(error, true).c_str());
    return 1;
  }
#ifdef QV_SCORE_FILES
  if (c.inputs.empty() && !c.demo) {
    // Nothing to work on: said, with the usage, rather than a demo nobody asked for (the
    // 32-bit test host, which reads no files, has only its demo).
    fprintf(stderr,
            "no score file given: name a MusicXML or .mxl file, or a folder of them (--demo "
            "runs the built-in demo)\n\n%s",
            Usage(Printable(name), typed != nullptr, AllTasks(plugin), Printable(DefaultPlugin()))
                .c_str());
    return 2;
  }
#endif
  if (!c.inputs.empty()) {
#ifdef QV_SCORE_FILES
    return RunScoreCommand(c, plugin);
#else
    fprintf(stderr, "this host reads no score files; the native build's does\n");
    return 2;
#endif
  }
  return RunDemo(c, path, plugin);
}
