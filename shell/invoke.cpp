#include "entry.h"

extern "C" fourbyte WINAPI FinaleExtensionInvoke(HWND, void*, void*, void*) {
  // The tool window is not part of this build yet: the menu item does nothing.
  return 0;
}
