// What reaches the host through the bridge: the argument slots, the version word, the results
// as the caller sees them, and the counters of open host resources.
#include <functional>
#include <string>
#include <vector>

#include "hostapi/fxrecords.h"
#include "support/hostfixture.h"

using hostsim::CallsTo;
using hostsim::CountCalls;
using hostsim::SetAnswer;

namespace {

// Values that do not fit 16 bits; held in a volatile so that the call site converts them the
// way a caller computing them at run time does.
volatile int wide70000 = 70000;    // low 16 bits 0x1170 = 4464
volatile int wideMinus5 = 0x7FFFB; // low 16 bits 0xFFFB = -5 as a short, 65531 unsigned
volatile int wideFFFF = 0x2FFFF;   // low 16 bits 0xFFFF = -1 as a short, 65535 unsigned
volatile int wideZero = 0x10000;   // low 16 bits 0

const uint64_t kSlot4464 = 4464;
const uint64_t kSlotMinus5 = 0xFFFFFFFBu; // sign-extended into the 32-bit slot
const uint64_t kSlotMinus1 = 0xFFFFFFFFu;
const uint64_t kSlot65535 = 0x0000FFFFu; // zero-extended into the 32-bit slot

uint64_t P(const void* p) {
  return hostsim::Slot(p);
}

// Does the host module export this service? (A service the simulator lacks is not logged.)
bool HostHas(const char* name) {
  return GetProcAddress(GetFinaleHandle(), name) != nullptr;
}

struct ForwardCase {
  const char* name;               // the service called
  std::function<void()> call;     // calls the bridge function
  std::vector<uint64_t> expected; // the argument slots the host must see, in order
};

class BridgeArguments : public HostFixture {};
class BridgeResults : public HostFixture {};
class BridgeCounters : public HostFixture {};
class BridgeDialogServices : public HostFixture {};

} // namespace

TEST_F(BridgeArguments, ReachTheHostInOrderNarrowedAsTheHostDeclaresThem) {
  char text[] = "Add Third";
  char buffer[1024] = {};
  double value = 0;
  EREGION region = {};
  EXTGF2005a frame = {};
  ENOTE note = {};
  char area[32] = {};
  fourbyte unused = 0;
  HWND dlg = nullptr; // no dialog: a host must not act on an invented window
  void* data = &region;
  FinaleEditDepth = 5; // so that the end and cancel calls reach the host

  const std::vector<ForwardCase> cases = {
      {"FX_GetMaxLayers", [] { FX_GetMaxLayers(); }, {}},
      {"FX_LoadTGF",
       [] { FX_LoadTGF(wideFFFF, wide70000, wideMinus5, 3, 1); },
       {kSlot65535, kSlot4464, kSlotMinus5, 3, 1}},
      {"FX_SaveTGF", [&] { FX_SaveTGF(&frame); }, {P(&frame)}},
      {"FX_FreeTGF", [&] { FX_FreeTGF(&frame); }, {P(&frame)}},
      {"FX_DeleteEXENTRY",
       [&] { FX_DeleteEXENTRY(&frame, wide70000, wideMinus5); },
       {P(&frame), kSlot4464, kSlotMinus5}},
      {"FX_AlertMessage",
       [&] { FX_AlertMessage(0, wideFFFF, 0, text); },
       {0, kSlot65535, 0, P(text)}},
      {"FX_Dialog",
       [&] { FX_Dialog(wide70000, nullptr, dlg, wideZero, data); },
       {kSlot4464, 0, P(dlg), 0, P(data)}},
      {"FX_EndDialog", [&] { FX_EndDialog(dlg); }, {P(dlg)}},
      // the control id is a long and passes whole; a state of 0x10000 arrives as 0 (disable)
      {"FX_EnableDlgItem", [&] { FX_EnableDlgItem(dlg, 70000, wideZero); }, {P(dlg), 70000, 0}},
      {"FX_GetDlgItemVal",
       [&] { FX_GetDlgItemVal(dlg, 1005, wideMinus5); },
       {P(dlg), 1005, kSlotMinus5}},
      {"FX_SetDlgItemVal",
       [&] { FX_SetDlgItemVal(dlg, 1005, 2, 70000); },
       {P(dlg), 1005, 2, 70000}},
      {"FX_GetDlgItemUser",
       [&] { FX_GetDlgItemUser(dlg, 1006, 0, &value); },
       {P(dlg), 1006, 0, P(&value)}},
      // the value travels as 64 bits; the version word after it arrives intact
      {"FX_SetDlgItemUser",
       [&] { FX_SetDlgItemUser(dlg, 1006, 0, 1234.0); },
       {P(dlg), 1006, 0, 1234}},
      {"FX_GetDlgString",
       [&] { FX_GetDlgString(dlg, 1007, buffer, wide70000); },
       {P(dlg), 1007, P(buffer), kSlot4464}},
      {"FX_SetDlgString", [&] { FX_SetDlgString(dlg, 70000, text); }, {P(dlg), 70000, P(text)}},
      {"FX_SlotToInst", [] { FX_SlotToInst(wide70000, wideFFFF); }, {kSlot4464, kSlot65535}},
      {"FX_InstToSlot", [] { FX_InstToSlot(wideMinus5, wideFFFF); }, {kSlotMinus5, kSlot65535}},
      {"FX_GetCurERegions",
       [&] { FX_GetCurERegions(&unused, &region, area); },
       {P(&unused), P(&region), P(area)}},
      {"FX_SetCurERegion", [&] { FX_SetCurERegion(&region); }, {P(&region)}},
      {"FX_RedrawMusic", [&] { FX_RedrawMusic(area); }, {P(area)}},
      {"FX_NoteToMidi", [&] { FX_NoteToMidi(&note, wideFFFF); }, {P(&note), kSlotMinus1}},
      {"FX_GetShowLayer", [] { FX_GetShowLayer(wide70000); }, {kSlot4464}},
      {"FX_GetCurrentEnigmaDocument", [] { FX_GetCurrentEnigmaDocument(); }, {}},
      {"FX_GetFinalePath", [&] { FX_GetFinalePath(15, buffer); }, {15, P(buffer)}},
      {"FX_StartFinaleEdit", [&] { FX_StartFinaleEdit(text); }, {P(text)}},
      {"FX_EndFinaleEdit", [] { FX_EndFinaleEdit(); }, {}},
      {"FX_CancelFinaleEdit", [] { FX_CancelFinaleEdit(); }, {}},
      {"FX_ExecuteMenuItem", [] { FX_ExecuteMenuItem(12106); }, {12106}},
      {"FX_GetCurrentPartID", [] { FX_GetCurrentPartID(); }, {}},
      {"FX_SetCurrentPartID", [] { FX_SetCurrentPartID(wideMinus5); }, {kSlotMinus5}},
      {"FX_GetNextPartID", [] { FX_GetNextPartID(wide70000); }, {kSlot4464}},
      // a few of the rest of the family, with their 16-bit arguments
      {"FX_InsertEXENTRY",
       [&] { FX_InsertEXENTRY(&frame, wide70000, 1); },
       {P(&frame), kSlot4464, 1}},
      {"FX_ScrollTo", [] { FX_ScrollTo(wide70000, wideFFFF); }, {kSlot4464, kSlotMinus1}},
      {"FX_SetTimer", [&] { FX_SetTimer(dlg, wideFFFF, 70000); }, {P(dlg), kSlot65535, 70000}},
      {"FX_GetSyllable",
       [&] { FX_GetSyllable(1, wide70000, wideMinus5, buffer); },
       {1, kSlot4464, kSlotMinus5, P(buffer)}},
      {"FX_SetEnigmaDocumentDirty",
       [] { FX_SetEnigmaDocumentDirty(wide70000, 1); },
       {kSlot4464, 1}},
  };

  for (const ForwardCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (!HostHas(c.name)) continue; // the simulator does not serve it yet
    hostsim::ClearCalls();
    c.call();
    ASSERT_EQ(hostsim::Calls().size(), 1u);
    const hostsim::CallRecord& call = hostsim::Calls()[0];
    EXPECT_EQ(call.name, c.name);
    EXPECT_EQ(call.slots, c.expected);
    EXPECT_EQ(call.version, 0x0F000200u);
  }
}

TEST_F(BridgeArguments, EveryOrdinaryCallStatesInterfaceRevision0F000200) {
  // Every bridge function outside the record transfers, called once with its default version
  // word. Each must reach the host's service of its own name exactly once.
  std::vector<const char*> called;
#define CALL(fn, ...)                                                                              \
  do {                                                                                             \
    called.push_back(#fn);                                                                         \
    fn(__VA_ARGS__);                                                                               \
  } while (0)
  char buf[1024] = {}; // large enough for any text or record a service writes
  fourbyte unused = 0;
  EXTGF2005a frame = {};
  EREGION region = {};
  HWND dlg = nullptr;
  double d = 0;
  FinaleEditDepth = 1;
  CALL(FX_GetMaxLayers);
  CALL(FX_LoadTGF, 0, 1, 1, 0, 1);
  CALL(FX_SaveTGF, &frame);
  CALL(FX_FreeTGF, &frame);
  CALL(FX_DeleteEXENTRY, &frame, 0, 1);
  CALL(FX_AlertMessage, 0, 0, 0, "x");
  CALL(FX_Dialog, 1, nullptr, dlg, 0, nullptr); // no such dialog resource
  CALL(FX_EndDialog, dlg);
  CALL(FX_EnableDlgItem, dlg, 1, 1);
  CALL(FX_GetDlgItemVal, dlg, 1, 1);
  CALL(FX_SetDlgItemVal, dlg, 1, 1, 1);
  CALL(FX_GetDlgItemUser, dlg, 1, 0, &d);
  CALL(FX_SetDlgItemUser, dlg, 1, 0, 2.0);
  CALL(FX_GetDlgString, dlg, 1, buf, sizeof buf);
  CALL(FX_SetDlgString, dlg, 1, "x");
  CALL(FX_SlotToInst, 1, 0);
  CALL(FX_InstToSlot, 1, 0);
  CALL(FX_GetCurERegions, &unused, &region, buf);
  CALL(FX_SetCurERegion, &region);
  CALL(FX_RedrawMusic, buf);
  CALL(FX_NoteToMidi, buf, 0);
  CALL(FX_GetShowLayer, 0);
  CALL(FX_GetCurrentEnigmaDocument);
  CALL(FX_GetFinalePath, 7, buf);
  CALL(FX_StartFinaleEdit, "x");
  CALL(FX_EndFinaleEdit);
  CALL(FX_CancelFinaleEdit);
  CALL(FX_ExecuteMenuItem, 12106);
  CALL(FX_GetCurrentPartID);
  CALL(FX_SetCurrentPartID, 0);
  CALL(FX_GetNextPartID, 0);
  CALL(FX_InsertEXENTRY, &frame, 0, 1);
  CALL(FX_RebeamRegion, &region, 0);
  CALL(FX_RebarRegion, &region, 0);
  CALL(FX_ShowHideDlgItem, dlg, 1, 1);
  CALL(FX_SetDlgFocus, dlg, 1);
  CALL(FX_GetDlgCntlVal, dlg, 1, 1);
  CALL(FX_SetDlgCntlVal, dlg, 1, 1, 1);
  CALL(FX_GetDlgCntl, dlg, 1);
  CALL(FX_ScrollTo, 1, 1);
  CALL(FX_Playback, &region);
  CALL(FX_ListenToMidi, buf, 0);
  CALL(FX_FontNameToNum, "x");
  CALL(FX_FontNumToName, 0, buf);
  CALL(FX_CopyMidi, &region);
  CALL(FX_PasteMidi, &region);
  CALL(FX_NoteMover, buf, 0);
  CALL(FX_GetKeySig, 1, 1);
  CALL(FX_SelectNote, &frame, 0, 0);
  CALL(FX_SetTimer, dlg, 1, 10);
  CALL(FX_KillTimer, dlg, 1);
  CALL(FX_MidiNoteToString, 60, buf);
  CALL(FX_StringToMidiNote, "x");
  CALL(FX_GetSyllable, 0, 0, 0, buf);
  CALL(FX_SyllableInfo, 0, 0, 0, buf);
  CALL(FX_ParseCaretCommand, "x", buf);
  CALL(FX_UpdateLayout, 1);
  CALL(FX_GetEntryMetrics, buf, buf);
  CALL(FX_GetTGFEntryMetrics, &frame, 0, buf);
  CALL(FX_FontDialog, dlg, buf);
  CALL(FX_SymbolDialog, dlg, 0, 0);
  CALL(FX_SelectionDialog, 0, 0, buf);
  CALL(FX_GetMeasureDuration, 1, 1);
  CALL(FX_GetTGFDuration, &frame);
  CALL(FX_ReduceEntries, &frame, 0, 1);
  CALL(FX_StartMassEdit);
  CALL(FX_EndMassEdit);
  CALL(FX_MassEditProgress, 1, 2);
  CALL(FX_SetCurrentEnigmaDocument, 1);
  CALL(FX_GetNextEnigmaDocument, 1);
  CALL(FX_GetGraphicPath, 1, buf);
  CALL(FX_CreateGraphic, "x", buf);
  CALL(FX_GetDocumentPath, 1, buf);
  CALL(FX_SelectExpressionDialog, dlg, 0, 0);
  CALL(FX_MassMover, &region, 0);
  CALL(FX_RebuildMenuSystem);
  CALL(FX_EnableBusyDetection, 1);
  CALL(FX_AnalyzeChord, buf, buf);
  CALL(FX_InsertMeasures, 1, 1);
  CALL(FX_DeleteMeasures, 1, 1);
  CALL(FX_NewEnigmaDocument, buf);
  CALL(FX_CloseEnigmaDocument, 1);
  CALL(FX_IsEnigmaDocumentDirty, 1);
  CALL(FX_SetEnigmaDocumentDirty, 1, 0);
  CALL(FX_GetPrintSettings, buf);
  CALL(FX_PrintCurrentDocument, buf);
  CALL(FX_PrintDocument, 1, buf);
  CALL(FX_PrintDocuments, buf, 0, buf);
  CALL(FX_OpenDocument, "x", 0);
  CALL(FX_CloseCurrentDocumentWindow);
  CALL(FX_SaveDocument, 1, "x");
  CALL(FX_DeleteMidiExpressions, &region);
  CALL(FX_DeleteTempoRecords, &region);
  CALL(FX_GetWindowCount);
  CALL(FX_GetWindowInfoList, buf, 0);
  CALL(FX_GetCurrentWindowInfo, buf);
  CALL(FX_GetCurrentWindow);
  CALL(FX_SetCurrentWindow, 1);
  CALL(FX_ProcessMidiData, buf, 0);
  CALL(FX_QueryK2Slot, 1);
  CALL(FX_QueryAriaSlot, 1);
  CALL(FX_SetCurrentPartInView, 0);
  CALL(FX_GetPartName, 0);
  CALL(FX_CountParts);
  CALL(FX_CopyCutMusic, buf, 0);
  CALL(FX_InsertMergeMusic, 0, buf, 0);
  CALL(FX_DisposeFinClipFileToken, 0);
  CALL(FX_SetDefaultMusicFont, 0);
  CALL(FX_OpenHelpItem, "x");
  CALL(FX_GetTextEncoding);
  CALL(FX_GetSMPParts, buf, 0);
  CALL(FX_GetPlaybackSystem);
  CALL(FX_AutoRehearsalInsert, 1);
  CALL(FX_GetPercMapRefData, 1, buf);
  CALL(FX_CreatePercMapRefData, 1);
  CALL(FX_GetEntryMetrics2009a, buf, buf);
  CALL(FX_GetTGFEntryMetrics2009a, &frame, 0, buf);
  CALL(FX_GetMeasureMetrics, 1, 1, buf);
  CALL(FX_FreeEntryMetrics, buf);
  CALL(FX_FreeMeasureMetrics, buf);
#undef CALL

  size_t served = 0;
  for (const char* name : called) {
    SCOPED_TRACE(name);
    if (!HostHas(name)) continue;
    ++served;
    std::vector<hostsim::CallRecord> calls = CallsTo(name);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].version, 0x0F000200u);
  }
  EXPECT_EQ(hostsim::Calls().size(), served); // nothing reached a service of another name
}

TEST_F(BridgeResults, ShortResultsAreSignExtendedFromTheirLow16Bits) {
  EXTGF2005a frame = {};
  struct {
    int32_t answer;
    twobyte seen;
  } const cases[] = {{0x8000, -32768},  {0x18000, -32768}, {0x7FFF, 32767},
                     {0x12345, 0x2345}, {0x10000, 0},      {-1, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    SetAnswer("FX_GetMaxLayers", c.answer);
    SetAnswer("FX_ExecuteMenuItem", c.answer);
    SetAnswer("FX_GetCurrentPartID", c.answer);
    SetAnswer("FX_GetShowLayer", c.answer);
    SetAnswer("FX_SaveTGF", c.answer);
    SetAnswer("FX_CountParts", c.answer);
    EXPECT_EQ(FX_GetMaxLayers(), c.seen);
    EXPECT_EQ(FX_ExecuteMenuItem(12106), c.seen);
    EXPECT_EQ(FX_GetCurrentPartID(), c.seen);
    EXPECT_EQ(FX_GetShowLayer(0), c.seen);
    EXPECT_EQ(FX_SaveTGF(&frame), c.seen);
    EXPECT_EQ(FX_CountParts(), c.seen);
  }
}

TEST_F(BridgeResults, RawResultsPassUnchanged) {
  // Services without a model of their own answer what the test sets.
  SetAnswer("FX_SetTimer", 0x12345678);
  SetAnswer("FX_CopyCutMusic", 0x10000); // nonzero although its low 16 bits are 0
  SetAnswer("FX_RebeamRegion", -2);
  EXPECT_EQ(FX_SetTimer(nullptr, 1, 100), 0x12345678);
  EXPECT_EQ(FX_CopyCutMusic(nullptr, 1), 0x10000);
  EXPECT_EQ(FX_RebeamRegion(nullptr, 0), -2);
}

TEST_F(BridgeResults, BooleanResultsAreTheLowByteOfTheAnswer) {
  struct {
    int32_t answer;
    bool seen;
  } const cases[] = {{0, false},     {1, true},       {0x80, true},
                     {0x100, false}, {0x7F00, false}, {0x101, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    SetAnswer("FX_InsertMergeMusic", c.answer);
    SetAnswer("FX_DisposeFinClipFileToken", c.answer);
    SetAnswer("FX_SetDefaultMusicFont", c.answer);
    EXPECT_EQ(FX_InsertMergeMusic(1, nullptr, 0), c.seen);
    EXPECT_EQ(FX_DisposeFinClipFileToken(1), c.seen);
    EXPECT_EQ(FX_SetDefaultMusicFont(1), c.seen);
  }
}

TEST_F(BridgeResults, UnsignedShortResultIsZeroExtended) {
  SetAnswer("FX_CreatePercMapRefData", 0x18000);
  EXPECT_EQ(FX_CreatePercMapRefData(1), 0x8000);
  SetAnswer("FX_CreatePercMapRefData", 0x2FFFF);
  EXPECT_EQ(FX_CreatePercMapRefData(1), 0xFFFF);
}

TEST_F(BridgeCounters, FramesAreCountedBeforeTheHostIsAsked) {
  // the simulator hands out no frame here: the count still follows every call
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(FX_LoadTGF(0, 1, 1, 0, 1), nullptr);
  EXPECT_EQ(LoadedTGFCounter, 3);
  FX_FreeTGF(nullptr);
  FX_FreeTGF(nullptr);
  EXPECT_EQ(LoadedTGFCounter, 1);
  EXPECT_EQ(CountCalls("FX_LoadTGF"), 3);
  EXPECT_EQ(CountCalls("FX_FreeTGF"), 2);
}

TEST_F(BridgeCounters, StartFinaleEditCountsEvenWhenTheHostRefuses) {
  SetAnswer("FX_StartFinaleEdit", 0);
  EXPECT_EQ(FX_StartFinaleEdit("Drop 2nd"), 0);
  EXPECT_EQ(FinaleEditDepth, 1);
  SetAnswer("FX_StartFinaleEdit", 1);
  EXPECT_EQ(FX_StartFinaleEdit("Drop 2nd"), 1);
  EXPECT_EQ(FinaleEditDepth, 2);
  EXPECT_EQ(CountCalls("FX_StartFinaleEdit"), 2);
}

TEST_F(BridgeCounters, ForgettingARefusedEditTakesOneStartOffAndStopsAtZero) {
  SetAnswer("FX_StartFinaleEdit", 0);
  FX_StartFinaleEdit("Rotate");
  FX_StartFinaleEdit("Rotate");
  ForgetRefusedFinaleEdit();
  EXPECT_EQ(FinaleEditDepth, 1);
  ForgetRefusedFinaleEdit();
  ForgetRefusedFinaleEdit();
  EXPECT_EQ(FinaleEditDepth, 0);
  EXPECT_EQ(CountCalls("FX_StartFinaleEdit"), 2); // the host hears of no forgetting
}

TEST_F(BridgeCounters, EndAndCancelWithoutOpenTransactionCallNothing) {
  SetAnswer("FX_EndFinaleEdit", 0); // the host would say 0; the bridge answers 1 itself
  for (fourbyte depth : {0, -2}) {
    SCOPED_TRACE(depth);
    FinaleEditDepth = depth;
    EXPECT_EQ(FX_EndFinaleEdit(), 1);
    EXPECT_EQ(FinaleEditDepth, depth);
    FX_CancelFinaleEdit();
    EXPECT_EQ(FinaleEditDepth, depth);
  }
  EXPECT_TRUE(hostsim::Calls().empty());
}

TEST_F(BridgeCounters, EndAndCancelEachCloseOneTransaction) {
  FX_StartFinaleEdit("Rotate");
  FX_StartFinaleEdit("Rotate");
  SetAnswer("FX_EndFinaleEdit", 0x10000); // a 16-bit answer: 0 reaches the caller
  EXPECT_EQ(FX_EndFinaleEdit(), 0);
  EXPECT_EQ(FinaleEditDepth, 1);
  FX_CancelFinaleEdit();
  EXPECT_EQ(FinaleEditDepth, 0);
  EXPECT_EQ(FX_EndFinaleEdit(), 1); // nothing open any more
  FX_CancelFinaleEdit();
  EXPECT_EQ(FinaleEditDepth, 0);

  std::vector<std::string> order;
  for (const auto& c : hostsim::Calls())
    order.push_back(c.name);
  EXPECT_EQ(order, (std::vector<std::string>{"FX_StartFinaleEdit", "FX_StartFinaleEdit",
                                             "FX_EndFinaleEdit", "FX_CancelFinaleEdit"}));
}

TEST_F(BridgeCounters, MassEditDepthFollowsStartAndEnd) {
  SetAnswer("FX_StartMassEdit", 0);
  FX_StartMassEdit();
  FX_StartMassEdit();
  EXPECT_EQ(MassEditDepth, 2);
  FX_EndMassEdit();
  EXPECT_EQ(MassEditDepth, 1);
  FX_EndMassEdit();
  FX_EndMassEdit();
  EXPECT_EQ(MassEditDepth, -1);
  EXPECT_EQ(CountCalls("FX_StartMassEdit"), 2);
  EXPECT_EQ(CountCalls("FX_EndMassEdit"), 3);
  EXPECT_EQ(LoadedTGFCounter, 0);
  EXPECT_EQ(FinaleEditDepth, 0);
}

TEST_F(BridgeDialogServices, OldInterfaceRevisionsUseWindowsForShowHideAndGetCntl) {
  for (EVERSION v : {0x0B01FFFFu, 0x0A000000u, 0u}) {
    SCOPED_TRACE(v);
    FX_ShowHideDlgItem(nullptr, 1005, 1, v);
    FX_ShowHideDlgItem(nullptr, 1005, 0, v);
    EXPECT_EQ(FX_GetDlgCntl(nullptr, 1005, v), GetDlgItem(nullptr, 1005));
  }
  EXPECT_TRUE(hostsim::Calls().empty());

  SetAnswer("FX_ShowHideDlgItem", 7);
  EXPECT_EQ(FX_ShowHideDlgItem(nullptr, 1005, wide70000, 0x0B020000), 7);
  FX_GetDlgCntl(nullptr, 1005, 0x0B020000);
  ASSERT_EQ(CountCalls("FX_ShowHideDlgItem"), 1);
  ASSERT_EQ(CountCalls("FX_GetDlgCntl"), 1);
  EXPECT_EQ(CallsTo("FX_ShowHideDlgItem")[0].version, 0x0B020000u);
  EXPECT_EQ(CallsTo("FX_ShowHideDlgItem")[0].slots[2], kSlot4464);
  EXPECT_EQ(CallsTo("FX_GetDlgCntl")[0].version, 0x0B020000u);
}
