// The parts of the current document (the score, part 0, and the further parts the host
// reports), and a visit of each with that part made current in the host.
#pragma once
#include "core/fccollection.h"
#include "core/fcstring.h"

class FCPart : public __FCBase {
public:
  FCPart(twobyte partid, twobyte documentid)
      : _partid(partid), _documentid(documentid), _savedpartid(-1) {}
  const char* ClassName() override { return "FCPart"; }
  // Same part of the same document.
  bool IsIdentical(__FCBase* other) override;
  virtual ~FCPart() {}

  twobyte GetID() const { return _partid; }
  twobyte GetDocumentID() const { return _documentid; }
  twobyte GetSavedPartID() const { return _savedpartid; }
  bool IsScore() const { return _partid == 0; }
  // Fills the name from the host (hosts before 0x11000000 cannot be asked) and answers it.
  FCString* GetName();

  // Makes this part current when it belongs to the document in front and no switch is
  // pending, remembering the part that was current.
  void _SwitchTo();
  // Makes the remembered part current again, if a switch is pending and the document in
  // front is still this part's.
  void _SwitchBack();

private:
  FCString _name;       // filled by GetName; empty until then
  twobyte _partid;      // the host's id of the part; 0 for the score
  twobyte _documentid;  // the host's id of the document the part belongs to
  twobyte _savedpartid; // part current before a pending switch; -1 when none is pending
};

class FCParts : public __FCCollection {
public:
  const char* ClassName() override { return "FCParts"; }
  virtual ~FCParts() {}

  // Rebuilds the list from the host: the score first, then each part the host reports.
  void LoadAll();
  // Visits each part with that part current in the host; answers the number of parts whose
  // visit answered true. The part current before is restored after every visit.
  int ForEachWithScope(FCIteratorHandler* handler);
  // The part in view of the document in front, or null.
  FCPart* GetCurrent();
  // The score, or null.
  FCPart* GetScore();
  FCPart* GetItemAt(int index) const {
    return static_cast<FCPart*>(__FCCollection::GetItemAt(index));
  }
};
