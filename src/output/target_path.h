// Where a file to be written lands: its folder and name, the symbolic links on the way followed,
// missing folders created.
#pragma once

#include <string>
#include <utility>

namespace pindot {

// "out/song16.h" -> {"out", "song16.h"}; "song16.h" -> {".", "song16.h"}; "/a" -> {"/", "a"}.
std::pair<std::string, std::string> SplitPath(const std::string& path);

// mkdir -p: each missing folder of the path, mode 0777 less the umask. Gives 0 or the error; a
// part that exists but is no folder shows as ENOTDIR at the next part or when it is opened.
int CreateFolders(const std::string& folder);

// The folder as an O_PATH handle for the *at calls, created first when it is missing; -1 and errno.
int OpenFolder(const std::string& folder);

// Follows symbolic links to the file they name, also one that does not exist yet: a relative link
// counts from the link's own folder. Gives 0 or the error.
int FollowLinks(std::string& path);

}  // namespace pindot
