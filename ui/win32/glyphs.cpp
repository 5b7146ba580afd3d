#include "ui/win32/glyphs.h"

#include <algorithm>
#include <string>

namespace quenmar::win32 {

HIMAGELIST LoadGlyph(HINSTANCE instance, int bitmapId, int doubleBitmapId, int scale) {
  const bool twice = scale >= 2;
  auto* strip = static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(twice ? doubleBitmapId : bitmapId),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip == nullptr) return nullptr;
  BITMAP info{};
  ::GetObjectW(strip, sizeof info, &info);
  const int size = info.bmHeight;
  // The double drawing's frame is twice the small one's; odd scales round it by
  // whole pixels.
  const int scaled = twice ? size * scale / 2 : size * scale;

  HDC source = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldSource = ::SelectObject(source, strip);
  const COLORREF clear = ::GetPixel(source, 0, size - 1);

  // Six frames in the order of the button states: the normal frame for every state
  // but the disabled one.
  HDC screen = ::GetDC(nullptr);
  HBITMAP states = ::CreateCompatibleBitmap(screen, 6 * scaled, scaled);
  ::ReleaseDC(nullptr, screen);
  HDC target = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldTarget = ::SelectObject(target, states);
  for (int state = 0; state < 6; ++state) {
    const int frame = state == 3 ? 1 : 0;
    ::StretchBlt(target, state * scaled, 0, scaled, scaled, source, frame * size, 0, size, size, SRCCOPY);
  }
  ::SelectObject(target, oldTarget);
  ::DeleteDC(target);
  ::SelectObject(source, oldSource);
  ::DeleteDC(source);
  ::DeleteObject(strip);

  HIMAGELIST list = ::ImageList_Create(scaled, scaled, ILC_COLOR24 | ILC_MASK, 6, 0);
  ::ImageList_AddMasked(list, states, clear);
  ::DeleteObject(states);
  return list;
}

namespace {

// The caption's width in the button's font, without the access key's "&".
int CaptionWidth(HWND button) {
  wchar_t text[64] = {};
  const int length = ::GetWindowTextW(button, text, 64);
  std::wstring caption;
  for (int i = 0; i < length; ++i) {
    if (text[i] != L'&' || (i + 1 < length && text[i + 1] == L'&' && ++i)) caption += text[i];
  }
  if (caption.empty()) return 0;
  HDC dc = ::GetDC(button);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(button, dc);
  return size.cx;
}

}  // namespace

void SetButtonGlyph(HWND button, HIMAGELIST glyph) {
  constexpr int kGap = 4;
  BUTTON_IMAGELIST images{};
  images.himl = glyph;
  const int caption = CaptionWidth(button);
  if (caption == 0) {
    images.uAlign = BUTTON_IMAGELIST_ALIGN_CENTER;
  } else {
    int glyphWidth = 0, glyphHeight = 0;
    ::ImageList_GetIconSize(glyph, &glyphWidth, &glyphHeight);
    RECT client;
    ::GetClientRect(button, &client);
    const int left = std::max(0, static_cast<int>(client.right - (glyphWidth + kGap + caption)) / 2);
    images.margin = RECT{left, 0, kGap, 0};
    images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
  }
  ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
}

}  // namespace quenmar::win32
