// The root of every framework class.
#pragma once
#include "hostapi/fxtypes.h"

class __FCBase {
public:
  __FCBase() : _pUserData(nullptr), _reserved(0) {}
  virtual ~__FCBase() {}

  virtual const char* ClassName() { return "__FCBase"; }
  // The root answers true for any argument; classes with an identity of their own override it.
  virtual bool IsIdentical(__FCBase*) { return true; }

  void* GetUserData() const { return _pUserData; }
  void SetUserData(void* data) { _pUserData = data; }

  // Sets (state true) or clears (state false) the bits of mask in *flags; no other bit changes.
  void Set16BitFlag(FLAG_16* flags, FLAG_16 mask, bool state);
  void Set32BitFlag(FLAG_32* flags, FLAG_32 mask, bool state);

private:
  void* _pUserData; // the owner's word; not owned; searched by __FCCollection::FindUserData
  [[maybe_unused]] ufourbyte _reserved; // zero; nothing reads it
};
