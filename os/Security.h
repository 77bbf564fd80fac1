// Opening a file or directory to every user of the machine.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// Results of applyOpenPermissions that refuse the target, with the Windows codes
// of the same meaning: a link of any kind (reparse point, symbolic link), and a
// file with more than one hard link, whose other names may lie anywhere.
inline constexpr uint32_t kErrorLinkRefused = 1920;      // ERROR_CANT_ACCESS_FILE
inline constexpr uint32_t kErrorHardLinksRefused = 1142; // ERROR_TOO_MANY_LINKS

// Windows: the descriptor "D:(A;CIOI;FA;;;AU)" (full access for Authenticated
// Users, inherited by containers and objects); only the parts the descriptor
// carries are set, and inherited entries stay.
// POSIX: read and write for owner, group and others (and search on a directory).
//
// The target is opened without following links and its security is set through
// that open handle, so what was checked is what changes: a link, or a file with
// more than one hard link, is refused and left as it is.
//
// False when the descriptor itself cannot be built (nothing is applied). True
// otherwise, with `result` the Windows code of the apply: 0 success, 2 for a path
// that is not there, one of the refusals above, any other code for other failures.
[[nodiscard]] bool applyOpenPermissions(const wchar* path, uint32_t& result);

} // namespace os
