// Where an entry lands on disk: the checks that keep entry names inside the target
// folder, and the joining of folder and name.
#pragma once

#include "support/text.h"

namespace quenmar {

// Raises EArgumentException "Entry name leads outside the target folder" for a
// rooted name ("/" or "\" first, or a drive letter and ":") or one with a ".."
// component (split on "/" and "\"), and "Invalid characters in path" for a
// character no file name may hold.
void CheckEntryName(TextView name);

// The entry name with "/" and "\" both turned into this platform's separator.
Text EntryNameToPath(TextView name);

// Folder and name joined: an empty folder gives the name alone, a folder ending in
// a separator is followed directly by the name, any other by a separator and the
// name. Raises "Entry name leads outside the target folder" for a rooted name or
// one with a ".." component, whatever the caller checked before, and "Invalid
// characters in path" for a folder or name with such a character.
Text JoinEntryPath(TextView folder, TextView name);

}  // namespace quenmar
