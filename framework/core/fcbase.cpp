#include "fcbase.h"

void __FCBase::Set16BitFlag(FLAG_16* flags, FLAG_16 mask, bool state) {
  if (!flags) return;
  if (state)
    *flags |= mask;
  else
    *flags &= static_cast<FLAG_16>(~mask);
}

void __FCBase::Set32BitFlag(FLAG_32* flags, FLAG_32 mask, bool state) {
  if (!flags) return;
  if (state)
    *flags |= mask;
  else
    *flags &= ~mask;
}
