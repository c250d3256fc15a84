#include "output/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

#include "output/target_path.h"

namespace pindot {

FolderLock::FolderLock(const std::vector<std::string>& filePaths) {
  struct Folder {
    dev_t device;
    ino_t inode;
    int fd;
  };
  std::vector<Folder> folders;
  for (const std::string& path : filePaths) {
    const std::string folder = SplitPath(path).first;
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && CreateFolders(folder) == 0) {
      fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) continue;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
      close(fd);
      continue;
    }
    folders.push_back({status.st_dev, status.st_ino, fd});
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
    while (flock(folders[i].fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    folderFds_.push_back(folders[i].fd);
  }
}

FolderLock::~FolderLock() {
  // Closing drops the lock.
  for (const int fd : folderFds_) close(fd);
}

}  // namespace pindot
