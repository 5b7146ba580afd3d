#include "conversion/scratch_folder.h"

#include <vector>

#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/folders.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

constexpr char16_t kPrefix[] = u".quenmar-";
constexpr char16_t kLockName[] = u"lock";

// ".quenmar-" and exactly 16 lowercase hexadecimal digits.
bool IsOurName(const Text& name) {
  const TextView prefix(kPrefix);
  if (name.size() != prefix.size() + 16 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    const char16_t c = name[i];
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  }
  return true;
}

Text WithSeparator(TextView folder) {
  Text path(folder.empty() ? TextView(u".") : folder);
  if (platform::kDelimiters.find(path.back()) == TextView::npos && path.back() != platform::kPathSeparator) {
    path += platform::kPathSeparator;
  }
  return path;
}

}  // namespace

void RemoveAbandonedScratchFolders(TextView parent) {
  const Text where = WithSeparator(parent);
  std::vector<Text> candidates;
  (void)platform::ListFolder(where, [&](const Text& name, bool isFolder) {
    if (isFolder && IsOurName(name)) candidates.push_back(name);
  });
  for (const Text& name : candidates) {
    const Text folder = where + name;
    platform::IoStatus status;
    // Taken only when no run holds it; a folder without our lock file is not ours
    // to judge.
    platform::File lock = platform::File::Open(folder + platform::kPathSeparator + kLockName,
                                               platform::FileAccess::kRead, platform::FileShare::kExclusive, status);
    if (!status.Ok()) continue;
    (void)lock.Close();  // a file held open cannot be removed on Windows
    platform::RemoveTree(folder);
  }
}

ScratchFolder::ScratchFolder(TextView parent) {
  RemoveAbandonedScratchFolders(parent);
  const Text where = parent.empty() ? Text(u".") : Text(parent);
  Text created;
  platform::IoStatus status = platform::CreateUniqueFolder(where, kPrefix, created);
  if (status.Ok()) {
    // Absolute, so paths inside it need no look at the current directory.
    const Text full = FullFileName(created);
    path_ = (full.empty() ? created : full) + platform::kPathSeparator;
    lock_ = platform::CreateLockedFile(path_ + kLockName, status);
    if (!status.Ok()) platform::RemoveTree(path_);
  }
  if (!status.Ok()) {
    Text full = FullFileName(where);
    if (full.empty()) full = where;
    throw EFCreateError(CannotCreateMessage(full, status.reason));
  }
}

ScratchFolder::~ScratchFolder() {
  (void)lock_.Close();
  platform::RemoveTree(path_);
}

Text ScratchFolder::FilePath(TextView name) const {
  if (name.empty() || name == u"." || name == u".." || name.find_first_of(u"/\\:") != TextView::npos ||
      platform::HasInvalidNameChar(name) || name == kLockName) {
    throw EArgumentException(u"Scratch name leads outside its folder");
  }
  return path_ + Text(name);
}

}  // namespace quenmar
