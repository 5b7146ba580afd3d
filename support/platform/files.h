// Files of the OS: an owning handle with the operations the streams need, and the
// one-shot operations delete, rename and the existence checks.
//
// Failures come back as an IoStatus: the I/O result code (io_code.h, in the
// Windows numbering) and the platform's own text for it. Nothing here throws.
#pragma once

#include <cstdint>
#include <memory>

#include "support/platform/io_code.h"
#include "support/text.h"

namespace quenmar::platform {

struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct IoStatus {
  IoCode code = IoCode::kOk;
  Text reason;  // the platform's text for the error; empty on success
  bool Ok() const { return code == IoCode::kOk; }
};

enum class FileAccess {
  kRead,        // existing file, read only
  kReadWrite,   // existing file, read and write
  kCreate,      // read and write; created, or emptied when it exists
  kOverwrite,   // read and write; created, or kept as it is for the caller to overwrite
};

enum class FileShare {
  kExclusive,  // refuse every other opener that asks for the same (sharing violation, 32)
  kReaders,    // let others read meanwhile, refuse those who would write (or lock exclusively)
  kShared,     // let others read and write meanwhile
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  // Opens the regular file at Path. Opening never blocks: a named pipe, a device
  // or a folder is refused (NotRegularFile), checked on the opened handle.
  static File Open(TextView path, FileAccess access, FileShare share, IoStatus& status);
  friend class Folder;

  bool IsOpen() const { return handle_ != -1; }
  // Returns the number of bytes moved (fewer than Count only at the end of the
  // file), or -1 on an error, also one after some bytes were read.
  int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);
  // Returns the new position, or -1 on an error (LastFailure gives it).
  int64_t Seek(int64_t position);
  int64_t Size() const;
  // The size the file had when it was opened (before any emptying).
  int64_t SizeAtOpen() const { return sizeAtOpen_; }
  // The file's last-write time (local) and its attribute bits (see file_info.h),
  // as they were when it was opened.
  bool Describe(LocalDateTime& lastWrite, uint32_t& attributes) const;
  // False on an error, which LastFailure then gives.
  bool Truncate(int64_t size);
  // Has the system put the file's contents on the disk (fsync, FlushFileBuffers),
  // so that they survive a crash or a power cut.
  IoStatus FlushToDisk();
  // Sets the last-write (and access) time, as SetFileTimes does by name.
  IoStatus SetTimes(const LocalDateTime& time);
  // Sets the last-write (and access) time to the present moment.
  IoStatus SetTimesToNow();
  // Sets the attribute bits (see file_info.h) through the open file.
  IoStatus SetAttributes(uint32_t attributes);
  // The POSIX permission bits the file had when it was opened (0 on Windows).
  uint32_t PermissionsAtOpen() const;
  // Why the last Read, Write, Seek or Truncate that failed or fell short failed.
  const IoStatus& LastFailure() const { return lastFailure_; }
  IoStatus Close();

 private:
  explicit File(intptr_t handle) : handle_(handle) {}
  // Takes over an opened Handle: refuses anything but a regular file, takes the
  // lock Share asks for and empties the file for kCreate. Closes it on failure.
  static File Adopt(intptr_t handle, FileAccess access, FileShare share, IoStatus& status);
  intptr_t handle_ = -1;  // a file descriptor, or a HANDLE on Windows
  int64_t sizeAtOpen_ = 0;
  int64_t modifiedAtOpen_ = 0;  // seconds since the epoch
  uint32_t modeAtOpen_ = 0;
  IoStatus lastFailure_;
};

// The failure of opening something that is not a regular file.
IoStatus NotRegularFile();

IoStatus RemoveFile(TextView path);  // files only, never folders
// Renames in one step; an existing file at NewPath is replaced atomically.
// (POSIX renames a folder the same way; the program only renames files.)
IoStatus RenameFile(TextView oldPath, TextView newPath);
// Renames OldPath to NewPath like RenameFile, but a file at NewPath that another
// opener holds (the lock every archive file takes; on Windows any open handle that
// does not share deletion) is not replaced: the sharing violation (32), and both
// files stay as they were.
IoStatus MoveIntoPlace(TextView oldPath, TextView newPath);

}  // namespace quenmar::platform
