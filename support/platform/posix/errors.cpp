#include "support/platform/posix/errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "support/utf8.h"

namespace quenmar::platform::posix {
namespace {

bool ParentFolderMissing(const std::string& path) {
  if (path.empty()) return false;
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return false;
  const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
  struct stat st;
  return ::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

int CodeFor(int err, const std::string& path) {
  switch (err) {
    case 0: return 0;
    case ENOENT: return ParentFolderMissing(path) ? 3 : 2;
    case ENOTDIR: return 3;
    case ENAMETOOLONG: return 3;
    case EACCES: case EPERM: case EISDIR: case EROFS: return 5;
    case EWOULDBLOCK: return 32;
    case EMFILE: case ENFILE: return 4;
    case ENOSPC: return 112;
    case EEXIST: return 80;
    case EXDEV: return 17;
    case ENOTEMPTY: return 145;
    default: return 10000 + err;  // no Windows equivalent: a code of its own
  }
}

}  // namespace

IoStatus StatusFromErrno(int err, const std::string& path) {
  IoStatus status;
  status.code = CodeFor(err, path);
  if (status.code != 0) {
    status.reason = Utf8ToText(std::strerror(err));
  }
  return status;
}

}  // namespace quenmar::platform::posix
