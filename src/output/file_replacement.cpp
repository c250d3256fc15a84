#include "output/file_replacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "output/hidden_files.h"
#include "output/interrupt_cleanup.h"
#include "output/target_path.h"
#include "text/utf.h"

namespace pindot {
namespace {

// Beside the errno values (and kRefusedLink): a target that exists but is no regular file (a
// device, a socket), and a failure whose words are in the replacement's own `detail`.
constexpr int kNotARegularFile = -1;
constexpr int kExplained = -3;
// Bytes gathered before they are handed to write.
constexpr size_t kBufferSize = 64 * 1024;

// What stands at the target now: nothing (`exists` false), or a regular file the user may write.
// Renaming needs only the folder to be writable, so a read-only file is refused here; root passes,
// as root may write any file.
int ExamineTarget(int folderFd, const std::string& name, struct stat& status, bool& exists) {
  exists = false;
  if (fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? 0 : errno;
  }
  exists = true;
  if (S_ISDIR(status.st_mode)) return EISDIR;
  if (!S_ISREG(status.st_mode)) return kNotARegularFile;
  if (faccessat(folderFd, name.c_str(), W_OK, AT_EACCESS) != 0) return errno;
  return 0;
}

// Makes the rename itself survive a power cut; a failure here loses nothing already written.
void SyncFolder(int folderFd) {
  const int fd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The mode a rewritten file keeps: set-user-ID and set-group-ID go when the writer is not the
// file's owner, as the kernel drops them on a write by anyone else (root included here: a program
// root rewrote is no longer what its owner made setuid).
mode_t KeptMode(const struct stat& old) {
  const mode_t mode = old.st_mode & 07777;
  return geteuid() == old.st_uid ? mode : mode & ~mode_t{S_ISUID | S_ISGID};
}

// The new file takes over what the old one was, as far as this process may set it: only root may
// give a file to another user, anyone may give it a group they are in. Otherwise it stays the
// writer's own, as an editor leaves it.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  struct stat own {};
  if (fstat(fd, &own) == 0 && (own.st_uid != old.st_uid || own.st_gid != old.st_gid)) {
    [[maybe_unused]] const bool kept = fchown(fd, old.st_uid, old.st_gid) == 0 ||
                                       fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
  }
  // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
  fchmod(fd, KeptMode(old));
}

// The name under /proc through which an unnamed file is linked into its folder (linkat with
// AT_EMPTY_PATH would need a capability an ordinary user lacks).
std::string ProcPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

bool CanLinkThroughProc(int fd) {
  struct stat viaProc {
  }, direct{};
  return stat(ProcPath(fd).c_str(), &viaProc) == 0 && fstat(fd, &direct) == 0 &&
         viaProc.st_dev == direct.st_dev && viaProc.st_ino == direct.st_ino;
}

// Reads `count` bytes at `offset`, fewer only at the end of the file; -1 on failure.
ssize_t ReadAt(int from, char* bytes, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t read = pread(from, bytes + done, count - done, offset + static_cast<off_t>(done));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return -1;
    if (read == 0) break;
    done += static_cast<size_t>(read);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

const FileSystemCalls& FileSystemCalls::System() {
  static const FileSystemCalls calls{
      [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); },
      [](int fd) { return ::fsync(fd); },
      [](int fd) { return ::close(fd); },
      [](int folderFd, const char* from, const char* to) {
        return renameat(folderFd, from, folderFd, to);
      },
      [](int folderFd) { return openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666); },
      [](int fd, off_t offset, off_t length) { return posix_fallocate(fd, offset, length); },
  };
  return calls;
}

// Everything a replacement holds. Destroying it removes the hidden names (if any) and closes every
// handle, which also drops the locks.
struct FileReplacement::State {
  FileSystemCalls calls;
  std::string name;
  std::shared_ptr<const int> folder;  // kept open while any hidden name exists
  int folderFd = -1;
  int fd = -1;      // the new contents, read and write
  int lockFd = -1;  // keeps the lock while fd is closed ahead of the rename
  bool unnamed = false;
  std::string temporaryName;  // in the folder, while it exists
  VisibleName* visible = nullptr;
  std::string buffer;
  off_t size = 0;  // bytes taken by Write
  bool staged = false;
  bool rewriteInPlace = false;  // staged for a target with several hard links
  struct stat oldTarget {};     // the target as staging found it
  // For a rewrite in place, a synced copy of the old contents, kept until the rewrite is complete.
  int backupFd = -1;
  std::string backupName;
  VisibleName* backupVisible = nullptr;
  std::string detail;  // the words of a kExplained failure

  ~State() {
    for (const std::string* hidden : {&temporaryName, &backupName}) {
      if (!hidden->empty()) unlinkat(folderFd, hidden->c_str(), 0);
    }
    ForgetVisibleName(visible);
    ForgetVisibleName(backupVisible);
    for (const int each : {fd, lockFd, backupFd}) {
      if (each >= 0) ::close(each);
    }
  }

  std::string Explain(int error) const {
    if (error == kExplained) return detail;
    return error == kNotARegularFile ? "not a regular file" : std::strerror(error);
  }

  int Open(const std::string& path) {
    if (path.empty() || path.back() == '/') return EISDIR;
    WalkedPath walked;
    const int walkError = WalkPath(path, true, true, walked);
    if (walkError == kRefusedLink) {
      detail = "\"" + Printable(walked.refusedLink) +
               "\" is a symbolic link of another user in a shared folder (sticky and writable by "
               "all); it is not followed";
      return kExplained;
    }
    if (walkError != 0) return walkError;
    if (walked.rest.size() != 1 || walked.rest.front() == "..") return EISDIR;
    name = walked.rest.front();
    folder = ShareFolder(std::exchange(walked.folderFd, -1));
    folderFd = *folder;
    struct stat status {};
    bool exists = false;
    if (const int error = ExamineTarget(folderFd, name, status, exists)) return error;
    if (const int error = CleanUpAfterKilledRuns()) return error;
    return CreateTemporary();
  }

  // A killed run leaves hidden files beside the target: new contents, removed here, and the copy
  // of the old contents of a file it was rewriting in place, which are put back (the target may be
  // half written) before this run writes anything.
  int CleanUpAfterKilledRuns() {
    for (const std::string& leftover : Leftovers(folderFd, name, kNewEnd)) {
      if (WriterRuns(leftover, HiddenPrefix(name))) continue;
      const int abandoned = OpenAbandoned(folderFd, leftover);
      if (abandoned < 0) continue;
      unlinkat(folderFd, leftover.c_str(), 0);
      ::close(abandoned);
    }
    for (const std::string& copy : Leftovers(folderFd, name, kOldEnd)) {
      const int abandoned = OpenAbandoned(folderFd, copy);
      if (abandoned < 0) continue;
      const int error = PutBack(abandoned, copy);
      ::close(abandoned);
      if (error != 0) {
        detail = "an interrupted run left the previous contents in \"" + Printable(copy) +
                 "\" beside it, and they could not be put back: " + Explain(error);
        return kExplained;
      }
    }
    return 0;
  }

  // Copies the old contents in `copy` back over the target, in place so that its other links see
  // them, and removes the copy.
  int PutBack(int copyFd, const std::string& copy) {
    const InterruptHold hold;
    struct stat status {};
    if (fstat(copyFd, &status) != 0) return errno;
    const int out = openat(folderFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (out < 0 && errno == ENOENT) {
      if (renameat(folderFd, copy.c_str(), folderFd, name.c_str()) != 0) return errno;
      SyncFolder(folderFd);
      return 0;
    }
    if (out < 0) return errno;
    const int error = CopyContents(copyFd, out, status.st_size);
    ::close(out);
    if (error == 0) unlinkat(folderFd, copy.c_str(), 0);
    return error;
  }

  // A named hidden file beside the target, created, locked and remembered for the signal handler.
  int CreateNamed(int& namedFd, std::string& namedName, VisibleName*& namedVisible) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = HiddenName(name, kNewEnd);
      // Remembered before it exists, so that a signal just after the open finds it.
      namedVisible = RememberVisibleName(folderFd, candidate);
      const int opened =
          openat(folderFd, candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (opened < 0) {
        const int error = errno;
        ForgetVisibleName(namedVisible);
        if (error == EEXIST) continue;
        return error;
      }
      // Another run removing leftovers may have locked this file between the open and here, and
      // then removes it: only a file locked here and still linked is this writer's alone.
      struct stat status {};
      const bool taken = flock(opened, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
      if (!taken && fstat(opened, &status) == 0 && status.st_nlink > 0) {
        namedFd = opened;
        namedName = candidate;
        return 0;
      }
      ::close(opened);
      ForgetVisibleName(namedVisible);
    }
    return EEXIST;
  }

  int CreateTemporary() {
    fd = calls.openUnnamed(folderFd);
    if (fd >= 0) {
      if (CanLinkThroughProc(fd)) {
        unnamed = true;
        // No one else can reach the file yet; the lock matters once Commit gives it a name.
        flock(fd, LOCK_EX | LOCK_NB);
        return 0;
      }
      ::close(fd);
      fd = -1;
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      return errno;
    }
    return CreateNamed(fd, temporaryName, visible);
  }

  int WriteAll(int to, std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t count = calls.write(to, bytes.data(), bytes.size());
      if (count < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (count == 0) return ENOSPC;
      bytes.remove_prefix(static_cast<size_t>(count));
    }
    return 0;
  }

  int Flush() {
    const int error = WriteAll(fd, buffer);
    buffer.clear();
    return error;
  }

  // After a failure the contents are never used: their space goes back at once, so that a full
  // disk does not make the next file fail too.
  void Discard() {
    buffer.clear();
    for (const int each : {fd, backupFd}) {
      if (each >= 0) [[maybe_unused]]
        const bool freed = ftruncate(each, 0) == 0;
    }
  }

  // The unnamed file gets a temporary name, since a link cannot replace an existing file.
  int LinkUnnamed() {
    const std::string source = ProcPath(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = HiddenName(name, kNewEnd);
      visible = RememberVisibleName(folderFd, candidate);
      if (linkat(AT_FDCWD, source.c_str(), folderFd, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporaryName = candidate;
        return 0;
      }
      const int error = errno;
      ForgetVisibleName(visible);
      if (error != EEXIST) return error;
    }
    return EEXIST;
  }

  bool MatchesTarget() {
    // Parked, the contents are read back through their hidden name.
    const int reopened =
        fd < 0 && lockFd < 0 && !temporaryName.empty()
            ? openat(folderFd, temporaryName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)
            : -1;
    const int contents = fd >= 0 ? fd : lockFd >= 0 ? lockFd : reopened;
    const int target = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (contents < 0 || target < 0) {
      if (target >= 0) ::close(target);
      if (reopened >= 0) ::close(reopened);
      return false;
    }
    struct stat status {};
    bool same = fstat(target, &status) == 0 && S_ISREG(status.st_mode) && status.st_size == size;
    std::string mine(kBufferSize, '\0'), theirs(kBufferSize, '\0');
    for (off_t offset = 0; same && offset < size;) {
      const size_t wanted = static_cast<size_t>(std::min<off_t>(size - offset, kBufferSize));
      same = ReadAt(contents, mine.data(), wanted, offset) == static_cast<ssize_t>(wanted) &&
             ReadAt(target, theirs.data(), wanted, offset) == static_cast<ssize_t>(wanted) &&
             std::memcmp(mine.data(), theirs.data(), wanted) == 0;
      offset += static_cast<off_t>(wanted);
    }
    ::close(target);
    if (reopened >= 0) ::close(reopened);
    return same;
  }

  // Staged and renamed into place by name alone, the replacement needs no handle of its own.
  int Park() {
    if (const int error = Stage()) return error;
    if (!rewriteInPlace && lockFd >= 0) {
      ::close(lockFd);
      lockFd = -1;
    }
    return 0;
  }

  int Stage() {
    if (staged) return 0;
    if (const int error = Flush()) return error;
    if (calls.fsync(fd) != 0) return errno;
    bool exists = false;
    if (const int error = ExamineTarget(folderFd, name, oldTarget, exists)) return error;
    if (exists && oldTarget.st_nlink > 1) {
      if (const int error = CopyOldContents()) return error;
      rewriteInPlace = true;
      staged = true;
      return 0;
    }
    if (exists) KeepOwnerAndMode(fd, oldTarget);
    if (unnamed) {
      if (const int error = LinkUnnamed()) return error;
    }
    // A network filesystem may report a failed write only at close, so close comes before the
    // rename; the duplicate keeps the lock on the name meanwhile.
    lockFd = dup(fd);
    const int closed = calls.close(fd);
    fd = -1;
    if (closed != 0) return errno;
    staged = true;
    return 0;
  }

  // The copy of the old contents a rewrite in place keeps beside the target: written and synced
  // before the target is touched, so a full disk shows here.
  int CopyOldContents() {
    const int old = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (old < 0) return errno;
    int error = CreateNamed(backupFd, backupName, backupVisible);
    if (error == 0) error = CopyContents(old, backupFd, oldTarget.st_size);
    ::close(old);
    return error;
  }

  int Commit() {
    if (const int error = Stage()) return error;
    if (rewriteInPlace) return RewriteInPlace();
    if (calls.rename(folderFd, temporaryName.c_str(), name.c_str()) != 0) return errno;
    temporaryName.clear();
    ForgetVisibleName(visible);
    SyncFolder(folderFd);
    return 0;
  }

  // Renaming would split the links, so the target itself is rewritten, as a careful editor does:
  // the copy of the old contents is renamed to the ".old" name that tells the next run to put it
  // back, and stays until the new contents are synced. The complete new contents are already on
  // the disk, so a full disk has shown before the target is touched; reserving the extra space
  // first keeps the rewrite from running out of it halfway. SIGINT, SIGTERM and SIGHUP wait until
  // the target is whole again; after SIGKILL the next run puts the old contents back.
  int RewriteInPlace() {
    const InterruptHold hold;
    const std::string kept = HiddenName(name, kOldEnd);
    if (renameat(folderFd, backupName.c_str(), folderFd, kept.c_str()) != 0) return errno;
    backupName = kept;
    ForgetVisibleName(backupVisible);  // the handler waits until it is gone
    SyncFolder(folderFd);
    const int out = openat(folderFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (out < 0) return errno;
    int error = Reserve(out, oldTarget.st_size, size);
    if (error == 0) error = CopyContents(fd, out, size);
    if (error == 0 && KeptMode(oldTarget) != (oldTarget.st_mode & 07777)) {
      fchmod(out, KeptMode(oldTarget));
    }
    const int closed = calls.close(out);
    if (error == 0 && closed != 0) error = errno;
    if (error == 0) {
      unlinkat(folderFd, backupName.c_str(), 0);
      backupName.clear();
      return 0;
    }
    // Written in part: the old contents go back from the copy, or the copy stays and is named.
    const int back = openat(folderFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    const int putBack = back < 0 ? errno : CopyContents(backupFd, back, oldTarget.st_size);
    if (back >= 0) ::close(back);
    if (putBack == 0) return error;
    detail = Explain(error) + "; its previous contents are in \"" + Printable(backupName) +
             "\" beside it";
    backupName.clear();
    return kExplained;
  }

  // Reserves the space a file growing from `oldSize` to `newSize` takes; filesystems that cannot
  // reserve are written all the same.
  int Reserve(int out, off_t oldSize, off_t newSize) {
    if (newSize <= oldSize) return 0;
    const int error = calls.allocate(out, oldSize, newSize - oldSize);
    if (error == 0 || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL) return 0;
    // A failed reservation may have grown the file.
    [[maybe_unused]] const bool undone = ftruncate(out, oldSize) == 0;
    return error;
  }

  // `from`'s first `count` bytes become the whole of `to`, synced.
  int CopyContents(int from, int to, off_t count) {
    std::string chunk(kBufferSize, '\0');
    for (off_t offset = 0; offset < count;) {
      const size_t wanted = static_cast<size_t>(std::min<off_t>(count - offset, kBufferSize));
      const ssize_t read = ReadAt(from, chunk.data(), wanted, offset);
      if (read <= 0) return read < 0 ? errno : EIO;
      if (lseek(to, offset, SEEK_SET) < 0) return errno;
      if (const int error = WriteAll(to, std::string_view(chunk).substr(0, read))) return error;
      offset += read;
    }
    if (ftruncate(to, count) != 0) return errno;
    if (calls.fsync(to) != 0) return errno;
    return 0;
  }
};

FileReplacement::FileReplacement(const std::string& path, const FileSystemCalls& calls)
    : state_(std::make_unique<State>()) {
  state_->calls = calls;
  if (const int error = state_->Open(path)) failure_ = state_->Explain(error);
}

FileReplacement::~FileReplacement() = default;
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement& FileReplacement::operator=(FileReplacement&&) noexcept = default;

const std::optional<std::string>& FileReplacement::Failure() const {
  return failure_;
}

void FileReplacement::Fail(int error) {
  failure_ = state_->Explain(error);
  state_->Discard();
}

void FileReplacement::Write(std::string_view bytes) {
  if (failure_ || !state_) return;
  State& state = *state_;
  state.size += static_cast<off_t>(bytes.size());
  if (state.buffer.size() + bytes.size() < kBufferSize) {
    state.buffer.append(bytes);
    return;
  }
  int error = state.Flush();
  if (error == 0 && bytes.size() >= kBufferSize) {
    error = state.WriteAll(state.fd, bytes);
  } else if (error == 0) {
    state.buffer.append(bytes);
  }
  if (error != 0) Fail(error);
}

bool FileReplacement::MatchesTarget() {
  if (failure_ || !state_) return false;
  if (const int error = state_->Flush()) {
    Fail(error);
    return false;
  }
  return state_->MatchesTarget();
}

std::optional<std::string> FileReplacement::Stage() {
  if (!state_) return std::strerror(EBADF);
  if (!failure_) {
    if (const int error = state_->Stage()) Fail(error);
  }
  return failure_;
}

std::optional<std::string> FileReplacement::Park() {
  if (!state_) return std::strerror(EBADF);
  if (!failure_) {
    if (const int error = state_->Park()) Fail(error);
  }
  return failure_;
}

std::optional<std::string> FileReplacement::Commit() {
  if (!state_) return std::strerror(EBADF);
  // Released at the end whatever happens: a temporary that was not put in place goes with it.
  const std::unique_ptr<State> state = std::move(state_);
  if (!failure_) {
    if (const int error = state->Commit()) failure_ = state->Explain(error);
  }
  return failure_;
}

std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes,
                                              const FileSystemCalls& calls) {
  FileReplacement file(path, calls);
  file.Write(bytes);
  return file.Commit();
}

}  // namespace pindot
