#include "support/platform/interrupts.h"

#include <signal.h>

#include <atomic>

namespace quenmar::platform {
namespace {

std::atomic<int> pending{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

extern "C" void RecordInterrupt(int signal) {
  int none = 0;
  pending.compare_exchange_strong(none, signal);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = RecordInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a call that waits (on anything) returns, and the run stops.
  action.sa_flags = 0;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int PendingInterrupt() { return pending.load(); }

int InterruptExitCode(int interrupt) { return 128 + interrupt; }

void InterruptHandled() {}

}  // namespace quenmar::platform
