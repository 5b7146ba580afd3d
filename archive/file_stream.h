// A file as a stream. Every file the archive layer opens takes the file for
// itself: a second opener is refused with the sharing violation.
//
// A buffered stream (the archive itself) keeps 64 KiB of the file: read ahead when
// it is open for reading, written behind otherwise. Archives of many small entries
// then cost a system call per block rather than several per entry. Written bytes
// reach the file at Flush, Truncate, a read, or a write that does not fit; Flush
// raises EWriteError "Stream write error. REASON" when they cannot, REASON being
// the system's (a full disk, a quota).
//
// A read the system refuses raises EReadError "Stream read error. REASON" rather
// than end short. Whatever fails on a file written (a write, a flush, setting its time or
// attributes, cutting it, closing it) raises EWriteError with the system's
// reason; closing a file that was only read never raises.
#pragma once

#include <vector>

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
  TFileStream(TextView path, TFileMode mode, bool buffered = false);
  // Takes over a File the caller opened (by handle, inside a folder): Mode says
  // only whether it is read (kOpenRead) or written; Path names it in messages.
  TFileStream(platform::File file, TextView path, TFileMode mode, bool buffered = false);
  ~TFileStream() override;

  // The path the file was opened by or named with.
  const Text& Path() const { return path_; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return position_; }
  void SetPosition(int64_t position) override;
  int64_t Size() override;
  bool Truncate(int64_t size) override;
  void Finish() override { Flush(); }
  platform::IoStatus Failure() const override { return file_.LastFailure(); }
  void Flush();
  // Writes what is pending and has the system put the file's bytes on the disk
  // (see platform::File::FlushToDisk).
  void FlushToDisk();
  // Writes what is pending and closes the file, raising for a file written when
  // either fails: file systems over a network and quotas report a write that
  // failed late at the close. Nothing else may be done with the stream after.
  void Close();
  // The size the file had when it was opened.
  int64_t SizeAtOpen() const { return file_.SizeAtOpen(); }
  // The POSIX permission bits the file had when it was opened (0 on Windows).
  uint32_t PermissionsAtOpen() const { return file_.PermissionsAtOpen(); }
  // The file's last-write time and attribute bits; false when the OS does not say.
  bool Describe(platform::LocalDateTime& lastWrite, uint32_t& attributes) const {
    return file_.Describe(lastWrite, attributes);
  }
  // Writes what is pending, then sets the file's last-write time.
  void SetTimes(const platform::LocalDateTime& time);
  // The same with the present moment.
  void SetTimesToNow();
  // Sets the file's attribute bits through the open file.
  void SetAttributes(uint32_t attributes);

 private:
  int64_t ReadFromFile(void* buffer, int64_t count);
  int64_t WriteToFile(const void* buffer, int64_t count);
  bool MoveFileTo(int64_t position);
  void MoveToRead(int64_t position);

  platform::File file_;
  Text path_;
  int64_t position_ = 0;   // where the next read or write of the caller goes
  int64_t filePos_ = 0;    // where the OS file stands
  bool readOnly_ = false;  // then its size is the size at opening
  bool buffered_ = false;
  // Read ahead (read only) or written behind (otherwise): the bytes of the file
  // from cacheStart_ on.
  std::vector<char> cache_;
  int64_t cacheStart_ = 0;
  int64_t cacheLength_ = 0;
  bool pending_ = false;  // the cache holds bytes not yet written
};

}  // namespace quenmar
