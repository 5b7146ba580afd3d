#include "archive/central_directory.h"

#include <algorithm>
#include <cstring>

#include "archive/zip_records.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

namespace zf = zipformat;

// The first read takes the whole directory in one go when the end record's size
// is believable; after that the buffer grows by at least this much per read.
constexpr int64_t kFirstReadLimit = int64_t{16} << 20;
constexpr size_t kMinimumRead = size_t{1} << 20;

[[noreturn]] void ReadError() { throw EZipException(kErrorReadingZip); }

}  // namespace

void CentralDirectory::Clear() {
  bytes_ = platform::MemoryBlock();
  size_ = 0;
  offsets_.clear();
  offsets_.shrink_to_fit();
}

void CentralDirectory::Reserve(size_t capacity) {
  if (capacity <= bytes_.Size()) return;
  platform::MemoryBlock bytes(std::max(capacity, bytes_.Size() + bytes_.Size() / 2));
  if (size_ != 0) std::memcpy(bytes.Data(), bytes_.Data(), size_);
  bytes_ = std::move(bytes);
}

bool CentralDirectory::ReadMore(TStream& stream, size_t need) {
  // Room is made only for bytes the stream still has.
  const auto left = static_cast<size_t>(std::max<int64_t>(0, stream.Size() - stream.Position()));
  if (need - size_ > left) return false;
  const size_t wanted = std::min(std::max(need - size_, kMinimumRead), left);
  Reserve(size_ + wanted);
  const int64_t got = stream.Read(bytes_.Data() + size_, static_cast<int64_t>(wanted));
  if (got > 0) size_ += static_cast<size_t>(got);
  return size_ >= need;
}

void CentralDirectory::Read(TStream& stream, int count, int64_t sizeHint) {
  Clear();
  const int64_t available = std::max<int64_t>(0, stream.Size() - stream.Position());
  const int64_t first = std::min({sizeHint, available, kFirstReadLimit});
  if (first > 0) Ensure(stream, static_cast<size_t>(first));
  // The stored count is only believed as far as the file has room for records.
  offsets_.reserve(static_cast<size_t>(std::min<int64_t>(count, available / zf::kCentralHeaderLength)));
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    if (!Ensure(stream, at + zf::kSignatureLength)) ReadError();
    if (zf::GetU32(bytes_.Data() + at) != zf::kCentralHeaderSignature) {
      throw EZipException(kInvalidCentralSignature);
    }
    if (!Ensure(stream, at + zf::kCentralHeaderLength)) ReadError();
    const size_t length = CentralRecordLength(bytes_.Data() + at);
    if (!Ensure(stream, at + length)) ReadError();
    offsets_.push_back(at);
    at += length;
  }
  size_ = at;  // anything read beyond the last record is not ours
}

void CentralDirectory::AppendBytes(std::string_view bytes) {
  Reserve(size_ + bytes.size());
  std::memcpy(bytes_.Data() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

size_t CentralDirectory::Store(const TZipHeader& h) {
  scratch_.clear();
  AppendCentralRecord(scratch_, h);
  const size_t at = size_;
  AppendBytes(scratch_);
  return at;
}

void CentralDirectory::Append(const TZipHeader& h) { offsets_.push_back(Store(h)); }

// The old record's bytes stay unused in the buffer; replacing is rare.
void CentralDirectory::Replace(size_t i, const TZipHeader& h) { offsets_[i] = Store(h); }

TZipHeader CentralDirectory::Header(size_t i) const { return ParseCentralRecord(Record(i)); }

std::string_view CentralDirectory::Record(size_t i) const { return {At(i), CentralRecordLength(At(i))}; }

}  // namespace quenmar
