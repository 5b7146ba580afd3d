// Paths as this platform knows them: delimiters, length limits, full paths and
// the current directory.
//
// Only support/platform/ calls the OS; everything above it works on Text.
#pragma once

#include "support/platform/io_code.h"
#include "support/text.h"

namespace quenmar::platform {

// Delimiters of the file-name operations. Windows takes "\" and ":"; POSIX takes "/"
// alone, where "\" and ":" are ordinary characters.
inline constexpr TextView kWindowsDelimiters = u"\\:";
inline constexpr TextView kPosixDelimiters = u"/";
extern const TextView kDelimiters;      // the delimiter set of this platform
extern const char16_t kPathSeparator;   // the separator this platform puts between folders

// Length limits in characters. On Windows these are the MAX_PATH rules; on POSIX
// they follow PATH_MAX.
extern const size_t kMaxFileNameLength;    // longest name a quiet file operation accepts
extern const size_t kMaxPathLength;        // a path this long or longer is too long
extern const size_t kMaxFolderPathLength;  // a folder to create this long or longer is too long

// True when Text holds a character no name of this platform may hold (NUL on
// POSIX).
bool HasInvalidNameChar(TextView text);

// Absolute path of Name with "." and ".." folded textually, resolved against the
// current directory; the file need not exist. Empty for an empty or unusable Name.
Text FullPath(TextView name);

Text GetCurrentDir();
IoCode SetCurrentDir(TextView path);

}  // namespace quenmar::platform
