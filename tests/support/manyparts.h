// A generated MusicXML score of many parts, for the tests of what a file's counts can do and
// the benchmarks of a job's cost against the number of parts and measures: each part one staff
// and the same measures, each measure one chord of four notes (or as many as asked, up to
// seven) in stacked thirds.
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
      for (int n = 0; n < notes; ++n)
        s += std::string("<note>") + (n ? "<chord/>" : "") + "<pitch><step>" + "CEGBDFA"[n % 7] +
             "</step><octave>" + (n < 4 ? "4" : "5") +
             "</octave></pitch><duration>4</duration><voice>1</voice></note>";
      s += "</measure>\n";
    }
    s += "</part>\n";
  }
  return s + "</score-partwise>\n";
}
