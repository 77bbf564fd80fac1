// The version of the Windows NT family system the process runs on.
#pragma once

#include <cstdint>

namespace os {

// GetVersionExW: true with the major and minor version on an NT-family system,
// false on any other (every system that is not Windows).
[[nodiscard]] bool windowsNtVersion(uint32_t& major, uint32_t& minor);

} // namespace os
