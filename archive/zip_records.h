// The stored forms of the records: the 26 bytes a local header and a central
// record share, the whole local header and central record, and the end record.
// They are written and read field by field in the order they stand; the fields
// that the central directory reads in place have their offsets named here.
#pragma once

#include <string_view>

#include "archive/stream.h"
#include "archive/zip_format.h"
#include "archive/zip_header.h"

namespace quenmar {

// The 26 bytes from "version needed" to "extra field length" of a local header.
void AppendLocalHeaderTail(TBytes& out, const TZipHeader& h);

// A whole local header: signature, the 26 shared bytes, the name, the extra field.
void AppendLocalHeader(TBytes& out, const TZipHeader& h);

// A central record shares the local header's fields, with "version made by" in
// front and the comment, disk, attributes and offset behind, then the name, the
// extra field and the comment.
void AppendCentralRecord(TBytes& out, const TZipHeader& h);

// Where fields stand in a central record, counted from its signature: each after
// the field before it, as AppendCentralRecord writes them.
namespace central_field {
inline constexpr size_t kFlag = 4 + 2 + 2;                       // signature, made by, needed
inline constexpr size_t kCompressionMethod = kFlag + 2;
inline constexpr size_t kCRC32 = kCompressionMethod + 2 + 4;      // method, time and date
inline constexpr size_t kCompressedSize = kCRC32 + 4;
inline constexpr size_t kUncompressedSize = kCompressedSize + 4;
inline constexpr size_t kFileNameLength = kUncompressedSize + 4;
inline constexpr size_t kExtraFieldLength = kFileNameLength + 2;
inline constexpr size_t kFileCommentLength = kExtraFieldLength + 2;
inline constexpr size_t kLocalHeaderOffset = kFileCommentLength + 2 + 2 + 2 + 4;  // comment length, disk,
                                                                                  // internal, external
static_assert(kLocalHeaderOffset + 4 == zipformat::kCentralHeaderLength);
}  // namespace central_field

// The length of the central record at Record, from its fixed part.
inline size_t CentralRecordLength(const char* record) {
  return static_cast<size_t>(zipformat::kCentralHeaderLength) +
         zipformat::GetU16(record + central_field::kFileNameLength) +
         zipformat::GetU16(record + central_field::kExtraFieldLength) +
         zipformat::GetU16(record + central_field::kFileCommentLength);
}

// The central record Record, whole: signature, fixed fields, then as many bytes as
// its three lengths ask for (CentralRecordLength).
TZipHeader ParseCentralRecord(std::string_view record);

// The fixed part of a local header after its signature (kLocalHeaderLength - 4
// bytes): the 26 bytes it shares with the central record.
TZipHeader ParseLocalHeaderTail(std::string_view fixed);

// The fields of the end record that reading uses.
struct EndRecord {
  uint16_t entryCount = 0;       // in all (not only on this disk)
  uint32_t directorySize = 0;
  uint32_t directoryOffset = 0;
  uint16_t commentLength = 0;
};

// The end record Record: its kEndRecordLength fixed bytes, signature first.
EndRecord ParseEndRecord(std::string_view record);

}  // namespace quenmar
