// One measure on one staff: the unit region browsing hands to a browser, and the place whose
// key is looked up for pitch comparisons.
#pragma once
#include "core/fcbase.h"

class FCKeySignature;
class FCTimeSignature;

class FCCell : public __FCBase {
public:
  FCCell(fourbyte measure, fourbyte staff)
      : _measure(measure), _staff(staff), _pKeySig(nullptr), _pTimeSig(nullptr) {}
  FCCell(const FCCell&) = delete;
  FCCell& operator=(const FCCell&) = delete;
  const char* ClassName() override { return "FCCell"; }
  virtual ~FCCell();

  fourbyte GetMeasure() const { return _measure; }
  fourbyte GetStaff() const { return _staff; }

  // The key in effect in the cell: the cell's own key when its staff allows one and the cell
  // carries it, else the measure's. The object is the cell's; each call looks the key up again.
  // When neither record loads, the key stays as it was (key word 0 for a new cell).
  FCKeySignature* GetKeySignature();

private:
  fourbyte _measure;          // measure number
  fourbyte _staff;            // staff number
  FCKeySignature* _pKeySig;   // owned; none until GetKeySignature first runs
  FCTimeSignature* _pTimeSig; // owned; none in this library's use
};
