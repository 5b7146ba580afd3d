// Times and attributes of files.
//
// Times are local calendar times, as the archive format keeps them. Attributes use
// the MS-DOS bits: on POSIX a file reports 0x20 (archive), plus 0x01 when its
// owner may not write it, plus 0x10 for a folder; setting 0x01 removes the write
// bits, clearing it gives the owner write access back, the other bits are ignored.
#pragma once

#include <cstdint>
#include <optional>

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar::platform {

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// Reading them goes through an open file: File::Describe.
IoStatus SetAttributes(TextView path, uint32_t attributes);

// Sets the last-write (and access) time; POSIX has no settable creation time.
IoStatus SetFileTimes(TextView path, const LocalDateTime& time);

LocalDateTime CurrentLocalTime();

}  // namespace quenmar::platform
