#include "output/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pindot {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

// A name beside the target that no other writer picks: hidden, with the process id and a counter.
// The target's own name is shortened so that a target name near the 255-byte limit still gets one.
std::string TemporaryName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  constexpr size_t kNameKept = 200;
  return folder + "/." + name.substr(0, kNameKept) + "." + std::to_string(getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

// Makes the rename itself survive a power cut; a failure here loses nothing already written.
void SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

const FileSystemCalls& FileSystemCalls::System() {
  static const FileSystemCalls calls{
      [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); },
      [](int fd) { return ::fsync(fd); },
      [](int fd) { return ::close(fd); },
      [](const char* from, const char* to) { return std::rename(from, to); },
  };
  return calls;
}

std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes,
                                              const FileSystemCalls& calls) {
  std::string target = path;
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    if (char* resolved = realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }

  bool exists = false;
  if (stat(target.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return Reason(EISDIR);
    if (!S_ISREG(status.st_mode)) return std::string("not a regular file");
    exists = true;
  } else if (errno != ENOENT) {
    return Reason(errno);
  }

  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "."
                       : slash == 0               ? "/"
                                                  : target.substr(0, slash);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryName(folder, name);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Reason(errno);

  auto fail = [&](int error) {
    if (fd >= 0) calls.close(fd);
    unlink(temporary.c_str());
    return Reason(error);
  };

  // A replaced file keeps its permissions; a new one gets 0666 less the umask, as open gives it.
  if (exists) fchmod(fd, status.st_mode & 07777);

  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t count = calls.write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (count == 0) return fail(ENOSPC);
    written += static_cast<size_t>(count);
  }
  if (calls.fsync(fd) != 0) return fail(errno);
  int closed = calls.close(fd);
  fd = -1;
  if (closed != 0) return fail(errno);
  if (calls.rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
  SyncFolder(folder);
  return std::nullopt;
}

}  // namespace pindot
