// Names from an archive as a person is shown them, and as file systems compare
// them.
//
// Archive names are anybody's bytes: a control character in one would reach the
// terminal (ESC starts a command there) or the window as it stands. Every text
// that shows a name goes through EscapeControls first.
#pragma once

#include "support/text.h"

namespace quenmar {

// Text with every control character (U+0000-U+001F, U+007F, U+0080-U+009F)
// written as "\x" and two lowercase hexadecimal digits; all else as it is.
Text EscapeControls(TextView text);

// True when Name holds a character that Windows does not allow in a file name
// (controls, and " < > | ? *), whatever platform this is.
bool HasCharForbiddenOnWindows(TextView name);

// C upper-cased as NTFS compares names, for the scripts of European exports
// (Latin, Greek, Cyrillic); other characters as they are. Two names equal unit by
// unit after it are one name on Windows.
char16_t CaseFoldedUnit(char16_t c);

}  // namespace quenmar
