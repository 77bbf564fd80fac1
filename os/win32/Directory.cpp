#include "os/Directory.h"

#include <ctime>
#include <direct.h>
#include <windows.h>

namespace os {

bool wideFileAttributes(const wchar* path, uint32_t& attributes) {
    const DWORD found = GetFileAttributesW(path);
    if (found == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes = found;
    return true;
}

bool createDirectoryWide(const wchar* path, void* securityAttributes, uint32_t& error) {
    if (CreateDirectoryW(path, static_cast<SECURITY_ATTRIBUTES*>(securityAttributes)))
        return true;
    error = GetLastError();
    return false;
}

uint32_t failCriticalErrorsSilently() {
    return SetErrorMode(SEM_FAILCRITICALERRORS);
}

void restoreErrorMode(uint32_t mode) {
    SetErrorMode(mode);
}

bool volumeInformation(const wchar* root, uint32_t& error) {
    if (GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
        return true;
    error = GetLastError();
    return false;
}

bool currentDirectoryWide(wchar* buffer, size_t size) {
    return _wgetcwd(buffer, int(size)) != nullptr;
}

int64_t crtTime64() {
    return int64_t(_time64(nullptr));
}

void setLastErrorCode(uint32_t code) {
    SetLastError(code);
}

} // namespace os
