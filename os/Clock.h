// Wall-clock time as the engine needs it: broken down, like a Windows SYSTEMTIME.
#pragma once

#include <cstdint>

namespace os {

struct CalendarTime {
    uint16_t year = 0;
    uint16_t month = 0;     // 1-12
    uint16_t dayOfWeek = 0; // 0 = Sunday
    uint16_t day = 0;       // 1-31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// The current time in UTC.
CalendarTime currentUtcTime();

// A millisecond tick that only moves forward: for intervals, not for dates.
uint64_t tickCountMs();

// Suspends the calling thread for about `ms` milliseconds.
void sleepMs(uint32_t ms);

} // namespace os
