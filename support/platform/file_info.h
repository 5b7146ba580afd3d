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

// The last-write time a file reports (File::Describe) once SetTimes gave it Time:
// Time itself, unless the zone's rules make it name no moment or two (a
// daylight-saving change), when it is the moment chosen read back. Nothing when
// SetTimes would refuse Time, or the moment cannot be read back.
std::optional<LocalDateTime> LocalTimeAfterSetting(const LocalDateTime& time);

}  // namespace quenmar::platform
