// Host services: The rest of the host family: logged, answering 0 (or the answer a test sets).
// Until the score model serves them, each logs its call and answers a settable value.
#include "exports.h"
#include "hostsim.h"
#include "score.h"

using namespace hostsim;

// A service that logs its call and answers 0, or the answer a test set.
#define ANSWERING_SERVICE(name, params, ...)                                                       \
  HOST_SERVICE(fourbyte, name, params) {                                                           \
    Log(name##_service, {__VA_ARGS__}, v);                                                         \
    return Answer(name##_service, 0);                                                              \
  }

ANSWERING_SERVICE(FX_RebeamRegion, (EREGION * region, fourbyte flags, EVERSION v), Slot(region),
                  Slot(flags))

ANSWERING_SERVICE(FX_RebarRegion, (EREGION * region, fourbyte flags, EVERSION v), Slot(region),
                  Slot(flags))

ANSWERING_SERVICE(FX_ShowHideDlgItem, (HWND dialog, fourbyte id, fourbyte show, EVERSION v),
                  Slot(dialog), Slot(id), Slot(show))

ANSWERING_SERVICE(FX_SetDlgFocus, (HWND dialog, fourbyte id, EVERSION v), Slot(dialog), Slot(id))

ANSWERING_SERVICE(FX_GetDlgCntlVal, (HWND dialog, fourbyte id, fourbyte kind, EVERSION v),
                  Slot(dialog), Slot(id), Slot(kind))

ANSWERING_SERVICE(FX_SetDlgCntlVal,
                  (HWND dialog, fourbyte id, fourbyte kind, fourbyte value, EVERSION v),
                  Slot(dialog), Slot(id), Slot(kind), Slot(value))

HOST_SERVICE(HWND, FX_GetDlgCntl, (HWND dialog, fourbyte id, EVERSION v)) {
  Log(FX_GetDlgCntl_service, {Slot(dialog), Slot(id)}, v);
  return nullptr;
}

ANSWERING_SERVICE(FX_ScrollTo, (fourbyte measure, fourbyte staff, EVERSION v), Slot(measure),
                  Slot(staff))

ANSWERING_SERVICE(FX_Playback, (EREGION * region, EVERSION v), Slot(region))

ANSWERING_SERVICE(FX_ListenToMidi, (void* buffer, fourbyte count, EVERSION v), Slot(buffer),
                  Slot(count))

ANSWERING_SERVICE(FX_FontNameToNum, (const char* name, EVERSION v), Slot(name))

ANSWERING_SERVICE(FX_FontNumToName, (fourbyte font, char* buffer, EVERSION v), Slot(font),
                  Slot(buffer))

ANSWERING_SERVICE(FX_CopyMidi, (EREGION * region, EVERSION v), Slot(region))

ANSWERING_SERVICE(FX_PasteMidi, (EREGION * region, EVERSION v), Slot(region))

ANSWERING_SERVICE(FX_NoteMover, (void* entry, fourbyte amount, EVERSION v), Slot(entry),
                  Slot(amount))

ANSWERING_SERVICE(FX_GetKeySig, (fourbyte staff, fourbyte measure, EVERSION v), Slot(staff),
                  Slot(measure))

ANSWERING_SERVICE(FX_SelectNote,
                  (EXTGF2005a * frame, fourbyte entryindex, fourbyte noteindex, EVERSION v),
                  Slot(frame), Slot(entryindex), Slot(noteindex))

ANSWERING_SERVICE(FX_SetTimer, (HWND window, fourbyte id, fourbyte milliseconds, EVERSION v),
                  Slot(window), Slot(id), Slot(milliseconds))

ANSWERING_SERVICE(FX_KillTimer, (HWND window, fourbyte id, EVERSION v), Slot(window), Slot(id))

ANSWERING_SERVICE(FX_MidiNoteToString, (fourbyte midikey, char* buffer, EVERSION v), Slot(midikey),
                  Slot(buffer))

ANSWERING_SERVICE(FX_StringToMidiNote, (const char* text, EVERSION v), Slot(text))

ANSWERING_SERVICE(FX_GetSyllable,
                  (fourbyte kind, fourbyte number, fourbyte syllable, char* buffer, EVERSION v),
                  Slot(kind), Slot(number), Slot(syllable), Slot(buffer))

ANSWERING_SERVICE(FX_SyllableInfo,
                  (fourbyte kind, fourbyte number, fourbyte syllable, void* info, EVERSION v),
                  Slot(kind), Slot(number), Slot(syllable), Slot(info))

ANSWERING_SERVICE(FX_ParseCaretCommand, (const char* text, void* result, EVERSION v), Slot(text),
                  Slot(result))

ANSWERING_SERVICE(FX_UpdateLayout, (fourbyte page, EVERSION v), Slot(page))

ANSWERING_SERVICE(FX_GetEntryMetrics, (void* entry, void* metrics, EVERSION v), Slot(entry),
                  Slot(metrics))

ANSWERING_SERVICE(FX_GetTGFEntryMetrics,
                  (EXTGF2005a * frame, fourbyte index, void* metrics, EVERSION v), Slot(frame),
                  Slot(index), Slot(metrics))

ANSWERING_SERVICE(FX_FontDialog, (HWND parent, void* fontinfo, EVERSION v), Slot(parent),
                  Slot(fontinfo))

ANSWERING_SERVICE(FX_SymbolDialog, (HWND parent, fourbyte font, fourbyte symbol, EVERSION v),
                  Slot(parent), Slot(font), Slot(symbol))

ANSWERING_SERVICE(FX_SelectionDialog, (fourbyte kind, fourbyte item, void* result, EVERSION v),
                  Slot(kind), Slot(item), Slot(result))

ANSWERING_SERVICE(FX_GetMeasureDuration, (fourbyte staff, fourbyte measure, EVERSION v),
                  Slot(staff), Slot(measure))

ANSWERING_SERVICE(FX_GetTGFDuration, (EXTGF2005a * frame, EVERSION v), Slot(frame))

ANSWERING_SERVICE(FX_StartMassEdit, (EVERSION v))

ANSWERING_SERVICE(FX_EndMassEdit, (EVERSION v))

ANSWERING_SERVICE(FX_MassEditProgress, (fourbyte done, fourbyte total, EVERSION v), Slot(done),
                  Slot(total))

ANSWERING_SERVICE(FX_SetCurrentEnigmaDocument, (fourbyte document, EVERSION v), Slot(document))

ANSWERING_SERVICE(FX_GetNextEnigmaDocument, (fourbyte document, EVERSION v), Slot(document))

ANSWERING_SERVICE(FX_GetGraphicPath, (fourbyte id, char* buffer, EVERSION v), Slot(id),
                  Slot(buffer))

ANSWERING_SERVICE(FX_CreateGraphic, (const char* path, void* result, EVERSION v), Slot(path),
                  Slot(result))

ANSWERING_SERVICE(FX_GetDocumentPath, (fourbyte document, char* buffer, EVERSION v), Slot(document),
                  Slot(buffer))

ANSWERING_SERVICE(FX_SelectExpressionDialog,
                  (HWND parent, fourbyte kind, fourbyte item, EVERSION v), Slot(parent), Slot(kind),
                  Slot(item))

ANSWERING_SERVICE(FX_MassMover, (EREGION * region, fourbyte amount, EVERSION v), Slot(region),
                  Slot(amount))

ANSWERING_SERVICE(FX_RebuildMenuSystem, (EVERSION v))

ANSWERING_SERVICE(FX_EnableBusyDetection, (fourbyte state, EVERSION v), Slot(state))

ANSWERING_SERVICE(FX_AnalyzeChord, (void* entry, void* result, EVERSION v), Slot(entry),
                  Slot(result))

ANSWERING_SERVICE(FX_InsertMeasures, (fourbyte at, fourbyte count, EVERSION v), Slot(at),
                  Slot(count))

ANSWERING_SERVICE(FX_DeleteMeasures, (fourbyte first, fourbyte last, EVERSION v), Slot(first),
                  Slot(last))

ANSWERING_SERVICE(FX_NewEnigmaDocument, (void* options, EVERSION v), Slot(options))

ANSWERING_SERVICE(FX_CloseEnigmaDocument, (fourbyte document, EVERSION v), Slot(document))

ANSWERING_SERVICE(FX_IsEnigmaDocumentDirty, (fourbyte document, EVERSION v), Slot(document))

ANSWERING_SERVICE(FX_SetEnigmaDocumentDirty, (fourbyte document, fourbyte dirty, EVERSION v),
                  Slot(document), Slot(dirty))

ANSWERING_SERVICE(FX_GetPrintSettings, (void* settings, EVERSION v), Slot(settings))

ANSWERING_SERVICE(FX_PrintCurrentDocument, (void* settings, EVERSION v), Slot(settings))

ANSWERING_SERVICE(FX_PrintDocument, (fourbyte document, void* settings, EVERSION v), Slot(document),
                  Slot(settings))

ANSWERING_SERVICE(FX_PrintDocuments, (void* documents, fourbyte count, void* settings, EVERSION v),
                  Slot(documents), Slot(count), Slot(settings))

ANSWERING_SERVICE(FX_OpenDocument, (const char* path, fourbyte flags, EVERSION v), Slot(path),
                  Slot(flags))

ANSWERING_SERVICE(FX_CloseCurrentDocumentWindow, (EVERSION v))

ANSWERING_SERVICE(FX_SaveDocument, (fourbyte document, const char* path, EVERSION v),
                  Slot(document), Slot(path))

ANSWERING_SERVICE(FX_DeleteMidiExpressions, (EREGION * region, EVERSION v), Slot(region))

ANSWERING_SERVICE(FX_DeleteTempoRecords, (EREGION * region, EVERSION v), Slot(region))

ANSWERING_SERVICE(FX_GetWindowCount, (EVERSION v))

ANSWERING_SERVICE(FX_GetWindowInfoList, (void* buffer, fourbyte capacity, EVERSION v), Slot(buffer),
                  Slot(capacity))

ANSWERING_SERVICE(FX_GetCurrentWindowInfo, (void* info, EVERSION v), Slot(info))

ANSWERING_SERVICE(FX_GetCurrentWindow, (EVERSION v))

ANSWERING_SERVICE(FX_SetCurrentWindow, (fourbyte window, EVERSION v), Slot(window))

ANSWERING_SERVICE(FX_ProcessMidiData, (void* data, fourbyte size, EVERSION v), Slot(data),
                  Slot(size))

ANSWERING_SERVICE(FX_QueryK2Slot, (fourbyte slot, EVERSION v), Slot(slot))

ANSWERING_SERVICE(FX_QueryAriaSlot, (fourbyte slot, EVERSION v), Slot(slot))

ANSWERING_SERVICE(FX_SetCurrentPartInView, (fourbyte part, EVERSION v), Slot(part))

HOST_SERVICE(const char*, FX_GetPartName, (fourbyte part, EVERSION v)) {
  Log(FX_GetPartName_service, {Slot(part)}, v);
  // Host memory, valid until the next call.
  static std::string name;
  name = PartName(static_cast<int16_t>(part));
  return name.c_str();
}

ANSWERING_SERVICE(FX_CountParts, (EVERSION v))

ANSWERING_SERVICE(FX_CopyCutMusic, (void* record28, fourbyte mode, EVERSION v), Slot(record28),
                  Slot(mode))

ANSWERING_SERVICE(FX_InsertMergeMusic, (fourbyte token, void* record28, fourbyte flags, EVERSION v),
                  Slot(token), Slot(record28), Slot(flags))

ANSWERING_SERVICE(FX_DisposeFinClipFileToken, (fourbyte token, EVERSION v), Slot(token))

ANSWERING_SERVICE(FX_SetDefaultMusicFont, (fourbyte font, EVERSION v), Slot(font))

ANSWERING_SERVICE(FX_OpenHelpItem, (const char* item, EVERSION v), Slot(item))

ANSWERING_SERVICE(FX_GetTextEncoding, (EVERSION v))

ANSWERING_SERVICE(FX_GetSMPParts, (void* buffer, fourbyte capacity, EVERSION v), Slot(buffer),
                  Slot(capacity))

ANSWERING_SERVICE(FX_GetPlaybackSystem, (EVERSION v))

ANSWERING_SERVICE(FX_AutoRehearsalInsert, (fourbyte measure, EVERSION v), Slot(measure))

ANSWERING_SERVICE(FX_GetPercMapRefData, (fourbyte staff, void* result, EVERSION v), Slot(staff),
                  Slot(result))

ANSWERING_SERVICE(FX_CreatePercMapRefData, (fourbyte staff, EVERSION v), Slot(staff))

ANSWERING_SERVICE(FX_GetEntryMetrics2009a, (void* entry, void* metrics, EVERSION v), Slot(entry),
                  Slot(metrics))

ANSWERING_SERVICE(FX_GetTGFEntryMetrics2009a,
                  (EXTGF2005a * frame, fourbyte index, void* metrics, EVERSION v), Slot(frame),
                  Slot(index), Slot(metrics))

ANSWERING_SERVICE(FX_GetMeasureMetrics,
                  (fourbyte measure, fourbyte staff, void* metrics, EVERSION v), Slot(measure),
                  Slot(staff), Slot(metrics))

ANSWERING_SERVICE(FX_FreeEntryMetrics, (void* metrics, EVERSION v), Slot(metrics))

ANSWERING_SERVICE(FX_FreeMeasureMetrics, (void* metrics, EVERSION v), Slot(metrics))
