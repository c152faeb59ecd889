// The chord operations: the visitor that applies the chosen task to every note entry it is
// handed, and the operations, each changing one entry in memory.
#pragma once
#include "core/fccollection.h"
#include "tasks.h"

class FCNoteEntry;
class FCNote;

class FCNoteEntryProcessingHandler : public FCIteratorHandler {
public:
  FCNoteEntryProcessingHandler(fourbyte taskid, bool top, const ChordRules& rules = ChordRules())
      : _taskid(taskid), _top(top), _rules(rules), _changed(false) {}

  // Runs the task on one entry; rests are left alone. Always answers true.
  bool Iterate(__FCBase* object) override;
  // True once any entry was changed.
  bool GetChanged() const { return _changed; }

  // Adds a note interval steps above the highest note (_top) or below the lowest one.
  bool AddInterval(FCNoteEntry* entry, int interval, bool checkexisting, bool copyflags);
  // The same for the diatonic intervals a user adds (a second to a seventh): the new note has
  // its source's alteration, or with inKey the key's own (a fourth or a fifth from a note the
  // key does not hold is perfect).
  bool AddDiatonicInterval(FCNoteEntry* entry, int interval, bool inKey);

  bool AddThird(FCNoteEntry* entry);
  bool AddOctave(FCNoteEntry* entry);
  bool AddReverseOctave(FCNoteEntry* entry);
  bool DeleteOctaves(FCNoteEntry* entry);
  bool DeleteOuterNote(FCNoteEntry* entry);
  bool DeleteUnisons(FCNoteEntry* entry);
  bool Drop2nd(FCNoteEntry* entry);
  bool Drop3rd(FCNoteEntry* entry);
  bool Drop4th(FCNoteEntry* entry);
  bool Drop2ndAnd4th(FCNoteEntry* entry);
  bool KeepLines(FCNoteEntry* entry);
  bool KeepSpecificLine(FCNoteEntry* entry);
  bool Rotate(FCNoteEntry* entry);
  bool TransposeOctave(FCNoteEntry* entry);
  bool TransposeOctaveChord(FCNoteEntry* entry);
  bool UnisonsToOctaves(FCNoteEntry* entry);
  bool AddSecond(FCNoteEntry* entry);
  bool AddFourth(FCNoteEntry* entry);
  bool AddFifth(FCNoteEntry* entry);
  bool AddSixth(FCNoteEntry* entry);
  bool AddSeventh(FCNoteEntry* entry);
  bool ClosePosition(FCNoteEntry* entry);

private:
  // Runs the operation _taskid selects; false for an unknown task.
  bool _RunTask(FCNoteEntry* entry);

  fourbyte _taskid;  // the ChordTask to perform
  bool _top;         // the first direction radio button was chosen
  ChordRules _rules; // the options file's rules for the drops and the added notes' spelling
  bool _changed;     // some entry was changed; never cleared
};
