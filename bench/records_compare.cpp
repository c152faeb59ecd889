// The stored entries a plug-in module leaves after each task, for comparing two builds of the
// plug-in on the same input: records_compare PLUGIN [MEASURES] [SEED] prints one line per task,
// direction and four-note setting with a checksum of every entry record of the score (all 146
// bytes, flags and note slots included) and the undo entries. The score is random but the same
// for the same seed: two staves, chords of 0 to 12 notes with random alterations, note flags
// (ties, shown accidentals, the host's own bits), unisons, octaves and displacements up to both
// ends of the stored range. Run it with the plug-in before and after a change and compare the
// two outputs (diff): a task whose records differ shows as a line that differs.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "dialogs.h"
#include "hostsim.h"
#include "pluginhost.h"

#include <algorithm>
#include "score.h"

namespace {

void BuildScore(int measures, unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const uint32_t kFlags[] = {0, NOTE_TIE, NOTE_ACCIDENTAL, 0x00000002, 0x00800000, 0x00000100};
  hostsim::NewDocument(2, measures);
  hostsim::AddPart({2});
  for (int16_t staff = 1; staff <= 2; ++staff)
    for (int m = 1; m <= measures; ++m)
      for (int beat = 0; beat < 4; ++beat) {
        hostsim::EntrySpec e;
        e.pos = beat * 1024;
        int count = pick(0, 12) == 0 ? 0 : pick(1, 12);
        int base = pick(0, 20) == 0 ? (pick(0, 1) ? 32767 - pick(0, 10) : -32768 + pick(0, 10))
                                    : pick(-20, 20);
        for (int i = 0; i < count; ++i) {
          hostsim::NoteSpec n;
          if (i > 0 && pick(0, 5) == 0) {
            n = e.notes[pick(0, i - 1)]; // a unison or an octave of an earlier note
            if (pick(0, 1)) n.displacement = static_cast<int16_t>(n.displacement + 7);
            n.id = 0;
          } else {
            int d = base + pick(-12, 12);
            n.displacement = static_cast<int16_t>(std::max(-32768, std::min(32767, d)));
            n.raiselower = static_cast<int16_t>(pick(0, 3) ? 0 : pick(-2, 2));
          }
          n.flags = 0x80000000u | kFlags[pick(0, 5)] | (pick(0, 3) ? 0 : NOTE_TIE);
          e.notes.push_back(n);
        }
        hostsim::AddEntry(staff, m, 0, e);
      }
  hostsim::SetSelection(1, 1, 0, 2, static_cast<int16_t>(measures), 0x7FFFFFFF);
}

uint64_t Checksum() {
  uint64_t h = 1469598103934665603ull;
  auto add = [&h](const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
      h = (h ^ static_cast<const uint8_t*>(p)[i]) * 1099511628211ull;
  };
  for (const auto& cell : hostsim::Doc().cells) {
    add(&cell.first, sizeof cell.first);
    for (const EXENTRY& e : cell.second)
      add(&e, sizeof e);
  }
  for (const auto& u : hostsim::TheHost().undoList)
    add(u.name.data(), u.name.size());
  return h;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: records_compare PLUGIN [MEASURES] [SEED]\n");
    return 2;
  }
  int measures = argc > 2 ? atoi(argv[2]) : 2000;
  unsigned seed = argc > 3 ? static_cast<unsigned>(atoi(argv[3])) : 23;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  void* addresses[6];
  for (int i = 0; i < 6; ++i)
    addresses[i] = dlsym(module, kPluginEntryNames[i]);
  PluginEntries plugin = EntriesFrom(addresses);
  char folder[] = "/tmp/qvcompare.XXXXXX";
  if (!mkdtemp(folder)) return 1;
  plugin.hostFolder = std::string(folder) + "/host";
  std::string options = plugin.hostFolder + "\\qvpluginoptions.txt";
  int status = 0;
  for (int fournote = 0; fournote < 2; ++fournote) {
    FILE* f = fopen(options.c_str(), "wb");
    if (!f) return 1;
    fprintf(f, "QVCHORDSHAPER_FOURNOTEDROPCHORDS=%d\n", fournote);
    fclose(f);
    bool listed = true; // the row is one the window lists: every task, as many as there are
    for (int row = 0; listed; ++row)
      for (bool bottom : {false, true}) {
        hostsim::Reset();
        hostsim::SetLogging(false);
        hostsim::ResetDialogs();
        hostsim::TheHost().finalePath = plugin.hostFolder;
        BuildScore(measures, seed);
        std::string error, chosen;
        HWND window = OpenToolWindow(plugin, nullptr, &error);
        if (!window) {
          fprintf(stderr, "%s\n", error.c_str());
          return 1;
        }
        std::vector<std::string> rows = hostsim::ListRows(window, IDC_TASKLIST);
        listed = static_cast<size_t>(row) < rows.size();
        if (!listed) {
          CloseToolWindow(plugin, window);
          break;
        }
        if (!ChooseTask(window, rows.at(row), bottom, &chosen, &error)) status = 1;
        hostsim::Click(window, IDC_APPLY);
        CloseToolWindow(plugin, window);
        printf("%-26s %-6s four-note %d  %016llx\n", chosen.c_str(), bottom ? "bottom" : "top",
               fournote, static_cast<unsigned long long>(Checksum()));
      }
  }
  unlink(options.c_str());
  rmdir(folder);
  return status;
}
