// The one file inside the run's private folder that entries are extracted into.
// It is handed on from entry to entry rather than made and deleted for each (on
// archives of many small entries that is most of the file system's work), and it
// is as a new file would be whenever it is handed out: extraction writes its
// contents over, cuts it to the entry's size and sets its time (the entry's, or the
// time of its writing); a file left with other attributes than a new one has is
// given up for a new one under a new name.
//
// The file's name is ours, never an entry's, and it is reached only through the
// private folder's handle.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "archive/file_stream.h"
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

  // The file to extract the next entry of Size bytes into, open for writing over
  // from its start. Raises what ScratchFolder::RequireRoom raises when the entry
  // would not fit beside what the file holds now.
  std::unique_ptr<TFileStream> OpenToWrite(uint64_t size);
  // The same file open for reading, once an entry was extracted into it.
  std::unique_ptr<TFileStream> OpenToRead() const;

  // Call once the entry extracted has been read; Attributes are the attribute bits
  // recorded of the file then.
  void Recycle(uint32_t attributes);

 private:
  const ScratchFolder& folder_;
  Text tag_;
  int generation_ = 0;
  Text name_;
  bool made_ = false;
};

// What the file system of the private folder makes of attribute bits: the bits a
// scratch file reports once extraction set Bits on it (nothing: extraction set
// none), learnt once for each value from a file made for the purpose, so that an
// entry that never becomes a file is recorded as if it had been one.
class ScratchAttributes {
 public:
  // Folder must outlive the object.
  explicit ScratchAttributes(const ScratchFolder& folder) : folder_(folder) {}

  // The bits, as a file reports them (before the record's mask). Raises what the
  // file made to learn them raises (EFCreateError, EWriteError, EReadError).
  std::optional<uint32_t> After(std::optional<uint32_t> bits);

 private:
  const ScratchFolder& folder_;
  std::map<std::optional<uint32_t>, std::optional<uint32_t>> known_;
  int probes_ = 0;
};

}  // namespace quenmar
