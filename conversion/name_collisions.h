// New names that more than one entry gets. The rule can give two entries one new
// name (2018-10-15-abc-def-ghi.csv and 2018-10-16-abc-def-ghi.csv both become
// 2018-10-abc-def-ghi-mob.csv), or names that differ only in case, which are one
// name on Windows. Both entries are written, as the run writes every entry, but
// unpacking the output keeps one of them: the run and its dry run say so.
#pragma once

#include <map>
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
  // "pozor, stejný nový název dostalo více položek: OLD -> NEW, OLD -> NEW; ..."
  // with names shown escaped, the groups in the order of their first entry; empty
  // when every new name is the entry's own.
  Text WarningText() const;

 private:
  // By the name as Windows compares it: the entries in order, each with its new name.
  std::map<Text, std::vector<std::pair<Text, Text>>> byFolded_;
  std::vector<Text> order_;  // folded names in the order first met
};

}  // namespace quenmar
