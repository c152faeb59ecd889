#include "fcstrings.h"

#include "fcstring.h"

FCString* FCStrings::GetItemAt(int index) const {
  return static_cast<FCString*>(__FCCollection::GetItemAt(index));
}
