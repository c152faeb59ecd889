// A host that answers a load with a size the buffer never had: the record must not believe it.
// Native only: the host's service is replaced in the Win32 stand-in's registry before the
// bridge binds it, which happens once per process.
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "data/fcmeasure.h"
#include "hostapi/fxhost.h"
#include "hostsim.h"
#include "score.h"
#include "winshim.h"

namespace {

int32_t gClaimedSize = 0;

// Fills what it was asked for, then claims another size.
extern "C" fourbyte ClaimingLoad(EXTAG, void*, void* buffer, fourbyte* size, EVERSION) {
  if (buffer && size && *size > 0) memset(buffer, 0x11, *size);
  if (size) *size = gClaimedSize;
  return 1;
}
static_assert(std::is_same<decltype(ClaimingLoad), fxhost::FX_LoadEData>::value,
              "a host service has the type the bridge calls it through");

class UntrustedHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    hostsim::Reset();
    hostsim::NewDocument(1, 1);
    WinShim_RegisterProc(WinShim_RegisterModule("FINALE.EXE"), "FX_LoadEData",
                         reinterpret_cast<void*>(&ClaimingLoad));
  }
};

} // namespace

TEST_F(UntrustedHostTest, LoadedSizeNeverExceedsTheBufferSoSaveStaysInside) {
  gClaimedSize = 100000;
  FCMeasure m;
  ASSERT_TRUE(m.Load(1));
  EXPECT_EQ(FCMeasure::RECORD_SIZE, m.GetLoadedSize());
  EXPECT_EQ(FCMeasure::RECORD_SIZE, m.DataSizeSave());
  ASSERT_TRUE(m.Save());
  auto saves = hostsim::CallsTo("FX_SaveEData");
  ASSERT_EQ(1u, saves.size());
  EXPECT_EQ(uint64_t(FCMeasure::RECORD_SIZE), saves[0].slots[3]);
}

TEST_F(UntrustedHostTest, NegativeDeliveredSizeLeavesNothingToSave) {
  gClaimedSize = -5;
  FCMeasure m;
  EXPECT_TRUE(m.Load(1)); // the host said it loaded
  EXPECT_EQ(0, m.GetLoadedSize());
  EXPECT_FALSE(m.Save());
  EXPECT_EQ(0, hostsim::CountCalls("FX_SaveEData"));
}
