// I/O result codes. Every platform numbers them as Windows does, so a code reads
// the same wherever it is stored, compared or shown ("I/O error 32"). The
// platform layer maps its own errors to them; a code without a name here is
// another Windows code, or on POSIX 10000 + errno for an error Windows has no
// number for.
#pragma once

namespace quenmar::platform {

enum class IoCode : int {
  kOk = 0,
  kInvalidFunction = 1,     // also: not a regular file, on POSIX
  kFileNotFound = 2,
  kPathNotFound = 3,        // a folder on the way is missing, or the name is too long
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kNotEnoughMemory = 8,
  kOutOfMemory = 14,
  kNotSameDevice = 17,
  kWriteProtected = 19,
  kNotReady = 21,           // a drive that is not there (a removed stick, an empty reader)
  kSharingViolation = 32,   // another opener holds the file (a refused lock on POSIX)
  kLockViolation = 33,      // another opener has locked part of it
  kHandleDiskFull = 39,
  kBadNetworkPath = 53,
  kNetworkNameDeleted = 64,
  kBadNetworkName = 67,
  kFileExists = 80,
  kReadBeyondEnd = 100,     // the runtime's I/O errors, kept with their numbers
  kDiskFullOnWrite = 101,
  kInvalidNumericInput = 106,
  kDiskFull = 112,
  kInvalidName = 123,
  kDirectoryNotEmpty = 145,
  kFileNameTooLong = 206,
  kFileReadOnly = 6009,     // Windows: a read-only file refused a replacement
};

// The code's number.
constexpr int NumberOf(IoCode code) { return static_cast<int>(code); }

}  // namespace quenmar::platform
