// A generated MusicXML score for the benchmarks: one part, one staff, four quarter-note
// chords of four notes a measure, indented as notation programs write it.
#pragma once
#include <cstdio>
#include <string>

// Writes the score of the given number of chords; answers its size in bytes, -1 on failure.
inline long WriteScore(const std::string& path, long chords) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return -1;
  fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n"
        "  <part-list>\n    <score-part id=\"P1\">\n      <part-name>Bench</part-name>\n"
        "    </score-part>\n  </part-list>\n  <part id=\"P1\">\n",
        f);
  static const char* steps = "CDEFGAB";
  for (long c = 0; c < chords; ++c) {
    if (c % 4 == 0) {
      if (c) fputs("    </measure>\n", f);
      fprintf(f, "    <measure number=\"%ld\">\n", c / 4 + 1);
      if (c == 0)
        fputs("      <attributes>\n        <divisions>1</divisions>\n        <key>\n"
              "          <fifths>0</fifths>\n        </key>\n      </attributes>\n",
              f);
    }
    int root = static_cast<int>(c % 7);
    for (int n = 0; n < 4; ++n) {
      int d = root + 2 * n; // stacked thirds from the root
      fprintf(f,
              "      <note>\n%s        <pitch>\n          <step>%c</step>\n"
              "          <octave>%d</octave>\n        </pitch>\n        <duration>1</duration>\n"
              "        <voice>1</voice>\n        <type>quarter</type>\n      </note>\n",
              n ? "        <chord/>\n" : "", steps[d % 7], 4 + d / 7);
    }
  }
  fputs("    </measure>\n  </part>\n</score-partwise>\n", f);
  long size = ftell(f);
  fclose(f);
  return size;
}
