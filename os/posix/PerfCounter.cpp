#include "os/PerfCounter.h"

#include <ctime>

namespace os {

// The monotonic clock in nanoseconds.
bool performanceFrequency(int64_t& countsPerSecond) {
    timespec resolution{};
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0)
        return false;
    countsPerSecond = 1000000000;
    return true;
}

int64_t performanceCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace os
