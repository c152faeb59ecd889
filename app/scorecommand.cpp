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
#include <stdexcept>
#include <vector>

#include "cleanup.h"
#include "scorejob.h"

namespace {

const char* kStandardInput = "standard input";

// What a file that is not a regular one is, for the message that refuses it.
std::string KindOf(mode_t mode) {
  return S_ISDIR(mode)    ? "a folder"
         : S_ISCHR(mode)  ? "a device"
         : S_ISBLK(mode)  ? "a disk device"
         : S_ISFIFO(mode) ? "a pipe (FIFO)"
         : S_ISSOCK(mode) ? "a socket"
         : S_ISLNK(mode)  ? "a link"
                          : "not a regular file";
}

std::string TooLarge(const std::string& name) {
  return name + ": larger than " + std::to_string(kMaxScoreBytes >> 20) +
         " MB; the command reads scores up to that size";
}

// The score's bytes: a regular file (what it was when read in *st), or standard input for
// "-"; never more than kMaxScoreBytes. A device, a pipe or a folder is refused unopened.
bool ReadInput(const std::string& path, std::vector<uint8_t>* bytes, struct stat* st,
               std::string* error) {
  bool standardInput = path == "-";
  std::string name = standardInput ? kStandardInput : path;
  if (!standardInput && stat(path.c_str(), st) == 0 && !S_ISREG(st->st_mode)) {
    *error = S_ISDIR(st->st_mode) ? path + ": is a folder, not a score file"
                                  : path + ": " + KindOf(st->st_mode) +
                                        ", not a score file; only files are read (or - for "
                                        "standard input)";
    return false;
  }
  int fd = standardInput ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *error = path + ": cannot open (" + strerror(errno) + ")";
    return false;
  }
  bool ok = fstat(fd, st) == 0;
  if (ok && !standardInput && !S_ISREG(st->st_mode)) { // swapped since it was looked at
    *error = path + ": " + KindOf(st->st_mode) + ", not a score file";
    ok = false;
  } else if (ok && S_ISREG(st->st_mode) && static_cast<uint64_t>(st->st_size) > kMaxScoreBytes) {
    *error = TooLarge(name);
    ok = false;
  }
  if (ok && S_ISREG(st->st_mode)) bytes->reserve(static_cast<size_t>(st->st_size) + (1 << 16));
  const size_t piece = 1 << 16;
  for (ssize_t n = 1; ok && n != 0;) {
    size_t at = bytes->size();
    bytes->resize(at + piece);
    n = read(fd, bytes->data() + at, piece);
    bytes->resize(at + (n > 0 ? static_cast<size_t>(n) : 0));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) *error = name + ": cannot read (" + strerror(errno) + ")";
    if (bytes->size() > kMaxScoreBytes) *error = TooLarge(name);
    ok = error->empty();
  }
  if (!standardInput) close(fd);
  if (!ok) std::vector<uint8_t>().swap(*bytes);
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

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool Same(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Whether the file is still the one read: the same file, not written since. The change time
// too: a program may put the modification time back after writing, but no program can set
// the change time.
bool Unchanged(const struct stat& read, const struct stat& now) {
  return read.st_dev == now.st_dev && read.st_ino == now.st_ino && read.st_size == now.st_size &&
         Same(read.st_mtim, now.st_mtim) && Same(read.st_ctim, now.st_ctim);
}

// Whether the user may replace the file: it is not read-only, to the user nor to anyone.
bool Writable(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0;
}

// Where --out sends the result: into a file replaced whole, or through to what is already
// there (standard output, a terminal, a device, a pipe).
enum class Target { File, Through };

// What the output's name stands for now; false with the message when the result cannot
// safely go there: a link (the file it points to is not meant), a folder, a disk, a socket.
bool CheckTarget(const std::string& out, Target* target, struct stat* st, std::string* error) {
  *target = Target::File;
  if (out == "-") {
    *target = Target::Through;
    return true;
  }
  if (lstat(out.c_str(), st) != 0) {
    st->st_mode = 0; // a new file
    return true;
  }
  struct stat to;
  bool through = S_ISCHR(st->st_mode) || S_ISFIFO(st->st_mode) ||
                 (S_ISLNK(st->st_mode) && stat(out.c_str(), &to) == 0 &&
                  (S_ISCHR(to.st_mode) || S_ISFIFO(to.st_mode)));
  if (through) {
    *target = Target::Through;
    return true;
  }
  if (S_ISREG(st->st_mode) && !Writable(out, *st)) {
    *error = out + ": read-only; left as it is (make it writable to have it replaced, or name "
                   "another file)";
    return false;
  }
  if (S_ISREG(st->st_mode)) return true;
  *error = out + ": " + KindOf(st->st_mode) +
           (S_ISLNK(st->st_mode)
                ? "; the result never replaces a link: name the file it points to, or another file"
                : "; the result replaces only a file: name another");
  return false;
}

// The output in the making. Into a file: a temporary file in the target's folder, renamed
// over the target once complete, removed if the run ends before that, an interruption
// included. Through: written to the device, pipe or standard output as it is made.
class Output {
public:
  ~Output() {
    if (_fd >= 0 && _fd != STDOUT_FILENO) close(_fd);
    if (!_path.empty()) unlink(_path.c_str());
    Forget(_noted);
  }
  bool Open(const std::string& folder, std::string* error) {
    RemoveDeadStrays(folder, ".qvscore");
    std::string name = folder + "/" + StrayPrefix(".qvscore") + "XXXXXX";
    _fd = MakeNotedTemporary(&name, &_noted);
    if (_fd < 0) {
      *error = folder + ": cannot write in this folder (" + strerror(errno) + ")";
      return false;
    }
    _path = name;
    return true;
  }
  bool OpenThrough(const std::string& out, std::string* error) {
    _fd = out == "-" ? STDOUT_FILENO : open(out.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (_fd < 0) *error = out + ": cannot write (" + strerror(errno) + ")";
    return _fd >= 0;
  }
  bool Write(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0 && _errno == 0) {
      ssize_t n = write(_fd, p, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) _errno = n < 0 ? errno : EIO;
      p += n > 0 ? n : 0;
      size -= n > 0 ? static_cast<size_t>(n) : 0;
    }
    return _errno == 0;
  }
  // Why the last write failed, naming where it went, or empty.
  std::string Failure(const std::string& target) const {
    if (_errno == 0) return std::string();
    return (target == "-" ? "standard output" : target) + ": cannot write (" + strerror(_errno) +
           ")" + (_path.empty() ? "" : "; nothing was written");
  }
  // Ready to take the target's place: a file it replaces keeps its owner and permissions (a
  // new one gets what the umask leaves), and is on the disk before it takes the old one's
  // name, so that a power cut leaves the one or the other; a new file's is left to the
  // system, which keeps many outputs from waiting on the disk.
  bool Finish(const std::string& target, const struct stat* replaced, std::string* error) {
    mode_t mode = replaced ? replaced->st_mode & 0777 : NewFileMode();
    struct stat mine;
    bool ok = fchmod(_fd, mode) == 0 && fstat(_fd, &mine) == 0;
    if (ok && replaced && (mine.st_uid != replaced->st_uid || mine.st_gid != replaced->st_gid) &&
        fchown(_fd, replaced->st_uid, replaced->st_gid) != 0) {
      *error = target + ": belongs to another user or group, which the result could not keep; "
                        "left as it is";
      return false;
    }
    ok = ok && (!replaced || fsync(_fd) == 0);
    int why = ok ? 0 : errno;
    if (close(_fd) != 0 && ok) why = errno;
    _fd = -1;
    if (why) *error = target + ": cannot write (" + strerror(why) + ")";
    return why == 0;
  }
  // The temporary file renamed to the target; with noReplace an existing target is left
  // alone (false, errno EEXIST).
  bool Rename(const std::string& target, bool noReplace, std::string* error) {
    if (RenameNoted(_path, target, _noted, noReplace) == 0) {
      _path.clear();
      _noted = -1;
      return true;
    }
    *error = target + ": cannot write (" + strerror(errno) + ")";
    return false;
  }

private:
  int _fd = -1;      // the open temporary file, or the target written through
  std::string _path; // the temporary file's path, until it is renamed
  int _noted = -1;   // its note for removal on an interruption
  int _errno = 0;    // why a write failed
};

// The input's own file when it is to be replaced: through a link, the file linked to (the
// link stays).
std::string Replaced(const std::string& input, const CommandLine& c) {
  std::string replaced = input;
  char* real = c.inPlace && c.outDir.empty() ? realpath(input.c_str(), nullptr) : nullptr;
  if (real) replaced = real;
  free(real);
  return replaced;
}

// A name in a folder, with one slash between them however the folder was typed ("out/").
std::string InFolder(std::string folder, const std::string& name) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string ResultPath(const std::string& input, const CommandLine& c, const std::string& task) {
  if (!c.out.empty()) return c.out;
  if (c.outDir.empty()) return c.inPlace ? Replaced(input, c) : OutputBeside(input, task);
  return InFolder(c.outDir, c.inPlace ? BaseName(input) : OutputBeside(BaseName(input), task));
}

// "song-drop-2nd.musicxml", then "song-drop-2nd-2.musicxml", ...
std::string Numbered(const std::string& path, int k) {
  if (k < 2) return path;
  size_t slash = path.rfind('/'), dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot) + "-" + std::to_string(k) + path.substr(dot);
}

// The input was saved by another program while the task ran: it stays, and the result goes
// beside it under a name not taken.
void KeepBeside(Output* output, const std::string& input, const std::string& replaced,
                const std::string& task, FileOutcome* o) {
  std::string error, beside = OutputBeside(replaced, task);
  o->status = 1;
  if (!output->Finish(beside, nullptr, &error)) {
    o->error = error;
    return;
  }
  for (int k = 1; k < 1000; ++k) {
    std::string name = Numbered(beside, k);
    if (output->Rename(name, true, &error)) {
      o->written = name;
      o->error = input +
                 ": changed by another program while the task ran (saved meanwhile?); "
                 "it was left as it is, and the result written to " +
                 name;
      return;
    }
    if (errno != EEXIST) break;
  }
  o->error = input +
             ": changed by another program while the task ran; it was left as it is, "
             "and the result could not be kept (" +
             error + ")";
}

// The finished output takes its place: the target looked at again now, and in place, the
// input must still be the very file that was read.
void Place(Output* output, const std::string& input, const CommandLine& c, const struct stat& read,
           const std::string& task, FileOutcome* o) {
  std::string out = ResultPath(input, c, task), error;
  struct stat now;
  bool exists = lstat(out.c_str(), &now) == 0;
  if (c.inPlace && c.outDir.empty() && (!exists || !Unchanged(read, now)))
    return KeepBeside(output, input, out, task, o);
  Target target;
  if (!CheckTarget(out, &target, &now, &error) || target == Target::Through) {
    o->status = 1;
    o->error = error.empty() ? out + ": no longer a file; nothing was written" : error;
    return;
  }
  if (exists && now.st_nlink > 1)
    o->notice = out + ": had " + std::to_string(now.st_nlink - 1) +
                (now.st_nlink == 2 ? " other name (a hard link), which keeps"
                                   : " other names (hard links), which keep") +
                " the score as it was";
  if (!output->Finish(out, exists ? &now : nullptr, &error) ||
      !output->Rename(out, false, &error)) {
    o->status = 1;
    o->error = error;
    return;
  }
  o->written = out;
}

// The job on one file, from reading it to placing its result; may throw std::bad_alloc.
FileOutcome ScoreFile(const std::string& input, const CommandLine& c, const PluginEntries& plugin,
                      const std::function<void(const std::string&)>& checkLines) {
  FileOutcome o;
  auto fail = [&o](int status, const std::string& error) {
    o.status = status;
    o.error = error;
    return o;
  };
  bool standardInput = input == "-";
  if (standardInput && c.inPlace)
    return fail(2, "standard input cannot be replaced in place: give --out FILE (or --out - for "
                   "standard output)");
  if (standardInput && !c.dryRun && c.out.empty() && c.outDir.empty())
    return fail(2, "standard input has no folder to write the result beside: give --out FILE (or "
                   "--out - for standard output)");
  bool dryRun = c.dryRun || CheckOnly(c);
  std::vector<uint8_t> bytes;
  struct stat read, st;
  std::string error;
  if (!ReadInput(input, &bytes, &read, &error)) return fail(2, error);
  if (c.inPlace && c.outDir.empty() && !Writable(Replaced(input, c), read))
    return fail(2, input + ": read-only; --in-place leaves it as it is (make it writable to "
                           "have it replaced)");
  Target target = Target::File;
  if (!c.out.empty() && c.out != "-" && !standardInput && SameFile(c.out, input))
    return fail(2, c.out + ": the output would replace the input; give --in-place to do that");
  if (!c.out.empty() && !CheckTarget(c.out, &target, &st, &error)) return fail(2, error);
  // The output is written as it is made, into a temporary file beside where it goes.
  Output output;
  if (!dryRun && !(target == Target::Through ? output.OpenThrough(c.out, &error)
                                             : output.Open(OutputFolder(input, c), &error)))
    return fail(1, error);
  ScoreJobOptions options = JobOptions(c);
  options.sink = [&output](const void* data, size_t size) { return output.Write(data, size); };
  options.checkLines = checkLines;
  ScoreJobResult r =
      RunScoreJob(std::move(bytes), standardInput ? kStandardInput : input, options, plugin);
  if (r.status != 0) {
    std::string why = output.Failure(ResultPath(input, c, r.task));
    return fail(r.status, why.empty() ? r.error : why);
  }
  o.skipped = r.skipped;
  if (!o.skipped.empty()) return o;
  o.leftAlone = r.leftAlone;
  o.changes = r.dryRunText;
  o.summary = r.summary;
  o.changed = r.changedCount;
  o.leftAloneCount = r.leftAloneCount;
  if (c.check) o.check = r.checkText + r.checkSummary + "\n";
  if (dryRun) return o;
  if (target == Target::Through) {
    o.written = c.out == "-" ? "standard output" : c.out;
    return o;
  }
  Place(&output, input, c, read, r.task, &o);
  return o;
}

} // namespace

// The permissions a new file gets: what the user's umask leaves of rw-rw-rw-. Read once,
// before any worker starts.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    mode_t mask = umask(022);
    umask(mask);
    return 0666 & ~mask;
  }();
  return mode;
}

// --check without --task: the check alone; no task runs and nothing is written.
bool CheckOnly(const CommandLine& c) {
  return c.check && c.task.empty();
}

ScoreJobOptions JobOptions(const CommandLine& c) {
  ScoreJobOptions options;
  options.task = c.task;
  options.bottom = c.bottom;
  options.fourNoteDrops = c.fourNoteDrops;
  options.spellInKey = c.spellInKey;
  options.strict = c.strict;
  options.voicing = c.voicing;
  options.leading = !c.noLeading;
  options.topRange = c.topRange;
  options.measures = c.measures;
  options.parts = c.parts;
  options.dryRun = c.dryRun;
  options.listChanges = c.list;
  options.markChanges = c.markChanges;
  options.displayTexts = false;
  options.check = c.check;
  options.applyTask = !CheckOnly(c);
  return options;
}

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

std::string OutputFolder(const std::string& input, const CommandLine& c) {
  if (!c.outDir.empty()) return c.outDir;
  return Folder(c.out.empty() ? Replaced(input, c) : c.out);
}

FileOutcome ScoreOneFile(const std::string& input, const CommandLine& c,
                         const PluginEntries& plugin,
                         const std::function<void(const std::string& line)>& checkLines) {
  try {
    return ScoreFile(input, c, plugin, checkLines);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) { // a size past what memory can hold
  }
  FileOutcome o;
  o.status = 1;
  o.error =
      (input == "-" ? kStandardInput : input) + std::string(": not enough memory for this score");
  return o;
}

bool MakeFolders(const std::string& path, std::string* error) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    struct stat st;
    if (stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      *error = path + ": cannot make this folder (" + strerror(errno) + ")";
      return false;
    }
  }
  return true;
}
