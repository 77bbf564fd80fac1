#include "os/Processors.h"

#include <sched.h>
#include <unistd.h>

namespace os {

unsigned processorCount() {
    // The affinity mask is what a container or taskset leaves us; the online count otherwise.
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return static_cast<unsigned>(n);
    }
#endif
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1u;
}

} // namespace os
