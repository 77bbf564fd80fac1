#include "os/SystemVersion.h"

#include <windows.h>

namespace os {

bool windowsNtVersion(uint32_t& major, uint32_t& minor) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    return true;
}

} // namespace os
