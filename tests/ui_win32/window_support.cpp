#include "ui_win32/window_support.h"

#include <commctrl.h>

#include "ui/win32/application.h"
#include "ui/win32/gauge.h"

namespace quenmar::win32::testing {

void InitWindowClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterGaugeClass(::GetModuleHandleW(nullptr));
    return true;
  }();
  (void)done;
}

void Pump(HWND dialog) { ProcessPendingMessages(dialog); }

void PressKey(HWND dialog, UINT key) {
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
  ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
  Pump(dialog);
}

void PressAltKey(HWND dialog, wchar_t letter) {
  ::PostMessageW(::GetFocus(), WM_SYSCHAR, letter, 1 << 29);
  Pump(dialog);
}

Text WindowText(HWND window) {
  wchar_t text[1024] = {};
  ::GetWindowTextW(window, text, 1024);
  return T(text);
}

RECT PlaceInParent(HWND control) {
  RECT rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return RECT{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

namespace {

struct Watch {
  Text caption;
  void (*script)(HWND, void*);
  void* context;
};

DWORD WINAPI WatchFor(void* argument) {
  auto* watch = static_cast<Watch*>(argument);
  for (int i = 0; i < 200; ++i) {
    if (HWND window = ::FindWindowW(nullptr, W(watch->caption))) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(window, &process);
      if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window)) {
        ::Sleep(200);  // let it settle
        watch->script(window, watch->context);
        break;
      }
    }
    ::Sleep(50);
  }
  delete watch;
  return 0;
}

}  // namespace

HANDLE WhenWindowAppears(const Text& caption, void (*script)(HWND, void*), void* context) {
  return ::CreateThread(nullptr, 0, WatchFor, new Watch{caption, script, context}, 0, nullptr);
}

}  // namespace quenmar::win32::testing
