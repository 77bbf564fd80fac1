#include "os/DiskSpace.h"

#include <windows.h>

namespace os {

bool freeDiskSpace(const wchar* folder, uint64_t& freeBytes, uint32_t& error) {
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(folder, &available, nullptr, nullptr)) {
        error = GetLastError();
        return false;
    }
    freeBytes = available.QuadPart;
    return true;
}

} // namespace os
