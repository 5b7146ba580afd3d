// TGauge: the progress gauge of the main window on Win32, a window class of the
// program's own, drawn by the rules of ui/gauge_rule.h.
//
// The picture is composed in an off-screen bitmap and copied to the window in one
// BitBlt. Setting a progress that changes the shown percentage repaints at once
// (UpdateWindow sends the paint message straight to the window procedure), so the
// gauge moves while a run keeps the message loop from running. The text is drawn in
// the font the window was given with WM_SETFONT.
//
// Messages: kGaugeSetProgress (wParam: the progress, clamped into 0 to 100) and
// kGaugeGetProgress (returns it), for the window and for tests alike.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quenmar::win32 {

inline constexpr wchar_t kGaugeClass[] = L"QuenmarGauge";
inline constexpr UINT kGaugeSetProgress = WM_USER + 1;
inline constexpr UINT kGaugeGetProgress = WM_USER + 2;

// Registers the window class once per process.
void RegisterGaugeClass(HINSTANCE instance);

// The gauge's picture: Width x Height pixels, rows from the top, each 0x00RRGGBB.
struct GaugeImage {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

// Composes the picture of a gauge of the given size at Percentage, its text in Font.
GaugeImage RenderGauge(int width, int height, int percentage, HFONT font);

}  // namespace quenmar::win32
