#include "support/fields.h"

namespace quenmar {
namespace {

constexpr char16_t kQuote = u'"';

}  // namespace

Text ExtractField(bool trim, TextView sep, Text& source) {
  bool quoted = false;
  long long pos = 0;
  if (!source.empty() && source.front() == kQuote && sep != u"\x01" && sep != u"\"") {
    quoted = true;
    source.erase(0, 1);
    bool done = false;
    pos = 1;
    long long quotes = 1;
    const auto length = static_cast<long long>(source.size());
    while (pos <= length && !done) {
      const char16_t c = source[static_cast<size_t>(pos - 1)];
      if (c == kQuote) ++quotes;
      if (sep.size() == 1 && c == sep.front()) done = quotes % 2 == 0;
      if (!done) ++pos;
    }
    if (!done && quotes % 2 == 0) done = true;  // pos is length + 1 here
    if (done) {
      if (pos >= 2 && source[static_cast<size_t>(pos - 2)] == kQuote) {
        source.erase(static_cast<size_t>(pos - 2), 1);
        --pos;
      } else {
        // No closing quote before the separator: the field is taken as written.
        source.insert(source.begin(), kQuote);
        ++pos;
      }
    }
  } else {
    pos = FindSubText(sep, source);
    if (pos == 0) pos = static_cast<long long>(source.size()) + 1;
  }

  Text field = SubText(source, 1, pos - 1);
  if (trim) field = TrimTrailingSpaces(field);
  DeleteText(source, 1, pos + static_cast<long long>(sep.size()) - 1);

  if (quoted) {
    const size_t pair = field.find(u"\"\"");
    if (pair != Text::npos) {
      Text unescaped;
      unescaped.reserve(field.size());
      for (size_t i = 0; i < field.size(); ++i) {
        unescaped += field[i];
        if (field[i] == kQuote && i + 1 < field.size() && field[i + 1] == kQuote) ++i;
      }
      field = std::move(unescaped);
      quoted = false;
    }
  }
  if (quoted && !field.empty() && field.back() == kQuote) field.pop_back();
  return field;
}

Text NextField(TextView sep, Text& source) { return ExtractField(false, sep, source); }

Text TrimTrailingSpaces(TextView text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return Text(text.substr(0, end));
}

}  // namespace quenmar
