// The module-wide values the plug-in keeps between calls (the host's and the framework's
// version, the tool's settings record, the windowshade switch), put back as they were when a
// test ends, so that the cases after it in the same process meet the module as it was.
#pragma once
#include "entry.h"
#include "support/hostfixture.h"
#include "ui/windowshade.h"

class ModuleGlobalsGuard {
public:
  ModuleGlobalsGuard()
      : version_(RunningFinaleVersion), framework_(GetFinaleFrameworkVersion()),
        settings_(GlobalUserSettings), windowshade_(__bWindowshadeAllowed) {}
  ~ModuleGlobalsGuard() {
    RunningFinaleVersion = version_;
    SetFinaleFrameworkVersion(framework_);
    GlobalUserSettings = settings_;
    __bWindowshadeAllowed = windowshade_;
  }
  ModuleGlobalsGuard(const ModuleGlobalsGuard&) = delete;
  ModuleGlobalsGuard& operator=(const ModuleGlobalsGuard&) = delete;

private:
  ufourbyte version_;
  ufourbyte framework_;
  UserSettings settings_;
  bool windowshade_;
};

// A fresh host (HostFixture) with the module globals guarded.
class ModuleHost : public HostFixture {
private:
  ModuleGlobalsGuard globals_;
};
