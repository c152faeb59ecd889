// One application of a chord task: the walk over the selection inside the undo block, and
// the respacing of the selected measures in every part that shows a staff of the selection.
#pragma once
#include "data/fcundoblock.h"
#include "fcvoiceleadinghandler.h"
#include "sectionlines.h"
#include "tasks.h"

#include <vector>

class FCUI;
class FCSystemStaves;
class FCMusicRegion;

class FCChordShaperBlockHandler : public __FCUndoBlockHandler {
public:
  FCChordShaperBlockHandler(fourbyte taskid, bool top, FCUI* ui,
                            const ChordRules& rules = ChordRules())
      : _taskid(taskid), _top(top), _ui(ui), _rules(rules) {}

  // Runs the task over every entry of the selection; true when some entry changed, after
  // the selected measures were respaced (when the user asks for it).
  bool Execute() override;
  // Respaces the selected measures in every part that shows a staff marked in staves (its
  // staff number in the element's user data), over all that part's staves. Restores the
  // selection and the part in view. Only the walk over all parts is offered: allparts false
  // respaces nothing.
  void SpaceMusic(bool allparts, FCSystemStaves* staves);
  // Places the last Reduce left alone, and where it gathered crossed voices.
  int GetLeftAlone() const { return static_cast<int>(_leftAlone.size()); }
  const std::vector<LinePlace>& GetLeftAlonePlaces() const { return _leftAlone; }
  const std::vector<LinePlace>& GetCrossings() const { return _crossings; }
  // The chords the last Voice Leading left as written for want of a choice.
  const ChordsLeftAlone& GetChordsLeftAlone() const { return _chordsAlone; }

private:
  // Runs the task over the region's entries and saves them; true when some entry changed.
  bool _ChangeChords(FCMusicRegion* region);

  fourbyte _taskid;                  // the ChordTask to run
  bool _top;                         // the direction choice
  FCUI* _ui;                         // the window's host services, for the respacing command
  ChordRules _rules;                 // the options file's rules, handed to the chord operations
  std::vector<LinePlace> _leftAlone; // places Reduce left alone
  std::vector<LinePlace> _crossings; // places Reduce gathered crossed voices
  ChordsLeftAlone _chordsAlone;      // chords Voice Leading left alone
};
