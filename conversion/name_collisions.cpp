#include "conversion/name_collisions.h"

#include <string>

#include "support/shown_names.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

uint64_t FoldedHash(TextView name) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a over the folded units
  for (const char16_t c : name) h = (h ^ CaseFoldedUnit(c)) * 1099511628211ull;
  return h;
}

bool SameFolded(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (CaseFoldedUnit(a[i]) != CaseFoldedUnit(b[i])) return false;
  }
  return true;
}

}  // namespace

void NameCollisions::Reserve(size_t count) {
  entries_.reserve(count);
  byHash_.reserve(count);
}

void NameCollisions::Add(const Text& newName, const Text& entryName) {
  Entry entry{static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(entryName.size()),
              static_cast<uint32_t>(newName.size()), static_cast<uint32_t>(entries_.size())};
  pool_ += entryName;
  pool_ += newName;
  const uint64_t hash = FoldedHash(newName);
  const auto [from, to] = byHash_.equal_range(hash);
  bool found = false;
  for (auto it = from; it != to && !found; ++it) {
    if (SameFolded(NewName(entries_[it->second]), newName)) {
      entry.group = it->second;
      found = true;
    }
  }
  if (found) {
    collided_ = true;
  } else {
    byHash_.emplace(hash, entry.group);
  }
  entries_.push_back(entry);
}

Text NameCollisions::WarningText() const {
  if (!collided_) return Text();
  // The entries of each group, in order; a group is known by its first entry.
  std::vector<std::vector<uint32_t>> members(entries_.size());
  for (uint32_t i = 0; i < entries_.size(); ++i) members[entries_[i].group].push_back(i);
  // A status line, not a list: a few names with a few entries each, then how many
  // more there are.
  constexpr size_t kShownGroups = 5, kShownEntries = 3;
  Text text;
  size_t groups = 0;
  for (const std::vector<uint32_t>& group : members) {
    if (group.size() < 2) continue;
    if (++groups > kShownGroups) continue;
    text += text.empty() ? u"pozor, stejný nový název dostalo více položek: " : u"; ";
    for (size_t k = 0; k < group.size() && k < kShownEntries; ++k) {
      if (k > 0) text += u", ";
      const Entry& e = entries_[group[k]];
      text += EscapeControls(EntryName(e)) + u" -> " + EscapeControls(NewName(e));
    }
    if (group.size() > kShownEntries) text += u", … (" + Utf8ToText(std::to_string(group.size())) + u" položek)";
  }
  if (groups > kShownGroups) text += u"; … (" + Utf8ToText(std::to_string(groups)) + u" takových názvů)";
  return text;
}

}  // namespace quenmar
