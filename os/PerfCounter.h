// The high-resolution performance counter.
#pragma once

#include <cstdint>

namespace os {

// QueryPerformanceFrequency: counts per second. False when there is no counter.
[[nodiscard]] bool performanceFrequency(int64_t& countsPerSecond);

// QueryPerformanceCounter.
int64_t performanceCount();

} // namespace os
