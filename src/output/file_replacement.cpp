#include "output/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>

#include "output/interrupt_cleanup.h"
#include "output/target_path.h"

namespace pindot {
namespace {

// Beside the errno values: a target that exists but is no regular file (a device, a socket).
constexpr int kNotARegularFile = -1;
// Bytes gathered before they are handed to write.
constexpr size_t kBufferSize = 64 * 1024;

std::string Reason(int error) {
  return error == kNotARegularFile ? "not a regular file" : std::strerror(error);
}

// Temporary names are ".<name>.<pid>-<n>.tmp": hidden, beside the target, unique to the process.
// The target's own name is shortened so that one near the 255-byte limit still gets one.
std::string TemporaryPrefix(const std::string& name) {
  constexpr size_t kNameKept = 200;
  return "." + name.substr(0, kNameKept) + ".";
}

std::string TemporaryName(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return TemporaryPrefix(name) + std::to_string(getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

// Whether `entry` is a temporary name of the target with that prefix: the prefix, digits, a dash,
// digits, ".tmp", and nothing else, so ".song.h.backup.tmp" is never taken for one.
bool IsTemporaryName(std::string_view entry, std::string_view prefix) {
  constexpr std::string_view kEnd = ".tmp";
  if (entry.size() < prefix.size() + kEnd.size() || entry.substr(0, prefix.size()) != prefix ||
      entry.substr(entry.size() - kEnd.size()) != kEnd) {
    return false;
  }
  const std::string_view numbers =
      entry.substr(prefix.size(), entry.size() - prefix.size() - kEnd.size());
  const size_t dash = numbers.find('-');
  if (dash == std::string_view::npos) return false;
  auto isNumber = [](std::string_view digits) {
    return !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return isNumber(numbers.substr(0, dash)) && isNumber(numbers.substr(dash + 1));
}

// What stands at the target now: nothing (`exists` false), or a regular file the user may write.
// Renaming needs only the folder to be writable, so a read-only file is refused here; root passes,
// as root may write any file.
int InspectTarget(int folderFd, const std::string& name, struct stat& status, bool& exists) {
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

// A leftover temporary goes only when its lock can be taken: its writer holds the lock for as long
// as the name exists, so a free lock means the writer was killed. The name must still be the file
// that was locked.
void RemoveIfUnlocked(int folderFd, const std::string& leftover) {
  const int fd = openat(folderFd, leftover.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat locked {
  }, named{};
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &locked) == 0 && S_ISREG(locked.st_mode) &&
      fstatat(folderFd, leftover.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      named.st_dev == locked.st_dev && named.st_ino == locked.st_ino) {
    unlinkat(folderFd, leftover.c_str(), 0);
  }
  close(fd);
}

void RemoveLeftoverTemporaries(int folderFd, const std::string& name) {
  const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* listing = fdopendir(listFd);
  if (listing == nullptr) {
    close(listFd);
    return;
  }
  const std::string prefix = TemporaryPrefix(name);
  std::vector<std::string> leftovers;
  while (const dirent* entry = readdir(listing)) {
    if (IsTemporaryName(entry->d_name, prefix)) leftovers.push_back(entry->d_name);
  }
  closedir(listing);
  for (const std::string& leftover : leftovers) RemoveIfUnlocked(folderFd, leftover);
}

// Makes the rename itself survive a power cut; a failure here loses nothing already written.
void SyncFolder(int folderFd) {
  const int fd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
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
  fchmod(fd, old.st_mode & 07777);
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

}  // namespace

const FileSystemCalls& FileSystemCalls::System() {
  static const FileSystemCalls calls{
      [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); },
      [](int fd) { return ::fsync(fd); },
      [](int fd) { return ::close(fd); },
      [](const char* from, const char* to) { return std::rename(from, to); },
      [](int folderFd) { return openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666); },
      [](int fd, off_t offset, off_t length) { return posix_fallocate(fd, offset, length); },
  };
  return calls;
}

// Everything a replacement holds. Destroying it removes the temporary name (if any) and closes
// every handle, which also drops the lock.
struct FileReplacement::State {
  FileSystemCalls calls;
  std::string folder;
  std::string name;
  int folderFd = -1;
  int fd = -1;      // the new contents, read and write
  int lockFd = -1;  // keeps the lock while fd is closed ahead of the rename
  bool unnamed = false;
  std::string temporaryName;  // in folder, while it exists
  VisibleName* visible = nullptr;
  std::string buffer;
  off_t size = 0;  // bytes taken by Write
  bool staged = false;
  bool rewriteInPlace = false;  // staged for a target with several hard links
  struct stat oldTarget {};     // the target as staging found it

  ~State() {
    if (!temporaryName.empty()) unlinkat(folderFd, temporaryName.c_str(), 0);
    ForgetVisibleName(visible);
    for (const int each : {fd, lockFd, folderFd}) {
      if (each >= 0) ::close(each);
    }
  }

  int Open(const std::string& path) {
    std::string target = path;
    if (const int error = FollowLinks(target)) return error;
    std::tie(folder, name) = SplitPath(target);
    if (name.empty() || name == "." || name == "..") return EISDIR;
    folderFd = OpenFolder(folder);
    if (folderFd < 0) return errno;
    struct stat status {};
    bool exists = false;
    if (const int error = InspectTarget(folderFd, name, status, exists)) return error;
    RemoveLeftoverTemporaries(folderFd, name);
    return CreateTemporary();
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
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = TemporaryName(name);
      // Remembered before it exists, so that a signal just after the open finds it.
      visible = RememberVisibleName(folderFd, candidate);
      const int opened =
          openat(folderFd, candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (opened < 0) {
        const int error = errno;
        ForgetVisibleName(visible);
        if (error == EEXIST) continue;
        return error;
      }
      // Another run removing leftovers may have locked this file between the open and here, and
      // then removes it: only a file locked here and still linked is this writer's alone.
      struct stat status {};
      const bool taken = flock(opened, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
      if (!taken && fstat(opened, &status) == 0 && status.st_nlink > 0) {
        fd = opened;
        temporaryName = candidate;
        return 0;
      }
      ::close(opened);
      ForgetVisibleName(visible);
    }
    return EEXIST;
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

  // The unnamed file gets a temporary name, since a link cannot replace an existing file.
  int LinkUnnamed() {
    const std::string source = ProcPath(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = TemporaryName(name);
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

  // Reads `count` bytes at `offset`, fewer only at the end of the file; -1 on failure.
  static ssize_t ReadAt(int from, char* bytes, size_t count, off_t offset) {
    size_t done = 0;
    while (done < count) {
      const ssize_t read =
          pread(from, bytes + done, count - done, offset + static_cast<off_t>(done));
      if (read < 0 && errno == EINTR) continue;
      if (read < 0) return -1;
      if (read == 0) break;
      done += static_cast<size_t>(read);
    }
    return static_cast<ssize_t>(done);
  }

  bool MatchesTarget() {
    const int contents = fd >= 0 ? fd : lockFd;
    const int target = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (contents < 0 || target < 0) {
      if (target >= 0) ::close(target);
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
    return same;
  }

  int Stage() {
    if (staged) return 0;
    if (const int error = Flush()) return error;
    if (calls.fsync(fd) != 0) return errno;
    bool exists = false;
    if (const int error = InspectTarget(folderFd, name, oldTarget, exists)) return error;
    if (exists && oldTarget.st_nlink > 1) {
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

  int Commit() {
    if (const int error = Stage()) return error;
    if (rewriteInPlace) return RewriteInPlace(oldTarget);
    if (calls.rename((folder + "/" + temporaryName).c_str(), (folder + "/" + name).c_str()) != 0) {
      return errno;
    }
    temporaryName.clear();
    ForgetVisibleName(visible);
    SyncFolder(folderFd);
    return 0;
  }

  // Renaming would split the links, so the target itself is rewritten, as a careful editor does.
  // The complete contents are already on the disk in the temporary file, so a full disk has shown
  // before the target is touched; reserving the extra space first keeps the rewrite from running
  // out of it halfway.
  int RewriteInPlace(const struct stat& old) {
    const int out = openat(folderFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (out < 0) return errno;
    const int error = CopyInto(out, old.st_size);
    const int closed = calls.close(out);
    const int closeError = errno;
    if (error != 0) return error;
    return closed != 0 ? closeError : 0;
  }

  int CopyInto(int out, off_t oldSize) {
    if (size > oldSize) {
      const int error = calls.allocate(out, oldSize, size - oldSize);
      if (error != 0 && error != EOPNOTSUPP && error != ENOSYS && error != EINVAL) {
        // A failed reservation may have grown the file.
        [[maybe_unused]] const bool undone = ftruncate(out, oldSize) == 0;
        return error;
      }
    }
    std::string chunk(kBufferSize, '\0');
    for (off_t offset = 0; offset < size;) {
      const size_t wanted = static_cast<size_t>(std::min<off_t>(size - offset, kBufferSize));
      const ssize_t count = pread(fd, chunk.data(), wanted, offset);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return count < 0 ? errno : EIO;
      if (const int error = WriteAll(out, std::string_view(chunk).substr(0, count))) return error;
      offset += count;
    }
    if (ftruncate(out, size) != 0) return errno;
    if (calls.fsync(out) != 0) return errno;
    return 0;
  }
};

FileReplacement::FileReplacement(const std::string& path, const FileSystemCalls& calls)
    : state_(std::make_unique<State>()) {
  state_->calls = calls;
  if (const int error = state_->Open(path)) failure_ = Reason(error);
}

FileReplacement::~FileReplacement() = default;
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement& FileReplacement::operator=(FileReplacement&&) noexcept = default;

const std::optional<std::string>& FileReplacement::Failure() const {
  return failure_;
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
  if (error != 0) failure_ = Reason(error);
}

bool FileReplacement::MatchesTarget() {
  if (failure_ || !state_) return false;
  if (const int error = state_->Flush()) {
    failure_ = Reason(error);
    return false;
  }
  return state_->MatchesTarget();
}

std::optional<std::string> FileReplacement::Stage() {
  if (!state_) return Reason(EBADF);
  if (!failure_) {
    if (const int error = state_->Stage()) failure_ = Reason(error);
  }
  return failure_;
}

std::optional<std::string> FileReplacement::Commit() {
  if (!state_) return Reason(EBADF);
  // Released at the end whatever happens: a temporary that was not put in place goes with it.
  const std::unique_ptr<State> state = std::move(state_);
  if (!failure_) {
    if (const int error = state->Commit()) failure_ = Reason(error);
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
