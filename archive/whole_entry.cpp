#include "archive/whole_entry.h"

#include <libdeflate.h>

#include <new>

namespace quenmar {
namespace {

// The most a deflate stream of Size bytes can take: stored blocks of at most
// 65535 bytes with five bytes of header each, and an empty final block.
uint64_t StoredBound(uint32_t size) { return uint64_t{size} + 5 * (uint64_t{size} / 65535 + 1); }

// Grows Buffer to at least Size bytes; its contents are not kept.
void Reserve(std::unique_ptr<char[]>& buffer, size_t& capacity, size_t size) {
  if (size <= capacity) return;
  buffer.reset();
  capacity = 0;
  buffer = std::make_unique_for_overwrite<char[]>(size);
  capacity = size;
}

}  // namespace

bool FitsWhole(uint16_t method, uint32_t compressedSize, uint32_t uncompressedSize) {
  if (uncompressedSize > kWholeEntryBudget) return false;
  if (method == 0) return true;
  return method == 8 && compressedSize <= StoredBound(uncompressedSize);
}

void TWholeEntryCodec::Deleter::operator()(libdeflate_compressor* compressor) const {
  libdeflate_free_compressor(compressor);
}
void TWholeEntryCodec::Deleter::operator()(libdeflate_decompressor* decompressor) const {
  libdeflate_free_decompressor(decompressor);
}

TWholeEntryCodec::TWholeEntryCodec()
    : compressor_(libdeflate_alloc_compressor(kWholeEntryLevel)), decompressor_(libdeflate_alloc_decompressor()) {
  if (!compressor_ || !decompressor_) throw std::bad_alloc();
}

TWholeEntryCodec::~TWholeEntryCodec() = default;

std::optional<std::string_view> TWholeEntryCodec::Recompress(uint16_t method, std::string_view stored, uint32_t size,
                                                             uint32_t crc) {
  const char* plain = stored.data();
  if (method == 8) {
    Reserve(plain_, plainCapacity_, size);
    // Exactly Size bytes or a failure: a stream that ends early or runs on is
    // refused as much as a damaged one. Bytes behind the end of the stream are
    // not looked at, as the streamed path leaves them unread.
    size_t read = 0;
    if (libdeflate_deflate_decompress_ex(decompressor_.get(), stored.data(), stored.size(), plain_.get(), size, &read,
                                         nullptr) != LIBDEFLATE_SUCCESS) {
      return std::nullopt;
    }
    plain = plain_.get();
  } else if (method != 0 || stored.size() != size) {
    return std::nullopt;
  }
  if (static_cast<uint32_t>(libdeflate_crc32(0, plain, size)) != crc) return std::nullopt;
  const size_t bound = libdeflate_deflate_compress_bound(compressor_.get(), size);
  Reserve(deflated_, deflatedCapacity_, bound);
  const size_t deflated = libdeflate_deflate_compress(compressor_.get(), plain, size, deflated_.get(), bound);
  if (deflated == 0) return std::nullopt;  // not for the bound it gave itself
  return std::string_view(deflated_.get(), deflated);
}

}  // namespace quenmar
