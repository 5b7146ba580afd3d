// New names that more than one entry gets. The rule can give two entries one new
// name (2018-10-15-abc-def-ghi.csv and 2018-10-16-abc-def-ghi.csv both become
// 2018-10-abc-def-ghi-mob.csv), or names that differ only in case, which are one
// name on Windows. Both entries are written, as the run writes every entry, but
// unpacking the output keeps one of them: the run and its dry run say so.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "support/text.h"

namespace quenmar {

// Put between the success text and the warning in the status line.
inline constexpr char16_t kWarningSeparator[] = u"; ";

class NameCollisions {
 public:
  // Records that the entry EntryName gets NewName; in entry order.
  void Add(const Text& newName, const Text& entryName);
  // Makes room for Count entries at once, so that an archive of many entries
  // does not grow the tables step by step.
  void Reserve(size_t count);
  // "pozor, stejný nový název dostalo více položek: OLD -> NEW, OLD -> NEW; ..."
  // with names shown escaped, the groups in the order of their first entry: the
  // first five names with their first three entries, each with ", … (N položek)"
  // when it has more, and "; … (N takových názvů)" when there are more names.
  // Empty when every new name is the entry's own.
  Text WarningText() const;

 private:
  struct Entry {
    uint32_t at, nameLength, newLength;  // both names in pool_, one after the other
    uint32_t group;                      // the first entry whose new name is the same
  };
  TextView NewName(const Entry& e) const { return TextView(pool_).substr(e.at + e.nameLength, e.newLength); }
  TextView EntryName(const Entry& e) const { return TextView(pool_).substr(e.at, e.nameLength); }

  // Every name in one text: archives of many small entries make no allocation
  // per entry here.
  Text pool_;
  std::vector<Entry> entries_;
  // By the hash of the new name as Windows compares it: the first entry of each
  // such hash (names of one hash that differ chain on through later entries).
  std::unordered_multimap<uint64_t, uint32_t> byHash_;
  bool collided_ = false;
};

}  // namespace quenmar
