// What the run does with one entry, decided before anything touches the disk: the
// name the entry is known by, checked as extraction checks it, and the name it gets
// in the new archive. The run and its dry run both plan here, so the dry run names
// the same failures the run would meet.
#pragma once

#include "archive/zip_file.h"
#include "support/text.h"

namespace quenmar {

struct EntryPlan {
  // The name of the entry's Unicode Path record when valid, else its stored name
  // decoded by its own UTF-8 flag; "/"-separated. Never rooted, never with a ".."
  // component.
  Text name;
  // ConvertEntryName(name): a plain file name on every platform, used only as the
  // name of the new entry, never as a path.
  Text newName;
};

// Plans entry Index of an archive open for reading. Every failure leaves as an
// EntryFailure (entry_failure.h) naming the entry by the name known when it came:
// its stored name until the local header is read, EntryPlan::name after. The
// causes: the archive's errors for the entry's local header, what CheckEntryName
// raises, EArgumentException "Invalid characters in path" for a
// name Windows could not give a file (on every platform), the rule's ERangeError
// and EConvertError, EArgumentException "Invalid new entry name "NAME"" for a new
// name that is empty or holds "/", "\" or ":", and EArgumentException "New entry
// name is too long (N bytes, at most 65535)".
EntryPlan PlanEntry(TZipFile& reader, int index);

}  // namespace quenmar
