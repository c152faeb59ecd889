// The step between a score file's view of its music and the host simulator's score: the
// simulator's document built from the chords read, and the chords the plug-in changed read back
// from its entries. The one place where the headless host speaks both languages.
#pragma once
#include <cstdint>
#include <vector>

#include "lines.h"
#include "scorefile.h"
#include "writeback.h"

// Where each chord stands in the simulator's score: its entry's index in its cell layer, -1
// when the chord is not handed to the host (a rest left alone, a chord it cannot hold).
typedef std::vector<int32_t> HostEntries;

// Makes a new document in front holding the score: its staves and parts, the measures' keys,
// a key of its own for a staff in another key than its measure, and every chord as an entry.
HostEntries BuildHostScore(const musicxml::Score& score);

// Reads the entries after the task and answers the chords whose notes differ. A chord whose
// result a file cannot spell (an octave past 0 to 9, more than three sharps or flats) keeps
// its notes and is counted as left alone (Skip::OutOfRange).
std::vector<musicxml::ChordChange> CollectChanges(musicxml::Score* score,
                                                  const HostEntries& entries);

// Reads the cell layers whose entries the task replaced (entries it inserted or deleted, not
// only changed): each becomes a voice written anew, and the chords it held are no longer the
// host's (their entries become -1, so that CollectChanges passes them by). Call it first.
std::vector<musicxml::LayerRewrite> CollectRewrites(musicxml::Score* score, HostEntries* entries);
