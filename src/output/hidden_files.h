// The hidden files beside a target: their names, what killed runs left of them, and the folder
// handles the replacements in one folder share.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pindot {

// Hidden names beside the target, unique to the process: ".<name>.<pid>-<n>.tmp" holds new
// contents or, until a rewrite in place begins, the copy of the old; ".<name>.<pid>-<n>.old" is
// that copy while the target is rewritten. The target's own name is shortened so that one near the
// 255-byte limit still gets one.
constexpr std::string_view kNewEnd = ".tmp";
constexpr std::string_view kOldEnd = ".old";

std::string HiddenPrefix(const std::string& name);
std::string HiddenName(const std::string& name, std::string_view end);

// Whether `entry` is a hidden name of the target with that prefix and end: the prefix, digits, a
// dash, digits, the end, and nothing else, so ".song.h.backup.tmp" is never taken for one.
bool IsHiddenName(std::string_view entry, std::string_view prefix, std::string_view end);

// A hidden file of another run, opened and locked when that run is gone: its writer holds the lock
// for as long as the name exists, so a free lock means the writer was killed. The name must still
// be the file that was locked. -1 when it is not to be touched.
int OpenAbandoned(int folderFd, const std::string& leftover);

// The hidden names of the target's leftovers that end in `end`.
std::vector<std::string> Leftovers(int folderFd, const std::string& name, std::string_view end);

// One handle per folder for all the replacements in it, so that a build of thousands of files in a
// few folders holds a few folder handles. Takes `fd`; closed with the last user.
std::shared_ptr<const int> ShareFolder(int fd);

// Whether the process that made a hidden name ".<name>.<pid>-<n>.<end>" still runs: a parked
// replacement holds no lock on its file.
bool WriterRuns(std::string_view leftover, std::string_view prefix);

}  // namespace pindot
