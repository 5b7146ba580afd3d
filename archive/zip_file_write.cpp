// TZipFile: adding entries and writing the central directory.
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

constexpr int64_t kMaxArchiveOffset = int64_t{1} << 32;

[[noreturn]] void WriteError(const TStream& stream) {
  RaiseWithReason<EZipException>(kErrorWritingZip, stream.Failure());
}

// The handler of a method this program writes with; raises for one not registered.
TCompressionHandler RegisteredHandler(TZipCompression compression) {
  auto handler = FindCompressionHandler(compression);
  if (!handler) {
    throw EZipException(kNotRegistered + CompressionMethodName(compression));
  }
  return *std::move(handler);
}

void WriteAll(TStream& stream, std::string_view bytes) {
  if (!bytes.empty() && stream.Write(bytes.data(), static_cast<int64_t>(bytes.size())) !=
                            static_cast<int64_t>(bytes.size())) {
    WriteError(stream);
  }
}

void CheckRoomForEntry(size_t entries) {
  if (entries >= static_cast<size_t>(zf::kMaxEntries)) {
    throw EZipException(kTooManyEntries);
  }
}

// Offsets and sizes are 32-bit without Zip64: nothing may start or end at 4 GiB or
// beyond, where its offset would be stored cut short. Offset is counted from the
// archive's start.
void CheckArchiveEnd(int64_t offset) {
  if (offset >= kMaxArchiveOffset) throw EZipException(kArchiveTooLarge);
}

}  // namespace

void TZipFile::Add(TextView filePath, TextView archiveFileName, TZipCompression compression) {
  if (filePath.empty()) throw EZipException(kFileNameEmpty);
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
  TZipHeader header = FileEntryHeader(file, archiveFileName, compression, FUTF8Support);
  Add(file, header, nullptr);
}

void TZipFile::AddPrepared(TPreparedEntry& entry) { AddPrepared(entry.header, entry.data); }

void TZipFile::AddPrepared(TZipHeader& local, std::string_view data, bool flush) {
  RequireWritable();
  CheckRoomForEntry(FFiles.Count());
  const int64_t headerOffset = FEndFileData - FStartFileData;
  const int64_t headerLength = zf::kLocalHeaderLength + local.FileNameLength + local.ExtraFieldLength;
  CheckArchiveEnd(headerOffset + headerLength);
  CheckArchiveEnd(headerOffset + headerLength + static_cast<int64_t>(data.size()));
  local.LocalHeaderOffset = static_cast<uint32_t>(headerOffset);

  TStream& stream = *FStream;
  stream.SetPosition(FEndFileData);
  TBytes head;
  AppendLocalHeader(head, local);
  WriteAll(stream, head);
  WriteAll(stream, data);
  // The entry is on disk before it counts as added; a failure here leaves it out.
  if (flush) stream.Finish();
  FEndFileData = stream.Position();
  FFiles.Append(local);
  FNameIndex.Append(FFiles, FUTF8Support, FFiles.Count() - 1);
  if (OnProgress) OnProgress(*this, Text(), local, local.UncompressedSize);
}

void TZipFile::Add(const TBytes& data, TextView archiveFileName, TZipCompression compression) {
  TMemoryStream stream(data);
  Add(stream, archiveFileName, compression, 0);
}

void TZipFile::Add(TStream& data, TextView archiveFileName, TZipCompression compression,
                   uint32_t externalAttributes) {
  if (archiveFileName.empty()) throw EZipException(kFileNameEmpty);
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

void TZipFile::Add(TStream& data, TZipHeader& localHeader, TZipHeader* centralHeader) {
  RequireWritable();
  CheckRoomForEntry(FFiles.Count());
  const auto handler = FindCompressionHandlerForRecord(localHeader.CompressionMethod);
  if (!handler) {
    throw EZipException(kNotRegistered + CompressionMethodNumberAndName(localHeader.CompressionMethod));
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
  uint32_t crc = 0;
  {
    const std::unique_ptr<TStream> compressor = handler->compress(stream, *this, local);
    crc = *CompressBlocks(data, sourceSize, *compressor, [this, &local](int64_t done) {
      if (OnProgress) OnProgress(*this, FCurrentFile, local, done);
      return true;
    });
  }

  const int64_t compressedSize = stream.Position() - dataStart;
  CheckArchiveEnd(stream.Position() - FStartFileData);
  CheckEntrySize(compressedSize);
  local.CompressedSize = static_cast<uint32_t>(compressedSize);
  local.CRC32 = crc;
  const int64_t dataEnd = stream.Position();

  stream.SetPosition(FEndFileData + zf::kSignatureLength);
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
  FNameIndex.Append(FFiles, FUTF8Support, FFiles.Count() - 1);
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
  // Nothing of a partly written entry may stay behind the end record. A stream
  // that cannot be cut at all has nothing behind it; one whose cut failed does.
  if (!stream.Truncate(stream.Position()) && !stream.Failure().Ok()) WriteError(stream);
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
