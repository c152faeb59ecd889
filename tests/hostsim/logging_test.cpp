// The host simulator's call log and test answers: on for tests, off for hosts that are none.
#include <gtest/gtest.h>

#include "fxbridge.h"
#include "hostsim.h"
#include "score.h"
#include "support/hostfixture.h"

namespace {

class Logging : public HostFixture {};

TEST_F(Logging, ResetTurnsLoggingOnAndSetLoggingTurnsItOff) {
  EXPECT_TRUE(hostsim::Logging());
  FX_GetMaxLayers();
  hostsim::SetLogging(false);
  FX_GetMaxLayers();
  char key[8] = {};
  FX_DeleteEData(0x11223344, key, FINALEVERSION);
  EXPECT_EQ(1, hostsim::CountCalls("FX_GetMaxLayers"));
  EXPECT_EQ(0, hostsim::CountCalls("FX_DeleteEData"));
  EXPECT_TRUE(hostsim::TheHost().transfers.empty());
  hostsim::Reset();
  EXPECT_TRUE(hostsim::Logging());
}

TEST_F(Logging, AnswersAreKeptPerServiceWithoutLoggingAndResetClearsThem) {
  hostsim::SetLogging(false);
  hostsim::SetAnswer("FX_GetMaxLayers", 6);
  hostsim::SetAnswer("FX_NoSuchService", 1); // names nothing: sets nothing
  EXPECT_EQ(6, FX_GetMaxLayers());
  EXPECT_EQ(1, FX_GetShowLayer(0)); // the other services answer as before
  hostsim::Reset();
  EXPECT_EQ(4, FX_GetMaxLayers());
}

} // namespace
