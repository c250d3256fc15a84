// A writer for the interruption tests: replaces the file argv[2] and, started as a shell starts a
// program (no signal ignored or blocked), sends itself the signal numbered argv[3] where argv[1]
// says:
//   unnamed   while writing, to an unnamed file
//   named     while writing, to a hidden named file (as on a filesystem without unnamed files)
//   linked    in Commit, once the unnamed file has its temporary name and before the rename
//   in-place  in the middle of the first write into a target with several hard links
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "output/file_replacement.h"
#include "output/interrupt_cleanup.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string where = argv[1];
  const int number = std::stoi(argv[3]);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (const int each : {SIGINT, SIGTERM, SIGHUP}) signal(each, SIG_DFL);
  pindot::InstallInterruptCleanup();
  pindot::FileSystemCalls calls = pindot::FileSystemCalls::System();
  if (where == "named") {
    calls.openUnnamed = [](int) {
      errno = EOPNOTSUPP;
      return -1;
    };
  }
  if (where == "linked")
    calls.rename = [number](int, const char*, const char*) { return raise(number); };
  bool inPlace = false;  // the space for the rewrite is reserved just before its first write
  if (where == "in-place") {
    calls.allocate = [&inPlace](int fd, off_t offset, off_t length) {
      inPlace = true;
      return posix_fallocate(fd, offset, length);
    };
    calls.write = [&inPlace, number](int fd, const void* bytes, size_t count) -> ssize_t {
      if (!inPlace) return write(fd, bytes, count);
      inPlace = false;
      const ssize_t half = write(fd, bytes, count / 2);
      raise(number);
      return half;
    };
  }
  pindot::FileReplacement file(argv[2], calls);
  file.Write(std::string(100000, 'x'));
  if (file.Failure()) return 4;
  if (where == "unnamed" || where == "named") raise(number);
  return file.Commit() ? 6 : 5;
}
