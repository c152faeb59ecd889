#include "fcparts.h"

#include "core/finaleversion.h"
#include "fxbridge.h"

#include <cstring>

namespace {
// Hosts up to this version crash or answer garbage when asked for a part's name.
const ufourbyte LAST_VERSION_WITHOUT_PARTNAMES = 0x10FFFFFF;
} // namespace

bool FCPart::IsIdentical(__FCBase* other) {
  FCPart* part = dynamic_cast<FCPart*>(other);
  return part && part->_partid == _partid && part->_documentid == _documentid;
}

FCString* FCPart::GetName() {
  if (RunningFinaleVersion > LAST_VERSION_WITHOUT_PARTNAMES) {
    const char* name = FX_GetPartName(_partid);
    _name.SetCString(name ? name : "");
  } else {
    _name.SetCString("Not available (due to a bug)");
  }
  return &_name;
}

void FCPart::_SwitchTo() {
  if (_documentid != FX_GetCurrentEnigmaDocument() || _savedpartid != -1) return;
  _savedpartid = FX_GetCurrentPartID();
  FX_SetCurrentPartID(_partid);
}

void FCPart::_SwitchBack() {
  if (_savedpartid == -1 || _documentid != FX_GetCurrentEnigmaDocument()) return;
  FX_SetCurrentPartID(_savedpartid);
  _savedpartid = -1;
}

void FCParts::LoadAll() {
  _FreeElements();
  _count = 0;
  twobyte document = FX_GetCurrentEnigmaDocument();
  // A host that answers an id already listed would make the walk go round for ever: each
  // 16-bit id is taken once at most.
  unsigned char listed[0x10000 / 8];
  memset(listed, 0, sizeof listed);
  twobyte id = 0;
  while (id != -1) {
    utwobyte bit = static_cast<utwobyte>(id);
    if (listed[bit >> 3] & (1u << (bit & 7))) break;
    listed[bit >> 3] |= static_cast<unsigned char>(1u << (bit & 7));
    Add(new FCPart(id, document));
    id = FX_GetNextPartID(id);
  }
}

int FCParts::ForEachWithScope(FCIteratorHandler* handler) {
  if (!handler || !handler->PreProcess()) return 0;
  int visited = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* part = GetItemAt(i);
    if (!part) continue;
    part->_SwitchTo();
    bool goOn = handler->Iterate(part);
    part->_SwitchBack();
    if (!goOn) break;
    ++visited;
  }
  handler->PostProcess();
  return visited;
}

FCPart* FCParts::GetCurrent() {
  twobyte part = FX_GetCurrentPartID();
  twobyte document = FX_GetCurrentEnigmaDocument();
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* p = GetItemAt(i);
    if (p && p->GetID() == part && p->GetDocumentID() == document) return p;
  }
  return nullptr;
}

FCPart* FCParts::GetScore() {
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* p = GetItemAt(i);
    if (p && p->GetID() == 0) return p;
  }
  return nullptr;
}
