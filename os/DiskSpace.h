// How much a volume can still take.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// The bytes this user may still write on the volume that holds `folder`, an
// existing folder (GetDiskFreeSpaceExW on Windows, statvfs elsewhere, where a
// drive-form path goes through the drive table). False with a Windows error code
// when the system cannot say, for example because `folder` does not exist.
[[nodiscard]] bool freeDiskSpace(const wchar* folder, uint64_t& freeBytes, uint32_t& error);

} // namespace os
