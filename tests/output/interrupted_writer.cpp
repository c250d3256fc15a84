// A writer for the interruption tests: replaces the file argv[2], says "ready" with one byte on
// standard output and waits for a signal. argv[1] says where it waits:
//   unnamed  while writing, to an unnamed file
//   named    while writing, to a hidden named file (as on a filesystem without unnamed files)
//   linked   in Commit, once the unnamed file has its temporary name and before the rename
#include <unistd.h>

#include <cerrno>
#include <string>

#include "output/file_writer.h"

namespace {

[[noreturn]] void SayReadyAndWait() {
  if (write(STDOUT_FILENO, "r", 1) != 1) _exit(3);
  for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string where = argv[1];
  pindot::InstallInterruptCleanup();
  pindot::FileSystemCalls calls = pindot::FileSystemCalls::System();
  if (where == "named") {
    calls.openUnnamed = [](int) {
      errno = EOPNOTSUPP;
      return -1;
    };
  }
  if (where == "linked") calls.rename = [](const char*, const char*) -> int { SayReadyAndWait(); };
  pindot::FileReplacement file(argv[2], calls);
  file.Write(std::string(100000, 'x'));
  if (file.Failure()) return 4;
  if (where != "linked") SayReadyAndWait();
  file.Commit();
  return 5;
}
