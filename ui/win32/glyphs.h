// The buttons' glyphs on Win32: each glyph bitmap of the resources (two frames side
// by side, normal and disabled; the colour of the bottom-left pixel transparent)
// becomes an image list in the order of the push-button states that
// BCM_SETIMAGELIST takes (normal, hot, pressed, disabled, defaulted, stylus hot), so
// the button shows the disabled frame while it is disabled.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace quenmar::win32 {

// The glyph for Scale, the whole factor of the DPI over 96 (1 at 96 DPI, 2 at 144
// to 239 DPI): its frames are Scale times the size of BitmapId's. At Scale 1 they
// are BitmapId's drawing; from 2 on, DoubleBitmapId's (the same picture drawn at
// twice the size, with finer detail), as it is at 2 and enlarged beyond: by whole
// pixels, each pixel repeated Scale / 2 times when Scale is even, once or twice
// when it is odd (at 288 DPI and more, where a pixel is too small to tell). The
// caller owns the list (ImageList_Destroy); nullptr when a bitmap is missing.
HIMAGELIST LoadGlyph(HINSTANCE instance, int bitmapId, int doubleBitmapId, int scale);

// Gives Button the glyph left of its caption, 4 pixels apart, both centred together
// in the button (the caption measured in the button's font, so set the font first);
// a button without a caption shows the glyph centred. Buttons with a caption need
// the BS_LEFT style, which puts the caption right after the glyph.
void SetButtonGlyph(HWND button, HIMAGELIST glyph);

}  // namespace quenmar::win32
