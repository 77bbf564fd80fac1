// The current user's registry, where Windows keeps per-user settings.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// Creates or opens `key` below the current user's hive (RegOpenCurrentUser with
// access 6, then RegCreateKeyExW with KEY_SET_VALUE) and writes a REG_DWORD.
// False on any failure. Systems without a registry have nowhere to keep it.
[[nodiscard]] bool setCurrentUserDword(const wchar* key, const wchar* valueName, uint32_t value);

} // namespace os
