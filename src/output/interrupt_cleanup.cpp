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
// How many InterruptHolds live, and a signal that came meanwhile (0: none).
std::atomic<int> gHolds{0};
std::atomic<int> gPendingSignal{0};

// Only async-signal-safe calls: unlinkat, sigaction, raise, _exit.
void RemoveVisibleNamesAndDie(int number) {
  for (VisibleName* slot = gVisibleNames.load(); slot != nullptr; slot = slot->next) {
    if (slot->state.load() == kVisible) unlinkat(slot->folderFd, slot->name, 0);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(number, &fallback, nullptr);
  // SA_NODEFER leaves the signal unblocked here, so the default action happens at once.
  raise(number);
  _exit(128 + number);
}

// The pending signal is set before the holds are read, and a hold ends by lowering the count
// before it reads the pending signal: whichever comes second sees the other, so no signal is lost.
void OnInterrupt(int number) {
  gPendingSignal.store(number);
  if (gHolds.load() > 0) return;
  RemoveVisibleNamesAndDie(number);
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
    cleanup.sa_handler = OnInterrupt;
    sigemptyset(&cleanup.sa_mask);
    // Held, the handler returns: a write or a wait it broke goes on where it was.
    cleanup.sa_flags = SA_NODEFER | SA_RESTART;
    sigaction(number, &cleanup, nullptr);
  }
}

InterruptHold::InterruptHold() {
  gHolds.fetch_add(1);
}

InterruptHold::~InterruptHold() {
  if (gHolds.fetch_sub(1) == 1) {
    if (const int number = gPendingSignal.load()) RemoveVisibleNamesAndDie(number);
  }
}

}  // namespace pindot
