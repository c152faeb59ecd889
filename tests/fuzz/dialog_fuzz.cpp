// The tool window under the messages a host delivers to its dialog procedure, with any
// parameters: sizes, activations, commands from any item id with any notification, timers,
// notifications, closing; and the user's clicks, list choices, resizing and new invocations in
// between. After every message nothing taken from the host is still held.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "dialogs.h"
#include "entry.h"
#include "fcchordshaperwindow.h"
#include "fuzzcheck.h"
#include "support/host_folder.h"

namespace {

// Messages whose parameters are numbers; any other message gets a pointer to a buffer of
// fuzzed bytes as its lparam, as the window system passes structures by address.
const UINT NUMERIC[] = {0x0002, 0x0005, 0x0006, 0x0010, 0x0018, 0x0111, 0x0113};
const UINT WITH_POINTER[] = {0x0024, 0x004E, 0x0046, 0x0047, 0x0083};
const int ITEMS[] = {1, 2, 101, 102, 103, 104, 105, 106};

HWND Invoke() {
  FinaleExtensionInvoke(nullptr, nullptr, nullptr, nullptr);
  return hostsim::OpenDialog();
}

void NewScore() {
  hostsim::NewDocument(2, 2);
  hostsim::AddPart({2});
  hostsim::EntrySpec chord;
  for (int16_t d : {0, 2, 4, 7})
    chord.notes.push_back({d});
  hostsim::AddEntry(1, 1, 0, chord);
  hostsim::AddEntry(2, 2, 0, chord);
  hostsim::SetSelection(1, 1, 0, 2, 2, 0x7FFFFFFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Each input starts as a freshly loaded module: no window object, a fresh score.
  static testsupport::HostFolder* folder = new testsupport::HostFolder;
  static const std::string path = hostsim::TheHost().finalePath;
  static bool loaded = false;
  delete pMainWindow;
  pMainWindow = nullptr;
  hostsim::ResetDialogs();
  FreshHost();
  hostsim::TheHost().finalePath = path;
  folder->WriteOptions(in.ConsumeBool() ? "QVCHORDSHAPER_WINDOWSHADE=1\n" : "");
  if (!loaded) {
    SetFinaleFrameworkVersion(0x0F000200);
    ufourbyte flags = 0;
    FinaleExtensionInit(nullptr, &flags);
    loaded = true;
  }
  NewScore();
  HWND dialog = Invoke();
  FUZZ_CHECK(dialog != nullptr);
  std::vector<uint8_t> structure(256);
  while (in.remaining_bytes() > 0) {
    if (!hostsim::OpenDialog()) dialog = Invoke();
    FUZZ_CHECK(dialog != nullptr);
    switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1: {
      UINT message = in.ConsumeBool() ? in.PickValueInArray(NUMERIC) : in.ConsumeIntegral<UINT>();
      WPARAM wparam = in.ConsumeIntegral<WPARAM>();
      LPARAM lparam = in.ConsumeIntegral<LPARAM>();
      bool numeric = false;
      for (UINT m : NUMERIC)
        numeric = numeric || m == message;
      if (!numeric || in.ConsumeBool()) {
        std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(structure.size() - 1);
        std::fill(structure.begin(), structure.end(), 0);
        std::copy(bytes.begin(), bytes.end(), structure.begin());
        lparam = reinterpret_cast<LPARAM>(structure.data());
        if (in.ConsumeBool()) message = in.PickValueInArray(WITH_POINTER);
      }
      if (message == 0x0110) break; // the dialog's creation is the host's, once
      hostsim::SendToDialog(dialog, message, wparam, lparam);
      break;
    }
    case 2:
      hostsim::Click(dialog,
                     in.ConsumeBool() ? in.PickValueInArray(ITEMS) : in.ConsumeIntegral<int>());
      break;
    case 3:
      hostsim::SelectListRow(dialog, 102, in.ConsumeIntegralInRange(-2, 20));
      break;
    case 4:
      hostsim::UserResize(dialog, in.ConsumeIntegralInRange(-100, 3000),
                          in.ConsumeIntegralInRange(-100, 3000));
      break;
    case 5:
      hostsim::SetDialogActive(dialog, in.ConsumeBool());
      break;
    default:
      dialog = Invoke();
      break;
    }
    CheckNothingLeftOpen();
  }
  return 0;
}
