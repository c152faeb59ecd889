// The tasks on chord symbols, done by the job itself on the file's view of the score (the
// plug-in cannot read chord symbols from its host): the symbols read from <harmony> handed to
// the chord-symbol engine, and its chords written into whole voices anew (lines.h).
#pragma once
#include <string>
#include <vector>

#include "chordsymbols.h"
#include "lines.h"

struct ChordTaskOptions {
  chordsymbols::Voicing voicing = chordsymbols::Voicing::Close;
  bool leading = true;
  chordsymbols::Range range; // of the realized chords' top notes
};

// The options as typed ("drop2", "E4-A5"); false with the reason.
bool ReadChordTaskOptions(const std::string& voicing, bool leading, const std::string& range,
                          ChordTaskOptions* o, std::string* error);

// What a task on chord symbols makes of the selection: the voices written anew, and the line
// that says what it left alone (empty when nothing).
struct ChordTaskResult {
  std::vector<musicxml::LayerRewrite> rewrites;
  std::string leftAlone;
  size_t leftAloneCount = 0; // the selection's chords (not rests) it left as they were
};

// Realize Chord Symbols: on the first staff selected, from each chord symbol to the next, the
// chord's four-note form (split at bar lines and tied); on a second staff selected, its bass.
ChordTaskResult RealizeChordSymbols(const musicxml::Score& score, const std::vector<bool>& parts,
                                    const std::vector<bool>& measures, const ChordTaskOptions& o);

// Block Chords: each melody note of the first staff selected the top of a four-note chord.
ChordTaskResult BlockChords(const musicxml::Score& score, const std::vector<bool>& parts,
                            const std::vector<bool>& measures);
