#include "archive/stream.h"

#include <algorithm>
#include <cstring>

#include "support/exceptions.h"

namespace quenmar {

Text WithReason(TextView message, const Text& reason) {
  Text text(message);
  if (!reason.empty()) text += u". " + reason;
  return text;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) RaiseWithReason<EReadError>(kStreamReadError, Failure());
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) RaiseWithReason<EWriteError>(kStreamWriteError, Failure());
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t available = std::max<int64_t>(0, Size() - position_);
  const int64_t n = std::min(count, available);
  if (n <= 0) return 0;
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const auto end = static_cast<size_t>(position_ + count);
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

bool TMemoryStream::Truncate(int64_t size) {
  if (size < 0) return false;
  bytes_.resize(static_cast<size_t>(size));
  return true;
}

}  // namespace quenmar
