// A private folder for the files of one conversion run: created under a fresh,
// unique, hidden name (".quenmar-" and 16 hexadecimal digits) and removed with
// everything in it (read-only files included) when the object goes.
//
// For as long as it exists, the folder holds a file "lock" under the exclusive lock
// that archive files take. A run that could not clean up (killed, crashed, the power
// gone) leaves its folder behind; the next run in the same folder removes every such
// folder whose lock it can take, and never one whose lock is held by a run still
// going, nor anything that is not exactly of our making.
#pragma once

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar {

class ScratchFolder {
 public:
  // Removes what earlier runs left in Parent (the current directory when empty),
  // then creates the folder there. Raises EFCreateError when it cannot.
  explicit ScratchFolder(TextView parent);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, ending in a separator.
  const Text& Path() const { return path_; }

  // The path of the file Name right inside the folder. Name must be one plain
  // component: empty names, "." and "..", and names holding "/", "\" or ":" raise
  // EArgumentException "Scratch name leads outside its folder", so that nothing
  // made through here can land elsewhere on any platform.
  Text FilePath(TextView name) const;

 private:
  Text path_;
  platform::File lock_;
};

// Removes the private folders of earlier runs in Parent whose lock can be taken.
void RemoveAbandonedScratchFolders(TextView parent);

}  // namespace quenmar
