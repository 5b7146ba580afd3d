// The program's exceptions. Every one is a class of its documented name carrying
// exactly its documented message; the root keeps the message as text and as UTF-8
// for what(), and the I/O result code of the system call that failed, when one did
// (it chooses what the person is told, messages.h). Callers catch by kind:
// EStreamError for stream and file failures, EPathError for unusable paths, or
// Exception for everything.
#pragma once

#include <exception>
#include <string>

#include "support/platform/io_code.h"
#include "support/text.h"

namespace quenmar {

class Exception : public std::exception {
 public:
  explicit Exception(Text message, platform::IoCode code = platform::IoCode::kOk);
  const Text& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }
  // The system's code for the failure; kOk when no system call failed.
  platform::IoCode Code() const noexcept { return code_; }

 private:
  Text message_;
  std::string utf8_;
  platform::IoCode code_;
};

#define QUENMAR_EXCEPTION(Name, Base)        \
  class Name : public Base {                 \
   public:                                   \
    using Base::Base;                        \
  }

// Stream and file failures.
QUENMAR_EXCEPTION(EStreamError, Exception);
QUENMAR_EXCEPTION(EFOpenError, EStreamError);    // "Cannot open file "%s". %s"
QUENMAR_EXCEPTION(EFCreateError, EStreamError);  // "Cannot create file "%s". %s"
QUENMAR_EXCEPTION(EReadError, EStreamError);     // kStreamReadError
QUENMAR_EXCEPTION(EWriteError, EStreamError);    // kStreamWriteError
QUENMAR_EXCEPTION(EZCompressionError, EStreamError);
QUENMAR_EXCEPTION(EZDecompressionError, EStreamError);

// Paths that cannot be used.
QUENMAR_EXCEPTION(EPathError, Exception);
QUENMAR_EXCEPTION(EArgumentException, EPathError);
QUENMAR_EXCEPTION(ENotSupportedException, EPathError);
QUENMAR_EXCEPTION(EPathTooLongException, EPathError);
QUENMAR_EXCEPTION(EDirectoryNotFoundException, EPathError);
QUENMAR_EXCEPTION(EFileNotFoundException, EPathError);

// The archive layer, lists and the entry name rule.
QUENMAR_EXCEPTION(EZipException, Exception);
QUENMAR_EXCEPTION(EListError, Exception);     // "Item not found"
QUENMAR_EXCEPTION(ERangeError, Exception);    // "Range check error"
QUENMAR_EXCEPTION(EConvertError, Exception);  // "Invalid argument to date encode"

// The user interrupted the work (Ctrl+C, a termination request, a closed terminal).
QUENMAR_EXCEPTION(EInterrupted, Exception);  // "Konverze přerušena"

#undef QUENMAR_EXCEPTION

// Messages that more than one place raises.
inline constexpr char16_t kStreamReadError[] = u"Stream read error";
inline constexpr char16_t kStreamWriteError[] = u"Stream write error";
inline constexpr char16_t kErrorReadingZip[] = u"Error reading zip file";
inline constexpr char16_t kErrorWritingZip[] = u"Error writing zip file";
inline constexpr char16_t kCrcMismatch[] = u"CRC-32 mismatch";
inline constexpr char16_t kPathTooLong[] = u"The specified path is too long";
inline constexpr char16_t kFileNotFound[] = u"The specified file was not found";
inline constexpr char16_t kMustBeOpenForReading[] = u"File must be open for reading";
inline constexpr char16_t kNotRegistered[] = u"Support for compression method not registered: ";
inline constexpr char16_t kFileNameEmpty[] = u"File name must not be empty";
inline constexpr char16_t kInvalidArgument[] = u"Invalid argument";
inline constexpr char16_t kZip64NotSupported[] = u"Zip64 archives are not supported";
inline constexpr char16_t kEncryptedNotSupported[] = u"Encrypted entries are not supported";
inline constexpr char16_t kInvalidPathCharacters[] = u"Invalid characters in path";
inline constexpr char16_t kInvalidStreamOperation[] = u"Invalid stream operation";
inline constexpr char16_t kInsufficientMemory[] = u"insufficient memory";  // zlib's words
inline constexpr char16_t kUnsupportedMethod[] = u"Unsupported compression method ";  // + number and name
inline constexpr char16_t kInvalidLocalSignature[] = u"Invalid Zip Local Header signature";
inline constexpr char16_t kInvalidCentralSignature[] = u"Invalid Zip Central Header signature";
inline constexpr char16_t kEntryTooLarge[] = u"Entry too large for a ZIP archive without Zip64";
inline constexpr char16_t kTooManyEntries[] = u"Too many entries for a ZIP archive without Zip64";
inline constexpr char16_t kArchiveTooLarge[] = u"Archive too large for a ZIP archive without Zip64";
inline constexpr char16_t kLeadsOutside[] = u"Entry name leads outside the target folder";
inline constexpr char16_t kInvalidNewName[] = u"Invalid new entry name";      // + " \"NAME\""
inline constexpr char16_t kNewNameTooLong[] = u"New entry name is too long";  // + " (N bytes, at most 65535)"

// A failed file operation, with its I/O result code (Windows numbering). The
// message is chosen by the code; code 3 names the file or folder involved.
class EInOutError : public Exception {
 public:
  EInOutError(platform::IoCode code, TextView name);
  // The code's number.
  int ErrorCode() const noexcept { return platform::NumberOf(Code()); }
  static Text MessageFor(platform::IoCode code, TextView name);
};

// "Cannot open file "NAME". REASON" and "Cannot create file "NAME". REASON".
Text CannotOpenMessage(TextView fullPath, TextView reason);
Text CannotCreateMessage(TextView fullPath, TextView reason);

}  // namespace quenmar
