// Host services: edit transactions, menu commands, redraw and parts.
// An edit keeps a copy of the document in front as it was when the edit opened, but for its
// cells: a store into a cell keeps that cell's old entries instead (StoreCell), so that opening
// an edit costs what the edit changes, not the size of the score. Cancelling puts everything
// back byte for byte; ending it adds one entry to the undo list. A value a test
// sets with SetAnswer replaces a service's answer and its work.
#include "exports.h"
#include "hostsim.h"
#include "score.h"

#include <string>

using namespace hostsim;

namespace {
// The document the open edit belongs to: the one whose id the copy carries.
Document& EditedDocument() {
  Host& h = TheHost();
  for (auto& d : h.documents)
    if (d.id == h.beforeEdit.id) return d;
  return Doc();
}
} // namespace

HOST_SERVICE(fourbyte, FX_StartFinaleEdit, (const char* undotext, EVERSION v)) {
  Log(FX_StartFinaleEdit_service, {Slot(undotext)}, v);
  int32_t a;
  if (AnswerSet(FX_StartFinaleEdit_service, &a)) return a;
  Host& h = TheHost();
  // Edits do not nest in this host; a refused edit opens nothing.
  if (h.refuseEdits || h.editOpen) return 0;
  Document& d = Doc();
  Cells cells;
  cells.swap(d.cells);
  h.beforeEdit = d;
  d.cells.swap(cells);
  h.cellsBefore.clear();
  h.entriesBefore.clear();
  h.editName = undotext ? undotext : "";
  h.editOpen = true;
  return 1;
}

HOST_SERVICE(fourbyte, FX_EndFinaleEdit, (EVERSION v)) {
  Log(FX_EndFinaleEdit_service, {}, v);
  int32_t a;
  if (AnswerSet(FX_EndFinaleEdit_service, &a)) return a;
  Host& h = TheHost();
  if (!h.editOpen) return 0;
  h.undoList.push_back(UndoEntry{h.editName});
  h.editOpen = false;
  h.editName.clear();
  h.cellsBefore.clear();
  h.entriesBefore.clear();
  // The copy stays as it is: the next edit copies over it, reusing its storage.
  return 1;
}

HOST_SERVICE(fourbyte, FX_CancelFinaleEdit, (EVERSION v)) {
  Log(FX_CancelFinaleEdit_service, {}, v);
  int32_t a;
  if (AnswerSet(FX_CancelFinaleEdit_service, &a)) return a;
  Host& h = TheHost();
  if (!h.editOpen) return 0;
  Document& d = EditedDocument();
  Cells cells;
  cells.swap(d.cells);
  d = h.beforeEdit;
  d.cells.swap(cells);
  // Latest first, so that each cell ends as it was before its first store.
  for (auto it = h.cellsBefore.rbegin(); it != h.cellsBefore.rend(); ++it) {
    auto kept = h.entriesBefore.begin() + static_cast<std::ptrdiff_t>(it->first);
    if (it->existed)
      d.cells[it->where].assign(kept, kept + static_cast<std::ptrdiff_t>(it->count));
    else
      d.cells.erase(it->where);
  }
  h.cellsBefore.clear();
  h.entriesBefore.clear();
  h.editOpen = false;
  h.editName.clear();
  return 1;
}

HOST_SERVICE(fourbyte, FX_ExecuteMenuItem, (fourbyte item, EVERSION v)) {
  Log(FX_ExecuteMenuItem_service, {Slot(item)}, v);
  int32_t a;
  if (AnswerSet(FX_ExecuteMenuItem_service, &a)) return a;
  Document& d = Doc();
  TheHost().menuCommands.push_back(MenuCommandRecord{item, d.currentPart, d.selection});
  return item != 0 ? 1 : 0; // item 0 names no command
}

HOST_SERVICE(fourbyte, FX_RedrawMusic, (void* area32, EVERSION v)) {
  Log(FX_RedrawMusic_service, {Slot(area32)}, v);
  int32_t a;
  if (AnswerSet(FX_RedrawMusic_service, &a)) return a;
  ++TheHost().redraws;
  return 1;
}

HOST_SERVICE(fourbyte, FX_GetCurrentPartID, (EVERSION v)) {
  Log(FX_GetCurrentPartID_service, {}, v);
  int32_t a;
  if (AnswerSet(FX_GetCurrentPartID_service, &a)) return a;
  return Doc().currentPart;
}

HOST_SERVICE(fourbyte, FX_SetCurrentPartID, (fourbyte part, EVERSION v)) {
  Log(FX_SetCurrentPartID_service, {Slot(part)}, v);
  int32_t a;
  if (AnswerSet(FX_SetCurrentPartID_service, &a)) return a;
  int16_t id = static_cast<int16_t>(part);
  if (!FindPart(Doc(), id)) return 0;
  Doc().currentPart = id;
  return 1;
}

HOST_SERVICE(fourbyte, FX_GetNextPartID, (fourbyte part, EVERSION v)) {
  Log(FX_GetNextPartID_service, {Slot(part)}, v);
  int32_t a;
  if (AnswerSet(FX_GetNextPartID_service, &a)) return a;
  const std::vector<Part>& parts = Doc().parts;
  std::ptrdiff_t i = PartIndex(Doc(), static_cast<int16_t>(part));
  return i >= 0 && static_cast<size_t>(i) + 1 < parts.size() ? parts[i + 1].id : -1;
}
