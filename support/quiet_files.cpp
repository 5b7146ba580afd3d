#include "support/quiet_files.h"

#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/files.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

bool TooLong(TextView name) { return name.size() > platform::kMaxFileNameLength; }

}  // namespace

bool FileCanBeOpened(TextView name) {
  if (name.empty() || TooLong(name)) return false;
  platform::IoStatus status;
  platform::File file = platform::File::Open(name, platform::FileAccess::kReadWrite,
                                             platform::FileShare::kShared, status);
  if (status.Ok()) {
    const platform::IoStatus closed = file.Close();
    if (!closed.Ok()) throw EInOutError(closed.code, name);
    return true;
  }
  // Someone has it: it exists, whether or not we may have it now.
  return status.code == platform::IoCode::kAccessDenied || status.code == platform::IoCode::kSharingViolation;
}

void DeleteFileQuiet(TextView name) {
  if (TooLong(name)) return;
  (void)platform::RemoveFile(name);
}

void RenameFileReplace(TextView oldName, TextView newName) {
  if (TooLong(oldName) || TooLong(newName)) return;
  const Text to = FullFileName(newName);
  const Text from = FullFileName(oldName);
  if (from.empty() || to.empty() || from == to) return;
  (void)platform::RenameFile(from, to);
}

}  // namespace quenmar
