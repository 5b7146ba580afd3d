#include "conversion/name_collisions.h"

#include "support/shown_names.h"

namespace quenmar {

void NameCollisions::Add(const Text& newName, const Text& entryName) {
  Text folded = CaseFolded(newName);
  auto& entries = byFolded_[folded];
  if (entries.empty()) order_.push_back(std::move(folded));
  entries.emplace_back(entryName, newName);
}

Text NameCollisions::WarningText() const {
  Text text;
  for (const Text& folded : order_) {
    const auto& entries = byFolded_.at(folded);
    if (entries.size() < 2) continue;
    text += text.empty() ? u"pozor, stejný nový název dostalo více položek: " : u"; ";
    for (size_t i = 0; i < entries.size(); ++i) {
      if (i > 0) text += u", ";
      text += EscapeControls(entries[i].first) + u" -> " + EscapeControls(entries[i].second);
    }
  }
  return text;
}

}  // namespace quenmar
