// Loaded into pindot with LD_PRELOAD by the tests: at the run's first rename of a file into place
// (a name not starting with "."), the process sends itself the signal numbered in
// PINDOT_SIGNAL_AT_RENAME, to act out a signal that comes between the renames of a run.
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  static bool sent = false;
  const char* number = std::getenv("PINDOT_SIGNAL_AT_RENAME");
  const char* slash = std::strrchr(to, '/');
  const char* name = slash != nullptr ? slash + 1 : to;
  if (number != nullptr && !sent && name[0] != '.') {
    sent = true;
    std::raise(std::atoi(number));
  }
  using Rename = int (*)(int, const char*, int, const char*);
  static const auto next = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "renameat"));
  return next(fromFolder, from, toFolder, to);
}
