#include "archive/file_stream.h"

#include <algorithm>

#include "support/exceptions.h"
#include "support/file_names.h"

namespace quenmar {

namespace {

constexpr int64_t kCacheSize = 65536;

}  // namespace



TFileStream::TFileStream(TextView path, TFileMode mode, bool buffered) : path_(path), buffered_(buffered) {
  platform::FileAccess access = platform::FileAccess::kRead;
  if (mode == TFileMode::kOpenReadWrite) access = platform::FileAccess::kReadWrite;
  if (mode == TFileMode::kCreate) access = platform::FileAccess::kCreate;
  if (mode == TFileMode::kOverwrite) access = platform::FileAccess::kOverwrite;
  platform::IoStatus status;
  readOnly_ = mode == TFileMode::kOpenRead;
  // A file read is shared with other readers (Explorer's view of a ZIP, a
  // preview, a virus scanner or a sync client reading it); no one may write it
  // meanwhile.
  file_ = platform::File::Open(path, access, readOnly_ ? platform::FileShare::kReaders : platform::FileShare::kExclusive,
                               status);
  if (!status.Ok()) {
    Text full = FullFileName(path);
    if (full.empty()) full = Text(path);
    if (mode == TFileMode::kCreate || mode == TFileMode::kOverwrite) throw EFCreateError(CannotCreateMessage(full, status.reason), status.code);
    throw EFOpenError(CannotOpenMessage(full, status.reason), status.code);
  }
  if (buffered_) cache_.resize(kCacheSize);
}

TFileStream::TFileStream(platform::File file, TextView path, TFileMode mode, bool buffered)
    : file_(std::move(file)), path_(path), readOnly_(mode == TFileMode::kOpenRead), buffered_(buffered) {
  if (buffered_) cache_.resize(kCacheSize);
}

TFileStream::~TFileStream() {
  try {
    Flush();
  } catch (const EWriteError&) {
    // Nobody is left to tell; callers that care flush before letting go.
  }
}

bool TFileStream::MoveFileTo(int64_t position) {
  if (position == filePos_) return true;
  const int64_t at = file_.Seek(position);
  if (at < 0) return false;
  filePos_ = at;
  return true;
}

// A read the system refuses is no end of the data: it raises, so that it is not
// taken for a damaged archive, and the system's reason is kept.
int64_t TFileStream::ReadFromFile(void* buffer, int64_t count) {
  const int64_t n = file_.Read(buffer, count);
  if (n < 0) RaiseWithReason<EReadError>(kStreamReadError, Failure());
  filePos_ += n;
  return n;
}

void TFileStream::MoveToRead(int64_t position) {
  if (!MoveFileTo(position)) RaiseWithReason<EReadError>(kStreamReadError, Failure());
}

int64_t TFileStream::WriteToFile(const void* buffer, int64_t count) {
  const int64_t n = file_.Write(buffer, count);
  if (n > 0) filePos_ += n;
  return n < 0 ? 0 : n;
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (!buffered_ || !readOnly_) {
    if (pending_) Flush();
    MoveToRead(position_);
    const int64_t n = ReadFromFile(buffer, count);
    position_ += n;
    return n;
  }
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t offset = position_ - cacheStart_;
    if (offset >= 0 && offset < cacheLength_) {
      const int64_t n = std::min(count - done, cacheLength_ - offset);
      std::copy_n(cache_.data() + offset, n, out + done);
      done += n;
      position_ += n;
      continue;
    }
    MoveToRead(position_);
    if (count - done >= kCacheSize) {  // large reads go straight through
      const int64_t n = ReadFromFile(out + done, count - done);
      done += n;
      position_ += n;
      break;
    }
    cacheStart_ = position_;
    cacheLength_ = ReadFromFile(cache_.data(), kCacheSize);
    if (cacheLength_ == 0) break;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (buffered_ && !readOnly_) {
    const int64_t offset = position_ - cacheStart_;
    const bool fits = offset >= 0 && offset <= cacheLength_ && offset + count <= kCacheSize;
    if (!(pending_ && fits)) {
      Flush();
      if (count < kCacheSize) {
        cacheStart_ = position_;
        cacheLength_ = 0;
      }
    }
    if (count < kCacheSize) {
      const int64_t at = position_ - cacheStart_;
      std::copy_n(static_cast<const char*>(buffer), count, cache_.data() + at);
      cacheLength_ = std::max(cacheLength_, at + count);
      pending_ = true;
      position_ += count;
      return count;
    }
  }
  if (!MoveFileTo(position_)) return 0;
  const int64_t n = WriteToFile(buffer, count);
  position_ += n;
  return n;
}

void TFileStream::Flush() {
  if (!pending_) return;
  pending_ = false;
  const int64_t length = cacheLength_;
  cacheLength_ = 0;
  if (!MoveFileTo(cacheStart_) || WriteToFile(cache_.data(), length) != length) {
    RaiseWithReason<EWriteError>(kStreamWriteError, Failure());
  }
}

void TFileStream::SetPosition(int64_t position) { position_ = position < 0 ? 0 : position; }

// A file opened for reading is held locked against other writers of this
// program, so the size seen at opening stands.
int64_t TFileStream::Size() {
  if (readOnly_) return file_.SizeAtOpen();
  const int64_t onDisk = file_.Size();
  return pending_ ? std::max(onDisk, cacheStart_ + cacheLength_) : onDisk;
}

bool TFileStream::Truncate(int64_t size) {
  Flush();
  return file_.Truncate(size);
}

namespace {

void RaiseOnFailure(const platform::IoStatus& status) {
  if (!status.Ok()) RaiseWithReason<EWriteError>(kStreamWriteError, status);
}

}  // namespace

void TFileStream::SetTimes(const platform::LocalDateTime& time) {
  Flush();
  RaiseOnFailure(file_.SetTimes(time));
}

void TFileStream::SetTimesToNow() {
  Flush();
  RaiseOnFailure(file_.SetTimesToNow());
}

void TFileStream::SetAttributes(uint32_t attributes) { RaiseOnFailure(file_.SetAttributes(attributes)); }

void TFileStream::FlushToDisk() {
  Flush();
  RaiseOnFailure(file_.FlushToDisk());
}

void TFileStream::Close() {
  try {
    Flush();
  } catch (const EWriteError&) {
    (void)file_.Close();
    throw;
  }
  const platform::IoStatus closed = file_.Close();
  if (!readOnly_) RaiseOnFailure(closed);
}

}  // namespace quenmar
