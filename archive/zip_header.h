// The record of one archive entry, the open modes and the compression method type.
//
// Numeric fields mirror the central directory file header of the same meaning;
// names, extra fields and comments are kept as the stored bytes. Records are
// copied by value.
#pragma once

#include <cstdint>

#include "archive/stream.h"

namespace quenmar {

enum TZipMode : uint8_t {
  zmClosed = 0,
  zmRead = 1,
  zmReadWrite = 2,
  zmWrite = 3,
};

// The low 8 bits of an entry's compression method.
using TZipCompression = uint8_t;

inline constexpr uint16_t kFlagEncrypted = 0x0001;
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kFlagUtf8 = 0x0800;

struct TZipHeader {
  uint16_t MadeByVersion = 0;
  uint16_t RequiredVersion = 0;
  uint16_t Flag = 0;
  uint16_t CompressionMethod = 0;
  uint32_t ModifiedDateTime = 0;  // MS-DOS time in the low half, date in the high half
  uint32_t CRC32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t FileNameLength = 0;
  uint16_t ExtraFieldLength = 0;
  uint16_t FileCommentLength = 0;
  uint16_t DiskNumberStart = 0;
  uint16_t InternalAttributes = 0;
  uint32_t ExternalAttributes = 0;
  uint32_t LocalHeaderOffset = 0;
  TBytes FileName;
  TBytes ExtraField;
  TBytes FileComment;
};

}  // namespace quenmar
