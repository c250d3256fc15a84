// Writing files: failures keep the old file, links, permissions.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Tests run as root, who may write anywhere; cases of an ordinary user run as nobody.
constexpr uid_t kNobody = 65534;

// Runs `work` in a child process as user `uid` (with that group and no other) and gives what it
// returned, or why the child failed.
std::string InChildProcess(uid_t uid, const std::function<std::string()>& work) {
  int channel[2];
  if (pipe(channel) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0) _exit(2);
    const std::string result = work();
    _exit(write(channel[1], result.data(), result.size()) < 0 ? 3 : 0);
  }
  close(channel[1]);
  std::string result;
  char buffer[256];
  for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<size_t>(count));
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "child failed: " + std::to_string(status);
  return result;
}

// The system's calls on a filesystem without unnamed files (O_TMPFILE), as NFS or FAT.
FileSystemCalls WithoutUnnamedFiles() {
  FileSystemCalls calls = FileSystemCalls::System();
  calls.openUnnamed = [](int) {
    errno = EOPNOTSUPP;
    return -1;
  };
  return calls;
}

// The names in a folder, sorted, each followed by a space.
std::string ListFolder(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename());
  std::string list;
  for (const std::string& name : names) list += name + " ";
  return list;
}

// One system call failing while the header is written: the reason in words, the old header whole,
// no temporary file left, and the source still written (in short writes of 100 bytes).
TEST(FileWriterTest, FailingCallKeepsThePreviousFileAndWritesTheOther) {
  using Failing = std::tuple<std::string, int, bool>;  // call, error, hidden named temporaries
  for (const auto& [call, error, named] :
       {Failing{"write", ENOSPC, false}, Failing{"fsync", EIO, false},
        Failing{"close", EDQUOT, false}, Failing{"rename", EXDEV, false},
        Failing{"write", ENOSPC, true}, Failing{"rename", EXDEV, true}}) {
    TempFolder folder;
    std::ofstream(folder / "song.h") << "old header";
    int failed = 0;  // only the first such call fails
    auto fails = [&, call = call, error = error](const std::string& failing) {
      return call == failing && failed++ == 0 && (errno = error) != 0;
    };
    const FileSystemCalls& system = FileSystemCalls::System();
    FileSystemCalls calls = named ? WithoutUnnamedFiles() : system;
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      return fails("write") ? -1 : system.write(fd, bytes, std::min<size_t>(count, 100));
    };
    calls.fsync = [&](int fd) { return fails("fsync") ? -1 : system.fsync(fd); };
    calls.close = [&](int fd) { return system.close(fd) != 0 || fails("close") ? -1 : 0; };
    calls.rename = [&](const char* from, const char* to) {
      return fails("rename") ? -1 : system.rename(from, to);
    };
    Generator generator{CodePage(1252)};
    EXPECT_EQ(ExportTestFont(generator, u"ij", folder / "song", true, 10, calls),
              folder / "song.h: " + std::strerror(error) + "\n");
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old header");
    EXPECT_NE(ReadFileBytes(folder / "song.c").find("EX_FONT_UNICODE_VAL(0x006a)"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 2) << call << named;
  }
}

// A symbolic link is followed and its target replaced, keeping its mode; a path under a regular
// file is reported for both files. A directory as the target is checked through the pindot command.
TEST(FileWriterTest, ALinkIsFollowedAndAPathUnderAFileIsReported) {
  TempFolder folder;
  std::ofstream(folder / "real") << "old";
  fs::permissions(folder / "real", fs::perms(0640));
  fs::create_symlink(folder / "real", folder / "link.h");
  Generator generator{CodePage(1252)};
  EXPECT_EQ(ExportTestFont(generator, u"i", folder / "link") +
                ExportTestFont(generator, u"i", folder / "real/a"),
            folder / "real/a.h: Not a directory\n" + folder / "real/a.c: Not a directory\n");
  EXPECT_TRUE(fs::is_symlink(folder / "link.h") &&
              fs::status(folder / "real").permissions() == fs::perms(0640));
  EXPECT_EQ(ReadFileBytes(folder / "real").substr(0, 19), "#ifndef KV_LINK_H\r\n");
}

// A folder the user may not write to: the export is tried as an unprivileged user (root writes
// anywhere), in a child process that hands back the reason.
TEST(FileWriterTest, AReadOnlyFolderIsReportedAndItsFileKept) {
  TempFolder folder;
  std::ofstream(folder / "song.h") << "old";
  fs::permissions(folder.path, fs::perms(0555));
  const std::string reason = InChildProcess(
      kNobody, [&] { return WriteFileReplacing(folder / "song.h", "new").value_or("written"); });
  fs::permissions(folder.path, fs::perms(0700));
  EXPECT_EQ(reason, std::strerror(EACCES));
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old");
}

// The user's own file made read-only (chmod a-w) in a folder the user may write to: renaming over
// it would succeed, yet the user may not change it.
TEST(FileWriterTest, AReadOnlyFileIsReportedToAnUnprivilegedUserAndTheOtherWritten) {
  TempFolder folder;
  fs::permissions(folder.path, fs::perms::all);
  std::ofstream(folder / "song.h") << "old";
  ASSERT_EQ(chown((folder / "song.h").c_str(), kNobody, kNobody), 0);
  fs::permissions(folder / "song.h", fs::perms(0444));
  Generator generator{CodePage(1252)};
  EXPECT_EQ(
      InChildProcess(kNobody, [&] { return ExportTestFont(generator, u"i", folder / "song"); }),
      folder / "song.h: " + std::strerror(EACCES) + "\n");
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old");
  EXPECT_NE(ReadFileBytes(folder / "song.c").find("EX_FONT_UNICODE_VAL(0x0069)"),
            std::string::npos);
}

// Root exporting over another user's file (root may write even a read-only one) leaves it that
// user's, with its mode.
TEST(FileWriterTest, ReplacingKeepsTheOwnerGroupAndModeOfAnotherUsersFile) {
  for (const fs::perms mode : {fs::perms(0600), fs::perms(0444), fs::perms(02750)}) {
    TempFolder folder;
    std::ofstream(folder / "song.h") << "old";
    ASSERT_EQ(chown((folder / "song.h").c_str(), kNobody, kNobody), 0);
    fs::permissions(folder / "song.h", mode);
    EXPECT_EQ(WriteFileReplacing(folder / "song.h", "new"), std::nullopt);
    struct stat status {};
    ASSERT_EQ(stat((folder / "song.h").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kNobody) << static_cast<int>(mode);
    EXPECT_EQ(status.st_gid, kNobody) << static_cast<int>(mode);
    EXPECT_EQ(status.st_mode & 07777, static_cast<mode_t>(mode));
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "new");
  }
}

// A link whose file does not exist yet: the file is made where the link points (a relative target
// from the link's folder, not the working folder, and its missing folders too), the link stays.
TEST(FileWriterTest, ADanglingLinkIsWrittenThrough) {
  TempFolder folder;
  fs::create_directories(folder.path / "links");
  fs::create_directories(folder.path / "data");
  const std::pair<std::string, std::string> cases[] = {// link target, where the file lands
                                                       {"../data/a.h", "data/a.h"},
                                                       {"../data/new/b.h", "data/new/b.h"},
                                                       {folder / "data/c.h", "data/c.h"},
                                                       {"d.h", "links/d.h"}};
  for (const auto& [linkTarget, landing] : cases) {
    const std::string link = folder / ("links/link-" + landing.substr(landing.rfind('/') + 1));
    fs::create_symlink(linkTarget, link);
    EXPECT_EQ(WriteFileReplacing(link, linkTarget), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link)) << linkTarget;
    EXPECT_EQ(ReadFileBytes(folder / landing), linkTarget);
  }
}

// As `mkdir -p` makes them: each missing folder gets 0777 less the umask.
TEST(FileWriterTest, MissingFoldersAreCreated) {
  TempFolder folder;
  const mode_t previousMask = umask(002);
  Generator generator{CodePage(1252)};
  const std::string failures = ExportTestFont(generator, u"i", folder / "out/new/dir/song16.txt");
  umask(previousMask);
  EXPECT_EQ(failures, "");
  EXPECT_TRUE(fs::exists(folder / "out/new/dir/song16.h"));
  EXPECT_TRUE(fs::exists(folder / "out/new/dir/song16.c"));
  for (const char* made : {"out", "out/new", "out/new/dir"})
    EXPECT_EQ(fs::status(folder / made).permissions(), fs::perms(0775)) << made;
}

// A run killed while writing leaves a temporary that nobody holds a lock on: the next write of
// that file removes it. A temporary still locked by a live writer, and a file of another pattern,
// stay; the target gets exactly the new bytes.
TEST(FileWriterTest, ALeftoverTemporaryIsRemovedByTheNextWrite) {
  TempFolder folder;
  std::ofstream(folder / ".song.h.999999-0.tmp") << "left over from a killed run";
  std::ofstream(folder / ".song.h.999998-0.tmp") << "being written";
  std::ofstream(folder / ".song.h.backup.tmp") << "the user's";
  const int liveWriter = open((folder / ".song.h.999998-0.tmp").c_str(), O_RDONLY);
  ASSERT_EQ(flock(liveWriter, LOCK_EX), 0);
  EXPECT_EQ(WriteFileReplacing(folder / "song.h", "new"), std::nullopt);
  close(liveWriter);
  EXPECT_EQ(ListFolder(folder.path), ".song.h.999998-0.tmp .song.h.backup.tmp song.h ");
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "new");
}

// Two writers of one file in one folder: the second takes the first one's hidden temporary for a
// live writer's (it holds its lock) and leaves it, so both succeed and the last Commit wins.
TEST(FileWriterTest, ALiveWritersTemporaryIsKept) {
  TempFolder folder;
  FileReplacement first(folder / "song.h", WithoutUnnamedFiles());
  first.Write("first");
  EXPECT_EQ(WriteFileReplacing(folder / "song.h", "second", WithoutUnnamedFiles()), std::nullopt);
  EXPECT_EQ(first.Commit(), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "first");
}

// Pieces of every size, some larger than what is gathered before a write, give the same file as
// one write of the whole; the pieces are gathered, not written one by one.
TEST(FileWriterTest, ManyWritesEqualOneWrite) {
  TempFolder folder;
  std::string whole;
  for (int i = 0; whole.size() < 300000; ++i) whole += std::to_string(i) + (i % 7 ? "," : "\n");
  int writeCalls = 0;
  FileSystemCalls calls = FileSystemCalls::System();
  calls.write = [&](int fd, const void* bytes, size_t count) {
    ++writeCalls;
    return ::write(fd, bytes, count);
  };
  FileReplacement file(folder / "song.c", calls);
  size_t done = 0;
  for (const size_t piece : {1, 10, 100000, 3, 65536, 65535, 2, 100}) {
    file.Write(std::string_view(whole).substr(done, piece));
    done += piece;
  }
  for (; done < whole.size(); done += 10) file.Write(std::string_view(whole).substr(done, 10));
  EXPECT_EQ(file.Commit(), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder / "song.c"), whole);
  EXPECT_LT(writeCalls, 12);
}

// A write failing halfway is remembered, shown by Failure, and reported by Commit; the target
// stays as it was and no temporary is left, with or without unnamed files.
TEST(FileWriterTest, AFailedWriteIsReportedAtCommit) {
  for (const bool named : {false, true}) {
    TempFolder folder;
    std::ofstream(folder / "song.c") << "old";
    int writeCalls = 0;
    FileSystemCalls calls = named ? WithoutUnnamedFiles() : FileSystemCalls::System();
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      errno = ENOSPC;
      return ++writeCalls == 2 ? -1 : ::write(fd, bytes, count);
    };
    FileReplacement file(folder / "song.c", calls);
    for (int piece = 0; piece < 1000; ++piece) file.Write(std::string(1000, 'x'));
    EXPECT_EQ(file.Failure(), std::strerror(ENOSPC)) << named;
    EXPECT_EQ(file.Commit(), std::strerror(ENOSPC)) << named;
    EXPECT_EQ(writeCalls, 2) << named;
    EXPECT_EQ(ReadFileBytes(folder / "song.c"), "old") << named;
    EXPECT_EQ(ListFolder(folder.path), "song.c ") << named;
  }
}

// What stands in the way is known when the replacement is made, before megabytes are written.
TEST(FileWriterTest, AnUnwritableTargetFailsAtOnce) {
  TempFolder folder;
  fs::create_directory(folder.path / "dir");
  std::ofstream(folder / "file") << "old";
  const std::pair<std::string, std::string> cases[] = {
      {folder / "dir", std::strerror(EISDIR)},
      {folder / "file/song.c", std::strerror(ENOTDIR)},
      {"/dev/null", "not a regular file"}};
  for (const auto& [path, reason] : cases) {
    FileReplacement file(path);
    EXPECT_EQ(file.Failure(), reason) << path;
    file.Write("new");
    EXPECT_EQ(file.Commit(), reason) << path;
  }
}

// Given up before Commit (a manifest with one font that failed): nothing changes on the disk.
TEST(FileWriterTest, AnUncommittedReplacementLeavesNothing) {
  for (const bool named : {false, true}) {
    TempFolder folder;
    std::ofstream(folder / "song.c") << "old";
    {
      FileReplacement file(folder / "song.c",
                           named ? WithoutUnnamedFiles() : FileSystemCalls::System());
      file.Write("new");
      EXPECT_EQ(file.Failure(), std::nullopt);
    }
    EXPECT_EQ(ReadFileBytes(folder / "song.c"), "old") << named;
    EXPECT_EQ(ListFolder(folder.path), "song.c ") << named;
  }
}

// A file with a second name (a hard link) keeps it and both names show the new contents. It is
// rewritten in place only once the whole new contents are on the disk and the extra space is
// reserved: a full disk at either step leaves both names as they were.
TEST(FileWriterTest, AHardLinkedFileKeepsItsLinks) {
  for (const std::string failing : {"nothing", "write", "allocate"}) {
    const std::string expected = failing == "nothing" ? std::string(100000, 'x') : "old contents";
    TempFolder folder;
    std::ofstream(folder / "song.h") << "old contents";
    fs::create_hard_link(folder / "song.h", folder / "copy.h");
    FileSystemCalls calls = FileSystemCalls::System();
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      errno = ENOSPC;
      return failing == "write" ? -1 : ::write(fd, bytes, count);
    };
    calls.allocate = [&](int fd, off_t offset, off_t length) {
      return failing == "allocate" ? ENOSPC : posix_fallocate(fd, offset, length);
    };
    EXPECT_EQ(
        WriteFileReplacing(folder / "song.h", std::string(100000, 'x'), calls),
        failing == "nothing" ? std::nullopt : std::optional<std::string>(std::strerror(ENOSPC)));
    EXPECT_EQ(ReadFileBytes(folder / "copy.h"), expected) << failing;
    EXPECT_EQ(fs::hard_link_count(folder / "song.h"), 2u) << failing;
  }
}

// Starts tests/output/interrupted_writer on `target` as a shell would (no signal ignored or
// blocked), waits until it holds its temporary, sends `number` and gives the wait status.
int InterruptWriter(const std::string& where, const std::string& target, int number) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    dup2(ready[1], STDOUT_FILENO);
    close(ready[0]);
    close(ready[1]);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int each : {SIGINT, SIGTERM, SIGHUP}) signal(each, SIG_DFL);
    execl(PINDOT_INTERRUPTED_WRITER, "interrupted_writer", where.c_str(), target.c_str(), nullptr);
    _exit(127);
  }
  close(ready[1]);
  char byte = 0;
  if (read(ready[0], &byte, 1) == 1) kill(child, number);
  close(ready[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// Killed while writing to an unnamed file, to a hidden named one, or in Commit once the new file
// has its temporary name: the run dies by that signal, the old file stays, and no temporary is
// left (after SIGKILL a named one is removed by the next write of that file).
TEST(FileWriterTest, AnInterruptedWriterLeavesNoTemporary) {
  for (const std::string where : {"unnamed", "named", "linked"}) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
      TempFolder folder;
      std::ofstream(folder / "t.c") << "old";
      const int status = InterruptWriter(where, folder / "t.c", number);
      const std::string label = where + " " + strsignal(number);
      EXPECT_TRUE(WIFSIGNALED(status)) << label;
      EXPECT_EQ(WTERMSIG(status), number) << label;
      EXPECT_EQ(ReadFileBytes(folder / "t.c"), "old") << label;
      if (number == SIGKILL && where != "unnamed") {
        EXPECT_EQ(WriteFileReplacing(folder / "t.c", "next"), std::nullopt) << label;
      }
      EXPECT_EQ(ListFolder(folder.path), "t.c ") << label;
    }
  }
}

// "install_unicode_11x7_font" -> "11": the width a header or source was exported with.
std::string ExportedWidth(const std::string& text) {
  const size_t start = text.find("install_unicode_");
  if (start == std::string::npos) return "none";
  return text.substr(start + 16, text.find('x', start) - start - 16);
}

// Writers of one pair, each at its own width, export over and over while this process reads the
// pair under the same lock: every pair it reads comes from one writer.
TEST(FileWriterTest, WritersOfOnePairAreSerialised) {
  TempFolder folder;
  const std::string stem = folder / "t";
  std::vector<pid_t> writers;
  for (const uint32_t width : {11, 12, 13}) {
    const pid_t child = fork();
    if (child == 0) {
      Generator generator{CodePage(1252)};
      for (int round = 0; round < 10; ++round) {
        if (!ExportTestFont(generator, u"i", stem, true, width).empty()) _exit(1);
      }
      _exit(0);
    }
    writers.push_back(child);
  }
  int reads = 0;
  std::string mixed;  // header width/source width of each pair of two writers
  std::vector<int> exits;
  while (exits.size() < writers.size()) {
    {
      FolderLock lock({stem + ".h", stem + ".c"});
      const std::string header = ExportedWidth(ReadFileBytes(stem + ".h"));
      const std::string source = ExportedWidth(ReadFileBytes(stem + ".c"));
      if (header != source && mixed.size() < 100) mixed += header + "/" + source + " ";
      ++reads;
    }
    int status = 0;
    if (waitpid(-1, &status, WNOHANG) > 0) exits.push_back(status);
  }
  EXPECT_EQ(mixed, "") << reads << " reads";
  EXPECT_EQ(exits, std::vector<int>(writers.size(), 0));
}

// A build leaves a file alone when its new bytes are the old ones: only the same bytes match, over
// more than one buffer of 64 KB, however they were written.
TEST(FileWriterTest, MatchesTargetOnlyForTheSameBytes) {
  const std::string big(200000, 'x');
  std::string lastByteDiffers = big;
  lastByteDiffers.back() = 'y';
  struct Case {
    const char* name;
    std::optional<std::string> old;  // none: no file there
    std::string written;
    bool matches;
  };
  for (const Case& each :
       {Case{"same", "abc", "abc", true}, Case{"no file", std::nullopt, "", false},
        Case{"empty both", "", "", true}, Case{"same size", "abc", "abd", false},
        Case{"longer", "abc", "abcd", false}, Case{"shorter", "abcd", "abc", false},
        Case{"big", big, big, true}, Case{"big, last byte", big, lastByteDiffers, false}}) {
    for (const bool named : {false, true}) {
      TempFolder folder;
      if (each.old) std::ofstream(folder / "song.c", std::ios::binary) << *each.old;
      FileReplacement file(folder / "song.c",
                           named ? WithoutUnnamedFiles() : FileSystemCalls::System());
      for (size_t at = 0; at < each.written.size(); at += 7000)
        file.Write(each.written.substr(at, 7000));
      EXPECT_EQ(file.MatchesTarget(), each.matches) << each.name << named;
      EXPECT_EQ(file.Commit(), std::nullopt) << each.name;
      EXPECT_EQ(ReadFileBytes(folder / "song.c"), each.written) << each.name;
    }
  }
}

// Staged, the new contents are on the disk under a hidden name while the target is still the old
// file; Commit then only renames. A failure while staging leaves the target as it was.
TEST(FileWriterTest, StagingLeavesTheTargetUntilCommit) {
  for (const bool named : {false, true}) {
    TempFolder folder;
    std::ofstream(folder / "song.c") << "old";
    FileReplacement file(folder / "song.c",
                         named ? WithoutUnnamedFiles() : FileSystemCalls::System());
    file.Write("new");
    EXPECT_EQ(file.Stage(), std::nullopt) << named;
    EXPECT_EQ(ReadFileBytes(folder / "song.c"), "old") << named;
    EXPECT_EQ(ListFolder(folder.path).substr(0, 8), ".song.c.") << named;  // the hidden name
    EXPECT_EQ(file.Commit(), std::nullopt) << named;
    EXPECT_EQ(ReadFileBytes(folder / "song.c"), "new") << named;
    EXPECT_EQ(ListFolder(folder.path), "song.c ") << named;
  }
}

TEST(FileWriterTest, AFailureWhileStagingKeepsTheTarget) {
  TempFolder folder;
  std::ofstream(folder / "song.c") << "old";
  FileSystemCalls calls = FileSystemCalls::System();
  calls.fsync = [](int) { return (errno = EIO) != 0 ? -1 : 0; };
  FileReplacement file(folder / "song.c", calls);
  file.Write("new");
  EXPECT_EQ(file.Stage(), std::strerror(EIO));
  EXPECT_EQ(file.Commit(), std::strerror(EIO));
  EXPECT_EQ(ReadFileBytes(folder / "song.c"), "old");
  EXPECT_EQ(ListFolder(folder.path), "song.c ");
}

}  // namespace
}  // namespace pindot
