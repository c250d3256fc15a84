#include "output/interrupt_cleanup.h"

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace pindot {

// Temporary names that exist on the disk, for the signal handler. A writer claims a free slot
// (or adds one), fills it and marks it visible before the name is made; slots are reused and never
// freed, so the handler walks the list without a lock and without allocating.
enum SlotState : int { kFree, kFilling, kVisible };

struct VisibleName {
  std::atomic<int> state{kFree};
  int folderFd = -1;
  char name[NAME_MAX + 1] = {};
  VisibleName* next = nullptr;
};

namespace {

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<VisibleName*>::is_always_lock_free);

std::atomic<VisibleName*> gVisibleNames{nullptr};

// Only async-signal-safe calls: unlinkat, raise, _exit.
void RemoveVisibleNamesAndDie(int number) {
  for (VisibleName* slot = gVisibleNames.load(); slot != nullptr; slot = slot->next) {
    if (slot->state.load() == kVisible) unlinkat(slot->folderFd, slot->name, 0);
  }
  // SA_RESETHAND has put back the default action and SA_NODEFER lets it act at once.
  raise(number);
  _exit(128 + number);
}

}  // namespace

VisibleName* RememberVisibleName(int folderFd, const std::string& name) {
  VisibleName* slot = nullptr;
  for (VisibleName* each = gVisibleNames.load(); each != nullptr && slot == nullptr;
       each = each->next) {
    int expected = kFree;
    if (each->state.compare_exchange_strong(expected, kFilling)) slot = each;
  }
  if (slot == nullptr) {
    slot = new VisibleName;
    slot->state.store(kFilling);
    slot->next = gVisibleNames.load();
    while (!gVisibleNames.compare_exchange_weak(slot->next, slot)) {
    }
  }
  slot->folderFd = folderFd;
  const size_t length = name.copy(slot->name, NAME_MAX);
  slot->name[length] = '\0';
  slot->state.store(kVisible);
  return slot;
}

void ForgetVisibleName(VisibleName*& slot) {
  if (slot != nullptr) slot->state.store(kFree);
  slot = nullptr;
}

void InstallInterruptCleanup() {
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) != 0) continue;
    // Ignored (nohup, a background job) or handled by someone else: not ours to change.
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction cleanup {};
    cleanup.sa_handler = RemoveVisibleNamesAndDie;
    sigemptyset(&cleanup.sa_mask);
    cleanup.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigaction(number, &cleanup, nullptr);
  }
}

}  // namespace pindot
