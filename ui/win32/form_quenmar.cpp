#include "ui/win32/form_quenmar.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/win32/application.h"
#include "ui/win32/file_dialog.h"
#include "ui/win32/font_faces.h"
#include "ui/win32/gauge.h"
#include "ui/win32/newer_functions.h"
#include "ui/win32/glyphs.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/show_in_folder.h"
#include "ui/win32/shutdown_reason.h"
#include "ui/win32/verb_drop.h"

namespace quenmar::win32 {

namespace {

constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kFrameExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// How Windows makes a control of the table.
struct ControlClass {
  const wchar_t* windowClass;
  DWORD style;  // besides WS_CHILD
  DWORD exStyle;
};

ControlClass ClassOf(const ControlDescription& row) {
  const DWORD tabStop = row.tabOrder > 0 ? WS_TABSTOP : 0;
  ControlClass made{L"STATIC", 0, 0};
  switch (row.kind) {
    case ControlKind::kLabel:
      made.style = WS_VISIBLE | SS_NOPREFIX | (row.centred ? SS_CENTER : SS_LEFT);
      break;
    case ControlKind::kButton:
      made.windowClass = L"BUTTON";
      made.style = WS_VISIBLE | tabStop | (row.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      if (row.caption[0] != u'\0') made.style |= BS_LEFT;  // the caption right after the glyph (SetButtonGlyph)
      break;
    case ControlKind::kEdit:
      made.windowClass = L"EDIT";
      made.style = WS_VISIBLE | tabStop | ES_AUTOHSCROLL | (row.readOnly ? ES_READONLY : 0);
      made.exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kGauge:
      made.windowClass = kGaugeClass;  // hidden until a run
      break;
  }
  return made;
}

int IdOf(ControlRole role) {
  switch (role) {
    case ControlRole::kStart:
      return IDOK;
    case ControlRole::kCancel:
      return IDCANCEL;
    case ControlRole::kPathBox:
      return kIdPathBox;
    case ControlRole::kBrowse:
      return kIdBrowse;
    case ControlRole::kStatusLine:
      return kIdStatusLine;
    case ControlRole::kInfo:
      return kIdInfo;
    case ControlRole::kGauge:
      return kIdGauge;
    default:
      return kIdFirstLabel + static_cast<int>(role) - static_cast<int>(ControlRole::kTitle);
  }
}

// A glyph's bitmaps: its own size and twice it.
struct GlyphBitmaps {
  int normal = 0;
  int twice = 0;
};

GlyphBitmaps GlyphBitmapsOf(Glyph glyph) {
  switch (glyph) {
    case Glyph::kStart:
      return {IDB_START, IDB_START_2X};
    case Glyph::kCancel:
      return {IDB_CANCEL, IDB_CANCEL_2X};
    case Glyph::kBrowse:
      return {IDB_BROWSE, IDB_BROWSE_2X};
    case Glyph::kInfo:
      return {IDB_INFO, IDB_INFO_2X};
    case Glyph::kNone:
      break;
  }
  return {};
}

// The table's fonts, each once, the window's first.
const std::vector<FontDescription>& DistinctFonts() {
  static const std::vector<FontDescription> fonts = [] {
    std::vector<FontDescription> found{kWindowFont};
    for (const ControlDescription& row : kMainWindowControls) {
      if (std::find(found.begin(), found.end(), row.font) == found.end()) found.push_back(row.font);
    }
    return found;
  }();
  return fonts;
}

size_t FontIndexOf(const FontDescription& font) {
  const auto& fonts = DistinctFonts();
  return static_cast<size_t>(std::find(fonts.begin(), fonts.end(), font) - fonts.begin());
}

int Scale(int value, int dpi) { return ::MulDiv(value, dpi, 96); }

// A tooltip window of Owner's, shown after the window's delay and for Shown
// milliseconds.
HWND MakeTooltip(HINSTANCE instance, HWND owner, DWORD extraStyle, int shown) {
  HWND tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | extraStyle,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   instance, nullptr);
  ::SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, kTooltipDelayMilliseconds);
  ::SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, shown);
  return tooltip;
}

// The tool record of Control, a child of Owner, with Text (which must outlive its
// use in a message).
TTTOOLINFOW ToolOf(HWND owner, HWND control, std::wstring& text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text.data();
  return tool;
}

// The window's frame for the layout's client area at Dpi, by that DPI's metrics
// (AdjustWindowRectEx knows only the system DPI's): Windows asks for it before it
// moves the window to a monitor of that DPI.
SIZE FrameSizeAt(HWND window, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, Scale(kMainWindowClientWidth, dpi), Scale(kMainWindowClientHeight, dpi)};
  const auto exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
  if (adjustForDpi == nullptr || !adjustForDpi(&frame, kFrameStyle, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, exStyle);
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// Gives Window a client area of Width x Height, around which its frame is as it is
// now: exact whatever the DPI of the frame.
void SizeClientTo(HWND window, int width, int height) {
  RECT outer, client;
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  ::SetWindowPos(window, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
                 height + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog manager scales a dialog on a DPI change by its template, which is
// empty here, and would overwrite the layout's size; the window scales itself.
void KeepDialogManagerOffDpiChanges(HWND window) {
  using SetBehavior = BOOL(WINAPI*)(HWND, int mask, int values);
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (const auto setBehavior = User32Function<SetBehavior>("SetDialogDpiChangeBehavior")) {
    setBehavior(window, kDisableAll, kDisableAll);
  }
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

TForm_Quenmar::TForm_Quenmar(HINSTANCE instance, const Text& programFolder, HWND owner,
                             const std::vector<Text>& givenPaths)
    : instance_(instance), taskbar_(owner) {
  RegisterGaugeClass(instance);
  const std::vector<DWORD> dialog = EmptyDialogTemplate(kFrameExStyle | (owner != nullptr ? 0 : WS_EX_APPWINDOW));
  window_ = ::CreateDialogIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                         DialogProc, reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) throw std::runtime_error("the main window could not be created");
  if (owner == nullptr) taskbar_.SetButton(window_);  // the window has a taskbar button of its own
  WindowCreated(*this, programFolder, givenPaths);
}

TForm_Quenmar::~TForm_Quenmar() {
  if (::IsWindow(window_)) {
    quitWhenClosed_ = false;
    ::DestroyWindow(window_);
  }
  for (HFONT font : fonts_) ::DeleteObject(font);
  for (HIMAGELIST glyph : glyphs_) ::ImageList_Destroy(glyph);
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
    case WM_COMMAND:
      Guarded(window_, [&] { OnCommand(LOWORD(wParam), HIWORD(wParam)); });
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const bool statusLine = reinterpret_cast<HWND>(lParam) == Control(ControlRole::kStatusLine);
      const std::optional<unsigned> colour = statusLine ? OutcomeColour(outcome_) : std::nullopt;
      // The read-only status line keeps the colours of an edit box; the labels take
      // the dialog's, which high-contrast themes set as a pair.
      const int text = statusLine ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
      ::SetTextColor(dc, colour ? RGB(*colour >> 16, (*colour >> 8) & 0xFF, *colour & 0xFF) : ::GetSysColor(text));
      const int background = statusLine ? COLOR_WINDOW : COLOR_BTNFACE;
      ::SetBkColor(dc, ::GetSysColor(background));
      return reinterpret_cast<INT_PTR>(::GetSysColorBrush(background));
    }
    case WM_GETDPISCALEDSIZE: {
      // The size for the new DPI, asked before the move: the layout's, exactly.
      *reinterpret_cast<SIZE*>(lParam) = FrameSizeAt(window_, static_cast<int>(wParam));
      ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_DPICHANGED: {
      // The size is the layout's; of the suggested rectangle only the place counts.
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wParam);
      const std::vector<Text> paths = DroppedPaths(drop);
      ::DragFinish(drop);
      Guarded(window_, [&] { ArchivesDropped(*this, paths); });
      return TRUE;
    }
    case WM_HELP:
      return TRUE;  // the program has no help
    case WM_CLOSE:
      // During a run: once it has stopped and cleaned up.
      if (CloseRequested(*this)) ::DestroyWindow(window_);
      return TRUE;
    case WM_QUERYENDSESSION:
      // A run going does not hold the session up (the shutdown screen gives its
      // reason): it stops when the session does end. Stopping it here would lose it
      // to a shutdown that another program then cancels.
      ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:
      // Windows may end the program once this returns: the run's clean-up is done
      // by then.
      if (wParam != FALSE) SessionEnding(*this);
      return TRUE;
    case WM_DESTROY:
      if (quitWhenClosed_) ::PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

void TForm_Quenmar::OnCommand(int id, int code) {
  if (id == IDOK && code == BN_CLICKED) {
    // The dialog manager sends IDOK for Enter even while Start is disabled.
    if (::IsWindowEnabled(Control(ControlRole::kStart))) StartClicked(*this);
  } else if (id == IDCANCEL && code == BN_CLICKED) {
    CancelClicked(*this);  // Zrušit, and Escape
  } else if (id == kIdBrowse && code == BN_CLICKED) {
    BrowseClicked(*this);
  } else if (id == kIdInfo && code == BN_CLICKED) {
    OpenInfoPage(InfoPagePath());
  } else if (id == kIdPathBox && code == EN_CHANGE) {
    PathChanged(*this);
  }
}

void TForm_Quenmar::CreateControls() {
  ::SetWindowTextW(window_, W(kMainWindowCaption));
  // Files dropped anywhere on the window: the controls pass a drop to it.
  ::DragAcceptFiles(window_, TRUE);
  // In the table's order; among the controls that take the focus this is the tab
  // order.
  for (const ControlDescription& row : kMainWindowControls) {
    const ControlClass made = ClassOf(row);
    const Rect96& at = row.place;
    controls_[static_cast<size_t>(row.role)] =
        ::CreateWindowExW(made.exStyle, made.windowClass, W(Text(row.caption)), WS_CHILD | made.style, at.left, at.top,
                          at.width, at.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(row.role))),
                          instance_, nullptr);
  }
  CreateTooltip();
  ::SetWindowSubclass(Control(ControlRole::kStatusLine), StatusLineProc, 0, reinterpret_cast<DWORD_PTR>(this));
  KeepDialogManagerOffDpiChanges(window_);
  ApplyDpi(WindowDpi(window_));
}

void TForm_Quenmar::CreateTooltip() {
  tooltip_ = MakeTooltip(instance_, window_, 0, kTooltipShownMilliseconds);
  for (const ControlDescription& row : kMainWindowControls) {
    if (row.tooltip == nullptr) continue;
    std::wstring text(W(Text(row.tooltip)));  // the tooltip keeps a copy
    TTTOOLINFOW tool = ToolOf(window_, Control(row.role), text);
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // The one-line status box cuts a long result off; its tooltip holds all of it,
  // wrapped at the box's width, for as long as the pointer rests there.
  statusTooltip_ = MakeTooltip(instance_, window_, TTS_NOPREFIX, 32767);  // the longest a tooltip stays
  std::wstring text(W(Text(kInitialStatus)));
  TTTOOLINFOW tool = ToolOf(window_, Control(ControlRole::kStatusLine), text);
  ::SendMessageW(statusTooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(statusTooltip_, TTM_SETMAXTIPWIDTH, 0, DescriptionOf(ControlRole::kStatusLine).place.width);
}

LRESULT CALLBACK TForm_Quenmar::StatusLineProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) {
  auto* form = reinterpret_cast<TForm_Quenmar*>(data);
  const auto isEnter = [](const MSG* key) {
    return key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
  };
  switch (message) {
    case WM_GETDLGCODE:
      // With a result to show, Enter here is the status line's, not Start's.
      if (form->HasResultToShow() && isEnter(reinterpret_cast<const MSG*>(lParam))) {
        return ::DefSubclassProc(control, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        bool shown = false;
        Guarded(form->window_, [&] { shown = StatusActivated(*form); });
        if (shown) return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;  // no beep for the Enter taken above
      break;
    case WM_LBUTTONDBLCLK: {
      bool shown = false;
      Guarded(form->window_, [&] { shown = StatusActivated(*form); });
      if (shown) return 0;
      break;
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(control, StatusLineProc, 0);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

void TForm_Quenmar::MakeFonts(int dpi) {
  for (HFONT font : fonts_) ::DeleteObject(font);
  fonts_.clear();
  for (const FontDescription& wanted : DistinctFonts()) {
    fonts_.push_back(::CreateFontW(-Scale(wanted.pixels, dpi), 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                   FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, FaceName(wanted.face, ::GetACP())));
  }
}

void TForm_Quenmar::MakeGlyphs(int dpi) {
  for (HIMAGELIST glyph : glyphs_) ::ImageList_Destroy(glyph);
  glyphs_.clear();
  // By the whole factor nearest to the DPI's; from 2 on, the double drawings.
  const int scale = std::max(1, (dpi + 48) / 96);
  for (const ControlDescription& row : kMainWindowControls) {
    if (row.glyph == Glyph::kNone) continue;
    const GlyphBitmaps bitmaps = GlyphBitmapsOf(row.glyph);
    glyphs_.push_back(LoadGlyph(instance_, bitmaps.normal, bitmaps.twice, scale));
    SetButtonGlyph(Control(row.role), glyphs_.back());
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
  for (const ControlDescription& row : kMainWindowControls) {
    HWND control = Control(row.role);
    const Rect96& at = row.place;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[FontIndexOf(row.font)]), TRUE);
    ::SetWindowPos(control, nullptr, Scale(at.left, dpi), Scale(at.top, dpi), Scale(at.width, dpi),
                   Scale(at.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeGlyphs(dpi);  // placed by the buttons' sizes and fonts
  SetProgramIcon(window_, instance_, dpi);
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[FontIndexOf(kWindowFont)]), FALSE);
  SizeClientTo(window_, Scale(kMainWindowClientWidth, dpi), Scale(kMainWindowClientHeight, dpi));
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

void TForm_Quenmar::SetStartEnabled(bool enabled) {
  // Left to Windows, the focus would stay on a disabled button, where no key
  // reaches the window; in the path box Enter does nothing while Start is disabled.
  HWND start = Control(ControlRole::kStart);
  if (!enabled && ::GetFocus() == start) {
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(ControlRole::kPathBox)), TRUE);
  }
  ::EnableWindow(start, enabled ? TRUE : FALSE);
}

void TForm_Quenmar::FocusStart() {
  // As Tab moves it: the dialog manager also makes Start the default button.
  ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(ControlRole::kStart)), TRUE);
}

void TForm_Quenmar::ShowOutcome(Outcome outcome) {
  // The taskbar button: red after a failure until the next action, else plain.
  taskbar_.Show(outcome == Outcome::kFailed ? TaskbarState::kError : TaskbarState::kNone);
  if (outcome == outcome_) return;
  outcome_ = outcome;
  ::InvalidateRect(Control(ControlRole::kStatusLine), nullptr, TRUE);
  ::UpdateWindow(Control(ControlRole::kStatusLine));
}

void TForm_Quenmar::SetInputPath(const Text& text) {
  // EN_CHANGE runs PathChanged.
  if (text != InputPath()) ::SetWindowTextW(Control(ControlRole::kPathBox), W(text));
}

bool TForm_Quenmar::ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                                std::vector<Text>& fileNames) {
  return ChooseFileNames(filter, mustExist, title, proposal, fileNames, CommonFileDialog(window_));
}

void TForm_Quenmar::SetGaugeVisible(bool visible) {
  HWND gauge = Control(ControlRole::kGauge);
  ::ShowWindow(gauge, visible ? SW_SHOWNA : SW_HIDE);
  if (visible) ::UpdateWindow(gauge);
}

void TForm_Quenmar::SetGaugeProgress(int progress) {
  ::SendMessageW(Control(ControlRole::kGauge), kGaugeSetProgress, progress, 0);
  taskbar_.Show(TaskbarState::kProgress, progress);
}

void TForm_Quenmar::SetStatus(const Text& text) {
  HWND status = Control(ControlRole::kStatusLine);
  ::SetWindowTextW(status, W(text));
  ::UpdateWindow(status);
  SetStatusTooltip(text);
}

Text TForm_Quenmar::InputPath() {
  HWND pathBox = Control(ControlRole::kPathBox);
  const int length = ::GetWindowTextLengthW(pathBox);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(pathBox, text.data(), length + 1);
  return Text(reinterpret_cast<const char16_t*>(text.data()), static_cast<size_t>(got > 0 ? got : 0));
}

void TForm_Quenmar::ProcessMessages() { ProcessPendingMessages(window_); }

void TForm_Quenmar::SetStatusTooltip(const Text& text) {
  std::wstring tip(W(text));  // the tooltip keeps a copy
  TTTOOLINFOW tool = ToolOf(window_, Control(ControlRole::kStatusLine), tip);
  ::SendMessageW(statusTooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm_Quenmar::ShowInFolder(const Text& folder, const std::vector<Text>& files) {
  win32::ShowInFolder(folder, files);
}

void TForm_Quenmar::WaitForEvents() {
  ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TForm_Quenmar::Wake() { ::PostMessageW(window_, WM_NULL, 0, 0); }

void TForm_Quenmar::Close() { ::SendMessageW(window_, WM_CLOSE, 0, 0); }

void TForm_Quenmar::SetInputsLocked(bool locked) {
  // Locked exactly while a run goes: the shutdown screen says so meanwhile.
  ::SendMessageW(Control(ControlRole::kPathBox), EM_SETREADONLY, locked ? TRUE : FALSE, 0);
  ::EnableWindow(Control(ControlRole::kBrowse), locked ? FALSE : TRUE);
  ShowShutdownReason(window_, locked);
}

}  // namespace quenmar::win32
