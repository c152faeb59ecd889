// The catalogue of the sixteen chord tasks and the tool's in-memory settings record.
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
  UnisonsToOctaves
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

const int TASKCOUNT = 16;
extern const TaskDescriptor TaskDescriptors[TASKCOUNT];

// The user's choices while the module is loaded; never written to a file.
struct UserSettings {
  bool bFourNoteDropChords; // drop tasks touch only four-note chords (from the options file)
  fourbyte nTaskIndex;      // task list selection when the window last closed
  bool bRespaceMusic;       // the "Respace Music" check box
  bool bTop;                // first direction radio button on
};

extern UserSettings GlobalUserSettings;
