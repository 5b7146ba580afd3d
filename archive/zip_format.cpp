#include "archive/zip_format.h"

namespace quenmar::zipformat {

uint8_t Cursor::U8() {
  if (at_ + 1 > bytes_.size()) { ok_ = false; at_ = bytes_.size(); return 0; }
  return static_cast<uint8_t>(bytes_[at_++]);
}

uint16_t Cursor::U16() {
  if (at_ + 2 > bytes_.size()) { ok_ = false; at_ = bytes_.size(); return 0; }
  const uint16_t v = GetU16(bytes_.data() + at_);
  at_ += 2;
  return v;
}

uint32_t Cursor::U32() {
  if (at_ + 4 > bytes_.size()) { ok_ = false; at_ = bytes_.size(); return 0; }
  const uint32_t v = GetU32(bytes_.data() + at_);
  at_ += 4;
  return v;
}

std::string_view Cursor::Take(size_t count) {
  if (count > Remaining()) { ok_ = false; at_ = bytes_.size(); return {}; }
  const std::string_view part = bytes_.substr(at_, count);
  at_ += count;
  return part;
}

}  // namespace quenmar::zipformat
