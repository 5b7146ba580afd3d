// The images of the window's buttons and the application icon.
//
// The four glyphs come from the picture files that ui/glyphs/make_glyphs.py draws
// for every window of the program: two frames side by side (normal, disabled),
// the colour of the bottom-left pixel transparent. Each icon holds both frames at
// their own size and, from the glyph's drawing of twice the size (name@2x.bmp),
// as the images of double density, which a screen of device pixel ratio 2 shows.
#pragma once

#include <QIcon>
#include <QSize>

#include "ui/main_window_layout.h"

namespace quenmar {

// Glyph::kStart, 18 x 18: a green tick; kCancel, 18 x 18: a red cross; kBrowse,
// 16 x 16: three yellow folders on a black tree line; kInfo, 18 x 18: a teal
// question mark. An empty icon for kNone.
QIcon ButtonGlyph(Glyph glyph);
// The size of one frame of a glyph.
QSize GlyphSize(const QIcon& glyph);

QIcon ApplicationIcon();    // 16, 32 and 48 px

}  // namespace quenmar
