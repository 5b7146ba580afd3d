#include "support/platform/letters.h"

#include <locale.h>
#include <wctype.h>

namespace quenmar::platform {

Text LowerCase(TextView text) {
  // The process's own locale may be "C", which knows only ASCII letters.
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  Text lower(text);
  for (char16_t& c : lower) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const wint_t folded = unicode != static_cast<locale_t>(nullptr) ? towlower_l(c, unicode) : towlower(c);
    if (folded <= 0xFFFF) c = static_cast<char16_t>(folded);
  }
  return lower;
}

}  // namespace quenmar::platform
