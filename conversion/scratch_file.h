// The one file inside the run's private folder that entries are extracted into.
// It is handed on from entry to entry rather than made and deleted for each (on
// archives of many small entries that is most of the file system's work), and it
// is as a new file would be whenever it is handed out: extraction writes its
// contents over, cuts it to the entry's size and sets its time (the entry's, or the
// time of its writing); a file left with other attributes than a new one has is
// given up for a new one under a new name.
//
// The file's name is ours, never an entry's.
#pragma once

#include <cstdint>

#include "conversion/scratch_folder.h"
#include "support/text.h"

namespace quenmar {

class ScratchFile {
 public:
  // Folder must outlive the object. Files of one object are named Tag and a number;
  // objects of one folder need tags of their own.
  explicit ScratchFile(const ScratchFolder& folder, Text tag = u"entry");
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Where to extract the next entry.
  const Text& Path() const { return path_; }

  // Call once the entry extracted to Path() has been read; Attributes are the
  // attribute bits recorded of the file then.
  void Recycle(uint32_t attributes);

 private:
  const ScratchFolder& folder_;
  Text tag_;
  int generation_ = 0;
  Text path_;
};

}  // namespace quenmar
