// Byte streams of the archive layer: a seekable stream with Read, Write, a 64-bit
// Position and a 64-bit Size, and the helpers that insist on whole transfers.
//
// A stream made on another stream (stored, deflate, inflate) never owns it; the
// other stream must outlive it.
#pragma once

#include <cstdint>
#include <string>

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar {

// Byte arrays (names, extra fields, comments, entry data) are held in std::string.
using TBytes = std::string;

// The bytes moved per step when entry data is copied, compressed or checked.
inline constexpr int64_t kCopyPiece = 61440;

class TStream {
 public:
  virtual ~TStream() = default;

  // Returns the number of bytes moved: fewer than Count only at the end of the data
  // (Read) or when the medium refuses (Write).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Position() = 0;
  virtual void SetPosition(int64_t position) = 0;
  virtual int64_t Size() = 0;
  // Cuts the stream at Size; false when the stream cannot be cut.
  virtual bool Truncate(int64_t) { return false; }
  // Completes what the stream has been given to write: a deflater's final flush,
  // a buffered file's pending bytes. Nothing for most streams. Raises when the
  // bytes cannot be written.
  virtual void Finish() {}
  // The system's code and reason for the last transfer that fell short (a full
  // disk, a quota), or kOk and no text when the stream has none to give.
  virtual platform::IoStatus Failure() const { return {}; }

  // Whole transfers: a short read raises EReadError "Stream read error", a short
  // write EWriteError "Stream write error", followed by ". " and Failure()'s reason
  // when there is one, and carrying its code.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
};

// Message, followed by ". " and Reason when there is one: how a failure keeps
// the system's own words.
Text WithReason(TextView message, const Text& reason);

// Raises E with Message and Failure's reason, carrying Failure's code.
template <typename E>
[[noreturn]] void RaiseWithReason(TextView message, const platform::IoStatus& failure) {
  throw E(WithReason(message, failure.reason), failure.code);
}

// A stream held in memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(TBytes bytes) : bytes_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return position_; }
  void SetPosition(int64_t position) override { position_ = position < 0 ? 0 : position; }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Truncate(int64_t size) override;

  const TBytes& Bytes() const { return bytes_; }
  // Hands the bytes over, leaving the stream empty.
  TBytes Take() {
    position_ = 0;
    return std::move(bytes_);
  }

 private:
  TBytes bytes_;
  int64_t position_ = 0;
};

}  // namespace quenmar
