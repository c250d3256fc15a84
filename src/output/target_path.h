// Where a file to be written lands: its folder and name, reached without following a symbolic link
// that another user planted, missing folders created on the way.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pindot {

// "out/song16.h" -> {"out", "song16.h"}; "song16.h" -> {".", "song16.h"}; "/a" -> {"/", "a"}.
std::pair<std::string, std::string> SplitPath(const std::string& path);

// The end of a path walk: the deepest folder reached (an O_PATH handle, or -1) and what is left
// below it. With folders created, `rest` is the file's name alone.
struct WalkedPath {
  int folderFd = -1;
  std::vector<std::string> rest;
  std::string refusedLink;  // the link not followed, when the walk gives kRefusedLink

  WalkedPath() = default;
  WalkedPath(WalkedPath&& other) noexcept;
  WalkedPath& operator=(WalkedPath&& other) noexcept;
  ~WalkedPath();
};

// Beside the errno values: a symbolic link that the kernel's protected_symlinks rule would not
// follow: in a sticky world-writable folder (as /tmp), owned neither by this user nor by the
// folder's owner. Followed, it could make root overwrite or create a file anywhere.
constexpr int kRefusedLink = -2;

// Walks `path` one name at a time, following symbolic links (also a dangling one at the end; a
// relative link counts from its own folder) where that rule allows. With `createFolders`, each
// missing folder is made as `mkdir -p` does (0777 less the umask) and the walk ends at the file's
// folder; without, it stops at the first name that does not exist. With `toFile`, a link in the
// last name is followed too; otherwise the last name counts as a folder. Gives 0 or the error.
int WalkPath(const std::string& path, bool createFolders, bool toFile, WalkedPath& walked);

// The same file whatever path reaches it: the device and inode of the file, or where it does not
// exist yet, of the deepest existing folder followed by the names below it. "" when the path
// cannot be walked.
std::string FileIdentity(const std::string& path);

}  // namespace pindot
