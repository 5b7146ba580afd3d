// Interrupts of a terminal program: Ctrl+C, a termination request, a closed
// terminal. Once the handlers are installed, an interrupt does not end the process:
// the handler only records it (async-signal-safe), and the program stops at its next
// safe point, cleans up and exits with InterruptExitCode. Programs that install no
// handlers (the window) never see an interrupt pending.
#pragma once

namespace quenmar::platform {

// POSIX: SIGINT, SIGTERM and SIGHUP. Windows: Ctrl+C, Ctrl+Break and a closed
// console (whose handler then waits, for as long as Windows allows, until
// InterruptHandled is called).
void InstallInterruptHandlers();

// The interrupt recorded first (its signal number on POSIX, its console event + 1
// on Windows), or 0.
int PendingInterrupt();

// The exit status for having stopped on Interrupt: 128 + the signal number on POSIX;
// on Windows STATUS_CONTROL_C_EXIT, as for a program Ctrl+C ended.
int InterruptExitCode(int interrupt);

// The program has cleaned up after an interrupt and is about to end.
void InterruptHandled();

}  // namespace quenmar::platform
