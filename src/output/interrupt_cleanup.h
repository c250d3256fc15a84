// The clean-up on SIGINT, SIGTERM and SIGHUP: temporary file names this process has made visible
// are removed before it dies.
#pragma once

#include <string>

namespace pindot {

// Makes SIGINT, SIGTERM and SIGHUP remove every temporary file name this process has made visible
// and then end the process by that signal, so a shell sees 128 + its number. A signal that is
// ignored or already handled is left alone. For a program's main, once, before any file is
// written. After SIGKILL no unnamed file is left; a named one is removed by the next write of the
// same file.
void InstallInterruptCleanup();

// While one lives (on any thread), those signals wait: the files being put in place are all
// replaced before the clean-up runs and the process ends by the signal. Nests.
class InterruptHold {
 public:
  InterruptHold();
  ~InterruptHold();
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;
};

// A temporary name the handler removes, in the folder open as `folderFd`.
struct VisibleName;

// Called before the name is made, so that a signal just after finds it; Forget once the name is
// gone (renamed or removed). Safe from several threads; Forget sets `slot` to null.
VisibleName* RememberVisibleName(int folderFd, const std::string& name);
void ForgetVisibleName(VisibleName*& slot);

}  // namespace pindot
