// Helpers for the tests of the Win32 window: the program's own classes registered
// once, the waiting messages handled, keys pressed as the message loop sees them.
#pragma once

#include <windows.h>

#include <string>

#include "support/text.h"

namespace quenmar::win32::testing {

// Common controls and the gauge's class, once per process.
void InitWindowClasses();

// Handles what waits in the queue, dialog keys of Dialog included.
void Pump(HWND dialog);

// A key as the message loop would get it: posted to the focused control, then
// the queue handled.
void PressKey(HWND dialog, UINT key);
// Alt+Letter: the access key.
void PressAltKey(HWND dialog, wchar_t letter);

Text WindowText(HWND window);
// Left, top, width and height of Control in its parent's client area.
RECT PlaceInParent(HWND control);

// Runs Script on a thread of its own once a top-level window of this process with
// Caption appears (within 10 s), giving it the window; the call returns at once.
// Join with the returned handle (WaitForSingleObject, CloseHandle).
HANDLE WhenWindowAppears(const Text& caption, void (*script)(HWND window, void* context), void* context);

}  // namespace quenmar::win32::testing
