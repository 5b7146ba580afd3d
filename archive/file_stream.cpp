#include "archive/file_stream.h"

#include "support/exceptions.h"
#include "support/file_names.h"

namespace quenmar {

TFileStream::TFileStream(TextView path, TFileMode mode) {
  platform::FileAccess access = platform::FileAccess::kRead;
  if (mode == TFileMode::kOpenReadWrite) access = platform::FileAccess::kReadWrite;
  if (mode == TFileMode::kCreate) access = platform::FileAccess::kCreate;
  if (mode == TFileMode::kOverwrite) access = platform::FileAccess::kOverwrite;
  platform::IoStatus status;
  readOnly_ = mode == TFileMode::kOpenRead;
  file_ = platform::File::Open(path, access, platform::FileShare::kExclusive, status);
  if (!status.Ok()) {
    Text full = FullFileName(path);
    if (full.empty()) full = Text(path);
    if (mode == TFileMode::kCreate || mode == TFileMode::kOverwrite) throw EFCreateError(CannotCreateMessage(full, status.reason));
    throw EFOpenError(CannotOpenMessage(full, status.reason));
  }
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t n = file_.Read(buffer, count);
  if (n > 0) position_ += n;
  return n < 0 ? 0 : n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t n = file_.Write(buffer, count);
  if (n > 0) position_ += n;
  return n < 0 ? 0 : n;
}

void TFileStream::SetPosition(int64_t position) {
  if (position == position_) return;  // the file stands there already
  const int64_t at = file_.Seek(position < 0 ? 0 : position);
  if (at >= 0) position_ = at;
}

// A file opened for reading is held locked against other writers of this
// program, so the size seen at opening stands.
int64_t TFileStream::Size() { return readOnly_ ? file_.SizeAtOpen() : file_.Size(); }

bool TFileStream::Truncate(int64_t size) { return file_.Truncate(size); }

}  // namespace quenmar
