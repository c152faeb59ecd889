// A generated MusicXML score for the tests and the benchmarks that need a large one: one part,
// one staff, four quarter-note chords of four notes (stacked thirds) a measure, indented as
// notation programs write it.
#pragma once
#include <cstdio>
#include <string>

inline std::string GeneratedScore(long chords) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n"
                  "  <part-list>\n    <score-part id=\"P1\">\n      <part-name>Piano</part-name>\n"
                  "    </score-part>\n  </part-list>\n  <part id=\"P1\">\n";
  for (long c = 0; c < chords; ++c) {
    if (c % 4 == 0) {
      if (c) s += "    </measure>\n";
      s += "    <measure number=\"" + std::to_string(c / 4 + 1) + "\">\n";
      if (c == 0)
        s += "      <attributes>\n        <divisions>1</divisions>\n        <key>\n"
             "          <fifths>0</fifths>\n        </key>\n      </attributes>\n";
    }
    for (int n = 0; n < 4; ++n) {
      int d = static_cast<int>(c % 7) + 2 * n; // stacked thirds from the root
      s += std::string("      <note>\n") + (n ? "        <chord/>\n" : "") +
           "        <pitch>\n          <step>" + "CDEFGAB"[d % 7] + "</step>\n" +
           "          <octave>" + std::to_string(4 + d / 7) + "</octave>\n        </pitch>\n" +
           "        <duration>1</duration>\n        <voice>1</voice>\n" +
           "        <type>quarter</type>\n      </note>\n";
    }
  }
  return s + "    </measure>\n  </part>\n</score-partwise>\n";
}

// Writes the generated score of the given number of chords to a file; answers its size in
// bytes, -1 when it cannot be written.
inline long WriteScore(const std::string& path, long chords) {
  std::string score = GeneratedScore(chords);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return -1;
  bool ok = fwrite(score.data(), 1, score.size(), f) == score.size();
  return fclose(f) == 0 && ok ? static_cast<long>(score.size()) : -1;
}
