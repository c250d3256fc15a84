// Font files as the canvas opens them, and the one way their failures are worded.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "base/user_error.h"

namespace pindot {

// `cannot open font file "x.ttf": unknown file format`.
UserError FontFileError(const std::string& path, const std::string& reason);

// A font file's bytes, read into memory for as long as FreeType reads them.
class FontFile {
 public:
  // Reads the file. Only a regular file (or a link to one) is opened: a named pipe would block
  // until someone writes to it, and a pipe or a device holds no font that can be read twice.
  // Throws FontFileError naming what `path` is instead, or why it cannot be read (also when it
  // is larger than 1 GB or shrinks while it is read).
  static FontFile Open(const std::string& path);

  const unsigned char* data() const { return data_.get(); }
  size_t size() const { return size_; }

 private:
  FontFile(std::unique_ptr<unsigned char[]> data, size_t size)
      : data_(std::move(data)), size_(size) {}

  std::unique_ptr<unsigned char[]> data_;
  size_t size_ = 0;
};

}  // namespace pindot
