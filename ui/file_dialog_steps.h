// The steps of choosing a file that do not depend on the toolkit's dialog: what the
// dialog opens with, the name shown after a type change, the name handed back, and
// the current directory put back afterwards. Both windows' ChooseFileName use them.
#pragma once

#include <optional>

#include "support/text.h"

namespace quenmar {

struct FileDialogStart {
  Text initialFolder;  // the folder part of the name as passed, not expanded; may be empty
  Text fileName;       // the name expanded to a full path; a name without a file part
                       // gets the filter's first field ("*.ZIP" for "*.ZIP|*.ZIP")
};
FileDialogStart FileDialogStartFor(TextView fileName, TextView filter);

// The name part the file-name box shows once the user picked filter FilterIndex,
// while it names FilePath; nothing when the box stays as it is (no extension, or a
// pattern whose extension is "*").
std::optional<Text> NameAfterTypeChange(TextView filePath, TextView filter, int filterIndex);

// The name a confirmed dialog hands back: Chosen, with the extension of the filter
// selected when it closed if it has none.
Text ConfirmedFileName(Text chosen, TextView filter, int filterIndex);

// Makes SavedDirectory the current directory again; raises EInOutError with the
// OS's code when that fails.
void RestoreCurrentDir(const Text& savedDirectory);

}  // namespace quenmar
