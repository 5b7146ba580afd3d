// A folder held open by its handle. Every operation names an entry right inside
// the folder and is done relative to the handle, never through the folder's path:
// in a folder that others may write to (a group share, a network drive, /tmp),
// anyone can rename, exchange or replace a name with a link between two calls by
// path, but not the folder a handle holds.
//
// No operation follows a link in the entry it names; every file opened is a
// regular file, checked on the opened handle, and opening never blocks (a named
// pipe or a device is refused at once). On Windows, where the calls take paths,
// a private folder is held open without delete sharing for as long as the object
// lives, so that its path keeps leading to it, and reparse points in it are
// refused rather than followed.
//
// Failures come back as an IoStatus, as in files.h. Nothing here throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar::platform {

class Folder {
 public:
  Folder() = default;
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  Folder(Folder&& other) noexcept;
  Folder& operator=(Folder&& other) noexcept;
  ~Folder();

  // Opens the folder at Path (the current directory when empty), following links
  // on the way: the caller named it.
  static Folder Open(TextView path, IoStatus& status);

  bool IsOpen() const { return handle_ != -1; }
  // The path the folder was reached by, for messages (and on Windows for the
  // calls); ends in a separator unless empty.
  const Text& Path() const { return path_; }

  // Creates a folder named Prefix and 16 hexadecimal digits that its owner alone
  // may enter, opens it without following a link and checks that it is the one
  // made: a folder of this user, private, empty, on this folder's device. Name
  // receives its name. Another user who swaps the name meanwhile gets the access
  // denied (5) for the run, never a folder of theirs used for it.
  Folder CreatePrivateFolder(TextView prefix, Text& name, IoStatus& status);

  // Opens the subfolder Name without following a link; only a folder owned by
  // this user opens (otherwise the access denied, 5).
  Folder OpenOwnSubfolder(TextView name, IoStatus& status) const;

  // Creates the regular file Name, which must not exist (no link followed), with
  // the exclusive lock archive files take from the moment it bears Name. Permissions are the POSIX permission
  // bits it is made with (the process's umask applies); Windows ignores them.
  File NewFile(TextView name, IoStatus& status, uint32_t permissions = 0600) const;
  // Opens the existing regular file Name as File::Open opens a path, without
  // following a link.
  File OpenFile(TextView name, FileAccess access, FileShare share, IoStatus& status) const;

  // Gives the file Name in this folder the mark of the web Mark (web_mark.h),
  // written through to the disk; a mark longer than kLongestWebMark is written as
  // kInternetZoneMark. On a volume that keeps no streams (FAT, many
  // network shares) nothing is written and nothing fails, as when Windows copies
  // a marked file there; elsewhere than on Windows nothing is written at all.
  IoStatus WriteWebMark(TextView name, const std::string& mark) const;

  // Removes the file (or link) Name; read-only files too.
  IoStatus RemoveEntry(TextView name) const;
  // Moves the file Name of this folder to TargetName in Target, replacing a file
  // there, but not one that another opener holds (see MoveIntoPlace in files.h).
  IoStatus MoveInto(TextView name, const Folder& target, TextView targetName) const;

  // Has the system put the folder's entries on the disk, so that a file moved into
  // it is found there after a crash or a power cut. Windows offers no flush of a
  // folder that programs may rely on: nothing is done there.
  IoStatus FlushToDisk() const;

  // Whether this user may make files in the folder, asked without making one.
  IoStatus CheckWritable() const;

  // The bytes this user may still write on the folder's volume.
  IoStatus FreeSpace(uint64_t& bytes) const;

  // Calls Visit with the name of every entry right inside the folder and whether
  // it is a folder (a link is not), in directory order.
  IoStatus List(const std::function<void(const Text& name, bool isFolder)>& visit) const;

  // Removes everything inside the folder, folders below it by their own handles;
  // never follows a link, never changes a permission through a path. False when
  // something could not be removed.
  bool RemoveContents() const;
  // Removes the subfolder Name of this folder when it is still Child (the same
  // folder by device and inode, not whatever bears the name now), Child's
  // contents first. Child is closed afterwards. False when something stayed.
  bool RemoveSubfolder(TextView name, Folder& child) const;

  void Close();

 private:
  static Folder Adopt(intptr_t handle, uint64_t device, uint64_t inode, Text path);
  IoStatus WriteNativeWebMark(TextView name, const std::string& mark) const;

  intptr_t handle_ = -1;  // a file descriptor, or a HANDLE on Windows
  Text path_;
  uint64_t device_ = 0, inode_ = 0;  // POSIX: what the handle holds
};

}  // namespace quenmar::platform
