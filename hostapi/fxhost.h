// The host's services as the host defines them: the function type of each, with every
// argument in its 32-bit slot (16-bit values widened) and the host's calling convention. The
// bridge calls the host through exactly these types, and the host simulator defines its
// services with them: a call through a pointer of another function type is undefined, and on
// the 32-bit host an argument of another size would unbalance the stack.
#pragma once
#include "hostapi/fxtypes.h"

// The dialog procedure the host calls: dialog, message, the two message parameters, and the
// data the caller gave FX_Dialog. The parameters are 32-bit on the host; they are pointer-wide
// here so that the native build can carry pointers (WM_NOTIFY, WM_GETMINMAXINFO) in them.
typedef fourbyte(WINAPI* FX_DIALOGPROC)(HWND, UINT, WPARAM, LPARAM, void*);

namespace fxhost {
typedef fourbyte WINAPI FX_GetMaxLayers(EVERSION);
typedef EXTGF2005a* WINAPI FX_LoadTGF(fourbyte, fourbyte, fourbyte, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SaveTGF(EXTGF2005a*, EVERSION);
typedef fourbyte WINAPI FX_FreeTGF(EXTGF2005a*, EVERSION);
typedef fourbyte WINAPI FX_DeleteEXENTRY(EXTGF2005a*, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_AlertMessage(fourbyte, fourbyte, fourbyte, const char*, EVERSION);
typedef fourbyte WINAPI FX_LoadEData(EXTAG, void*, void*, fourbyte*, EVERSION);
typedef fourbyte WINAPI FX_SaveEData(EXTAG, void*, void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_CreateEData(EXTAG, void*, void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_DeleteEData(EXTAG, void*, EVERSION);
typedef fourbyte WINAPI FX_NextEData(EXTAG, void*, void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_PreviousEData(EXTAG, void*, void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_Dialog(fourbyte, FX_DIALOGPROC, HWND, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_EndDialog(HWND, EVERSION);
typedef fourbyte WINAPI FX_EnableDlgItem(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetDlgItemVal(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetDlgItemVal(HWND, fourbyte, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetDlgItemUser(HWND, fourbyte, fourbyte, double*, EVERSION);
typedef fourbyte WINAPI FX_SetDlgItemUser(HWND, fourbyte, fourbyte, double, EVERSION);
typedef fourbyte WINAPI FX_GetDlgString(HWND, fourbyte, char*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetDlgString(HWND, fourbyte, const char*, EVERSION);
typedef fourbyte WINAPI FX_SlotToInst(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_InstToSlot(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetCurERegions(fourbyte*, EREGION*, void*, EVERSION);
typedef fourbyte WINAPI FX_SetCurERegion(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_RedrawMusic(void*, EVERSION);
typedef fourbyte WINAPI FX_NoteToMidi(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetShowLayer(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetCurrentEnigmaDocument(EVERSION);
typedef fourbyte WINAPI FX_GetFinalePath(fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_StartFinaleEdit(const char*, EVERSION);
typedef fourbyte WINAPI FX_EndFinaleEdit(EVERSION);
typedef fourbyte WINAPI FX_CancelFinaleEdit(EVERSION);
typedef fourbyte WINAPI FX_ExecuteMenuItem(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetCurrentPartID(EVERSION);
typedef fourbyte WINAPI FX_SetCurrentPartID(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetNextPartID(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_InsertEXENTRY(EXTGF2005a*, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_RebeamRegion(EREGION*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_RebarRegion(EREGION*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_ShowHideDlgItem(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetDlgFocus(HWND, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetDlgCntlVal(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetDlgCntlVal(HWND, fourbyte, fourbyte, fourbyte, EVERSION);
typedef HWND WINAPI FX_GetDlgCntl(HWND, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_ScrollTo(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_Playback(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_ListenToMidi(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_FontNameToNum(const char*, EVERSION);
typedef fourbyte WINAPI FX_FontNumToName(fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_CopyMidi(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_PasteMidi(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_NoteMover(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetKeySig(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SelectNote(EXTGF2005a*, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetTimer(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_KillTimer(HWND, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_MidiNoteToString(fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_StringToMidiNote(const char*, EVERSION);
typedef fourbyte WINAPI FX_GetSyllable(fourbyte, fourbyte, fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_SyllableInfo(fourbyte, fourbyte, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_ParseCaretCommand(const char*, void*, EVERSION);
typedef fourbyte WINAPI FX_UpdateLayout(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetEntryMetrics(void*, void*, EVERSION);
typedef fourbyte WINAPI FX_GetTGFEntryMetrics(EXTGF2005a*, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_FontDialog(HWND, void*, EVERSION);
typedef fourbyte WINAPI FX_SymbolDialog(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SelectionDialog(fourbyte, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_GetMeasureDuration(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetTGFDuration(EXTGF2005a*, EVERSION);
typedef fourbyte WINAPI FX_ReduceEntries(EXTGF2005a*, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_StartMassEdit(EVERSION);
typedef fourbyte WINAPI FX_EndMassEdit(EVERSION);
typedef fourbyte WINAPI FX_MassEditProgress(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetCurrentEnigmaDocument(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetNextEnigmaDocument(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetGraphicPath(fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_CreateGraphic(const char*, void*, EVERSION);
typedef fourbyte WINAPI FX_GetDocumentPath(fourbyte, char*, EVERSION);
typedef fourbyte WINAPI FX_SelectExpressionDialog(HWND, fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_MassMover(EREGION*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_RebuildMenuSystem(EVERSION);
typedef fourbyte WINAPI FX_EnableBusyDetection(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_AnalyzeChord(void*, void*, EVERSION);
typedef fourbyte WINAPI FX_InsertMeasures(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_DeleteMeasures(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_NewEnigmaDocument(void*, EVERSION);
typedef fourbyte WINAPI FX_CloseEnigmaDocument(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_IsEnigmaDocumentDirty(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetEnigmaDocumentDirty(fourbyte, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetPrintSettings(void*, EVERSION);
typedef fourbyte WINAPI FX_PrintCurrentDocument(void*, EVERSION);
typedef fourbyte WINAPI FX_PrintDocument(fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_PrintDocuments(void*, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_OpenDocument(const char*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_CloseCurrentDocumentWindow(EVERSION);
typedef fourbyte WINAPI FX_SaveDocument(fourbyte, const char*, EVERSION);
typedef fourbyte WINAPI FX_DeleteMidiExpressions(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_DeleteTempoRecords(EREGION*, EVERSION);
typedef fourbyte WINAPI FX_GetWindowCount(EVERSION);
typedef fourbyte WINAPI FX_GetWindowInfoList(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetCurrentWindowInfo(void*, EVERSION);
typedef fourbyte WINAPI FX_GetCurrentWindow(EVERSION);
typedef fourbyte WINAPI FX_SetCurrentWindow(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_ProcessMidiData(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_QueryK2Slot(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_QueryAriaSlot(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetCurrentPartInView(fourbyte, EVERSION);
typedef const char* WINAPI FX_GetPartName(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_CountParts(EVERSION);
typedef fourbyte WINAPI FX_CopyCutMusic(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_InsertMergeMusic(fourbyte, void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_DisposeFinClipFileToken(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_SetDefaultMusicFont(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_OpenHelpItem(const char*, EVERSION);
typedef fourbyte WINAPI FX_GetTextEncoding(EVERSION);
typedef fourbyte WINAPI FX_GetSMPParts(void*, fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetPlaybackSystem(EVERSION);
typedef fourbyte WINAPI FX_AutoRehearsalInsert(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetPercMapRefData(fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_CreatePercMapRefData(fourbyte, EVERSION);
typedef fourbyte WINAPI FX_GetEntryMetrics2009a(void*, void*, EVERSION);
typedef fourbyte WINAPI FX_GetTGFEntryMetrics2009a(EXTGF2005a*, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_GetMeasureMetrics(fourbyte, fourbyte, void*, EVERSION);
typedef fourbyte WINAPI FX_FreeEntryMetrics(void*, EVERSION);
typedef fourbyte WINAPI FX_FreeMeasureMetrics(void*, EVERSION);
} // namespace fxhost
