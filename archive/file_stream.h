// A file as a stream. Every file the archive layer opens takes the file for
// itself: a second opener is refused with the sharing violation.
#pragma once

#include "archive/stream.h"
#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar {

enum class TFileMode {
  kOpenRead,       // existing file, read only
  kOpenReadWrite,  // existing file, read and write
  kCreate,         // read and write; created, or emptied when it exists
  kOverwrite,      // as kCreate, but an existing file is written over from its start
                   // and the caller cuts it at the end of what it wrote
};

class TFileStream : public TStream {
 public:
  // Raises EFOpenError "Cannot open file "%s". %s" (EFCreateError "Cannot create
  // file ..." for kCreate) with the full path and the platform's text.
  TFileStream(TextView path, TFileMode mode);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return position_; }
  void SetPosition(int64_t position) override;
  int64_t Size() override;
  bool Truncate(int64_t size) override;
  // The size the file had when it was opened.
  int64_t SizeAtOpen() const { return file_.SizeAtOpen(); }
  // The file's last-write time and attribute bits; false when the OS does not say.
  bool Describe(platform::LocalDateTime& lastWrite, uint32_t& attributes) const {
    return file_.Describe(lastWrite, attributes);
  }

 private:
  platform::File file_;
  int64_t position_ = 0;
  bool readOnly_ = false;  // then its size is the size at opening
};

}  // namespace quenmar
