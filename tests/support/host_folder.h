// A temporary folder that the host simulator reports as its own, and the settings files in it.
// The plug-in opens "<host folder>\<file name>"; the tests write their files at exactly that
// path. On Windows that is a file inside the folder; elsewhere the backslash is an ordinary
// character of a file name, so the file lies beside the folder, inside the same temporary
// folder. Either way the path is the one the plug-in builds, and nothing needs translating.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

#include "hostsim.h"
#include "score.h"

namespace testsupport {

class HostFolder {
public:
  HostFolder() {
    namespace fs = std::filesystem;
    static int serial = 0;
    fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
      fs::path candidate =
          base / ("qvsettings_" + std::to_string(Pid()) + "_" + std::to_string(++serial));
      std::error_code ec;
      if (fs::create_directory(candidate, ec)) {
        _root = candidate;
        break;
      }
    }
    std::error_code ec;
    fs::create_directory(_root / "host", ec);
    hostsim::TheHost().finalePath = (_root / "host").string();
  }
  ~HostFolder() {
    std::error_code ec;
    std::filesystem::remove_all(_root, ec);
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;

  // The path the plug-in opens for a file of the host's folder.
  std::string PathOf(const std::string& name) const {
    return hostsim::TheHost().finalePath + "\\" + name;
  }
  // Writes bytes exactly as given (no line-end translation).
  void Write(const std::string& name, const std::string& bytes) const {
    FILE* f = fopen(PathOf(name).c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  void WriteOptions(const std::string& bytes) const { Write("qvpluginoptions.txt", bytes); }
  void WritePrefs(const std::string& bytes) const { Write("qvpluginprefs.txt", bytes); }
  bool Exists(const std::string& name) const {
    FILE* f = fopen(PathOf(name).c_str(), "rb");
    if (!f) return false;
    fclose(f);
    return true;
  }
  // Every entry under the temporary folder, for checking that nothing was written.
  int CountEntries() const {
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(_root, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      ++n;
    return n;
  }
  std::string Root() const { return _root.string(); }

private:
  static long Pid();
  std::filesystem::path _root; // the temporary folder, removed with everything in it
};

} // namespace testsupport

#ifdef _WIN32
#include <process.h>
inline long testsupport::HostFolder::Pid() {
  return static_cast<long>(_getpid());
}
#else
#include <unistd.h>
inline long testsupport::HostFolder::Pid() {
  return static_cast<long>(getpid());
}
#endif
