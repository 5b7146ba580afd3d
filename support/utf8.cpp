#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Valid range of the second byte of a sequence for a given lead byte; later
// continuation bytes are always 80..BF. Returns the total length, 0 for a byte
// that cannot start a sequence.
int SequenceShape(unsigned char lead, unsigned char& lo, unsigned char& hi) {
  lo = 0x80;
  hi = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead == 0xE0) { lo = 0xA0; return 3; }
  if (lead >= 0xE1 && lead <= 0xEC) return 3;
  if (lead == 0xED) { hi = 0x9F; return 3; }
  if (lead >= 0xEE && lead <= 0xEF) return 3;
  if (lead == 0xF0) { lo = 0x90; return 4; }
  if (lead >= 0xF1 && lead <= 0xF3) return 4;
  if (lead == 0xF4) { hi = 0x8F; return 4; }
  return 0;
}

// Decodes one sequence at bytes[i]; advances i past the sequence or past its
// maximal invalid subpart. Returns the code point, or -1 for an invalid subpart.
long DecodeOne(std::string_view bytes, size_t& i) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  unsigned char lo, hi;
  const int length = SequenceShape(lead, lo, hi);
  if (length == 0) { ++i; return -1; }
  if (length == 1) { ++i; return lead; }
  long cp = lead & (0x7F >> length);
  size_t j = i + 1;
  for (int k = 1; k < length; ++k, ++j) {
    if (j >= bytes.size()) { i = j; return -1; }
    const auto b = static_cast<unsigned char>(bytes[j]);
    const unsigned char min = k == 1 ? lo : 0x80;
    const unsigned char max = k == 1 ? hi : 0xBF;
    if (b < min || b > max) { i = j; return -1; }
    cp = (cp << 6) | (b & 0x3F);
  }
  i = j;
  return cp;
}

void AppendUtf8(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

long DecodeUtf8At(std::string_view bytes, size_t& i) { return DecodeOne(bytes, i); }

Text Utf8ToText(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  ForEachUtf16Unit(bytes, [&out](char16_t unit) { out += unit; });
  return out;
}

std::string TextToUtf8(TextView text) {
  // The ASCII start of the text (for most paths and names, all of it) is copied
  // unit for byte.
  size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  std::string out(ascii, '\0');
  for (size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(text[i]);
  if (ascii == text.size()) return out;
  out.reserve(text.size() + (text.size() - ascii) * 2);
  for (size_t i = ascii; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {  // most names are ASCII
      out.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<unsigned long>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

}  // namespace quenmar
