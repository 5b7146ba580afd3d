#include "archive/name_index.h"

#include "archive/name_encoding.h"

namespace quenmar {
namespace {

inline char16_t Fold(char16_t c) {
  return static_cast<unsigned>(c - u'a') < 26u ? static_cast<char16_t>(c - 32) : c;
}

// A hash of a name's folded UTF-16 units, four units to a word, so a name costs a
// multiplication per four characters. Units come as char16_t from text and as
// bytes from a stored name that is all ASCII (where each byte is one unit), and
// give the same hash either way.
template <class Unit>
uint64_t HashUnits(const Unit* units, size_t count) {
  auto unit = [units](size_t i) -> uint64_t { return Fold(static_cast<char16_t>(units[i])); };
  auto word = [&unit](size_t i) { return unit(i) | unit(i + 1) << 16 | unit(i + 2) << 32 | unit(i + 3) << 48; };
  constexpr uint64_t k1 = 0x9E3779B97F4A7C15ull, k2 = 0xC2B2AE3D27D4EB4Full;
  // Two independent lanes of eight units each step, so the multiplications overlap.
  uint64_t a = 0x243F6A8885A308D3ull, b = 0x13198A2E03707344ull;
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    a = (a ^ word(i)) * k1;
    b = (b ^ word(i + 4)) * k2;
    a ^= a >> 29;
    b ^= b >> 31;
  }
  uint64_t tail = 0;
  unsigned shift = 0;
  for (; i < count; ++i, shift += 16) {
    if (shift == 64) {
      a = (a ^ tail) * k1;
      tail = 0;
      shift = 0;
    }
    tail |= unit(i) << shift;
  }
  uint64_t h = ((a ^ tail) * k1) ^ (b * k2) ^ count;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return h;
}

uint64_t HashOf(TextView name) { return HashUnits(name.data(), name.size()); }

bool IsAscii(std::string_view bytes) {
  unsigned char any = 0;
  for (const char c : bytes) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

uint64_t HashOf(std::string_view stored, bool utf8) {
  if (IsAscii(stored)) return HashUnits(reinterpret_cast<const unsigned char*>(stored.data()), stored.size());
  return HashOf(DecodeName(stored, utf8));
}

bool SameFoldedSlow(std::string_view stored, bool utf8, TextView name) {
  size_t at = 0;
  bool same = true;
  ForEachNameUnit(stored, utf8, [&](char16_t unit) {
    same = same && at < name.size() && Fold(unit) == Fold(name[at]);
    ++at;
  });
  return same && at == name.size();
}

bool SameFolded(std::string_view stored, bool utf8, TextView name) {
  // An ASCII byte is one unit in both encodings; anything else takes the long way.
  if (stored.size() == name.size()) {
    size_t i = 0;
    for (; i < stored.size(); ++i) {
      const auto byte = static_cast<unsigned char>(stored[i]);
      if (byte >= 0x80) break;
      if (Fold(byte) != Fold(name[i])) return false;
    }
    if (i == stored.size()) return true;
  }
  return SameFoldedSlow(stored, utf8, name);
}

bool SameFolded(std::string_view a, std::string_view b, bool utf8) {
  return a == b || SameFolded(a, utf8, DecodeName(b, utf8));
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
  for (size_t i = 0; i < entries.Count(); ++i) Place(entries, utf8, i, HashOf(entries.Name(i), utf8));
}

void NameIndex::Append(const CentralDirectory& entries, bool utf8, size_t position) {
  if (!built_) return;
  if ((used_ + 1) * 2 > slots_.size()) Grow(entries, utf8, used_ + 1);
  Place(entries, utf8, position, HashOf(entries.Name(position), utf8));
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
    Place(entries, utf8, position, HashOf(entries.Name(position), utf8));
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
    if (slot.tag == tag &&
        SameFolded(entries.Name(slot.position), entries.Name(position), utf8)) {
      return;
    }
  }
}

int NameIndex::Find(const CentralDirectory& entries, bool utf8, TextView name) const {
  if (slots_.empty()) return -1;
  const uint64_t hash = HashOf(name);
  const auto tag = static_cast<uint16_t>(hash >> 48);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.position == kEmpty) return -1;
    if (slot.tag == tag && SameFolded(entries.Name(slot.position), utf8, name)) {
      return slot.position;
    }
  }
}

}  // namespace quenmar
