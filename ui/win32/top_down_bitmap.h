// A 32-bit bitmap whose rows run from the top, as the window's own pictures (the
// gauge, the taskbar's pictures) are drawn and read.
#pragma once

#include <windows.h>

namespace quenmar::win32 {

// Width x Height pixels for Dc (null: the screen's), their memory in *Bits; null
// when it cannot be made. The caller deletes it.
inline HBITMAP MakeTopDownBitmap(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace quenmar::win32
