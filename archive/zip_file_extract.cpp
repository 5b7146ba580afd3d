// TZipFile: extraction of entries into files and into memory.
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "archive/checksum_stream.h"
#include "archive/dos_time.h"
#include "archive/entry_path.h"
#include "archive/file_stream.h"
#include "archive/method_names.h"
#include "archive/name_encoding.h"
#include "archive/zip_file.h"
#include "archive/zip_format.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/file_info.h"
#include "support/platform/folders.h"
#include "support/platform/paths.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

namespace zf = zipformat;

constexpr unsigned kHostMsDos = 0;
constexpr unsigned kHostUnix = 3;

uint32_t Crc32(uint32_t crc, const char* data, size_t length) {
  return static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(length)));
}

void CheckPathLength(TextView path) {
  if (path.size() >= platform::kMaxPathLength) throw EPathTooLongException(kPathTooLong);
}

// The folder part of a target path: everything before its last separator.
Text FolderOf(TextView path) {
  const size_t at = path.find_last_of(platform::kDelimiters);
  if (at == TextView::npos) return Text();
  if (at == 0) return Text(path.substr(0, 1));  // the root itself
  return Text(path.substr(0, at));
}

}  // namespace

bool TZipFile::GetUTF8PathFromExtraField(const TZipHeader& header, Text& fileName) {
  const std::string_view extra = header.ExtraField;
  // Searched one byte at a time, not record by record; the first place the tag
  // stands decides, whatever follows it.
  for (size_t t = 0; t + 2 <= extra.size(); ++t) {
    if (zf::GetU16(extra.data() + t) != zf::kUnicodePathTag) continue;
    zf::Cursor field(extra.substr(t + sizeof(uint16_t)));  // behind the tag
    const uint16_t size = field.U16();
    (void)field.U8();  // version
    const uint32_t crc = field.U32();
    if (!field.Ok() || size < 5 || size - 5u > field.Remaining()) return false;
    if (crc != Crc32(0, header.FileName.data(), header.FileName.size())) return false;
    const std::string_view name = field.Take(size - 5u);
    if (name.empty()) return false;
    fileName = Utf8ToText(name);
    return true;
  }
  return false;
}

void TZipFile::ReadLocalHeader(int index, TZipHeader& local) {
  TStream& stream = *FStream;
  const int64_t headerStart = FStartFileData + FFiles.LocalHeaderOffset(static_cast<size_t>(index));
  if (index == FLastLocalIndex) {  // read a moment ago, by ExtractionName
    local = FLastLocal;
    stream.SetPosition(headerStart + zf::kLocalHeaderLength + local.FileNameLength + local.ExtraFieldLength);
    return;
  }
  stream.SetPosition(headerStart);
  char fixed[zf::kLocalHeaderLength];
  const int64_t got = stream.Read(fixed, zf::kLocalHeaderLength);
  if (got < zf::kSignatureLength) throw EZipException(kErrorReadingZip);
  if (zf::GetU32(fixed) != zf::kLocalHeaderSignature) throw EZipException(kInvalidLocalSignature);
  if (got != zf::kLocalHeaderLength) throw EZipException(kErrorReadingZip);
  local = ParseLocalHeaderTail(
      std::string_view(fixed + zf::kSignatureLength, zf::kLocalHeaderLength - zf::kSignatureLength));
  TBytes variable(static_cast<size_t>(local.FileNameLength) + local.ExtraFieldLength, '\0');
  if (stream.Read(variable.data(), static_cast<int64_t>(variable.size())) != static_cast<int64_t>(variable.size())) {
    throw EZipException(kErrorReadingZip);
  }
  local.FileName = variable.substr(0, local.FileNameLength);
  local.ExtraField = variable.substr(local.FileNameLength);
  FLastLocalIndex = index;
  FLastLocal = local;
}

TCompressionHandler TZipFile::EntryDataHandler(int index, TZipHeader& local) {
  if (FMode != zmRead && FMode != zmReadWrite) throw EZipException(kMustBeOpenForReading);
  if (index < 0 || index >= static_cast<int>(FFiles.Count())) throw EZipException(kFileNotFound);
  const auto entry = static_cast<size_t>(index);
  if (FFiles.Flag(entry) & kFlagEncrypted) throw EZipException(kEncryptedNotSupported);
  if (FFiles.CompressedSize(entry) == zf::kMax32 || FFiles.UncompressedSize(entry) == zf::kMax32 ||
      FFiles.LocalHeaderOffset(entry) == zf::kMax32) {
    throw EZipException(kZip64NotSupported);
  }
  ReadLocalHeader(index, local);
  if (local.Flag & kFlagEncrypted) throw EZipException(kEncryptedNotSupported);
  const uint16_t method = FFiles.CompressionMethod(entry);
  const auto handler = FindCompressionHandlerForRecord(method);
  if (!handler) throw EZipException(kUnsupportedMethod + CompressionMethodNumberAndName(method));
  return *std::move(handler);
}

std::unique_ptr<TStream> TZipFile::OpenEntryData(int index, TZipHeader& local) {
  return EntryDataHandler(index, local).decompress(*FStream, *this, local);
}

Text TZipFile::ExtractionName(int index) {
  CheckIndex(index);
  TZipHeader local;
  ReadLocalHeader(index, local);
  Text name;
  if (GetUTF8PathFromExtraField(local, name)) return name;
  return EntryName(index);
}

Text TZipFile::EntryName(int index) const {
  CheckIndex(index);
  const auto entry = static_cast<size_t>(index);
  return DecodeName(FFiles.Name(entry), (FFiles.Flag(entry) & kFlagUtf8) != 0);
}

void TZipFile::Extract(TextView fileName, TextView path, bool createSubdirs) {
  Extract(IndexOf(fileName), path, createSubdirs);
}

void TZipFile::Extract(int index, TextView path, bool createSubdirs) { ExtractTo(index, path, createSubdirs); }

void TZipFile::ExtractAll(TextView path) {
  if (FMode != zmRead && FMode != zmReadWrite) throw EZipException(kMustBeOpenForReading);
  for (int i = 0; i < static_cast<int>(FFiles.Count()); ++i) ExtractTo(i, path, true);
}

void TZipFile::ExtractTo(int index, TextView path, bool createSubdirs) {
  TZipHeader local;
  std::unique_ptr<TStream> data = OpenEntryData(index, local);

  Text name;
  if (!GetUTF8PathFromExtraField(local, name)) name = EntryName(index);
  CheckEntryName(name);
  name = EntryNameToPath(name);
  if (!createSubdirs) name = FileNameOf(name);
  const Text target = JoinEntryPath(path, name);

  if (createSubdirs) {
    const Text folder = FolderOf(target);
    if (!folder.empty()) {
      const Text full = FullFileName(folder);
      if (full.size() >= platform::kMaxFolderPathLength) throw EPathTooLongException(kPathTooLong);
      // A failure shows itself when the file is created.
      (void)platform::CreateFolders(full);
    }
  }
  if (!target.empty() && target.back() == platform::kPathSeparator) return;  // a folder entry
  // Written over rather than emptied first: emptying a file that holds data
  // makes ext4 flush it to disk when it is closed.
  TFileStream file(target, TFileMode::kOverwrite);
  WriteEntryFile(index, *data, local, file);
}

void TZipFile::ExtractToFile(int index, TextView filePath) {
  TFileStream file(filePath, TFileMode::kOverwrite);
  ExtractToFile(index, file);
}

void TZipFile::ExtractToFile(int index, TFileStream& file) {
  TZipHeader local;
  std::unique_ptr<TStream> data = OpenEntryData(index, local);
  WriteEntryFile(index, *data, local, file);
}

void TZipFile::WriteEntryFile(int index, TStream& data, const TZipHeader& local, TFileStream& file) {
  const TZipHeader central = FFiles.Header(static_cast<size_t>(index));
  const CurrentEntryScope scope{*this};
  const Text& target = file.Path();
  FCurrentFile = FullFileName(target);
  FCurrentHeader = central;
  TChecksumStream entry(data, central.UncompressedSize);
  file.SetPosition(0);
  int64_t written = 0;
  try {
    CopyBlocks(entry, &file, [&](int64_t done) {
      written = done;
      if (OnProgress) OnProgress(*this, FCurrentFile, central, done);
      return true;
    });
  } catch (...) {
    // What was written stays, as after any failed extraction, but nothing of the
    // file's earlier contents behind it.
    (void)file.Truncate(written);
    throw;
  }
  if (file.SizeAtOpen() > central.UncompressedSize && !file.Truncate(central.UncompressedSize)) {
    RaiseWithReason<EWriteError>(kStreamWriteError, file.Failure());
  }
  const bool intact = entry.Crc() == central.CRC32;
  // The entry's time is set through the open file, once its data proved right.
  // Without a valid one the file has the time of its writing, also when it was
  // written over and nothing it held changed (an empty entry on an empty file).
  if (intact) {
    CheckPathLength(target);
    const auto time = DosToDateTime(local.ModifiedDateTime);
    if (time) {
      file.SetTimes(*time);
    } else {
      file.SetTimesToNow();
    }
    CheckPathLength(target);
  }
  if (!intact) throw EZipException(kCrcMismatch);
  if (const std::optional<uint32_t> attributes = ExtractedAttributes(central)) file.SetAttributes(*attributes);
  if (OnProgress) OnProgress(*this, FCurrentFile, central, central.UncompressedSize);
}

std::optional<uint32_t> TZipFile::ExtractedAttributes(const TZipHeader& central) {
  const unsigned host = central.MadeByVersion >> 8;
  if (host == kHostMsDos) return central.ExternalAttributes & 0xFF & ~0x08u;
  if (host == kHostUnix) {
    // Unix archivers (Info-ZIP, Python) keep the mode in the high half; a file its
    // owner may not write comes out read-only, as unzip would make it.
    const uint32_t mode = central.ExternalAttributes >> 16;
    if (mode != 0 && (mode & 0200) == 0) return platform::kAttrReadOnly;
  }
  return std::nullopt;
}

void TZipFile::ReadStoredData(int index, TBytes& data, TZipHeader& local) {
  (void)EntryDataHandler(index, local);
  const auto entry = static_cast<size_t>(index);
  // Stored data is read as its stream reads it: as many bytes as it inflates to.
  const uint32_t count = FFiles.CompressionMethod(entry) == 0 ? FFiles.UncompressedSize(entry)
                                                              : FFiles.CompressedSize(entry);
  data.resize(count);
  const int64_t got = count == 0 ? 0 : FStream->Read(data.data(), count);
  data.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
}

void TZipFile::Verify(int index) {
  TZipHeader local;
  std::unique_ptr<TStream> data = OpenEntryData(index, local);
  const auto entry = static_cast<size_t>(index);
  TChecksumStream checked(*data, FFiles.UncompressedSize(entry));
  CopyBlocks(checked, nullptr);
  if (checked.Crc() != FFiles.CRC32(entry)) throw EZipException(kCrcMismatch);
}

void TZipFile::Read(TextView fileName, TBytes& bytes) { Read(IndexOf(fileName), bytes); }

void TZipFile::Read(int index, TBytes& bytes) {
  bytes.clear();
  TZipHeader local;
  std::unique_ptr<TStream> data = OpenEntryData(index, local);
  const auto entry = static_cast<size_t>(index);
  TChecksumStream checked(*data, FFiles.UncompressedSize(entry));
  // Grown block by block: the stored size is not trusted for one allocation.
  TMemoryStream memory;
  CopyBlocks(checked, &memory);
  if (checked.Crc() != FFiles.CRC32(entry)) throw EZipException(kCrcMismatch);
  bytes = memory.Take();
}

void TZipFile::Read(TextView fileName, std::unique_ptr<TStream>& stream, TZipHeader& localHeader) {
  Read(IndexOf(fileName), stream, localHeader);
}

void TZipFile::Read(int index, std::unique_ptr<TStream>& stream, TZipHeader& localHeader) {
  stream = OpenEntryData(index, localHeader);
}

void TZipFile::ExtractZipFile(TextView zipFileName, TextView path, TZipProgressEvent progress) {
  TZipFile zip;
  zip.OnProgress = std::move(progress);
  zip.Open(zipFileName, zmRead);
  zip.ExtractAll(path);
  zip.Close();
}

}  // namespace quenmar
