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

IoCode CodeFor(int err, const std::string& path) {
  switch (err) {
    case 0: return IoCode::kOk;
    case ENOENT: return ParentFolderMissing(path) ? IoCode::kPathNotFound : IoCode::kFileNotFound;
    case ENOTDIR: return IoCode::kPathNotFound;
    case ENAMETOOLONG: return IoCode::kPathNotFound;
    case EACCES: case EPERM: case EISDIR: case EROFS: return IoCode::kAccessDenied;
    case EWOULDBLOCK: return IoCode::kSharingViolation;
    case EMFILE: case ENFILE: return IoCode::kTooManyOpenFiles;
    case ENOSPC: return IoCode::kDiskFull;
    case EEXIST: return IoCode::kFileExists;
    case EXDEV: return IoCode::kNotSameDevice;
    case ENOTEMPTY: return IoCode::kDirectoryNotEmpty;
    default: return static_cast<IoCode>(10000 + err);  // no Windows equivalent: a code of its own
  }
}

}  // namespace

IoStatus StatusFromErrno(int err, const std::string& path) {
  IoStatus status;
  status.code = CodeFor(err, path);
  if (!status.Ok()) {
    status.reason = Utf8ToText(std::strerror(err));
  }
  return status;
}

}  // namespace quenmar::platform::posix

namespace quenmar::platform::faults {

std::vector<NativeError> SampleErrors() {
  return {{EIO, "EIO", posix::StatusFromErrno(EIO).reason}, {ENOSPC, "ENOSPC", posix::StatusFromErrno(ENOSPC).reason}};
}

}  // namespace quenmar::platform::faults
