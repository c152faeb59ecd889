// The test host: loads the plug-in module by path, finds its six entry points by name and
// drives it as the notation host and its user do: the menu item opens the tool window, the user
// picks a task and a direction and presses Apply on a selection of a small score, then closes
// the window. Prints the chords of the selection before and after, the undo entry and which
// parts were respaced.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs.h"
#include "hostsim.h"
#include "resources/resource.h"
#include "score.h"
#include "shell/entrypoints.h"

#ifdef _WIN32
static void* OpenModule(const char* path) {
  return (void*)LoadLibraryA(path);
}
static void* FindEntry(void* module, const char* name) {
  return (void*)GetProcAddress((HMODULE)module, name);
}
static const char* DefaultPlugin() {
  return "QVChordShaper.dll";
}
#else
#include <dlfcn.h>
static void* OpenModule(const char* path) {
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
static void* FindEntry(void* module, const char* name) {
  return dlsym(module, name);
}
static const char* DefaultPlugin() {
  return "./QVChordShaper.so";
}
#endif

namespace {

struct Options {
  const char* plugin = nullptr; // path of the module
  std::string task;             // task name to choose; empty keeps the window's choice
  bool bottom = false;          // choose the second direction
  bool help = false;
};

void Usage() {
  printf("usage: qvhost [PLUGIN] [--task NAME] [--bottom]\n"
         "  PLUGIN       the plug-in module (default %s)\n"
         "  --task NAME  the task to apply, as the tool window lists it\n"
         "  --bottom     the second direction (Bottom, Down, ...) instead of the first\n",
         DefaultPlugin());
}

bool ParseArguments(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--task" && i + 1 < argc) {
      o->task = argv[++i];
    } else if (a.compare(0, 7, "--task=") == 0) {
      o->task = a.substr(7);
    } else if (a == "--bottom") {
      o->bottom = true;
    } else if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (!a.empty() && a[0] != '-' && !o->plugin) {
      o->plugin = argv[i];
    } else {
      fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return false;
    }
  }
  if (!o->plugin) o->plugin = DefaultPlugin();
  return true;
}

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
    for (int16_t measure = 1; measure <= doc.measureCount; ++measure) {
      if (measure != 1) continue; // the selection's measure
      std::string line;
      for (int16_t layer = 0; layer < 4; ++layer) {
        auto it = doc.cells.find(hostsim::CellLayer(staff, measure, layer));
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

} // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArguments(argc, argv, &o)) {
    Usage();
    return 2;
  }
  if (o.help) {
    Usage();
    return 0;
  }
  hostsim::Reset();
  hostsim::SetLogging(false); // a user's run keeps no log of calls
  hostsim::ResetDialogs();
  BuildScore();

  void* module = OpenModule(o.plugin);
  if (!module) {
    fprintf(stderr, "cannot load the plug-in module %s\n", o.plugin);
    return 1;
  }
  const char* names[] = {"FinaleExtensionVersion",   "FinaleExtensionInit",
                         "FinaleExtensionEnumerate", "FinaleExtensionInvoke",
                         "FinaleExtensionTerminate", "FinaleExtensionGetMenuStatus"};
  void* entries[6];
  for (int i = 0; i < 6; ++i) {
    entries[i] = FindEntry(module, names[i]);
    if (!entries[i]) {
      fprintf(stderr, "the plug-in lacks the entry point %s\n", names[i]);
      return 1;
    }
  }
  uint32_t answer = reinterpret_cast<FinaleExtensionVersionProc>(entries[0])(0x0F000200);
  printf("plug-in      %s\n", o.plugin);
  printf("interface    0x%08X\n", (unsigned)answer);
  uint32_t flags = 0;
  reinterpret_cast<FinaleExtensionInitProc>(entries[1])(nullptr, &flags);
  EXTENSIONMENURECORD menu;
  memset(&menu, 0, sizeof menu);
  if (!reinterpret_cast<FinaleExtensionEnumerateProc>(entries[2])(nullptr, 0, &menu)) {
    fprintf(stderr, "the plug-in registered no menu item\n");
    return 1;
  }
  char item[65] = {0};
  memcpy(item, menu.menutext, sizeof menu.menutext);
  if (!reinterpret_cast<FinaleExtensionGetMenuStatusProc>(entries[5])(nullptr)) {
    fprintf(stderr, "the menu item \"%s\" is not available\n", item);
    return 1;
  }
  printf("menu item    \"%s\"\n\n", item);

  // The user chooses the menu item.
  reinterpret_cast<FinaleExtensionInvokeProc>(entries[3])(nullptr, nullptr, nullptr, nullptr);
  HWND dialog = hostsim::OpenDialog();
  if (!dialog) {
    fprintf(stderr, "the plug-in opened no window\n");
    return 1;
  }
  hostsim::SetDialogActive(dialog, true);

  int status = 0;
  if (!o.task.empty()) {
    std::vector<std::string> rows = hostsim::ListRows(dialog, IDC_TASKLIST);
    int row = -1;
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i] == o.task) row = static_cast<int>(i);
    if (row < 0) {
      fprintf(stderr, "no task \"%s\"; the tool window lists:\n", o.task.c_str());
      for (auto& r : rows)
        fprintf(stderr, "  %s\n", r.c_str());
      hostsim::Click(dialog, IDC_CLOSE);
      return 2;
    }
    hostsim::SelectListRow(dialog, IDC_TASKLIST, row);
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

  hostsim::Click(dialog, IDC_CLOSE);
  printf("window       %s after Close\n", hostsim::OpenDialogCount() ? "open" : "closed");
  reinterpret_cast<FinaleExtensionTerminateProc>(entries[4])(nullptr);
  return status;
}
