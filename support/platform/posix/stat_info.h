// What a stat record says in the program's terms. Internal to the POSIX layer.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <optional>

#include "support/platform/files.h"

namespace quenmar::platform::posix {

// 0x20, plus 0x01 when the owner may not write, plus 0x10 for a folder.
uint32_t AttributesOf(const struct stat& st);
std::optional<LocalDateTime> LastWriteOf(const struct stat& st);
LocalDateTime FromTm(const std::tm& tm);
// The moment a local calendar time names; empty when there is none.
std::optional<time_t> LocalToTime(const LocalDateTime& time);

}  // namespace quenmar::platform::posix
