// Writing a whole file so that a failure never leaves it truncated or half-written.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pindot {

// The system calls a file write goes through. Tests replace one of them to act out a full disk or
// a failing device; everything else uses System().
struct FileSystemCalls {
  std::function<ssize_t(int fd, const void* bytes, size_t count)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd)> close;
  std::function<int(const char* from, const char* to)> rename;

  static const FileSystemCalls& System();
};

// Writes `bytes` to a new file in the folder of `path`, flushes it to the disk and renames it over
// `path`, so an existing file is replaced whole or not at all (a symbolic link is followed and its
// target replaced). On failure gives the reason in words ("No space left on device", "Is a
// directory") and removes the temporary file; the file at `path` is then as it was.
std::optional<std::string> WriteFileReplacing(
    const std::string& path, std::string_view bytes,
    const FileSystemCalls& calls = FileSystemCalls::System());

}  // namespace pindot
