// The application on Win32: its title, the report of an error that escapes a
// handler, the information page, the message loop's dispatch, and the application
// object, which owns the program's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "support/text.h"

namespace quenmar::win32 {

class TForm_Quenmar;

inline const wchar_t* W(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline Text T(const wchar_t* text) { return Text(reinterpret_cast<const char16_t*>(text)); }

// The application title: ApplicationTitleFor the running executable.
const Text& ApplicationTitle();

// The error report: a message box owned by Owner, titled with the application
// title, with the error icon and an OK button, showing ErrorReportText(Message).
// Tests replace it to see what would be shown.
using ErrorReporter = std::function<void(HWND owner, const Text& message)>;
void ShowError(HWND owner, const Text& message);
void SetErrorReporter(ErrorReporter reporter);

// Runs Handler; an error that escapes it goes to the error report, after which the
// program goes on. Window procedures call their handlers through it, since no
// exception may pass through Windows' own frames.
void Guarded(HWND owner, const std::function<void()>& handler);

// The information page: where it is installed with the program, else a copy of the
// page built into the program in the temporary folder, under a name of its own that
// cannot be guessed, left for the browser when the program ends. Empty when neither
// can be had.
Text InfoPagePath();

// Removes the copies of the page that earlier runs left in the temporary folder,
// those older than OlderThanMilliseconds (a run started just before may still be
// showing its own). The program does it when it starts.
void RemoveEarlierPageCopies(ULONGLONG olderThanMilliseconds = 60000);

// Hands Page to the user's default handler, as the Info button does.
void OpenInfoPage(const Text& page);

// Gives Window the program's icon in the small and the large size of Dpi, each
// from the image of that size or scaled down from a larger one (not the first
// size loaded, as a shared icon would be). An icon given before is destroyed.
void SetProgramIcon(HWND window, HINSTANCE instance, int dpi);

// The application's own window, which the taskbar shows: titled with the
// application title, carrying the icon, of no size, so nothing of it is seen. It
// owns the main window, hands its activation on to it, and passes a close (from the
// taskbar) to it. It goes with the object.
class TApplicationWindow {
 public:
  explicit TApplicationWindow(HINSTANCE instance);
  ~TApplicationWindow();
  TApplicationWindow(const TApplicationWindow&) = delete;
  TApplicationWindow& operator=(const TApplicationWindow&) = delete;

  HWND Handle() const { return window_; }
  void SetMainWindow(HWND main) { main_ = main; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  HWND main_ = nullptr;
};

// Handles the waiting messages once, the dialog keys of Window included; a quit
// message is put back for the main loop.
void ProcessPendingMessages(HWND window);

// The program: the application's window, which the taskbar shows, and the main
// window it owns, both made by the constructor (the main window hidden, with
// GivenPaths in its path box, or else proposing an archive from the program's own
// folder) and gone with the object, the main window first. The common controls
// must be initialised before.
class TApplication {
 public:
  explicit TApplication(HINSTANCE instance, const std::vector<Text>& givenPaths = {});
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  TForm_Quenmar& MainWindow() { return *mainWindow_; }
  HWND TaskbarWindow() const { return taskbarWindow_.Handle(); }

  // Shows the main window and runs the message loop, the dialog keys of the main
  // window included, until the window is closed; the program's exit code.
  int Run();

 private:
  TApplicationWindow taskbarWindow_;
  std::unique_ptr<TForm_Quenmar> mainWindow_;
};

}  // namespace quenmar::win32
