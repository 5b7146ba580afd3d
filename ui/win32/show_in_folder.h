// The way from the status line to a new archive on Windows: Explorer opens its
// folder with the archive selected (SHOpenFolderAndSelectItems); where the shell
// cannot, the folder is opened without a selection.
#pragma once

#include <functional>
#include <vector>

#include "support/text.h"

namespace quenmar::win32 {

// Shows Files, each in Folder.
void ShowInFolder(const Text& folder, const std::vector<Text>& files);

// Tests put their own recorder in place of the shell (nothing for the shell).
using FolderShower = std::function<void(const Text& folder, const std::vector<Text>& files)>;
void SetFolderShower(FolderShower shower);

}  // namespace quenmar::win32
