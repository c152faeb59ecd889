// A rectangle of music: a run of measures by a run of staff slots, with a position at each
// end. Holds the host's region record unchanged; staves are named by slot.
#pragma once
#include "core/fcbase.h"
#include "hostapi/fxrecords.h"

class FCCell;
class FCNoteEntry;
class FCIteratorHandler;

class FCMusicRegion : public __FCBase {
public:
  explicit FCMusicRegion(EREGION* region = nullptr);
  const char* ClassName() override { return "FCMusicRegion"; }
  virtual ~FCMusicRegion() {}

  // ---- what the chord tool uses ----
  void SetEnigmaRegion(EREGION* region);
  bool SetCurrentSelection();
  bool SetFullDocument();
  bool IsStaffIncluded(twobyte staff);
  bool IsCurrentDocument();
  void SetInDocument();

  twobyte GetStartMeasure() const { return _region.startmeas; }
  twobyte GetEndMeasure() const { return _region.endmeas; }
  twobyte GetStartSlot() const { return _region.startslot; }
  twobyte GetEndSlot() const { return _region.endslot; }
  fourbyte GetStartMeasurePos() const { return _region.startpos; }
  fourbyte GetEndMeasurePos() const { return _region.endpos; }
  utwobyte GetStartInstrumentList() const { return _region.startinstlist; }
  utwobyte GetEndInstrumentList() const { return _region.endinstlist; }
  void SetStartMeasure(twobyte measure) { _region.startmeas = measure; }
  void SetEndMeasure(twobyte measure) { _region.endmeas = measure; }
  bool IsEmpty() const { return _region.startmeas == 0 && _region.endmeas == 0; }
  twobyte GetDocumentID() const { return _document; }
  const EREGION* _GetEnigmaRegion() const { return &_region; }

  // ---- the rest of the class ----
  void SetRegion(FCMusicRegion* other);
  void AssureSortedStaves();
  bool IsMeasureIncluded(twobyte measure) const;
  bool IsAbsoluteEndMeasurePos() const { return _region.endpos == REGION_TO_END; }
  bool IsPartial() const;
  bool IsMeasurePosWithin(int measure, fourbyte pos) const;
  bool IsFullMeasureIncluded(twobyte measure) const;
  bool IsStartPos(int measure, fourbyte pos) const;
  bool IsCellPosWithin(FCCell* cell, fourbyte pos);
  bool IsEntryPosWithin(FCNoteEntry* entry);
  bool IsOverlapping(FCMusicRegion* other);
  bool IsLastEndMeasure();
  bool IsFullDocumentWidth();
  // Hands the staff record of each slot's staff to the handler, stopping after the first
  // false; a slot whose staff record does not load is passed over. Answers the staves handed.
  int ForEachStaff(FCIteratorHandler* handler);
  fourbyte CalcDuration();
  bool SetDurationOffsetLeft(fourbyte offset);
  bool SetDurationOffsetRight(fourbyte offset);
  void ConvertToGlobalInstrumentList();
  bool SetFullMeasureStack();
  bool CopyMusic();
  bool CutMusic();
  bool PasteMusic();
  bool ReleaseMusic();
  void Redraw();
  void RebeamMusic();
  fourbyte GetClipToken() const { return _clipToken; }

private:
  bool _TakeFromHost(bool wholeDocument);
  twobyte _StaffAtStartSlot();
  bool _CopyCut(twobyte mode);
  void _MakeClipRecord(BYTE record[28]) const;

  EREGION _region;     // the host's region record, by value
  twobyte _document;   // the host document the region belongs to
  fourbyte _clipToken; // music copied or cut, or 0
};
