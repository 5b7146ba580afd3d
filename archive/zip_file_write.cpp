// TZipFile: adding entries and writing the central directory.
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "archive/dos_time.h"
#include "archive/file_stream.h"
#include "archive/method_names.h"
#include "archive/name_encoding.h"
#include "archive/zip_file.h"
#include "archive/zip_format.h"
#include "archive/zip_records.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/file_info.h"
#include "support/platform/files.h"
#include "support/platform/folders.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

namespace zf = zipformat;

constexpr int64_t kCopyPiece = 61440;
constexpr uint32_t kAttributeMask = 0x7BF7;
constexpr int64_t kMaxEntrySize = int64_t{1} << 32;

[[noreturn]] void WriteError(const TStream& stream) {
  throw EZipException(WithReason(u"Error writing zip file", stream.FailureReason()));
}

// The handler of a method this program writes with; raises for one not registered.
TCompressionHandler RegisteredHandler(TZipCompression compression) {
  auto handler = FindCompressionHandler(compression);
  if (!handler) {
    throw EZipException(u"Support for compression method not registered: " + CompressionMethodName(compression));
  }
  return *std::move(handler);
}

void WriteAll(TStream& stream, const TBytes& bytes) {
  if (!bytes.empty() && stream.Write(bytes.data(), static_cast<int64_t>(bytes.size())) !=
                            static_cast<int64_t>(bytes.size())) {
    WriteError(stream);
  }
}

// Cuts the name, extra field and comment to what a 16-bit length can say, and
// sets the three lengths to match.
void FitVariableFields(TZipHeader& h) {
  for (TBytes* field : {&h.FileName, &h.ExtraField, &h.FileComment}) {
    if (field->size() > 0xFFFF) field->resize(0xFFFF);
  }
  h.FileNameLength = static_cast<uint16_t>(h.FileName.size());
  h.ExtraFieldLength = static_cast<uint16_t>(h.ExtraField.size());
  h.FileCommentLength = static_cast<uint16_t>(h.FileComment.size());
}

void CheckRoomForEntry(size_t entries) {
  if (entries >= static_cast<size_t>(zf::kMaxEntries)) {
    throw EZipException(u"Too many entries for a ZIP archive without Zip64");
  }
}

void CheckEntrySize(int64_t size) {
  if (size >= kMaxEntrySize) throw EZipException(u"Entry too large for a ZIP archive without Zip64");
}

// Offsets and sizes are 32-bit without Zip64: nothing may start or end at 4 GiB or
// beyond, where its offset would be stored cut short. Offset is counted from the
// archive's start.
void CheckArchiveEnd(int64_t offset) {
  if (offset >= kMaxEntrySize) throw EZipException(u"Archive too large for a ZIP archive without Zip64");
}

// Memory that takes at most Limit bytes; a write beyond is refused (short), which
// the compressing stream reports as EWriteError.
class BoundedMemoryStream : public TStream {
 public:
  explicit BoundedMemoryStream(int64_t limit) : limit_(limit) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    if (static_cast<int64_t>(bytes_.size()) + count > limit_) {
      overflowed_ = true;
      return 0;
    }
    bytes_.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    return count;
  }
  int64_t Position() override { return static_cast<int64_t>(bytes_.size()); }
  void SetPosition(int64_t) override {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  const TBytes& Bytes() const { return bytes_; }
  TBytes Take() { return std::move(bytes_); }
  bool Overflowed() const { return overflowed_; }

 private:
  int64_t limit_;
  TBytes bytes_;
  bool overflowed_ = false;
};

}  // namespace

TZipHeader TZipFile::FileEntryHeader(TFileStream& source, TextView archiveFileName,
                                     TZipCompression compression) const {
  const TextView filePath = source.Path();
  const int64_t size = source.Size();
  CheckEntrySize(size);
  if (filePath.size() >= platform::kMaxPathLength) throw EPathTooLongException(u"The specified path is too long");
  // The file is open, so its folder and the file itself exist; what the OS says
  // of it is read from the open handle.
  platform::LocalDateTime lastWrite;
  uint32_t attributes = 0;
  if (!source.Describe(lastWrite, attributes)) throw EFileNotFoundException(u"The specified file was not found");
  TZipHeader header;
  header.Flag = FUTF8Support ? kFlagUtf8 : 0;
  header.CompressionMethod = compression;
  header.ModifiedDateTime = DateTimeToDos(lastWrite);
  header.UncompressedSize = static_cast<uint32_t>(size);
  header.ExternalAttributes = attributes & kAttributeMask;
  const Text name = archiveFileName.empty() ? FileNameOf(filePath) : Text(archiveFileName);
  header.FileName = EncodeName(name, FUTF8Support);
  return header;
}

void TZipFile::Add(TextView filePath, TextView archiveFileName, TZipCompression compression) {
  if (filePath.empty()) throw EZipException(u"File name must not be empty");
  RequireWritable();
  (void)RegisteredHandler(compression);
  CheckRoomForEntry(FFiles.Count());

  TFileStream source(filePath, TFileMode::kOpenRead);
  Add(source, archiveFileName, compression);
}

void TZipFile::Add(TFileStream& file, TextView archiveFileName, TZipCompression compression) {
  RequireWritable();
  (void)RegisteredHandler(compression);
  CheckRoomForEntry(FFiles.Count());
  const CurrentEntryScope scope{*this};
  FCurrentFile = file.Path();
  file.SetPosition(0);
  TZipHeader header = FileEntryHeader(file, archiveFileName, compression);
  Add(file, header, nullptr);
}

bool TZipFile::PrepareFile(TextView filePath, TextView archiveFileName, TZipCompression compression,
                           int64_t maxBytes, TPreparedEntry& entry, const TZipProgressEvent& progress) const {
  if (filePath.empty()) throw EZipException(u"File name must not be empty");
  (void)RegisteredHandler(compression);
  TFileStream source(filePath, TFileMode::kOpenRead);
  return PrepareFile(source, archiveFileName, compression, maxBytes, entry, progress);
}

bool TZipFile::PrepareFile(TFileStream& source, TextView archiveFileName, TZipCompression compression,
                           int64_t maxBytes, TPreparedEntry& entry, const TZipProgressEvent& progress) const {
  const TCompressionHandler handler = RegisteredHandler(compression);
  source.SetPosition(0);
  TZipHeader local = FileEntryHeader(source, archiveFileName, compression);
  PrepareLocalHeader(local);
  BoundedMemoryStream sink(maxBytes);
  uint32_t crc = 0;
  try {
    // The compressing stream is handed this object as Add hands it; the built-in
    // ones do not look at it.
    // The file's own name: the archive's current file belongs to the thread that
    // writes the archive.
    const Text fileName(source.Path());
    crc = Compress(source, local.UncompressedSize, sink, handler, const_cast<TZipFile&>(*this), local, &progress,
                   fileName);
  } catch (const EWriteError&) {
    if (sink.Overflowed()) return false;
    throw;
  }
  local.CRC32 = crc;
  local.CompressedSize = static_cast<uint32_t>(sink.Bytes().size());
  entry.header = std::move(local);
  entry.data = sink.Take();
  return true;
}

void TZipFile::AddPrepared(TPreparedEntry& entry) {
  RequireWritable();
  CheckRoomForEntry(FFiles.Count());
  TZipHeader& local = entry.header;
  const int64_t headerOffset = FEndFileData - FStartFileData;
  const int64_t headerLength = zf::kLocalHeaderLength + local.FileNameLength + local.ExtraFieldLength;
  CheckArchiveEnd(headerOffset + headerLength);
  CheckArchiveEnd(headerOffset + headerLength + static_cast<int64_t>(entry.data.size()));
  local.LocalHeaderOffset = static_cast<uint32_t>(headerOffset);

  TStream& stream = *FStream;
  stream.SetPosition(FEndFileData);
  TBytes head;
  AppendLocalHeader(head, local);
  WriteAll(stream, head);
  WriteAll(stream, entry.data);
  // The entry is on disk before it counts as added; a failure here leaves it out.
  stream.Finish();
  FEndFileData = stream.Position();
  FFiles.Append(local);
  nameIndex_.Append(FFiles, FUTF8Support, FFiles.Count() - 1);
  if (OnProgress) OnProgress(*this, Text(), local, local.UncompressedSize);
}

void TZipFile::Add(const TBytes& data, TextView archiveFileName, TZipCompression compression) {
  TMemoryStream stream(data);
  Add(stream, archiveFileName, compression, 0);
}

void TZipFile::Add(TStream& data, TextView archiveFileName, TZipCompression compression,
                   uint32_t externalAttributes) {
  if (archiveFileName.empty()) throw EZipException(u"File name must not be empty");
  RequireWritable();
  (void)RegisteredHandler(compression);
  CheckRoomForEntry(FFiles.Count());
  CheckEntrySize(data.Size() - data.Position());
  TZipHeader header;
  header.Flag = FUTF8Support ? kFlagUtf8 : 0;
  header.CompressionMethod = compression;
  header.ModifiedDateTime = DateTimeToDos(platform::CurrentLocalTime());
  header.ExternalAttributes = externalAttributes;
  header.FileName = EncodeName(archiveFileName, FUTF8Support);
  Add(data, header, nullptr);
}

void TZipFile::PrepareLocalHeader(TZipHeader& local) {
  if ((local.MadeByVersion & 0xFF) < 20) local.MadeByVersion = static_cast<uint16_t>((local.MadeByVersion & 0xFF00) | 20);
  if (local.RequiredVersion < 20) local.RequiredVersion = 20;
  FitVariableFields(local);
  local.CRC32 = 0;
  local.CompressedSize = 0;
}

uint32_t TZipFile::Compress(TStream& data, int64_t size, TStream& sink, const TCompressionHandler& handler,
                            TZipFile& zipFile, const TZipHeader& local, const TZipProgressEvent* progress,
                            const Text& fileName) {
  uint32_t crc = 0;
  std::unique_ptr<TStream> compressor = handler.compress(sink, zipFile, local);
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(kCopyPiece, std::max<int64_t>(size, 1))));
  int64_t left = size;
  while (left > 0) {
    const int64_t piece = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    if (data.Read(buffer.data(), piece) != piece) throw EReadError(u"Stream read error");
    // The checksum is taken from the same bytes on their way to the deflater, so
    // the source is read once.
    crc = static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(piece)));
    compressor->WriteBuffer(buffer.data(), piece);
    left -= piece;
    if (progress != nullptr && *progress) (*progress)(zipFile, fileName, local, size - left);
  }
  compressor->Finish();
  return crc;
}

void TZipFile::Add(TStream& data, TZipHeader& localHeader, TZipHeader* centralHeader) {
  RequireWritable();
  CheckRoomForEntry(FFiles.Count());
  const auto handler = FindCompressionHandlerForRecord(localHeader.CompressionMethod);
  if (!handler) {
    throw EZipException(u"Support for compression method not registered: " +
                        CompressionMethodNumberAndName(localHeader.CompressionMethod));
  }
  const int64_t sourceStart = data.Position();
  const int64_t sourceSize = data.Size() - sourceStart;
  CheckEntrySize(sourceSize);
  const int64_t headerOffset = FEndFileData - FStartFileData;
  TZipHeader& local = localHeader;
  FitVariableFields(local);
  CheckArchiveEnd(headerOffset + zf::kLocalHeaderLength + local.FileNameLength + local.ExtraFieldLength);

  TStream& stream = *FStream;
  stream.SetPosition(FEndFileData);
  local.LocalHeaderOffset = static_cast<uint32_t>(headerOffset);
  PrepareLocalHeader(local);

  TBytes head;
  AppendLocalHeader(head, local);
  WriteAll(stream, head);

  const int64_t dataStart = stream.Position();
  local.UncompressedSize = static_cast<uint32_t>(sourceSize);
  const CurrentEntryScope scope{*this};
  FCurrentHeader = local;
  const uint32_t crc = Compress(data, sourceSize, stream, *handler, *this, local, &OnProgress, FCurrentFile);

  const int64_t compressedSize = stream.Position() - dataStart;
  CheckArchiveEnd(stream.Position() - FStartFileData);
  CheckEntrySize(compressedSize);
  local.CompressedSize = static_cast<uint32_t>(compressedSize);
  local.CRC32 = crc;
  const int64_t dataEnd = stream.Position();

  stream.SetPosition(FEndFileData + 4);
  TBytes tail;
  AppendLocalHeaderTail(tail, local);
  WriteAll(stream, tail);
  // The entry is on disk before it counts as added; a failure here leaves it out.
  stream.Finish();
  stream.SetPosition(dataEnd);
  FEndFileData = dataEnd;

  TZipHeader central = centralHeader ? *centralHeader : local;
  if (centralHeader) {
    central.LocalHeaderOffset = local.LocalHeaderOffset;
    central.CRC32 = local.CRC32;
    central.CompressedSize = local.CompressedSize;
    central.UncompressedSize = local.UncompressedSize;
    FitVariableFields(central);
  }
  FFiles.Append(central);
  nameIndex_.Append(FFiles, FUTF8Support, FFiles.Count() - 1);
  if (OnProgress) OnProgress(*this, FCurrentFile, central, sourceSize);
}

void TZipFile::WriteCentralDirectory() {
  const int64_t directoryStart = FEndFileData - FStartFileData;
  int64_t directorySize = 0;
  for (size_t i = 0; i < FFiles.Count(); ++i) directorySize += static_cast<int64_t>(FFiles.Record(i).size());
  CheckArchiveEnd(directoryStart);
  CheckArchiveEnd(directoryStart + directorySize);

  TStream& stream = *FStream;
  stream.SetPosition(FEndFileData);
  TBytes directory;
  for (size_t i = 0; i < FFiles.Count(); ++i) {
    directory += FFiles.Record(i);
    if (directory.size() >= (1u << 20)) {
      WriteAll(stream, directory);
      directory.clear();
    }
  }
  WriteAll(stream, directory);
  const int64_t directoryEnd = stream.Position();
  if (FComment.size() > 0xFFFF) FComment.resize(0xFFFF);

  TBytes end;
  zf::PutU32(end, zf::kEndRecordSignature);
  zf::PutU16(end, 0);
  zf::PutU16(end, 0);
  zf::PutU16(end, static_cast<uint16_t>(FFiles.Count() & 0xFFFF));
  zf::PutU16(end, static_cast<uint16_t>(FFiles.Count() & 0xFFFF));
  zf::PutU32(end, static_cast<uint32_t>((directoryEnd - FEndFileData) & 0xFFFFFFFF));
  zf::PutU32(end, static_cast<uint32_t>(FEndFileData & 0xFFFFFFFF));
  zf::PutU16(end, static_cast<uint16_t>(FComment.size()));
  end += FComment;
  WriteAll(stream, end);
  try {
    stream.Finish();
  } catch (const EWriteError&) {
    WriteError(stream);
  }
  // Nothing of a partly written entry may stay behind the end record.
  stream.Truncate(stream.Position());
}

void TZipFile::ZipDirectoryContents(TextView zipFileName, TextView path, TZipCompression compression,
                                    TZipProgressEvent progress) {
  TZipFile zip;
  zip.OnProgress = std::move(progress);
  zip.Open(zipFileName, zmWrite);
  std::vector<Text> files;
  const platform::IoStatus walked = platform::WalkFiles(path, [&](const Text& relative) { files.push_back(relative); });
  if (!walked.Ok()) throw EDirectoryNotFoundException(u"The specified path was not found");
  const Text zipFull = FullFileName(zipFileName);
  Text folder(path);
  if (!folder.empty() && folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
  for (const Text& relative : files) {
    const Text full = folder + relative;
    if (FullFileName(full) == zipFull) continue;  // never the archive being written
    zip.Add(full, relative, compression);
  }
  zip.Close();
}

}  // namespace quenmar
