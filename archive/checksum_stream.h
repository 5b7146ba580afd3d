// Entry data counted and checksummed on its way: every loop that moves an entry's
// bytes (compressing a file into an archive, extracting an entry to a file,
// checking it, reading it into memory) reads them through a TChecksumStream and
// copies them with CopyBlocks, so the CRC-32 is taken one way everywhere.
#pragma once

#include <cstdint>
#include <functional>

#include "archive/stream.h"

namespace quenmar {

// Reads Size bytes of Source, which it does not own, and takes their CRC-32 as
// they pass.
class TChecksumStream : public TStream {
 public:
  TChecksumStream(TStream& source, int64_t size) : source_(source), size_(size) {}

  // Up to Count of the bytes left, all of them or a failure: raises EReadError
  // "Stream read error" when Source ends before Size bytes. 0 once they are read.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Position() override { return done_; }
  void SetPosition(int64_t) override {}
  int64_t Size() override { return size_; }

  int64_t Left() const { return size_ - done_; }
  // The CRC-32 of the bytes read so far.
  uint32_t Crc() const { return crc_; }

 private:
  TStream& source_;
  int64_t size_;
  int64_t done_ = 0;
  uint32_t crc_ = 0;
};

// Copies what is left of From to To, or only reads it when To is null, in blocks
// of at most kCopyPiece. GoOn, when set, is asked after each block with the bytes
// of From done so far; the copy stops when it answers false. Returns false when
// stopped so, true when From was read to its end. Raises what From, To and GoOn raise.
bool CopyBlocks(TChecksumStream& from, TStream* to, const std::function<bool(int64_t done)>& goOn = nullptr);

}  // namespace quenmar
