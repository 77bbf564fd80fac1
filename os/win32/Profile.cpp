#include "os/Profile.h"

#include <windows.h>

namespace os {

uint32_t getProfileString(const wchar* section, const wchar* key, const wchar* defaultValue,
                          wchar* buffer, uint32_t size, const wchar* file) {
    return GetPrivateProfileStringW(section, key, defaultValue, buffer, size, file);
}

bool writeProfileString(const wchar* section, const wchar* key, const wchar* value,
                        const wchar* file) {
    return WritePrivateProfileStringW(section, key, value, file) != FALSE;
}

} // namespace os
