#include "font/font_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace pindot {

namespace {

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
  return UserError("cannot open font file \"" + path + "\": " + reason);
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
  const size_t size = static_cast<size_t>(status.st_size);
  void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
  const int error = errno;
  close(descriptor);
  if (data == MAP_FAILED) throw FontFileError(path, std::strerror(error));
  return FontFile(data, size);
}

FontFile::FontFile(FontFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

FontFile& FontFile::operator=(FontFile&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

FontFile::~FontFile() {
  if (data_ != nullptr) munmap(data_, size_);
}

}  // namespace pindot
