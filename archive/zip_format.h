// The ZIP format's signatures and fixed record lengths, shared by reading and
// writing, and little-endian fields read through a bounds-checked cursor and
// written through an appending one.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/stream.h"

namespace quenmar::zipformat {

inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
inline constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
inline constexpr uint32_t kEndRecordSignature = 0x06054B50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064B50;

inline constexpr int kSignatureLength = 4;       // every record starts with its signature
inline constexpr int kLocalHeaderLength = 30;     // + name + extra field
inline constexpr int kCentralHeaderLength = 46;   // + name + extra field + comment
inline constexpr int kEndRecordLength = 22;       // + comment
inline constexpr int kZip64LocatorLength = 20;
inline constexpr int kEndSearchWindow = 1027;
inline constexpr int64_t kMaxEndSearch = 65535;

inline constexpr uint16_t kUnicodePathTag = 0x7075;
inline constexpr int kMaxEntries = 65535;
inline constexpr int64_t kMax32 = 0xFFFFFFFFLL;

// Reads little-endian fields from a byte range; running out of bytes sets a flag
// instead of reading past the end.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  std::string_view Take(size_t count);
  bool Ok() const { return ok_; }
  size_t Remaining() const { return bytes_.size() - at_; }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

inline void PutU16(TBytes& out, uint16_t value) {
  const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
  out.append(bytes, 2);
}

inline void PutU32(TBytes& out, uint32_t value) {
  const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                         static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
  out.append(bytes, 4);
}
inline uint16_t GetU16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}

inline uint32_t GetU32(const char* p) {
  return static_cast<uint32_t>(GetU16(p)) | (static_cast<uint32_t>(GetU16(p + 2)) << 16);
}

}  // namespace quenmar::zipformat
