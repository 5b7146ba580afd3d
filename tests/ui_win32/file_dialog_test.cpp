// The common file dialog driven by a script on a thread of its own, as a user
// would: picking another file type, typing a name without an extension, OK.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstdlib>
#include <vector>

#include "common/test_support.h"
#include "support/platform/paths.h"
#include "ui/win32/application.h"
#include "ui/win32/file_dialog.h"
#include "ui_win32/window_support.h"

namespace quenmar::win32 {
namespace {

constexpr int kFileTypes = 1136;  // the dialog's type list (cmb1)

struct Script {
  Text boxAfterTypeChange;
  Text boxAfterTypeChangeBack;
  Text boxForExtensionlessName;
  bool placed = false;
  const wchar_t* typed = L"abc";
};

void SelectType(HWND dialog, int index) {
  HWND types = ::GetDlgItem(dialog, kFileTypes);
  ::SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // What a pick from the list sends: the change, then its confirmation, to which
  // Wine's dialog answers.
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

void RunScript(HWND dialog, void* context) {
  auto* script = static_cast<Script*>(context);
  HWND box = DialogFileNameBox(dialog);
  SelectType(dialog, 1);
  script->boxAfterTypeChange = testing::WindowText(box);
  SelectType(dialog, 0);
  script->boxAfterTypeChangeBack = testing::WindowText(box);
  // A name without an extension stays without one when the type changes.
  ::SetWindowTextW(box, script->typed);
  SelectType(dialog, 1);
  script->boxForExtensionlessName = testing::WindowText(box);

  // Centred across the monitor, its top a third of the free height down.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT frame;
  ::GetWindowRect(dialog, &frame);
  const RECT& area = monitor.rcWork;
  script->placed = std::abs((frame.left - area.left) - (area.right - frame.right)) <= 1 &&
                   std::abs((frame.top - area.top) - (area.bottom - area.top - (frame.bottom - frame.top)) / 3) <= 1;
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST(Win32FileDialog, TypeChangeRewritesTheNameAndAConfirmedNameGetsTheSelectedExtension) {
  quenmar::testing::TempDir dir;
  quenmar::testing::WriteFile(dir / "report.txt", "x");
  const Text before = platform::GetCurrentDir();
  Script script;
  HANDLE thread = testing::WhenWindowAppears(u"Uložit jako", RunScript, &script);
  Text name = quenmar::testing::T(dir / "report.txt");
  const bool confirmed =
      ChooseFileName(true, u"Text|*.txt|Archiv|*.ZIP", false, u"Uložit jako", name, CommonFileDialog(nullptr));
  ::WaitForSingleObject(thread, 10000);
  ::CloseHandle(thread);
  EXPECT_EQ(script.boxAfterTypeChange, u"report.ZIP");
  EXPECT_EQ(script.boxAfterTypeChangeBack, u"report.txt");
  EXPECT_EQ(script.boxForExtensionlessName, u"abc");
  EXPECT_TRUE(script.placed);
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(name, quenmar::testing::T(dir / "abc.ZIP"));
  EXPECT_EQ(platform::GetCurrentDir(), before);
}

// Several names typed in quotes, as the dialog takes them, come back as full
// paths from the dialog's answer; the dialog opens in the proposal's folder.
TEST(Win32FileDialog, SeveralFilesCanBeChosen) {
  quenmar::testing::TempDir dir;
  quenmar::testing::WriteFile(dir / "a.zip", "x");
  quenmar::testing::WriteFile(dir / "b c.zip", "x");
  Text folderShown;
  HANDLE thread = testing::WhenWindowAppears(
      u"Vyberte soubory",
      [](HWND dialog, void* context) {
        std::vector<wchar_t> folder(MAX_PATH);
        ::SendMessageW(dialog, CDM_GETFOLDERPATH, folder.size(), reinterpret_cast<LPARAM>(folder.data()));
        *static_cast<Text*>(context) = T(folder.data());
        ::SetWindowTextW(DialogFileNameBox(dialog), L"\"a.zip\" \"b c.zip\"");
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      &folderShown);
  std::vector<Text> names;
  const bool confirmed = ChooseFileNames(u"*.ZIP|*.ZIP", true, u"Vyberte soubory", quenmar::testing::T(dir / "a.zip"),
                                         names, CommonFileDialog(nullptr));
  ::WaitForSingleObject(thread, 10000);
  ::CloseHandle(thread);
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(folderShown, quenmar::testing::T(dir.path()));
  EXPECT_EQ(names, (std::vector<Text>{quenmar::testing::T(dir / "a.zip"), quenmar::testing::T(dir / "b c.zip")}));
}

TEST(Win32FileDialog, CancelGivesFalseAndTheExpandedNameWithTheFiltersMask) {
  const Text before = platform::GetCurrentDir();
  HANDLE thread = testing::WhenWindowAppears(
      u"Vyberte soubor pro konverzi", [](HWND dialog, void*) { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
      nullptr);
  Text name;
  EXPECT_FALSE(
      ChooseFileName(false, u"*.ZIP|*.ZIP", true, u"Vyberte soubor pro konverzi", name, CommonFileDialog(nullptr)));
  ::WaitForSingleObject(thread, 10000);
  ::CloseHandle(thread);
  EXPECT_EQ(name, before + (before.back() == u'\\' ? u"" : u"\\") + u"*.ZIP");
  EXPECT_EQ(platform::GetCurrentDir(), before);
}

}  // namespace
}  // namespace quenmar::win32
