#include "archive/zlib_streams.h"

#include <algorithm>
#include <iterator>
#include <mutex>

#include "support/exceptions.h"

namespace quenmar {
namespace {

constexpr size_t kBufferSize = 65536;

}  // namespace

Text ZlibErrorText(int code) {
  switch (code) {
    case Z_ERRNO: return u"file error";
    case Z_STREAM_ERROR: return u"stream error";
    case Z_DATA_ERROR: return u"data error";
    case Z_MEM_ERROR: return kInsufficientMemory;
    case Z_BUF_ERROR: return u"buffer error";
    case Z_VERSION_ERROR: return u"incompatible version";
    default: return u"";
  }
}

struct ZlibState {
  z_stream z{};
  bool deflating = false;
  int level = 0;
  bool initialised = false;
  std::vector<unsigned char> buffer = std::vector<unsigned char>(kBufferSize);
  ~ZlibState() {
    if (!initialised) return;
    if (deflating) {
      deflateEnd(&z);
    } else {
      inflateEnd(&z);
    }
  }
};

namespace {

// Spare states, shared by every thread of the process. A state goes back as its
// stream left it, failed half-way or not, and is made as good as new when it is
// taken: reset, and no pointer into the last stream's buffers or counts left over,
// since zlib's reset leaves next_in, avail_in, next_out and avail_out alone.
//
// Not thread_local: under mingw-w64 a thread_local object's destructor can run
// after the thread's storage is gone, and deflateEnd then read freed memory when a
// worker thread ended. A pool with a lock has no such end.
class SparePool {
 public:
  // The most states kept per direction; more than the threads that convert at once
  // on any machine we run on, and a bound on what idle states hold.
  static constexpr size_t kKept = 16;

  std::unique_ptr<ZlibState> Take(bool deflating, int level) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& spares = deflating ? deflaters_ : inflaters_;
    for (auto it = spares.rbegin(); it != spares.rend(); ++it) {
      if (!deflating || (*it)->level == level) {
        std::unique_ptr<ZlibState> state = std::move(*it);
        spares.erase(std::next(it).base());
        return state;
      }
    }
    return nullptr;
  }

  void Give(std::unique_ptr<ZlibState> state) {
    if (!state) return;
    std::lock_guard<std::mutex> lock(mutex_);
    auto& spares = state->deflating ? deflaters_ : inflaters_;
    if (spares.size() < kKept) spares.push_back(std::move(state));
    // else: the state is freed here, after the lock is let go
  }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<ZlibState>> deflaters_;
  std::vector<std::unique_ptr<ZlibState>> inflaters_;
};

SparePool& Spares() {
  static SparePool pool;
  return pool;
}

void ForgetBuffers(z_stream& z) {
  z.next_in = nullptr;
  z.avail_in = 0;
  z.next_out = nullptr;
  z.avail_out = 0;
}

std::unique_ptr<ZlibState> TakeDeflater(int level) {
  if (std::unique_ptr<ZlibState> state = Spares().Take(true, level)) {
    ForgetBuffers(state->z);
    if (deflateReset(&state->z) == Z_OK) return state;
  }
  auto state = std::make_unique<ZlibState>();
  const int rc = deflateInit2(&state->z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) throw EZCompressionError(ZlibErrorText(rc));
  state->deflating = true;
  state->level = level;
  state->initialised = true;
  return state;
}

std::unique_ptr<ZlibState> TakeInflater() {
  if (std::unique_ptr<ZlibState> state = Spares().Take(false, 0)) {
    ForgetBuffers(state->z);
    if (inflateReset(&state->z) == Z_OK) return state;
  }
  auto state = std::make_unique<ZlibState>();
  const int rc = inflateInit2(&state->z, -15);
  if (rc != Z_OK) throw EZDecompressionError(ZlibErrorText(rc));
  state->initialised = true;
  return state;
}

}  // namespace

TZCompressionStream::TZCompressionStream(TStream& archive, TCompressionLevel level)
    : archive_(archive), state_(TakeDeflater(level)) {
  state_->z.next_out = state_->buffer.data();
  state_->z.avail_out = kBufferSize;
}

TZCompressionStream::~TZCompressionStream() { Spares().Give(std::move(state_)); }

int64_t TZCompressionStream::Position() { return static_cast<int64_t>(state_->z.total_in); }

int64_t TZCompressionStream::Read(void*, int64_t) {
  throw EZCompressionError(kInvalidStreamOperation);
}

void TZCompressionStream::SetPosition(int64_t) { throw EZCompressionError(kInvalidStreamOperation); }

void TZCompressionStream::FlushOutput() {
  z_stream& z = state_->z;
  const auto produced = static_cast<int64_t>(kBufferSize - z.avail_out);
  archive_.WriteBuffer(state_->buffer.data(), produced);
  z.next_out = state_->buffer.data();
  z.avail_out = kBufferSize;
}

int64_t TZCompressionStream::Write(const void* buffer, int64_t count) {
  z_stream& z = state_->z;
  auto* in = static_cast<const unsigned char*>(buffer);
  int64_t left = count;
  while (left > 0) {
    const auto piece = static_cast<uInt>(std::min<int64_t>(left, 1 << 30));
    z.next_in = const_cast<unsigned char*>(in);
    z.avail_in = piece;
    while (z.avail_in > 0) {
      const int rc = deflate(&z, Z_NO_FLUSH);
      if (rc < 0 && rc != Z_BUF_ERROR) throw EZCompressionError(ZlibErrorText(rc));
      if (z.avail_out == 0) FlushOutput();
    }
    in += piece;
    left -= piece;
  }
  return count;
}

void TZCompressionStream::Finish() {
  if (finished_) return;
  z_stream& z = state_->z;
  z.next_in = nullptr;
  z.avail_in = 0;
  for (;;) {
    const int rc = deflate(&z, Z_FINISH);
    if (rc < 0 && rc != Z_BUF_ERROR) throw EZCompressionError(ZlibErrorText(rc));
    if (z.avail_out == 0 || rc == Z_STREAM_END) FlushOutput();
    if (rc == Z_STREAM_END) break;
  }
  finished_ = true;
}

TZDecompressionStream::TZDecompressionStream(TStream& archive, int64_t sizeHint)
    : archive_(archive),
      state_(TakeInflater()),
      nextRead_(sizeHint > 0 && sizeHint < static_cast<int64_t>(kBufferSize) ? sizeHint : kBufferSize) {}

TZDecompressionStream::~TZDecompressionStream() { Spares().Give(std::move(state_)); }

int64_t TZDecompressionStream::Position() { return static_cast<int64_t>(state_->z.total_out); }

int64_t TZDecompressionStream::Read(void* buffer, int64_t count) {
  if (ended_ || count <= 0) return 0;
  z_stream& z = state_->z;
  z.next_out = static_cast<unsigned char*>(buffer);
  z.avail_out = static_cast<uInt>(std::min<int64_t>(count, 1 << 30));
  const uInt wanted = z.avail_out;
  while (z.avail_out > 0) {
    if (z.avail_in == 0) {
      const int64_t got = archive_.Read(state_->buffer.data(), nextRead_);
      nextRead_ = kBufferSize;
      if (got <= 0) break;  // the archive ran out: the caller sees a short read
      z.next_in = state_->buffer.data();
      z.avail_in = static_cast<uInt>(got);
    }
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) {
      ended_ = true;
      // Leave the archive stream right behind the compressed data.
      if (z.avail_in > 0) archive_.SetPosition(archive_.Position() - z.avail_in);
      z.avail_in = 0;
      break;
    }
    if (rc == Z_NEED_DICT) throw EZDecompressionError(ZlibErrorText(Z_DATA_ERROR));
    if (rc < 0 && rc != Z_BUF_ERROR) throw EZDecompressionError(ZlibErrorText(rc));
  }
  return static_cast<int64_t>(wanted - z.avail_out);
}

int64_t TZDecompressionStream::Write(const void*, int64_t) {
  throw EZDecompressionError(kInvalidStreamOperation);
}

void TZDecompressionStream::SetPosition(int64_t) { throw EZDecompressionError(kInvalidStreamOperation); }

}  // namespace quenmar
