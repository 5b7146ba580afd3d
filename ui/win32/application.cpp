#include "ui/win32/application.h"

#include <bcrypt.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <string>

#include "support/exceptions.h"
#include "support/platform/program.h"
#include "support/utf8.h"
#include "ui/main_window_behaviour.h"
#include "ui/win32/form_quenmar.h"
#include "ui/win32/newer_functions.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/taskbar_preview.h"

namespace quenmar::win32 {
namespace {

ErrorReporter& Reporter() {
  static ErrorReporter reporter = [](HWND owner, const Text& message) {
    ::MessageBoxW(owner, W(ErrorReportText(message)), W(ApplicationTitle()), MB_OK | MB_ICONERROR);
  };
  return reporter;
}

constexpr wchar_t kPageCopyPrefix[] = L"quenmar-info-";

Text TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD got = ::GetTempPathW(MAX_PATH + 1, folder);
  return got == 0 || got > MAX_PATH ? Text() : T(folder);
}

// The copy of the built-in page in the temporary folder, made once a run. Its name
// cannot be guessed ahead and the file is made new (CREATE_NEW), so nothing that
// another program put there is written through. It stays when the program ends,
// since the browser may read it later; the next start removes it.
Text WritePageCopy() {
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_INFO_PAGE), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = found ? ::SizeofResource(nullptr, found) : 0;
  const Text folder = TemporaryFolder();
  unsigned char random[16];
  if (bytes == nullptr || folder.empty() ||
      !BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return Text();
  }
  Text name = T(kPageCopyPrefix);
  for (const unsigned char byte : random) {
    name += u"0123456789abcdef"[byte >> 4];
    name += u"0123456789abcdef"[byte & 15];
  }
  const Text path = folder + name + u".html";
  HANDLE file = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Text();
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes, size, &written, nullptr) && written == size;
  const bool closed = ::CloseHandle(file);
  if (!ok || !closed) {
    ::DeleteFileW(W(path));
    return Text();
  }
  return path;
}

}  // namespace

void RemoveEarlierPageCopies(ULONGLONG olderThanMilliseconds) {
  const Text folder = TemporaryFolder();
  if (folder.empty()) return;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(W(folder + T(kPageCopyPrefix) + u"*.html"), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // Only plain files of the pattern, and not one that a program started a moment
    // ago may still be showing.
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (ticks(now) - ticks(found.ftLastWriteTime) < olderThanMilliseconds * 10000) continue;
    ::DeleteFileW(W(folder + T(found.cFileName)));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

const Text& ApplicationTitle() {
  static const Text title = ApplicationTitleFor(platform::ExecutablePath());
  return title;
}

void ShowError(HWND owner, const Text& message) { Reporter()(owner, message); }

void SetErrorReporter(ErrorReporter reporter) { Reporter() = std::move(reporter); }

void Guarded(HWND owner, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& e) {
    ShowError(owner, e.Message());
  } catch (const std::exception& e) {
    ShowError(owner, Utf8ToText(e.what()));
  }
}

Text InfoPagePath() {
  if (const auto installed = InstalledInfoPage(platform::ExecutablePath())) return *installed;
  static const Text copy = WritePageCopy();
  return copy;
}

void OpenInfoPage(const Text& page) {
  // The shell may hand the page on through COM, which ShellExecute expects to be
  // started on the calling thread. The result is not looked at: a page that
  // cannot be shown is not reported.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ::ShellExecuteW(nullptr, nullptr, W(page), nullptr, nullptr, SW_SHOW);
  if (SUCCEEDED(com)) ::CoUninitialize();
}

namespace {

// The icon's image of Pixels, or a larger one scaled down (LoadIconWithScaleDown,
// of the common controls 6, which the import library lacks); an icon of its own,
// never a shared one.
HICON LoadIconAtSize(HINSTANCE instance, int id, int pixels) {
  using LoadScaledDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto loadScaledDown = SystemFunction<LoadScaledDown>(L"comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (loadScaledDown != nullptr && SUCCEEDED(loadScaledDown(instance, MAKEINTRESOURCEW(id), pixels, pixels, &icon))) {
    return icon;
  }
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, pixels, pixels, 0));
}

}  // namespace

void SetProgramIcon(HWND window, HINSTANCE instance, int dpi) {
  for (const int size : {ICON_SMALL, ICON_BIG}) {
    const int pixels = SystemMetricAt(size == ICON_SMALL ? SM_CXSMICON : SM_CXICON, dpi);
    HICON icon = LoadIconAtSize(instance, IDI_QUENMAR, pixels);
    if (icon == nullptr) continue;
    const auto previous =
        reinterpret_cast<HICON>(::SendMessageW(window, WM_SETICON, size, reinterpret_cast<LPARAM>(icon)));
    if (previous != nullptr && previous != icon) ::DestroyIcon(previous);
  }
}

namespace {

constexpr wchar_t kApplicationClass[] = L"QuenmarApplication";
constexpr UINT kActivateMainWindow = WM_APP + 1;

}  // namespace

TApplicationWindow::TApplicationWindow(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kApplicationClass;
  WNDCLASSEXW existing{};
  if (!::GetClassInfoExW(instance, kApplicationClass, &existing)) ::RegisterClassExW(&windowClass);
  window_ = ::CreateWindowExW(0, kApplicationClass, W(ApplicationTitle()),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS, 0, 0, 0, 0, nullptr, nullptr,
                              instance, this);
  SetProgramIcon(window_, instance, WindowDpi(window_));
  OfferPictures(window_);
  // Visible, for the taskbar; of no size, so not to be seen.
  ::ShowWindow(window_, SW_SHOWNA);
}

TApplicationWindow::~TApplicationWindow() {
  if (::IsWindow(window_)) ::DestroyWindow(window_);
}

LRESULT CALLBACK TApplicationWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TApplicationWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  HWND main = self != nullptr && ::IsWindow(self->main_) ? self->main_ : nullptr;
  switch (message) {
    case WM_ACTIVATE:
      // Activated from the taskbar: the main window is the one to work with. Not
      // while a dialog it opened is up; that one keeps the activation.
      if (LOWORD(wParam) != WA_INACTIVE && main != nullptr) ::PostMessageW(window, kActivateMainWindow, 0, 0);
      return 0;
    case kActivateMainWindow:
      if (main != nullptr && ::IsWindowEnabled(main) && ::IsWindowVisible(main)) ::SetActiveWindow(main);
      return 0;
    case WM_CLOSE:
      if (main != nullptr) ::SendMessageW(main, WM_CLOSE, 0, 0);
      return 0;
    default:
      if (AnswerPictureRequest(window, main, message, lParam)) return 0;
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

void ProcessPendingMessages(HWND window) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (window != nullptr && ::IsDialogMessageW(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

TApplication::TApplication(HINSTANCE instance, const std::vector<Text>& givenPaths)
    : taskbarWindow_(instance),
      mainWindow_(std::make_unique<TForm_Quenmar>(instance, Text(), taskbarWindow_.Handle(), givenPaths)) {
  taskbarWindow_.SetMainWindow(mainWindow_->Handle());
}

TApplication::~TApplication() = default;

int TApplication::Run() {
  mainWindow_->Show();
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(mainWindow_->Handle(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace quenmar::win32
