// The progress bar as a console shows it: carriage returns and spaces only, so
// that a Windows console without virtual-terminal processing shows no escape
// sequence, and the line is blank again when the bar is wiped.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/console_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quenmar {
namespace {

// The line a plain console shows for Bytes: a carriage return goes back to the
// first column, every other character overwrites the one there.
std::string ShownLine(const std::string& bytes) {
  std::string line;
  size_t column = 0;
  for (const char c : bytes) {
    if (c == '\r') {
      column = 0;
      continue;
    }
    if (column == line.size()) line += c; else line[column] = c;
    ++column;
  }
  return line;
}

TEST(ConsoleProgress, RedrawsAndWipesWithCarriageReturnsAndSpacesOnly) {
  std::ostringstream err;
  ConsoleWindow window(u"a.zip", err, true);
  window.SetGaugeVisible(true);
  std::string shownAt42;
  for (const int percent : {0, 42, 100}) {
    window.SetGaugeProgress(percent);
    if (percent == 42) shownAt42 = ShownLine(err.str());
  }
  EXPECT_EQ(shownAt42, "[################                        ] 42 % ");  // always the full width
  window.SetGaugeVisible(false);
  const std::string bytes = err.str();
  EXPECT_EQ(bytes.find('\x1b'), std::string::npos);
  EXPECT_EQ(ShownLine(bytes).find_first_not_of(' '), std::string::npos) << ShownLine(bytes);
}

#ifdef _WIN32
// The real thing: quenmar-convert.exe writing its bar to a console of its own,
// whose screen buffer is read back afterwards.
TEST(ConsoleProgress, AWindowsConsoleShowsNoEscapeSequence) {
  testing::TempDir dir;
  testing::WriteFile(dir / "velky.zip", testing::NoiseArchive(4, 4 << 20));
  ::FreeConsole();
  ASSERT_TRUE(::AllocConsole());
  const std::string exe = QUENMAR_CONVERT_EXE;
  const Text archive = testing::T(dir / "velky.zip");
  std::wstring command = L"\"" + std::wstring(exe.begin(), exe.end()) + L"\" \"" +
                         std::wstring(archive.begin(), archive.end()) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  ::WaitForSingleObject(process.hProcess, 60000);
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  EXPECT_EQ(status, 0u);

  HANDLE screen = ::GetStdHandle(STD_OUTPUT_HANDLE);  // the new console's, since AllocConsole
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(screen, &info)) {
    ::FreeConsole();
    GTEST_SKIP() << "this console has no screen buffer to read (Wine without a display)";
  }
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwCursorPosition.Y + 1);
  std::wstring text(cells, L' ');
  DWORD read = 0;
  ASSERT_TRUE(::ReadConsoleOutputCharacterW(screen, text.data(), cells, COORD{0, 0}, &read));
  text.resize(read);
  ::FreeConsole();
  EXPECT_EQ(text.find(L'\x1b'), std::wstring::npos);
  EXPECT_EQ(text.find(L"[K"), std::wstring::npos);
  EXPECT_EQ(text.find(L'#'), std::wstring::npos) << "the bar's remains";
  EXPECT_NE(text.find(L"velk-y.zip"), std::wstring::npos);
}
#endif

}  // namespace
}  // namespace quenmar
