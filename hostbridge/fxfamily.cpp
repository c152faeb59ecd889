// Bridge functions of the rest of the host family: bound and narrowed by the same rule as
// the services the framework calls; nothing in the chord tool calls them.
#include "cleantgf.h"
#include "hostcall.h"

using fxbridge::S16;
using fxbridge::U16;

twobyte FX_InsertEXENTRY(EXTGF2005a* frame, twobyte index, twobyte count, EVERSION v) {
  CleanTGF(frame);
  FX_SHORT(0, frame, S16(index), S16(count), v);
}

fourbyte FX_RebeamRegion(EREGION* region, twobyte flags, EVERSION v) {
  FX_RAW(fourbyte, 0, region, S16(flags), v);
}

fourbyte FX_RebarRegion(EREGION* region, twobyte flags, EVERSION v) {
  FX_RAW(fourbyte, 0, region, S16(flags), v);
}

// Older interface revisions, and hosts without these two, are served by Windows itself.
static bool UseWindowsDialogServices(EVERSION v, void* fpProc) {
  return v <= 0x0B01FFFF || !fpProc;
}

fourbyte FX_ShowHideDlgItem(HWND dialog, fourbyte id, twobyte show, EVERSION v) {
  static fxbridge::HostProc proc_;
  void* fp = fxbridge::Resolve(proc_, __func__);
  if (UseWindowsDialogServices(v, fp))
    return ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
  return fxbridge::Call<fourbyte>(fp, dialog, id, S16(show), v);
}

fourbyte FX_SetDlgFocus(HWND dialog, fourbyte id, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, v);
}

fourbyte FX_GetDlgCntlVal(HWND dialog, fourbyte id, twobyte kind, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), v);
}

fourbyte FX_SetDlgCntlVal(HWND dialog, fourbyte id, twobyte kind, fourbyte value, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), value, v);
}

HWND FX_GetDlgCntl(HWND dialog, fourbyte id, EVERSION v) {
  static fxbridge::HostProc proc_;
  void* fp = fxbridge::Resolve(proc_, __func__);
  if (UseWindowsDialogServices(v, fp)) return GetDlgItem(dialog, id);
  return fxbridge::Call<HWND>(fp, dialog, id, v);
}

fourbyte FX_ScrollTo(twobyte measure, twobyte staff, EVERSION v) {
  FX_RAW(fourbyte, 0, S16(measure), S16(staff), v);
}

fourbyte FX_Playback(EREGION* region, EVERSION v) {
  FX_RAW(fourbyte, 0, region, v);
}

fourbyte FX_ListenToMidi(void* buffer, twobyte count, EVERSION v) {
  FX_RAW(fourbyte, 0, buffer, S16(count), v);
}

twobyte FX_FontNameToNum(const char* name, EVERSION v) {
  FX_SHORT(0, name, v);
}

twobyte FX_FontNumToName(twobyte font, char* buffer, EVERSION v) {
  FX_SHORT(0, S16(font), buffer, v);
}

fourbyte FX_CopyMidi(EREGION* region, EVERSION v) {
  FX_RAW(fourbyte, 0, region, v);
}

fourbyte FX_PasteMidi(EREGION* region, EVERSION v) {
  FX_RAW(fourbyte, 0, region, v);
}

fourbyte FX_NoteMover(void* entry, twobyte amount, EVERSION v) {
  FX_RAW(fourbyte, 0, entry, S16(amount), v);
}

twobyte FX_GetKeySig(twobyte staff, twobyte measure, EVERSION v) {
  FX_SHORT(0, S16(staff), S16(measure), v);
}

fourbyte FX_SelectNote(EXTGF2005a* frame, twobyte entryindex, twobyte noteindex, EVERSION v) {
  FX_RAW(fourbyte, 0, frame, S16(entryindex), S16(noteindex), v);
}

fourbyte FX_SetTimer(HWND window, utwobyte id, fourbyte milliseconds, EVERSION v) {
  FX_RAW(fourbyte, 0, window, U16(id), milliseconds, v);
}

fourbyte FX_KillTimer(HWND window, utwobyte id, EVERSION v) {
  FX_RAW(fourbyte, 0, window, U16(id), v);
}

fourbyte FX_MidiNoteToString(twobyte midikey, char* buffer, EVERSION v) {
  FX_RAW(fourbyte, 0, S16(midikey), buffer, v);
}

twobyte FX_StringToMidiNote(const char* text, EVERSION v) {
  FX_SHORT(0, text, v);
}

twobyte FX_GetSyllable(twobyte kind, twobyte number, twobyte syllable, char* buffer, EVERSION v) {
  FX_SHORT(0, S16(kind), S16(number), S16(syllable), buffer, v);
}

twobyte FX_SyllableInfo(twobyte kind, twobyte number, twobyte syllable, void* info, EVERSION v) {
  FX_SHORT(0, S16(kind), S16(number), S16(syllable), info, v);
}

fourbyte FX_ParseCaretCommand(const char* text, void* result, EVERSION v) {
  FX_RAW(fourbyte, 0, text, result, v);
}

fourbyte FX_UpdateLayout(twobyte page, EVERSION v) {
  FX_RAW(fourbyte, 0, S16(page), v);
}

twobyte FX_GetEntryMetrics(void* entry, void* metrics, EVERSION v) {
  FX_SHORT(0, entry, metrics, v);
}

twobyte FX_GetTGFEntryMetrics(EXTGF2005a* frame, twobyte index, void* metrics, EVERSION v) {
  FX_SHORT(0, frame, S16(index), metrics, v);
}

twobyte FX_FontDialog(HWND parent, void* fontinfo, EVERSION v) {
  FX_SHORT(0, parent, fontinfo, v);
}

twobyte FX_SymbolDialog(HWND parent, twobyte font, twobyte symbol, EVERSION v) {
  FX_SHORT(0, parent, S16(font), S16(symbol), v);
}

twobyte FX_SelectionDialog(twobyte kind, twobyte item, void* result, EVERSION v) {
  FX_SHORT(0, S16(kind), S16(item), result, v);
}

fourbyte FX_GetMeasureDuration(twobyte staff, twobyte measure, EVERSION v) {
  FX_RAW(fourbyte, 0, S16(staff), S16(measure), v);
}

fourbyte FX_GetTGFDuration(EXTGF2005a* frame, EVERSION v) {
  FX_RAW(fourbyte, 0, frame, v);
}

twobyte FX_ReduceEntries(EXTGF2005a* frame, twobyte index, twobyte count, EVERSION v) {
  CleanTGF(frame);
  FX_SHORT(0, frame, S16(index), S16(count), v);
}

fourbyte FX_StartMassEdit(EVERSION v) {
  ++MassEditDepth;
  FX_RAW(fourbyte, 0, v);
}

fourbyte FX_EndMassEdit(EVERSION v) {
  --MassEditDepth;
  FX_RAW(fourbyte, 0, v);
}

twobyte FX_MassEditProgress(fourbyte done, fourbyte total, EVERSION v) {
  FX_SHORT(0, done, total, v);
}

twobyte FX_SetCurrentEnigmaDocument(twobyte document, EVERSION v) {
  FX_SHORT(0, S16(document), v);
}

twobyte FX_GetNextEnigmaDocument(twobyte document, EVERSION v) {
  FX_SHORT(0, S16(document), v);
}

twobyte FX_GetGraphicPath(twobyte id, char* buffer, EVERSION v) {
  FX_SHORT(0, S16(id), buffer, v);
}

twobyte FX_CreateGraphic(const char* path, void* result, EVERSION v) {
  FX_SHORT(0, path, result, v);
}

twobyte FX_GetDocumentPath(twobyte document, char* buffer, EVERSION v) {
  FX_SHORT(0, S16(document), buffer, v);
}

twobyte FX_SelectExpressionDialog(HWND parent, twobyte kind, twobyte item, EVERSION v) {
  FX_SHORT(0, parent, S16(kind), S16(item), v);
}

twobyte FX_MassMover(EREGION* region, twobyte amount, EVERSION v) {
  FX_SHORT(0, region, S16(amount), v);
}

twobyte FX_RebuildMenuSystem(EVERSION v) {
  FX_SHORT(0, v);
}

twobyte FX_EnableBusyDetection(twobyte state, EVERSION v) {
  FX_SHORT(0, S16(state), v);
}

twobyte FX_AnalyzeChord(void* entry, void* result, EVERSION v) {
  FX_SHORT(0, entry, result, v);
}

twobyte FX_InsertMeasures(twobyte at, twobyte count, EVERSION v) {
  FX_SHORT(0, S16(at), S16(count), v);
}

twobyte FX_DeleteMeasures(twobyte first, twobyte last, EVERSION v) {
  FX_SHORT(0, S16(first), S16(last), v);
}

twobyte FX_NewEnigmaDocument(void* options, EVERSION v) {
  FX_SHORT(0, options, v);
}

twobyte FX_CloseEnigmaDocument(twobyte document, EVERSION v) {
  FX_SHORT(0, S16(document), v);
}

twobyte FX_IsEnigmaDocumentDirty(twobyte document, EVERSION v) {
  FX_SHORT(0, S16(document), v);
}

twobyte FX_SetEnigmaDocumentDirty(twobyte document, twobyte dirty, EVERSION v) {
  FX_SHORT(0, S16(document), S16(dirty), v);
}

twobyte FX_GetPrintSettings(void* settings, EVERSION v) {
  FX_SHORT(0, settings, v);
}

twobyte FX_PrintCurrentDocument(void* settings, EVERSION v) {
  FX_SHORT(0, settings, v);
}

twobyte FX_PrintDocument(twobyte document, void* settings, EVERSION v) {
  FX_SHORT(0, S16(document), settings, v);
}

twobyte FX_PrintDocuments(void* documents, twobyte count, void* settings, EVERSION v) {
  FX_SHORT(0, documents, S16(count), settings, v);
}

twobyte FX_OpenDocument(const char* path, twobyte flags, EVERSION v) {
  FX_SHORT(0, path, S16(flags), v);
}

twobyte FX_CloseCurrentDocumentWindow(EVERSION v) {
  FX_SHORT(0, v);
}

twobyte FX_SaveDocument(twobyte document, const char* path, EVERSION v) {
  FX_SHORT(0, S16(document), path, v);
}

twobyte FX_DeleteMidiExpressions(EREGION* region, EVERSION v) {
  FX_SHORT(0, region, v);
}

twobyte FX_DeleteTempoRecords(EREGION* region, EVERSION v) {
  FX_SHORT(0, region, v);
}

twobyte FX_GetWindowCount(EVERSION v) {
  FX_SHORT(0, v);
}

twobyte FX_GetWindowInfoList(void* buffer, twobyte capacity, EVERSION v) {
  FX_SHORT(0, buffer, S16(capacity), v);
}

twobyte FX_GetCurrentWindowInfo(void* info, EVERSION v) {
  FX_SHORT(0, info, v);
}

twobyte FX_GetCurrentWindow(EVERSION v) {
  FX_SHORT(0, v);
}

twobyte FX_SetCurrentWindow(twobyte window, EVERSION v) {
  FX_SHORT(0, S16(window), v);
}

twobyte FX_ProcessMidiData(void* data, fourbyte size, EVERSION v) {
  FX_SHORT(-1, data, size, v);
}

twobyte FX_QueryK2Slot(twobyte slot, EVERSION v) {
  FX_SHORT(0, S16(slot), v);
}

twobyte FX_QueryAriaSlot(twobyte slot, EVERSION v) {
  FX_SHORT(0, S16(slot), v);
}

twobyte FX_SetCurrentPartInView(twobyte part, EVERSION v) {
  FX_SHORT(0, S16(part), v);
}

const char* FX_GetPartName(twobyte part, EVERSION v) {
  FX_RAW(const char*, " ", S16(part), v);
}

twobyte FX_CountParts(EVERSION v) {
  FX_SHORT(-1, v);
}

fourbyte FX_CopyCutMusic(void* record28, twobyte mode, EVERSION v) {
  FX_RAW(fourbyte, 0, record28, S16(mode), v);
}

bool FX_InsertMergeMusic(fourbyte token, void* record28, twobyte flags, EVERSION v) {
  static fxbridge::HostProc proc_;
  // an 8-bit boolean: the low byte of the host's answer
  return (fxbridge::Raw<fourbyte>(proc_, __func__, 0, token, record28, S16(flags), v) & 0xFF) != 0;
}

bool FX_DisposeFinClipFileToken(fourbyte token, EVERSION v) {
  static fxbridge::HostProc proc_;
  // an 8-bit boolean: the low byte of the host's answer
  return (fxbridge::Raw<fourbyte>(proc_, __func__, 0, token, v) & 0xFF) != 0;
}

bool FX_SetDefaultMusicFont(twobyte font, EVERSION v) {
  static fxbridge::HostProc proc_;
  // an 8-bit boolean: the low byte of the host's answer
  return (fxbridge::Raw<fourbyte>(proc_, __func__, 0, S16(font), v) & 0xFF) != 0;
}

twobyte FX_OpenHelpItem(const char* item, EVERSION v) {
  FX_SHORT(0, item, v);
}

twobyte FX_GetTextEncoding(EVERSION v) {
  FX_SHORT(-2, v);
}

twobyte FX_GetSMPParts(void* buffer, twobyte capacity, EVERSION v) {
  FX_SHORT(0, buffer, S16(capacity), v);
}

twobyte FX_GetPlaybackSystem(EVERSION v) {
  FX_SHORT(-1, v);
}

twobyte FX_AutoRehearsalInsert(twobyte measure, EVERSION v) {
  FX_SHORT(0, S16(measure), v);
}

twobyte FX_GetPercMapRefData(twobyte staff, void* result, EVERSION v) {
  FX_SHORT(0, S16(staff), result, v);
}

utwobyte FX_CreatePercMapRefData(twobyte staff, EVERSION v) {
  static fxbridge::HostProc proc_;
  return static_cast<utwobyte>(fxbridge::Raw<fourbyte>(proc_, __func__, 0, S16(staff), v));
}

twobyte FX_GetEntryMetrics2009a(void* entry, void* metrics, EVERSION v) {
  FX_SHORT(0, entry, metrics, v);
}

twobyte FX_GetTGFEntryMetrics2009a(EXTGF2005a* frame, twobyte index, void* metrics, EVERSION v) {
  FX_SHORT(0, frame, S16(index), metrics, v);
}

twobyte FX_GetMeasureMetrics(twobyte measure, twobyte staff, void* metrics, EVERSION v) {
  FX_SHORT(0, S16(measure), S16(staff), metrics, v);
}

twobyte FX_FreeEntryMetrics(void* metrics, EVERSION v) {
  FX_SHORT(0, metrics, v);
}

twobyte FX_FreeMeasureMetrics(void* metrics, EVERSION v) {
  FX_SHORT(0, metrics, v);
}
