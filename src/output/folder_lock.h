// A lock on the folders of the files a run writes, so that two runs never mix their files.
#pragma once

#include <string>
#include <vector>

namespace pindot {

// Serialises writers of the same files: holds flock(LOCK_EX) on the folder of each path (creating
// a missing one) until destroyed, so another process that locks any of them waits. Taken in one
// order by every process (folders by device and inode, each once), so writers of overlapping sets
// never deadlock, and no lock file is left behind. Not re-entrant: a second lock on the same folder
// in one process waits forever. A folder that cannot be opened or locked (no read permission, a
// filesystem without flock) is left unlocked: the write itself reports what is wrong.
class FolderLock {
 public:
  explicit FolderLock(const std::vector<std::string>& filePaths);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  std::vector<int> folderFds_;
};

}  // namespace pindot
