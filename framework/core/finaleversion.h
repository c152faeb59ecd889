// The running host's version value. The shell stores what the host announces at start-up;
// the framework compares it against thresholds to adapt to older or newer hosts.
#pragma once
#include "hostapi/fxtypes.h"

// The host's version value as last given to FinaleExtensionVersion.
extern ufourbyte RunningFinaleVersion;

void SetFinaleFrameworkVersion(ufourbyte version);
ufourbyte GetFinaleFrameworkVersion();
void SetMinRequiredVersion(ufourbyte version);
