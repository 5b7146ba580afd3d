// Matching names against a directory-search mask, the same on every platform.
#include "support/platform/folders.h"

namespace quenmar::platform {
namespace {

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool MatchFrom(TextView name, size_t n, TextView mask, size_t m) {
  while (m < mask.size()) {
    if (mask[m] == u'*') {
      while (m < mask.size() && mask[m] == u'*') ++m;
      if (m == mask.size()) return true;
      for (size_t k = n; k <= name.size(); ++k) {
        if (MatchFrom(name, k, mask, m)) return true;
      }
      return false;
    }
    if (n >= name.size()) return false;
    if (mask[m] != u'?' && AsciiUpper(mask[m]) != AsciiUpper(name[n])) return false;
    ++n;
    ++m;
  }
  return n == name.size();
}

}  // namespace

bool MatchesMask(TextView name, TextView mask) { return MatchFrom(name, 0, mask, 0); }

std::optional<Text> FindFirstMatch(TextView folder, TextView mask) {
  std::optional<Text> first;
  ForEachMatch(folder, mask, [&](const Text& name) {
    first = name;
    return false;
  });
  return first;
}

}  // namespace quenmar::platform
