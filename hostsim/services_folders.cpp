// Host services: The host's folders.
#include <algorithm>
#include <cstring>

#include "exports.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

// Fills the caller's 260-byte buffer with the folder the host reports, cut to fit with its
// terminator. Every kind names the same folder here; tests see the kind in the call log.
// The plug-in opens "<folder>\<file name>" with the runtime's fopen. Nothing translates that
// path: on Windows it names a file in the folder; natively the backslash is an ordinary
// character of a file name, so tests write their settings files at exactly the path the
// plug-in builds (tests/support/host_folder.h), and the plug-in finds them unchanged.
HOST_SERVICE(fourbyte, FX_GetFinalePath, (fourbyte kind, char* buffer, EVERSION v)) {
  Log(FX_GetFinalePath_service, {Slot(kind), Slot(buffer)}, v);
  if (!buffer) return 0;
  const std::string& folder = TheHost().finalePath;
  size_t n = std::min(folder.size(), size_t(259));
  memcpy(buffer, folder.data(), n);
  static_cast<char*>(buffer)[n] = 0;
  return folder.empty() ? 0 : 1;
}
