// Export: goldens of both files, paths, oversized glyphs, the source's encoding, safe writing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/user_error.h"
#include "export_test_font.h"
#include "golden.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Both files of the test sample, exported as "song7.txt"; a mismatch writes <golden>.actual.
TEST(ExportTest, GoldenFilesForEachKeyAndCodePage) {
  for (std::string name : {"unicode_936", "ansi_936", "unicode_1252", "ansi_1252"}) {
    TempFolder folder;
    Generator generator{CodePage(std::stoi(name.substr(name.find('_') + 1)))};
    ExportTestFont(generator, kTestSample, folder / "song7.txt", name[0] == 'u');
    for (std::string end : {".h", ".c"})
      ExpectMatchesGolden("export_" + name + end + ".txt", ReadFileBytes(folder / ("song7" + end)));
  }
}

TEST(ExportTest, PathsAreDerivedAsTheSaveChooserGivesThem) {
  const std::tuple<std::string, std::u16string, std::string> cases[] = {
      // path, title, stem
      {"/home/v1.2/a.txt", u"a", "/home/v1.2/a"},
      {"/home/v1.2/song16", u"song16", "/home/v1.2/song16"},
      {"abc.abc", u"abc", "abc"},
      {"out/a.b.c", u"a.b", "out/a.b"},
      {"out/song16.", u"song16", "out/song16"}};
  for (const auto& [fullPath, title, stem] : cases) {
    const ExportPaths paths = DeriveExportPaths(fullPath);
    EXPECT_EQ(std::tie(paths.fileTitle, paths.headerPath, paths.sourcePath),
              std::tuple(title, stem + ".h", stem + ".c"));
  }
  for (const char* path : {"", "out/", "out/..", "bad\xff.txt", "q\"uo.txt", "back\\slash.txt",
                           "new\nline.txt", "bell\a.txt", "del\x7f"})
    EXPECT_THROW(DeriveExportPaths(path), UserError) << path;
  EXPECT_EQ(DeriveExportPaths("out/v1.2/song16.txt").headerName, "song16.h");
  // Only the name the source includes counts; folders and the replaced extension may hold anything.
  EXPECT_EQ(DeriveExportPaths("we\"ird\\dir/ok.t\"xt").fileTitle, u"ok");
}

TEST(ExportTest, EncodeSourceTextEscapesBackslashAndQuoteBytesOnlyInTheCharacterLiteral) {
  std::string out;  // in code page 936 U+4E57 is 81 5C, U+4E2D is D6 D0
  EncodeSourceText(u"\u4e57 EX_FONT_CHAR(\"\u4e57\")\r\nEX_FONT_CHAR(\"\\\"\u4e2d\") \u4e57",
                   CodePage(936), out);
  EXPECT_EQ(out, "\x81\\ EX_FONT_CHAR(\"\\201\\134\")\r\nEX_FONT_CHAR(\"\\\"\xd6\xd0\") \x81\\");
  out.clear();  // in code page 932 U+00A5 is the single byte 5C
  EncodeSourceText(u"EX_FONT_CHAR(\"\u00a5\") \u00a5", CodePage(932), out);
  EXPECT_EQ(out, "EX_FONT_CHAR(\"\\134\") \\");
}

// One system call failing while the header is written: the reason in words, the old header whole,
// no temporary file left, and the source still written (in short writes of 100 bytes).
TEST(ExportTest, FailingCallKeepsThePreviousFileAndWritesTheOther) {
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
TEST(ExportTest, ALinkIsFollowedAndAPathUnderAFileIsReported) {
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
TEST(ExportTest, AReadOnlyFolderIsReportedAndItsFileKept) {
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
