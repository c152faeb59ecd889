// The six functions the host finds in the module by name, and the pointer types it calls them
// through.
#pragma once
#include "hostapi/fxtypes.h"

// The menu record the host hands to FinaleExtensionEnumerate (196 bytes, 8-bit texts).
#pragma pack(push, 1)
struct EXTENSIONMENURECORD {
  char menutext[64];    // menu item text, zero-padded
  char description[64]; // description, zero-padded
  char shortname[64];   // short name, zero-padded
  twobyte reserved1;    // 0
  twobyte reserved2;    // 0
};
#pragma pack(pop)
static_assert(sizeof(EXTENSIONMENURECORD) == 196, "the host's menu record is 196 bytes");

extern "C" {
ufourbyte WINAPI FinaleExtensionVersion(ufourbyte hostversion);
fourbyte WINAPI FinaleExtensionInit(void* unused, ufourbyte* flags);
fourbyte WINAPI FinaleExtensionEnumerate(void* unused, fourbyte index, EXTENSIONMENURECORD* menu);
fourbyte WINAPI FinaleExtensionInvoke(HWND hostwindow, void* unused1, void* unused2, void* unused3);
void WINAPI FinaleExtensionTerminate(void* unused);
fourbyte WINAPI FinaleExtensionGetMenuStatus(void* unused);
}

typedef decltype(&FinaleExtensionVersion) FinaleExtensionVersionProc;
typedef decltype(&FinaleExtensionInit) FinaleExtensionInitProc;
typedef decltype(&FinaleExtensionEnumerate) FinaleExtensionEnumerateProc;
typedef decltype(&FinaleExtensionInvoke) FinaleExtensionInvokeProc;
typedef decltype(&FinaleExtensionTerminate) FinaleExtensionTerminateProc;
typedef decltype(&FinaleExtensionGetMenuStatus) FinaleExtensionGetMenuStatusProc;
