// Entries small enough to be held whole: their stored bytes inflated in one call,
// checked and deflated again in one call, with libdeflate. Far faster than the
// streams of zlib_streams.h, but only for data that is all in memory; larger
// entries stream through zlib.
//
// One codec belongs to one thread and is reused from entry to entry: libdeflate's
// compressor and decompressor keep no state from one call to the next, and the
// codec's buffers are only written over. Memory: at most about three times
// kWholeEntryBudget, the codec's own buffers included.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "archive/zip_header.h"

struct libdeflate_compressor;
struct libdeflate_decompressor;

namespace quenmar {

// The largest entry, uncompressed, that is held whole.
inline constexpr uint32_t kWholeEntryBudget = uint32_t{4} << 20;
// libdeflate's level for whole entries: the lowest whose archives are no larger
// than zlib's level 6 (the level of the streamed path) on export data.
inline constexpr int kWholeEntryLevel = 2;

// True when an entry whose records say Method, CompressedSize and UncompressedSize
// is held whole: stored or deflated, at most kWholeEntryBudget bytes, and no more
// stored bytes than deflating them could ever take.
bool FitsWhole(uint16_t method, uint32_t compressedSize, uint32_t uncompressedSize);

class TWholeEntryCodec {
 public:
  // Raises std::bad_alloc when libdeflate cannot have its memory.
  TWholeEntryCodec();
  ~TWholeEntryCodec();
  TWholeEntryCodec(const TWholeEntryCodec&) = delete;
  TWholeEntryCodec& operator=(const TWholeEntryCodec&) = delete;

  // Takes the stored bytes Stored of an entry (Method 0 or 8, REQUIRES FitsWhole)
  // that must give exactly Size bytes whose CRC-32 is Crc, and deflates those.
  // Returns the deflated bytes, which stay valid until the next call; nothing
  // when the stored bytes are not what the records say (damaged, cut short, more
  // or fewer bytes, another CRC-32): such an entry is for the streamed path,
  // whose messages say what is wrong.
  std::optional<std::string_view> Recompress(uint16_t method, std::string_view stored, uint32_t size, uint32_t crc);

 private:
  struct Deleter {
    void operator()(libdeflate_compressor* compressor) const;
    void operator()(libdeflate_decompressor* decompressor) const;
  };
  std::unique_ptr<libdeflate_compressor, Deleter> compressor_;
  std::unique_ptr<libdeflate_decompressor, Deleter> decompressor_;
  std::unique_ptr<char[]> plain_;
  size_t plainCapacity_ = 0;
  std::unique_ptr<char[]> deflated_;
  size_t deflatedCapacity_ = 0;
};

}  // namespace quenmar
