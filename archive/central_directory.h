// The entries of an archive: their central records, stored back to back in one
// buffer exactly as they stand in the file (46 fixed bytes, then name, extra field
// and comment). Reading an archive copies its central directory in with a few
// large reads; a TZipHeader is built only when one is asked for, and the hot
// fields (name, flags, offset) are read in place.
//
// Memory stays proportional to the records actually read: the directory size and
// entry count of the end record only steer the first read, and the buffer grows
// as records turn out to need more.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/stream.h"
#include "archive/zip_format.h"
#include "archive/zip_header.h"
#include "archive/zip_records.h"
#include "support/platform/memory.h"

namespace quenmar {

class CentralDirectory {
 public:
  void Clear();
  size_t Count() const { return offsets_.size(); }

  // Reads Count records from the stream's position. Raises EZipException "Invalid
  // Zip Central Header signature" for a record without its signature and "Error
  // reading zip file" for one cut short by the end of the stream. SizeHint is the
  // directory size the end record gives.
  void Read(TStream& stream, int count, int64_t sizeHint);

  // Adds a record for H (its lengths must match its byte arrays).
  void Append(const TZipHeader& h);
  // Stores H as entry I's record.
  void Replace(size_t i, const TZipHeader& h);

  TZipHeader Header(size_t i) const;
  // The whole stored record of entry I.
  std::string_view Record(size_t i) const;
  std::string_view Name(size_t i) const {
    const char* p = At(i);
    return {p + zipformat::kCentralHeaderLength, U16(i, central_field::kFileNameLength)};
  }
  uint16_t Flag(size_t i) const { return U16(i, central_field::kFlag); }
  uint16_t CompressionMethod(size_t i) const { return U16(i, central_field::kCompressionMethod); }
  uint32_t CRC32(size_t i) const { return U32(i, central_field::kCRC32); }
  uint32_t CompressedSize(size_t i) const { return U32(i, central_field::kCompressedSize); }
  uint32_t UncompressedSize(size_t i) const { return U32(i, central_field::kUncompressedSize); }
  uint32_t LocalHeaderOffset(size_t i) const { return U32(i, central_field::kLocalHeaderOffset); }

 private:
  const char* At(size_t i) const { return bytes_.Data() + offsets_[i]; }
  // A field of entry I's record, at Offset (central_field).
  uint16_t U16(size_t i, size_t offset) const { return zipformat::GetU16(At(i) + offset); }
  uint32_t U32(size_t i, size_t offset) const { return zipformat::GetU32(At(i) + offset); }
  // Makes room for Capacity bytes, keeping what is held.
  void Reserve(size_t capacity);
  // Reads from the stream until Need bytes are held; false when it ends first.
  bool Ensure(TStream& stream, size_t need) { return size_ >= need || ReadMore(stream, need); }
  bool ReadMore(TStream& stream, size_t need);
  void AppendBytes(std::string_view bytes);
  // Appends H's record to the buffer; returns where it starts.
  size_t Store(const TZipHeader& h);

  platform::MemoryBlock bytes_;
  size_t size_ = 0;  // bytes held; bytes_.Size() is the room
  std::vector<size_t> offsets_;  // where each entry's record starts in bytes_
  TBytes scratch_;               // a record being serialized
};

}  // namespace quenmar
