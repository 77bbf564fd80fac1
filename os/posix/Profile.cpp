#include "os/Profile.h"

#include "os/ProfileFile.h"

namespace os {

uint32_t getProfileString(const wchar* section, const wchar* key, const wchar* defaultValue,
                          wchar* buffer, uint32_t size, const wchar* file) {
    return profile::getString(section, key, defaultValue, buffer, size, file);
}

bool writeProfileString(const wchar* section, const wchar* key, const wchar* value,
                        const wchar* file) {
    // The failing call left errno as the system set it.
    uint32_t error = 0;
    return profile::writeString(section, key, value, file, error);
}

} // namespace os
