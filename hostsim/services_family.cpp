// Host services: The rest of the host family: logged, answering 0 (or the answer a test sets).
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

HOST_SERVICE(fourbyte, FX_RebeamRegion, (EREGION * region, fourbyte flags, EVERSION v)) {
  Log(FX_RebeamRegion_service, {Slot(region), Slot(flags)}, v);
  return Answer(FX_RebeamRegion_service, 0);
}

HOST_SERVICE(fourbyte, FX_RebarRegion, (EREGION * region, fourbyte flags, EVERSION v)) {
  Log(FX_RebarRegion_service, {Slot(region), Slot(flags)}, v);
  return Answer(FX_RebarRegion_service, 0);
}

HOST_SERVICE(fourbyte, FX_ShowHideDlgItem, (HWND dialog, fourbyte id, fourbyte show, EVERSION v)) {
  Log(FX_ShowHideDlgItem_service, {Slot(dialog), Slot(id), Slot(show)}, v);
  return Answer(FX_ShowHideDlgItem_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetDlgFocus, (HWND dialog, fourbyte id, EVERSION v)) {
  Log(FX_SetDlgFocus_service, {Slot(dialog), Slot(id)}, v);
  return Answer(FX_SetDlgFocus_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetDlgCntlVal, (HWND dialog, fourbyte id, fourbyte kind, EVERSION v)) {
  Log(FX_GetDlgCntlVal_service, {Slot(dialog), Slot(id), Slot(kind)}, v);
  return Answer(FX_GetDlgCntlVal_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetDlgCntlVal,
             (HWND dialog, fourbyte id, fourbyte kind, fourbyte value, EVERSION v)) {
  Log(FX_SetDlgCntlVal_service, {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer(FX_SetDlgCntlVal_service, 0);
}

HOST_SERVICE(HWND, FX_GetDlgCntl, (HWND dialog, fourbyte id, EVERSION v)) {
  Log(FX_GetDlgCntl_service, {Slot(dialog), Slot(id)}, v);
  return nullptr;
}

HOST_SERVICE(fourbyte, FX_ScrollTo, (fourbyte measure, fourbyte staff, EVERSION v)) {
  Log(FX_ScrollTo_service, {Slot(measure), Slot(staff)}, v);
  return Answer(FX_ScrollTo_service, 0);
}

HOST_SERVICE(fourbyte, FX_Playback, (EREGION * region, EVERSION v)) {
  Log(FX_Playback_service, {Slot(region)}, v);
  return Answer(FX_Playback_service, 0);
}

HOST_SERVICE(fourbyte, FX_ListenToMidi, (void* buffer, fourbyte count, EVERSION v)) {
  Log(FX_ListenToMidi_service, {Slot(buffer), Slot(count)}, v);
  return Answer(FX_ListenToMidi_service, 0);
}

HOST_SERVICE(fourbyte, FX_FontNameToNum, (const char* name, EVERSION v)) {
  Log(FX_FontNameToNum_service, {Slot(name)}, v);
  return Answer(FX_FontNameToNum_service, 0);
}

HOST_SERVICE(fourbyte, FX_FontNumToName, (fourbyte font, char* buffer, EVERSION v)) {
  Log(FX_FontNumToName_service, {Slot(font), Slot(buffer)}, v);
  return Answer(FX_FontNumToName_service, 0);
}

HOST_SERVICE(fourbyte, FX_CopyMidi, (EREGION * region, EVERSION v)) {
  Log(FX_CopyMidi_service, {Slot(region)}, v);
  return Answer(FX_CopyMidi_service, 0);
}

HOST_SERVICE(fourbyte, FX_PasteMidi, (EREGION * region, EVERSION v)) {
  Log(FX_PasteMidi_service, {Slot(region)}, v);
  return Answer(FX_PasteMidi_service, 0);
}

HOST_SERVICE(fourbyte, FX_NoteMover, (void* entry, fourbyte amount, EVERSION v)) {
  Log(FX_NoteMover_service, {Slot(entry), Slot(amount)}, v);
  return Answer(FX_NoteMover_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetKeySig, (fourbyte staff, fourbyte measure, EVERSION v)) {
  Log(FX_GetKeySig_service, {Slot(staff), Slot(measure)}, v);
  return Answer(FX_GetKeySig_service, 0);
}

HOST_SERVICE(fourbyte, FX_SelectNote,
             (EXTGF2005a * frame, fourbyte entryindex, fourbyte noteindex, EVERSION v)) {
  Log(FX_SelectNote_service, {Slot(frame), Slot(entryindex), Slot(noteindex)}, v);
  return Answer(FX_SelectNote_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetTimer, (HWND window, fourbyte id, fourbyte milliseconds, EVERSION v)) {
  Log(FX_SetTimer_service, {Slot(window), Slot(id), Slot(milliseconds)}, v);
  return Answer(FX_SetTimer_service, 0);
}

HOST_SERVICE(fourbyte, FX_KillTimer, (HWND window, fourbyte id, EVERSION v)) {
  Log(FX_KillTimer_service, {Slot(window), Slot(id)}, v);
  return Answer(FX_KillTimer_service, 0);
}

HOST_SERVICE(fourbyte, FX_MidiNoteToString, (fourbyte midikey, char* buffer, EVERSION v)) {
  Log(FX_MidiNoteToString_service, {Slot(midikey), Slot(buffer)}, v);
  return Answer(FX_MidiNoteToString_service, 0);
}

HOST_SERVICE(fourbyte, FX_StringToMidiNote, (const char* text, EVERSION v)) {
  Log(FX_StringToMidiNote_service, {Slot(text)}, v);
  return Answer(FX_StringToMidiNote_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetSyllable,
             (fourbyte kind, fourbyte number, fourbyte syllable, char* buffer, EVERSION v)) {
  Log(FX_GetSyllable_service, {Slot(kind), Slot(number), Slot(syllable), Slot(buffer)}, v);
  return Answer(FX_GetSyllable_service, 0);
}

HOST_SERVICE(fourbyte, FX_SyllableInfo,
             (fourbyte kind, fourbyte number, fourbyte syllable, void* info, EVERSION v)) {
  Log(FX_SyllableInfo_service, {Slot(kind), Slot(number), Slot(syllable), Slot(info)}, v);
  return Answer(FX_SyllableInfo_service, 0);
}

HOST_SERVICE(fourbyte, FX_ParseCaretCommand, (const char* text, void* result, EVERSION v)) {
  Log(FX_ParseCaretCommand_service, {Slot(text), Slot(result)}, v);
  return Answer(FX_ParseCaretCommand_service, 0);
}

HOST_SERVICE(fourbyte, FX_UpdateLayout, (fourbyte page, EVERSION v)) {
  Log(FX_UpdateLayout_service, {Slot(page)}, v);
  return Answer(FX_UpdateLayout_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetEntryMetrics, (void* entry, void* metrics, EVERSION v)) {
  Log(FX_GetEntryMetrics_service, {Slot(entry), Slot(metrics)}, v);
  return Answer(FX_GetEntryMetrics_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetTGFEntryMetrics,
             (EXTGF2005a * frame, fourbyte index, void* metrics, EVERSION v)) {
  Log(FX_GetTGFEntryMetrics_service, {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer(FX_GetTGFEntryMetrics_service, 0);
}

HOST_SERVICE(fourbyte, FX_FontDialog, (HWND parent, void* fontinfo, EVERSION v)) {
  Log(FX_FontDialog_service, {Slot(parent), Slot(fontinfo)}, v);
  return Answer(FX_FontDialog_service, 0);
}

HOST_SERVICE(fourbyte, FX_SymbolDialog, (HWND parent, fourbyte font, fourbyte symbol, EVERSION v)) {
  Log(FX_SymbolDialog_service, {Slot(parent), Slot(font), Slot(symbol)}, v);
  return Answer(FX_SymbolDialog_service, 0);
}

HOST_SERVICE(fourbyte, FX_SelectionDialog,
             (fourbyte kind, fourbyte item, void* result, EVERSION v)) {
  Log(FX_SelectionDialog_service, {Slot(kind), Slot(item), Slot(result)}, v);
  return Answer(FX_SelectionDialog_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetMeasureDuration, (fourbyte staff, fourbyte measure, EVERSION v)) {
  Log(FX_GetMeasureDuration_service, {Slot(staff), Slot(measure)}, v);
  return Answer(FX_GetMeasureDuration_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetTGFDuration, (EXTGF2005a * frame, EVERSION v)) {
  Log(FX_GetTGFDuration_service, {Slot(frame)}, v);
  return Answer(FX_GetTGFDuration_service, 0);
}

HOST_SERVICE(fourbyte, FX_StartMassEdit, (EVERSION v)) {
  Log(FX_StartMassEdit_service, {}, v);
  return Answer(FX_StartMassEdit_service, 0);
}

HOST_SERVICE(fourbyte, FX_EndMassEdit, (EVERSION v)) {
  Log(FX_EndMassEdit_service, {}, v);
  return Answer(FX_EndMassEdit_service, 0);
}

HOST_SERVICE(fourbyte, FX_MassEditProgress, (fourbyte done, fourbyte total, EVERSION v)) {
  Log(FX_MassEditProgress_service, {Slot(done), Slot(total)}, v);
  return Answer(FX_MassEditProgress_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetCurrentEnigmaDocument, (fourbyte document, EVERSION v)) {
  Log(FX_SetCurrentEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_SetCurrentEnigmaDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetNextEnigmaDocument, (fourbyte document, EVERSION v)) {
  Log(FX_GetNextEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_GetNextEnigmaDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetGraphicPath, (fourbyte id, char* buffer, EVERSION v)) {
  Log(FX_GetGraphicPath_service, {Slot(id), Slot(buffer)}, v);
  return Answer(FX_GetGraphicPath_service, 0);
}

HOST_SERVICE(fourbyte, FX_CreateGraphic, (const char* path, void* result, EVERSION v)) {
  Log(FX_CreateGraphic_service, {Slot(path), Slot(result)}, v);
  return Answer(FX_CreateGraphic_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetDocumentPath, (fourbyte document, char* buffer, EVERSION v)) {
  Log(FX_GetDocumentPath_service, {Slot(document), Slot(buffer)}, v);
  return Answer(FX_GetDocumentPath_service, 0);
}

HOST_SERVICE(fourbyte, FX_SelectExpressionDialog,
             (HWND parent, fourbyte kind, fourbyte item, EVERSION v)) {
  Log(FX_SelectExpressionDialog_service, {Slot(parent), Slot(kind), Slot(item)}, v);
  return Answer(FX_SelectExpressionDialog_service, 0);
}

HOST_SERVICE(fourbyte, FX_MassMover, (EREGION * region, fourbyte amount, EVERSION v)) {
  Log(FX_MassMover_service, {Slot(region), Slot(amount)}, v);
  return Answer(FX_MassMover_service, 0);
}

HOST_SERVICE(fourbyte, FX_RebuildMenuSystem, (EVERSION v)) {
  Log(FX_RebuildMenuSystem_service, {}, v);
  return Answer(FX_RebuildMenuSystem_service, 0);
}

HOST_SERVICE(fourbyte, FX_EnableBusyDetection, (fourbyte state, EVERSION v)) {
  Log(FX_EnableBusyDetection_service, {Slot(state)}, v);
  return Answer(FX_EnableBusyDetection_service, 0);
}

HOST_SERVICE(fourbyte, FX_AnalyzeChord, (void* entry, void* result, EVERSION v)) {
  Log(FX_AnalyzeChord_service, {Slot(entry), Slot(result)}, v);
  return Answer(FX_AnalyzeChord_service, 0);
}

HOST_SERVICE(fourbyte, FX_InsertMeasures, (fourbyte at, fourbyte count, EVERSION v)) {
  Log(FX_InsertMeasures_service, {Slot(at), Slot(count)}, v);
  return Answer(FX_InsertMeasures_service, 0);
}

HOST_SERVICE(fourbyte, FX_DeleteMeasures, (fourbyte first, fourbyte last, EVERSION v)) {
  Log(FX_DeleteMeasures_service, {Slot(first), Slot(last)}, v);
  return Answer(FX_DeleteMeasures_service, 0);
}

HOST_SERVICE(fourbyte, FX_NewEnigmaDocument, (void* options, EVERSION v)) {
  Log(FX_NewEnigmaDocument_service, {Slot(options)}, v);
  return Answer(FX_NewEnigmaDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_CloseEnigmaDocument, (fourbyte document, EVERSION v)) {
  Log(FX_CloseEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_CloseEnigmaDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_IsEnigmaDocumentDirty, (fourbyte document, EVERSION v)) {
  Log(FX_IsEnigmaDocumentDirty_service, {Slot(document)}, v);
  return Answer(FX_IsEnigmaDocumentDirty_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetEnigmaDocumentDirty, (fourbyte document, fourbyte dirty, EVERSION v)) {
  Log(FX_SetEnigmaDocumentDirty_service, {Slot(document), Slot(dirty)}, v);
  return Answer(FX_SetEnigmaDocumentDirty_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetPrintSettings, (void* settings, EVERSION v)) {
  Log(FX_GetPrintSettings_service, {Slot(settings)}, v);
  return Answer(FX_GetPrintSettings_service, 0);
}

HOST_SERVICE(fourbyte, FX_PrintCurrentDocument, (void* settings, EVERSION v)) {
  Log(FX_PrintCurrentDocument_service, {Slot(settings)}, v);
  return Answer(FX_PrintCurrentDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_PrintDocument, (fourbyte document, void* settings, EVERSION v)) {
  Log(FX_PrintDocument_service, {Slot(document), Slot(settings)}, v);
  return Answer(FX_PrintDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_PrintDocuments,
             (void* documents, fourbyte count, void* settings, EVERSION v)) {
  Log(FX_PrintDocuments_service, {Slot(documents), Slot(count), Slot(settings)}, v);
  return Answer(FX_PrintDocuments_service, 0);
}

HOST_SERVICE(fourbyte, FX_OpenDocument, (const char* path, fourbyte flags, EVERSION v)) {
  Log(FX_OpenDocument_service, {Slot(path), Slot(flags)}, v);
  return Answer(FX_OpenDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_CloseCurrentDocumentWindow, (EVERSION v)) {
  Log(FX_CloseCurrentDocumentWindow_service, {}, v);
  return Answer(FX_CloseCurrentDocumentWindow_service, 0);
}

HOST_SERVICE(fourbyte, FX_SaveDocument, (fourbyte document, const char* path, EVERSION v)) {
  Log(FX_SaveDocument_service, {Slot(document), Slot(path)}, v);
  return Answer(FX_SaveDocument_service, 0);
}

HOST_SERVICE(fourbyte, FX_DeleteMidiExpressions, (EREGION * region, EVERSION v)) {
  Log(FX_DeleteMidiExpressions_service, {Slot(region)}, v);
  return Answer(FX_DeleteMidiExpressions_service, 0);
}

HOST_SERVICE(fourbyte, FX_DeleteTempoRecords, (EREGION * region, EVERSION v)) {
  Log(FX_DeleteTempoRecords_service, {Slot(region)}, v);
  return Answer(FX_DeleteTempoRecords_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetWindowCount, (EVERSION v)) {
  Log(FX_GetWindowCount_service, {}, v);
  return Answer(FX_GetWindowCount_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetWindowInfoList, (void* buffer, fourbyte capacity, EVERSION v)) {
  Log(FX_GetWindowInfoList_service, {Slot(buffer), Slot(capacity)}, v);
  return Answer(FX_GetWindowInfoList_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetCurrentWindowInfo, (void* info, EVERSION v)) {
  Log(FX_GetCurrentWindowInfo_service, {Slot(info)}, v);
  return Answer(FX_GetCurrentWindowInfo_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetCurrentWindow, (EVERSION v)) {
  Log(FX_GetCurrentWindow_service, {}, v);
  return Answer(FX_GetCurrentWindow_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetCurrentWindow, (fourbyte window, EVERSION v)) {
  Log(FX_SetCurrentWindow_service, {Slot(window)}, v);
  return Answer(FX_SetCurrentWindow_service, 0);
}

HOST_SERVICE(fourbyte, FX_ProcessMidiData, (void* data, fourbyte size, EVERSION v)) {
  Log(FX_ProcessMidiData_service, {Slot(data), Slot(size)}, v);
  return Answer(FX_ProcessMidiData_service, 0);
}

HOST_SERVICE(fourbyte, FX_QueryK2Slot, (fourbyte slot, EVERSION v)) {
  Log(FX_QueryK2Slot_service, {Slot(slot)}, v);
  return Answer(FX_QueryK2Slot_service, 0);
}

HOST_SERVICE(fourbyte, FX_QueryAriaSlot, (fourbyte slot, EVERSION v)) {
  Log(FX_QueryAriaSlot_service, {Slot(slot)}, v);
  return Answer(FX_QueryAriaSlot_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetCurrentPartInView, (fourbyte part, EVERSION v)) {
  Log(FX_SetCurrentPartInView_service, {Slot(part)}, v);
  return Answer(FX_SetCurrentPartInView_service, 0);
}

HOST_SERVICE(const char*, FX_GetPartName, (fourbyte part, EVERSION v)) {
  Log(FX_GetPartName_service, {Slot(part)}, v);
  // Host memory, valid until the next call.
  static std::string name;
  name = PartName(static_cast<int16_t>(part));
  return name.c_str();
}

HOST_SERVICE(fourbyte, FX_CountParts, (EVERSION v)) {
  Log(FX_CountParts_service, {}, v);
  return Answer(FX_CountParts_service, 0);
}

HOST_SERVICE(fourbyte, FX_CopyCutMusic, (void* record28, fourbyte mode, EVERSION v)) {
  Log(FX_CopyCutMusic_service, {Slot(record28), Slot(mode)}, v);
  return Answer(FX_CopyCutMusic_service, 0);
}

HOST_SERVICE(fourbyte, FX_InsertMergeMusic,
             (fourbyte token, void* record28, fourbyte flags, EVERSION v)) {
  Log(FX_InsertMergeMusic_service, {Slot(token), Slot(record28), Slot(flags)}, v);
  return Answer(FX_InsertMergeMusic_service, 0);
}

HOST_SERVICE(fourbyte, FX_DisposeFinClipFileToken, (fourbyte token, EVERSION v)) {
  Log(FX_DisposeFinClipFileToken_service, {Slot(token)}, v);
  return Answer(FX_DisposeFinClipFileToken_service, 0);
}

HOST_SERVICE(fourbyte, FX_SetDefaultMusicFont, (fourbyte font, EVERSION v)) {
  Log(FX_SetDefaultMusicFont_service, {Slot(font)}, v);
  return Answer(FX_SetDefaultMusicFont_service, 0);
}

HOST_SERVICE(fourbyte, FX_OpenHelpItem, (const char* item, EVERSION v)) {
  Log(FX_OpenHelpItem_service, {Slot(item)}, v);
  return Answer(FX_OpenHelpItem_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetTextEncoding, (EVERSION v)) {
  Log(FX_GetTextEncoding_service, {}, v);
  return Answer(FX_GetTextEncoding_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetSMPParts, (void* buffer, fourbyte capacity, EVERSION v)) {
  Log(FX_GetSMPParts_service, {Slot(buffer), Slot(capacity)}, v);
  return Answer(FX_GetSMPParts_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetPlaybackSystem, (EVERSION v)) {
  Log(FX_GetPlaybackSystem_service, {}, v);
  return Answer(FX_GetPlaybackSystem_service, 0);
}

HOST_SERVICE(fourbyte, FX_AutoRehearsalInsert, (fourbyte measure, EVERSION v)) {
  Log(FX_AutoRehearsalInsert_service, {Slot(measure)}, v);
  return Answer(FX_AutoRehearsalInsert_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetPercMapRefData, (fourbyte staff, void* result, EVERSION v)) {
  Log(FX_GetPercMapRefData_service, {Slot(staff), Slot(result)}, v);
  return Answer(FX_GetPercMapRefData_service, 0);
}

HOST_SERVICE(fourbyte, FX_CreatePercMapRefData, (fourbyte staff, EVERSION v)) {
  Log(FX_CreatePercMapRefData_service, {Slot(staff)}, v);
  return Answer(FX_CreatePercMapRefData_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetEntryMetrics2009a, (void* entry, void* metrics, EVERSION v)) {
  Log(FX_GetEntryMetrics2009a_service, {Slot(entry), Slot(metrics)}, v);
  return Answer(FX_GetEntryMetrics2009a_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetTGFEntryMetrics2009a,
             (EXTGF2005a * frame, fourbyte index, void* metrics, EVERSION v)) {
  Log(FX_GetTGFEntryMetrics2009a_service, {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer(FX_GetTGFEntryMetrics2009a_service, 0);
}

HOST_SERVICE(fourbyte, FX_GetMeasureMetrics,
             (fourbyte measure, fourbyte staff, void* metrics, EVERSION v)) {
  Log(FX_GetMeasureMetrics_service, {Slot(measure), Slot(staff), Slot(metrics)}, v);
  return Answer(FX_GetMeasureMetrics_service, 0);
}

HOST_SERVICE(fourbyte, FX_FreeEntryMetrics, (void* metrics, EVERSION v)) {
  Log(FX_FreeEntryMetrics_service, {Slot(metrics)}, v);
  return Answer(FX_FreeEntryMetrics_service, 0);
}

HOST_SERVICE(fourbyte, FX_FreeMeasureMetrics, (void* metrics, EVERSION v)) {
  Log(FX_FreeMeasureMetrics_service, {Slot(metrics)}, v);
  return Answer(FX_FreeMeasureMetrics_service, 0);
}
