#include "ui/win32/application.h"

#include <commctrl.h>
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

// The copy of the built-in page, removed when the program ends.
class TemporaryPage {
 public:
  ~TemporaryPage() {
    if (!path_.empty()) ::DeleteFileW(W(path_));
  }
  const Text& Path() {
    if (path_.empty()) path_ = Write();
    return path_;
  }

 private:
  static Text Write() {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_INFO_PAGE), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(nullptr, found) : 0;
    wchar_t folder[MAX_PATH + 1];
    const DWORD got = ::GetTempPathW(MAX_PATH + 1, folder);
    if (bytes == nullptr || got == 0 || got > MAX_PATH) return Text();
    const Text path = T(folder) + u"quenmar-info-" + Utf8ToText(std::to_string(::GetCurrentProcessId())) +
                      u".html";
    HANDLE file = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Text();
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes, size, &written, nullptr) && written == size;
    ::CloseHandle(file);
    if (!ok) {
      ::DeleteFileW(W(path));
      return Text();
    }
    return path;
  }

  Text path_;
};

}  // namespace

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
  static TemporaryPage page;
  return page.Path();
}

void OpenInfoPage(const Text& page) {
  // The result is not looked at: a page that cannot be shown is not reported.
  ::ShellExecuteW(nullptr, nullptr, W(page), nullptr, nullptr, SW_SHOW);
}

namespace {

// The icon's image of Pixels, or a larger one scaled down (LoadIconWithScaleDown,
// of the common controls 6, which the import library lacks); an icon of its own,
// never a shared one.
HICON LoadIconAtSize(HINSTANCE instance, int id, int pixels) {
  using LoadScaledDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto loadScaledDown = reinterpret_cast<LoadScaledDown>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
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
