// Record transfers against a host that answers from the fuzzer: any result, any size written
// back, any bytes up to the room it was given, any key after "next" or "create". The records
// never keep more than their buffers hold, every size sent to the host has bytes behind it
// (the host reads them all), and every walk over records ends.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

#include "data/fcbasedata.h"
#include "data/fccell.h"
#include "data/fcstaffatposition.h"
#include "data/fcindependentcelldetail.h"
#include "data/fcmeasure.h"
#include "data/fcstaff.h"
#include "data/fcsystemstaves.h"
#include "fuzzcheck.h"
#include "support/recordlists.h"
#include "winshim.h"

namespace {

FuzzedDataProvider* host = nullptr; // what the hostile host answers from; null between runs

fourbyte Result() {
  if (!host || host->remaining_bytes() == 0) return 0;
  return host->ConsumeBool() ? 1 : host->ConsumeIntegral<fourbyte>();
}

// The host reads every byte it is told it gets.
void ReadAll(const void* buffer, fourbyte size) {
  if (buffer && size > 0) {
    std::vector<uint8_t> copy(static_cast<const uint8_t*>(buffer),
                              static_cast<const uint8_t*>(buffer) + size);
  }
}

// Fills at most the room the caller said its buffer has.
void Fill(void* buffer, fourbyte room) {
  if (!host || !buffer || room <= 0) return;
  std::vector<uint8_t> bytes = host->ConsumeBytes<uint8_t>(host->ConsumeIntegralInRange(0, room));
  if (!bytes.empty()) memcpy(buffer, bytes.data(), bytes.size());
}

void NewKey(void* key) {
  if (host && key && host->ConsumeBool()) {
    std::vector<uint8_t> bytes = host->ConsumeBytes<uint8_t>(8);
    if (!bytes.empty()) memcpy(key, bytes.data(), bytes.size());
  }
}

fourbyte HostileLoad(EXTAG, void* key, void* buffer, fourbyte* size, EVERSION) {
  ReadAll(key, 8);
  fourbyte room = size ? *size : 0;
  Fill(buffer, room);
  if (size && host) *size = host->ConsumeBool() ? room : host->ConsumeIntegral<fourbyte>();
  return Result();
}

fourbyte HostileSave(EXTAG, void* key, void* buffer, fourbyte size, EVERSION) {
  ReadAll(key, 8);
  ReadAll(buffer, size);
  return Result();
}

fourbyte HostileStep(EXTAG, void* key, void* buffer, fourbyte size, EVERSION) {
  ReadAll(key, 8);
  Fill(buffer, size);
  NewKey(key);
  return Result();
}

fourbyte HostileCreate(EXTAG tag, void* key, void* buffer, fourbyte size, EVERSION v) {
  HostileSave(tag, key, buffer, size, v);
  NewKey(key);
  return Result();
}

fourbyte HostileDelete(EXTAG, void* key, EVERSION) {
  ReadAll(key, 8);
  return Result();
}

void InstallHostileHost() {
  HMODULE finale = WinShim_RegisterModule("FINALE.EXE");
  WinShim_RegisterProc(finale, "FX_LoadEData", reinterpret_cast<void*>(&HostileLoad));
  WinShim_RegisterProc(finale, "FX_SaveEData", reinterpret_cast<void*>(&HostileSave));
  WinShim_RegisterProc(finale, "FX_NextEData", reinterpret_cast<void*>(&HostileStep));
  WinShim_RegisterProc(finale, "FX_PreviousEData", reinterpret_cast<void*>(&HostileStep));
  WinShim_RegisterProc(finale, "FX_CreateEData", reinterpret_cast<void*>(&HostileCreate));
  WinShim_RegisterProc(finale, "FX_DeleteEData", reinterpret_cast<void*>(&HostileDelete));
}

// A record's own word for what it holds never passes its buffer.
void CheckLoaded(__FCBaseData& record) {
  FUZZ_CHECK(record.GetLoadedSize() >= 0 && record.GetLoadedSize() <= record.DataSizeLoad());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FreshHost();
  InstallHostileHost();
  host = &in;
  while (in.remaining_bytes() > 0) {
    utwobyte item = in.ConsumeIntegral<utwobyte>();
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: {
      FCMeasure m;
      m.Load(item);
      CheckLoaded(m);
      m.Save();
      m.SaveNew();
      break;
    }
    case 1: {
      FCStaff staff;
      for (bool ok = staff.LoadFirst(); ok; ok = staff.LoadNext())
        CheckLoaded(staff);
      staff.Save();
      break;
    }
    case 2: {
      FCSystemStaves staves;
      staves.LoadAllForItem(item);
      for (int i = 0; i < staves.GetCount(); ++i)
        CheckLoaded(*staves.GetItemAt(i));
      staves.SaveAllForItem(item);
      break;
    }
    case 3: {
      MeasureList measures;
      measures.LoadAll();
      StaffList staves;
      staves.LoadAll();
      measures.SaveAll();
      break;
    }
    case 4: {
      FCCell cell(item, in.ConsumeIntegral<twobyte>());
      FCCurrentStaffSpec current;
      current.Load(&cell, in.ConsumeIntegral<fourbyte>());
      CheckLoaded(current);
      cell.GetKeySignature();
      FCIndependentCellDetail detail;
      detail.ConnectCell(&cell);
      detail.LoadFirst();
      CheckLoaded(detail);
      detail.SaveNew();
      break;
    }
    default: {
      // The bridge's own mapped transfers: special tags, staff system data, preferences.
      static const EXTAG tags[] = {0x4F044958, 0x4F096649, 0x534F5344,
                                   0x70664D45, 0x534F4D53, 0x64744E4F};
      EXTAG tag = in.ConsumeBool() ? in.PickValueInArray(tags) : in.ConsumeIntegral<EXTAG>();
      uint8_t key[8];
      memset(key, 0, sizeof key);
      memcpy(key, &item, 2);
      fourbyte room = in.ConsumeIntegralInRange(0, 256);
      std::vector<uint8_t> buffer(room);
      fourbyte got = room;
      FX_LoadEData(tag, key, buffer.data(), &got, in.ConsumeIntegral<EVERSION>());
      FX_LoadEData(tag, key, nullptr, &got, 0x0F000200);
      FX_SaveEData(tag, key, buffer.data(), room, in.ConsumeIntegral<EVERSION>());
      FX_NextEData(tag, key, nullptr, 0, 0x0F000200);
      FX_CreateEData(tag, key, buffer.data(), room, 0x0F000200);
      break;
    }
    }
  }
  host = nullptr;
  return 0;
}
