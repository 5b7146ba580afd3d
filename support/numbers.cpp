#include "support/numbers.h"

#include <string>

namespace quenmar {
namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

Text PlainDecimal(int32_t value) {
  const std::string digits = std::to_string(value);
  return Text(digits.begin(), digits.end());
}

ParseResult Fail(size_t index) { return ParseResult{0, static_cast<long long>(index) + 1}; }

}  // namespace

ParseResult ParseInteger(TextView text) {
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return Fail(i);

  if (hex) {
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
      const int digit = HexDigit(text[i]);
      if (digit < 0 || value >= (1u << 28)) return Fail(i);
      value = value * 16 + static_cast<uint32_t>(digit);
    }
    if (negative) value = 0u - value;
    return ParseResult{static_cast<int32_t>(value), 0};
  }

  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9' || value > 214748364) return Fail(i);
    value = value * 10 + (c - u'0');
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return Fail(text.size());
  return ParseResult{static_cast<int32_t>(value), 0};
}

int32_t StrToIntZero(TextView text) {
  const ParseResult result = ParseInteger(text);
  return result.errorPos == 0 ? result.value : 0;
}

Text IntToStrWidth(int32_t value, int32_t width) {
  Text form = PlainDecimal(value);
  if (width > 255) width = 255;
  if (width > 0 && form.size() < static_cast<size_t>(width)) {
    form.insert(0, static_cast<size_t>(width) - form.size(), u' ');
  }
  return form;
}

Text IntToStrZero(int32_t value, int32_t width) {
  Text form = PlainDecimal(value);
  if (static_cast<long long>(form.size()) < width) {
    long long zeros = width - static_cast<long long>(form.size());
    if (zeros > 11) zeros = 11;
    form.insert(0, static_cast<size_t>(zeros), u'0');
  }
  return form;
}

}  // namespace quenmar
