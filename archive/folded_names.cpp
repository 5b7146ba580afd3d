#include "archive/folded_names.h"

#include <bit>
#include <cstring>

#include "archive/name_encoding.h"

namespace quenmar {
namespace {

using Word = uint64_t;
constexpr Word kOnes = 0x0101010101010101ull;

char16_t Fold(char16_t c) { return static_cast<unsigned>(c - u'a') < 26u ? static_cast<char16_t>(c - 32) : c; }

Word Load8(const char* p) {
  Word word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The last Count (< 8) bytes of a name, zeros above them.
Word LoadTail(const char* p, size_t count) {
  Word word = 0;
  for (size_t i = 0; i < count; ++i) word |= Word{static_cast<unsigned char>(p[i])} << (8 * i);
  return word;
}

Word Load4(const char* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The last Length % 8 bytes of a name as LoadTail gives them, read with loads
// that stay inside the name: on little-endian machines one load reaching back
// into the name, or two overlapping ones for a short name.
Word TailOf(const char* name, size_t length) {
  const size_t count = length % 8;
  const char* tail = name + (length - count);
  if constexpr (std::endian::native == std::endian::little) {
    if (count == 0) return 0;
    if (length >= 8) return Load8(name + length - 8) >> (8 * (8 - count));
    if (count >= 4) return Load4(tail) | Load4(tail + count - 4) << (8 * (count - 4));
  }
  return LoadTail(tail, count);
}

// Folds eight ASCII bytes at once: a byte from 'a' to 'z' loses 0x20. Bytes below
// 0x80 cannot carry into their neighbours in these sums.
Word FoldAscii(Word x) {
  const Word fromA = x + kOnes * (0x80 - 'a');       // top bit set from 'a' on
  const Word pastZ = x + kOnes * (0x80 - 'z' - 1);   // top bit set past 'z'
  const Word lower = fromA & ~pastZ & (kOnes * 0x80);
  return x - (lower >> 2);
}

// True when Stored equals Key, an all-ASCII name of the same length, but for
// ASCII case. Stored may hold other bytes; then it is never equal.
bool SameFoldedAscii(const char* stored, const char* key, size_t count) {
  const size_t whole = count & ~size_t{7};
  const Word tailStored = TailOf(stored, count), tailKey = TailOf(key, count);
  Word differ = tailStored ^ tailKey;
  Word seen = tailStored;
  for (size_t i = 0; i < whole; i += 8) {
    const Word word = Load8(stored + i);
    differ |= word ^ Load8(key + i);
    seen |= word;
  }
  if (differ == 0) return true;  // equal as they stand, the usual case
  if ((seen & (kOnes * 0x80)) != 0) return false;
  for (size_t i = 0; i < whole; i += 8) {
    if (FoldAscii(Load8(stored + i)) != FoldAscii(Load8(key + i))) return false;
  }
  return FoldAscii(tailStored) == FoldAscii(tailKey);
}

uint64_t Finish(uint64_t h, size_t count) {
  h ^= count;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return h;
}

constexpr uint64_t kMul1 = 0x9E3779B97F4A7C15ull, kMul2 = 0xC2B2AE3D27D4EB4Full;

// The hash sees each character with bit 5 cleared. Folding changes only that
// bit, so names equal but for ASCII case hash alike; the few other pairs this
// merges (such as "[" and "{") cost a comparison when they meet, nothing more.
// Seen gets every bit set in any of the bytes, so the caller learns on the way
// whether they were all ASCII.
uint64_t HashAscii(std::string_view bytes, Word& seen) {
  constexpr Word kMask = ~(kOnes * 0x20);
  // Two independent chains, so their multiplications overlap.
  uint64_t a = 0x243F6A8885A308D3ull, b = 0x13198A2E03707344ull;
  const char* p = bytes.data();
  size_t left = bytes.size();
  Word all = 0;
  for (; left >= 16; p += 16, left -= 16) {
    const Word first = Load8(p), second = Load8(p + 8);
    all |= first | second;
    a = (a ^ (first & kMask)) * kMul1;
    b = (b ^ (second & kMask)) * kMul2;
    a ^= a >> 29;
    b ^= b >> 31;
  }
  if (left >= 8) {
    const Word word = Load8(p);
    all |= word;
    a = (a ^ (word & kMask)) * kMul1;
  }
  const Word tail = TailOf(bytes.data(), bytes.size());
  seen = all | tail;
  a = (a ^ (tail & kMask)) * kMul1;
  return Finish(a ^ (b * kMul2), bytes.size());
}

uint64_t HashUnits(TextView text) {
  uint64_t h = 0x452821E638D01377ull;
  for (const char16_t c : text) h = (h ^ (c & ~0x20u)) * kMul1;
  return Finish(h, text.size());
}

bool SameFoldedUnits(std::string_view stored, bool utf8, TextView name) {
  size_t at = 0;
  bool same = true;
  ForEachNameUnit(stored, utf8, [&](char16_t unit) {
    same = same && at < name.size() && Fold(unit) == Fold(name[at]);
    ++at;
  });
  return same && at == name.size();
}

}  // namespace

NameKey::NameKey(TextView name) : text_(name) {
  char* out = small_;
  if (name.size() > sizeof small_) {
    large_.resize(name.size());
    out = large_.data();
  }
  // One pass that narrows every unit and notes whether any was not ASCII.
  unsigned any = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    any |= name[i];
    out[i] = static_cast<char>(name[i]);
  }
  ascii_ = any < 0x80;
  if (ascii_) {
    bytes_ = std::string_view(out, name.size());
    Word seen;
    hash_ = HashAscii(bytes_, seen);
  } else {
    hash_ = HashUnits(name);
  }
}

bool NameKey::Matches(std::string_view stored, bool utf8) const {
  if (ascii_) return stored.size() == bytes_.size() && SameFoldedAscii(stored.data(), bytes_.data(), stored.size());
  return !IsAscii(stored) && SameFoldedUnits(stored, utf8, text_);
}

uint64_t HashOfStoredName(std::string_view stored, bool utf8) {
  Word seen;
  const uint64_t hash = HashAscii(stored, seen);
  if ((seen & (kOnes * 0x80)) == 0) return hash;
  return HashUnits(DecodeName(stored, utf8));
}

bool SameStoredNames(std::string_view a, std::string_view b, bool utf8) {
  if (a == b) return true;
  const Text decoded = DecodeName(b, utf8);
  return NameKey(decoded).Matches(a, utf8);
}

}  // namespace quenmar
