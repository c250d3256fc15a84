#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "output/file_writer.h"

namespace pindot {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pindot-writer-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  // Every file of the folder except the ones a test made: a temporary file left behind shows here.
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
};

TEST_F(FileWriterTest, WritesTheBytesExactly) {
  const fs::path target = folder_ / "a.h";
  const std::string bytes("#x\r\n\xd6\xd0 \r\n", 10);
  EXPECT_EQ(WriteFileReplacing(target.string(), bytes), std::nullopt);
  EXPECT_EQ(ReadAll(target), bytes);
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(FileWriterTest, ReplacesAnExistingFileWholeAndKeepsItsPermissions) {
  const fs::path target = folder_ / "a.c";
  WriteAll(target, std::string(1000, 'x'));
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  EXPECT_EQ(WriteFileReplacing(target.string(), "short"), std::nullopt);
  EXPECT_EQ(ReadAll(target), "short");
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(FileWriterTest, EmptyTextGivesAnEmptyFile) {
  const fs::path target = folder_ / "a.c";
  WriteAll(target, "old");
  EXPECT_EQ(WriteFileReplacing(target.string(), ""), std::nullopt);
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(FileWriterTest, NameAtTheLengthLimitIsWritten) {
  const fs::path target = folder_ / (std::string(253, 'n') + ".h");  // 255 bytes
  EXPECT_EQ(WriteFileReplacing(target.string(), "x"), std::nullopt);
  EXPECT_EQ(ReadAll(target), "x");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(FileWriterTest, ShortWritesAreContinued) {
  FileSystemCalls calls = FileSystemCalls::System();
  calls.write = [](int fd, const void* bytes, size_t count) {
    return ::write(fd, bytes, count < 3 ? count : 3);
  };
  const fs::path target = folder_ / "a.c";
  const std::string bytes = "0123456789abcdefghij";
  EXPECT_EQ(WriteFileReplacing(target.string(), bytes, calls), std::nullopt);
  EXPECT_EQ(ReadAll(target), bytes);
}

TEST_F(FileWriterTest, SymbolicLinkStaysAndItsTargetIsReplaced) {
  const fs::path real = folder_ / "real.h";
  const fs::path link = folder_ / "link.h";
  WriteAll(real, "old");
  fs::create_symlink(real, link);
  EXPECT_EQ(WriteFileReplacing(link.string(), "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(real), "new");
}

// Each system call failing in turn: the reason is reported in words, the previous file keeps
// every byte and no temporary file is left behind.
TEST_F(FileWriterTest, FailingCallLeavesThePreviousFileUntouched) {
  struct Case {
    const char* name;
    int error;
    void (*breakCalls)(FileSystemCalls&);
  };
  const Case cases[] = {
      {"disk full after some bytes", ENOSPC,
       [](FileSystemCalls& calls) {
         calls.write = [](int fd, const void* bytes, size_t count) -> ssize_t {
           static int callCount = 0;
           if (callCount++ == 0) return ::write(fd, bytes, count / 2);
           errno = ENOSPC;
           return -1;
         };
       }},
      {"write makes no progress", ENOSPC,
       [](FileSystemCalls& calls) {
         calls.write = [](int, const void*, size_t) -> ssize_t { return 0; };
       }},
      {"flush fails", EIO,
       [](FileSystemCalls& calls) {
         calls.fsync = [](int) {
           errno = EIO;
           return -1;
         };
       }},
      {"close fails", EDQUOT,
       [](FileSystemCalls& calls) {
         calls.close = [](int fd) {
           ::close(fd);
           errno = EDQUOT;
           return -1;
         };
       }},
      {"rename fails", EXDEV,
       [](FileSystemCalls& calls) {
         calls.rename = [](const char*, const char*) {
           errno = EXDEV;
           return -1;
         };
       }},
  };
  const std::string previous = "previous contents\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path target = folder_ / "song16.h";
    WriteAll(target, previous);
    FileSystemCalls calls = FileSystemCalls::System();
    c.breakCalls(calls);
    std::optional<std::string> reason =
        WriteFileReplacing(target.string(), "new contents that are longer\r\n", calls);
    ASSERT_TRUE(reason.has_value());
    EXPECT_EQ(*reason, std::strerror(c.error));
    EXPECT_EQ(ReadAll(target), previous);
    EXPECT_EQ(FileCount(), 1u);
  }
}

TEST_F(FileWriterTest, TargetsThatCannotBeWrittenAreReported) {
  WriteAll(folder_ / "plain", "file");
  fs::create_directory(folder_ / "dir.h");
  struct Case {
    const char* name;
    fs::path target;
    int error;
  };
  const Case cases[] = {
      {"target is a directory", folder_ / "dir.h", EISDIR},
      {"folder is a regular file", folder_ / "plain" / "a.h", ENOTDIR},
      {"folder is missing", folder_ / "missing" / "a.h", ENOENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string> reason = WriteFileReplacing(c.target.string(), "x");
    ASSERT_TRUE(reason.has_value());
    EXPECT_EQ(*reason, std::strerror(c.error));
  }
  EXPECT_TRUE(fs::is_directory(folder_ / "dir.h"));
  EXPECT_TRUE(fs::is_empty(folder_ / "dir.h"));
  EXPECT_EQ(ReadAll(folder_ / "plain"), "file");
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(FileWriterTest, ReadOnlyFolderIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  const fs::path target = folder_ / "a.h";
  WriteAll(target, "old");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  std::optional<std::string> reason = WriteFileReplacing(target.string(), "new");
  fs::permissions(folder_, fs::perms::owner_all);
  ASSERT_TRUE(reason.has_value());
  EXPECT_EQ(*reason, std::strerror(EACCES));
  EXPECT_EQ(ReadAll(target), "old");
}

}  // namespace
}  // namespace pindot
