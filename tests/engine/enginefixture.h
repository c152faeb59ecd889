// A fresh host for every case: the simulator emptied and the bridge's counters at zero (the
// 32-bit test executable runs every case in one process).
#pragma once
#include <gtest/gtest.h>

#include "entry.h"
#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"

class EngineHost : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::Reset();
    LoadedTGFCounter = 0;
    FinaleEditDepth = 0;
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
