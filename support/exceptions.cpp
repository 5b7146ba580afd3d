#include "support/exceptions.h"

#include <string>

#include "support/utf8.h"

namespace quenmar {

Exception::Exception(Text message) : message_(std::move(message)), utf8_(TextToUtf8(message_)) {}

EInOutError::EInOutError(int code, TextView name) : Exception(MessageFor(code, name)), code_(code) {}

Text EInOutError::MessageFor(int code, TextView name) {
  switch (code) {
    case 2: return u"The specified file was not found";
    case 3: return u"Invalid file name - " + Text(name);
    case 4: return u"Too many open files";
    case 5: return u"File access denied";
    case 100: return u"Read beyond end of file";
    case 101: return u"Disk full";
    case 106: return u"Invalid numeric input";
    default: {
      const std::string digits = std::to_string(code);
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
