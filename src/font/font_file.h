// Font files as the canvas opens them, and the one way their failures are worded.
#pragma once

#include <cstddef>
#include <string>

#include "base/user_error.h"

namespace pindot {

// `cannot open font file "x.ttf": unknown file format`.
UserError FontFileError(const std::string& path, const std::string& reason);

// A font file's bytes, mapped into memory for as long as FreeType reads them.
class FontFile {
 public:
  // Maps the file. Only a regular file (or a link to one) is opened: a named pipe would block
  // until someone writes to it, and a pipe or a device holds no font that can be read twice.
  // Throws FontFileError naming what `path` is instead, or why it cannot be read.
  static FontFile Open(const std::string& path);

  FontFile(FontFile&& other) noexcept;
  FontFile& operator=(FontFile&& other) noexcept;
  FontFile(const FontFile&) = delete;
  FontFile& operator=(const FontFile&) = delete;
  ~FontFile();

  const unsigned char* data() const { return static_cast<const unsigned char*>(data_); }
  size_t size() const { return size_; }

 private:
  FontFile(void* data, size_t size) : data_(data), size_(size) {}

  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace pindot
