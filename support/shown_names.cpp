#include "support/shown_names.h"

namespace quenmar {
namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);  // Latin-1, but for the division sign
  if (c == 0xFF) return 0x178;
  // Latin Extended-A pairs: upper on even code points, then (from U+0139 to
  // U+0148 and from U+0179) on odd ones; U+0131 and U+0138 stand alone.
  if (c >= 0x100 && c <= 0x137) return (c & 1) && c != 0x131 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x139 && c <= 0x148) return (c & 1) == 0 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x14A && c <= 0x177) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) == 0 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);  // Greek
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

}  // namespace

Text EscapeControls(TextView text) {
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  Text shown;
  shown.reserve(text.size());
  for (const char16_t c : text) {
    if (!IsControl(c)) {
      shown += c;
      continue;
    }
    shown += u"\\x";
    shown += kHex[(c >> 4) & 0xF];
    shown += kHex[c & 0xF];
  }
  return shown;
}

bool HasCharForbiddenOnWindows(TextView name) {
  for (const char16_t c : name) {
    if (c < 0x20 || c == u'"' || c == u'<' || c == u'>' || c == u'|' || c == u'?' || c == u'*') return true;
  }
  return false;
}

char16_t CaseFoldedUnit(char16_t c) { return Upper(c); }

}  // namespace quenmar
