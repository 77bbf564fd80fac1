// Profile (INI) files through the system's profile functions:
// GetPrivateProfileStringW and WritePrivateProfileStringW on Windows, and off
// Windows the portable stand-in of os/ProfileFile.h, which behaves like them for
// what the toolkit and the launcher use.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// GetPrivateProfileStringW. With a null `key`, the section's key names, each
// NUL-terminated, and a final NUL; cut short (size - 2 returned) when they do
// not fit. Otherwise the key's value, or `defaultValue` when it is missing; cut
// to size - 1 units (and size - 1 returned) when it does not fit. Returns the
// number of units written without the final NUL.
uint32_t getProfileString(const wchar* section, const wchar* key, const wchar* defaultValue,
                          wchar* buffer, uint32_t size, const wchar* file);

// WritePrivateProfileStringW: sets `key` of `section` to `value`, replacing the
// value in place when the key is there. A null `value` removes the key, a null
// `key` the section. False on failure (see lastErrorCode).
[[nodiscard]] bool writeProfileString(const wchar* section, const wchar* key, const wchar* value,
                        const wchar* file);

} // namespace os
