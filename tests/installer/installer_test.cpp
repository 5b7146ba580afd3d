// The Windows installer, used as an administrator or a user would: an older
// version installed, this one installed over it, the context menu's verb used on
// two archives as Explorer uses it, and everything removed again. Runs msiexec in
// this build's Wine prefix (the window needs the display ./test provides).
#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "common/test_support.h"
#include "common/zip_builder.h"
#include "ui/main_window_behaviour.h"
#include "ui/win32/form_quenmar.h"
#include "ui/win32/verb_drop.h"

namespace quenmar::win32 {
namespace {

const wchar_t* const kInstaller = L"" QUENMAR_INSTALLER;
const wchar_t* const kOlderInstaller = L"" QUENMAR_OLDER_INSTALLER;
const wchar_t* const kUpgradeCode = L"{0745E35A-DD52-4844-9241-40DDB2FAC638}";
const wchar_t* const kVerbKey = L"Software\\Classes\\SystemFileAssociations\\.zip\\shell\\Quenmar.Convert";
const wchar_t* const kClassKey = L"Software\\Classes\\CLSID\\{8546A79D-8250-406C-A082-6FA64ED8A24B}";
const wchar_t* const kZipShellKey = L"Software\\Classes\\SystemFileAssociations\\.zip\\shell";

DWORD RunAndWait(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return ::GetLastError() | 0x80000000u;
  }
  ::WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return code;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  ::CoTaskMemFree(path);
  return result;
}

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(const wchar_t* key) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  ::RegCloseKey(opened);
  return true;
}

std::wstring RegistryText(const std::wstring& key, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"(none)";
  }
  return value;
}

// The installed products of Quenmar's upgrade code.
std::vector<std::wstring> InstalledProducts() {
  std::vector<std::wstring> products;
  wchar_t code[39];
  for (DWORD i = 0; ::MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) products.push_back(code);
  return products;
}

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property) {
  wchar_t value[512] = {};
  DWORD size = 512;
  if (::MsiGetProductInfoW(product.c_str(), property, value, &size) != ERROR_SUCCESS) return L"(none)";
  return value;
}

std::wstring ShortcutTarget(const std::wstring& link) {
  std::wstring target = L"(none)";
  IShellLinkW* shortcut = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shortcut)))) {
    return target;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shortcut->QueryInterface(IID_PPV_ARGS(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shortcut->GetPath(path, MAX_PATH, nullptr, 0))) {
      target = path;
    }
    file->Release();
  }
  shortcut->Release();
  return target;
}

// The top-level window of a process started from Program, once one shows.
struct FoundWindow {
  HWND window = nullptr;
  DWORD process = 0;
};
FoundWindow WindowOfProgram(const std::wstring& program) {
  struct Search {
    std::wstring program;
    FoundWindow found;
  } search{program, {}};
  for (int i = 0; i < 300 && search.found.window == nullptr; ++i) {
    ::EnumWindows(
        [](HWND window, LPARAM argument) -> BOOL {
          auto* search = reinterpret_cast<Search*>(argument);
          DWORD process = 0;
          ::GetWindowThreadProcessId(window, &process);
          if (!::IsWindowVisible(window) || ::GetDlgItem(window, kIdPathBox) == nullptr) return TRUE;
          HANDLE handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
          if (handle == nullptr) return TRUE;
          wchar_t image[MAX_PATH] = {};
          DWORD size = MAX_PATH;
          const bool ours = ::QueryFullProcessImageNameW(handle, 0, image, &size) &&
                            ::lstrcmpiW(image, search->program.c_str()) == 0;
          ::CloseHandle(handle);
          if (!ours) return TRUE;
          search->found = {window, process};
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found.window == nullptr) ::Sleep(100);
  }
  return search.found;
}

std::wstring ControlText(HWND control) {
  wchar_t text[2048] = {};
  DWORD_PTR unused = 0;
  ::SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
  return text;
}

// Does what Explorer does with the verb on a selection: starts the verb's class
// (COM runs the registered program with -Embedding) and drops the selection on it.
HRESULT UseVerbOn(const std::vector<std::wstring>& archives) {
  // The selection as Explorer hands it on: the folder's data object of the items.
  std::vector<PIDLIST_ABSOLUTE> items;
  std::vector<PCUITEMID_CHILD> children;
  IShellFolder* folder = nullptr;
  HRESULT result = S_OK;
  for (const std::wstring& archive : archives) {
    PIDLIST_ABSOLUTE item = nullptr;
    result = ::SHParseDisplayName(archive.c_str(), nullptr, &item, 0, nullptr);
    if (FAILED(result)) break;
    items.push_back(item);
    children.push_back(::ILFindLastID(item));
  }
  IDataObject* selection = nullptr;
  if (SUCCEEDED(result)) result = ::SHBindToParent(items[0], IID_PPV_ARGS(&folder), nullptr);
  if (SUCCEEDED(result)) {
    result = folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                   nullptr, reinterpret_cast<void**>(&selection));
    folder->Release();
  }
  for (PIDLIST_ABSOLUTE item : items) ::CoTaskMemFree(item);
  if (FAILED(result)) return result;
  IDropTarget* verb = nullptr;
  result = ::CoCreateInstance(kVerbDropClass, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&verb));
  if (SUCCEEDED(result)) {
    DWORD effect = DROPEFFECT_COPY;
    result = verb->DragEnter(selection, MK_LBUTTON, POINTL{0, 0}, &effect);
    if (SUCCEEDED(result)) {
      effect = DROPEFFECT_COPY;
      result = verb->Drop(selection, MK_LBUTTON, POINTL{0, 0}, &effect);
    }
    verb->Release();
  }
  selection->Release();
  return result;
}

void UninstallAll() {
  for (const std::wstring& product : InstalledProducts()) RunAndWait(L"msiexec /x " + product + L" /qn");
}

TEST(Installer, InstallsUpgradesOffersTheVerbAndRemovesEverything) {
  if (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0') {
    GTEST_SKIP() << "the verb's window needs a display (./test gives one)";
  }
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  UninstallAll();  // what an interrupted earlier run left in this prefix
  const std::wstring folder = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Quenmar\\";
  const std::wstring program = folder + L"quenmar.exe";
  const std::wstring shortcut = KnownFolder(FOLDERID_Programs) + L"\\Quenmar.lnk";
  const bool hadProgramsFolder = PathExists(KnownFolder(FOLDERID_LocalAppData) + L"\\Programs");
  const bool hadZipShellKey = KeyExists(kZipShellKey);

  // An older version, then this one over it: one product remains, this version.
  ASSERT_EQ(RunAndWait(std::wstring(L"msiexec /i \"") + kOlderInstaller + L"\" /qn"), 0u);
  ASSERT_EQ(InstalledProducts().size(), 1u);
  EXPECT_EQ(ProductInfo(InstalledProducts()[0], L"VersionString"), L"0.9.0.0");
  ASSERT_EQ(RunAndWait(std::wstring(L"msiexec /i \"") + kInstaller + L"\" /qn"), 0u);
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  const std::wstring product = products[0];
  EXPECT_EQ(ProductInfo(product, L"VersionString"), L"1.0.0.0");
  EXPECT_EQ(ProductInfo(product, L"Publisher"), L"The Quenmar authors");
  EXPECT_EQ(ProductInfo(product, L"InstalledProductName"), L"Quenmar");
  // The uninstall entry's icon: the installer keeps it in its cache for the entry.
  EXPECT_TRUE(PathExists(KnownFolder(FOLDERID_RoamingAppData) + L"\\Microsoft\\Installer\\" + product +
                         L"\\quenmar.ico"));

  // The files, this version's; the shortcut; the verb and its class.
  for (const wchar_t* file : {L"quenmar.exe", L"quenmar-convert.exe", L"quenmar-info.html"}) {
    EXPECT_TRUE(PathExists(folder + file)) << file;
  }
  DWORD unused = 0;
  std::vector<char> record(::GetFileVersionInfoSizeW(program.c_str(), &unused));
  ASSERT_FALSE(record.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(::lstrcmpiW(ShortcutTarget(shortcut).c_str(), program.c_str()), 0) << ShortcutTarget(shortcut);
  const std::wstring verbName = RegistryText(kVerbKey, L"MUIVerb");
  EXPECT_EQ(verbName, L"@" + program + L",-301");
  wchar_t shown[256] = {};
  ASSERT_EQ(::SHLoadIndirectString(verbName.c_str(), shown, 256, nullptr), S_OK);
  EXPECT_EQ(std::wstring(shown), L"P\u0159ev\u00e9st v Quenmaru");
  EXPECT_EQ(RegistryText(kVerbKey, L"MultiSelectModel"), L"Player");
  EXPECT_EQ(RegistryText(kVerbKey, L"Icon"), L"\"" + program + L"\",0");
  EXPECT_EQ(RegistryText(std::wstring(kVerbKey) + L"\\DropTarget", L"CLSID"),
            L"{8546A79D-8250-406C-A082-6FA64ED8A24B}");
  EXPECT_EQ(RegistryText(std::wstring(kClassKey) + L"\\LocalServer32", nullptr), L"\"" + program + L"\"");

  // The verb on two selected archives: one window, both archives in its path box.
  const testing::TempDir scratch;
  std::vector<std::wstring> archives;
  for (const char* name : {"exports-a.zip", "exports-b.zip"}) {
    testing::WriteFile(scratch / name, testing::NoiseArchive(2, 100));
    const Text path = testing::T(scratch / name);
    archives.emplace_back(path.begin(), path.end());
  }
  // Windows looks classes up in the user's registry too; Wine only in the
  // machine's, so the installed registration is shown to it there meanwhile.
  const std::wstring machineClass = std::wstring(L"Software\\Classes\\CLSID\\") +
                                    L"{8546A79D-8250-406C-A082-6FA64ED8A24B}\\LocalServer32";
  const std::wstring server = RegistryText(std::wstring(kClassKey) + L"\\LocalServer32", nullptr);
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, machineClass.c_str(), nullptr, REG_SZ, server.c_str(),
                              static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  const HRESULT used = UseVerbOn(archives);
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{8546A79D-8250-406C-A082-6FA64ED8A24B}");
  ASSERT_EQ(used, S_OK);
  const FoundWindow opened = WindowOfProgram(program);
  ASSERT_NE(opened.window, nullptr) << "the verb opened no window";
  const std::wstring box = ControlText(::GetDlgItem(opened.window, kIdPathBox));
  std::vector<Text> expected;
  for (const std::wstring& archive : archives) expected.emplace_back(archive.begin(), archive.end());
  EXPECT_EQ(ArchivePathsIn(Text(box.begin(), box.end())), expected) << std::string(box.begin(), box.end());
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, opened.process);
  ::PostMessageW(opened.window, WM_CLOSE, 0, 0);
  if (process != nullptr) {
    EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    ::CloseHandle(process);
  }

  // Removed: no product, file, folder, shortcut or key of it is left.
  ASSERT_EQ(RunAndWait(L"msiexec /x " + product + L" /qn"), 0u);
  EXPECT_TRUE(InstalledProducts().empty());
  EXPECT_FALSE(PathExists(folder));
  EXPECT_EQ(PathExists(KnownFolder(FOLDERID_LocalAppData) + L"\\Programs"), hadProgramsFolder);
  EXPECT_FALSE(PathExists(shortcut));
  EXPECT_FALSE(KeyExists(kVerbKey));
  EXPECT_FALSE(KeyExists(kClassKey));
  EXPECT_FALSE(KeyExists(L"Software\\Quenmar"));
  EXPECT_EQ(KeyExists(kZipShellKey), hadZipShellKey);

  // Installed into a folder of the user's choice, and removed from there.
  const Text chosen = testing::T(scratch / "Tools\\Quenmar\\");
  const std::wstring elsewhere(chosen.begin(), chosen.end());
  ASSERT_EQ(RunAndWait(std::wstring(L"msiexec /i \"") + kInstaller + L"\" /qn INSTALLDIR=\"" + elsewhere + L"\""), 0u);
  EXPECT_TRUE(PathExists(elsewhere + L"quenmar.exe"));
  EXPECT_EQ(RegistryText(kVerbKey, L"MUIVerb"), L"@" + elsewhere + L"quenmar.exe,-301");
  ASSERT_EQ(RunAndWait(std::wstring(L"msiexec /x \"") + kInstaller + L"\" /qn"), 0u);
  EXPECT_FALSE(PathExists(elsewhere));
  EXPECT_TRUE(InstalledProducts().empty());
  ::CoUninitialize();
}

}  // namespace
}  // namespace quenmar::win32
