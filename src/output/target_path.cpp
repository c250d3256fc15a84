#include "output/target_path.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <utility>

namespace pindot {
namespace {

// Links followed from the path given before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

// "a//b/./c" -> a, b, c.
std::deque<std::string> NamesOf(const std::string& path) {
  std::deque<std::string> names;
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (!name.empty() && name != ".") names.push_back(name);
    start = end + 1;
  }
  return names;
}

bool MayFollow(int folderFd, const struct stat& link) {
  struct stat folder {};
  if (fstat(folderFd, &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == geteuid() || link.st_uid == folder.st_uid;
}

// Replaces `folderFd` by a new handle, closing the old one.
void MoveTo(int& folderFd, int fd) {
  if (folderFd >= 0) close(folderFd);
  folderFd = fd;
}

int OpenRoot(bool absolute) {
  return open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

WalkedPath::WalkedPath(WalkedPath&& other) noexcept
    : folderFd(std::exchange(other.folderFd, -1)),
      rest(std::move(other.rest)),
      refusedLink(std::move(other.refusedLink)) {}

WalkedPath& WalkedPath::operator=(WalkedPath&& other) noexcept {
  if (this != &other) {
    MoveTo(folderFd, std::exchange(other.folderFd, -1));
    rest = std::move(other.rest);
    refusedLink = std::move(other.refusedLink);
  }
  return *this;
}

WalkedPath::~WalkedPath() {
  if (folderFd >= 0) close(folderFd);
}

int WalkPath(const std::string& path, bool createFolders, bool toFile, WalkedPath& walked) {
  MoveTo(walked.folderFd, OpenRoot(!path.empty() && path.front() == '/'));
  walked.rest.clear();
  if (walked.folderFd < 0) return errno;
  std::deque<std::string> names = NamesOf(path);
  std::string reached = path.empty() || path.front() != '/' ? "" : "/";  // for messages
  int links = 0;
  while (!names.empty()) {
    const std::string name = names.front();
    const bool last = names.size() == 1;
    struct stat status {};
    if (fstatat(walked.folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) return errno;
      if (last && toFile) break;
      if (!createFolders) break;
      if (mkdirat(walked.folderFd, name.c_str(), 0777) != 0 && errno != EEXIST) return errno;
      continue;  // looked at again: another process may have made something else there
    }
    const std::string here = reached + (reached.empty() || reached.back() == '/' ? "" : "/") + name;
    if (S_ISLNK(status.st_mode)) {
      if (++links > kMaxLinks) return ELOOP;
      if (!MayFollow(walked.folderFd, status)) {
        walked.refusedLink = here;
        return kRefusedLink;
      }
      std::string target(PATH_MAX, '\0');
      const ssize_t length =
          readlinkat(walked.folderFd, name.c_str(), target.data(), target.size());
      if (length < 0) return errno;
      if (static_cast<size_t>(length) == target.size()) return ENAMETOOLONG;
      target.resize(static_cast<size_t>(length));
      names.pop_front();
      std::deque<std::string> linked = NamesOf(target);
      names.insert(names.begin(), linked.begin(), linked.end());
      if (target.front() == '/') {
        MoveTo(walked.folderFd, OpenRoot(true));
        if (walked.folderFd < 0) return errno;
        reached = "/";
      }
      if (names.empty()) names.push_back(".");  // a link to "/" or "."
      continue;
    }
    if (last && toFile) break;
    if (!S_ISDIR(status.st_mode)) return ENOTDIR;
    const int fd =
        openat(walked.folderFd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    MoveTo(walked.folderFd, fd);
    reached = here;
    names.pop_front();
  }
  walked.rest.assign(names.begin(), names.end());
  return 0;
}

std::string FileIdentity(const std::string& path) {
  WalkedPath walked;
  if (WalkPath(path, false, true, walked) != 0) return "";
  struct stat status {};
  if (walked.rest.size() == 1 &&
      fstatat(walked.folderFd, walked.rest.front().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
    return "file " + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  }
  if (fstat(walked.folderFd, &status) != 0) return "";
  std::string identity =
      "folder " + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  std::vector<std::string> below;  // "new/../new/a.h" -> new, a.h
  for (const std::string& name : walked.rest) {
    if (name == ".." && !below.empty() && below.back() != "..") {
      below.pop_back();
    } else {
      below.push_back(name);
    }
  }
  for (const std::string& name : below) identity += "/" + name;
  return identity;
}

}  // namespace pindot
