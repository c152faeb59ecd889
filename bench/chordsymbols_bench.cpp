// The tasks on chord symbols through the whole command, against Drop 2nd, on a lead sheet of
// many symbols: a melody of quarter notes, a symbol on every one, and a piano part of two empty
// staves. Realize Chord Symbols (led, and not) fills the piano's staves; Block Chords tops
// every melody note with its chord; Drop 2nd runs on the blocked sheet, one four-note chord a
// symbol. The least processor time of a few runs each, as ratios in one run.
//   build/bench/bench/chordsymbols_bench [SYMBOLS] [RUNS]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "childrun.h"

namespace {

// A progression that moves through keys, so that the led voicings change inversion.
const char* const ROOTS[] = {"D", "G", "C", "A", "F", "B", "E", "A"};
const int ALTERS[] = {0, 0, 0, 0, 0, -1, -1, -1};
const char* const KINDS[] = {"minor-seventh", "dominant", "major-seventh", "dominant",
                             "major-sixth",   "dominant", "major",         "minor"};
const char* const MELODY[] = {"A4", "B4", "E5", "C#5", "F4", "D5", "G4", "C5"};

std::string Note(const char* name) {
  std::string step(1, name[0]), alter, octave(1, name[strlen(name) - 1]);
  if (name[1] == '#') alter = "<alter>1</alter>";
  return std::string("<note><pitch><step>") + step + "</step>" + alter + "<octave>" + octave +
         "</octave></pitch><duration>1</duration><voice>1</voice><type>quarter</type></note>";
}

std::string LeadSheet(int symbols) {
  int measures = (symbols + 3) / 4;
  std::string melody, piano;
  for (int m = 1; m <= measures; ++m) {
    std::string number = std::to_string(m);
    melody += "<measure number=\"" + number + "\">";
    piano += "<measure number=\"" + number + "\">";
    if (m == 1) {
      melody += "<attributes><divisions>1</divisions><key><fifths>0</fifths></key><time><beats>4"
                "</beats><beat-type>4</beat-type></time><clef><sign>G</sign><line>2</line>"
                "</clef></attributes>";
      piano += "<attributes><divisions>1</divisions><key><fifths>0</fifths></key><time><beats>4"
               "</beats><beat-type>4</beat-type></time><staves>2</staves><clef number=\"1\">"
               "<sign>G</sign><line>2</line></clef><clef number=\"2\"><sign>F</sign><line>4"
               "</line></clef></attributes>";
    }
    for (int b = 0; b < 4; ++b) {
      int k = ((m - 1) * 4 + b) % 8;
      melody += std::string("<harmony><root><root-step>") + ROOTS[k] + "</root-step>" +
                (ALTERS[k] ? "<root-alter>" + std::to_string(ALTERS[k]) + "</root-alter>" : "") +
                "</root><kind>" + KINDS[k] + "</kind></harmony>" + Note(MELODY[k]);
    }
    melody += "</measure>";
    piano += "<note><rest measure=\"yes\"/><duration>4</duration><voice>1</voice><staff>1</staff>"
             "</note><backup><duration>4</duration></backup><note><rest measure=\"yes\"/>"
             "<duration>4</duration><voice>5</voice><staff>2</staff></note></measure>";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><score-partwise version=\"4.0\"><part-list>"
         "<score-part id=\"P1\"><part-name>Melody</part-name></score-part><score-part id=\"P2\">"
         "<part-name>Piano</part-name></score-part></part-list><part id=\"P1\">" +
         melody + "</part><part id=\"P2\">" + piano + "</part></score-partwise>\n";
}

// The least processor time of runs of the command with the words after the file's.
double Least(const std::string& in, const std::string& out, std::vector<std::string> words,
             int runs) {
  std::vector<std::string> line = {QV_HOST_PATH, QV_PLUGIN_PATH, "--score", in, "--out", out};
  line.insert(line.end(), words.begin(), words.end());
  double least = 1e9;
  for (int r = 0; r < runs; ++r) {
    ChildRun c = RunChild(line);
    if (!c.ok) {
      fprintf(stderr, "the command failed on %s with %s\n", in.c_str(), words[1].c_str());
      exit(1);
    }
    least = std::min(least, c.cpu);
  }
  return least;
}

} // namespace

int main(int argc, char** argv) {
  int symbols = argc > 1 ? std::max(4, atoi(argv[1])) : 4000;
  int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
  std::string dir = "/tmp/qvchordbench." + std::to_string(getpid());
  std::string sheet = dir + "/sheet.musicxml", blocked = dir + "/blocked.musicxml",
              out = dir + "/out.musicxml";
  if (system(("mkdir -p " + dir).c_str()) != 0 || !WriteText(sheet, LeadSheet(symbols))) return 1;
  // the blocked sheet, for Drop 2nd: a four-note chord on every melody note
  Least(sheet, blocked, {"--task", "Block Chords", "--parts", "Melody"}, 1);
  double drop = Least(blocked, out, {"--task", "Drop 2nd", "--parts", "Melody"}, runs);
  double led = Least(sheet, out, {"--task", "Realize Chord Symbols", "--parts", "Piano"}, runs);
  double plain =
      Least(sheet, out, {"--task", "Realize Chord Symbols", "--parts", "Piano", "--no-lead"}, runs);
  double block = Least(sheet, out, {"--task", "Block Chords", "--parts", "Melody"}, runs);
  if (system(("rm -rf " + dir).c_str()) != 0) return 1;
  printf("%d chord symbols, the whole command: Drop 2nd %.1f ms; Realize Chord Symbols led %.1f "
         "ms (%.2f x), not led %.1f ms (%.2f x); Block Chords %.1f ms (%.2f x); goal 2 x\n",
         symbols, drop * 1e3, led * 1e3, led / drop, plain * 1e3, plain / drop, block * 1e3,
         block / drop);
  return led / drop <= 2 && block / drop <= 2 ? 0 : 3;
}
