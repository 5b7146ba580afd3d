#include "archive/checksum_stream.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "support/exceptions.h"

namespace quenmar {

int64_t TChecksumStream::Read(void* buffer, int64_t count) {
  const int64_t wanted = std::min(count, Left());
  if (wanted <= 0) return 0;
  if (source_.Read(buffer, wanted) != wanted) throw EReadError(kStreamReadError);
  crc_ = static_cast<uint32_t>(crc32(crc_, static_cast<const Bytef*>(buffer), static_cast<uInt>(wanted)));
  done_ += wanted;
  return wanted;
}

bool CopyBlocks(TChecksumStream& from, TStream* to, const std::function<bool(int64_t done)>& goOn) {
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(kCopyPiece, std::max<int64_t>(from.Left(), 1))));
  while (from.Left() > 0) {
    const int64_t piece = from.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
    if (to != nullptr) to->WriteBuffer(buffer.data(), piece);
    if (goOn && !goOn(from.Position())) return false;
  }
  return true;
}

}  // namespace quenmar
