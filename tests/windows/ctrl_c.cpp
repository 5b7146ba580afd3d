// A test tool for the Windows build: starts PROGRAM -q ARCHIVE on this console,
// waits until the run's private folder appears in FOLDER, presses Ctrl+C for the
// whole console (GenerateConsoleCtrlEvent to process group 0, which this tool
// itself ignores), and prints the program's exit code as "exit 0x...".
//
// usage: ctrl_c.exe PROGRAM ARCHIVE FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" -q \"" + argv[2] + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("cannot start the program: %lu\n", ::GetLastError());
    return 3;
  }
  const std::wstring mask = std::wstring(argv[3]) + L"\\.quenmar-*";
  bool seen = false;
  for (int waited = 0; waited < 30000 && !seen; ++waited) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(mask.c_str(), &found);
    seen = search != INVALID_HANDLE_VALUE;
    if (seen) ::FindClose(search);
    if (!seen) ::Sleep(1);
  }
  ::SetConsoleCtrlHandler(nullptr, TRUE);
  if (!seen || !::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
    std::printf("cannot press Ctrl+C: %lu\n", ::GetLastError());
    return 4;
  }
  ::WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit 0x%lx\n", code);
  return 0;
}
