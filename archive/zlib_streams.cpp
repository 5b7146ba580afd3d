#include "archive/zlib_streams.h"

#include <algorithm>

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
    case Z_MEM_ERROR: return u"insufficient memory";
    case Z_BUF_ERROR: return u"buffer error";
    case Z_VERSION_ERROR: return u"incompatible version";
    default: return u"";
  }
}

TZCompressionStream::TZCompressionStream(TStream& archive, TCompressionLevel level)
    : archive_(archive), out_(kBufferSize) {
  const int rc = deflateInit2(&zstream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) throw EZCompressionError(ZlibErrorText(rc));
  zstream_.next_out = out_.data();
  zstream_.avail_out = kBufferSize;
}

TZCompressionStream::~TZCompressionStream() { deflateEnd(&zstream_); }

int64_t TZCompressionStream::Read(void*, int64_t) {
  throw EZCompressionError(u"Invalid stream operation");
}

void TZCompressionStream::SetPosition(int64_t) { throw EZCompressionError(u"Invalid stream operation"); }

void TZCompressionStream::FlushOutput() {
  const auto produced = static_cast<int64_t>(kBufferSize - zstream_.avail_out);
  archive_.WriteBuffer(out_.data(), produced);
  zstream_.next_out = out_.data();
  zstream_.avail_out = kBufferSize;
}

int64_t TZCompressionStream::Write(const void* buffer, int64_t count) {
  auto* in = static_cast<const unsigned char*>(buffer);
  int64_t left = count;
  while (left > 0) {
    const auto piece = static_cast<uInt>(std::min<int64_t>(left, 1 << 30));
    zstream_.next_in = const_cast<unsigned char*>(in);
    zstream_.avail_in = piece;
    while (zstream_.avail_in > 0) {
      const int rc = deflate(&zstream_, Z_NO_FLUSH);
      if (rc < 0 && rc != Z_BUF_ERROR) throw EZCompressionError(ZlibErrorText(rc));
      if (zstream_.avail_out == 0) FlushOutput();
    }
    in += piece;
    left -= piece;
  }
  return count;
}

void TZCompressionStream::Finish() {
  if (finished_) return;
  zstream_.next_in = nullptr;
  zstream_.avail_in = 0;
  for (;;) {
    const int rc = deflate(&zstream_, Z_FINISH);
    if (rc < 0 && rc != Z_BUF_ERROR) throw EZCompressionError(ZlibErrorText(rc));
    if (zstream_.avail_out == 0 || rc == Z_STREAM_END) FlushOutput();
    if (rc == Z_STREAM_END) break;
  }
  finished_ = true;
}

TZDecompressionStream::TZDecompressionStream(TStream& archive) : archive_(archive), in_(kBufferSize) {
  const int rc = inflateInit2(&zstream_, -15);
  if (rc != Z_OK) throw EZDecompressionError(ZlibErrorText(rc));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&zstream_); }

int64_t TZDecompressionStream::Read(void* buffer, int64_t count) {
  if (ended_ || count <= 0) return 0;
  zstream_.next_out = static_cast<unsigned char*>(buffer);
  zstream_.avail_out = static_cast<uInt>(std::min<int64_t>(count, 1 << 30));
  const uInt wanted = zstream_.avail_out;
  while (zstream_.avail_out > 0) {
    if (zstream_.avail_in == 0) {
      const int64_t got = archive_.Read(in_.data(), static_cast<int64_t>(in_.size()));
      if (got <= 0) break;  // the archive ran out: the caller sees a short read
      zstream_.next_in = in_.data();
      zstream_.avail_in = static_cast<uInt>(got);
    }
    const int rc = inflate(&zstream_, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) {
      ended_ = true;
      // Leave the archive stream right behind the compressed data.
      if (zstream_.avail_in > 0) archive_.SetPosition(archive_.Position() - zstream_.avail_in);
      zstream_.avail_in = 0;
      break;
    }
    if (rc == Z_NEED_DICT) throw EZDecompressionError(ZlibErrorText(Z_DATA_ERROR));
    if (rc < 0 && rc != Z_BUF_ERROR) throw EZDecompressionError(ZlibErrorText(rc));
  }
  return static_cast<int64_t>(wanted - zstream_.avail_out);
}

int64_t TZDecompressionStream::Write(const void*, int64_t) {
  throw EZDecompressionError(u"Invalid stream operation");
}

void TZDecompressionStream::SetPosition(int64_t) { throw EZDecompressionError(u"Invalid stream operation"); }

}  // namespace quenmar
