// Splitting file names into folder, name and extension.
//
// The delimiters are a parameter that defaults to this platform's set ("/" on
// POSIX; "\" and ":" on Windows). Archive entry names are not paths of this
// machine: code that works on them passes platform::kWindowsDelimiters so its
// result is the same everywhere. The extension runs from the last "." that follows
// every delimiter, dot included.
#pragma once

#include "support/platform/paths.h"
#include "support/text.h"

namespace quenmar {

// Name up to and including its last delimiter; empty when it has none.
Text FilePathOf(TextView name, TextView delimiters = platform::kDelimiters);
// What follows the last delimiter; all of Name when it has none.
Text FileNameOf(TextView name, TextView delimiters = platform::kDelimiters);
// From the last "." to the end when no delimiter follows it; else empty.
Text FileExtOf(TextView name, TextView delimiters = platform::kDelimiters);
// Name without the extension FileExtOf finds, followed by Ext.
Text ReplaceFileExt(TextView name, TextView ext, TextView delimiters = platform::kDelimiters);
// Name without its extension.
Text StripFileExt(TextView name, TextView delimiters = platform::kDelimiters);
// The absolute, normalised path of Name; empty for an empty or unusable Name.
Text FullFileName(TextView name);

}  // namespace quenmar
