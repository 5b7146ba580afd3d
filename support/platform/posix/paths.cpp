#include "support/platform/paths.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "support/platform/posix/errors.h"
#include "support/platform/posix/native.h"
#include "support/utf8.h"

namespace quenmar::platform {

using posix::FromNative;
using posix::ToNative;

const TextView kDelimiters = kPosixDelimiters;
const char16_t kPathSeparator = u'/';
const size_t kMaxFileNameLength = PATH_MAX - 1;
const size_t kMaxPathLength = PATH_MAX;
const size_t kMaxFolderPathLength = PATH_MAX;

bool HasInvalidNameChar(TextView text) { return text.find(u'\0') != TextView::npos; }


// True when Name is absolute and has nothing to fold: no "." or ".." segment and
// no doubled separator.
bool AlreadyFull(TextView name) {
  if (name.empty() || name.front() != u'/') return false;
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] != u'/') continue;
    const char16_t next = name[i + 1];
    if (next == u'/') return false;
    if (next == u'.' && (i + 2 == name.size() || name[i + 2] == u'/' ||
                         (name[i + 2] == u'.' && (i + 3 == name.size() || name[i + 3] == u'/')))) {
      return false;
    }
  }
  return true;
}

Text FullPath(TextView name) {
  if (name.empty() || name.find(u'\0') != TextView::npos) return Text();
  if (AlreadyFull(name)) return Text(name);
  Text joined;
  if (name.front() != u'/') {
    joined = GetCurrentDir();
    if (joined.empty()) return Text();
    joined += u'/';
  }
  joined += name;
  std::vector<Text> parts;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find(u'/', start);
    if (end == Text::npos) end = joined.size();
    Text part = joined.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  Text result;
  for (const Text& part : parts) result += u"/" + part;
  if (result.empty()) result = u"/";
  // A name that names a folder by its trailing separator keeps it.
  if (result.size() > 1 && (name.back() == u'/' || joined.back() == u'/')) result += u'/';
  return result;
}

Text GetCurrentDir() {
  std::vector<char> buffer(PATH_MAX + 1);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Text();
    buffer.resize(buffer.size() * 2);
  }
  return FromNative(buffer.data());
}

IoCode SetCurrentDir(TextView path) {
  const std::string native = ToNative(path);
  if (::chdir(native.c_str()) != 0) return posix::StatusFromErrno(errno, native).code;
  return IoCode::kOk;
}

}  // namespace quenmar::platform
