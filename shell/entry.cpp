#include "entry.h"

#include <cstring>

FCChordShaperWindow* pMainWindow = nullptr;

extern "C" {

ufourbyte WINAPI FinaleExtensionVersion(ufourbyte hostversion) {
  SetFinaleFrameworkVersion(hostversion);
  return 0x0F000000;
}

fourbyte WINAPI FinaleExtensionInit(void*, ufourbyte* flags) {
  if (flags) *flags |= 1;
  GlobalUserSettings.bRespaceMusic = true;
  GlobalUserSettings.bTop = true;
  GlobalUserSettings.nTaskIndex = 0;
  return 1;
}

fourbyte WINAPI FinaleExtensionEnumerate(void*, fourbyte index, EXTENSIONMENURECORD* menu) {
  // The host numbers menu items from 0; only the low 16 bits count, as a signed value.
  if (static_cast<twobyte>(index) > 0 || !menu) return 0;
  strncpy(menu->menutext, "QV Chord Shaper...", sizeof(menu->menutext));
  strncpy(menu->description, "Manipulates chords in many different ways.",
          sizeof(menu->description));
  strncpy(menu->shortname, "Chord Shaper", sizeof(menu->shortname));
  menu->reserved1 = 0;
  menu->reserved2 = 0;
  return 1;
}

void WINAPI FinaleExtensionTerminate(void*) {}

fourbyte WINAPI FinaleExtensionGetMenuStatus(void*) {
  return 1;
}

} // extern "C"
