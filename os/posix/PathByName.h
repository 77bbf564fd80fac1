// POSIX paths made absolute by name: against the current directory, with "." and ".."
// applied to the text (".." at the root stays at the root); the path need not exist.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace os {

// Empty when the current directory cannot be had. With `keepTrailingSlash`, a path that
// ends in "/" keeps it (the root is always "/").
std::string absoluteByName(const std::string& path, bool keepTrailingSlash);

// A file mode with Windows attributes applied: read-only takes every write permission
// away; without it the owner may write.
mode_t modeWithAttributes(mode_t mode, uint32_t attributes);

} // namespace os
