// quenmar.exe: the program's window on Windows.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "ui/win32/application.h"
#include "ui/win32/verb_drop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries loaded from now on (the file dialog's, the shell's) come from the
  // system folder only, never from the current folder, which is often the
  // archives' (Downloads).
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  quenmar::win32::RemoveEarlierPageCopies();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  // The taskbar shows the application's window, titled with the application title;
  // it owns the main window.
  // Archives given to the program: a drop on its icon, "Open with", a shortcut's
  // arguments.
  std::vector<quenmar::Text> given;
  int count = 0;
  if (wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) given.emplace_back(arguments[i], arguments[i] + std::wcslen(arguments[i]));
    ::LocalFree(arguments);
  }
  // Started by COM for the context menu's verb: the selected archives come in a
  // drop; without one (COM gave up waiting, or was asked for no more) there is
  // nothing to do.
  if (quenmar::win32::StartedForVerb(given)) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    given = quenmar::win32::ReceiveVerbDrop();
    if (given.empty()) return 0;
  }
  quenmar::win32::TApplication application(instance, given);
  return application.Run();
}
