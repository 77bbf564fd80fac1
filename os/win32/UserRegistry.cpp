#include "os/UserRegistry.h"

#include <windows.h>

namespace os {

// KEY_SET_VALUE | KEY_CREATE_SUB_KEY on the hive itself.
constexpr REGSAM kHiveAccess = 6;

bool setCurrentUserDword(const wchar* key, const wchar* valueName, uint32_t value) {
    HKEY hive = nullptr;
    if (RegOpenCurrentUser(kHiveAccess, &hive) != ERROR_SUCCESS)
        return false;
    HKEY opened = nullptr;
    bool written = false;
    if (RegCreateKeyExW(hive, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) ==
        ERROR_SUCCESS) {
        DWORD data = value;
        written =
            RegSetValueExW(opened, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                           sizeof data) == ERROR_SUCCESS;
        RegCloseKey(opened);
    }
    RegCloseKey(hive);
    return written;
}

} // namespace os
