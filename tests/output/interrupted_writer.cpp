// A writer for the interruption tests: replaces the file argv[2] and, started as a shell starts a
// program (no signal ignored or blocked), sends itself the signal numbered argv[3] where argv[1]
// says:
//   unnamed  while writing, to an unnamed file
//   named    while writing, to a hidden named file (as on a filesystem without unnamed files)
//   linked   in Commit, once the unnamed file has its temporary name and before the rename
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
    calls.rename = [number](const char*, const char*) { return raise(number); };
  pindot::FileReplacement file(argv[2], calls);
  file.Write(std::string(100000, 'x'));
  if (file.Failure()) return 4;
  if (where != "linked") raise(number);
  file.Commit();
  return 5;
}
