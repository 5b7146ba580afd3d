// File operations that never stop their caller: an existence probe, a delete and
// a rename over an existing target. Failures are read and dropped.
#pragma once

#include "support/text.h"

namespace quenmar {

// True when Name is present: it opens for reading and writing, or the open is
// refused for access (5) or sharing (32), which still proves it is there. Opens
// without taking a lock. Raises EInOutError only when closing the probe fails.
bool FileCanBeOpened(TextView name);

// Deletes the file Name when it can (never a folder); failures are ignored.
void DeleteFileQuiet(TextView name);

// Gives the file OldName the name NewName, replacing a file already there in one
// step, so a failed rename keeps both files as they were. Does nothing when both
// names expand to the same path. Failures are ignored.
void RenameFileReplace(TextView oldName, TextView newName);

}  // namespace quenmar
