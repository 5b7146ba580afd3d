// TZipFile: opening, closing and the central directory.
#include <algorithm>
#include <cstring>

#include "archive/file_stream.h"
#include "archive/name_encoding.h"
#include "archive/zip_file.h"
#include "archive/zip_format.h"
#include "archive/zip_records.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

namespace zf = zipformat;

[[noreturn]] void ReadError() { throw EZipException(kErrorReadingZip); }

// Finds the end record: the highest position within the last 65535 bytes whose
// four bytes are its signature and that has the record's 18 further bytes behind
// it. Searches backwards in windows of 1027 bytes that overlap by a signature's
// length.
std::optional<int64_t> FindEndRecord(TStream& stream) {
  const int64_t size = stream.Size();
  if (size <= 4) return std::nullopt;
  const int64_t lowest = size - std::min<int64_t>(size, zf::kMaxEndSearch);
  const int64_t lastUsable = size - zf::kEndRecordLength;
  std::vector<char> window(zf::kEndSearchWindow);
  int64_t start = std::max<int64_t>(size - zf::kEndSearchWindow, lowest);
  for (;;) {
    const int64_t length = std::min<int64_t>(zf::kEndSearchWindow, size - start);
    stream.SetPosition(start);
    if (stream.Read(window.data(), length) != length) ReadError();
    for (int64_t p = length - zf::kSignatureLength; p >= 0; --p) {
      if (start + p > lastUsable) continue;
      if (zf::GetU32(window.data() + p) == zf::kEndRecordSignature) return start + p;
    }
    if (start == lowest) return std::nullopt;
    start = std::max<int64_t>(start - (zf::kEndSearchWindow - zf::kSignatureLength), lowest);
  }
}

bool HasZip64Locator(TStream& stream, int64_t endRecord) {
  if (endRecord < zf::kZip64LocatorLength) return false;
  char signature[zf::kSignatureLength];
  stream.SetPosition(endRecord - zf::kZip64LocatorLength);
  return stream.Read(signature, zf::kSignatureLength) == zf::kSignatureLength &&
         zf::GetU32(signature) == zf::kZip64LocatorSignature;
}

}  // namespace

TZipFile::~TZipFile() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; Close() before destruction to see the error.
  }
}

void TZipFile::Open(TextView zipFileName, TZipMode openMode) {
  Close();
  TFileMode fileMode;
  switch (openMode) {
    case zmRead: fileMode = TFileMode::kOpenRead; break;
    case zmReadWrite: fileMode = TFileMode::kOpenReadWrite; break;
    case zmWrite: fileMode = TFileMode::kCreate; break;
    default: throw EZipException(kInvalidArgument);
  }
  Open(std::make_unique<TFileStream>(zipFileName, fileMode, /*buffered=*/true), openMode);
}

void TZipFile::Open(std::unique_ptr<TFileStream> file, TZipMode openMode) {
  Close();
  Open(*file, openMode);
  FFileStream = std::move(file);
}

void TZipFile::Open(TStream& zipFileStream, TZipMode openMode) {
  Close();
  if (openMode != zmRead && openMode != zmReadWrite && openMode != zmWrite) {
    throw EZipException(kInvalidArgument);
  }
  if (openMode == zmRead && zipFileStream.Size() == 0) throw EZipException(kStreamReadError);
  FStream = &zipFileStream;
  FStartFileData = zipFileStream.Position();
  FEndFileData = FStartFileData;
  FComment.clear();
  try {
    if (openMode == zmRead || openMode == zmReadWrite) ReadCentralDirectory();
  } catch (...) {
    FStream = nullptr;
    ForgetEntries();
    throw;
  }
  FMode = openMode;
}

void TZipFile::ReadCentralDirectory() {
  ForgetEntries();
  TStream& stream = *FStream;
  if (stream.Size() == 0) return;

  const std::optional<int64_t> endRecord = FindEndRecord(stream);
  if (!endRecord) ReadError();
  char record[zf::kEndRecordLength];
  stream.SetPosition(*endRecord);
  if (stream.Read(record, zf::kEndRecordLength) != zf::kEndRecordLength) ReadError();
  const auto [entryCount, directorySize, directoryOffset, commentLength] =
      ParseEndRecord(std::string_view(record, zf::kEndRecordLength));

  FComment.clear();
  if (commentLength != 0) {
    const int64_t available = std::max<int64_t>(0, stream.Size() - (*endRecord + zf::kEndRecordLength));
    FComment.resize(static_cast<size_t>(std::min<int64_t>(commentLength, available)));
    stream.SetPosition(*endRecord + zf::kEndRecordLength);
    if (stream.Read(FComment.data(), static_cast<int64_t>(FComment.size())) !=
        static_cast<int64_t>(FComment.size())) {
      ReadError();
    }
  }

  // 65535 entries is a legal count without Zip64; the marker means Zip64 only
  // when a Zip64 locator stands in front of the end record.
  if (directoryOffset == zf::kMax32 || directorySize == zf::kMax32 ||
      (entryCount == 0xFFFF && HasZip64Locator(stream, *endRecord))) {
    throw EZipException(kZip64NotSupported);
  }

  stream.SetPosition(directoryOffset);
  FEndFileData = directoryOffset;
  FFiles.Read(stream, entryCount, directorySize);
  for (size_t i = 0; i < FFiles.Count(); ++i) {
    if ((FFiles.Flag(i) & kFlagUtf8) == 0) {
      FUTF8Support = false;
      break;
    }
  }
  FNameIndex.Clear();
}

void TZipFile::Close() {
  if (FMode == zmClosed && FStream == nullptr && !FFileStream) return;
  const bool writing = FMode == zmWrite || FMode == zmReadWrite;
  try {
    if (writing && FStream != nullptr) WriteCentralDirectory();
    // A file of our own is closed here so that a failure the system reports only
    // at the close is not lost with it.
    if (writing && FFileStream) FFileStream->Close();
  } catch (...) {
    FMode = zmClosed;
    ForgetEntries();
    FStream = nullptr;
    FFileStream.reset();
    throw;
  }
  FMode = zmClosed;
  ForgetEntries();
  FStream = nullptr;
  FFileStream.reset();
}

bool TZipFile::IsValid(TextView zipFileName) {
  try {
    TFileStream file(zipFileName, TFileMode::kOpenRead);
    return FindEndRecord(file).has_value();
  } catch (const EStreamError&) {
    return false;
  } catch (const EZipException&) {
    return false;
  }
}

void TZipFile::ForgetEntries() {
  FFiles.Clear();
  FLastLocalIndex = -1;
  FNameIndex.Clear();
}

void TZipFile::RequireOpen() const {
  if (FMode == zmClosed) throw EZipException(u"File must be open");
}

void TZipFile::RequireWritable() const {
  if (FMode != zmWrite && FMode != zmReadWrite) throw EZipException(u"File must be open for writing");
}

Text TZipFile::DecodedName(int index) const {
  return DecodeName(FFiles.Name(static_cast<size_t>(index)), FUTF8Support);
}

int TZipFile::FileCount() const {
  RequireOpen();
  return static_cast<int>(FFiles.Count());
}

std::vector<Text> TZipFile::FileNames() const {
  RequireOpen();
  std::vector<Text> names;
  names.reserve(FFiles.Count());
  for (int i = 0; i < static_cast<int>(FFiles.Count()); ++i) names.push_back(DecodedName(i));
  return names;
}

int TZipFile::IndexOf(TextView fileName) const {
  if (FMode == zmClosed) return -1;
  if (!FNameIndex.Built()) FNameIndex.Build(FFiles, FUTF8Support);
  return FNameIndex.Find(FFiles, FUTF8Support, fileName);
}

void TZipFile::CheckIndex(int index) const {
  RequireOpen();
  if (index < 0 || index >= static_cast<int>(FFiles.Count())) throw EZipException(kFileNotFound);
}

Text TZipFile::FileName(int index) const {
  CheckIndex(index);
  return DecodedName(index);
}

TZipHeader TZipFile::FileInfo(int index) const {
  CheckIndex(index);
  return FFiles.Header(static_cast<size_t>(index));
}

uint32_t TZipFile::UncompressedSize(int index) const {
  CheckIndex(index);
  return FFiles.UncompressedSize(static_cast<size_t>(index));
}

uint32_t TZipFile::CompressedSize(int index) const {
  CheckIndex(index);
  return FFiles.CompressedSize(static_cast<size_t>(index));
}

uint16_t TZipFile::CompressionMethod(int index) const {
  CheckIndex(index);
  return FFiles.CompressionMethod(static_cast<size_t>(index));
}

std::vector<TZipHeader> TZipFile::FileInfos() const {
  RequireOpen();
  std::vector<TZipHeader> infos;
  infos.reserve(FFiles.Count());
  for (size_t i = 0; i < FFiles.Count(); ++i) infos.push_back(FFiles.Header(i));
  return infos;
}

Text TZipFile::FileComment(int index) const {
  return DecodeName(FileInfo(index).FileComment, FUTF8Support);
}

void TZipFile::SetFileComment(int index, TextView comment) {
  RequireWritable();
  CheckIndex(index);
  TBytes bytes = EncodeName(comment, FUTF8Support);
  if (bytes.size() > 0xFFFF) bytes.resize(0xFFFF);
  TZipHeader h = FFiles.Header(static_cast<size_t>(index));
  h.FileComment = std::move(bytes);
  h.FileCommentLength = static_cast<uint16_t>(h.FileComment.size());
  FFiles.Replace(static_cast<size_t>(index), h);
}

Text TZipFile::Comment() const {
  RequireOpen();
  return DecodeName(FComment, FUTF8Support);
}

void TZipFile::SetComment(TextView comment) {
  RequireWritable();
  FComment = EncodeName(comment, FUTF8Support);
  if (FComment.size() > 0xFFFF) FComment.resize(0xFFFF);
}

void TZipFile::SetUTF8Support(bool value) {
  if (value == FUTF8Support) return;
  RequireWritable();
  if (FFiles.Count() != 0) throw EZipException(u"Zip file must be empty");
  FUTF8Support = value;
  FNameIndex.Clear();
}

}  // namespace quenmar
