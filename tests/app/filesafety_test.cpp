// What the command reads and what it replaces, when files are not what they seem: devices,
// pipes and links, standard input and output, a file saved by another program meanwhile,
// read-only and shared files, a full disk, too little memory, a planted options file.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>

#include "scorecommand.h"
#include "scorefixture.h"
#include "support/commandrun.h"

using namespace scoretest;

namespace {

std::string Text(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

// A device to write to: as root a copy of /dev/null or /dev/full made in the folder, so that a
// command that wrongly replaced it replaces the copy (others cannot replace the system's).
std::string Device(const TempFolder& folder, const std::string& name, unsigned minor) {
  std::string copy = folder.Path(name);
  if (geteuid() == 0 && mknod(copy.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0) return copy;
  return "/dev/" + name;
}

mode_t Mode(const std::string& path) {
  struct stat st = {};
  lstat(path.c_str(), &st);
  return st.st_mode;
}

TEST(FileSafety, OnlyFilesAreReadAndStandardInputIsReadToALimit) {
  TempFolder folder;
  std::string fifo = folder.Path("pipe.musicxml"), out;
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  // neither is opened: a pipe with no writer would wait for ever, a device never ends
  EXPECT_EQ(2, Command("--score /dev/zero --task drop2", &out));
  EXPECT_NE(std::string::npos, out.find("/dev/zero: a device, not a score file")) << out;
  out.clear();
  EXPECT_EQ(2, Command("--score " + Quoted(fifo) + " --task drop2 --in-place", &out));
  EXPECT_NE(std::string::npos, out.find("pipe.musicxml: a pipe (FIFO), not a score file")) << out;
  EXPECT_TRUE(S_ISFIFO(Mode(fifo))); // and not made a file in place
  out.clear();
  EXPECT_EQ(2, Command("--score - --task drop2 --out - < /dev/zero", &out));
  EXPECT_NE(std::string::npos,
            out.find("standard input: larger than 256 MB; the command reads scores up to that"))
      << out.substr(0, 400);
  // standard input in, the score on standard output, what was done on the error stream
  std::string in = FilePath("pickup.musicxml"), expected = folder.Path("expected.musicxml");
  ASSERT_EQ(0, Command("--score " + in + " --task drop2 --out " + expected, &out));
  out.clear();
  ASSERT_EQ(0, Shell("('" + std::string(QV_HOST_PATH) + "' '" + QV_PLUGIN_PATH +
                         "' --score - --task drop2 --out - < " + in + " > " +
                         folder.Path("stdout.musicxml") + ")",
                     &out))
      << out;
  EXPECT_EQ(ReadBytes(expected), ReadBytes(folder.Path("stdout.musicxml")));
  EXPECT_NE(std::string::npos, out.find("written to standard output")) << out;
  out.clear();
  EXPECT_EQ(2, Command("--score - --task drop2 < " + in, &out));
  EXPECT_NE(std::string::npos, out.find("standard input has no folder to write the result beside"))
      << out;
  EXPECT_FALSE(folder.Path("-").empty() || access(folder.Path("-").c_str(), F_OK) == 0);
}

TEST(FileSafety, OutWritesThroughADeviceOrAPipeAndNeverReplacesALink) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", Text(ReadBytes(FilePath("pickup.musicxml"))));
  std::string expected = folder.Path("expected.musicxml"), out;
  ASSERT_EQ(0, Command("--score " + in + " --task drop2 --out " + expected, &out)) << out;
  std::string null = Device(folder, "null", 3);
  EXPECT_EQ(0, Command("--score " + in + " --task drop2 --out " + null, &out)) << out;
  EXPECT_TRUE(S_ISCHR(Mode(null))) << "the null device was replaced";
  // a pipe with a reader at its other end gets the score
  std::string fifo = folder.Path("pipe"), caught = folder.Path("caught.musicxml");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  out.clear();
  EXPECT_EQ(0,
            Shell("cat " + fifo + " > " + caught + " & '" + std::string(QV_HOST_PATH) + "' '" +
                      QV_PLUGIN_PATH + "' --score " + in + " --task drop2 --out " + fifo + "; wait",
                  &out))
      << out;
  EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
  EXPECT_EQ(ReadBytes(expected), ReadBytes(caught));
  // a link is neither replaced nor followed
  std::string other = folder.Write("other.musicxml", "kept");
  ASSERT_EQ(0, symlink("other.musicxml", folder.Path("link.musicxml").c_str()));
  out.clear();
  EXPECT_EQ(2,
            Command("--score " + in + " --task drop2 --out " + folder.Path("link.musicxml"), &out));
  EXPECT_NE(std::string::npos, out.find("link.musicxml: a link; the result never replaces a link"))
      << out;
  EXPECT_TRUE(S_ISLNK(Mode(folder.Path("link.musicxml"))));
  EXPECT_EQ("kept", Text(ReadBytes(other)));
  EXPECT_TRUE(commandrun::Find(folder.Path(""), ".qvscore").empty());
}

// Another program saves the score while the task runs on the version read before: as editors
// save (a new file renamed over it), or written over in place, the same size, with its
// modification time put back (before, that edit was lost and the command ended with 0).
TEST(FileSafety, InPlaceKeepsAScoreSavedMeanwhileAndPutsTheResultBesideIt) {
  std::string saved = GeneratedScore(40);
  std::string edited = GeneratedScore(8000);
  edited.replace(edited.find("<step>C</step>"), 14, "<step>D</step>");
  struct Case {
    const char* how;
    std::string kept; // what the input holds afterwards
    std::function<void(const TempFolder&, const std::string&)> save;
  } cases[] = {
      {"renamed over it", saved,
       [&saved](const TempFolder& folder, const std::string& in) {
         folder.Write("saved.tmp", saved);
         ASSERT_EQ(0, rename(folder.Path("saved.tmp").c_str(), in.c_str()));
       }},
      {"written in place with its times put back", edited,
       [&edited](const TempFolder&, const std::string& in) {
         struct stat st;
         ASSERT_EQ(0, stat(in.c_str(), &st));
         FILE* f = fopen(in.c_str(), "r+b");
         ASSERT_TRUE(f != nullptr);
         EXPECT_EQ(edited.size(), fwrite(edited.data(), 1, edited.size(), f));
         ASSERT_EQ(0, fclose(f));
         struct timespec times[2] = {st.st_atim, st.st_mtim};
         ASSERT_EQ(0, utimensat(AT_FDCWD, in.c_str(), times, 0));
       }},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    std::string in = folder.Write("song.musicxml", GeneratedScore(8000));
    pid_t pid =
        commandrun::Start(QV_HOST_PATH, QV_PLUGIN_PATH,
                          {"--score", in, "--task", "drop2", "--in-place"}, "", folder.Path("log"));
    // the temporary output is made once the input is read
    ASSERT_FALSE(commandrun::WaitFor(folder.Path(""), ".qvscore.", pid).empty()) << c.how;
    c.save(folder, in);
    int status = commandrun::Wait(pid);
    std::string log = Text(ReadBytes(folder.Path("log")));
    ASSERT_TRUE(WIFEXITED(status)) << c.how << ": " << log;
    EXPECT_EQ(1, WEXITSTATUS(status)) << c.how << ": " << log;
    EXPECT_EQ(c.kept, Text(ReadBytes(in))) << c.how;
    EXPECT_NE(std::string::npos,
              log.find("song.musicxml: changed by another program while the task ran"))
        << c.how << ": " << log;
    EXPECT_NE(std::string::npos,
              log.find("the result written to " + folder.Path("song-drop-2nd.musicxml")))
        << c.how << ": " << log;
    std::string result = Text(ReadBytes(folder.Path("song-drop-2nd.musicxml")));
    EXPECT_NE(std::string::npos, result.find("<measure number=\"2000\">")) << c.how;
    EXPECT_NE(GeneratedScore(8000), result) << c.how;
  }
}

TEST(FileSafety, InPlaceKeepsOwnerAndModeRefusesReadOnlyFilesAndSaysALinkIsSplit) {
  TempFolder folder;
  std::string original = Text(ReadBytes(FilePath("pickup.musicxml"))), out;
  std::string in = folder.Write("song.musicxml", original);
  ASSERT_EQ(0, chmod(in.c_str(), 0640));
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(0, chown(in.c_str(), 4321, 4322));
  }
  ASSERT_EQ(0, Command("--score " + in + " --task drop2 --in-place", &out)) << out;
  struct stat st;
  ASSERT_EQ(0, stat(in.c_str(), &st));
  EXPECT_NE(original, Text(ReadBytes(in)));
  EXPECT_EQ(0640u, st.st_mode & 0777);
  if (root) {
    EXPECT_EQ(4321u, st.st_uid);
    EXPECT_EQ(4322u, st.st_gid);
  }

  std::string locked = folder.Write("locked.musicxml", original);
  ASSERT_EQ(0, chmod(locked.c_str(), 0444));
  out.clear();
  EXPECT_EQ(2, Command("--score " + locked + " --task drop2 --in-place", &out));
  EXPECT_NE(std::string::npos, out.find("locked.musicxml: read-only; --in-place leaves it")) << out;
  EXPECT_EQ(original, Text(ReadBytes(locked)));

  std::string shared = folder.Write("shared.musicxml", original);
  ASSERT_EQ(0, link(shared.c_str(), folder.Path("second-name.musicxml").c_str()));
  out.clear();
  EXPECT_EQ(0, Command("--score " + shared + " --task drop2 --in-place", &out)) << out;
  EXPECT_NE(std::string::npos,
            out.find("shared.musicxml: had 1 other name (a hard link), which keeps the score"))
      << out;
  EXPECT_EQ(original, Text(ReadBytes(folder.Path("second-name.musicxml"))));
  EXPECT_NE(original, Text(ReadBytes(shared)));

  // a new file gets what the umask leaves, whatever the input's permissions
  ASSERT_EQ(0, chmod(in.c_str(), 0777));
  out.clear();
  EXPECT_EQ(0, Command("--score " + in + " --task rotate --out " + folder.Path("new.musicxml") +
                           " 2>&1; (umask 077; '" + QV_HOST_PATH + "' '" + QV_PLUGIN_PATH +
                           "' --score " + in + " --task rotate --out " +
                           folder.Path("private.musicxml") + ")",
                       &out))
      << out;
  mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(0666 & ~mask, Mode(folder.Path("new.musicxml")) & 0777);
  EXPECT_EQ(0600u, Mode(folder.Path("private.musicxml")) & 0777);
}

TEST(FileSafety, AFullDiskOrTheFileSizeLimitNamesTheFileAndTheReasonAndLeavesNothing) {
  TempFolder folder;
  std::string in = folder.Write("song.musicxml", GeneratedScore(400)), out;
  std::string full = Device(folder, "full", 7);
  EXPECT_EQ(1, Command("--score " + in + " --task drop2 --out " + full, &out));
  EXPECT_NE(std::string::npos, out.find(full + ": cannot write (No space left on device)")) << out;
  unlink(folder.Path("full").c_str());
  // the limit is in blocks of 512 or 1024 bytes: well below the 100 KB result either way
  out.clear();
  EXPECT_EQ(1, Shell("ulimit -f 40; '" + std::string(QV_HOST_PATH) + "' '" + QV_PLUGIN_PATH +
                         "' --score " + in + " --task drop2 --out " + folder.Path("out.musicxml"),
                     &out))
      << out;
  EXPECT_NE(std::string::npos,
            out.find(folder.Path("out.musicxml") + ": cannot write (File too large); nothing was "
                                                   "written"))
      << out;
  EXPECT_EQ(1, folder.Count()); // the input alone: no stray temporary file
}

TEST(FileSafety, RunningOutOfMemorySaysSoAndLeavesNothing) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator ends the process on a failed allocation itself";
#else
  TempFolder folder;
  std::string in = folder.Path("song.musicxml"), out;
  ASSERT_GT(WriteScore(in, 120000), 0); // some 100 MB of text, read into 250 MB at most
  EXPECT_EQ(1, Shell("ulimit -v 250000; '" + std::string(QV_HOST_PATH) + "' '" + QV_PLUGIN_PATH +
                         "' --score " + in + " --task drop2 --out " + folder.Path("out.musicxml"),
                     &out))
      << out;
  EXPECT_NE(std::string::npos, out.find("song.musicxml: not enough memory for this score")) << out;
  EXPECT_EQ(1, folder.Count());
#endif
}

// The XML reader's memory, made to run out: while a FailingReader lives, every allocation of
// the reader fails after the first `allowed`.
class FailingReader {
public:
  explicit FailingReader(long allowed = 0) {
    Left() = allowed;
    pugi::set_memory_management_functions(
        [](size_t size) -> void* { return Left()-- > 0 ? malloc(size) : nullptr; }, free);
  }
  ~FailingReader() { pugi::set_memory_management_functions(malloc, free); }
  static long& Left() {
    static long left = 0;
    return left;
  }
};

TEST(FileSafety, RunningOutOfMemoryInTheXmlReaderSaysSo) {
  // before, it was "not well-formed XML (Could not allocate memory)", status 2
  TempFolder folder;
  CommandLine c;
  c.inputs = {folder.Write("song.musicxml", GeneratedScore(4))};
  c.task = "drop2";
  c.dryRun = true;
  FileOutcome o;
  {
    FailingReader failing;
    o = ScoreOneFile(c.inputs[0], c, Plugin());
  }
  EXPECT_EQ(1, o.status);
  EXPECT_EQ(c.inputs[0] + ": not enough memory for this score", o.error);
  o = ScoreOneFile(c.inputs[0], c, Plugin()); // the reader's memory back: read as ever
  EXPECT_EQ(0, o.status) << o.error;
  EXPECT_EQ(4u, o.changed);
}

TEST(FileSafety, MemoryRunningOutWhileVoicesAreWrittenAnewSaysSoWhereverItHappens) {
  // Before, the new notes' own parse went unchecked: a note it could not make was left out
  // of a file written as a success.
  TempFolder folder;
  CommandLine c;
  c.inputs = {FilePath("explode-chorale.musicxml")};
  c.task = "Explode";
  c.out = folder.Path("out.musicxml");
  FileOutcome whole = ScoreOneFile(c.inputs[0], c, Plugin());
  ASSERT_EQ(0, whole.status) << whole.error;
  std::vector<uint8_t> want = ReadBytes(c.out);
  int refused = 0;
  for (long allowed = 0;; allowed += 1) {
    unlink(c.out.c_str());
    FileOutcome o;
    {
      FailingReader failing(allowed);
      o = ScoreOneFile(c.inputs[0], c, Plugin());
    }
    if (o.status == 0) {
      EXPECT_EQ(want, ReadBytes(c.out)) << allowed;
      break;
    }
    ++refused;
    EXPECT_EQ(1, o.status) << allowed << ": " << o.error;
    EXPECT_EQ(c.inputs[0] + ": not enough memory for this score", o.error) << allowed;
    ASSERT_LT(allowed, 100000);
  }
  EXPECT_GT(refused, 10);
}

TEST(FileSafety, TheOptionsFileIsNeverTakenFromTheFolderTheCommandRunsIn) {
  TempFolder folder;
  std::string args = "--score " + FilePath("tasks.musicxml") + " --task 'Drop 2nd' --dry-run";
  std::string clean, planted;
  ASSERT_EQ(0, Command(args, &clean)) << clean;
  // a planted options file asking for the four-note rule, as the host's folder would hold it
  folder.Write("\\qvpluginoptions.txt", "QVCHORDSHAPER_FOURNOTEDROPCHORDS=1\n");
  ASSERT_EQ(0, Shell("cd " + folder.Path("") + " && '" + QV_HOST_PATH + "' '" + QV_PLUGIN_PATH +
                         "' " + args,
                     &planted))
      << planted;
  EXPECT_EQ(clean, planted);
  // one that never ends
  unlink(folder.Path("\\qvpluginoptions.txt").c_str());
  ASSERT_EQ(0, symlink("/dev/zero", folder.Path("\\qvpluginoptions.txt").c_str()));
  planted.clear();
  EXPECT_EQ(0, Shell("cd " + folder.Path("") + " && timeout 120 '" + QV_HOST_PATH + "' '" +
                         QV_PLUGIN_PATH + "' " + args,
                     &planted))
      << planted;
  EXPECT_EQ(clean, planted);
}

} // namespace
