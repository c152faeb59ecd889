// The menu item's invocation: the one tool window, made at the first call and shown at every.
#include "data/fcui.h"
#include "entry.h"
#include "fcchordshaperwindow.h"

fourbyte DisplayUserWindow(FCUI* ui) {
  HWND parent = ui ? ui->GetWindowHandle() : nullptr;
  if (pMainWindow) return pMainWindow->ShowModeless(parent);
  // The window keeps its own copy of the host services: it outlives this invocation.
  FCChordShaperWindow* window = new FCChordShaperWindow(ui);
  pMainWindow = window;
  window->LinkControls();
  return window->ShowModeless(parent);
}

extern "C" fourbyte WINAPI FinaleExtensionInvoke(HWND hostwindow, void*, void*, void*) {
  FCUI ui(hostwindow);
  DisplayUserWindow(&ui);
  return 0;
}
