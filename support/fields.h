// Splitting a text into separator-delimited fields, with double-quoted fields.
#pragma once

#include "support/text.h"

namespace quenmar {

// Takes the first field off Source and removes it and the separator after it. A
// field that starts with a double quote is read by the quoting rules: it runs to
// the first separator that follows an even number of quotes, its enclosing quotes
// are dropped and doubled quotes inside it become one. With Trim, trailing blanks
// of the field go.
Text ExtractField(bool trim, TextView sep, Text& source);

// ExtractField without trimming.
Text NextField(TextView sep, Text& source);

// Text without its trailing blanks (U+0020 only).
Text TrimTrailingSpaces(TextView text);

}  // namespace quenmar
