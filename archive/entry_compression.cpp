#include "archive/entry_compression.h"

#include "archive/checksum_stream.h"
#include "archive/compression_registry.h"
#include "archive/dos_time.h"
#include "archive/file_stream.h"
#include "archive/method_names.h"
#include "archive/name_encoding.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

constexpr uint32_t kAttributeMask = 0x7BF7;
constexpr int64_t kMaxEntrySize = int64_t{1} << 32;

// Memory that holds at most Limit bytes. What would pass the limit is dropped and
// marks the stream full, so that the compressor is stopped by its owner, not by a
// failed write.
class BoundedMemoryStream : public TStream {
 public:
  explicit BoundedMemoryStream(int64_t limit) : limit_(limit) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    if (full_ || static_cast<int64_t>(bytes_.size()) + count > limit_) {
      full_ = true;
      return count;
    }
    bytes_.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    return count;
  }
  int64_t Position() override { return static_cast<int64_t>(bytes_.size()); }
  void SetPosition(int64_t) override {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Full() const { return full_; }
  TBytes Take() { return std::move(bytes_); }

 private:
  int64_t limit_;
  TBytes bytes_;
  bool full_ = false;
};

}  // namespace

void CheckEntrySize(int64_t size) {
  if (size >= kMaxEntrySize) throw EZipException(kEntryTooLarge);
}

TZipHeader FileEntryHeader(TFileStream& file, TextView entryName, TZipCompression compression, bool utf8Names) {
  const TextView filePath = file.Path();
  const int64_t size = file.Size();
  CheckEntrySize(size);
  if (filePath.size() >= platform::kMaxPathLength) throw EPathTooLongException(kPathTooLong);
  // The file is open, so its folder and the file itself exist; what the OS says
  // of it is read from the open handle.
  platform::LocalDateTime lastWrite;
  uint32_t attributes = 0;
  if (!file.Describe(lastWrite, attributes)) throw EFileNotFoundException(kFileNotFound);
  const Text name = entryName.empty() ? FileNameOf(filePath) : Text(entryName);
  return EntryHeader(size, lastWrite, attributes, name, compression, utf8Names);
}

TZipHeader EntryHeader(int64_t size, const platform::LocalDateTime& lastWrite, uint32_t attributes,
                       TextView entryName, TZipCompression compression, bool utf8Names) {
  TZipHeader header;
  header.Flag = utf8Names ? kFlagUtf8 : 0;
  header.CompressionMethod = compression;
  header.ModifiedDateTime = DateTimeToDos(lastWrite);
  header.UncompressedSize = static_cast<uint32_t>(size);
  header.ExternalAttributes = attributes & kAttributeMask;
  header.FileName = EncodeName(entryName, utf8Names);
  return header;
}

void FitVariableFields(TZipHeader& h) {
  for (TBytes* field : {&h.FileName, &h.ExtraField, &h.FileComment}) {
    if (field->size() > 0xFFFF) field->resize(0xFFFF);
  }
  h.FileNameLength = static_cast<uint16_t>(h.FileName.size());
  h.ExtraFieldLength = static_cast<uint16_t>(h.ExtraField.size());
  h.FileCommentLength = static_cast<uint16_t>(h.FileComment.size());
}

void PrepareLocalHeader(TZipHeader& local) {
  if ((local.MadeByVersion & 0xFF) < 20) local.MadeByVersion = static_cast<uint16_t>((local.MadeByVersion & 0xFF00) | 20);
  if (local.RequiredVersion < 20) local.RequiredVersion = 20;
  FitVariableFields(local);
  local.CRC32 = 0;
  local.CompressedSize = 0;
}

std::optional<uint32_t> CompressBlocks(TStream& data, int64_t size, TStream& compressor,
                                       const std::function<bool(int64_t done)>& goOn) {
  TChecksumStream source(data, size);
  if (!CopyBlocks(source, &compressor, goOn)) return std::nullopt;
  compressor.Finish();
  return source.Crc();
}

std::optional<TPreparedEntry> PrepareEntry(TFileStream& file, TextView entryName, TZipCompression compression,
                                           bool utf8Names, int64_t maxBytes, const TBlockProgress& progress) {
  BoundedMemoryStream sink(maxBytes);
  const std::unique_ptr<TStream> compressor = NewOwnCompressor(compression, sink);
  if (!compressor) {
    throw EZipException(kNotRegistered + CompressionMethodName(compression));
  }
  file.SetPosition(0);
  TZipHeader local = FileEntryHeader(file, entryName, compression, utf8Names);
  PrepareLocalHeader(local);
  const std::optional<uint32_t> crc =
      CompressBlocks(file, local.UncompressedSize, *compressor, [&](int64_t done) {
        if (progress) progress(done);
        return !sink.Full();
      });
  if (!crc || sink.Full()) return std::nullopt;
  local.CRC32 = *crc;
  local.CompressedSize = static_cast<uint32_t>(sink.Size());
  return TPreparedEntry{std::move(local), sink.Take()};
}

}  // namespace quenmar
