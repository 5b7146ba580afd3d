#include "support/exceptions.h"

#include <string>

#include "support/utf8.h"

namespace quenmar {

Exception::Exception(Text message, platform::IoCode code)
    : message_(std::move(message)), utf8_(TextToUtf8(message_)), code_(code) {}

EInOutError::EInOutError(platform::IoCode code, TextView name) : Exception(MessageFor(code, name), code) {}

Text EInOutError::MessageFor(platform::IoCode code, TextView name) {
  using platform::IoCode;
  switch (code) {
    case IoCode::kFileNotFound: return kFileNotFound;
    case IoCode::kPathNotFound: return u"Invalid file name - " + Text(name);
    case IoCode::kTooManyOpenFiles: return u"Too many open files";
    case IoCode::kAccessDenied: return u"File access denied";
    case IoCode::kReadBeyondEnd: return u"Read beyond end of file";
    case IoCode::kDiskFullOnWrite: return u"Disk full";
    case IoCode::kInvalidNumericInput: return u"Invalid numeric input";
    default: {
      const std::string digits = std::to_string(platform::NumberOf(code));
      return u"I/O error " + Text(digits.begin(), digits.end());
    }
  }
}

Text CannotOpenMessage(TextView fullPath, TextView reason) {
  return u"Cannot open file \"" + Text(fullPath) + u"\". " + Text(reason);
}

Text CannotCreateMessage(TextView fullPath, TextView reason) {
  return u"Cannot create file \"" + Text(fullPath) + u"\". " + Text(reason);
}

}  // namespace quenmar
