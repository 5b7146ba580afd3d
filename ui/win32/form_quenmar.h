// TForm_Quenmar on Win32: the program's one window, a dialog-class window (so the
// dialog manager gives it Tab, Enter, Escape and the access keys) whose controls the
// program makes from the layout table (ui/main_window_layout.h) at their places at
// 96 DPI, scaled with their fonts to the DPI of the monitor the window is on. What
// the handlers do is ui/main_window_behaviour.h; this class draws and dispatches.
//
// Control ids: Start is IDOK and Zrušit IDCANCEL, so Enter and Escape reach them;
// the others are the kId* constants below.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <vector>

#include "ui/main_window_behaviour.h"
#include "ui/main_window_layout.h"
#include "ui/win32/taskbar_progress.h"

namespace quenmar::win32 {

inline constexpr int kIdPathBox = 101;
inline constexpr int kIdBrowse = 102;
inline constexpr int kIdStatusLine = 103;
inline constexpr int kIdInfo = 104;
inline constexpr int kIdGauge = 105;
inline constexpr int kIdFirstLabel = 110;  // the labels, from the title on, in the table's order
inline constexpr wchar_t kMainWindowClass[] = L"QuenmarMainWindow";

class TForm_Quenmar : public MainWindowControls {
 public:
  // ProgramFolder is where start-up looks for an archive to propose; empty for the
  // folder of the running executable. The window exists, hidden, once this
  // returns; Show shows it centred.
  // Owner is the application's window (TApplicationWindow), which the taskbar
  // shows; without one the window has a taskbar entry of its own.
  // GivenPaths: the archives the program was started with (WindowCreated).
  explicit TForm_Quenmar(HINSTANCE instance, const Text& programFolder = Text(), HWND owner = nullptr,
                         const std::vector<Text>& givenPaths = {});
  ~TForm_Quenmar() override;
  TForm_Quenmar(const TForm_Quenmar&) = delete;
  TForm_Quenmar& operator=(const TForm_Quenmar&) = delete;

  // Shows the window centred on its monitor, the focus on the first control of the
  // tab order that can take it.
  void Show();
  HWND Handle() const { return window_; }
  // The control of Role, and the Browse button's tooltip window.
  HWND Control(ControlRole role) const { return controls_[static_cast<size_t>(role)]; }
  HWND Tooltip() const { return tooltip_; }
  // The status line's own tooltip: its whole text, wrapped, shown as long as the
  // pointer rests there.
  HWND StatusTooltip() const { return statusTooltip_; }
  // Whether closing the window ends the message loop: so for the program's window,
  // not for the windows tests make.
  void SetQuitWhenClosed(bool quit) { quitWhenClosed_ = quit; }

  // The controls as the shared behaviour sees them.
  void SetStartEnabled(bool enabled) override;
  void SetInputPath(const Text& text) override;
  bool ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                   std::vector<Text>& fileNames) override;
  void FocusStart() override;
  void ShowOutcome(Outcome outcome) override;
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override;
  Text InputPath() override;
  void ProcessMessages() override;
  void SetStatusTooltip(const Text& text) override;
  void ShowInFolder(const Text& folder, const std::vector<Text>& files) override;
  void WaitForEvents() override;
  void Wake() override;
  void Close() override;
  void SetInputsLocked(bool locked) override;

  // The DPI the window is laid out for (96 at first on a 96-DPI monitor).
  int Dpi() const { return dpi_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  void CreateControls();
  void CreateTooltip();
  // The status line's own messages: a double-click or Enter there
  // (StatusActivated).
  static LRESULT CALLBACK StatusLineProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR form);
  void ApplyDpi(int dpi);
  void MakeFonts(int dpi);
  void MakeGlyphs(int dpi);
  void CentreOnScreen();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND statusTooltip_ = nullptr;
  Outcome outcome_ = Outcome::kNone;
  bool quitWhenClosed_ = true;
  int dpi_ = 96;
  std::array<HWND, kControlCount> controls_{};
  TaskbarProgress taskbar_;  // on the owner's button when there is an owner
  std::vector<HFONT> fonts_;         // one for each distinct font of the table, the window's first
  std::vector<HIMAGELIST> glyphs_;  // one for each button with a glyph, in the table's order
};

}  // namespace quenmar::win32
