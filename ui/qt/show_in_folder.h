// The way from the status line to a new archive: its folder opened in the file
// manager with the archive selected. Freedesktop file managers are asked over
// D-Bus (org.freedesktop.FileManager1.ShowItems); where none answers, the folder
// is opened with the desktop's handler, without a selection.
#pragma once

#include <functional>
#include <vector>

#include "support/text.h"

namespace quenmar {

// Shows Files, each in Folder.
void ShowInFolder(const Text& folder, const std::vector<Text>& files);

// Tests put their own recorder in place of the file manager (nothing for the
// real one).
using FolderShower = std::function<void(const Text& folder, const std::vector<Text>& files)>;
void SetFolderShower(FolderShower shower);

}  // namespace quenmar
