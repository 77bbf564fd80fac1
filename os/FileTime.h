// Instants as the file system stores them, and the local-time rules that turn
// wall-clock values into instants.
#pragma once

#include "os/Clock.h"

#include <cstdint>

namespace os {

// 100-nanosecond intervals since 1601-01-01 00:00 UTC (a Windows FILETIME).
using FileTime = uint64_t;

// The FileTime of 1970-01-01 00:00 UTC.
inline constexpr FileTime kUnixEpochFileTime = 116444736000000000ULL;

FileTime currentFileTime();

// The instant a local wall-clock value names, with the platform deciding whether
// daylight saving time applies to it. The day of the week is ignored.
[[nodiscard]] bool localTimeToFileTime(const CalendarTime& local, FileTime& out);

// Local time minus UTC, in seconds, at the given instant.
int64_t utcOffsetSeconds(FileTime instant);

} // namespace os
