#include "os/PerfCounter.h"

#include <windows.h>

namespace os {

bool performanceFrequency(int64_t& countsPerSecond) {
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f) || f.QuadPart == 0)
        return false;
    countsPerSecond = f.QuadPart;
    return true;
}

int64_t performanceCount() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

} // namespace os
