// quenmar.exe: the program's window on Windows.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A run keeps the window thread busy, as the gauge moves; Windows would otherwise
  // swap a window that has not read its messages for five seconds for a frozen
  // "Not Responding" ghost, and the gauge with it.
  ::DisableProcessWindowsGhosting();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  // The taskbar shows the application's window, titled with the application title;
  // it owns the main window.
  quenmar::win32::TApplication application(instance);
  return application.Run();
}
