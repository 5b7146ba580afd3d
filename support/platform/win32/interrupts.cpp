#include "support/platform/interrupts.h"

#include <windows.h>

#include <atomic>

namespace quenmar::platform {
namespace {

std::atomic<int> pending{0};
HANDLE handled = nullptr;  // set once the program has cleaned up

BOOL WINAPI RecordInterrupt(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: {
      int none = 0;
      pending.compare_exchange_strong(none, static_cast<int>(event) + 1);
      return TRUE;
    }
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      int none = 0;
      pending.compare_exchange_strong(none, static_cast<int>(event) + 1);
      // Windows ends the process when this handler returns: wait for the
      // clean-up, within the few seconds Windows grants.
      if (handled != nullptr) ::WaitForSingleObject(handled, 4500);
      return TRUE;
    }
    default: return FALSE;
  }
}

}  // namespace

void InstallInterruptHandlers() {
  if (handled == nullptr) handled = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(RecordInterrupt, TRUE);
}

int PendingInterrupt() { return pending.load(); }

int InterruptExitCode(int) { return static_cast<int>(0xC000013A); }  // STATUS_CONTROL_C_EXIT

void InterruptHandled() {
  if (handled != nullptr) ::SetEvent(handled);
}

}  // namespace quenmar::platform
