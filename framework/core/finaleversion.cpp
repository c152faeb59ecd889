#include "finaleversion.h"

// Until the host announces its version, the oldest one the plug-in supports.
ufourbyte RunningFinaleVersion = 0x0F000200;

void SetFinaleFrameworkVersion(ufourbyte version) {
  RunningFinaleVersion = version;
}
ufourbyte GetFinaleFrameworkVersion() {
  return RunningFinaleVersion;
}
void SetMinRequiredVersion(ufourbyte) {}
