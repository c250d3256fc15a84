#include "font/font_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "text/utf.h"

namespace pindot {

namespace {

// A font file larger than this is refused rather than read: the largest fonts of every script
// together are a few hundred megabytes.
constexpr uint64_t kMaximumFontFileBytes = uint64_t{1} << 30;

// Throws unless `status` is that of a regular file.
void CheckRegularFile(const std::string& path, const struct stat& status) {
  if (S_ISREG(status.st_mode)) return;
  if (S_ISDIR(status.st_mode)) throw FontFileError(path, "it is a directory");
  const char* kind = S_ISFIFO(status.st_mode)   ? "a pipe"
                     : S_ISCHR(status.st_mode)  ? "a character device"
                     : S_ISBLK(status.st_mode)  ? "a block device"
                     : S_ISSOCK(status.st_mode) ? "a socket"
                                                : "something else";
  throw FontFileError(path, std::string("it is ") + kind + ", not a regular file");
}

}  // namespace

UserError FontFileError(const std::string& path, const std::string& reason) {
  return UserError("cannot open font file \"" + Printable(path) + "\": " + reason);
}

FontFile FontFile::Open(const std::string& path) {
  // Looked at before it is opened, since opening a pipe or a device may block or act.
  struct stat status;
  if (stat(path.c_str(), &status) != 0) throw FontFileError(path, std::strerror(errno));
  CheckRegularFile(path, status);
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) throw FontFileError(path, std::strerror(errno));
  // What was opened is looked at again: the name may have been given to something else between.
  if (fstat(descriptor, &status) != 0) {
    const int error = errno;
    close(descriptor);
    throw FontFileError(path, std::strerror(error));
  }
  try {
    CheckRegularFile(path, status);
  } catch (const UserError&) {
    close(descriptor);
    throw;
  }
  if (status.st_size == 0) {
    close(descriptor);
    throw FontFileError(path, "the file is empty");
  }
  if (static_cast<uint64_t>(status.st_size) > kMaximumFontFileBytes) {
    close(descriptor);
    throw FontFileError(path,
                        "it is larger than " + std::to_string(kMaximumFontFileBytes >> 20) + " MB");
  }
  // Read, not mapped: a mapped file that someone shortens while FreeType reads it ends the
  // process with SIGBUS. What was read stays as it was, whatever happens to the file.
  const size_t size = static_cast<size_t>(status.st_size);
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size]);
  if (!bytes) {
    close(descriptor);
    throw FontFileError(path, "not enough memory to read it");
  }
  size_t done = 0;
  int error = 0;
  while (done < size) {
    const ssize_t count = read(descriptor, bytes.get() + done, size - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = errno;
    if (count <= 0) break;
    done += static_cast<size_t>(count);
  }
  close(descriptor);
  if (error != 0) throw FontFileError(path, std::strerror(error));
  if (done < size) throw FontFileError(path, "it became shorter while it was read");
  return FontFile(std::move(bytes), size);
}

}  // namespace pindot
