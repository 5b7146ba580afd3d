// What the person is told when the work fails: one Czech sentence for every kind
// of failure, saying what went wrong and, where there is something to do, what to
// do, followed by the failure's own English message in parentheses, which keeps
// the system's reason for support:
//   Soubor používá jiný program. Zavřete ho a zkuste to znovu. (Cannot open file "C:\a.zip". Sharing violation)
// The I/O result code a failure carries chooses the sentence first (a full disk is
// a full disk whether opening, writing or moving failed); then its class and
// message do. A failure of no known kind gets a general sentence.
#pragma once

#include <exception>

#include "support/text.h"

namespace quenmar {

// The Czech sentence and the English message of Failure. OfEntry: the failure
// is one entry's (unreadable data is then the entry's, not the archive's).
Text FailureMessage(const std::exception& failure, bool ofEntry);

}  // namespace quenmar
