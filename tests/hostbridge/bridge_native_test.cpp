// Binding to the host: one module look-up and one function look-up per process, and the
// fallbacks of a host that lacks a service or is not there at all. Needs the Win32 stand-in's
// registry and counters, and a process of its own per test (bindings are never reset).
#include <cstring>

#include "hostapi/fxrecords.h"
#include "support/hostfixture.h"
#include "winshim.h"

using hostsim::CountCalls;
using hostsim::SetAnswer;

namespace {
class BridgeBinding : public HostFixture {};
class BridgeWithoutHost : public HostFixture {};
} // namespace

TEST_F(BridgeBinding, EachServiceIsLookedUpOnceAtItsFirstCall) {
  EXPECT_EQ(WinShim_ProcLookups("FX_GetShowLayer"), 0); // nothing is bound in advance
  SetAnswer("FX_GetShowLayer", 1);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(FX_GetShowLayer(i), 1);
  EXPECT_EQ(WinShim_ProcLookups("FX_GetShowLayer"), 1);
  EXPECT_EQ(CountCalls("FX_GetShowLayer"), 3);

  FX_GetCurrentPartID();
  FX_GetMaxLayers();
  EXPECT_EQ(WinShim_ModuleLookups(), 1); // "FINALE.EXE" found: "FINDEMO.EXE" is not asked
}

TEST_F(BridgeBinding, AMissingServiceIsLookedUpOnceAndAnswersItsFallback) {
  hostsim::RemoveService("FX_GetMaxLayers");
  hostsim::RemoveService("FX_GetCurrentPartID");
  hostsim::RemoveService("FX_GetNextPartID");
  hostsim::RemoveService("FX_GetTextEncoding");
  SetAnswer("FX_GetMaxLayers", 9);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(FX_GetMaxLayers(), 4);
    EXPECT_EQ(FX_GetCurrentPartID(), -1);
    EXPECT_EQ(FX_GetNextPartID(0), -1);
    EXPECT_EQ(FX_GetTextEncoding(), -2);
  }
  EXPECT_EQ(WinShim_ProcLookups("FX_GetMaxLayers"), 1);
  EXPECT_EQ(WinShim_ProcLookups("FX_GetCurrentPartID"), 1);
  EXPECT_EQ(WinShim_ProcLookups("FX_GetNextPartID"), 1);
  EXPECT_TRUE(hostsim::Calls().empty());
  // the services still present are unaffected
  SetAnswer("FX_GetShowLayer", 1);
  EXPECT_EQ(FX_GetShowLayer(0), 1);
  EXPECT_EQ(CountCalls("FX_GetShowLayer"), 1);
}

TEST_F(BridgeBinding, TheDemoHostIsFoundUnderItsOwnName) {
  FARPROC service = GetProcAddress(GetModuleHandleA("FINALE.EXE"), "FX_GetMaxLayers");
  ASSERT_NE(service, nullptr);
  hostsim::HideHostModule();
  HMODULE demo = WinShim_RegisterModule("FINDEMO.EXE");
  WinShim_RegisterProc(demo, "FX_GetMaxLayers", reinterpret_cast<void*>(service));
  WinShim_ResetCounters();

  SetAnswer("FX_GetMaxLayers", 9);
  EXPECT_EQ(GetFinaleHandle(), demo);
  EXPECT_EQ(FX_GetMaxLayers(), 9);
  EXPECT_EQ(FX_GetCurrentPartID(), -1); // the demo module lacks it
  EXPECT_EQ(WinShim_ModuleLookups(), 2);
}

TEST_F(BridgeBinding, ShowHideAndGetCntlUseWindowsWhenTheHostLacksThem) {
  hostsim::RemoveService("FX_ShowHideDlgItem");
  hostsim::RemoveService("FX_GetDlgCntl");
  FX_ShowHideDlgItem(nullptr, 1005, 1);
  EXPECT_EQ(FX_GetDlgCntl(nullptr, 1005), GetDlgItem(nullptr, 1005));
  EXPECT_TRUE(hostsim::Calls().empty());
}

TEST_F(BridgeWithoutHost, TheModuleIsLookedUpUnderBothNamesOncePerProcess) {
  hostsim::HideHostModule();
  EXPECT_EQ(GetFinaleHandle(), nullptr);
  EXPECT_EQ(WinShim_ModuleLookups(), 2);
  EXPECT_EQ(GetFinaleHandle(), nullptr);
  FX_GetMaxLayers();
  FX_GetCurrentEnigmaDocument();
  EXPECT_EQ(WinShim_ModuleLookups(), 2);
  // a host module appearing later is not seen: the failed look-up stands
  hostsim::Reset();
  EXPECT_EQ(GetFinaleHandle(), nullptr);
  EXPECT_EQ(FX_GetShowLayer(0), 0);
  EXPECT_EQ(WinShim_ModuleLookups(), 0);
  EXPECT_TRUE(hostsim::Calls().empty());
}

TEST_F(BridgeWithoutHost, EveryFunctionWithAFallbackAnswersIt) {
  hostsim::HideHostModule();
  char buf[64] = {};
  EREGION region = {};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    // the services the framework calls
    EXPECT_EQ(FX_GetMaxLayers(), 4);
    EXPECT_EQ(FX_SetCurERegion(&region), 0);
    EXPECT_EQ(FX_GetCurrentEnigmaDocument(), 0);
    EXPECT_EQ(FX_GetFinalePath(7, buf), 0);
    EXPECT_EQ(FX_ExecuteMenuItem(12106), 0);
    EXPECT_EQ(FX_GetCurrentPartID(), -1);
    EXPECT_EQ(FX_SetCurrentPartID(1), 0);
    EXPECT_EQ(FX_GetNextPartID(0), -1);
    FinaleEditDepth = 0;
    EXPECT_EQ(FX_StartFinaleEdit("Rotate"), 0);
    EXPECT_EQ(FinaleEditDepth, 1);
    EXPECT_EQ(FX_EndFinaleEdit(), 0); // a transaction was counted: the host's fallback answers
    EXPECT_EQ(FinaleEditDepth, 0);
    FX_StartFinaleEdit("Rotate");
    FX_CancelFinaleEdit();
    EXPECT_EQ(FinaleEditDepth, 0);
    // the rest of the family
    EXPECT_EQ(FX_KillTimer(nullptr, 1), 0);
    EXPECT_EQ(FX_SetCurrentEnigmaDocument(1), 0);
    EXPECT_EQ(FX_GetNextEnigmaDocument(1), 0);
    EXPECT_EQ(FX_GetDocumentPath(1, buf), 0);
    EXPECT_EQ(FX_IsEnigmaDocumentDirty(1), 0);
    EXPECT_EQ(FX_GetWindowCount(), 0);
    EXPECT_EQ(FX_ProcessMidiData(buf, 0), -1);
    EXPECT_EQ(FX_SetCurrentPartInView(0), 0);
    EXPECT_STREQ(FX_GetPartName(0), " ");
    EXPECT_EQ(FX_CountParts(), -1);
    EXPECT_EQ(FX_CopyCutMusic(buf, 0), 0);
    EXPECT_FALSE(FX_InsertMergeMusic(1, buf, 0));
    EXPECT_FALSE(FX_DisposeFinClipFileToken(1));
    EXPECT_FALSE(FX_SetDefaultMusicFont(1));
    EXPECT_EQ(FX_OpenHelpItem("x"), 0);
    EXPECT_EQ(FX_GetTextEncoding(), -2);
    EXPECT_EQ(FX_GetPlaybackSystem(), -1);
    EXPECT_EQ(FX_CreatePercMapRefData(1), 0);
    EXPECT_EQ(FX_FreeMeasureMetrics(buf), 0);
  }
  EXPECT_EQ(WinShim_ModuleLookups(), 2);
  // no module, nothing to search: Windows would read a null module as the calling program
  EXPECT_EQ(WinShim_ProcLookups("FX_GetMaxLayers"), 0);
  EXPECT_EQ(WinShim_ProcLookups("FX_GetPartName"), 0);
  EXPECT_TRUE(hostsim::Calls().empty());
}

TEST_F(BridgeWithoutHost, ServicesWithoutFallbackReportFailure) {
  hostsim::HideHostModule();
  EXTGF2005a frame = {};
  EREGION region = {};
  fourbyte unused = 0;
  char area[32] = {};
  EXPECT_EQ(FX_LoadTGF(0, 1, 1, 0, 1), nullptr);
  EXPECT_EQ(LoadedTGFCounter, 1); // counted whatever the host answers
  EXPECT_EQ(FX_SaveTGF(&frame), 0);
  FX_FreeTGF(nullptr);
  EXPECT_EQ(LoadedTGFCounter, 0);
  EXPECT_EQ(FX_Dialog(20128, nullptr, nullptr, 0, nullptr), 0);
  EXPECT_EQ(FX_GetCurERegions(&unused, &region, area), 0);
  EXPECT_EQ(FX_InstToSlot(1, 0), 0);
  FX_ShowHideDlgItem(nullptr, 1005, 1); // served by Windows instead
  EXPECT_EQ(FX_GetDlgCntl(nullptr, 1005), GetDlgItem(nullptr, 1005));
  EXPECT_TRUE(hostsim::Calls().empty());
}
