// Record transfers: the host's typed records travel by tag and key.
#include "hostcall.h"

twobyte FX_LoadEData(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v) {
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_SaveEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_CreateEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_DeleteEData(EXTAG tag, void* key, EVERSION v) {
  FX_SHORT(0, tag, key, v);
}

twobyte FX_NextEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  FX_SHORT(0, tag, key, buffer, size, v);
}

twobyte FX_PreviousEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  FX_SHORT(0, tag, key, buffer, size, v);
}
