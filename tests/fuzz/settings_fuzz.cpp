// The two settings files with any bytes in them, read the ways the plug-in reads them: the
// tool window's options, a look-up of any key in either file, and the file read line by line
// as 8-bit text and as UTF-8. A setting found is the one asked for; nothing is ever written.
#include <fuzzer/FuzzedDataProvider.h>

#include <strings.h>

#include <string>

#include "core/fcstrings.h"
#include "entry.h"
#include "fcchordshaperwindow.h"
#include "fuzzcheck.h"
#include "settings/fcfilestream.h"
#include "settings/fcsettings.h"
#include "support/host_folder.h"

namespace {

// Reads the file through a stream of the given kind; answers the number of lines.
template <typename Stream> int CountLines(const char* name) {
  Stream stream;
  stream.SetDefaultFolder(hostsim::TheHost().finalePath.c_str());
  stream.GetFileName()->SetCString(name);
  if (!stream.OpenRead()) return -1;
  FCStrings* lines = stream.ReadStrings();
  int count = lines ? lines->GetCount() : -1;
  delete lines;
  stream.Close();
  return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FreshHost();
  // One folder for the whole run; the host forgets it at every reset.
  static testsupport::HostFolder* folder = new testsupport::HostFolder;
  static const std::string path = hostsim::TheHost().finalePath;
  hostsim::TheHost().finalePath = path;
  SetFinaleFrameworkVersion(in.ConsumeBool() ? 0x0F000200 : 0x1B000000);
  std::string key = in.ConsumeRandomLengthString(40);
  std::string options = in.ConsumeRandomLengthString(size);
  std::string prefs = in.ConsumeRemainingBytesAsString();
  folder->WriteOptions(options);
  folder->WritePrefs(prefs);
  int entries = folder->CountEntries();

  FCChordShaperWindow window(nullptr);
  window.LoadQVPluginToolSettings(true);
  for (bool inPrefs : {false, true}) {
    FCString wanted(key.c_str());
    FCSettingsPair* pair = LoadQVOptionsPair(&wanted, inPrefs);
    if (pair) FUZZ_CHECK(strcasecmp(pair->GetKey()->GetCString(), wanted.GetCString()) == 0);
    delete pair;
  }
  int lines = CountLines<FCTextFileStream>("qvpluginoptions.txt");
  FUZZ_CHECK(lines >= 0 && lines <= static_cast<int>(options.size()));
  lines = CountLines<FCTextFileUTF8Stream>("qvpluginprefs.txt");
  FUZZ_CHECK(lines >= 0 && lines <= static_cast<int>(prefs.size()));
  FUZZ_CHECK(folder->CountEntries() == entries);
  return 0;
}
