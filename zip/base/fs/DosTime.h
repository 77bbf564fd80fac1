// DOS date and time fields of ZIP headers, read as local wall-clock time.
#pragma once

#include "os/Clock.h"

#include <cstdint>

namespace vexmar {

// Decodes a DOS date and time. A date whose day is 0 or whose month is not 1-12
// cannot be a time at all: the current UTC time stands in for it. Out-of-range hours,
// minutes and seconds become 0.
os::CalendarTime decodeDosDateTime(uint16_t dosDate, uint16_t dosTime);

} // namespace vexmar
