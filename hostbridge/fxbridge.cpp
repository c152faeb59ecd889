// Bridge functions of the services the framework calls.
#include "cleantgf.h"
#include "hostcall.h"

using fxbridge::R16;
using fxbridge::S16;
using fxbridge::U16;

fourbyte LoadedTGFCounter = 0;
fourbyte FinaleEditDepth = 0;
fourbyte MassEditDepth = 0;

HMODULE GetFinaleHandle() {
  static bool looked = false;
  static HMODULE hFinale = nullptr;
  if (!looked) {
    looked = true;
    hFinale = GetModuleHandleA("FINALE.EXE");
    if (!hFinale) hFinale = GetModuleHandleA("FINDEMO.EXE");
  }
  return hFinale;
}

void* fxbridge::Resolve(HostProc& proc, const char* name) {
  if (!proc.resolved) {
    proc.resolved = true;
    // Windows reads a null module as the process's own image: without the host, find nothing.
    HMODULE host = GetFinaleHandle();
    proc.fpProc = host ? reinterpret_cast<void*>(GetProcAddress(host, name)) : nullptr;
  }
  return proc.fpProc;
}

twobyte FX_GetMaxLayers(EVERSION v) {
  FX_SHORT(4, v);
}

EXTGF2005a* FX_LoadTGF(utwobyte instlist, twobyte slot, twobyte measure, twobyte layer,
                       twobyte flag, EVERSION v) {
  ++LoadedTGFCounter; // counted before the host is asked, whatever it answers
  FX_RAW(EXTGF2005a*, nullptr, U16(instlist), S16(slot), S16(measure), S16(layer), S16(flag), v);
}

twobyte FX_SaveTGF(EXTGF2005a* frame, EVERSION v) {
  CleanTGF(frame);
  FX_SHORT(0, frame, v);
}

fourbyte FX_FreeTGF(EXTGF2005a* frame, EVERSION v) {
  --LoadedTGFCounter;
  FX_RAW(fourbyte, 0, frame, v);
}

twobyte FX_DeleteEXENTRY(EXTGF2005a* frame, twobyte index, twobyte count, EVERSION v) {
  CleanTGF(frame);
  FX_SHORT(0, frame, S16(index), S16(count), v);
}

twobyte FX_AlertMessage(fourbyte a, utwobyte b, fourbyte c, const char* text, EVERSION v) {
  FX_SHORT(0, a, U16(b), c, text, v);
}

fourbyte FX_Dialog(twobyte resid, FX_DIALOGPROC proc, HWND parent, twobyte modal, void* data,
                   EVERSION v) {
  FX_RAW(fourbyte, 0, S16(resid), proc, parent, S16(modal), data, v);
}

fourbyte FX_EndDialog(HWND dialog, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, v);
}

fourbyte FX_EnableDlgItem(HWND dialog, fourbyte id, twobyte state, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(state), v);
}

fourbyte FX_GetDlgItemVal(HWND dialog, fourbyte id, twobyte kind, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), v);
}

fourbyte FX_SetDlgItemVal(HWND dialog, fourbyte id, twobyte kind, fourbyte value, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), value, v);
}

fourbyte FX_GetDlgItemUser(HWND dialog, fourbyte id, twobyte kind, double* value, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), value, v);
}

fourbyte FX_SetDlgItemUser(HWND dialog, fourbyte id, twobyte kind, double value, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, S16(kind), value, v);
}

fourbyte FX_GetDlgString(HWND dialog, fourbyte id, char* buffer, twobyte capacity, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, buffer, S16(capacity), v);
}

fourbyte FX_SetDlgString(HWND dialog, fourbyte id, const char* text, EVERSION v) {
  FX_RAW(fourbyte, 0, dialog, id, text, v);
}

twobyte FX_SlotToInst(twobyte slot, utwobyte instlist, EVERSION v) {
  FX_SHORT(0, S16(slot), U16(instlist), v);
}

twobyte FX_InstToSlot(twobyte staff, utwobyte instlist, EVERSION v) {
  FX_SHORT(0, S16(staff), U16(instlist), v);
}

twobyte FX_GetCurERegions(fourbyte* unused, EREGION* selection, void* area32, EVERSION v) {
  FX_SHORT(0, unused, selection, area32, v);
}

fourbyte FX_SetCurERegion(EREGION* region, EVERSION v) {
  FX_RAW(fourbyte, 0, region, v);
}

fourbyte FX_RedrawMusic(void* area32, EVERSION v) {
  FX_RAW(fourbyte, 0, area32, v);
}

twobyte FX_NoteToMidi(void* noteslot, twobyte keyword, EVERSION v) {
  FX_SHORT(0, noteslot, S16(keyword), v);
}

twobyte FX_GetShowLayer(twobyte layer, EVERSION v) {
  FX_SHORT(0, S16(layer), v);
}

twobyte FX_GetCurrentEnigmaDocument(EVERSION v) {
  FX_SHORT(0, v);
}

twobyte FX_GetFinalePath(fourbyte kind, char* buffer, EVERSION v) {
  FX_SHORT(0, kind, buffer, v);
}

fourbyte FX_StartFinaleEdit(const char* undotext, EVERSION v) {
  ++FinaleEditDepth; // counted even when the host refuses to open the edit
  FX_RAW(fourbyte, 0, undotext, v);
}

void ForgetRefusedFinaleEdit() {
  if (FinaleEditDepth > 0) --FinaleEditDepth;
}

twobyte FX_EndFinaleEdit(EVERSION v) {
  if (FinaleEditDepth <= 0) return 1;
  --FinaleEditDepth;
  FX_SHORT(0, v);
}

void FX_CancelFinaleEdit(EVERSION v) {
  if (FinaleEditDepth <= 0) return;
  --FinaleEditDepth;
  static fxbridge::HostProc proc_;
  fxbridge::Raw<fourbyte>(proc_, __func__, 0, v);
}

twobyte FX_ExecuteMenuItem(fourbyte item, EVERSION v) {
  FX_SHORT(0, item, v);
}

twobyte FX_GetCurrentPartID(EVERSION v) {
  FX_SHORT(-1, v);
}

fourbyte FX_SetCurrentPartID(twobyte part, EVERSION v) {
  FX_RAW(fourbyte, 0, S16(part), v);
}

twobyte FX_GetNextPartID(twobyte part, EVERSION v) {
  FX_SHORT(-1, S16(part), v);
}
