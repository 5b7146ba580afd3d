// While a run goes, Windows' shutdown and sign-out screen lists the program with
// a reason in Czech (ShutdownBlockReasonCreate). The run does not hold the session
// up for it: when the session ends, the window stops the run and lets Windows go on
// once the clean-up is done.
#pragma once

#include <windows.h>

#include <functional>

namespace quenmar::win32 {

extern const wchar_t kShutdownReason[];

// Window is the main window; Running whether a run goes now.
void ShowShutdownReason(HWND window, bool running);

// Tests record the calls instead (Reason null: the reason is taken away).
using ShutdownReasonRecorder = std::function<void(HWND window, const wchar_t* reason)>;
void SetShutdownReasonRecorder(ShutdownReasonRecorder recorder);

}  // namespace quenmar::win32
