#include "output/target_path.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pindot {
namespace {

// Links followed from the path given before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

}  // namespace

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int CreateFolders(const std::string& folder) {
  for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return errno;
    if (end == std::string::npos) return 0;
  }
}

int OpenFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (const int error = CreateFolders(folder)) {
      errno = error;
      return -1;
    }
    fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  return fd;
}

int FollowLinks(std::string& path) {
  for (int depth = 0; depth < kMaxLinks; ++depth) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(status.st_mode)) return 0;
    std::string linked(PATH_MAX, '\0');
    const ssize_t length = readlink(path.c_str(), linked.data(), linked.size());
    if (length < 0) return errno;
    if (static_cast<size_t>(length) == linked.size()) return ENAMETOOLONG;
    linked.resize(static_cast<size_t>(length));
    path = linked.front() == '/' ? linked : SplitPath(path).first + "/" + linked;
  }
  return ELOOP;
}

}  // namespace pindot
