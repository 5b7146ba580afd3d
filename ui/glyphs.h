// The small images of the window's buttons that the platform's style does not
// have: the folder tree of the browse button and the question mark of the info
// button, each with a normal and a disabled look.
#pragma once

#include <QIcon>

namespace quenmar {

QIcon FolderTreeGlyph();    // 16 x 16: three yellow folders on a black tree line
QIcon QuestionMarkGlyph();  // 18 x 18: a teal question mark
QIcon ApplicationIcon();    // 16, 32 and 48 px

}  // namespace quenmar
