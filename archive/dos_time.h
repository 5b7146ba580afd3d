// MS-DOS date and time as the archive format keeps them: local time, date in the
// high 16 bits (day, month, year - 1980), time in the low 16 bits (two-second
// steps).
#pragma once

#include <cstdint>
#include <optional>

#include "support/platform/file_info.h"

namespace quenmar {

// The calendar time of Value; nothing when it is not a valid date and time.
std::optional<platform::LocalDateTime> DosToDateTime(uint32_t value);

// Odd seconds round down; a year below 1980 or above 2107 gives 0.
uint32_t DateTimeToDos(const platform::LocalDateTime& time);

}  // namespace quenmar
