// The buttons' glyphs on Win32: each glyph bitmap of the resources (two frames side
// by side, normal and disabled; the colour of the bottom-left pixel transparent)
// becomes an image list in the order of the push-button states that
// BCM_SETIMAGELIST takes (normal, hot, pressed, disabled, defaulted, stylus hot), so
// the button shows the disabled frame while it is disabled.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace quenmar::win32 {

// Scale enlarges the frames pixel for pixel (1 at 96 DPI). The caller owns the list
// (ImageList_Destroy); nullptr when the bitmap is missing.
HIMAGELIST LoadGlyph(HINSTANCE instance, int bitmapId, int scale);

// Gives Button the glyph left of its caption, 4 pixels apart, both centred together
// in the button (the caption measured in the button's font, so set the font first);
// a button without a caption shows the glyph centred. Buttons with a caption need
// the BS_LEFT style, which puts the caption right after the glyph.
void SetButtonGlyph(HWND button, HIMAGELIST glyph);

}  // namespace quenmar::win32
