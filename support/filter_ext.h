// The extension a file-dialog filter gives a file name.
//
// A filter string is "description|pattern|description|pattern|...", filters
// numbered from 1. The extension of filter k is what follows the first "." of its
// pattern ("*.ZIP" gives "ZIP"; "*.ZIP;*.JAR" gives "ZIP;*.JAR"; a pattern without
// a dot is taken whole).
#pragma once

#include "support/platform/paths.h"
#include "support/text.h"

namespace quenmar {

// Gives Name the extension of filter FilterIndex in place of its own. Returns false,
// leaving Name as it was, when that extension is "*". An index past the last
// filter takes the last field of the string.
bool ApplyFilterExt(Text& name, TextView filter, int filterIndex,
                    TextView delimiters = platform::kDelimiters);

}  // namespace quenmar
