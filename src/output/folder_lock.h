// A lock on the folders of the files a run writes, so that two runs never mix their files.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace pindot {

// Told the folder once, when a lock on it is found held by another process and the wait begins.
using LockWaitNotice = std::function<void(const std::string& folder)>;

// How long a folder locked by another process is waited for: a writer of a few files holds it for
// well under a second, so this long means a stuck or hostile holder.
constexpr std::chrono::milliseconds kLockPatience{30000};

// Serialises writers of the same files: holds flock(LOCK_EX) on the folder of each path (creating
// a missing one, through no link another user planted) until destroyed, so another process that
// locks any of them waits. Taken in one order by every process (folders by device and inode, each
// once), so writers of overlapping sets never deadlock, and no lock file is left behind. Not
// re-entrant: a second lock on the same folder in one process waits. Any user who may read a
// folder may lock it, so a folder still held after `patience` throws UserError naming it. A folder
// that cannot be opened or locked (no read permission, a filesystem without flock) is left
// unlocked: the write itself reports what is wrong.
class FolderLock {
 public:
  explicit FolderLock(const std::vector<std::string>& filePaths, const LockWaitNotice& waiting = {},
                      std::chrono::milliseconds patience = kLockPatience);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  std::vector<int> folderFds_;
};

}  // namespace pindot
