// TForm_Quenmar on Win32: the program's one window, a dialog-class window (so the
// dialog manager gives it Tab, Enter, Escape and the access keys) whose controls are
// made by the program at their positions at 96 DPI, scaled with their fonts to the
// DPI of the monitor the window is on. What the handlers do is
// ui/main_window_behaviour.h; this class draws and dispatches.
//
// Control ids: BB_Start is IDOK and BB_Cancel IDCANCEL, so Enter and Escape reach
// them; the others are the kId* constants below.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/main_window_behaviour.h"

namespace quenmar::win32 {

inline constexpr int kIdSoubor = 101;
inline constexpr int kIdBrowse = 102;
inline constexpr int kIdStav = 103;
inline constexpr int kIdInfo = 104;
inline constexpr int kIdGauge = 105;
inline constexpr int kIdTitle = 110;  // L_OdstranArchivHovDB, then Label1 to Label4
inline constexpr wchar_t kMainWindowClass[] = L"QuenmarMainWindow";

class TForm_Quenmar : public MainWindowControls {
 public:
  // ProgramFolder is where start-up looks for an archive to propose; empty for the
  // folder of the running executable. The window exists, hidden, once this
  // returns; Show shows it centred.
  // Owner is the application's window (TApplicationWindow), which the taskbar
  // shows; without one the window has a taskbar entry of its own.
  explicit TForm_Quenmar(HINSTANCE instance, const Text& programFolder = Text(), HWND owner = nullptr);
  ~TForm_Quenmar() override;
  TForm_Quenmar(const TForm_Quenmar&) = delete;
  TForm_Quenmar& operator=(const TForm_Quenmar&) = delete;

  void Show();
  HWND Handle() const { return window_; }
  // Whether closing the window ends the message loop (a window of the program's
  // own; tests make windows that do not).
  bool quitWhenClosed = true;

  HWND BB_Start = nullptr;
  HWND BB_Cancel = nullptr;
  HWND Gauge = nullptr;
  HWND E_Soubor = nullptr;
  HWND BB_Browse = nullptr;
  HWND E_Stav = nullptr;
  HWND BB_Info = nullptr;
  HWND L_OdstranArchivHovDB = nullptr;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND Label3 = nullptr;
  HWND Label4 = nullptr;
  HWND Tooltip = nullptr;

  void FormCreate();
  void BB_StartClick();
  void BB_CancelClick();
  void E_SouborChange();
  void BB_BrowseClick();
  void BB_InfoClick();

  // The controls as the shared behaviour sees them.
  void SetStartEnabled(bool enabled) override;
  void SetInputPath(const Text& text) override;
  bool ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) override;
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override;
  Text InputPath() override;
  void ProcessMessages() override;

  // The DPI the window is laid out for (96 at first on a 96-DPI monitor).
  int Dpi() const { return dpi_; }

 private:
  struct Placed {
    HWND control;
    RECT at96;  // left, top, width, height at 96 DPI
    int font;   // index into fonts_
  };
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND Add(const wchar_t* windowClass, const Text& text, DWORD style, int id, RECT at96, int font, DWORD exStyle = 0);
  void ApplyDpi(int dpi);
  void MakeFonts(int dpi);
  void MakeGlyphs(int dpi);
  void CentreOnScreen();

  HINSTANCE instance_;
  Text programFolder_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  std::vector<Placed> placed_;
  std::vector<HFONT> fonts_;
  std::vector<HIMAGELIST> glyphs_;
};

extern TForm_Quenmar* Form_Quenmar;

// The window's fonts, at 96 DPI: Face, the character height in pixels, bold.
struct FontSpec {
  const wchar_t* face;
  int height;
  bool bold;
};
inline constexpr FontSpec kWindowFont{L"System", 11, false};

}  // namespace quenmar::win32
