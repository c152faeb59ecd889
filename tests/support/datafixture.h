// A fresh host for every test of the document data classes (HostFixture); every test ends with
// no entry frame left handed out.
#pragma once
#include <gtest/gtest.h>

#include "support/chords.h"
#include "support/hostfixture.h"

class DataHost : public HostFixture {
protected:
  void TearDown() override {
    EXPECT_TRUE(hostsim::TheHost().framesOut.empty()) << "frames still handed out";
  }
};

using testsupport::E;
using testsupport::N;
