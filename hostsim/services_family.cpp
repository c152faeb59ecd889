// Host services: The rest of the host family: logged, answering 0 (or the answer a test sets).
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_RebeamRegion, (void* region, int32_t flags, uint32_t v)) {
  Log(FX_RebeamRegion_service, {Slot(region), Slot(flags)}, v);
  return Answer(FX_RebeamRegion_service, 0);
}

HOST_SERVICE(int32_t, FX_RebarRegion, (void* region, int32_t flags, uint32_t v)) {
  Log(FX_RebarRegion_service, {Slot(region), Slot(flags)}, v);
  return Answer(FX_RebarRegion_service, 0);
}

HOST_SERVICE(int32_t, FX_ShowHideDlgItem, (void* dialog, int32_t id, int32_t show, uint32_t v)) {
  Log(FX_ShowHideDlgItem_service, {Slot(dialog), Slot(id), Slot(show)}, v);
  return Answer(FX_ShowHideDlgItem_service, 0);
}

HOST_SERVICE(int32_t, FX_SetDlgFocus, (void* dialog, int32_t id, uint32_t v)) {
  Log(FX_SetDlgFocus_service, {Slot(dialog), Slot(id)}, v);
  return Answer(FX_SetDlgFocus_service, 0);
}

HOST_SERVICE(int32_t, FX_GetDlgCntlVal, (void* dialog, int32_t id, int32_t kind, uint32_t v)) {
  Log(FX_GetDlgCntlVal_service, {Slot(dialog), Slot(id), Slot(kind)}, v);
  return Answer(FX_GetDlgCntlVal_service, 0);
}

HOST_SERVICE(int32_t, FX_SetDlgCntlVal,
             (void* dialog, int32_t id, int32_t kind, int32_t value, uint32_t v)) {
  Log(FX_SetDlgCntlVal_service, {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer(FX_SetDlgCntlVal_service, 0);
}

HOST_SERVICE(void*, FX_GetDlgCntl, (void* dialog, int32_t id, uint32_t v)) {
  Log(FX_GetDlgCntl_service, {Slot(dialog), Slot(id)}, v);
  return nullptr;
}

HOST_SERVICE(int32_t, FX_ScrollTo, (int32_t measure, int32_t staff, uint32_t v)) {
  Log(FX_ScrollTo_service, {Slot(measure), Slot(staff)}, v);
  return Answer(FX_ScrollTo_service, 0);
}

HOST_SERVICE(int32_t, FX_Playback, (void* region, uint32_t v)) {
  Log(FX_Playback_service, {Slot(region)}, v);
  return Answer(FX_Playback_service, 0);
}

HOST_SERVICE(int32_t, FX_ListenToMidi, (void* buffer, int32_t count, uint32_t v)) {
  Log(FX_ListenToMidi_service, {Slot(buffer), Slot(count)}, v);
  return Answer(FX_ListenToMidi_service, 0);
}

HOST_SERVICE(int32_t, FX_FontNameToNum, (const void* name, uint32_t v)) {
  Log(FX_FontNameToNum_service, {Slot(name)}, v);
  return Answer(FX_FontNameToNum_service, 0);
}

HOST_SERVICE(int32_t, FX_FontNumToName, (int32_t font, void* buffer, uint32_t v)) {
  Log(FX_FontNumToName_service, {Slot(font), Slot(buffer)}, v);
  return Answer(FX_FontNumToName_service, 0);
}

HOST_SERVICE(int32_t, FX_CopyMidi, (void* region, uint32_t v)) {
  Log(FX_CopyMidi_service, {Slot(region)}, v);
  return Answer(FX_CopyMidi_service, 0);
}

HOST_SERVICE(int32_t, FX_PasteMidi, (void* region, uint32_t v)) {
  Log(FX_PasteMidi_service, {Slot(region)}, v);
  return Answer(FX_PasteMidi_service, 0);
}

HOST_SERVICE(int32_t, FX_NoteMover, (void* entry, int32_t amount, uint32_t v)) {
  Log(FX_NoteMover_service, {Slot(entry), Slot(amount)}, v);
  return Answer(FX_NoteMover_service, 0);
}

HOST_SERVICE(int32_t, FX_GetKeySig, (int32_t staff, int32_t measure, uint32_t v)) {
  Log(FX_GetKeySig_service, {Slot(staff), Slot(measure)}, v);
  return Answer(FX_GetKeySig_service, 0);
}

HOST_SERVICE(int32_t, FX_SelectNote,
             (void* frame, int32_t entryindex, int32_t noteindex, uint32_t v)) {
  Log(FX_SelectNote_service, {Slot(frame), Slot(entryindex), Slot(noteindex)}, v);
  return Answer(FX_SelectNote_service, 0);
}

HOST_SERVICE(int32_t, FX_SetTimer, (void* window, int32_t id, int32_t milliseconds, uint32_t v)) {
  Log(FX_SetTimer_service, {Slot(window), Slot(id), Slot(milliseconds)}, v);
  return Answer(FX_SetTimer_service, 0);
}

HOST_SERVICE(int32_t, FX_KillTimer, (void* window, int32_t id, uint32_t v)) {
  Log(FX_KillTimer_service, {Slot(window), Slot(id)}, v);
  return Answer(FX_KillTimer_service, 0);
}

HOST_SERVICE(int32_t, FX_MidiNoteToString, (int32_t midikey, void* buffer, uint32_t v)) {
  Log(FX_MidiNoteToString_service, {Slot(midikey), Slot(buffer)}, v);
  return Answer(FX_MidiNoteToString_service, 0);
}

HOST_SERVICE(int32_t, FX_StringToMidiNote, (const void* text, uint32_t v)) {
  Log(FX_StringToMidiNote_service, {Slot(text)}, v);
  return Answer(FX_StringToMidiNote_service, 0);
}

HOST_SERVICE(int32_t, FX_GetSyllable,
             (int32_t kind, int32_t number, int32_t syllable, void* buffer, uint32_t v)) {
  Log(FX_GetSyllable_service, {Slot(kind), Slot(number), Slot(syllable), Slot(buffer)}, v);
  return Answer(FX_GetSyllable_service, 0);
}

HOST_SERVICE(int32_t, FX_SyllableInfo,
             (int32_t kind, int32_t number, int32_t syllable, void* info, uint32_t v)) {
  Log(FX_SyllableInfo_service, {Slot(kind), Slot(number), Slot(syllable), Slot(info)}, v);
  return Answer(FX_SyllableInfo_service, 0);
}

HOST_SERVICE(int32_t, FX_ParseCaretCommand, (const void* text, void* result, uint32_t v)) {
  Log(FX_ParseCaretCommand_service, {Slot(text), Slot(result)}, v);
  return Answer(FX_ParseCaretCommand_service, 0);
}

HOST_SERVICE(int32_t, FX_UpdateLayout, (int32_t page, uint32_t v)) {
  Log(FX_UpdateLayout_service, {Slot(page)}, v);
  return Answer(FX_UpdateLayout_service, 0);
}

HOST_SERVICE(int32_t, FX_GetEntryMetrics, (void* entry, void* metrics, uint32_t v)) {
  Log(FX_GetEntryMetrics_service, {Slot(entry), Slot(metrics)}, v);
  return Answer(FX_GetEntryMetrics_service, 0);
}

HOST_SERVICE(int32_t, FX_GetTGFEntryMetrics,
             (void* frame, int32_t index, void* metrics, uint32_t v)) {
  Log(FX_GetTGFEntryMetrics_service, {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer(FX_GetTGFEntryMetrics_service, 0);
}

HOST_SERVICE(int32_t, FX_FontDialog, (void* parent, void* fontinfo, uint32_t v)) {
  Log(FX_FontDialog_service, {Slot(parent), Slot(fontinfo)}, v);
  return Answer(FX_FontDialog_service, 0);
}

HOST_SERVICE(int32_t, FX_SymbolDialog, (void* parent, int32_t font, int32_t symbol, uint32_t v)) {
  Log(FX_SymbolDialog_service, {Slot(parent), Slot(font), Slot(symbol)}, v);
  return Answer(FX_SymbolDialog_service, 0);
}

HOST_SERVICE(int32_t, FX_SelectionDialog, (int32_t kind, int32_t item, void* result, uint32_t v)) {
  Log(FX_SelectionDialog_service, {Slot(kind), Slot(item), Slot(result)}, v);
  return Answer(FX_SelectionDialog_service, 0);
}

HOST_SERVICE(int32_t, FX_GetMeasureDuration, (int32_t staff, int32_t measure, uint32_t v)) {
  Log(FX_GetMeasureDuration_service, {Slot(staff), Slot(measure)}, v);
  return Answer(FX_GetMeasureDuration_service, 0);
}

HOST_SERVICE(int32_t, FX_GetTGFDuration, (void* frame, uint32_t v)) {
  Log(FX_GetTGFDuration_service, {Slot(frame)}, v);
  return Answer(FX_GetTGFDuration_service, 0);
}

HOST_SERVICE(int32_t, FX_StartMassEdit, (uint32_t v)) {
  Log(FX_StartMassEdit_service, {}, v);
  return Answer(FX_StartMassEdit_service, 0);
}

HOST_SERVICE(int32_t, FX_EndMassEdit, (uint32_t v)) {
  Log(FX_EndMassEdit_service, {}, v);
  return Answer(FX_EndMassEdit_service, 0);
}

HOST_SERVICE(int32_t, FX_MassEditProgress, (int32_t done, int32_t total, uint32_t v)) {
  Log(FX_MassEditProgress_service, {Slot(done), Slot(total)}, v);
  return Answer(FX_MassEditProgress_service, 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentEnigmaDocument, (int32_t document, uint32_t v)) {
  Log(FX_SetCurrentEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_SetCurrentEnigmaDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_GetNextEnigmaDocument, (int32_t document, uint32_t v)) {
  Log(FX_GetNextEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_GetNextEnigmaDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_GetGraphicPath, (int32_t id, void* buffer, uint32_t v)) {
  Log(FX_GetGraphicPath_service, {Slot(id), Slot(buffer)}, v);
  return Answer(FX_GetGraphicPath_service, 0);
}

HOST_SERVICE(int32_t, FX_CreateGraphic, (const void* path, void* result, uint32_t v)) {
  Log(FX_CreateGraphic_service, {Slot(path), Slot(result)}, v);
  return Answer(FX_CreateGraphic_service, 0);
}

HOST_SERVICE(int32_t, FX_GetDocumentPath, (int32_t document, void* buffer, uint32_t v)) {
  Log(FX_GetDocumentPath_service, {Slot(document), Slot(buffer)}, v);
  return Answer(FX_GetDocumentPath_service, 0);
}

HOST_SERVICE(int32_t, FX_SelectExpressionDialog,
             (void* parent, int32_t kind, int32_t item, uint32_t v)) {
  Log(FX_SelectExpressionDialog_service, {Slot(parent), Slot(kind), Slot(item)}, v);
  return Answer(FX_SelectExpressionDialog_service, 0);
}

HOST_SERVICE(int32_t, FX_MassMover, (void* region, int32_t amount, uint32_t v)) {
  Log(FX_MassMover_service, {Slot(region), Slot(amount)}, v);
  return Answer(FX_MassMover_service, 0);
}

HOST_SERVICE(int32_t, FX_RebuildMenuSystem, (uint32_t v)) {
  Log(FX_RebuildMenuSystem_service, {}, v);
  return Answer(FX_RebuildMenuSystem_service, 0);
}

HOST_SERVICE(int32_t, FX_EnableBusyDetection, (int32_t state, uint32_t v)) {
  Log(FX_EnableBusyDetection_service, {Slot(state)}, v);
  return Answer(FX_EnableBusyDetection_service, 0);
}

HOST_SERVICE(int32_t, FX_AnalyzeChord, (void* entry, void* result, uint32_t v)) {
  Log(FX_AnalyzeChord_service, {Slot(entry), Slot(result)}, v);
  return Answer(FX_AnalyzeChord_service, 0);
}

HOST_SERVICE(int32_t, FX_InsertMeasures, (int32_t at, int32_t count, uint32_t v)) {
  Log(FX_InsertMeasures_service, {Slot(at), Slot(count)}, v);
  return Answer(FX_InsertMeasures_service, 0);
}

HOST_SERVICE(int32_t, FX_DeleteMeasures, (int32_t first, int32_t last, uint32_t v)) {
  Log(FX_DeleteMeasures_service, {Slot(first), Slot(last)}, v);
  return Answer(FX_DeleteMeasures_service, 0);
}

HOST_SERVICE(int32_t, FX_NewEnigmaDocument, (void* options, uint32_t v)) {
  Log(FX_NewEnigmaDocument_service, {Slot(options)}, v);
  return Answer(FX_NewEnigmaDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_CloseEnigmaDocument, (int32_t document, uint32_t v)) {
  Log(FX_CloseEnigmaDocument_service, {Slot(document)}, v);
  return Answer(FX_CloseEnigmaDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_IsEnigmaDocumentDirty, (int32_t document, uint32_t v)) {
  Log(FX_IsEnigmaDocumentDirty_service, {Slot(document)}, v);
  return Answer(FX_IsEnigmaDocumentDirty_service, 0);
}

HOST_SERVICE(int32_t, FX_SetEnigmaDocumentDirty, (int32_t document, int32_t dirty, uint32_t v)) {
  Log(FX_SetEnigmaDocumentDirty_service, {Slot(document), Slot(dirty)}, v);
  return Answer(FX_SetEnigmaDocumentDirty_service, 0);
}

HOST_SERVICE(int32_t, FX_GetPrintSettings, (void* settings, uint32_t v)) {
  Log(FX_GetPrintSettings_service, {Slot(settings)}, v);
  return Answer(FX_GetPrintSettings_service, 0);
}

HOST_SERVICE(int32_t, FX_PrintCurrentDocument, (void* settings, uint32_t v)) {
  Log(FX_PrintCurrentDocument_service, {Slot(settings)}, v);
  return Answer(FX_PrintCurrentDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_PrintDocument, (int32_t document, void* settings, uint32_t v)) {
  Log(FX_PrintDocument_service, {Slot(document), Slot(settings)}, v);
  return Answer(FX_PrintDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_PrintDocuments,
             (void* documents, int32_t count, void* settings, uint32_t v)) {
  Log(FX_PrintDocuments_service, {Slot(documents), Slot(count), Slot(settings)}, v);
  return Answer(FX_PrintDocuments_service, 0);
}

HOST_SERVICE(int32_t, FX_OpenDocument, (const void* path, int32_t flags, uint32_t v)) {
  Log(FX_OpenDocument_service, {Slot(path), Slot(flags)}, v);
  return Answer(FX_OpenDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_CloseCurrentDocumentWindow, (uint32_t v)) {
  Log(FX_CloseCurrentDocumentWindow_service, {}, v);
  return Answer(FX_CloseCurrentDocumentWindow_service, 0);
}

HOST_SERVICE(int32_t, FX_SaveDocument, (int32_t document, const void* path, uint32_t v)) {
  Log(FX_SaveDocument_service, {Slot(document), Slot(path)}, v);
  return Answer(FX_SaveDocument_service, 0);
}

HOST_SERVICE(int32_t, FX_DeleteMidiExpressions, (void* region, uint32_t v)) {
  Log(FX_DeleteMidiExpressions_service, {Slot(region)}, v);
  return Answer(FX_DeleteMidiExpressions_service, 0);
}

HOST_SERVICE(int32_t, FX_DeleteTempoRecords, (void* region, uint32_t v)) {
  Log(FX_DeleteTempoRecords_service, {Slot(region)}, v);
  return Answer(FX_DeleteTempoRecords_service, 0);
}

HOST_SERVICE(int32_t, FX_GetWindowCount, (uint32_t v)) {
  Log(FX_GetWindowCount_service, {}, v);
  return Answer(FX_GetWindowCount_service, 0);
}

HOST_SERVICE(int32_t, FX_GetWindowInfoList, (void* buffer, int32_t capacity, uint32_t v)) {
  Log(FX_GetWindowInfoList_service, {Slot(buffer), Slot(capacity)}, v);
  return Answer(FX_GetWindowInfoList_service, 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentWindowInfo, (void* info, uint32_t v)) {
  Log(FX_GetCurrentWindowInfo_service, {Slot(info)}, v);
  return Answer(FX_GetCurrentWindowInfo_service, 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentWindow, (uint32_t v)) {
  Log(FX_GetCurrentWindow_service, {}, v);
  return Answer(FX_GetCurrentWindow_service, 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentWindow, (int32_t window, uint32_t v)) {
  Log(FX_SetCurrentWindow_service, {Slot(window)}, v);
  return Answer(FX_SetCurrentWindow_service, 0);
}

HOST_SERVICE(int32_t, FX_ProcessMidiData, (void* data, int32_t size, uint32_t v)) {
  Log(FX_ProcessMidiData_service, {Slot(data), Slot(size)}, v);
  return Answer(FX_ProcessMidiData_service, 0);
}

HOST_SERVICE(int32_t, FX_QueryK2Slot, (int32_t slot, uint32_t v)) {
  Log(FX_QueryK2Slot_service, {Slot(slot)}, v);
  return Answer(FX_QueryK2Slot_service, 0);
}

HOST_SERVICE(int32_t, FX_QueryAriaSlot, (int32_t slot, uint32_t v)) {
  Log(FX_QueryAriaSlot_service, {Slot(slot)}, v);
  return Answer(FX_QueryAriaSlot_service, 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentPartInView, (int32_t part, uint32_t v)) {
  Log(FX_SetCurrentPartInView_service, {Slot(part)}, v);
  return Answer(FX_SetCurrentPartInView_service, 0);
}

HOST_SERVICE(const char*, FX_GetPartName, (int32_t part, uint32_t v)) {
  Log(FX_GetPartName_service, {Slot(part)}, v);
  // Host memory, valid until the next call.
  static std::string name;
  name = PartName(static_cast<int16_t>(part));
  return name.c_str();
}

HOST_SERVICE(int32_t, FX_CountParts, (uint32_t v)) {
  Log(FX_CountParts_service, {}, v);
  return Answer(FX_CountParts_service, 0);
}

HOST_SERVICE(int32_t, FX_CopyCutMusic, (void* record28, int32_t mode, uint32_t v)) {
  Log(FX_CopyCutMusic_service, {Slot(record28), Slot(mode)}, v);
  return Answer(FX_CopyCutMusic_service, 0);
}

HOST_SERVICE(int32_t, FX_InsertMergeMusic,
             (int32_t token, void* record28, int32_t flags, uint32_t v)) {
  Log(FX_InsertMergeMusic_service, {Slot(token), Slot(record28), Slot(flags)}, v);
  return Answer(FX_InsertMergeMusic_service, 0);
}

HOST_SERVICE(int32_t, FX_DisposeFinClipFileToken, (int32_t token, uint32_t v)) {
  Log(FX_DisposeFinClipFileToken_service, {Slot(token)}, v);
  return Answer(FX_DisposeFinClipFileToken_service, 0);
}

HOST_SERVICE(int32_t, FX_SetDefaultMusicFont, (int32_t font, uint32_t v)) {
  Log(FX_SetDefaultMusicFont_service, {Slot(font)}, v);
  return Answer(FX_SetDefaultMusicFont_service, 0);
}

HOST_SERVICE(int32_t, FX_OpenHelpItem, (const void* item, uint32_t v)) {
  Log(FX_OpenHelpItem_service, {Slot(item)}, v);
  return Answer(FX_OpenHelpItem_service, 0);
}

HOST_SERVICE(int32_t, FX_GetTextEncoding, (uint32_t v)) {
  Log(FX_GetTextEncoding_service, {}, v);
  return Answer(FX_GetTextEncoding_service, 0);
}

HOST_SERVICE(int32_t, FX_GetSMPParts, (void* buffer, int32_t capacity, uint32_t v)) {
  Log(FX_GetSMPParts_service, {Slot(buffer), Slot(capacity)}, v);
  return Answer(FX_GetSMPParts_service, 0);
}

HOST_SERVICE(int32_t, FX_GetPlaybackSystem, (uint32_t v)) {
  Log(FX_GetPlaybackSystem_service, {}, v);
  return Answer(FX_GetPlaybackSystem_service, 0);
}

HOST_SERVICE(int32_t, FX_AutoRehearsalInsert, (int32_t measure, uint32_t v)) {
  Log(FX_AutoRehearsalInsert_service, {Slot(measure)}, v);
  return Answer(FX_AutoRehearsalInsert_service, 0);
}

HOST_SERVICE(int32_t, FX_GetPercMapRefData, (int32_t staff, void* result, uint32_t v)) {
  Log(FX_GetPercMapRefData_service, {Slot(staff), Slot(result)}, v);
  return Answer(FX_GetPercMapRefData_service, 0);
}

HOST_SERVICE(int32_t, FX_CreatePercMapRefData, (int32_t staff, uint32_t v)) {
  Log(FX_CreatePercMapRefData_service, {Slot(staff)}, v);
  return Answer(FX_CreatePercMapRefData_service, 0);
}

HOST_SERVICE(int32_t, FX_GetEntryMetrics2009a, (void* entry, void* metrics, uint32_t v)) {
  Log(FX_GetEntryMetrics2009a_service, {Slot(entry), Slot(metrics)}, v);
  return Answer(FX_GetEntryMetrics2009a_service, 0);
}

HOST_SERVICE(int32_t, FX_GetTGFEntryMetrics2009a,
             (void* frame, int32_t index, void* metrics, uint32_t v)) {
  Log(FX_GetTGFEntryMetrics2009a_service, {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer(FX_GetTGFEntryMetrics2009a_service, 0);
}

HOST_SERVICE(int32_t, FX_GetMeasureMetrics,
             (int32_t measure, int32_t staff, void* metrics, uint32_t v)) {
  Log(FX_GetMeasureMetrics_service, {Slot(measure), Slot(staff), Slot(metrics)}, v);
  return Answer(FX_GetMeasureMetrics_service, 0);
}

HOST_SERVICE(int32_t, FX_FreeEntryMetrics, (void* metrics, uint32_t v)) {
  Log(FX_FreeEntryMetrics_service, {Slot(metrics)}, v);
  return Answer(FX_FreeEntryMetrics_service, 0);
}

HOST_SERVICE(int32_t, FX_FreeMeasureMetrics, (void* metrics, uint32_t v)) {
  Log(FX_FreeMeasureMetrics_service, {Slot(metrics)}, v);
  return Answer(FX_FreeMeasureMetrics_service, 0);
}
