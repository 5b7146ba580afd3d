// The faces the window's fonts are made with. "System" is a raster font with one
// character set, the system code page's; where that code page cannot hold every
// letter the window shows in it (Czech, in its captions and messages), the window
// uses a TrueType face at the same pixel heights instead, so no letter turns into
// "?".
#pragma once

#include <windows.h>

#include "ui/main_window_layout.h"

namespace quenmar::win32 {

// Whether the raster "System" face can show the window's texts on a system whose
// code page (GetACP) is CodePage: a code page of one byte a character that holds
// every Czech letter and every System-font caption of the window (1250 does).
bool SystemFaceShowsTheWindow(UINT codePage);

// The face for Face on a system of CodePage.
const wchar_t* FaceName(FontFace face, UINT codePage);

}  // namespace quenmar::win32
