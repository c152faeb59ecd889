#include "scorecommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "scorejob.h"

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) {
    *error = path + ": cannot open (" + strerror(errno) + ")";
    return false;
  }
  struct stat st = {};
  if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
    fclose(f);
    *error = path + ": is a folder, not a score file";
    return false;
  }
  // Read in one piece at the size the file has (and on for whatever it grew by since).
  bytes->resize(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0);
  size_t got = bytes->empty() ? 0 : fread(bytes->data(), 1, bytes->size(), f);
  bytes->resize(got);
  uint8_t buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes->insert(bytes->end(), buffer, buffer + n);
  bool ok = !ferror(f);
  fclose(f);
  if (!ok) *error = path + ": cannot read (" + strerror(errno) + ")";
  return ok;
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// "song.musicxml" and "Drop 2nd" give "song-drop-2nd.musicxml".
std::string OutputBeside(const std::string& input, const std::string& task) {
  std::string slug;
  for (char ch : task) {
    if (isalnum(static_cast<unsigned char>(ch)))
      slug += static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    else if (!slug.empty() && slug.back() != '-')
      slug += '-';
  }
  while (!slug.empty() && slug.back() == '-')
    slug.pop_back();
  size_t slash = input.rfind('/');
  size_t dot = input.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = input.size();
  return input.substr(0, dot) + "-" + (slug.empty() ? "changed" : slug) + input.substr(dot);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// The output file in the making: a temporary file in the target's folder, renamed over the
// target once complete; removed if the run ends before that.
class TempOutput {
public:
  ~TempOutput() {
    if (_fd >= 0) close(_fd);
    if (!_path.empty()) unlink(_path.c_str());
  }
  bool Open(const std::string& folder, std::string* error) {
    std::string name = folder + "/.qvscore.XXXXXX";
    std::vector<char> templ(name.begin(), name.end());
    templ.push_back(0);
    _fd = mkstemp(templ.data());
    if (_fd < 0) {
      *error = folder + ": cannot write in this folder (" + strerror(errno) + ")";
      return false;
    }
    _path = templ.data();
    return true;
  }
  bool Write(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = write(_fd, p, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }
  bool Commit(const std::string& target, mode_t mode, std::string* error) {
    bool ok = fchmod(_fd, mode) == 0 && fsync(_fd) == 0;
    ok = close(_fd) == 0 && ok;
    _fd = -1;
    if (ok && rename(_path.c_str(), target.c_str()) == 0) {
      _path.clear();
      return true;
    }
    *error = target + ": cannot write (" + strerror(errno) + ")";
    return false;
  }

private:
  int _fd = -1;      // the open temporary file
  std::string _path; // its path, until it is renamed
};

// A private folder for the host's options file; removed with it when the run ends.
class OptionsFolder {
public:
  bool Make(const ScoreJobOptions& options, std::string* hostFolder) {
    char templ[] = "/tmp/qvhost.XXXXXX";
    if (!mkdtemp(templ)) return false;
    _root = templ;
    // The plug-in opens "<host folder>\qvpluginoptions.txt": here a file inside the root.
    *hostFolder = _root + "/host";
    return WriteHostOptions(*hostFolder, options);
  }
  ~OptionsFolder() {
    if (_root.empty()) return;
    unlink((_root + "/host\\qvpluginoptions.txt").c_str());
    rmdir(_root.c_str());
  }

private:
  std::string _root;
};

} // namespace

bool ParseScoreArgument(const std::string& a, const char* value, ScoreCommand* c, int* i) {
  std::string* target = a == "--score"      ? &c->file
                        : a == "--out"      ? &c->out
                        : a == "--measures" ? &c->measures
                        : a == "--parts"    ? &c->parts
                                            : nullptr;
  if (target) {
    if (!value) return false;
    *target = value;
    ++*i;
    return true;
  }
  bool* flag = a == "--in-place"          ? &c->inPlace
               : a == "--four-note-drops" ? &c->fourNoteDrops
               : a == "--spell-in-key"    ? &c->spellInKey
               : a == "--dry-run"         ? &c->dryRun
               : a == "--list"            ? &c->list
               : a == "--mark-changes"    ? &c->markChanges
                                          : nullptr;
  if (flag) *flag = true;
  return flag != nullptr;
}

int RunScoreCommand(const ScoreCommand& c, const std::string& task, bool bottom,
                    const PluginEntries& entries) {
  if (c.inPlace && !c.out.empty()) {
    fprintf(stderr, "--out and --in-place cannot be given together\n");
    return 2;
  }
  std::vector<uint8_t> input;
  std::string error;
  if (!ReadFile(c.file, &input, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  ScoreJobOptions options;
  options.task = task;
  options.bottom = bottom;
  options.fourNoteDrops = c.fourNoteDrops;
  options.spellInKey = c.spellInKey;
  options.measures = c.measures;
  options.parts = c.parts;
  options.dryRun = c.dryRun;
  options.listChanges = c.list;
  options.markChanges = c.markChanges;
  options.displayTexts = false;

  // The output is written as it is made, into a temporary file beside where it goes.
  if (!c.inPlace && !c.out.empty() && SameFile(c.out, c.file)) {
    fprintf(stderr, "%s: the output would replace the input; give --in-place to do that\n",
            c.out.c_str());
    return 2;
  }
  TempOutput temp;
  if (!c.dryRun && !temp.Open(Folder(c.out.empty() ? c.file : c.out), &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  options.sink = [&temp](const void* data, size_t size) { return temp.Write(data, size); };

  PluginEntries plugin = entries;
  OptionsFolder folder;
  if ((c.fourNoteDrops || c.spellInKey) && !folder.Make(options, &plugin.hostFolder)) {
    fprintf(stderr, "cannot make a folder for the plug-in's options file\n");
    return 1;
  }
  ScoreJobResult r;
  try {
    r = RunScoreJob(std::move(input), c.file, options, plugin);
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "%s: not enough memory for this score\n", c.file.c_str());
    return 1;
  }
  if (r.status != 0) {
    fprintf(stderr, "%s\n", r.error.c_str());
    return r.status;
  }
  if (!r.leftAlone.empty()) fprintf(stderr, "%s\n", r.leftAlone.c_str());
  fputs(r.dryRunText.c_str(), stdout);
  if (c.dryRun) {
    printf("%s (dry run: nothing written)\n", r.summary.c_str());
    return 0;
  }
  std::string out = c.inPlace ? c.file : c.out.empty() ? OutputBeside(c.file, r.task) : c.out;
  struct stat st;
  mode_t mode = stat(c.file.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0644;
  if (!temp.Commit(out, mode, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  printf("%s; written to %s\n", r.summary.c_str(), out.c_str());
  return 0;
}
