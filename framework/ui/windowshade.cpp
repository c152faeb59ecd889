#include "windowshade.h"

bool __bWindowshadeAllowed = true;

void AllowWindowshade(bool state) {
  __bWindowshadeAllowed = state;
}
