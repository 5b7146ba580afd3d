// A private folder for the files of one conversion run: created under a fresh,
// unique, hidden name and removed with everything in it (read-only files included)
// when the object goes.
#pragma once

#include "support/text.h"

namespace quenmar {

class ScratchFolder {
 public:
  // Creates the folder inside Parent (the current directory when empty). Raises
  // EFCreateError when it cannot.
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
};

}  // namespace quenmar
