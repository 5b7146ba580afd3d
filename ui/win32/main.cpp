// quenmar.exe: the program's window on Windows.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/application.h"
#include "ui/win32/form_quenmar.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A run keeps the window thread busy, as the gauge moves; Windows would otherwise
  // swap a window that has not read its messages for five seconds for a frozen
  // "Not Responding" ghost, and the gauge with it.
  ::DisableProcessWindowsGhosting();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  // The taskbar shows the application's window, titled with the application title;
  // it owns the main window.
  quenmar::win32::TApplicationWindow application(instance);
  quenmar::win32::TForm_Quenmar form(instance, quenmar::Text(), application.Handle());
  application.SetMainWindow(form.Handle());
  form.Show();
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(form.Handle(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
