// A fresh host for every case (the shared fixture), with the module-wide values the engine
// reads put back afterwards: the host's version and the tool's settings record.
#pragma once
#include "entry.h"
#include "score.h"
#include "support/hostfixture.h"

class EngineHost : public HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    savedVersion_ = RunningFinaleVersion;
    savedSettings_ = GlobalUserSettings;
  }
  void TearDown() override {
    RunningFinaleVersion = savedVersion_;
    GlobalUserSettings = savedSettings_;
  }

private:
  ufourbyte savedVersion_ = 0;
  UserSettings savedSettings_ = {};
};
