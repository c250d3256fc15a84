// The replacement of one file: new contents put in place whole or not at all.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pindot {

// The system calls a file write goes through. Tests replace one of them to act out a full disk, a
// failing device or a filesystem without unnamed files; everything else uses System().
struct FileSystemCalls {
  std::function<ssize_t(int fd, const void* bytes, size_t count)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd)> close;
  // Renames within the folder open as `folderFd`, as renameat does.
  std::function<int(int folderFd, const char* from, const char* to)> rename;
  // Opens a new file without a name in the folder (O_TMPFILE, read and write), or gives -1 with
  // errno set; EOPNOTSUPP, EISDIR and EINVAL mean the filesystem cannot.
  std::function<int(int folderFd)> openUnnamed;
  // Reserves disk space as posix_fallocate does: 0, or the error number.
  std::function<int(int fd, off_t offset, off_t length)> allocate;

  static const FileSystemCalls& System();
};

// New contents for one file, written in pieces and put in place whole by Commit, or not at all:
//
//   FileReplacement file("out/song16.c");
//   for (...) file.Write(piece);
//   if (std::optional<std::string> reason = file.Commit()) report(*reason);
//
// The bytes go to a file no one else sees (O_TMPFILE; where the filesystem has none, a hidden
// ".<name>.<pid>-<n>.tmp" beside the target, locked with flock while it lives). Commit renames it
// over the target in one step, so an existing file is replaced whole or stays as it was. Missing
// folders are created as `mkdir -p` does; a symbolic link is followed, also a dangling one, and
// stays, except one another user planted in a shared folder such as /tmp (see WalkPath); a
// replaced file keeps its owner, group and mode as far as the process may set them, less
// set-user-ID and set-group-ID when the writer is not its owner; a target the user may not write
// (a read-only file) is a failure even where renaming over it would succeed. A file with more than
// one hard link keeps its links: the complete new contents are written and synced and a synced
// copy of the old is made beside it first, then the space is reserved and the target rewritten in
// place, the copy kept until that is done; a run that finds such a copy left by a killed run puts
// it back first. After a failure the space the new contents took is freed at once.
// Destroying it without Commit discards everything; the target is untouched.
class FileReplacement {
 public:
  explicit FileReplacement(const std::string& path,
                           const FileSystemCalls& calls = FileSystemCalls::System());
  ~FileReplacement();
  FileReplacement(FileReplacement&&) noexcept;
  FileReplacement& operator=(FileReplacement&&) noexcept;

  // The first failure so far, in words ("Permission denied", "Is a directory"): one of opening
  // (known at once, before any byte is written) or of a Write.
  const std::optional<std::string>& Failure() const;

  // Buffered; after a failure, further bytes are dropped and Commit reports it.
  void Write(std::string_view bytes);

  // Whether the contents written so far are byte for byte those of the file at the target now
  // (false when there is none, or after a failure). Reads both back in pieces, so memory stays one
  // buffer whatever their size. A build leaves a file it would not change alone, timestamp and all.
  bool MatchesTarget();

  // Does all of Commit that comes before the target is touched: flushes, syncs to the disk and
  // gives the contents a hidden name beside the target, so that Commit has only the rename left
  // (for a target with several hard links, the rewrite in place). A build that puts many files in
  // place together stages them all first, so that whatever can fail fails before the first one is
  // replaced. Gives the reason on failure. Optional, at most once, before Commit.
  std::optional<std::string> Stage();

  // Stage, then lets go of every handle the replacement holds but the folder's, which all the
  // replacements in one folder share: a build of thousands of files keeps a few open. The hidden
  // name stays, and a later run leaves it alone while this process runs. A file with several hard
  // links keeps its handles. Gives the reason on failure.
  std::optional<std::string> Park();

  // Flushes, syncs to the disk and puts the contents at the target; gives the reason on failure,
  // when the target is as it was. Called once; the object then holds nothing.
  std::optional<std::string> Commit();

 private:
  void Fail(int error);

  struct State;
  std::unique_ptr<State> state_;
  std::optional<std::string> failure_;
};

// Writes `bytes` as the whole new contents of `path` through a FileReplacement; gives the reason
// on failure, when the file at `path` is as it was.
std::optional<std::string> WriteFileReplacing(
    const std::string& path, std::string_view bytes,
    const FileSystemCalls& calls = FileSystemCalls::System());

}  // namespace pindot
