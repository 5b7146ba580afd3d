#include "support/text.h"

namespace quenmar {

Text SubText(TextView s, long long index, long long count) {
  if (index < 1) index = 1;
  const auto length = static_cast<long long>(s.size());
  if (index > length || count <= 0) return Text();
  const long long available = length - index + 1;
  return Text(s.substr(static_cast<size_t>(index - 1),
                       static_cast<size_t>(count < available ? count : available)));
}

void DeleteText(Text& s, long long index, long long count) {
  const auto length = static_cast<long long>(s.size());
  if (index < 1 || index > length || count <= 0) return;
  const long long available = length - index + 1;
  s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count < available ? count : available));
}

void InsertText(TextView source, Text& s, long long index) {
  if (source.empty()) return;
  const auto length = static_cast<long long>(s.size());
  if (index < 1) index = 1;
  if (index > length + 1) index = length + 1;
  s.insert(static_cast<size_t>(index - 1), source);
}

long long FindSubText(TextView sub, TextView s) {
  if (sub.empty() || s.empty()) return 0;
  const size_t at = s.find(sub);
  return at == TextView::npos ? 0 : static_cast<long long>(at) + 1;
}

}  // namespace quenmar
