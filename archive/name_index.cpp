#include "archive/name_index.h"

#include "archive/folded_names.h"

namespace quenmar {
namespace {

// Asks for the cache line at P ahead of its use, where the compiler can.
inline void Prefetch(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

}  // namespace

void NameIndex::Clear() {
  slots_.clear();
  used_ = 0;
  built_ = false;
}

void NameIndex::Build(const CentralDirectory& entries, bool utf8) {
  Clear();
  built_ = true;
  Grow(entries, utf8, entries.Count());
  // Hashes run a few entries ahead of the placing, and the slot each will want
  // is fetched meanwhile, so the table's cache misses overlap.
  constexpr size_t kAhead = 8;
  uint64_t hashes[kAhead];
  const size_t count = entries.Count();
  const size_t mask = slots_.size() - 1;
  for (size_t i = 0; i < count + kAhead; ++i) {
    if (i >= kAhead) Place(entries, utf8, i - kAhead, hashes[i % kAhead]);
    if (i < count) {
      hashes[i % kAhead] = HashOfStoredName(entries.Name(i), utf8);
      Prefetch(&slots_[hashes[i % kAhead] & mask]);
    }
  }
}

void NameIndex::Append(const CentralDirectory& entries, bool utf8, size_t position) {
  if (!built_) return;
  if ((used_ + 1) * 2 > slots_.size()) Grow(entries, utf8, used_ + 1);
  Place(entries, utf8, position, HashOfStoredName(entries.Name(position), utf8));
}

void NameIndex::Grow(const CentralDirectory& entries, bool utf8, size_t minimum) {
  size_t size = 16;
  while (size < minimum * 2) size *= 2;
  if (size <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(size, Slot{});
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.position == kEmpty) continue;
    const size_t position = slot.position;
    Place(entries, utf8, position, HashOfStoredName(entries.Name(position), utf8));
  }
}

void NameIndex::Place(const CentralDirectory& entries, bool utf8, size_t position, uint64_t hash) {
  const auto tag = static_cast<uint16_t>(hash >> 48);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.position == kEmpty) {
      slot = Slot{tag, static_cast<uint16_t>(position)};
      ++used_;
      return;
    }
    // An earlier entry of the same name keeps the slot: the first match wins.
    if (slot.tag == tag && SameStoredNames(entries.Name(slot.position), entries.Name(position), utf8)) {
      return;
    }
  }
}

int NameIndex::Find(const CentralDirectory& entries, bool utf8, TextView name) const {
  if (slots_.empty()) return -1;
  const NameKey key(name);
  const uint64_t hash = key.Hash();
  const auto tag = static_cast<uint16_t>(hash >> 48);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.position == kEmpty) return -1;
    if (slot.tag == tag && key.Matches(entries.Name(slot.position), utf8)) {
      return slot.position;
    }
  }
}

}  // namespace quenmar
