// A generated MusicXML score of many parts, for the tests of what a file's counts can do and
// the benchmark of a job's cost against the number of parts: each part one staff and the same
// measures, each measure one chord of four notes (stacked thirds).
#pragma once
#include <string>

inline std::string ManyPartsScore(long parts, int measures = 1) {
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
      for (int n = 0; n < 4; ++n)
        s += std::string("<note>") + (n ? "<chord/>" : "") + "<pitch><step>" + "CEGB"[n] +
             "</step><octave>4</octave></pitch><duration>4</duration><voice>1</voice></note>";
      s += "</measure>\n";
    }
    s += "</part>\n";
  }
  return s + "</score-partwise>\n";
}
