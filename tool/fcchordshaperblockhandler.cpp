#include "fcchordshaperblockhandler.h"

#include "data/fcbrowsernoteentries.h"
#include "data/fcmusicregion.h"
#include "data/fcparts.h"
#include "data/fcsystemstaff.h"
#include "data/fcsystemstaves.h"
#include "data/fcui.h"
#include "fcnoteentryprocessinghandler.h"
#include "fcvoiceleadinghandler.h"
#include "sectionlines.h"
#include "tasks.h"

#include <cstdint>

namespace {

// The staff number a staff-list element carries in its user data; 0 when not marked.
twobyte MarkedStaff(__FCBase* element) {
  return static_cast<twobyte>(reinterpret_cast<intptr_t>(element->GetUserData()));
}

void MarkStaff(__FCBase* element, twobyte staff) {
  element->SetUserData(reinterpret_cast<void*>(static_cast<intptr_t>(staff)));
}

// Whether the part's whole-document region holds a marked staff.
bool ShowsMarkedStaff(FCMusicRegion* full, FCSystemStaves* staves) {
  for (int i = 0; i < staves->GetCount(); ++i) {
    __FCBase* element = staves->GetItemAt(i);
    if (!element) continue;
    twobyte staff = MarkedStaff(element);
    if (staff != 0 && full->IsStaffIncluded(staff)) return true;
  }
  return false;
}

} // namespace

bool FCChordShaperBlockHandler::Execute() {
  FCMusicRegion region;
  region.SetCurrentSelection();
  if (!_ChangeChords(&region)) return false;

  FCSystemStaves staves;
  staves.LoadAllForItem(0);
  for (int i = 0; i < staves.GetCount(); ++i) {
    FCSystemStaff* element = staves.GetItemAt(i);
    if (!element) continue;
    twobyte staff = element->GetStaff();
    if (region.IsStaffIncluded(staff)) MarkStaff(element, staff);
  }
  SpaceMusic(true, &staves);
  return true;
}

// Each chord on its own, or, for a task that sees the progression or several staves, all of
// them read first.
bool FCChordShaperBlockHandler::_ChangeChords(FCMusicRegion* region) {
  if (_taskid == ChordTask::VoiceLeading) {
    FCVoiceLeadingHandler leading(_top, _rules.strictVoiceLeading);
    bool changed = leading.Execute(region);
    _chordsAlone = leading.GetLeftAlone();
    return changed;
  }
  if (_taskid == Explode || _taskid == Reduce) {
    FCSectionLines lines(region, _top);
    bool changed = _taskid == Explode ? lines.Explode() : lines.Reduce();
    _leftAlone = lines.GetLeftAlonePlaces();
    _crossings = lines.GetCrossings();
    return changed;
  }
  FCBrowserNoteEntries browser;
  FCNoteEntryProcessingHandler visitor(_taskid, _top, _rules);
  visitor.SetSaveAfterIterating(true);
  browser.ForEachInRegion(&visitor, region);
  return visitor.GetChanged();
}

void FCChordShaperBlockHandler::SpaceMusic(bool allparts, FCSystemStaves* staves) {
  if (!GlobalUserSettings.bRespaceMusic || !allparts || !staves) return;
  FCParts parts;
  parts.LoadAll();
  FCMusicRegion sel;
  sel.SetCurrentSelection();
  for (int i = 0; i < parts.GetCount(); ++i) {
    FCPart* part = parts.GetItemAt(i);
    if (!part) continue;
    part->_SwitchTo();
    FCMusicRegion full;
    full.SetFullDocument();
    if (ShowsMarkedStaff(&full, staves)) {
      full.SetStartMeasure(sel.GetStartMeasure());
      full.SetEndMeasure(sel.GetEndMeasure());
      full.SetInDocument();
      if (_ui) _ui->MenuCommand(FCUI::MENUCMD_RESPACE);
    }
    part->_SwitchBack();
  }
  sel.SetInDocument();
}
