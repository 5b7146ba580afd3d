// Choosing a file through an open or save dialog, once for every toolkit:
// ChooseFileName and the steps it takes that do not depend on the toolkit's dialog
// (what the dialog opens with, the name shown after a type change, the name handed
// back, and the current directory put back afterwards). Each toolkit supplies the
// dialog itself as a FileDialogHook.
//
// Filters are "description|pattern|..." strings; patterns match without regard to
// case on every platform.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "support/text.h"

namespace quenmar {

// What the dialog opens with.
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

// What the toolkit's dialog is to show.
struct FileDialogRequest {
  bool saveMode = false;   // the save dialog, else the open dialog
  bool mustExist = false;  // only an existing file may be confirmed
  Text title;
  Text filter;
  Text initialFolder;  // FileDialogStart's; empty for the dialog's own choice
  Text fileName;       // the proposed full path
  bool multiSelect = false;  // several files may be chosen (open dialog only)
};

// What a confirmed dialog answered: the chosen full path, and the number (from 1)
// of the filter selected when it closed; with multiSelect, the further files
// chosen, in the dialog's order.
struct FileDialogChoice {
  Text fileName;
  int filterIndex = 1;
  std::vector<Text> moreFileNames = {};
};

// The full paths in the answer of Windows' open dialog when several files may be
// chosen (OFN_ALLOWMULTISELECT | OFN_EXPLORER): Answer is its whole name buffer,
// FileOffset the offset it reported (nFileOffset). Several files come as their
// folder, then each name, every text ended by a NUL and the last by two; a single
// file comes as its full path, the offset pointing into it after its last
// delimiter (anything after that path's NUL is left over from the proposal).
// Nothing for an empty answer. Kept here, free of Win32, so that its table of
// answers is checked on every platform.
std::vector<Text> ChosenPathsIn(TextView answer, size_t fileOffset);

// Shows the toolkit's dialog for a request, modally, and returns the choice, or
// nothing when the user cancelled. While it is open, picking another file type
// rewrites the name in its file-name box by NameAfterTypeChange. The dialog is
// gone when the hook returns.
using FileDialogHook = std::function<std::optional<FileDialogChoice>(const FileDialogRequest&)>;

// Lets the user choose a file in the dialog Hook shows: filter, title and
// must-exist rule as given, the proposed name FileName expanded to a full path (a
// name without a file part gets the filter's first field), its folder as the
// initial folder. On confirmation FileName becomes the chosen full path, with the
// selected filter's extension when it has none, and the result is true; on
// cancelling FileName becomes the expanded proposal and the result false. The
// process's current directory is restored afterwards; when that fails,
// EInOutError is raised.
bool ChooseFileName(bool saveMode, TextView filter, bool mustExist, TextView title, Text& fileName,
                    const FileDialogHook& hook);

// ChooseFileName's open dialog letting the user choose several files, opened on
// Proposal as ChooseFileName opens on its FileName. On confirmation FileNames
// become the chosen full paths in the dialog's order, each completed as
// ChooseFileName completes its one, and the result is true; on cancelling they
// stay as they were and the result is false. The current directory is restored
// as there, with the same error.
bool ChooseFileNames(TextView filter, bool mustExist, TextView title, TextView proposal, std::vector<Text>& fileNames,
                     const FileDialogHook& hook);

}  // namespace quenmar
