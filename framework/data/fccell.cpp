#include "fccell.h"

#include "fckeysignature.h"
#include "fcmeasure.h"
#include "fcstaffatposition.h"
#include "fcindependentcelldetail.h"

FCCell::~FCCell() {
  delete _pKeySig;
  _pKeySig = nullptr;
  delete _pTimeSig;
  _pTimeSig = nullptr;
}

FCKeySignature* FCCell::GetKeySignature() {
  if (!_pKeySig) _pKeySig = new FCKeySignature();
  FCCurrentStaffSpec staffAt;
  // A staff record that does not load counts as having no flag set.
  if (staffAt.Load(this, 0) && staffAt.GetIndependentKeysAllowed()) {
    FCIndependentCellDetail detail;
    detail.ConnectCell(this);
    if (detail.LoadFirst() && detail.GetHasKeySignature()) {
      _pKeySig->SetKeyWord(static_cast<utwobyte>(detail.GetKeySignatureValue()));
      return _pKeySig;
    }
  }
  FCMeasure measure;
  if (measure.Load(static_cast<utwobyte>(_measure)))
    _pKeySig->SetKeyWord(measure.GetKeySignature()->GetKeyWord());
  return _pKeySig;
}
