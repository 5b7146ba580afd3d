// Text model and the basic text operations every part of the program uses.
//
// Text is UTF-16 (std::u16string): lengths and positions count code units, and
// positions are 1-based. Equality is exact, code unit by code unit. Positions and
// counts out of range are clamped as each function states; nothing here fails.
#pragma once

#include <string>
#include <string_view>

namespace quenmar {

using Text = std::u16string;
using TextView = std::u16string_view;

// At most Count characters of S from position Index on. Index below 1 counts as 1
// (without shortening the result); Index past the end or Count below 0 gives "".
Text SubText(TextView s, long long index, long long count);

// Removes at most Count characters from position Index on. Does nothing when Index
// is below 1 or past the end, or Count is 0 or less.
void DeleteText(Text& s, long long index, long long count);

// Inserts Source so that its first character lands at Index. Index below 1 inserts
// at the front, past length(S) + 1 appends.
void InsertText(TextView source, Text& s, long long index);

// Position of the first occurrence of Sub in S, or 0 when absent or either is empty.
long long FindSubText(TextView sub, TextView s);

}  // namespace quenmar
