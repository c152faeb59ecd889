// The host's services, as the rest of the plug-in calls them. Each function has the host
// function's exported name and arguments; the version word comes last. The bridge binds the
// host's function by name at the first call, narrows 16-bit arguments and results, keeps
// the counters of open host resources and answers a fallback when the host lacks a service.
#pragma once
#include "hostapi/fxhost.h"
#include "hostapi/fxtypes.h"

// Entry frames handed out by the host and not yet given back.
extern fourbyte LoadedTGFCounter;
// Open host edit transactions; guards the end and cancel calls.
extern fourbyte FinaleEditDepth;
// Takes back the count of an edit start the host refused: it opened nothing, and no end or
// cancel follows it.
void ForgetRefusedFinaleEdit();
// Open mass edits.
extern fourbyte MassEditDepth;

// The host executable's module, looked up once per process ("FINALE.EXE", then "FINDEMO.EXE").
HMODULE GetFinaleHandle();

// ---- Services the framework calls -------------------------------------------------------
twobyte FX_GetMaxLayers(EVERSION v = FINALEVERSION);
EXTGF2005a* FX_LoadTGF(utwobyte instlist, twobyte slot, twobyte measure, twobyte layer,
                       twobyte flag, EVERSION v = FINALEVERSION);
twobyte FX_SaveTGF(EXTGF2005a* frame, EVERSION v = FINALEVERSION);
fourbyte FX_FreeTGF(EXTGF2005a* frame, EVERSION v = FINALEVERSION);
twobyte FX_DeleteEXENTRY(EXTGF2005a* frame, twobyte index, twobyte count,
                         EVERSION v = FINALEVERSION);
twobyte FX_AlertMessage(fourbyte a, utwobyte b, fourbyte c, const char* text,
                        EVERSION v = FINALEVERSION);

twobyte FX_LoadEData(EXTAG tag, void* key, void* buffer, fourbyte* size, EVERSION v);
twobyte FX_SaveEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v);
twobyte FX_CreateEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v);
twobyte FX_DeleteEData(EXTAG tag, void* key, EVERSION v);
twobyte FX_NextEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v);
twobyte FX_PreviousEData(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v);

fourbyte FX_Dialog(twobyte resid, FX_DIALOGPROC proc, HWND parent, twobyte modal, void* data,
                   EVERSION v = FINALEVERSION);
fourbyte FX_EndDialog(HWND dialog, EVERSION v = FINALEVERSION);
fourbyte FX_EnableDlgItem(HWND dialog, fourbyte id, twobyte state, EVERSION v = FINALEVERSION);
fourbyte FX_GetDlgItemVal(HWND dialog, fourbyte id, twobyte kind, EVERSION v = FINALEVERSION);
fourbyte FX_SetDlgItemVal(HWND dialog, fourbyte id, twobyte kind, fourbyte value,
                          EVERSION v = FINALEVERSION);
fourbyte FX_GetDlgItemUser(HWND dialog, fourbyte id, twobyte kind, double* value,
                           EVERSION v = FINALEVERSION);
fourbyte FX_SetDlgItemUser(HWND dialog, fourbyte id, twobyte kind, double value,
                           EVERSION v = FINALEVERSION);
fourbyte FX_GetDlgString(HWND dialog, fourbyte id, char* buffer, twobyte capacity,
                         EVERSION v = FINALEVERSION);
fourbyte FX_SetDlgString(HWND dialog, fourbyte id, const char* text, EVERSION v = FINALEVERSION);

twobyte FX_SlotToInst(twobyte slot, utwobyte instlist, EVERSION v = FINALEVERSION);
twobyte FX_InstToSlot(twobyte staff, utwobyte instlist, EVERSION v = FINALEVERSION);
twobyte FX_GetCurERegions(fourbyte* unused, EREGION* selection, void* area32,
                          EVERSION v = FINALEVERSION);
fourbyte FX_SetCurERegion(EREGION* region, EVERSION v = FINALEVERSION);
fourbyte FX_RedrawMusic(void* area32, EVERSION v = FINALEVERSION);
twobyte FX_NoteToMidi(void* noteslot, twobyte keyword, EVERSION v = FINALEVERSION);
twobyte FX_GetShowLayer(twobyte layer, EVERSION v = FINALEVERSION);
twobyte FX_GetCurrentEnigmaDocument(EVERSION v = FINALEVERSION);
twobyte FX_GetFinalePath(fourbyte kind, char* buffer, EVERSION v = FINALEVERSION);
fourbyte FX_StartFinaleEdit(const char* undotext, EVERSION v = FINALEVERSION);
twobyte FX_EndFinaleEdit(EVERSION v = FINALEVERSION);
void FX_CancelFinaleEdit(EVERSION v = FINALEVERSION);
twobyte FX_ExecuteMenuItem(fourbyte item, EVERSION v = FINALEVERSION);
twobyte FX_GetCurrentPartID(EVERSION v = FINALEVERSION);
fourbyte FX_SetCurrentPartID(twobyte part, EVERSION v = FINALEVERSION);
twobyte FX_GetNextPartID(twobyte part, EVERSION v = FINALEVERSION);

// ---- The rest of the family: present for other tools, not called by the chord tool -------
twobyte FX_InsertEXENTRY(EXTGF2005a* frame, twobyte index, twobyte count,
                         EVERSION v = FINALEVERSION);
fourbyte FX_RebeamRegion(EREGION* region, twobyte flags, EVERSION v = FINALEVERSION);
fourbyte FX_RebarRegion(EREGION* region, twobyte flags, EVERSION v = FINALEVERSION);
fourbyte FX_ShowHideDlgItem(HWND dialog, fourbyte id, twobyte show, EVERSION v = FINALEVERSION);
fourbyte FX_SetDlgFocus(HWND dialog, fourbyte id, EVERSION v = FINALEVERSION);
fourbyte FX_GetDlgCntlVal(HWND dialog, fourbyte id, twobyte kind, EVERSION v = FINALEVERSION);
fourbyte FX_SetDlgCntlVal(HWND dialog, fourbyte id, twobyte kind, fourbyte value,
                          EVERSION v = FINALEVERSION);
HWND FX_GetDlgCntl(HWND dialog, fourbyte id, EVERSION v = FINALEVERSION);
fourbyte FX_ScrollTo(twobyte measure, twobyte staff, EVERSION v = FINALEVERSION);
fourbyte FX_Playback(EREGION* region, EVERSION v = FINALEVERSION);
fourbyte FX_ListenToMidi(void* buffer, twobyte count, EVERSION v = FINALEVERSION);
twobyte FX_FontNameToNum(const char* name, EVERSION v = FINALEVERSION);
twobyte FX_FontNumToName(twobyte font, char* buffer, EVERSION v = FINALEVERSION);
fourbyte FX_CopyMidi(EREGION* region, EVERSION v = FINALEVERSION);
fourbyte FX_PasteMidi(EREGION* region, EVERSION v = FINALEVERSION);
fourbyte FX_NoteMover(void* entry, twobyte amount, EVERSION v = FINALEVERSION);
twobyte FX_GetKeySig(twobyte staff, twobyte measure, EVERSION v = FINALEVERSION);
fourbyte FX_SelectNote(EXTGF2005a* frame, twobyte entryindex, twobyte noteindex,
                       EVERSION v = FINALEVERSION);
fourbyte FX_SetTimer(HWND window, utwobyte id, fourbyte milliseconds, EVERSION v = FINALEVERSION);
fourbyte FX_KillTimer(HWND window, utwobyte id, EVERSION v = FINALEVERSION);
fourbyte FX_MidiNoteToString(twobyte midikey, char* buffer, EVERSION v = FINALEVERSION);
twobyte FX_StringToMidiNote(const char* text, EVERSION v = FINALEVERSION);
twobyte FX_GetSyllable(twobyte kind, twobyte number, twobyte syllable, char* buffer,
                       EVERSION v = FINALEVERSION);
twobyte FX_SyllableInfo(twobyte kind, twobyte number, twobyte syllable, void* info,
                        EVERSION v = FINALEVERSION);
fourbyte FX_ParseCaretCommand(const char* text, void* result, EVERSION v = FINALEVERSION);
fourbyte FX_UpdateLayout(twobyte page, EVERSION v = FINALEVERSION);
twobyte FX_GetEntryMetrics(void* entry, void* metrics, EVERSION v = FINALEVERSION);
twobyte FX_GetTGFEntryMetrics(EXTGF2005a* frame, twobyte index, void* metrics,
                              EVERSION v = FINALEVERSION);
twobyte FX_FontDialog(HWND parent, void* fontinfo, EVERSION v = FINALEVERSION);
twobyte FX_SymbolDialog(HWND parent, twobyte font, twobyte symbol, EVERSION v = FINALEVERSION);
twobyte FX_SelectionDialog(twobyte kind, twobyte item, void* result, EVERSION v = FINALEVERSION);
fourbyte FX_GetMeasureDuration(twobyte staff, twobyte measure, EVERSION v = FINALEVERSION);
fourbyte FX_GetTGFDuration(EXTGF2005a* frame, EVERSION v = FINALEVERSION);
twobyte FX_ReduceEntries(EXTGF2005a* frame, twobyte index, twobyte count,
                         EVERSION v = FINALEVERSION);
fourbyte FX_StartMassEdit(EVERSION v = FINALEVERSION);
fourbyte FX_EndMassEdit(EVERSION v = FINALEVERSION);
twobyte FX_MassEditProgress(fourbyte done, fourbyte total, EVERSION v = FINALEVERSION);
twobyte FX_SetCurrentEnigmaDocument(twobyte document, EVERSION v = FINALEVERSION);
twobyte FX_GetNextEnigmaDocument(twobyte document, EVERSION v = FINALEVERSION);
twobyte FX_GetGraphicPath(twobyte id, char* buffer, EVERSION v = FINALEVERSION);
twobyte FX_CreateGraphic(const char* path, void* result, EVERSION v = FINALEVERSION);
twobyte FX_GetDocumentPath(twobyte document, char* buffer, EVERSION v = FINALEVERSION);
twobyte FX_SelectExpressionDialog(HWND parent, twobyte kind, twobyte item,
                                  EVERSION v = FINALEVERSION);
twobyte FX_MassMover(EREGION* region, twobyte amount, EVERSION v = FINALEVERSION);
twobyte FX_RebuildMenuSystem(EVERSION v = FINALEVERSION);
twobyte FX_EnableBusyDetection(twobyte state, EVERSION v = FINALEVERSION);
twobyte FX_AnalyzeChord(void* entry, void* result, EVERSION v = FINALEVERSION);
twobyte FX_InsertMeasures(twobyte at, twobyte count, EVERSION v = FINALEVERSION);
twobyte FX_DeleteMeasures(twobyte first, twobyte last, EVERSION v = FINALEVERSION);
twobyte FX_NewEnigmaDocument(void* options, EVERSION v = FINALEVERSION);
twobyte FX_CloseEnigmaDocument(twobyte document, EVERSION v = FINALEVERSION);
twobyte FX_IsEnigmaDocumentDirty(twobyte document, EVERSION v = FINALEVERSION);
twobyte FX_SetEnigmaDocumentDirty(twobyte document, twobyte dirty, EVERSION v = FINALEVERSION);
twobyte FX_GetPrintSettings(void* settings, EVERSION v = FINALEVERSION);
twobyte FX_PrintCurrentDocument(void* settings, EVERSION v = FINALEVERSION);
twobyte FX_PrintDocument(twobyte document, void* settings, EVERSION v = FINALEVERSION);
twobyte FX_PrintDocuments(void* documents, twobyte count, void* settings,
                          EVERSION v = FINALEVERSION);
twobyte FX_OpenDocument(const char* path, twobyte flags, EVERSION v = FINALEVERSION);
twobyte FX_CloseCurrentDocumentWindow(EVERSION v = FINALEVERSION);
twobyte FX_SaveDocument(twobyte document, const char* path, EVERSION v = FINALEVERSION);
twobyte FX_DeleteMidiExpressions(EREGION* region, EVERSION v = FINALEVERSION);
twobyte FX_DeleteTempoRecords(EREGION* region, EVERSION v = FINALEVERSION);
twobyte FX_GetWindowCount(EVERSION v = FINALEVERSION);
twobyte FX_GetWindowInfoList(void* buffer, twobyte capacity, EVERSION v = FINALEVERSION);
twobyte FX_GetCurrentWindowInfo(void* info, EVERSION v = FINALEVERSION);
twobyte FX_GetCurrentWindow(EVERSION v = FINALEVERSION);
twobyte FX_SetCurrentWindow(twobyte window, EVERSION v = FINALEVERSION);
twobyte FX_ProcessMidiData(void* data, fourbyte size, EVERSION v = FINALEVERSION);
twobyte FX_QueryK2Slot(twobyte slot, EVERSION v = FINALEVERSION);
twobyte FX_QueryAriaSlot(twobyte slot, EVERSION v = FINALEVERSION);
twobyte FX_SetCurrentPartInView(twobyte part, EVERSION v = FINALEVERSION);
const char* FX_GetPartName(twobyte part, EVERSION v = FINALEVERSION);
twobyte FX_CountParts(EVERSION v = FINALEVERSION);
fourbyte FX_CopyCutMusic(void* record28, twobyte mode, EVERSION v = FINALEVERSION);
bool FX_InsertMergeMusic(fourbyte token, void* record28, twobyte flags, EVERSION v = FINALEVERSION);
bool FX_DisposeFinClipFileToken(fourbyte token, EVERSION v = FINALEVERSION);
bool FX_SetDefaultMusicFont(twobyte font, EVERSION v = FINALEVERSION);
twobyte FX_OpenHelpItem(const char* item, EVERSION v = FINALEVERSION);
twobyte FX_GetTextEncoding(EVERSION v = FINALEVERSION);
twobyte FX_GetSMPParts(void* buffer, twobyte capacity, EVERSION v = FINALEVERSION);
twobyte FX_GetPlaybackSystem(EVERSION v = FINALEVERSION);
twobyte FX_AutoRehearsalInsert(twobyte measure, EVERSION v = FINALEVERSION);
twobyte FX_GetPercMapRefData(twobyte staff, void* result, EVERSION v = FINALEVERSION);
utwobyte FX_CreatePercMapRefData(twobyte staff, EVERSION v = FINALEVERSION);
twobyte FX_GetEntryMetrics2009a(void* entry, void* metrics, EVERSION v = FINALEVERSION);
twobyte FX_GetTGFEntryMetrics2009a(EXTGF2005a* frame, twobyte index, void* metrics,
                                   EVERSION v = FINALEVERSION);
twobyte FX_GetMeasureMetrics(twobyte measure, twobyte staff, void* metrics,
                             EVERSION v = FINALEVERSION);
twobyte FX_FreeEntryMetrics(void* metrics, EVERSION v = FINALEVERSION);
twobyte FX_FreeMeasureMetrics(void* metrics, EVERSION v = FINALEVERSION);
