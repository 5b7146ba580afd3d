// What quenmar.exe carries, read back from the file: the version record, the icon
// in its three sizes, the manifest, and the buttons' glyphs at both sizes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "ui/win32/application.h"
#include "ui/win32/resource_ids.h"

namespace quenmar::win32 {
namespace {

const wchar_t* const kProgram = L"" QUENMAR_EXE;
const wchar_t* const kConvertProgram = L"" QUENMAR_CONVERT_EXE;

Text VersionString(const std::vector<char>& record, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
  if (!::VerQueryValueW(record.data(), key.c_str(), &value, &length)) return u"(none)";
  return T(static_cast<const wchar_t*>(value));
}

TEST(Win32Resources, VersionRecordIconAndManifest) {
  DWORD unused = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(kProgram, &unused);
  ASSERT_GT(size, 0u) << "no version record in the program";
  std::vector<char> record(size);
  ASSERT_TRUE(::GetFileVersionInfoW(kProgram, 0, size, record.data()));
  EXPECT_EQ(VersionString(record, L"FileDescription"), u"Quenmar");
  EXPECT_EQ(VersionString(record, L"ProductName"), u"Quenmar");
  EXPECT_EQ(VersionString(record, L"FileVersion"), u"1.0.0.0");
  EXPECT_EQ(VersionString(record, L"ProductVersion"), u"1.0.0.0");
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1252);
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);

  HMODULE program = ::LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  for (const int pixels : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(::LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, pixels, pixels, 0));
    ASSERT_NE(icon, nullptr) << pixels;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, pixels);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
  }
  // Every size Windows asks for is an image of its own in the icon.
  HRSRC group = ::FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(::LockResource(::LoadResource(program, group)));
  const int count = directory[4] | directory[5] << 8;
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const int width = directory[6 + 14 * i];  // GRPICONDIRENTRY.bWidth, 0 for 256
    sizes.push_back(width == 0 ? 256 : width);
  }
  EXPECT_EQ(sizes, std::vector<int>({16, 20, 24, 32, 40, 48, 64, 256}));

  HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(program, found))),
                             ::SizeofResource(program, found));
  for (const char* wanted : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
                             "true/pm", "level=\"asInvoker\""}) {
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  }
  ::FreeLibrary(program);
}

// Both programs: a version record, and a manifest that declares Windows 10 and 11
// (else Windows gives them older behaviours) and long paths, without elevation.
TEST(Win32Resources, BothProgramsCarryAVersionRecordAndAManifestForWindows10And11) {
  for (const wchar_t* program : {kProgram, kConvertProgram}) {
    SCOPED_TRACE(std::string(program, program + std::wcslen(program)));
    DWORD unused = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(program, &unused);
    ASSERT_GT(size, 0u) << "no version record";
    std::vector<char> record(size);
    ASSERT_TRUE(::GetFileVersionInfoW(program, 0, size, record.data()));
    EXPECT_EQ(VersionString(record, L"ProductName"), u"Quenmar");
    EXPECT_EQ(VersionString(record, L"FileVersion"), u"1.0.0.0");

    HMODULE loaded = ::LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(loaded, nullptr);
    HRSRC found = ::FindResourceW(loaded, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(loaded, found))),
                               ::SizeofResource(loaded, found));
    for (const char* wanted : {"<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                               ">true</longPathAware>", "level=\"asInvoker\""}) {
      EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
    ::FreeLibrary(loaded);
  }
}

// Each glyph: two square frames side by side, and its double drawing exactly twice
// the size, the bottom-left pixel of both frames transparent.
TEST(Win32Resources, EachGlyphAtItsSizeAndTwiceIt) {
  HMODULE program = ::LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  const struct {
    int id, size;
  } glyphs[] = {{IDB_START, 18}, {IDB_START_2X, 36}, {IDB_CANCEL, 18}, {IDB_CANCEL_2X, 36},
                {IDB_BROWSE, 16}, {IDB_BROWSE_2X, 32}, {IDB_INFO, 18}, {IDB_INFO_2X, 36}};
  for (const auto& glyph : glyphs) {
    SCOPED_TRACE(glyph.id);
    auto* strip = static_cast<HBITMAP>(
        ::LoadImageW(program, MAKEINTRESOURCEW(glyph.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    BITMAP info{};
    ::GetObjectW(strip, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 2 * glyph.size);
    EXPECT_EQ(info.bmHeight, glyph.size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, strip);
    EXPECT_EQ(::GetPixel(dc, 0, glyph.size - 1), ::GetPixel(dc, glyph.size, glyph.size - 1));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(strip);
  }
  ::FreeLibrary(program);
}

}  // namespace
}  // namespace quenmar::win32
