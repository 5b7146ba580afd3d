// Streams that deflate into and inflate from an archive stream, with zlib in raw
// mode (window bits -15: no zlib header, no Adler-32 trailer), and the stored
// stream that passes bytes through unchanged.
//
// None of them owns the archive stream, which must outlive them.
#pragma once

#include <zlib.h>

#include <memory>
#include <vector>

#include "archive/stream.h"
#include "support/text.h"

namespace quenmar {

// zlib's text for one of its negative result codes.
Text ZlibErrorText(int code);

// Passes Read, Write, Position and Size straight through to the archive stream.
class TStoredStream : public TStream {
 public:
  explicit TStoredStream(TStream& archive) : archive_(archive) {}
  int64_t Read(void* buffer, int64_t count) override { return archive_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return archive_.Write(buffer, count); }
  int64_t Position() override { return archive_.Position(); }
  void SetPosition(int64_t position) override { archive_.SetPosition(position); }
  int64_t Size() override { return archive_.Size(); }

 private:
  TStream& archive_;
};

enum TCompressionLevel { zcNone = 0, zcFastest = 1, zcDefault = -1, zcMax = 9 };

// zlib's state for one direction. Streams hand theirs back to a pool shared by all
// threads when they are done, and the next stream takes one after a reset instead
// of allocating a new one: for archives of many small entries that is most of the
// work.
struct ZlibState;

// Deflates what is written to it into the archive stream at the archive stream's
// position, in 65536-byte output blocks. The compressed data is complete only
// after Finish(). Raises EZCompressionError with zlib's text, EWriteError on a
// short write to the archive stream.
class TZCompressionStream : public TStream {
 public:
  explicit TZCompressionStream(TStream& archive, TCompressionLevel level = zcDefault);
  ~TZCompressionStream() override;
  TZCompressionStream(const TZCompressionStream&) = delete;
  TZCompressionStream& operator=(const TZCompressionStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override;
  void SetPosition(int64_t position) override;
  int64_t Size() override { return Position(); }

  // Ends the deflate stream and writes what is left of the output.
  void Finish() override;

 private:
  void FlushOutput();
  TStream& archive_;
  std::unique_ptr<ZlibState> state_;
  bool finished_ = false;
};

// Hands out the inflated bytes of the deflate stream that begins at the archive
// stream's position when it is made; reads compressed input in blocks of up to
// 65536 bytes, the first no larger than SizeHint when that is given (the stored
// compressed size: only a hint, the stream ends where the deflate data ends). After the deflate stream ends, Read returns 0 and the archive stream
// stands right behind the compressed data. Raises EZDecompressionError with
// zlib's text on corrupt data.
class TZDecompressionStream : public TStream {
 public:
  explicit TZDecompressionStream(TStream& archive, int64_t sizeHint = 0);
  ~TZDecompressionStream() override;
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override;
  void SetPosition(int64_t position) override;
  int64_t Size() override { return -1; }

 private:
  TStream& archive_;
  std::unique_ptr<ZlibState> state_;
  int64_t nextRead_;
  bool ended_ = false;
};

}  // namespace quenmar
