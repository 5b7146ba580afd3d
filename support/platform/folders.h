// Folders of the OS: creating them with their parents, a private scratch folder,
// removal of a whole tree, directory search and walking.
#pragma once

#include <functional>
#include <optional>

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar::platform {

// Creates Path and every missing parent; an existing folder is fine.
IoStatus CreateFolders(TextView path);

// Creates a new folder with a fresh unique hidden name inside Parent, readable only
// by its owner, and returns its path (without a trailing separator).
IoStatus CreateUniqueFolder(TextView parent, TextView prefix, Text& created);

// Removes Path and everything below it, read-only entries included. Does not
// follow symbolic links. Returns false when something could not be removed.
bool RemoveTree(TextView path);

// Calls Visit with the name of each entry of Folder whose name matches Mask ("*"
// any run, "?" one character, letters without regard to case), in directory
// order, of any kind, until Visit answers false.
void ForEachMatch(TextView folder, TextView mask, const std::function<bool(const Text& name)>& visit);

// The first name ForEachMatch gives; nothing when there is none.
std::optional<Text> FindFirstMatch(TextView folder, TextView mask);

// Calls Visit with the name of every entry right inside Folder and whether it is a
// folder (a link is not), in directory order.
IoStatus ListFolder(TextView folder, const std::function<void(const Text& name, bool isFolder)>& visit);

// Calls Visit with the path relative to Root ("/"-separated) of every regular file
// below Root, in directory order.
IoStatus WalkFiles(TextView root, const std::function<void(const Text&)>& visit);

// True when Path names a folder (a link to one counts as what it leads to).
bool IsFolder(TextView path);

// True when Path is on another machine: a share ("\\server\share\...") or a
// drive letter mapped to one. Answered without asking the network, so it never
// waits on a server. Always false on POSIX, where a mount looks like any folder.
bool IsNetworkPath(TextView path);

// True when Name matches Mask as FindFirstMatch matches it.
bool MatchesMask(TextView name, TextView mask);

}  // namespace quenmar::platform
