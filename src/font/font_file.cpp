#include "font/font_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pindot {

UserError FontFileError(const std::string& path, const std::string& reason) {
  return UserError("cannot open font file \"" + path + "\": " + reason);
}

void CheckFontFileReadable(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) throw FontFileError(path, std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw FontFileError(path, "it is a directory");
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) throw FontFileError(path, std::strerror(errno));
  close(descriptor);
}

}  // namespace pindot
