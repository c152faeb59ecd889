#include "fcundoblock.h"

#include "core/fcstring.h"
#include "fxbridge.h"

bool FCUndoBlock::Execute(__FCUndoBlockHandler* handler, FCString* undotext) {
  if (!handler) return false;
  const char* text = undotext ? undotext->GetCString() : "";
  if (!FX_StartFinaleEdit(text)) {
    // The bridge counts every start; left counted, the guard on end and cancel stays off.
    ForgetRefusedFinaleEdit();
    return false;
  }
  bool ok = handler->Execute();
  if (ok)
    FX_EndFinaleEdit();
  else
    FX_CancelFinaleEdit();
  return ok;
}
