#include "command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "cleanup.h"
#include "manyfiles.h"
#include "printable.h"
#include "scorecommand.h"

namespace {

// A private folder for the host's options file, so that the plug-in never reads one from the
// folder the command runs in; removed with it when the run ends, however.
class OptionsFolder {
public:
  bool Make(const ScoreJobOptions& options, std::string* hostFolder, std::string* error) {
    const char* tmp = getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    RemoveDeadStrays(folder, "qvhost");
    std::string templ = folder + "/" + StrayPrefix("qvhost") + "XXXXXX";
    if (!mkdtemp(&templ[0])) {
      *error = folder + ": cannot make a folder for the plug-in's options file (" +
               strerror(errno) + ")";
      return false;
    }
    _root = templ;
    _rootNote = Remember(_root, true);
    // The plug-in opens "<host folder>\qvpluginoptions.txt": here a file inside the root.
    *hostFolder = _root + "/host";
    _fileNote = Remember(File());
    if (WriteHostOptions(*hostFolder, options)) return true;
    *error = _root + ": cannot write the plug-in's options file (" + strerror(errno) + ")";
    return false;
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

// Where the command says what it has to say: with the score on standard output, everything
// else goes to the error stream.
FILE* Say(const CommandLine& c) {
  return c.out == "-" ? stderr : stdout;
}

// The check's lines on their way to the user as the job finds them, none held in memory:
// straight out when the check is all there is to say; after a task, whose summary line comes
// first, into an unnamed temporary file until then (in memory only when none can be made).
class CheckLines {
public:
  explicit CheckLines(const CommandLine& c)
      : _say(Say(c)), _spool(CheckOnly(c) ? nullptr : tmpfile()), _direct(CheckOnly(c)) {}
  ~CheckLines() {
    if (_spool) fclose(_spool);
  }
  void Line(const std::string& line) {
    std::string shown = Printable(line, true);
    if (_direct)
      fputs(shown.c_str(), _say);
    else if (_spool)
      fputs(shown.c_str(), _spool);
    else
      _held += shown;
  }
  // The lines kept back, said now; false when the temporary file lost some.
  bool Flush() {
    if (_spool && (fflush(_spool) != 0 || ferror(_spool) || fseek(_spool, 0, SEEK_SET) != 0))
      return false;
    char buffer[1 << 16];
    for (size_t n; _spool && (n = fread(buffer, 1, sizeof buffer, _spool)) > 0;)
      fwrite(buffer, 1, n, _say);
    fputs(_held.c_str(), _say);
    return !_spool || !ferror(_spool);
  }

private:
  FILE* _say;
  FILE* _spool;
  bool _direct;
  std::string _held;
};

// What one score's run tells the user: parts skipped, chords left alone, the changed chords,
// where the result went and, when asked, the check of its voice leading (its lines from
// check, when it kept them back).
int PrintOutcome(const FileOutcome& o, const CommandLine& c, CheckLines* check) {
  FILE* say = Say(c);
  if (!o.notice.empty()) fprintf(stderr, "%s\n", Printable(o.notice).c_str());
  if (o.status != 0) {
    fprintf(stderr, "%s\n", Printable(o.error, true).c_str());
    return o.status;
  }
  if (!o.skipped.empty()) {
    fprintf(stderr, "%s\n", Printable(o.skipped).c_str());
    return 0;
  }
  if (!o.leftAlone.empty()) fprintf(stderr, "%s\n", Printable(o.leftAlone, true).c_str());
  fputs(Printable(o.changes, true).c_str(), say);
  if (!CheckOnly(c)) {
    if (c.dryRun)
      fprintf(say, "%s (dry run: nothing written)\n", Printable(o.summary).c_str());
    else
      fprintf(say, "%s; written to %s\n", Printable(o.summary).c_str(),
              Printable(o.written).c_str());
  }
  if (check && !check->Flush()) {
    fprintf(stderr, "the check's lines could not be kept in a temporary file (%s)\n",
            strerror(errno));
    return 1;
  }
  fputs(Printable(o.check, true).c_str(), say);
  return 0;
}

int RunOne(const CommandLine& c, const PluginEntries& plugin) {
  std::string error;
  if (!c.outDir.empty() && !c.dryRun && !MakeFolders(c.outDir, &error)) {
    fprintf(stderr, "%s\n", Printable(error).c_str());
    return 1;
  }
  if (!c.check) return PrintOutcome(ScoreOneFile(c.inputs[0], c, plugin), c, nullptr);
  CheckLines check(c);
  FileOutcome o =
      ScoreOneFile(c.inputs[0], c, plugin, [&check](const std::string& line) { check.Line(line); });
  return PrintOutcome(o, c, &check);
}

int RunCommand(const CommandLine& given, const PluginEntries& entries) {
  CommandLine c = given;
  struct stat st;
  // --out naming a folder puts the result in it, under the name it would have had beside
  if (!c.out.empty() && c.out != "-" && stat(c.out.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    c.outDir = c.out;
    c.out.clear();
  }
  // The plug-in's options file is always the command's own, whatever the options.
  PluginEntries plugin = entries;
  OptionsFolder options;
  std::string error;
  if (!options.Make(JobOptions(c), &plugin.hostFolder, &error)) {
    fprintf(stderr, "%s\n", Printable(error).c_str());
    return 1;
  }
  bool folder = c.inputs.size() == 1 && stat(c.inputs[0].c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (c.check && (c.inputs.size() > 1 || folder)) {
    fprintf(stderr, "--check reports on one score at a time; name one score file\n");
    return 2;
  }
  if (c.inputs.size() > 1 || folder) return RunManyFiles(c, plugin);
  return RunOne(c, plugin);
}

} // namespace

int RunScoreCommand(const CommandLine& c, const PluginEntries& plugin) {
  RemoveOnInterrupt();
  NewFileMode();
  try {
    return RunCommand(c, plugin);
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "not enough memory\n");
    return 1;
  }
}
