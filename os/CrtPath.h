// The C runtime's current-directory and full-path functions on UTF-16 paths
// (_wgetcwd, _wchdir, _wfullpath on Windows). Each sets errno when it fails.
#pragma once

#include "os/WideText.h"

#include <cstddef>

namespace os {

[[nodiscard]] bool crtGetCwd(wchar* buffer, size_t size);
[[nodiscard]] bool crtChdir(const wchar* path);

// The absolute form of `path` against the current directory, with "." and ".."
// resolved by name; the path need not exist.
[[nodiscard]] bool crtFullPath(wchar* out, const wchar* path, size_t size);

} // namespace os
