// Entry names compared with ASCII letters folded ("a.csv" matches "A.CSV", "é"
// does not match "É"), and a hash that agrees with that comparison.
//
// A name whose characters are all ASCII is one byte a character in both stored
// encodings (UTF-8 and code page 437), so such names are hashed and compared as
// bytes, eight at a time; any other name as UTF-16 units. An ASCII name never
// equals a non-ASCII one, so the two kinds need not hash alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/text.h"

namespace quenmar {

// A name to look for, prepared once for hashing and for comparing with many
// stored names.
class NameKey {
 public:
  explicit NameKey(TextView name);
  NameKey(const NameKey&) = delete;
  NameKey& operator=(const NameKey&) = delete;

  uint64_t Hash() const { return hash_; }
  // True when the stored name (UTF-8 or code page 437 bytes) equals the key but
  // for ASCII case.
  bool Matches(std::string_view stored, bool utf8) const;

 private:
  TextView text_;
  bool ascii_ = true;
  std::string_view bytes_;  // the name as bytes, when it is all ASCII
  char small_[256];
  std::string large_;
  uint64_t hash_ = 0;
};

// The hash of a stored name; equal to NameKey(decoded name).Hash().
uint64_t HashOfStoredName(std::string_view stored, bool utf8);
// True when two stored names are equal but for ASCII case.
bool SameStoredNames(std::string_view a, std::string_view b, bool utf8);

}  // namespace quenmar
