// quenmar-convert's entry point: the arguments and the standard streams as the
// platform has them, handed to RunCli.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "support/platform/interrupts.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// A standard stream on Windows: UTF-16 through WriteConsoleW on a console, so Czech
// text shows whatever the console's code page; the UTF-8 bytes as they are when
// redirected. Written out at each line end, carriage return and flush.
class WindowsStream : public std::streambuf {
 public:
  explicit WindowsStream(DWORD which) : handle_(::GetStdHandle(which)) {
    DWORD mode;
    console_ = handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr && ::GetConsoleMode(handle_, &mode);
  }
  ~WindowsStream() override { sync(); }
  bool IsConsole() const { return console_; }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return sync() == 0 ? 0 : traits_type::eof();
    pending_ += static_cast<char>(c);
    if (c == '\n' || c == '\r') sync();
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    for (std::streamsize i = 0; i < n; ++i) overflow(static_cast<unsigned char>(s[i]));
    return n;
  }
  int sync() override {
    if (pending_.empty()) return 0;
    bool ok;
    if (console_) {
      std::wstring wide(pending_.size(), L'\0');
      const int n = ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(pending_.size()), wide.data(),
                                          static_cast<int>(wide.size()));
      DWORD written = 0;
      ok = n > 0 && ::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(n), &written, nullptr);
    } else {
      DWORD written = 0;
      ok = ::WriteFile(handle_, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr) &&
           written == pending_.size();
    }
    pending_.clear();
    return ok ? 0 : -1;
  }

 private:
  HANDLE handle_;
  bool console_ = false;
  std::string pending_;
};

std::string ToUtf8(const wchar_t* text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
  utf8.pop_back();  // the terminating NUL
  return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Libraries loaded from now on come from the system folder only, never from the
  // current folder, which is often the archives' (Downloads).
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  quenmar::platform::InstallInterruptHandlers();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  WindowsStream out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
  std::ostream outStream(&out), errStream(&err);
  const int status = quenmar::RunCli(args, quenmar::CliStreams{outStream, errStream, err.IsConsole()});
  outStream.flush();
  errStream.flush();
  quenmar::platform::InterruptHandled();
  return status;
}

#else
#include <unistd.h>

int main(int argc, char** argv) {
  quenmar::platform::InstallInterruptHandlers();
  std::vector<std::string> args(argv + 1, argv + argc);
  const int status = quenmar::RunCli(args, quenmar::CliStreams{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1});
  quenmar::platform::InterruptHandled();
  return status;
}
#endif
