// One measure on one staff: the unit region browsing hands to a browser.
#pragma once
#include "core/fcbase.h"

class FCCell : public __FCBase {
public:
  FCCell(fourbyte measure, fourbyte staff) : _measure(measure), _staff(staff) {}
  FCCell(const FCCell&) = delete;
  FCCell& operator=(const FCCell&) = delete;
  const char* ClassName() override { return "FCCell"; }
  virtual ~FCCell() {}

  fourbyte GetMeasure() const { return _measure; }
  fourbyte GetStaff() const { return _staff; }

private:
  fourbyte _measure; // measure number
  fourbyte _staff;   // staff number
};
