// One host edit transaction around a piece of work: what the work changes becomes one undoable
// step, or is discarded when the work reports failure.
#pragma once
#include "core/fcbase.h"

class FCString;

// The work to run inside the transaction.
class __FCUndoBlockHandler : public __FCBase {
public:
  // Does the work; true keeps its changes, false discards them.
  virtual bool Execute() = 0;
};

class FCUndoBlock : public __FCBase {
public:
  const char* ClassName() override { return "FCUndoBlock"; }
  // Opens an edit named undotext, runs the handler, then ends or cancels the edit. Answers the
  // handler's answer, or false when the host refuses to open the edit.
  bool Execute(__FCUndoBlockHandler* handler, FCString* undotext);
};
