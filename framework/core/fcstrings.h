#pragma once
#include "fccollection.h"

class FCString;

// A collection whose elements are all FCString objects.
class FCStrings : public __FCCollection {
public:
  const char* ClassName() override { return "FCStrings"; }
  virtual ~FCStrings() {}
  virtual FCString* GetItemAt(int index) const;
};
