// Finds entries by name with ASCII letters folded, the first entry winning, in
// constant time per lookup. The names are decoded on the fly from the stored
// bytes, so building the index allocates nothing per entry.
//
// The index refers to the directory it was built from; that directory must
// outlive it and only grow (Append) while it is in use.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/central_directory.h"
#include "support/text.h"

namespace quenmar {

class NameIndex {
 public:
  void Clear();
  bool Built() const { return built_; }
  // Indexes every entry of Entries.
  void Build(const CentralDirectory& entries, bool utf8);
  // Indexes the entry at Position, the last of Entries.
  void Append(const CentralDirectory& entries, bool utf8, size_t position);
  // Position of the first entry whose name equals Name with ASCII letters folded.
  int Find(const CentralDirectory& entries, bool utf8, TextView name) const;

 private:
  // A slot holds an entry's position (an archive has fewer than 65535 entries)
  // and 16 bits of its name's hash, to skip most comparisons. Four bytes a slot
  // keep the table of a full archive within 512 KiB.
  struct Slot {
    uint16_t tag = 0;
    uint16_t position = kEmpty;
  };
  static constexpr uint16_t kEmpty = 0xFFFF;
  void Grow(const CentralDirectory& entries, bool utf8, size_t minimum);
  void Place(const CentralDirectory& entries, bool utf8, size_t position, uint64_t hash);

  std::vector<Slot> slots_;
  size_t used_ = 0;
  bool built_ = false;
};

}  // namespace quenmar
