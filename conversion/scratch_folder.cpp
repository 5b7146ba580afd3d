#include "conversion/scratch_folder.h"

#include <string>
#include <vector>

#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/paths.h"
#include "support/platform/web_mark.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr char16_t kPrefix[] = u".quenmar-";
constexpr size_t kFolderNameLength = 9 + 16;
constexpr char16_t kLockName[] = u"lock";

// ".quenmar-" and exactly 16 lowercase hexadecimal digits.
bool IsOurName(const Text& name) {
  const TextView prefix(kPrefix);
  if (name.size() != kFolderNameLength || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    const char16_t c = name[i];
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  }
  return true;
}

// One plain component of the run's own.
void CheckScratchName(TextView name) {
  if (name.empty() || name == u"." || name == u".." || name.find_first_of(u"/\\:") != TextView::npos ||
      platform::HasInvalidNameChar(name) || name == kLockName ||
      name.size() > kLongestScratchName) {
    throw EArgumentException(u"Scratch name leads outside its folder");
  }
}

Text FullOrAsIs(TextView path) {
  Text full = FullFileName(path.empty() ? TextView(u".") : path);
  return full.empty() ? Text(path) : full;
}

// Removes the private folders of earlier runs in Parent: folders of this user
// whose lock file is a regular file that no run holds. Each is reached by handle
// and emptied by handles, so a name swapped for a link meanwhile leads nowhere.
void RemoveAbandonedScratchFolders(const platform::Folder& parent) {
  std::vector<Text> candidates;
  (void)parent.List([&](const Text& name, bool isFolder) {
    if (isFolder && IsOurName(name)) candidates.push_back(name);
  });
  for (const Text& name : candidates) {
    platform::IoStatus status;
    platform::Folder leftover = parent.OpenOwnSubfolder(name, status);
    if (!status.Ok()) continue;  // another user's, or no folder any more
    // Taken only when no run holds it; a folder without our lock file is not ours
    // to judge.
    platform::File lock = leftover.OpenFile(kLockName, platform::FileAccess::kRead, platform::FileShare::kExclusive,
                                            status);
    if (!status.Ok()) continue;
    (void)lock.Close();  // a file held open cannot be removed on Windows
    (void)parent.RemoveSubfolder(name, leftover);
  }
}

}  // namespace

void CheckScratchPathLength(TextView parent) {
  const Text full = FullOrAsIs(parent);
  // The folder, its separator, the private folder's name and separator, a name.
  if (full.size() + 1 + kFolderNameLength + 1 + kLongestScratchName >= platform::kMaxPathLength) {
    throw EPathTooLongException(kPathTooLong);
  }
}

void CheckRunCanWrite(TextView parent) {
  CheckScratchPathLength(parent);
  platform::IoStatus status;
  const platform::Folder folder = platform::Folder::Open(parent, status);
  if (status.Ok()) status = folder.CheckWritable();
  if (!status.Ok()) throw EFCreateError(CannotCreateMessage(FullOrAsIs(parent), status.reason), status.code);
}

ScratchFolder::ScratchFolder(TextView parent) {
  CheckScratchPathLength(parent);
  platform::IoStatus status;
  parent_ = platform::Folder::Open(parent, status);
  if (status.Ok()) {
    RemoveAbandonedScratchFolders(parent_);
    folder_ = parent_.CreatePrivateFolder(kPrefix, name_, status);
  }
  if (status.Ok()) {
    // Locked from the moment it bears its name, so a run clearing leftovers never
    // finds it unlocked while we live.
    lock_ = folder_.NewFile(kLockName, status);
    if (!status.Ok()) (void)parent_.RemoveSubfolder(name_, folder_);
  }
  if (!status.Ok()) throw EFCreateError(CannotCreateMessage(FullOrAsIs(parent), status.reason), status.code);
}

ScratchFolder::~ScratchFolder() {
  (void)lock_.Close();
  if (!folder_.IsOpen()) return;
  // The lock file goes last, and only once everything else went: a folder the
  // system would not let us empty keeps it, and with it the next run's leave to
  // remove the folder.
  std::vector<Text> names;
  bool emptied = folder_.List([&](const Text& name, bool) { names.push_back(name); }).Ok();
  for (const Text& name : names) {
    if (name != kLockName) emptied = folder_.RemoveEntry(name).Ok() && emptied;
  }
  if (emptied && !parent_.RemoveSubfolder(name_, folder_)) {
    // The folder stayed, empty: a lock file in it again, held by no one, lets the
    // next run clear it. Not in a folder that now bears its name with anything
    // in it: that one is not ours.
    platform::IoStatus status;
    const platform::Folder left = parent_.OpenOwnSubfolder(name_, status);
    bool empty = status.Ok();
    if (empty) status = left.List([&](const Text&, bool) { empty = false; });
    if (empty && status.Ok()) (void)left.NewFile(kLockName, status);
  }
}

std::unique_ptr<TFileStream> ScratchFolder::NewFile(TextView name, bool buffered, uint32_t permissions) const {
  CheckScratchName(name);
  platform::IoStatus status;
  platform::File file = folder_.NewFile(name, status, permissions);
  const Text path = Path() + Text(name);
  if (!status.Ok()) throw EFCreateError(CannotCreateMessage(FullOrAsIs(path), status.reason), status.code);
  return std::make_unique<TFileStream>(std::move(file), path, TFileMode::kCreate, buffered);
}

std::unique_ptr<TFileStream> ScratchFolder::OpenFile(TextView name, TFileMode mode) const {
  CheckScratchName(name);
  const bool reading = mode == TFileMode::kOpenRead;
  platform::IoStatus status;
  platform::File file = folder_.OpenFile(name, reading ? platform::FileAccess::kRead : platform::FileAccess::kReadWrite,
                                         platform::FileShare::kExclusive, status);
  const Text path = Path() + Text(name);
  if (!status.Ok()) {
    if (reading) throw EFOpenError(CannotOpenMessage(FullOrAsIs(path), status.reason), status.code);
    throw EFCreateError(CannotCreateMessage(FullOrAsIs(path), status.reason), status.code);
  }
  return std::make_unique<TFileStream>(std::move(file), path, mode);
}

void ScratchFolder::RequireRoom(uint64_t bytes) const {
  uint64_t free = 0;
  if (bytes == 0 || !folder_.FreeSpace(free).Ok() || bytes <= free) return;  // the writes will tell
  throw EWriteError(u"Stream write error. There is not enough space on the disk (" +
                    Utf8ToText(std::to_string(bytes)) + u" bytes needed, " + Utf8ToText(std::to_string(free)) +
                    u" free)",
                    platform::IoCode::kDiskFull);
}

void ScratchFolder::RemoveFile(TextView name) const {
  CheckScratchName(name);
  (void)folder_.RemoveEntry(name);
}

void ScratchFolder::MarkFile(TextView name, const std::string& mark) const {
  CheckScratchName(name);
  const platform::IoStatus status = folder_.WriteWebMark(name, mark);
  if (status.Ok()) return;
  const Text stream = Path() + Text(name) + platform::kWebMarkStream;
  throw EFCreateError(CannotCreateMessage(FullOrAsIs(stream), status.reason), status.code);
}

void ScratchFolder::MoveOut(TextView name, TextView targetName, TextView shownTarget) const {
  CheckScratchName(name);
  const platform::IoStatus moved = folder_.MoveInto(name, parent_, targetName);
  if (!moved.Ok()) throw EFCreateError(CannotCreateMessage(shownTarget, moved.reason), moved.code);
  // The move itself on the disk. Its failure is not the run's: the output stands
  // complete under its name, its bytes on the disk, and a crash could at worst
  // bring back the earlier output, complete as well.
  (void)parent_.FlushToDisk();
}

}  // namespace quenmar
