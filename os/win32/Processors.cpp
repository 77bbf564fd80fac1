#include "os/Processors.h"

#include <windows.h>

namespace os {

unsigned processorCount() {
    // The process affinity mask counts only what this process may use (one processor group).
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
        unsigned n = 0;
        for (; process != 0; process &= process - 1)
            ++n;
        return n;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1u;
}

} // namespace os
