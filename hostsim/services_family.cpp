// Host services: The rest of the host family: logged, answering 0 (or the answer a test sets).
// Until the score model serves them, each logs its call and answers a settable value.
#include "hostapi.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

HOST_SERVICE(int32_t, FX_RebeamRegion, (void* region, int32_t flags, uint32_t v)) {
  Log("FX_RebeamRegion", {Slot(region), Slot(flags)}, v);
  return Answer("FX_RebeamRegion", 0);
}

HOST_SERVICE(int32_t, FX_RebarRegion, (void* region, int32_t flags, uint32_t v)) {
  Log("FX_RebarRegion", {Slot(region), Slot(flags)}, v);
  return Answer("FX_RebarRegion", 0);
}

HOST_SERVICE(int32_t, FX_ShowHideDlgItem, (void* dialog, int32_t id, int32_t show, uint32_t v)) {
  Log("FX_ShowHideDlgItem", {Slot(dialog), Slot(id), Slot(show)}, v);
  return Answer("FX_ShowHideDlgItem", 0);
}

HOST_SERVICE(int32_t, FX_SetDlgFocus, (void* dialog, int32_t id, uint32_t v)) {
  Log("FX_SetDlgFocus", {Slot(dialog), Slot(id)}, v);
  return Answer("FX_SetDlgFocus", 0);
}

HOST_SERVICE(int32_t, FX_GetDlgCntlVal, (void* dialog, int32_t id, int32_t kind, uint32_t v)) {
  Log("FX_GetDlgCntlVal", {Slot(dialog), Slot(id), Slot(kind)}, v);
  return Answer("FX_GetDlgCntlVal", 0);
}

HOST_SERVICE(int32_t, FX_SetDlgCntlVal,
             (void* dialog, int32_t id, int32_t kind, int32_t value, uint32_t v)) {
  Log("FX_SetDlgCntlVal", {Slot(dialog), Slot(id), Slot(kind), Slot(value)}, v);
  return Answer("FX_SetDlgCntlVal", 0);
}

HOST_SERVICE(void*, FX_GetDlgCntl, (void* dialog, int32_t id, uint32_t v)) {
  Log("FX_GetDlgCntl", {Slot(dialog), Slot(id)}, v);
  return nullptr;
}

HOST_SERVICE(int32_t, FX_ScrollTo, (int32_t measure, int32_t staff, uint32_t v)) {
  Log("FX_ScrollTo", {Slot(measure), Slot(staff)}, v);
  return Answer("FX_ScrollTo", 0);
}

HOST_SERVICE(int32_t, FX_Playback, (void* region, uint32_t v)) {
  Log("FX_Playback", {Slot(region)}, v);
  return Answer("FX_Playback", 0);
}

HOST_SERVICE(int32_t, FX_ListenToMidi, (void* buffer, int32_t count, uint32_t v)) {
  Log("FX_ListenToMidi", {Slot(buffer), Slot(count)}, v);
  return Answer("FX_ListenToMidi", 0);
}

HOST_SERVICE(int32_t, FX_FontNameToNum, (const void* name, uint32_t v)) {
  Log("FX_FontNameToNum", {Slot(name)}, v);
  return Answer("FX_FontNameToNum", 0);
}

HOST_SERVICE(int32_t, FX_FontNumToName, (int32_t font, void* buffer, uint32_t v)) {
  Log("FX_FontNumToName", {Slot(font), Slot(buffer)}, v);
  return Answer("FX_FontNumToName", 0);
}

HOST_SERVICE(int32_t, FX_CopyMidi, (void* region, uint32_t v)) {
  Log("FX_CopyMidi", {Slot(region)}, v);
  return Answer("FX_CopyMidi", 0);
}

HOST_SERVICE(int32_t, FX_PasteMidi, (void* region, uint32_t v)) {
  Log("FX_PasteMidi", {Slot(region)}, v);
  return Answer("FX_PasteMidi", 0);
}

HOST_SERVICE(int32_t, FX_NoteMover, (void* entry, int32_t amount, uint32_t v)) {
  Log("FX_NoteMover", {Slot(entry), Slot(amount)}, v);
  return Answer("FX_NoteMover", 0);
}

HOST_SERVICE(int32_t, FX_GetKeySig, (int32_t staff, int32_t measure, uint32_t v)) {
  Log("FX_GetKeySig", {Slot(staff), Slot(measure)}, v);
  return Answer("FX_GetKeySig", 0);
}

HOST_SERVICE(int32_t, FX_SelectNote,
             (void* frame, int32_t entryindex, int32_t noteindex, uint32_t v)) {
  Log("FX_SelectNote", {Slot(frame), Slot(entryindex), Slot(noteindex)}, v);
  return Answer("FX_SelectNote", 0);
}

HOST_SERVICE(int32_t, FX_SetTimer, (void* window, int32_t id, int32_t milliseconds, uint32_t v)) {
  Log("FX_SetTimer", {Slot(window), Slot(id), Slot(milliseconds)}, v);
  return Answer("FX_SetTimer", 0);
}

HOST_SERVICE(int32_t, FX_KillTimer, (void* window, int32_t id, uint32_t v)) {
  Log("FX_KillTimer", {Slot(window), Slot(id)}, v);
  return Answer("FX_KillTimer", 0);
}

HOST_SERVICE(int32_t, FX_MidiNoteToString, (int32_t midikey, void* buffer, uint32_t v)) {
  Log("FX_MidiNoteToString", {Slot(midikey), Slot(buffer)}, v);
  return Answer("FX_MidiNoteToString", 0);
}

HOST_SERVICE(int32_t, FX_StringToMidiNote, (const void* text, uint32_t v)) {
  Log("FX_StringToMidiNote", {Slot(text)}, v);
  return Answer("FX_StringToMidiNote", 0);
}

HOST_SERVICE(int32_t, FX_GetSyllable,
             (int32_t kind, int32_t number, int32_t syllable, void* buffer, uint32_t v)) {
  Log("FX_GetSyllable", {Slot(kind), Slot(number), Slot(syllable), Slot(buffer)}, v);
  return Answer("FX_GetSyllable", 0);
}

HOST_SERVICE(int32_t, FX_SyllableInfo,
             (int32_t kind, int32_t number, int32_t syllable, void* info, uint32_t v)) {
  Log("FX_SyllableInfo", {Slot(kind), Slot(number), Slot(syllable), Slot(info)}, v);
  return Answer("FX_SyllableInfo", 0);
}

HOST_SERVICE(int32_t, FX_ParseCaretCommand, (const void* text, void* result, uint32_t v)) {
  Log("FX_ParseCaretCommand", {Slot(text), Slot(result)}, v);
  return Answer("FX_ParseCaretCommand", 0);
}

HOST_SERVICE(int32_t, FX_UpdateLayout, (int32_t page, uint32_t v)) {
  Log("FX_UpdateLayout", {Slot(page)}, v);
  return Answer("FX_UpdateLayout", 0);
}

HOST_SERVICE(int32_t, FX_GetEntryMetrics, (void* entry, void* metrics, uint32_t v)) {
  Log("FX_GetEntryMetrics", {Slot(entry), Slot(metrics)}, v);
  return Answer("FX_GetEntryMetrics", 0);
}

HOST_SERVICE(int32_t, FX_GetTGFEntryMetrics,
             (void* frame, int32_t index, void* metrics, uint32_t v)) {
  Log("FX_GetTGFEntryMetrics", {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer("FX_GetTGFEntryMetrics", 0);
}

HOST_SERVICE(int32_t, FX_FontDialog, (void* parent, void* fontinfo, uint32_t v)) {
  Log("FX_FontDialog", {Slot(parent), Slot(fontinfo)}, v);
  return Answer("FX_FontDialog", 0);
}

HOST_SERVICE(int32_t, FX_SymbolDialog, (void* parent, int32_t font, int32_t symbol, uint32_t v)) {
  Log("FX_SymbolDialog", {Slot(parent), Slot(font), Slot(symbol)}, v);
  return Answer("FX_SymbolDialog", 0);
}

HOST_SERVICE(int32_t, FX_SelectionDialog, (int32_t kind, int32_t item, void* result, uint32_t v)) {
  Log("FX_SelectionDialog", {Slot(kind), Slot(item), Slot(result)}, v);
  return Answer("FX_SelectionDialog", 0);
}

HOST_SERVICE(int32_t, FX_GetMeasureDuration, (int32_t staff, int32_t measure, uint32_t v)) {
  Log("FX_GetMeasureDuration", {Slot(staff), Slot(measure)}, v);
  return Answer("FX_GetMeasureDuration", 0);
}

HOST_SERVICE(int32_t, FX_GetTGFDuration, (void* frame, uint32_t v)) {
  Log("FX_GetTGFDuration", {Slot(frame)}, v);
  return Answer("FX_GetTGFDuration", 0);
}

HOST_SERVICE(int32_t, FX_StartMassEdit, (uint32_t v)) {
  Log("FX_StartMassEdit", {}, v);
  return Answer("FX_StartMassEdit", 0);
}

HOST_SERVICE(int32_t, FX_EndMassEdit, (uint32_t v)) {
  Log("FX_EndMassEdit", {}, v);
  return Answer("FX_EndMassEdit", 0);
}

HOST_SERVICE(int32_t, FX_MassEditProgress, (int32_t done, int32_t total, uint32_t v)) {
  Log("FX_MassEditProgress", {Slot(done), Slot(total)}, v);
  return Answer("FX_MassEditProgress", 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentEnigmaDocument, (int32_t document, uint32_t v)) {
  Log("FX_SetCurrentEnigmaDocument", {Slot(document)}, v);
  return Answer("FX_SetCurrentEnigmaDocument", 0);
}

HOST_SERVICE(int32_t, FX_GetNextEnigmaDocument, (int32_t document, uint32_t v)) {
  Log("FX_GetNextEnigmaDocument", {Slot(document)}, v);
  return Answer("FX_GetNextEnigmaDocument", 0);
}

HOST_SERVICE(int32_t, FX_GetGraphicPath, (int32_t id, void* buffer, uint32_t v)) {
  Log("FX_GetGraphicPath", {Slot(id), Slot(buffer)}, v);
  return Answer("FX_GetGraphicPath", 0);
}

HOST_SERVICE(int32_t, FX_CreateGraphic, (const void* path, void* result, uint32_t v)) {
  Log("FX_CreateGraphic", {Slot(path), Slot(result)}, v);
  return Answer("FX_CreateGraphic", 0);
}

HOST_SERVICE(int32_t, FX_GetDocumentPath, (int32_t document, void* buffer, uint32_t v)) {
  Log("FX_GetDocumentPath", {Slot(document), Slot(buffer)}, v);
  return Answer("FX_GetDocumentPath", 0);
}

HOST_SERVICE(int32_t, FX_SelectExpressionDialog,
             (void* parent, int32_t kind, int32_t item, uint32_t v)) {
  Log("FX_SelectExpressionDialog", {Slot(parent), Slot(kind), Slot(item)}, v);
  return Answer("FX_SelectExpressionDialog", 0);
}

HOST_SERVICE(int32_t, FX_MassMover, (void* region, int32_t amount, uint32_t v)) {
  Log("FX_MassMover", {Slot(region), Slot(amount)}, v);
  return Answer("FX_MassMover", 0);
}

HOST_SERVICE(int32_t, FX_RebuildMenuSystem, (uint32_t v)) {
  Log("FX_RebuildMenuSystem", {}, v);
  return Answer("FX_RebuildMenuSystem", 0);
}

HOST_SERVICE(int32_t, FX_EnableBusyDetection, (int32_t state, uint32_t v)) {
  Log("FX_EnableBusyDetection", {Slot(state)}, v);
  return Answer("FX_EnableBusyDetection", 0);
}

HOST_SERVICE(int32_t, FX_AnalyzeChord, (void* entry, void* result, uint32_t v)) {
  Log("FX_AnalyzeChord", {Slot(entry), Slot(result)}, v);
  return Answer("FX_AnalyzeChord", 0);
}

HOST_SERVICE(int32_t, FX_InsertMeasures, (int32_t at, int32_t count, uint32_t v)) {
  Log("FX_InsertMeasures", {Slot(at), Slot(count)}, v);
  return Answer("FX_InsertMeasures", 0);
}

HOST_SERVICE(int32_t, FX_DeleteMeasures, (int32_t first, int32_t last, uint32_t v)) {
  Log("FX_DeleteMeasures", {Slot(first), Slot(last)}, v);
  return Answer("FX_DeleteMeasures", 0);
}

HOST_SERVICE(int32_t, FX_NewEnigmaDocument, (void* options, uint32_t v)) {
  Log("FX_NewEnigmaDocument", {Slot(options)}, v);
  return Answer("FX_NewEnigmaDocument", 0);
}

HOST_SERVICE(int32_t, FX_CloseEnigmaDocument, (int32_t document, uint32_t v)) {
  Log("FX_CloseEnigmaDocument", {Slot(document)}, v);
  return Answer("FX_CloseEnigmaDocument", 0);
}

HOST_SERVICE(int32_t, FX_IsEnigmaDocumentDirty, (int32_t document, uint32_t v)) {
  Log("FX_IsEnigmaDocumentDirty", {Slot(document)}, v);
  return Answer("FX_IsEnigmaDocumentDirty", 0);
}

HOST_SERVICE(int32_t, FX_SetEnigmaDocumentDirty, (int32_t document, int32_t dirty, uint32_t v)) {
  Log("FX_SetEnigmaDocumentDirty", {Slot(document), Slot(dirty)}, v);
  return Answer("FX_SetEnigmaDocumentDirty", 0);
}

HOST_SERVICE(int32_t, FX_GetPrintSettings, (void* settings, uint32_t v)) {
  Log("FX_GetPrintSettings", {Slot(settings)}, v);
  return Answer("FX_GetPrintSettings", 0);
}

HOST_SERVICE(int32_t, FX_PrintCurrentDocument, (void* settings, uint32_t v)) {
  Log("FX_PrintCurrentDocument", {Slot(settings)}, v);
  return Answer("FX_PrintCurrentDocument", 0);
}

HOST_SERVICE(int32_t, FX_PrintDocument, (int32_t document, void* settings, uint32_t v)) {
  Log("FX_PrintDocument", {Slot(document), Slot(settings)}, v);
  return Answer("FX_PrintDocument", 0);
}

HOST_SERVICE(int32_t, FX_PrintDocuments,
             (void* documents, int32_t count, void* settings, uint32_t v)) {
  Log("FX_PrintDocuments", {Slot(documents), Slot(count), Slot(settings)}, v);
  return Answer("FX_PrintDocuments", 0);
}

HOST_SERVICE(int32_t, FX_OpenDocument, (const void* path, int32_t flags, uint32_t v)) {
  Log("FX_OpenDocument", {Slot(path), Slot(flags)}, v);
  return Answer("FX_OpenDocument", 0);
}

HOST_SERVICE(int32_t, FX_CloseCurrentDocumentWindow, (uint32_t v)) {
  Log("FX_CloseCurrentDocumentWindow", {}, v);
  return Answer("FX_CloseCurrentDocumentWindow", 0);
}

HOST_SERVICE(int32_t, FX_SaveDocument, (int32_t document, const void* path, uint32_t v)) {
  Log("FX_SaveDocument", {Slot(document), Slot(path)}, v);
  return Answer("FX_SaveDocument", 0);
}

HOST_SERVICE(int32_t, FX_DeleteMidiExpressions, (void* region, uint32_t v)) {
  Log("FX_DeleteMidiExpressions", {Slot(region)}, v);
  return Answer("FX_DeleteMidiExpressions", 0);
}

HOST_SERVICE(int32_t, FX_DeleteTempoRecords, (void* region, uint32_t v)) {
  Log("FX_DeleteTempoRecords", {Slot(region)}, v);
  return Answer("FX_DeleteTempoRecords", 0);
}

HOST_SERVICE(int32_t, FX_GetWindowCount, (uint32_t v)) {
  Log("FX_GetWindowCount", {}, v);
  return Answer("FX_GetWindowCount", 0);
}

HOST_SERVICE(int32_t, FX_GetWindowInfoList, (void* buffer, int32_t capacity, uint32_t v)) {
  Log("FX_GetWindowInfoList", {Slot(buffer), Slot(capacity)}, v);
  return Answer("FX_GetWindowInfoList", 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentWindowInfo, (void* info, uint32_t v)) {
  Log("FX_GetCurrentWindowInfo", {Slot(info)}, v);
  return Answer("FX_GetCurrentWindowInfo", 0);
}

HOST_SERVICE(int32_t, FX_GetCurrentWindow, (uint32_t v)) {
  Log("FX_GetCurrentWindow", {}, v);
  return Answer("FX_GetCurrentWindow", 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentWindow, (int32_t window, uint32_t v)) {
  Log("FX_SetCurrentWindow", {Slot(window)}, v);
  return Answer("FX_SetCurrentWindow", 0);
}

HOST_SERVICE(int32_t, FX_ProcessMidiData, (void* data, int32_t size, uint32_t v)) {
  Log("FX_ProcessMidiData", {Slot(data), Slot(size)}, v);
  return Answer("FX_ProcessMidiData", 0);
}

HOST_SERVICE(int32_t, FX_QueryK2Slot, (int32_t slot, uint32_t v)) {
  Log("FX_QueryK2Slot", {Slot(slot)}, v);
  return Answer("FX_QueryK2Slot", 0);
}

HOST_SERVICE(int32_t, FX_QueryAriaSlot, (int32_t slot, uint32_t v)) {
  Log("FX_QueryAriaSlot", {Slot(slot)}, v);
  return Answer("FX_QueryAriaSlot", 0);
}

HOST_SERVICE(int32_t, FX_SetCurrentPartInView, (int32_t part, uint32_t v)) {
  Log("FX_SetCurrentPartInView", {Slot(part)}, v);
  return Answer("FX_SetCurrentPartInView", 0);
}

HOST_SERVICE(const char*, FX_GetPartName, (int32_t part, uint32_t v)) {
  Log("FX_GetPartName", {Slot(part)}, v);
  // Host memory, valid until the next call.
  static std::string name;
  name = PartName(static_cast<int16_t>(part));
  return name.c_str();
}

HOST_SERVICE(int32_t, FX_CountParts, (uint32_t v)) {
  Log("FX_CountParts", {}, v);
  return Answer("FX_CountParts", 0);
}

HOST_SERVICE(int32_t, FX_CopyCutMusic, (void* record28, int32_t mode, uint32_t v)) {
  Log("FX_CopyCutMusic", {Slot(record28), Slot(mode)}, v);
  return Answer("FX_CopyCutMusic", 0);
}

HOST_SERVICE(int32_t, FX_InsertMergeMusic,
             (int32_t token, void* record28, int32_t flags, uint32_t v)) {
  Log("FX_InsertMergeMusic", {Slot(token), Slot(record28), Slot(flags)}, v);
  return Answer("FX_InsertMergeMusic", 0);
}

HOST_SERVICE(int32_t, FX_DisposeFinClipFileToken, (int32_t token, uint32_t v)) {
  Log("FX_DisposeFinClipFileToken", {Slot(token)}, v);
  return Answer("FX_DisposeFinClipFileToken", 0);
}

HOST_SERVICE(int32_t, FX_SetDefaultMusicFont, (int32_t font, uint32_t v)) {
  Log("FX_SetDefaultMusicFont", {Slot(font)}, v);
  return Answer("FX_SetDefaultMusicFont", 0);
}

HOST_SERVICE(int32_t, FX_OpenHelpItem, (const void* item, uint32_t v)) {
  Log("FX_OpenHelpItem", {Slot(item)}, v);
  return Answer("FX_OpenHelpItem", 0);
}

HOST_SERVICE(int32_t, FX_GetTextEncoding, (uint32_t v)) {
  Log("FX_GetTextEncoding", {}, v);
  return Answer("FX_GetTextEncoding", 0);
}

HOST_SERVICE(int32_t, FX_GetSMPParts, (void* buffer, int32_t capacity, uint32_t v)) {
  Log("FX_GetSMPParts", {Slot(buffer), Slot(capacity)}, v);
  return Answer("FX_GetSMPParts", 0);
}

HOST_SERVICE(int32_t, FX_GetPlaybackSystem, (uint32_t v)) {
  Log("FX_GetPlaybackSystem", {}, v);
  return Answer("FX_GetPlaybackSystem", 0);
}

HOST_SERVICE(int32_t, FX_AutoRehearsalInsert, (int32_t measure, uint32_t v)) {
  Log("FX_AutoRehearsalInsert", {Slot(measure)}, v);
  return Answer("FX_AutoRehearsalInsert", 0);
}

HOST_SERVICE(int32_t, FX_GetPercMapRefData, (int32_t staff, void* result, uint32_t v)) {
  Log("FX_GetPercMapRefData", {Slot(staff), Slot(result)}, v);
  return Answer("FX_GetPercMapRefData", 0);
}

HOST_SERVICE(int32_t, FX_CreatePercMapRefData, (int32_t staff, uint32_t v)) {
  Log("FX_CreatePercMapRefData", {Slot(staff)}, v);
  return Answer("FX_CreatePercMapRefData", 0);
}

HOST_SERVICE(int32_t, FX_GetEntryMetrics2009a, (void* entry, void* metrics, uint32_t v)) {
  Log("FX_GetEntryMetrics2009a", {Slot(entry), Slot(metrics)}, v);
  return Answer("FX_GetEntryMetrics2009a", 0);
}

HOST_SERVICE(int32_t, FX_GetTGFEntryMetrics2009a,
             (void* frame, int32_t index, void* metrics, uint32_t v)) {
  Log("FX_GetTGFEntryMetrics2009a", {Slot(frame), Slot(index), Slot(metrics)}, v);
  return Answer("FX_GetTGFEntryMetrics2009a", 0);
}

HOST_SERVICE(int32_t, FX_GetMeasureMetrics,
             (int32_t measure, int32_t staff, void* metrics, uint32_t v)) {
  Log("FX_GetMeasureMetrics", {Slot(measure), Slot(staff), Slot(metrics)}, v);
  return Answer("FX_GetMeasureMetrics", 0);
}

HOST_SERVICE(int32_t, FX_FreeEntryMetrics, (void* metrics, uint32_t v)) {
  Log("FX_FreeEntryMetrics", {Slot(metrics)}, v);
  return Answer("FX_FreeEntryMetrics", 0);
}

HOST_SERVICE(int32_t, FX_FreeMeasureMetrics, (void* metrics, uint32_t v)) {
  Log("FX_FreeMeasureMetrics", {Slot(metrics)}, v);
  return Answer("FX_FreeMeasureMetrics", 0);
}
