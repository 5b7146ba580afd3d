// Finds entries by name with ASCII letters folded, the first entry winning, in
// constant time per lookup. The names are decoded on the fly from the stored
// bytes, so building the index allocates nothing per entry.
//
// The index refers to the entry list it was built from; that list must outlive
// it and only grow (Append) while it is in use.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/zip_header.h"
#include "support/text.h"

namespace quenmar {

class NameIndex {
 public:
  void Clear();
  bool Built() const { return built_; }
  // Indexes every entry of Entries.
  void Build(const std::vector<TZipHeader>& entries, bool utf8);
  // Indexes the entry at Position, the last of Entries.
  void Append(const std::vector<TZipHeader>& entries, bool utf8, int position);
  // Position of the first entry whose name equals Name with ASCII letters folded.
  int Find(const std::vector<TZipHeader>& entries, bool utf8, TextView name) const;

 private:
  void Grow(const std::vector<TZipHeader>& entries, bool utf8, size_t minimum);

  struct Slot {
    uint32_t hash = 0;       // high half of the name's hash, to skip most comparisons
    int32_t position = -1;   // -1 for an empty slot
  };
  void Place(const std::vector<TZipHeader>& entries, bool utf8, int position, uint64_t hash);

  std::vector<Slot> slots_;
  size_t used_ = 0;
  bool built_ = false;
};

}  // namespace quenmar
