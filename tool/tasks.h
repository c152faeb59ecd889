// The catalogue of the chord tasks and the tool's in-memory settings record.
#pragma once
#include "hostapi/fxtypes.h"

// The task identifiers; each selects one operation of FCNoteEntryProcessingHandler.
enum ChordTask {
  AddThird = 0,
  AddOctave,
  AddReverseOctave,
  DeleteOctaves,
  DeleteOuterNote,
  DeleteUnisons,
  Drop2nd,
  Drop3rd,
  Drop4th,
  Drop2ndAnd4th,
  KeepLines,
  KeepSpecificLine,
  Rotate,
  TransposeOctave,
  TransposeOctaveChord,
  UnisonsToOctaves,
  // New in this version; after the sixteen, so that no row that was there moves.
  AddSecond,
  AddFourth,
  AddFifth,
  AddSixth,
  AddSeventh,
  ClosePosition,
  // Sees the whole progression of each staff and layer, not one chord at a time.
  VoiceLeading,
  // Tasks that move music between the staves of the selection.
  Explode,
  Reduce
};

// One row of the catalogue, as the window shows it and the processing code dispatches it.
struct TaskDescriptor {
  fourbyte taskid;         // the ChordTask this row stands for; equals the row's position
  const char* name;        // list entry and undo text
  bool showoptions;        // whether the two direction radio buttons are shown and enabled
  const char* toplabel;    // caption of the first direction radio button
  const char* bottomlabel; // caption of the second direction radio button
  const char* description; // shown in the window's description field
};

const int TASKCOUNT = 25;
// The rows from here on are the tasks new in this version.
const int FIRSTNEWTASK = AddSecond;
extern const TaskDescriptor TaskDescriptors[TASKCOUNT];

// The user's choices while the module is loaded; never written to a file.
struct UserSettings {
  bool bFourNoteDropChords; // drop tasks touch only four-note chords (from the options file)
  fourbyte nTaskIndex;      // task list selection when the window last closed
  bool bRespaceMusic;       // the "Respace Music" check box
  bool bTop;                // first direction radio button on
  bool bSpellInKey;         // Add Third takes the key's accidental (from the options file)
  bool bStrictVoiceLeading; // Voice Leading avoids parallel and hidden fifths and octaves
                            // (from the options file)
};

// The options-file rules that shape what a task does to a chord, handed to the code that
// changes chords so that it never reads the module's settings record itself.
struct ChordRules {
  bool fourNoteDropChords = false; // the drop tasks touch only chords of exactly four notes
  bool spellInKey = false; // Add Third takes the key's own accidental, not its source's, as the
                           // intervals added after it always do
  bool strictVoiceLeading = false; // Voice Leading takes the fewest parallel and hidden fifths
                                   // and octaves first, the least motion among those
};

extern UserSettings GlobalUserSettings;
