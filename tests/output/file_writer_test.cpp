// Writing files: failures keep the old file, links, permissions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// One system call failing while the header is written: the reason in words, the old header whole,
// no temporary file left, and the source still written (in short writes of 100 bytes).
TEST(FileWriterTest, FailingCallKeepsThePreviousFileAndWritesTheOther) {
  using Failing = std::pair<std::string, int>;
  for (const Failing& failing : {Failing{"write", ENOSPC}, Failing{"fsync", EIO},
                                 Failing{"close", EDQUOT}, Failing{"rename", EXDEV}}) {
    TempFolder folder;
    std::ofstream(folder / "song.h") << "old header";
    int failed = 0;  // only the first such call fails
    auto fails = [&](const std::string& call) {
      return call == failing.first && failed++ == 0 && (errno = failing.second) != 0;
    };
    const FileSystemCalls& system = FileSystemCalls::System();
    FileSystemCalls calls = system;
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
              folder / "song.h: " + std::strerror(failing.second) + "\n");
    EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old header");
    EXPECT_NE(ReadFileBytes(folder / "song.c").find("EX_FONT_UNICODE_VAL(0x006a)"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 2) << failing.first;
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
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
    const std::string reason = WriteFileReplacing(folder / "song.h", "new").value_or("written");
    _exit(write(channel[1], reason.data(), reason.size()) < 0 ? 3 : 0);
  }
  close(channel[1]);
  char reason[128] = {};
  const ssize_t length = read(channel[0], reason, sizeof reason - 1);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  fs::permissions(folder.path, fs::perms(0700));
  ASSERT_TRUE(length > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_STREQ(reason, std::strerror(EACCES));
  EXPECT_EQ(ReadFileBytes(folder / "song.h"), "old");
}

}  // namespace
}  // namespace pindot
