#include "archive/name_index.h"

#include "archive/name_encoding.h"

namespace quenmar {
namespace {

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// FNV-1a over the folded code units, a unit at a time.
struct Hasher {
  uint64_t hash = 1469598103934665603ull;
  void operator()(char16_t unit) { hash = (hash ^ Fold(unit)) * 1099511628211ull; }
};

uint64_t HashOf(const TZipHeader& entry, bool utf8) {
  Hasher hasher;
  ForEachNameUnit(entry.FileName, utf8, [&hasher](char16_t unit) { hasher(unit); });
  return hasher.hash;
}

uint64_t HashOf(TextView name) {
  Hasher hasher;
  for (const char16_t unit : name) hasher(unit);
  return hasher.hash;
}

bool SameFolded(const TZipHeader& entry, bool utf8, TextView name) {
  size_t at = 0;
  bool same = true;
  ForEachNameUnit(entry.FileName, utf8, [&](char16_t unit) {
    same = same && at < name.size() && Fold(unit) == Fold(name[at]);
    ++at;
  });
  return same && at == name.size();
}

bool SameFolded(const TZipHeader& a, const TZipHeader& b, bool utf8) {
  if (a.FileName == b.FileName) return true;
  return SameFolded(a, utf8, DecodeName(b.FileName, utf8));
}

}  // namespace

void NameIndex::Clear() {
  slots_.clear();
  used_ = 0;
  built_ = false;
}

void NameIndex::Build(const std::vector<TZipHeader>& entries, bool utf8) {
  Clear();
  built_ = true;
  Grow(entries, utf8, entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Place(entries, utf8, static_cast<int>(i), HashOf(entries[i], utf8));
  }
}

void NameIndex::Append(const std::vector<TZipHeader>& entries, bool utf8, int position) {
  if (!built_) return;
  if ((used_ + 1) * 2 > slots_.size()) Grow(entries, utf8, used_ + 1);
  Place(entries, utf8, position, HashOf(entries[static_cast<size_t>(position)], utf8));
}

void NameIndex::Grow(const std::vector<TZipHeader>& entries, bool utf8, size_t minimum) {
  size_t size = 16;
  while (size < minimum * 2) size *= 2;
  if (size <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(size, Slot{});
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.position >= 0) Place(entries, utf8, slot.position, HashOf(entries[static_cast<size_t>(slot.position)], utf8));
  }
}

void NameIndex::Place(const std::vector<TZipHeader>& entries, bool utf8, int position, uint64_t hash) {
  const TZipHeader& entry = entries[static_cast<size_t>(position)];
  const auto tag = static_cast<uint32_t>(hash >> 32);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.position < 0) {
      slot = Slot{tag, position};
      ++used_;
      return;
    }
    // An earlier entry of the same name keeps the slot: the first match wins.
    if (slot.hash == tag && SameFolded(entries[static_cast<size_t>(slot.position)], entry, utf8)) return;
  }
}

int NameIndex::Find(const std::vector<TZipHeader>& entries, bool utf8, TextView name) const {
  if (slots_.empty()) return -1;
  const uint64_t hash = HashOf(name);
  const auto tag = static_cast<uint32_t>(hash >> 32);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.position < 0) return -1;
    if (slot.hash == tag && SameFolded(entries[static_cast<size_t>(slot.position)], utf8, name)) return slot.position;
  }
}

}  // namespace quenmar
