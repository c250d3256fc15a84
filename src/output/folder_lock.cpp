#include "output/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <tuple>

#include "base/user_error.h"
#include "output/target_path.h"
#include "text/utf.h"

namespace pindot {
namespace {

// How often a held lock is tried again.
constexpr std::chrono::milliseconds kRetry{50};

struct Folder {
  dev_t device;
  ino_t inode;
  int fd;
  std::string path;
};

// Gives false when the time was up before the lock came free.
bool LockWithin(const Folder& folder, const LockWaitNotice& waiting,
                std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  bool told = false;
  for (;;) {
    if (flock(folder.fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no flock here: left unlocked
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (!told && waiting) waiting(folder.path);
    told = true;
    std::this_thread::sleep_for(kRetry);
  }
}

}  // namespace

FolderLock::FolderLock(const std::vector<std::string>& filePaths, const LockWaitNotice& waiting,
                       std::chrono::milliseconds patience) {
  std::vector<Folder> folders;
  for (const std::string& path : filePaths) {
    const std::string folder = SplitPath(path).first;
    WalkedPath walked;
    if (WalkPath(folder, true, false, walked) != 0 || !walked.rest.empty()) continue;
    const int fd = openat(walked.folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
      close(fd);
      continue;
    }
    folders.push_back({status.st_dev, status.st_ino, fd, folder});
  }
  std::sort(folders.begin(), folders.end(), [](const Folder& a, const Folder& b) {
    return std::tie(a.device, a.inode) < std::tie(b.device, b.inode);
  });
  for (size_t i = 0; i < folders.size(); ++i) {
    if (i > 0 && folders[i].device == folders[i - 1].device &&
        folders[i].inode == folders[i - 1].inode) {
      close(folders[i].fd);
      continue;
    }
    if (!LockWithin(folders[i], waiting, patience)) {
      for (size_t rest = i; rest < folders.size(); ++rest) close(folders[rest].fd);
      for (const int fd : folderFds_) close(fd);
      throw UserError("cannot write into \"" + Printable(folders[i].path) +
                      "\": another process has held a lock on the folder for " +
                      std::to_string(patience.count() / 1000) + " s");
    }
    folderFds_.push_back(folders[i].fd);
  }
}

FolderLock::~FolderLock() {
  // Closing drops the lock.
  for (const int fd : folderFds_) close(fd);
}

}  // namespace pindot
