// A generated MusicXML score of many parts, for the tests of what a file's counts can do and
// the benchmarks of a job's cost against the number of parts and measures: each part one staff
// and the same measures, each measure one chord of four notes (or as many as asked, up to
// seven) in stacked thirds, on C in odd measures and a step up on D in even ones (so that
// voices move in parallel fifths for the check to find).
#pragma once
#include <string>

inline std::string ManyPartsScore(long parts, int measures = 1, int notes = 4) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n"
                  "<part-list>\n";
  for (long p = 1; p <= parts; ++p)
    s += "<score-part id=\"P" + std::to_string(p) + "\"><part-name>Part " + std::to_string(p) +
         "</part-name></score-part>\n";
  s += "</part-list>\n";
  for (long p = 1; p <= parts; ++p) {
    s += "<part id=\"P" + std::to_string(p) + "\">\n";
    for (int m = 1; m <= measures; ++m) {
      s += "<measure number=\"" + std::to_string(m) + "\">";
      if (m == 1) s += "<attributes><divisions>1</divisions></attributes>";
      for (int n = 0; n < notes; ++n) {
        int d = 2 * n + (m % 2 == 0); // steps above C4
        s += std::string("<note>") + (n ? "<chord/>" : "") + "<pitch><step>" + "CDEFGAB"[d % 7] +
             "</step><octave>" + std::to_string(4 + d / 7) +
             "</octave></pitch><duration>4</duration><voice>1</voice></note>";
      }
      s += "</measure>\n";
    }
    s += "</part>\n";
  }
  return s + "</score-partwise>\n";
}
