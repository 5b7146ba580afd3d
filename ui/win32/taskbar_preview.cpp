#include "ui/win32/taskbar_preview.h"

#include <dwmapi.h>

#include <algorithm>
#include <utility>

#include "ui/win32/top_down_bitmap.h"

namespace quenmar::win32 {
namespace {

PictureRecorder& Recorder() {
  static PictureRecorder recorder;
  return recorder;
}

// A 32-bit top-down bitmap of Width x Height and its pixels.
HBITMAP MakePicture(int width, int height, DWORD** pixels) {
  void* bits = nullptr;
  HBITMAP picture = MakeTopDownBitmap(nullptr, width, height, &bits);
  *pixels = static_cast<DWORD*>(bits);
  return picture;
}

// Window as it looks into Dc, at its origin (Frame: where it is on the screen).
// Shown, it is copied as the screen has it (with DWM, also where another window
// covers it); minimised or hidden, it is asked to paint itself.
void PaintInto(HDC dc, HWND window, const RECT& frame) {
  if (::IsWindowVisible(window) && !::IsIconic(window)) {
    HDC windowDc = ::GetWindowDC(window);
    ::BitBlt(dc, 0, 0, frame.right - frame.left, frame.bottom - frame.top, windowDc, 0, 0, SRCCOPY);
    ::ReleaseDC(window, windowDc);
  } else {
    ::PrintWindow(window, dc, PW_RENDERFULLCONTENT);
  }
}

// The main window as it looks, Width x Height (its own size or smaller), opaque.
HBITMAP PictureOf(HWND main, int width, int height) {
  RECT frame;
  ::GetWindowRect(main, &frame);
  const int fullWidth = frame.right - frame.left, fullHeight = frame.bottom - frame.top;
  if (fullWidth <= 0 || fullHeight <= 0 || width <= 0 || height <= 0) return nullptr;
  DWORD* fullPixels = nullptr;
  HBITMAP full = MakePicture(fullWidth, fullHeight, &fullPixels);
  if (full == nullptr) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC fullDc = ::CreateCompatibleDC(screen);
  HGDIOBJ oldFull = ::SelectObject(fullDc, full);
  PaintInto(fullDc, main, frame);
  HBITMAP result = full;
  DWORD* resultPixels = fullPixels;
  int pixelCount = fullWidth * fullHeight;
  if (width != fullWidth || height != fullHeight) {
    DWORD* scaledPixels = nullptr;
    HBITMAP scaled = MakePicture(width, height, &scaledPixels);
    if (scaled != nullptr) {
      HDC scaledDc = ::CreateCompatibleDC(screen);
      HGDIOBJ oldScaled = ::SelectObject(scaledDc, scaled);
      ::SetStretchBltMode(scaledDc, HALFTONE);
      ::StretchBlt(scaledDc, 0, 0, width, height, fullDc, 0, 0, fullWidth, fullHeight, SRCCOPY);
      ::SelectObject(scaledDc, oldScaled);
      ::DeleteDC(scaledDc);
      result = scaled;
      resultPixels = scaledPixels;
      pixelCount = width * height;
    }
  }
  ::SelectObject(fullDc, oldFull);
  ::DeleteDC(fullDc);
  ::ReleaseDC(nullptr, screen);
  if (result != full) ::DeleteObject(full);
  ::GdiFlush();
  for (int i = 0; i < pixelCount; ++i) resultPixels[i] |= 0xFF000000u;  // GDI leaves the alpha 0
  return result;
}

void Hand(HWND window, HBITMAP picture, bool preview, HWND main) {
  if (picture == nullptr) return;
  if (Recorder()) {
    Recorder()(window, picture, preview);
  } else if (preview) {
    RECT frame;
    ::GetWindowRect(main, &frame);
    POINT place{frame.left, frame.top};
    ::DwmSetIconicLivePreviewBitmap(window, picture, &place, 0);
  } else {
    ::DwmSetIconicThumbnail(window, picture, 0);
  }
  ::DeleteObject(picture);
}

}  // namespace

void SetPictureRecorder(PictureRecorder recorder) { Recorder() = std::move(recorder); }

void OfferPictures(HWND window) {
  const BOOL yes = TRUE;
  ::DwmSetWindowAttribute(window, DWMWA_FORCE_ICONIC_REPRESENTATION, &yes, sizeof yes);
  ::DwmSetWindowAttribute(window, DWMWA_HAS_ICONIC_BITMAP, &yes, sizeof yes);
}

bool AnswerPictureRequest(HWND window, HWND main, UINT message, LPARAM lParam) {
  if (message != WM_DWMSENDICONICTHUMBNAIL && message != WM_DWMSENDICONICLIVEPREVIEWBITMAP) return false;
  if (main == nullptr) return true;
  if (message == WM_DWMSENDICONICLIVEPREVIEWBITMAP) {
    RECT frame;
    ::GetWindowRect(main, &frame);
    Hand(window, PictureOf(main, frame.right - frame.left, frame.bottom - frame.top), true, main);
    return true;
  }
  // The largest picture within the limits DWM gives, in the window's proportions.
  const int maxWidth = HIWORD(lParam), maxHeight = LOWORD(lParam);
  RECT frame;
  ::GetWindowRect(main, &frame);
  const int fullWidth = frame.right - frame.left, fullHeight = frame.bottom - frame.top;
  if (fullWidth <= 0 || fullHeight <= 0) return true;
  int width = std::min(maxWidth, fullWidth);
  int height = ::MulDiv(width, fullHeight, fullWidth);
  if (height > maxHeight) {
    height = std::min(maxHeight, fullHeight);
    width = ::MulDiv(height, fullWidth, fullHeight);
  }
  Hand(window, PictureOf(main, width, height), false, main);
  return true;
}

}  // namespace quenmar::win32
