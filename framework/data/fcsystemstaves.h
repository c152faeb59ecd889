#pragma once
#include "fcbasedata.h"
#include "fcsystemstaff.h"

// The staff list: the 'SOIu' records of one item, in inci order.
class FCSystemStaves : public __FCCollectionInciOther {
public:
  const char* ClassName() override { return "FCSystemStaves"; }
  __FCBaseData* CreateElement() override { return new FCSystemStaff(); }
  FCSystemStaff* GetItemAt(int index) const {
    return static_cast<FCSystemStaff*>(__FCCollection::GetItemAt(index));
  }
};
