#include "archive/entry_path.h"

#include "support/exceptions.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

void CheckCharacters(TextView text) {
  if (platform::HasInvalidNameChar(text)) throw EArgumentException(kInvalidPathCharacters);
}

// Raises for a rooted name or one with a ".." component.
void CheckContained(TextView name) {
  const bool rooted = (!name.empty() && IsSeparator(name.front())) ||
                      (name.size() >= 2 && name[1] == u':' && IsAsciiLetter(name[0]));
  bool climbs = false;
  size_t start = 0;
  while (start <= name.size() && !climbs) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    climbs = name.substr(start, end - start) == u"..";
    start = end + 1;
  }
  if (rooted || climbs) throw EArgumentException(kLeadsOutside);
}

}  // namespace

void CheckEntryName(TextView name) {
  CheckCharacters(name);
  CheckContained(name);
}

Text EntryNameToPath(TextView name) {
  Text path(name);
  for (char16_t& c : path) {
    if (IsSeparator(c)) c = platform::kPathSeparator;
  }
  return path;
}

Text JoinEntryPath(TextView folder, TextView name) {
  // Checked here too, so that no caller can join its way out of the folder.
  CheckContained(name);
  if (folder.empty()) return Text(name);
  if (name.empty()) return Text(folder);
  CheckCharacters(folder);
  CheckCharacters(name);
  Text joined(folder);
  if (platform::kDelimiters.find(joined.back()) == TextView::npos && !IsSeparator(joined.back())) {
    joined += platform::kPathSeparator;
  }
  joined += name;
  return joined;
}

}  // namespace quenmar
