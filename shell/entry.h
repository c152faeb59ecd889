// The plug-in's exported surface and its module-wide state.
#pragma once
#include "core/finaleversion.h"
#include "hostapi/entrypoints.h"
#include "hostapi/fxtypes.h"
#include "tasks.h"

class FCChordShaperWindow;
class FCUI;

// The one tool window object; made at the first invocation, never destroyed.
extern FCChordShaperWindow* pMainWindow;

// Makes the tool window at the first call and shows it, modeless, at every call; answers what
// showing it answered.
fourbyte DisplayUserWindow(FCUI* ui);
