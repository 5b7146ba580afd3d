// The window on Win32, read back through Win32 itself: places, texts, fonts, keys,
// a run from Start.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"
#include "support/exceptions.h"
#include "support/utf8.h"
#include "ui/main_window_behaviour.h"
#include "ui/main_window_layout.h"
#include "ui/win32/application.h"
#include "ui/win32/font_faces.h"
#include "ui/win32/form_quenmar.h"
#include "ui/win32/gauge.h"
#include "ui/win32/show_in_folder.h"
#include "ui/win32/shutdown_reason.h"
#include "ui/win32/taskbar_preview.h"
#include "ui/win32/resource_ids.h"
#include "ui_win32/window_support.h"

namespace quenmar::win32 {
namespace {

using quenmar::testing::SetModifiedTime;
using quenmar::testing::TempDir;
using quenmar::testing::WriteFile;
using testing::PlaceInParent;
using testing::PressAltKey;
using testing::PressKey;
using testing::Pump;
using testing::WindowText;
using enum ControlRole;

Text U(const std::string& path) { return quenmar::testing::T(path); }

void MakeArchive(const std::string& path, int entries = 1) {
  TZipFile zip;
  zip.Open(U(path), zmWrite);
  for (int i = 0; i < entries; ++i) {
    zip.Add(TBytes("1;2;3\n"), u"2018-10-15-abc-def-" + Text(1, static_cast<char16_t>(u'a' + i)) + u".csv");
  }
  zip.Close();
}

// A window of its own for each test, closed without ending anything.
std::unique_ptr<TForm_Quenmar> MakeForm(const std::string& folder) {
  testing::InitWindowClasses();
  auto form = std::make_unique<TForm_Quenmar>(::GetModuleHandleW(nullptr), U(folder));
  form->SetQuitWhenClosed(false);
  return form;
}

struct FontSeen {
  Text face;
  LONG height;
  bool bold;
};

FontSeen FontOf(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return FontSeen{T(font.lfFaceName), font.lfHeight, font.lfWeight >= FW_BOLD};
}

// The controls as the layout table describes them, drawn by Win32.
TEST(Win32Window, ControlsAtTheirPlacesWithTheirTextsAndFonts) {
  TempDir dir;
  auto form = MakeForm(dir.path());
  for (const ControlDescription& row : kMainWindowControls) {
    HWND control = form->Control(row.role);
    const Text caption = row.caption;
    SCOPED_TRACE(TextToUtf8(caption));
    ASSERT_NE(control, nullptr);
    const RECT place = PlaceInParent(control);
    EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}),
              std::vector<LONG>({row.place.left, row.place.top, row.place.width, row.place.height}));
    EXPECT_EQ(WindowText(control), caption);
    const FontSeen font = FontOf(control);
    EXPECT_EQ(font.face, T(FaceName(row.font.face, ::GetACP())));
    EXPECT_EQ(font.height, -row.font.pixels);
    EXPECT_EQ(font.bold, row.font.bold);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, row.tabOrder > 0);
    if (row.kind == ControlKind::kButton) {
      EXPECT_EQ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, row.defaultButton);
    }
    if (row.kind == ControlKind::kEdit) {
      EXPECT_EQ((style & ES_READONLY) != 0, row.readOnly);
    }
  }

  HWND window = form->Handle();
  EXPECT_EQ(WindowText(window), kMainWindowCaption);
  EXPECT_EQ(WindowText(window), u"Quenmar  ");
  RECT client;
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, kMainWindowClientWidth);
  EXPECT_EQ(client.bottom, kMainWindowClientHeight);
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(::GetWindowLongW(form->Control(kStart), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_TRUE(::GetWindowLongW(form->Control(kStatusLine), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), u"Zvolte ZIP soubor pro konverzi.");
  EXPECT_FALSE(::IsWindowVisible(form->Control(kGauge)));
  EXPECT_EQ(::SendMessageW(form->Control(kGauge), kGaugeGetProgress, 0, 0), 0);

  // The Browse tooltip and its timing.
  wchar_t tip[64] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(form->Control(kBrowse));
  tool.lpszText = tip;
  ::SendMessageW(form->Tooltip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(T(tip), DescriptionOf(kBrowse).tooltip);
  EXPECT_EQ(T(tip), u"Procházet");
  EXPECT_EQ(::SendMessageW(form->Tooltip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
  EXPECT_EQ(::SendMessageW(form->Tooltip(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
}

// The pixels of image Index of Button's glyph, drawn on black, row by row.
std::vector<COLORREF> GlyphPixels(HWND button, int index) {
  BUTTON_IMAGELIST images{};
  if (!::SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) || images.himl == nullptr) {
    return {};
  }
  int width = 0, height = 0;
  ImageList_GetIconSize(images.himl, &width, &height);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ImageList_Draw(images.himl, index, dc, 0, 0, ILD_NORMAL);
  std::vector<COLORREF> seen;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) seen.push_back(::GetPixel(dc, x, y));
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return seen;
}

// Frame Index of a glyph bitmap of the resources as a button should show it on
// black: its bottom-left colour transparent, enlarged pixel for pixel by Scale.
std::vector<COLORREF> BitmapFramePixels(int bitmapId, int index, int scale) {
  auto* strip = static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip == nullptr) return {};
  BITMAP info{};
  ::GetObjectW(strip, sizeof info, &info);
  const int size = info.bmHeight;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, strip);
  const COLORREF clear = ::GetPixel(dc, 0, size - 1);
  std::vector<COLORREF> seen;
  for (int y = 0; y < size * scale; ++y) {
    for (int x = 0; x < size * scale; ++x) {
      const COLORREF pixel = ::GetPixel(dc, index * size + x / scale, y / scale);
      seen.push_back(pixel == clear ? RGB(0, 0, 0) : pixel);
    }
  }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(strip);
  return seen;
}

TEST(Win32Window, GlyphsShowTheirDisabledFrameAndEverythingScalesWithTheDpi) {
  TempDir dir;
  auto form = MakeForm(dir.path());
  BUTTON_IMAGELIST images{};
  ASSERT_TRUE(::SendMessageW(form->Control(kStart), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)));
  ASSERT_NE(images.himl, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images.himl), 6);
  int width = 0, height = 0;
  ImageList_GetIconSize(images.himl, &width, &height);
  EXPECT_EQ(width, 18);
  // The disabled state's frame (the fourth image) differs from the normal one.
  const HWND start = form->Control(kStart);
  EXPECT_EQ(GlyphPixels(start, 0), GlyphPixels(start, 4));
  EXPECT_NE(GlyphPixels(start, 0), GlyphPixels(start, 3));
  EXPECT_EQ(GlyphPixels(start, 0), BitmapFramePixels(IDB_START, 0, 1));

  // Moved to a monitor of 144 DPI: places, sizes and fonts half as large again.
  RECT suggested{0, 0, 948, 449};  // the frame Windows proposes for the scaled client area
  ::AdjustWindowRectEx(&suggested, static_cast<DWORD>(::GetWindowLongW(form->Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongW(form->Handle(), GWL_EXSTYLE)));
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form->Dpi(), 144);
  const RECT place = PlaceInParent(form->Control(kStart));
  EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}), std::vector<LONG>({221, 369, 159, 42}));
  EXPECT_EQ(FontOf(form->Control(kStart)).height, -20);
  EXPECT_EQ(FontOf(form->Control(kPathBox)).height, -17);
  RECT client;
  ::GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 948);
  EXPECT_EQ(client.bottom, 449);

  // The glyphs at twice their size there are their own double drawings, both
  // frames, not the small ones enlarged.
  const struct {
    ControlRole button;
    int small, twice;
  } glyphs[] = {{kStart, IDB_START, IDB_START_2X},
                {kCancel, IDB_CANCEL, IDB_CANCEL_2X},
                {kBrowse, IDB_BROWSE, IDB_BROWSE_2X},
                {kInfo, IDB_INFO, IDB_INFO_2X}};
  for (const auto& glyph : glyphs) {
    SCOPED_TRACE(glyph.small);
    for (const auto& [image, frame] : {std::pair{0, 0}, std::pair{3, 1}}) {
      const std::vector<COLORREF> shown = GlyphPixels(form->Control(glyph.button), image);
      ASSERT_FALSE(shown.empty());
      EXPECT_EQ(shown, BitmapFramePixels(glyph.twice, frame, 1)) << frame;
      EXPECT_NE(shown, BitmapFramePixels(glyph.small, frame, 2)) << frame;
    }
  }
}

// A high-contrast theme sets the dialog's text and face colours as a pair: the
// labels take the button text's, the status line the edit box's.
TEST(Win32Window, LabelsTakeTheDialogsTextColour) {
  TempDir dir;
  auto form = MakeForm(dir.path());
  const int elements[] = {COLOR_BTNTEXT, COLOR_WINDOWTEXT};
  const COLORREF saved[] = {::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_WINDOWTEXT)};
  const COLORREF themed[] = {RGB(255, 255, 0), RGB(0, 255, 0)};
  ASSERT_TRUE(::SetSysColors(2, elements, themed));
  HDC dc = ::CreateCompatibleDC(nullptr);
  const auto textColourOf = [&](ControlRole role) {
    ::SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(form->Control(role)));
    return ::GetTextColor(dc);
  };
  const COLORREF label = textColourOf(kPathLabel), title = textColourOf(kTitle), status = textColourOf(kStatusLine);
  ::DeleteDC(dc);
  ::SetSysColors(2, elements, saved);
  EXPECT_EQ(label, themed[0]);
  EXPECT_EQ(title, themed[0]);
  EXPECT_EQ(status, themed[1]);
}

// "System" shows one code page's letters: it is kept where that code page holds
// Czech, and a TrueType face of the same heights is used elsewhere.
TEST(Win32Window, TheSystemFaceOnlyWhereTheCodePageHoldsTheWindowsLetters) {
  const struct {
    UINT codePage;
    const wchar_t* face;
  } cases[] = {{1250, L"System"}, {1252, L"Arial"}, {1251, L"Arial"}, {65001, L"Arial"}, {852, L"System"}};
  for (const auto& one : cases) {
    EXPECT_STREQ(FaceName(FontFace::kSystem, one.codePage), one.face) << one.codePage;
    EXPECT_STREQ(FaceName(FontFace::kArial, one.codePage), L"Arial") << one.codePage;
  }
}

// Moved between monitors: Windows asks the size for the new DPI, then suggests a
// rectangle (from the dialog manager's scaling of an empty template, which the
// window must not take); the client area is the layout's, exactly, at the place
// suggested.
TEST(Win32Window, ADpiChangeGivesTheLayoutsExactSizeAtThePlaceSuggested) {
  TempDir dir;
  auto form = MakeForm(dir.path());
  const HWND window = form->Handle();
  for (const int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const int width = ::MulDiv(kMainWindowClientWidth, dpi, 96), height = ::MulDiv(kMainWindowClientHeight, dpi, 96);
    SIZE asked{};
    ASSERT_EQ(::SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&asked)), TRUE);
    RECT frame{0, 0, width, height};
    ASSERT_TRUE(::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                                           static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)),
                                           static_cast<UINT>(dpi)));
    EXPECT_EQ(asked.cx, frame.right - frame.left);
    EXPECT_EQ(asked.cy, frame.bottom - frame.top);

    RECT suggested{40 + dpi, 30, 40 + dpi + 150, 30 + 90};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client, placed;
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &placed);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    EXPECT_EQ(placed.left, 40 + dpi);
    EXPECT_EQ(placed.top, 30);
    // The icons of that DPI's sizes, from the images of those sizes.
    for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
      const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info{};
      ASSERT_TRUE(::GetIconInfo(icon, &info));
      BITMAP bitmap{};
      ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
      EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi))) << which;
      if (info.hbmColor) ::DeleteObject(info.hbmColor);
      if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
  }
}

TEST(Win32Window, TheTaskbarShowsTheApplicationsWindowWhichOwnsTheMainWindow) {
  testing::InitWindowClasses();
  TApplication application(::GetModuleHandleW(nullptr));
  TForm_Quenmar* form = &application.MainWindow();
  form->SetQuitWhenClosed(false);
  form->Show();
  Pump(form->Handle());

  // What makes a taskbar entry: visible, owned by none, no tool window.
  HWND app = application.TaskbarWindow();
  EXPECT_EQ(WindowText(app), ApplicationTitle());
  EXPECT_EQ(WindowText(app), u"ui_win32_tests");
  EXPECT_TRUE(::IsWindowVisible(app));
  EXPECT_EQ(::GetWindow(app, GW_OWNER), nullptr);
  EXPECT_FALSE(::GetWindowLongW(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  RECT size;
  ::GetWindowRect(app, &size);
  EXPECT_TRUE(::IsRectEmpty(&size));
  EXPECT_EQ(::GetWindow(form->Handle(), GW_OWNER), app);
  EXPECT_FALSE(::GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

  // Activated from the taskbar, it hands the activation on; closed there, the
  // main window closes.
  ::SetActiveWindow(app);
  Pump(form->Handle());
  EXPECT_EQ(::GetActiveWindow(), form->Handle());
  ::SendMessageW(app, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(form->Handle()));
}

// The taskbar's thumbnail and Alt+Tab's preview of the application's window, which
// has no size of its own: pictures of the main window.
TEST(Win32Window, TheTaskbarsPicturesShowTheMainWindow) {
  testing::InitWindowClasses();
  TApplication application(::GetModuleHandleW(nullptr));
  TForm_Quenmar* form = &application.MainWindow();
  form->SetQuitWhenClosed(false);
  form->Show();
  Pump(form->Handle());
  struct Seen {
    HWND window;
    bool preview;
    int width, height, colours;
  };
  std::vector<Seen> seen;
  SetPictureRecorder([&](HWND window, HBITMAP picture, bool preview) {
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(picture, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    const auto* pixels = static_cast<const DWORD*>(section.dsBm.bmBits);
    std::vector<DWORD> all(pixels, pixels + section.dsBm.bmWidth * section.dsBm.bmHeight);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](DWORD pixel) { return pixel >> 24 == 0xFF; }));
    std::sort(all.begin(), all.end());
    const int colours = static_cast<int>(std::unique(all.begin(), all.end()) - all.begin());
    seen.push_back({window, preview, section.dsBm.bmWidth, section.dsBm.bmHeight, colours});
  });
  HWND app = application.TaskbarWindow();
  RECT frame;
  ::GetWindowRect(form->Handle(), &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  ::SendMessageW(app, WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(120, 200));  // at most 200 wide, 120 high
  ::SendMessageW(app, WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0);
  SetPictureRecorder(nullptr);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].window, app);
  EXPECT_FALSE(seen[0].preview);
  EXPECT_EQ(seen[0].width, 200);
  EXPECT_EQ(seen[0].height, ::MulDiv(200, height, width));
  EXPECT_GT(seen[0].colours, 8);  // the window's texts and glyphs, not an empty picture
  EXPECT_TRUE(seen[1].preview);
  EXPECT_EQ(seen[1].width, width);
  EXPECT_EQ(seen[1].height, height);
  EXPECT_GT(seen[1].colours, 8);
}

// Archives the program was started with reach the path box through the
// application, replacing the proposal, with the focus on Start.
TEST(Win32Window, ArchivesGivenToTheProgramFillThePathBox) {
  TempDir dir;
  MakeArchive(dir / "a.zip");
  MakeArchive(dir / "b.zip");
  testing::InitWindowClasses();
  TApplication application(::GetModuleHandleW(nullptr), {U(dir / "a.zip"), U(dir / "b.zip")});
  TForm_Quenmar* form = &application.MainWindow();
  form->SetQuitWhenClosed(false);
  form->Show();
  Pump(form->Handle());
  EXPECT_EQ(WindowText(form->Control(kPathBox)), u"\"" + U(dir / "a.zip") + u"\" \"" + U(dir / "b.zip") + u"\"");
  EXPECT_TRUE(::IsWindowEnabled(form->Control(kStart)));
  EXPECT_EQ(::GetFocus(), form->Control(kStart));
  ::SendMessageW(application.TaskbarWindow(), WM_CLOSE, 0, 0);
}

// A drop as the shell delivers it: WM_DROPFILES with a DROPFILES block in global
// memory, the names wide, each ended by a NUL and the list by another.
TEST(Win32Window, ArchivesDroppedOnTheWindowFillThePathBox) {
  TempDir dir;
  MakeArchive(dir / "a.zip");
  MakeArchive(dir / "b c.zip");
  auto form = MakeForm(dir.path());
  form->Show();
  EXPECT_TRUE(::GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  std::wstring names;
  for (const Text& name : {U(dir / "a.zip"), U(dir / "b c.zip")}) names += std::wstring(name.begin(), name.end()) + L'\0';
  names += L'\0';
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  auto* block = static_cast<DROPFILES*>(::GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  ::GlobalUnlock(memory);
  ::SendMessageW(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // freed by DragFinish
  EXPECT_EQ(WindowText(form->Control(kPathBox)), u"\"" + U(dir / "a.zip") + u"\" \"" + U(dir / "b c.zip") + u"\"");
  EXPECT_TRUE(::IsWindowEnabled(form->Control(kStart)));
}

// A result longer than the status box is readable whole in its tooltip.
TEST(Win32Window, TheStatusLinesTooltipHoldsTheWholeResult) {
  TempDir dir;
  auto form = MakeForm(dir.path());
  form->Show();
  const Text result = u"Konverze selhala u položky \"" + Text(300, u'x') +
                      u".csv\": Archiv je poškozený, data položky neodpovídají kontrolnímu součtu. (CRC-32 mismatch)";
  form->SetStatus(result);
  std::wstring tip(1024, L'\0');
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(form->Control(kStatusLine));
  tool.lpszText = tip.data();
  ::SendMessageW(form->StatusTooltip(), TTM_GETTEXTW, static_cast<WPARAM>(tip.size()), reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Text(tip.c_str(), tip.c_str() + std::wcslen(tip.c_str())), result);
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), result);
}

// After a run that made an archive, a double-click or Enter on the status line
// shows it in its folder (a recorder in place of the shell), and the tooltip
// says so; before, Enter there is Start's, as anywhere in the window.
TEST(Win32Window, TheStatusLineLeadsToTheNewArchive) {
  TempDir dir;
  MakeArchive(dir / "exports.zip");
  auto form = MakeForm(dir.path());
  form->Show();
  Pump(form->Handle());
  std::vector<Text> shown;
  SetFolderShower([&](const Text& folder, const std::vector<Text>& files) {
    shown.push_back(folder);
    shown.insert(shown.end(), files.begin(), files.end());
  });
  HWND status = form->Control(kStatusLine);
  ::SetFocus(status);
  PressKey(form->Handle(), VK_RETURN);  // Start
  const Text output = U(dir / "expo-rts.zip");
  ASSERT_EQ(WindowText(status), kStatusDone + output);
  EXPECT_TRUE(shown.empty());

  std::wstring tip(1024, L'\0');
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(status);
  tool.lpszText = tip.data();
  ::SendMessageW(form->StatusTooltip(), TTM_GETTEXTW, static_cast<WPARAM>(tip.size()), reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(Text(tip.c_str(), tip.c_str() + std::wcslen(tip.c_str())), kStatusDone + output + u"\n" + kShowResultHint);

  ::SendMessageW(status, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SetFocus(status);
  PressKey(form->Handle(), VK_RETURN);
  const Text folder = U(dir.path()) + u"\\";
  EXPECT_EQ(shown, (std::vector<Text>{folder, output, folder, output}));
  EXPECT_EQ(WindowText(status), kStatusDone + output);  // no second run
  SetFolderShower(nullptr);
}

// Start-up's proposal and the path box's rule are the behaviour's
// (tests/window/behaviour_test.cpp); here they reach the Win32 controls: the
// proposal fills the box, and changes of its text enable and disable Start.
TEST(Win32Window, TheProposalAndEditsOfThePathBoxReachStart) {
  TempDir dir;
  MakeArchive(dir / "Data.ZIP");
  auto form = MakeForm(dir.path());
  EXPECT_EQ(WindowText(form->Control(kPathBox)), U(dir / "Data.ZIP"));
  EXPECT_TRUE(::IsWindowEnabled(form->Control(kStart)));
  form->SetStatus(u"Konverze selhala: …");
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "Data.ZI")));  // as a keystroke would
  EXPECT_FALSE(::IsWindowEnabled(form->Control(kStart)));
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), Text(kInitialStatus));  // the result was the old path's
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "Data.ZIP")));
  EXPECT_TRUE(::IsWindowEnabled(form->Control(kStart)));
  // Where Browse leaves the focus once a file is chosen.
  ::SetFocus(form->Control(kBrowse));
  form->FocusStart();
  EXPECT_EQ(::GetFocus(), form->Control(kStart));
}

TEST(Win32Window, TabOrderEscapeAndTheAccessKey) {
  TempDir dir;
  MakeArchive(dir / "a.zip");
  auto form = MakeForm(dir.path());
  form->Show();
  Pump(form->Handle());
  // From the first of the tab order round to it again.
  std::vector<ControlRole> order(kTabOrder.begin(), kTabOrder.end());
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(::GetFocus(), form->Control(order.front()));
  order.push_back(order.front());
  for (size_t i = 1; i < order.size(); ++i) {
    PressKey(form->Handle(), VK_TAB);
    EXPECT_EQ(::GetFocus(), form->Control(order[i])) << i;
  }
  ::SetFocus(form->Control(kStatusLine));
  PressKey(form->Handle(), VK_ESCAPE);
  EXPECT_FALSE(::IsWindow(form->Handle()));

  auto second = MakeForm(dir.path());
  second->Show();
  Pump(second->Handle());
  PressAltKey(second->Handle(), L'z');
  EXPECT_FALSE(::IsWindow(second->Handle()));

  // With Start disabled the focus starts on Zrušit.
  TempDir none;
  auto third = MakeForm(none.path());
  third->Show();
  Pump(third->Handle());
  EXPECT_EQ(::GetFocus(), third->Control(kCancel));
}

// Records each percentage the gauge shows as it paints.
std::vector<int>* paintedSteps = nullptr;
WNDPROC gaugeProc = nullptr;
LRESULT CALLBACK RecordingGauge(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && paintedSteps) {
    paintedSteps->push_back(static_cast<int>(::SendMessageW(window, kGaugeGetProgress, 0, 0)));
  }
  return ::CallWindowProcW(gaugeProc, window, message, wParam, lParam);
}

TEST(Win32Window, EnterRunsTheConversionWithTheGaugeMovingAndAFailureSaysWhatFailed) {
  TempDir dir;
  MakeArchive(dir / "data.zip", 4);
  auto form = MakeForm(dir.path());
  form->Show();
  std::vector<int> steps;
  paintedSteps = &steps;
  gaugeProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(form->Control(kGauge), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingGauge)));
  Pump(form->Handle());
  ::SetFocus(form->Control(kPathBox));
  PressKey(form->Handle(), VK_RETURN);
  paintedSteps = nullptr;
  const Text output = OutputPathFor(U(dir / "data.zip"));
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), kStatusDone + output);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(output)));
  EXPECT_EQ(steps, std::vector<int>({0, 25, 50, 75, 100}));
  EXPECT_FALSE(::IsWindowVisible(form->Control(kGauge)));
  EXPECT_FALSE(::IsWindowEnabled(form->Control(kStart)));
  EXPECT_TRUE(::IsWindow(form->Handle()));

  // Start stays disabled after a run: Enter does nothing now.
  PressKey(form->Handle(), VK_RETURN);
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), kStatusDone + output);

  // The status line's text colour, as the window gives it when the line is drawn.
  const auto statusColour = [&] {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(form->Control(kStatusLine)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return static_cast<unsigned>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
  };
  EXPECT_EQ(statusColour(), *OutcomeColour(Outcome::kSucceeded));

  // A name without a date fails the run, and the status line says which.
  quenmar::testing::BuiltArchive bad;
  bad.entries.push_back(quenmar::testing::BuiltEntry("notes.csv", "x", 8));
  WriteFile(dir / "bad.zip", bad.Bytes());
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "bad.zip")));
  ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
  EXPECT_EQ(WindowText(form->Control(kStatusLine)).substr(0, 16), u"Konverze selhala");
  EXPECT_NE(WindowText(form->Control(kStatusLine)).find(u"notes.csv"), Text::npos);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(OutputPathFor(U(dir / "bad.zip")))));
  EXPECT_EQ(statusColour(), *OutcomeColour(Outcome::kFailed));

  // After the failure a valid archive converts again in the same window.
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "data.zip")));
  ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
  EXPECT_EQ(WindowText(form->Control(kStatusLine)), kStatusDone + output);
}

// During a run the window answers its messages within a second throughout
// (Windows marks a window "Not Responding" after five), the path box and Browse
// locked. Zrušit, Escape, the close button and the end of the session each stop
// a run of 50 MB at its next block and leave the folder byte for byte as it was;
// only the close and the session's end close the window, once the run has cleaned
// up. A shutdown merely asked about (another program may still cancel it) lets the
// run go on, and the session's end is answered only once the clean-up is done.
TEST(Win32Window, ARunOfFiftyMegabytesStopsOnZrusitEscapeOrClose) {
  TempDir dir;
  WriteFile(dir / "velky.zip", quenmar::testing::NoiseArchive(5, 10 << 20));
  const auto before = quenmar::testing::Snapshot(dir.path());
  enum Way { kZrusit, kEscape, kClose, kSessionEnd };
  for (const Way way : {kZrusit, kEscape, kClose, kSessionEnd}) {
    SCOPED_TRACE(way);
    auto form = MakeForm(dir.path());
    form->Show();
    Pump(form->Handle());
    ASSERT_TRUE(::IsWindowEnabled(form->Control(kStart)));
    HWND window = form->Handle(), pathBox = form->Control(kPathBox), browse = form->Control(kBrowse),
         gauge = form->Control(kGauge), cancel = form->Control(kCancel);
    bool runSeen = false, lockedSeen = false, answered = true, queryAnswered = false;
    std::map<std::string, std::string> whenSessionEnded;
    std::thread user([&] {
      for (int i = 0; i < 2000 && !::IsWindowVisible(gauge); ++i) ::Sleep(5);
      runSeen = ::IsWindowVisible(gauge) != FALSE;
      for (int i = 0; i < 5; ++i) {
        DWORD_PTR result = 0;
        answered = answered && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
        ::Sleep(20);
      }
      lockedSeen = (::GetWindowLongW(pathBox, GWL_STYLE) & ES_READONLY) != 0 && !::IsWindowEnabled(browse);
      if (way == kZrusit) ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      if (way == kEscape) ::PostMessageW(pathBox, WM_KEYDOWN, VK_ESCAPE, 0);
      if (way == kClose) ::PostMessageW(window, WM_CLOSE, 0, 0);
      if (way == kSessionEnd) {
        DWORD_PTR mayEnd = FALSE;
        queryAnswered = ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                              1000, &mayEnd) != 0 &&
                        mayEnd == TRUE && ::IsWindowVisible(gauge);
        ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        whenSessionEnded = quenmar::testing::Snapshot(dir.path());
      }
    });
    ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
    user.join();
    EXPECT_TRUE(runSeen && lockedSeen && answered) << runSeen << lockedSeen << answered;
    EXPECT_EQ(::IsWindow(window) != FALSE, way != kClose && way != kSessionEnd);
    if (way == kSessionEnd) {
      EXPECT_TRUE(queryAnswered);
      EXPECT_TRUE(whenSessionEnded == before) << "answered before the clean-up was done";
    }
    if (way == kZrusit || way == kEscape) {
      EXPECT_EQ(WindowText(form->Control(kStatusLine)), kStatusInterrupted);
      EXPECT_EQ(::GetWindowLongW(pathBox, GWL_STYLE) & ES_READONLY, 0);
      EXPECT_TRUE(::IsWindowEnabled(browse));
    }
    EXPECT_EQ(quenmar::testing::Snapshot(dir.path()), before);
  }
}

// The taskbar button (a recorder in place of the shell's taskbar list) shows the
// gauge's percentage during a run, nothing after a success, and red after a
// failure until the next action.
TEST(Win32Window, TheTaskbarButtonShowsTheRunsProgressAndAFailure) {
  TempDir dir;
  MakeArchive(dir / "data.zip", 4);
  WriteFile(dir / "broken.zip", "no archive");
  auto form = MakeForm(dir.path());
  form->Show();
  Pump(form->Handle());
  std::vector<std::pair<TaskbarState, int>> seen;
  SetTaskbarRecorder([&](HWND button, TaskbarState state, int percent) {
    EXPECT_EQ(button, form->Handle());  // without an owner, the window's own button
    seen.emplace_back(state, percent);
  });
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "data.zip")));
  seen.clear();
  ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
  using enum TaskbarState;
  EXPECT_EQ(seen, (std::vector<std::pair<TaskbarState, int>>{
                      {kProgress, 0}, {kProgress, 25}, {kProgress, 50}, {kProgress, 75}, {kProgress, 100}, {kNone, 0}}));
  seen.clear();
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "broken.zip")));
  ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), std::make_pair(kError, 0));
  seen.clear();
  ::SetWindowTextW(form->Control(kPathBox), W(U(dir / "data.zip")));  // the next action
  EXPECT_EQ(seen, (std::vector<std::pair<TaskbarState, int>>{{kNone, 0}}));
  SetTaskbarRecorder(nullptr);
}

// The shutdown screen names the run while it goes, and only then, also when it
// fails.
TEST(Win32Window, TheShutdownScreenGivesTheReasonWhileARunGoes) {
  TempDir dir;
  MakeArchive(dir / "data.zip", 4);
  WriteFile(dir / "broken.zip", "no archive");
  auto form = MakeForm(dir.path());
  form->Show();
  Pump(form->Handle());
  std::vector<std::pair<HWND, std::wstring>> seen;
  SetShutdownReasonRecorder([&](HWND window, const wchar_t* reason) {
    seen.emplace_back(window, reason != nullptr ? reason : L"(none)");
  });
  for (const char* archive : {"data.zip", "broken.zip"}) {
    SCOPED_TRACE(archive);
    seen.clear();
    ::SetWindowTextW(form->Control(kPathBox), W(U(dir / archive)));
    ::SendMessageW(form->Control(kStart), BM_CLICK, 0, 0);
    EXPECT_EQ(seen, (std::vector<std::pair<HWND, std::wstring>>{{form->Handle(), kShutdownReason},
                                                                {form->Handle(), L"(none)"}}));
  }
  SetShutdownReasonRecorder(nullptr);
  EXPECT_EQ(std::wstring(kShutdownReason).substr(0, 16), L"Prob\u00edh\u00e1 konverze");  // Czech, as the window
}

TEST(Win32Gauge, RepaintsAtOnceOnlyWhenTheShownPercentageChanges) {
  testing::InitWindowClasses();
  HWND gauge = ::CreateWindowExW(0, kGaugeClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 575, 24, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(gauge, nullptr);
  Pump(nullptr);
  std::vector<int> steps;
  paintedSteps = &steps;
  gaugeProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(gauge, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingGauge)));
  for (const int progress : {0, 7, 7, 150, 100, -3}) ::SendMessageW(gauge, kGaugeSetProgress, progress, 0);
  paintedSteps = nullptr;
  EXPECT_EQ(steps, std::vector<int>({7, 100, 0}));  // clamped; no paint for what is already shown
  ::DestroyWindow(gauge);
}

TEST(Win32Gauge, PixelsAtZeroFortyTwoAndAHundred) {
  testing::InitWindowClasses();
  HFONT font = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"System");
  constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kNavy = 0x000080, kLightYellow = 0xFFFF7F;
  auto count = [](const GaugeImage& image, uint32_t colour) {
    return std::count(image.pixels.begin(), image.pixels.end(), colour);
  };
  const GaugeImage zero = RenderGauge(575, 24, 0, font);
  EXPECT_EQ(zero.At(0, 0), kBlack);
  EXPECT_EQ(zero.At(574, 23), kBlack);
  EXPECT_EQ(zero.At(1, 1), kWhite);
  EXPECT_EQ(count(zero, kNavy), 0);
  EXPECT_GT(count(zero, kBlack), 2 * 575 + 2 * 22);  // the frame and the text "0%"

  const GaugeImage some = RenderGauge(575, 24, 42, font);
  for (int x = 1; x <= 240; ++x) EXPECT_EQ(some.At(x, 1), kNavy) << x;
  EXPECT_EQ(some.At(241, 1), kWhite);
  EXPECT_EQ(some.At(0, 12), kBlack);

  const GaugeImage full = RenderGauge(575, 24, 100, font);
  EXPECT_EQ(full.At(1, 1), kNavy);
  EXPECT_EQ(full.At(573, 22), kNavy);
  EXPECT_EQ(count(full, kWhite), 0);
  EXPECT_GT(count(full, kLightYellow), 0);  // the text over the bar
  ::DeleteObject(font);
}

TEST(Win32Application, AnErrorThatEscapesAHandlerIsReportedInAMessageBox) {
  struct Seen {
    Text title, text;
  } seen;
  HANDLE script = testing::WhenWindowAppears(
      u"ui_win32_tests",
      [](HWND box, void* context) {
        auto* seen = static_cast<Seen*>(context);
        seen->title = WindowText(box);
        seen->text = WindowText(::GetDlgItem(box, 0xFFFF));
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
      },
      &seen);
  Guarded(nullptr, [] { throw EInOutError(platform::IoCode::kPathNotFound, u"C:\\gone"); });
  ::WaitForSingleObject(script, 10000);
  ::CloseHandle(script);
  EXPECT_EQ(seen.title, u"ui_win32_tests");
  EXPECT_EQ(seen.text, ErrorReportText(EInOutError(platform::IoCode::kPathNotFound, u"C:\\gone").Message()));
}

TEST(Win32Application, TheInformationPageBuiltInIsCopiedWhenNoneIsInstalled) {
  const Text page = InfoPagePath();
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(InfoPagePath(), page);  // one copy for the whole run
  EXPECT_NE(quenmar::testing::ReadFile(TextToUtf8(page)).find("Quenmar"), std::string::npos);
  // Named by chance, not by something another program could know ahead.
  const std::wstring name = std::filesystem::path(W(page)).filename().wstring();
  EXPECT_EQ(name.size(), std::wstring(L"quenmar-info-.html").size() + 32) << TextToUtf8(page);

  // Left for the browser; the next start removes the copies older than a minute,
  // and nothing else.
  wchar_t folder[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, folder);
  const std::filesystem::path temp(folder);
  const std::filesystem::path old = temp / L"quenmar-info-0123456789abcdef0123456789abcdef.html";
  const std::filesystem::path notOurs = temp / L"quenmar-info.txt";
  const std::filesystem::path folderOfThatName = temp / L"quenmar-info-folder.html";
  WriteFile(old.string(), "old");
  WriteFile(notOurs.string(), "other");
  std::filesystem::create_directory(folderOfThatName);
  SetModifiedTime(old.string(), std::time(nullptr) - 3600);
  RemoveEarlierPageCopies();
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(W(page)));  // a minute old at most: a run may still show it
  EXPECT_TRUE(std::filesystem::exists(notOurs));
  EXPECT_TRUE(std::filesystem::is_directory(folderOfThatName));
  std::filesystem::remove(notOurs);
  std::filesystem::remove(folderOfThatName);
}

}  // namespace
}  // namespace quenmar::win32
