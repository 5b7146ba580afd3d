#include "conversion/scratch_folder.h"

#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/folders.h"
#include "support/platform/paths.h"

namespace quenmar {

ScratchFolder::ScratchFolder(TextView parent) {
  const Text where = parent.empty() ? Text(u".") : Text(parent);
  Text created;
  const platform::IoStatus status = platform::CreateUniqueFolder(where, u".quenmar-", created);
  if (!status.Ok()) {
    Text full = FullFileName(where);
    if (full.empty()) full = where;
    throw EFCreateError(CannotCreateMessage(full, status.reason));
  }
  // Absolute, so paths inside it need no look at the current directory.
  const Text full = FullFileName(created);
  path_ = (full.empty() ? created : full) + platform::kPathSeparator;
}

ScratchFolder::~ScratchFolder() { platform::RemoveTree(path_); }

Text ScratchFolder::FilePath(TextView name) const {
  if (name.empty() || name == u"." || name == u".." || name.find_first_of(u"/\\:") != TextView::npos ||
      platform::HasInvalidNameChar(name)) {
    throw EArgumentException(u"Scratch name leads outside its folder");
  }
  return path_ + Text(name);
}

}  // namespace quenmar
