#include "cli/sample_text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/user_error.h"
#include "text/utf.h"

namespace pindot {

namespace {

// A sample text file larger than this is refused rather than read until memory runs out (a
// device such as /dev/zero never ends). 64 MB is some 20 million characters, a thousand times
// every character set a font table holds.
constexpr size_t kMaximumTextFileBytes = 64u << 20;

std::string ReadWholeFile(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    throw UserError("cannot read text file \"" + Printable(path) + "\": " + std::strerror(errno));
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      close(descriptor);
      throw UserError("cannot read text file \"" + Printable(path) + "\": " + std::strerror(error));
    }
    if (count == 0) break;
    if (bytes.size() + static_cast<size_t>(count) > kMaximumTextFileBytes) {
      close(descriptor);
      throw UserError("cannot read text file \"" + Printable(path) + "\": it is larger than " +
                      std::to_string(kMaximumTextFileBytes >> 20) + " MB");
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  close(descriptor);
  return bytes;
}

}  // namespace

std::u16string ReadSampleTextFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  std::string_view view(bytes);
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  std::u16string decoded = FromUtf8(view, "text file \"" + path + "\"");
  std::u16string text;
  text.reserve(decoded.size() + decoded.size() / 16);
  for (size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] == u'\n' && (i == 0 || decoded[i - 1] != u'\r')) text.push_back(u'\r');
    text.push_back(decoded[i]);
  }
  return text;
}

}  // namespace pindot
