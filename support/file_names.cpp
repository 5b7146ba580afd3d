#include "support/file_names.h"

namespace quenmar {
namespace {

size_t LastDelimiter(TextView name, TextView delimiters) { return name.find_last_of(delimiters); }

}  // namespace

Text FilePathOf(TextView name, TextView delimiters) {
  const size_t at = LastDelimiter(name, delimiters);
  return at == TextView::npos ? Text() : Text(name.substr(0, at + 1));
}

Text FileNameOf(TextView name, TextView delimiters) {
  const size_t at = LastDelimiter(name, delimiters);
  return at == TextView::npos ? Text(name) : Text(name.substr(at + 1));
}

Text FileExtOf(TextView name, TextView delimiters) {
  Text stops(delimiters);
  stops += u'.';
  const size_t at = name.find_last_of(stops);
  if (at == TextView::npos || name[at] != u'.') return Text();
  return Text(name.substr(at));
}

Text ReplaceFileExt(TextView name, TextView ext, TextView delimiters) {
  const size_t extLength = FileExtOf(name, delimiters).size();
  Text result(name.substr(0, name.size() - extLength));
  result += ext;
  return result;
}

Text StripFileExt(TextView name, TextView delimiters) { return ReplaceFileExt(name, u"", delimiters); }

Text FullFileName(TextView name) { return platform::FullPath(name); }

}  // namespace quenmar
