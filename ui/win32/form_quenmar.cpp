#include "ui/win32/form_quenmar.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "ui/win32/application.h"
#include "ui/win32/form_filename.h"
#include "ui/win32/gauge.h"
#include "ui/win32/glyphs.h"
#include "ui/win32/resource_ids.h"

namespace quenmar::win32 {

TForm_Quenmar* Form_Quenmar = nullptr;

namespace {

constexpr int kClientWidth = 632, kClientHeight = 299;
constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kFrameExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The window's fonts, indexed by the controls.
enum FontIndex { kFontWindow, kFontArial20, kFontSystem14, kFontArial14, kFontButton };
constexpr FontSpec kFonts[] = {kWindowFont, {L"Arial", 20, true}, {L"System", 14, false}, {L"Arial", 14, true},
                               {L"System", 13, true}};

// Buttons and their glyphs, in the order of glyphs_.
constexpr int kGlyphIds[] = {IDB_START, IDB_CANCEL, IDB_BROWSE, IDB_INFO};

int Scale(int value, int dpi) { return ::MulDiv(value, dpi, 96); }

// GetDpiForWindow is Windows 10's; older systems lay the window out at 96 DPI.
int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpi>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : 96;
}

// An empty dialog template: the window is a dialog for the dialog manager, and the
// program makes its controls itself, in pixels.
std::vector<DWORD> EmptyDialogTemplate(DWORD exStyle) {
  std::vector<DWORD> storage(16, 0);  // DWORD-aligned, as the template must be
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(storage.data());
  dialog->style = kFrameStyle;
  dialog->dwExtendedStyle = exStyle;
  dialog->cdit = 0;
  // After the fixed part: no menu, the standard dialog class, an empty title.
  return storage;
}

}  // namespace

TForm_Quenmar::TForm_Quenmar(HINSTANCE instance, const Text& programFolder, HWND owner)
    : instance_(instance), programFolder_(programFolder) {
  Form_Quenmar = this;
  RegisterGaugeClass(instance);
  const std::vector<DWORD> dialog = EmptyDialogTemplate(kFrameExStyle | (owner != nullptr ? 0 : WS_EX_APPWINDOW));
  window_ = ::CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                         DialogProc, reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) throw std::runtime_error("the main window could not be created");
  FormCreate();
}

TForm_Quenmar::~TForm_Quenmar() {
  if (::IsWindow(window_)) {
    quitWhenClosed = false;
    ::DestroyWindow(window_);
  }
  for (HFONT font : fonts_) ::DeleteObject(font);
  for (HIMAGELIST glyph : glyphs_) ::ImageList_Destroy(glyph);
  if (Form_Quenmar == this) Form_Quenmar = nullptr;
}

INT_PTR CALLBACK TForm_Quenmar::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* form = reinterpret_cast<TForm_Quenmar*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    form->window_ = window;
    form->CreateControls();
    return FALSE;  // the focus is set when the window is shown
  }
  auto* form = reinterpret_cast<TForm_Quenmar*>(::GetWindowLongPtrW(window, DWLP_USER));
  return form != nullptr ? form->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR TForm_Quenmar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      Guarded(window_, [&] {
        if (id == IDOK && code == BN_CLICKED) {
          // The dialog manager sends IDOK for Enter even while Start is disabled.
          if (::IsWindowEnabled(BB_Start)) BB_StartClick();
        } else if (id == IDCANCEL && code == BN_CLICKED) {
          BB_CancelClick();
        } else if (id == kIdBrowse && code == BN_CLICKED) {
          BB_BrowseClick();
        } else if (id == kIdInfo && code == BN_CLICKED) {
          BB_InfoClick();
        } else if (id == kIdSoubor && code == EN_CHANGE) {
          E_SouborChange();
        }
      });
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      // The read-only status line keeps the white of an edit box.
      const int background = reinterpret_cast<HWND>(lParam) == E_Stav ? COLOR_WINDOW : COLOR_BTNFACE;
      ::SetBkColor(dc, ::GetSysColor(background));
      return reinterpret_cast<INT_PTR>(::GetSysColorBrush(background));
    }
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_HELP:
      return TRUE;  // the program has no help
    case WM_CLOSE:
      ::DestroyWindow(window_);
      return TRUE;
    case WM_DESTROY:
      if (quitWhenClosed) ::PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

HWND TForm_Quenmar::Add(const wchar_t* windowClass, const Text& text, DWORD style, int id, RECT at96, int font,
                        DWORD exStyle) {
  HWND control = ::CreateWindowExW(exStyle, windowClass, W(text), WS_CHILD | style, at96.left, at96.top, at96.right,
                                   at96.bottom, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                                   nullptr);
  placed_.push_back(Placed{control, at96, font});
  return control;
}

void TForm_Quenmar::CreateControls() {
  ::SetWindowTextW(window_, W(kCaption));
  constexpr DWORD label = WS_VISIBLE | SS_NOPREFIX;
  constexpr DWORD button = WS_VISIBLE | WS_TABSTOP;
  // In the order the window's description makes them; among the controls that take
  // the focus this is the tab order.
  Gauge = Add(kGaugeClass, Text(), 0, kIdGauge, RECT{6, 214, 575, 24}, kFontWindow);
  L_OdstranArchivHovDB = Add(L"STATIC", kTitleText, label | SS_CENTER, kIdTitle, RECT{8, 8, 606, 25}, kFontArial20);
  Label1 = Add(L"STATIC", kLabel1Text, label | SS_LEFT, kIdTitle + 1, RECT{6, 138, 575, 16}, kFontSystem14);
  Label2 = Add(L"STATIC", kLabel2Text, label | SS_CENTER, kIdTitle + 2, RECT{8, 75, 606, 25}, kFontArial20);
  Label3 = Add(L"STATIC", kLabel3Text, label | SS_CENTER, kIdTitle + 3, RECT{8, 103, 606, 25}, kFontArial20);
  Label4 = Add(L"STATIC", kLabel4Text, label | SS_CENTER, kIdTitle + 4, RECT{12, 48, 606, 25}, kFontArial14);
  BB_Start = Add(L"BUTTON", u"Start", button | BS_DEFPUSHBUTTON | BS_LEFT, IDOK, RECT{147, 246, 106, 28}, kFontButton);
  BB_Cancel = Add(L"BUTTON", u"&Zrušit", button | BS_PUSHBUTTON | BS_LEFT, IDCANCEL, RECT{258, 246, 107, 28}, kFontButton);
  E_Soubor = Add(L"EDIT", Text(), WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, kIdSoubor, RECT{6, 156, 575, 24},
                 kFontWindow, WS_EX_CLIENTEDGE);
  BB_Browse = Add(L"BUTTON", Text(), button | BS_PUSHBUTTON, kIdBrowse, RECT{587, 155, 25, 26}, kFontWindow);
  E_Stav = Add(L"EDIT", kInitialStatus, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, kIdStav,
               RECT{6, 186, 575, 24}, kFontWindow, WS_EX_CLIENTEDGE);
  BB_Info = Add(L"BUTTON", u"In&fo", button | BS_PUSHBUTTON | BS_LEFT, kIdInfo, RECT{369, 246, 107, 28}, kFontWindow);

  Tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
  static wchar_t browseTip[] = L"Procházet";
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(BB_Browse);
  tool.lpszText = browseTip;
  ::SendMessageW(Tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(Tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
  ::SendMessageW(Tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);

  SetProgramIcon(window_, instance_);
  ApplyDpi(WindowDpi(window_));
}

void TForm_Quenmar::MakeFonts(int dpi) {
  for (HFONT font : fonts_) ::DeleteObject(font);
  fonts_.clear();
  for (const FontSpec& wanted : kFonts) {
    fonts_.push_back(::CreateFontW(-Scale(wanted.height, dpi), 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                   FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, wanted.face));
  }
}

void TForm_Quenmar::MakeGlyphs(int dpi) {
  for (HIMAGELIST glyph : glyphs_) ::ImageList_Destroy(glyph);
  glyphs_.clear();
  // Enlarged pixel for pixel, by the whole factor nearest to the DPI's.
  const int scale = std::max(1, (dpi + 48) / 96);
  const HWND buttons[] = {BB_Start, BB_Cancel, BB_Browse, BB_Info};
  for (size_t i = 0; i < std::size(buttons); ++i) {
    glyphs_.push_back(LoadGlyph(instance_, kGlyphIds[i], scale));
    SetButtonGlyph(buttons[i], glyphs_.back());
  }
}

void TForm_Quenmar::ApplyDpi(int dpi) {
  // The old fonts and glyphs stay alive until every control has the new ones.
  std::vector<HFONT> oldFonts;
  std::vector<HIMAGELIST> oldGlyphs;
  oldFonts.swap(fonts_);
  oldGlyphs.swap(glyphs_);
  MakeFonts(dpi);
  dpi_ = dpi;
  for (const Placed& item : placed_) {
    ::SendMessageW(item.control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<size_t>(item.font)]), TRUE);
    ::SetWindowPos(item.control, nullptr, Scale(item.at96.left, dpi), Scale(item.at96.top, dpi),
                   Scale(item.at96.right, dpi), Scale(item.at96.bottom, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeGlyphs(dpi);  // placed by the buttons' sizes and fonts
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[kFontWindow]), FALSE);
  RECT frame{0, 0, Scale(kClientWidth, dpi), Scale(kClientHeight, dpi)};
  ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)));
  ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HFONT font : oldFonts) ::DeleteObject(font);
  for (HIMAGELIST glyph : oldGlyphs) ::ImageList_Destroy(glyph);
}

void TForm_Quenmar::CentreOnScreen() {
  HMONITOR monitor = ::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return;
  RECT frame;
  ::GetWindowRect(window_, &frame);
  const RECT& screen = info.rcMonitor;
  ::SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - (frame.right - frame.left)) / 2,
                 screen.top + (screen.bottom - screen.top - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm_Quenmar::Show() {
  CentreOnScreen();
  ::ShowWindow(window_, SW_SHOW);
  // The focus starts on the first control of the tab order that can take it.
  ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetNextDlgTabItem(window_, nullptr, FALSE)),
                 TRUE);
}

void TForm_Quenmar::FormCreate() { quenmar::FormCreate(*this, programFolder_); }
void TForm_Quenmar::E_SouborChange() { quenmar::E_SouborChange(*this); }
void TForm_Quenmar::BB_BrowseClick() { quenmar::BB_BrowseClick(*this); }
void TForm_Quenmar::BB_StartClick() { quenmar::BB_StartClick(*this); }
void TForm_Quenmar::BB_CancelClick() { ::SendMessageW(window_, WM_CLOSE, 0, 0); }
void TForm_Quenmar::BB_InfoClick() { OpenInfoPage(InfoPagePath()); }

void TForm_Quenmar::SetStartEnabled(bool enabled) {
  // Left to Windows, the focus would stay on a disabled button, where no key
  // reaches the window; in the path box Enter does nothing while Start is disabled.
  if (!enabled && ::GetFocus() == BB_Start) {
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(E_Soubor), TRUE);
  }
  ::EnableWindow(BB_Start, enabled ? TRUE : FALSE);
}

void TForm_Quenmar::SetInputPath(const Text& text) {
  if (text != InputPath()) ::SetWindowTextW(E_Soubor, W(text));  // EN_CHANGE runs E_SouborChange
}

bool TForm_Quenmar::ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) {
  return ChooseFileName(false, filter, mustExist, title, fileName, window_);
}

void TForm_Quenmar::SetGaugeVisible(bool visible) {
  ::ShowWindow(Gauge, visible ? SW_SHOWNA : SW_HIDE);
  if (visible) ::UpdateWindow(Gauge);
}

void TForm_Quenmar::SetGaugeProgress(int progress) { ::SendMessageW(Gauge, kGaugeSetProgress, progress, 0); }

void TForm_Quenmar::SetStatus(const Text& text) {
  ::SetWindowTextW(E_Stav, W(text));
  ::UpdateWindow(E_Stav);
}

Text TForm_Quenmar::InputPath() {
  const int length = ::GetWindowTextLengthW(E_Soubor);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(E_Soubor, text.data(), length + 1);
  return Text(reinterpret_cast<const char16_t*>(text.data()), static_cast<size_t>(got > 0 ? got : 0));
}

void TForm_Quenmar::ProcessMessages() { ProcessPendingMessages(window_); }

}  // namespace quenmar::win32
