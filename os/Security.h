// Opening a file or directory to every user of the machine.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// Windows: the descriptor "D:(A;CIOI;FA;;;AU)" (full access for Authenticated
// Users, inherited by containers and objects) applied with SetNamedSecurityInfoW;
// only the parts the descriptor carries are set, and inherited entries stay.
// POSIX: read and write for owner, group and others (and search on a directory).
//
// False when the descriptor itself cannot be built (nothing is applied). True
// otherwise, with `result` the Windows code of the apply: 0 success, 2 for a path
// that is not there, any other code for other failures.
bool applyOpenPermissions(const wchar* path, uint32_t& result);

} // namespace os
