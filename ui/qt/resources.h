// The window's built-in files: icons, button glyphs, the information page and
// Qt's Czech texts. They live in a static library, where nothing refers to them by
// name, so they are registered explicitly before the first use.
#pragma once

namespace quenmar {

// Registers the built-in files once; later calls do nothing.
void InitUiResources();

}  // namespace quenmar
