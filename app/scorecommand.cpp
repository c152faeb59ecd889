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

#include "cleanup.h"
#include "printable.h"
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

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name in a folder, with one slash between them however the folder was typed ("out/").
std::string InFolder(std::string folder, const std::string& name) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder == "/" ? "/" + name : folder + "/" + name;
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
// target once complete; removed if the run ends before that, an interruption included.
class TempOutput {
public:
  ~TempOutput() {
    if (_fd >= 0) close(_fd);
    if (!_path.empty()) unlink(_path.c_str());
    Forget(_noted);
  }
  bool Open(const std::string& folder, std::string* error) {
    std::string name = folder + "/.qvscore.XXXXXX";
    _fd = MakeNotedTemporary(&name, &_noted);
    if (_fd < 0) {
      *error = folder + ": cannot write in this folder (" + strerror(errno) + ")";
      return false;
    }
    _path = name;
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
    // A file that replaces another (the input in place, an earlier output) is on the disk
    // before it takes the old one's name, so that a power cut leaves the one or the other; a
    // new file's is left to the system, which keeps many outputs from waiting on the disk.
    struct stat st;
    bool replaces = lstat(target.c_str(), &st) == 0;
    bool ok = fchmod(_fd, mode) == 0 && (!replaces || fsync(_fd) == 0);
    ok = close(_fd) == 0 && ok;
    _fd = -1;
    if (ok && RenameNoted(_path, target, _noted) == 0) {
      _path.clear();
      _noted = -1;
      return true;
    }
    *error = target + ": cannot write (" + strerror(errno) + ")";
    return false;
  }

private:
  int _fd = -1;      // the open temporary file
  std::string _path; // its path, until it is renamed
  int _noted = -1;   // its note for removal on an interruption
};

// A private folder for the host's options file; removed with it when the run ends, however.
class OptionsFolder {
public:
  bool Make(const ScoreJobOptions& options, std::string* hostFolder) {
    const char* tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/qvhost.XXXXXX";
    if (!mkdtemp(&templ[0])) return false;
    _root = templ;
    _rootNote = Remember(_root, true);
    // The plug-in opens "<host folder>\qvpluginoptions.txt": here a file inside the root.
    *hostFolder = _root + "/host";
    _fileNote = Remember(File());
    return WriteHostOptions(*hostFolder, options);
  }
  ~OptionsFolder() {
    if (_root.empty()) return;
    unlink(File().c_str());
    rmdir(_root.c_str());
    Forget(_fileNote);
    Forget(_rootNote);
  }

private:
  std::string File() const { return _root + "/host\\qvpluginoptions.txt"; }
  std::string _root;
  int _rootNote = -1, _fileNote = -1;
};

// --check without --task: the check alone; no task runs and nothing is written.
bool CheckOnly(const CommandLine& c) {
  return c.check && c.task.empty();
}

} // namespace

FileOutcome ScoreOneFile(const std::string& input, const CommandLine& c,
                         const PluginEntries& entries) {
  FileOutcome o;
  auto fail = [&o](int status, const std::string& error) {
    o.status = status;
    o.error = error;
    return o;
  };
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFile(input, &bytes, &error)) return fail(2, error);
  ScoreJobOptions options;
  options.task = c.task;
  options.bottom = c.bottom;
  options.fourNoteDrops = c.fourNoteDrops;
  options.spellInKey = c.spellInKey;
  options.measures = c.measures;
  options.parts = c.parts;
  options.dryRun = c.dryRun;
  options.listChanges = c.list;
  options.markChanges = c.markChanges;
  options.displayTexts = false;
  options.check = c.check;
  options.applyTask = !CheckOnly(c);
  bool dryRun = c.dryRun || !options.applyTask;

  if (!c.inPlace && !c.out.empty() && SameFile(c.out, input))
    return fail(2, c.out + ": the output would replace the input; give --in-place to do that");
  // In place through a link: the file linked to is replaced, and the link stays.
  std::string replaced = input;
  char* real = c.inPlace && c.outDir.empty() ? realpath(input.c_str(), nullptr) : nullptr;
  if (real) replaced = real;
  free(real);
  // The output is written as it is made, into a temporary file beside where it goes.
  std::string folder = !c.outDir.empty() ? c.outDir : Folder(c.out.empty() ? replaced : c.out);
  TempOutput temp;
  if (!dryRun && !temp.Open(folder, &error)) return fail(1, error);
  options.sink = [&temp](const void* data, size_t size) { return temp.Write(data, size); };

  PluginEntries plugin = entries;
  OptionsFolder options_folder;
  if ((c.fourNoteDrops || c.spellInKey) && !options_folder.Make(options, &plugin.hostFolder))
    return fail(1, "cannot make a folder for the plug-in's options file");
  ScoreJobResult r;
  try {
    r = RunScoreJob(std::move(bytes), input, options, plugin);
  } catch (const std::bad_alloc&) {
    return fail(1, input + ": not enough memory for this score");
  }
  if (r.status != 0) return fail(r.status, r.error);
  o.skipped = r.skipped;
  if (!o.skipped.empty()) return o;
  o.leftAlone = r.leftAlone;
  o.changes = r.dryRunText;
  o.summary = r.summary;
  o.changed = r.changedCount;
  o.leftAloneCount = r.leftAloneCount;
  if (c.check) o.check = r.checkText + r.checkSummary + "\n";
  if (dryRun) return o;
  std::string out =
      !c.out.empty() ? c.out
      : c.outDir.empty()
          ? (c.inPlace ? replaced : OutputBeside(input, r.task))
          : InFolder(c.outDir, c.inPlace ? BaseName(input) : OutputBeside(BaseName(input), r.task));
  struct stat st;
  mode_t mode = stat(input.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0644;
  if (!temp.Commit(out, mode, &error)) return fail(1, error);
  o.written = out;
  return o;
}

// What one score's run tells the user: parts skipped, chords left alone, the changed chords,
// where the result went and, when asked, the check of its voice leading.
static int PrintOutcome(const FileOutcome& o, const CommandLine& c) {
  if (!o.skipped.empty()) {
    fprintf(stderr, "%s\n", Printable(o.skipped).c_str());
    return 0;
  }
  if (!o.leftAlone.empty()) fprintf(stderr, "%s\n", Printable(o.leftAlone, true).c_str());
  fputs(Printable(o.changes, true).c_str(), stdout);
  if (!CheckOnly(c)) {
    if (c.dryRun)
      printf("%s (dry run: nothing written)\n", Printable(o.summary).c_str());
    else
      printf("%s; written to %s\n", Printable(o.summary).c_str(), Printable(o.written).c_str());
  }
  fputs(Printable(o.check, true).c_str(), stdout);
  return 0;
}

int RunScoreCommand(const CommandLine& given, const PluginEntries& plugin) {
  RemoveOnInterrupt();
  CommandLine c = given;
  struct stat st;
  // --out naming a folder puts the result in it, under the name it would have had beside
  if (!c.out.empty() && stat(c.out.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    c.outDir = c.out;
    c.out.clear();
  }
  bool folder = c.inputs.size() == 1 && stat(c.inputs[0].c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (c.check && (c.inputs.size() > 1 || folder)) {
    fprintf(stderr, "--check reports on one score at a time; name one score file\n");
    return 2;
  }
  if (c.inputs.size() > 1 || folder) return RunManyFiles(c, plugin);
  std::string error;
  if (!c.outDir.empty() && !c.dryRun && !MakeFolders(c.outDir, &error)) {
    fprintf(stderr, "%s\n", Printable(error).c_str());
    return 1;
  }
  FileOutcome o = ScoreOneFile(c.inputs[0], c, plugin);
  if (o.status != 0) {
    fprintf(stderr, "%s\n", Printable(o.error, true).c_str());
    return o.status;
  }
  return PrintOutcome(o, c);
}
