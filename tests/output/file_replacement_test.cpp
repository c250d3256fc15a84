// Replacing files: failures keep the old file, links, owners, signals, concurrent writers.
#include <fcntl.h>
#include <gmock/gmock.h>
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

#include "base/user_error.h"
#include "export_test_font.h"
#include "golden.h"
#include "output/folder_lock.h"

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

// The system's calls; with `named` as on a filesystem without unnamed files (O_TMPFILE), as NFS or
// FAT, where the contents go to a hidden named temporary.
FileSystemCalls SystemCalls(bool named) {
  FileSystemCalls calls = FileSystemCalls::System();
  if (named) {
    calls.openUnnamed = [](int) {
      errno = EOPNOTSUPP;
      return -1;
    };
  }
  return calls;
}

// A new folder holding `name`, which says "old".
struct FolderWithOldFile : TempFolder {
  explicit FolderWithOldFile(const std::string& name) { std::ofstream(*this / name) << "old"; }
};

// The names in a folder, sorted, each followed by a space.
std::string ListFolder(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename());
  std::string list;
  for (const std::string& name : names) list += name + " ";
  return list;
}

// One system call failing while the header is written: the reason in words, the old header whole
// (with a second name, a hard link, both names: it is rewritten in place only once the new contents
// are on the disk and the extra space is reserved), no temporary file left, and the source still
// written (in short writes of 100 bytes).
TEST(FileWriterTest, AFailingCallKeepsThePreviousFileAndWritesTheOther) {
  struct Case {
    std::string call;
    int error;
    bool named = false;  // hidden named temporaries
    bool linked = false;
  };
  for (const Case& c :
       {Case{"write", ENOSPC}, Case{"fsync", EIO}, Case{"close", EDQUOT}, Case{"rename", EXDEV},
        Case{"write", ENOSPC, true}, Case{"rename", EXDEV, true},
        Case{"write", ENOSPC, false, true}, Case{"allocate", ENOSPC, false, true}}) {
    const std::string label = c.call + (c.named ? " named" : "") + (c.linked ? " linked" : "");
    FolderWithOldFile folder("song.h");
    if (c.linked) fs::create_hard_link(folder / "song.h", folder / "copy.h");
    int failed = 0;  // only the first such call fails
    auto fails = [&](const std::string& failing) {
      return c.call == failing && failed++ == 0 && (errno = c.error) != 0;
    };
    const FileSystemCalls& system = FileSystemCalls::System();
    FileSystemCalls calls = SystemCalls(c.named);
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      return fails("write") ? -1 : system.write(fd, bytes, std::min<size_t>(count, 100));
    };
    calls.fsync = [&](int fd) { return fails("fsync") ? -1 : system.fsync(fd); };
    calls.close = [&](int fd) { return system.close(fd) != 0 || fails("close") ? -1 : 0; };
    calls.rename = [&](int folder, const char* from, const char* to) {
      return fails("rename") ? -1 : system.rename(folder, from, to);
    };
    calls.allocate = [&](int fd, off_t offset, off_t length) {
      return fails("allocate") ? c.error : system.allocate(fd, offset, length);
    };
    Generator generator{CodePage(1252)};
    EXPECT_EQ(ExportTestFont(generator, u"ij", folder / "song", true, 10, calls),
              folder / "song.h: " + std::strerror(c.error) + "\n")
        << label;
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old") << label;
    EXPECT_EQ(ReadFileBytes(folder / (c.linked ? "copy.h" : "song.h")), "old") << label;
    EXPECT_NE(ReadFileBytes(folder / "song.c").find("EX_FONT_UNICODE_VAL(0x006a)"),
              std::string::npos);
    EXPECT_EQ(ListFolder(folder.path), (c.linked ? "copy.h " : "") + std::string("song.c song.h "))
        << label;
  }
}

// What stands in the way is known when the replacement is made, before megabytes are written. (A
// pipe stands for a device: a fault here would replace the system's /dev/null.)
TEST(FileWriterTest, AnUnwritableTargetFailsAtOnce) {
  FolderWithOldFile folder("file");
  fs::create_directory(folder.path / "dir");
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0666), 0);
  const std::pair<std::string, std::string> cases[] = {
      {folder / "dir", std::strerror(EISDIR)},
      {folder / "file/song.c", std::strerror(ENOTDIR)},
      {folder / "pipe", "not a regular file"}};
  for (const auto& [path, reason] : cases) {
    FileReplacement file(path);
    EXPECT_EQ(file.Failure(), reason) << path;
    file.Write("new");
    EXPECT_EQ(file.Commit(), reason) << path;
  }
}

// The user's own file made read-only (chmod a-w; renaming over it would succeed), or one in a
// read-only folder, is refused to an ordinary user and kept; the other file of the pair is still
// written where the folder allows it. Run as nobody in a child process.
TEST(FileWriterTest, AReadOnlyTargetIsRefusedToAnUnprivilegedUser) {
  for (const bool readOnlyFolder : {false, true}) {
    FolderWithOldFile folder("song.h");
    ASSERT_EQ(chown((folder / "song.h").c_str(), kNobody, kNobody), 0);
    fs::permissions(folder / "song.h", fs::perms(0444));
    fs::permissions(folder.path, readOnlyFolder ? fs::perms(0555) : fs::perms::all);
    Generator generator{CodePage(1252)};
    const std::string denied = std::strerror(EACCES);
    EXPECT_EQ(
        InChildProcess(kNobody, [&] { return ExportTestFont(generator, u"i", folder / "song"); }),
        folder / "song.h: " + denied + "\n" +
            (readOnlyFolder ? folder / "song.c: " + denied + "\n" : ""));
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old");
    EXPECT_EQ(fs::exists(folder / "song.c"), !readOnlyFolder);
  }
}

// Root exporting over another user's file (root may write even a read-only one) leaves it that
// user's, with its mode less set-user-ID and set-group-ID, as a write by anyone but the owner
// does; replaced by a rename or, with a second link, rewritten in place, both names showing it.
TEST(FileWriterTest, ReplacingKeepsTheOwnerGroupAndModeOfAnotherUsersFile) {
  const std::pair<fs::perms, fs::perms> modes[] = {{fs::perms(0600), fs::perms(0600)},
                                                   {fs::perms(0444), fs::perms(0444)},
                                                   {fs::perms(02750), fs::perms(0750)},
                                                   {fs::perms(06755), fs::perms(0755)}};
  for (const auto& [mode, kept] : modes) {
    for (const bool linked : {false, true}) {
      FolderWithOldFile folder("song.h");
      if (linked) fs::create_hard_link(folder / "song.h", folder / "copy.h");
      ASSERT_EQ(chown((folder / "song.h").c_str(), kNobody, kNobody), 0);
      fs::permissions(folder / "song.h", mode);
      EXPECT_EQ(WriteFileReplacing(folder / "song.h", "new"), std::nullopt);
      struct stat status {};
      ASSERT_EQ(stat((folder / "song.h").c_str(), &status), 0);
      const std::string label = std::to_string(static_cast<int>(mode)) + (linked ? " linked" : "");
      EXPECT_EQ(status.st_uid, kNobody) << label;
      EXPECT_EQ(status.st_gid, kNobody) << label;
      EXPECT_EQ(status.st_mode & 07777, static_cast<mode_t>(kept)) << label;
      EXPECT_EQ(ReadFileBytes(folder / (linked ? "copy.h" : "song.h")), "new") << label;
      EXPECT_EQ(fs::hard_link_count(folder / "song.h"), linked ? 2u : 1u) << label;
    }
  }
}

// A symbolic link is followed and stays; where its file does not exist yet, the file is made where
// the link points: a relative target counts from the link's folder, not the working folder, and
// missing folders are made too, as `mkdir -p` makes them (0777 less the umask). The working folder
// is one of the test's own, so that a link taken from there lands inside it.
TEST(FileWriterTest, ALinkIsWrittenThrough) {
  FolderWithOldFile folder("old.h");
  fs::create_directories(folder.path / "links");
  fs::create_directories(folder.path / "working/folder");
  const fs::path workingFolder = fs::current_path();
  fs::current_path(folder.path / "working/folder");
  const mode_t previousMask = umask(002);
  // The link's target, and where the file lands.
  const std::pair<std::string, std::string> cases[] = {{"../old.h", "old.h"},
                                                       {"../data/a.h", "data/a.h"},
                                                       {"../data/new/b.h", "data/new/b.h"},
                                                       {folder / "c.h", "c.h"},
                                                       {"d.h", "links/d.h"}};
  for (const auto& [linkTarget, landing] : cases) {
    const std::string link = folder / ("links/link-" + landing.substr(landing.rfind('/') + 1));
    fs::create_symlink(linkTarget, link);
    EXPECT_EQ(WriteFileReplacing(link, linkTarget), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link)) << linkTarget;
    EXPECT_EQ(ReadFileBytes(folder / landing), linkTarget);
  }
  umask(previousMask);
  fs::current_path(workingFolder);
  for (const char* made : {"data", "data/new"})
    EXPECT_EQ(fs::status(folder / made).permissions(), fs::perms(0775)) << made;
}

// In a folder every user may write to but only owners may delete from (sticky, as /tmp), a link
// another user planted is not followed, to an existing file or a missing one, at the end or in the
// middle of the path: root would otherwise overwrite or create files anywhere. Links of this user
// or of the folder's owner, and links in a folder that is not shared, are followed.
TEST(FileWriterTest, ALinkPlantedByAnotherUserIsNotFollowed) {
  struct Case {
    const char* path;    // written, below the shared folder
    const char* link;    // planted, below the shared folder
    const char* target;  // the link's target, below the victim's folder
    uid_t linkOwner, folderOwner;
    mode_t folderMode;
    bool followed;
  };
  const Case cases[] = {
      {"song.h", "song.h", "profile", kNobody, 0, 01777, false},
      {"song.c", "song.c", "newdir/x.c", kNobody, 0, 01777, false},
      {"out/new/song.c", "out", "newdir", kNobody, 0, 01777, false},
      {"song.h", "song.h", "profile", 0, 0, 01777, true},
      {"song.h", "song.h", "profile", kNobody, kNobody, 01777, true},
      {"song.h", "song.h", "profile", kNobody, 0, 0777, true},
  };
  for (const Case& each : cases) {
    TempFolder shared, victim;
    std::ofstream(victim / "profile") << "victim's";
    fs::permissions(shared.path, fs::perms(each.folderMode));
    ASSERT_EQ(chown(shared.path.c_str(), each.folderOwner, each.folderOwner), 0);
    fs::create_symlink(victim / each.target, shared / each.link);
    ASSERT_EQ(lchown((shared / each.link).c_str(), each.linkOwner, each.linkOwner), 0);
    FileReplacement file(shared / each.path);
    file.Write("new");
    const std::optional<std::string> failure = file.Commit();
    const std::string label = std::string(each.path) + " " + std::to_string(each.linkOwner) + " " +
                              std::to_string(each.folderOwner) + " " +
                              std::to_string(each.folderMode);
    if (each.followed) {
      EXPECT_EQ(failure, std::nullopt) << label;
    } else {
      EXPECT_THAT(failure.value_or(""),
                  ::testing::HasSubstr("\"" + shared / each.link + "\" is a symbolic link"))
          << label;
    }
    EXPECT_EQ(ReadFileBytes(victim / "profile"), each.followed ? "new" : "victim's") << label;
    EXPECT_EQ(ListFolder(victim.path), "profile ") << label;
  }
}

// A run killed while writing leaves a hidden temporary that nobody holds a lock on: the next write
// of that file removes it. That of a live writer (it holds its lock), and a file of another
// pattern, stay: both writers succeed and the last Commit wins.
TEST(FileWriterTest, ALeftoverTemporaryIsRemovedByTheNextWrite) {
  TempFolder folder;
  std::ofstream(folder / ".song.h.999999-0.tmp") << "left over from a killed run";
  std::ofstream(folder / ".song.h.backup.tmp") << "the user's";
  FileReplacement live(folder / "song.h", SystemCalls(true));
  live.Write("live");
  EXPECT_EQ(WriteFileReplacing(folder / "song.h", "new"), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "new");
  EXPECT_EQ(live.Commit(), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "live");
  EXPECT_EQ(ListFolder(folder.path), ".song.h.backup.tmp song.h ");
}

// Runs tests/output/interrupted_writer, which sends itself signal `number` `where` it writes
// `target`, and gives its wait status.
int InterruptedWriter(const std::string& where, const std::string& target, int number) {
  const pid_t child = fork();
  if (child == 0) {
    execl(PINDOT_INTERRUPTED_WRITER, "interrupted_writer", where.c_str(), target.c_str(),
          std::to_string(number).c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// Killed while writing to an unnamed file, to a hidden named one, or in Commit once the new file
// has its temporary name: the run dies by that signal, the old file stays, and no temporary is
// left (after SIGKILL a named one is removed by the next write of that file). Signalled in the
// middle of rewriting a file with two links, it finishes first; killed there, it leaves the file
// half written beside a copy of the old contents, which the next write of the file puts back.
TEST(FileWriterTest, AnInterruptedWriterLeavesNoTemporary) {
  for (const std::string where : {"unnamed", "named", "linked", "in-place"}) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
      FolderWithOldFile folder("t.c");
      if (where == "in-place") fs::create_hard_link(folder / "t.c", folder / "u.c");
      const int status = InterruptedWriter(where, folder / "t.c", number);
      const std::string label = where + " " + strsignal(number);
      EXPECT_TRUE(WIFSIGNALED(status)) << label;
      EXPECT_EQ(WTERMSIG(status), number) << label;
      const bool finished = where == "in-place" && number != SIGKILL;
      const std::string expected = finished ? std::string(100000, 'x') : "old";
      EXPECT_EQ(ReadFileBytes(folder / "t.c") == expected, !(where == "in-place" && !finished))
          << label;
      if (number == SIGKILL && where != "unnamed") {
        EXPECT_NE(ListFolder(folder.path).find(where == "in-place" ? ".old " : ".tmp "),
                  std::string::npos)
            << label;
        FileReplacement next(folder / "t.c");
        EXPECT_EQ(next.Failure(), std::nullopt) << label;
      }
      EXPECT_TRUE(ReadFileBytes(folder / "t.c") == expected) << label;
      EXPECT_EQ(ListFolder(folder.path), where == "in-place" ? "t.c u.c " : "t.c ") << label;
    }
  }
}

// Any user who can read a folder can lock it: a lock held by another process is waited for a
// bounded time, the wait is told once, naming the folder, and then the writer gives up naming it.
TEST(FileWriterTest, AFolderLockedByAnotherProcessIsWaitedForABoundedTime) {
  TempFolder folder;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    const int fd = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
    flock(fd, LOCK_EX);
    [[maybe_unused]] const ssize_t told = write(ready[1], "x", 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  std::vector<std::string> told;
  try {
    FolderLock lock(
        {folder / "song.h"}, [&](const std::string& waited) { told.push_back(waited); },
        std::chrono::milliseconds(300));
    ADD_FAILURE() << "locked a folder another process holds";
  } catch (const UserError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("\"" + folder.path.string() + "\""));
  }
  EXPECT_EQ(told, std::vector<std::string>{folder.path.string()});
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  FolderLock free({folder / "song.h"}, {}, std::chrono::milliseconds(0));
}

// "...install_unicode_11x7_font..." -> "install_unicode_11x7": the size a header or source was
// exported at; "" before there is one.
std::string ExportedSize(const std::string& text) {
  const size_t start = std::min(text.find("install_"), text.size());
  return text.substr(start, text.find("_font", start) - start);
}

// Writers of one pair, each at its own width, export over and over while this process reads the
// pair under the same lock: every pair it reads comes from one writer.
TEST(FileWriterTest, WritersOfOnePairAreSerialised) {
  TempFolder folder;
  const std::string stem = folder / "t";
  for (const uint32_t width : {11, 12, 13}) {
    if (fork() == 0) {
      Generator generator{CodePage(1252)};
      for (int round = 0; round < 10; ++round) {
        if (!ExportTestFont(generator, u"i", stem, true, width).empty()) _exit(1);
      }
      _exit(0);
    }
  }
  std::string mixed;  // the sizes of each pair read that two writers made
  int reads = 0;
  std::vector<int> exits;
  for (int status = 0; exits.size() < 3; ++reads) {
    {
      FolderLock lock({stem + ".h", stem + ".c"});
      const std::string header = ExportedSize(ReadFileBytes(stem + ".h"));
      const std::string source = ExportedSize(ReadFileBytes(stem + ".c"));
      if (header != source && mixed.size() < 100) mixed += header + "/" + source + " ";
    }
    if (waitpid(-1, &status, WNOHANG) > 0) exits.push_back(status);
  }
  EXPECT_EQ(mixed, "") << reads << " reads";
  EXPECT_EQ(exits, std::vector<int>(3, 0));
}

// Pieces of every size, some larger than what is gathered before a write, give the same file as
// one write of the whole, gathered rather than written one by one. A build leaves a file alone
// when its new bytes are the old ones: only the same bytes match, over more than one buffer.
TEST(FileWriterTest, ManyWritesEqualOneWriteAndMatchOnlyTheSameBytes) {
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i) + (i % 7 ? "," : "\n");
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
      int writeCalls = 0;
      FileSystemCalls calls = SystemCalls(named);
      calls.write = [&](int fd, const void* bytes, size_t count) {
        ++writeCalls;
        return ::write(fd, bytes, count);
      };
      FileReplacement file(folder / "song.c", calls);
      const std::string_view written = each.written;
      size_t done = 0;
      for (const size_t piece : {1, 10, 100000, 3, 65536, 65535, 2, 100}) {
        file.Write(written.substr(std::min(done, written.size()), piece));
        done += piece;
      }
      for (; done < written.size(); done += 10) file.Write(written.substr(done, 10));
      EXPECT_EQ(file.MatchesTarget(), each.matches) << each.name << named;
      EXPECT_EQ(file.Commit(), std::nullopt) << each.name;
      EXPECT_EQ(ReadFileBytes(folder / "song.c"), each.written) << each.name;
      EXPECT_LT(writeCalls, 12) << each.name;
    }
  }
}

// Staged, the new contents (and for a file with a second link, the copy of the old) are on the
// disk under hidden names while the target is still the old file; Commit then only renames or
// rewrites. A failure, of the sync or of a write halfway (known at once, later bytes dropped and
// the space taken so far freed: on a full disk the other file of the pair needs it), is reported
// by Stage and Commit and changes nothing, and a replacement given up before Commit (a build with
// one font that failed) leaves nothing behind.
TEST(FileWriterTest, NothingChangesBeforeCommit) {
  struct Case {
    bool named, linked;
    std::string failing;  // "", "fsync" or "write" (its third call)
    bool committed;
  };
  for (const Case& each :
       {Case{false, false, "", true}, Case{true, false, "", true}, Case{false, true, "", true},
        Case{false, false, "fsync", true}, Case{false, false, "write", true},
        Case{true, false, "write", true}, Case{false, false, "", false},
        Case{true, false, "", false}, Case{false, true, "", false}}) {
    const std::string label = std::to_string(each.named) + std::to_string(each.linked) +
                              each.failing + std::to_string(each.committed);
    FolderWithOldFile folder("song.c");
    if (each.linked) fs::create_hard_link(folder / "song.c", folder / "copy.c");
    FileSystemCalls calls = SystemCalls(each.named);
    int writeCalls = 0;
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
      errno = ENOSPC;
      return each.failing == "write" && ++writeCalls == 3 ? -1 : ::write(fd, bytes, count);
    };
    if (each.failing == "fsync") calls.fsync = [](int) { return (errno = EIO) != 0 ? -1 : 0; };
    const std::optional<std::string> failure =
        each.failing.empty()
            ? std::nullopt
            : std::optional<std::string>(std::strerror(each.failing == "write" ? ENOSPC : EIO));
    {
      FileReplacement file(folder / "song.c", calls);
      for (int piece = 0; piece < 1000; ++piece) file.Write(std::string(1000, 'x'));
      if (each.failing == "write") {
        EXPECT_EQ(file.Failure(), failure) << label;
        const std::string hidden =
            ListFolder(folder.path).substr(0, ListFolder(folder.path).find(' '));
        EXPECT_TRUE(!each.named || fs::file_size(folder.path / hidden) == 0) << hidden;
      }
      EXPECT_EQ(file.Stage(), failure) << label;
      EXPECT_EQ(ReadFileBytes(folder / "song.c"), "old") << label;
      const bool staged = ListFolder(folder.path).substr(0, 8) == ".song.c.";
      EXPECT_TRUE(each.failing == "write" || staged == !failure) << label;
      if (each.committed) {
        EXPECT_EQ(file.Commit(), failure) << label;
      }
    }
    EXPECT_EQ(writeCalls, each.failing == "write" ? 3 : 0) << label;
    EXPECT_EQ(ReadFileBytes(folder / "song.c"),
              each.committed && !failure ? std::string(1000000, 'x') : "old")
        << label;
    EXPECT_EQ(ListFolder(folder.path), each.linked ? "copy.c song.c " : "song.c ") << label;
  }
}

}  // namespace
}  // namespace pindot
