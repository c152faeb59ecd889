// A fresh host for every test: the simulator back at its start state (empty call log, default
// answers, every service present) and the bridge's counters of open host resources at 0.
// The bridge's bindings are per process and are not reset.
#pragma once
#include <gtest/gtest.h>

#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"

class HostFixture : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::Reset();
    LoadedTGFCounter = 0;
    FinaleEditDepth = 0;
    MassEditDepth = 0;
  }
};
