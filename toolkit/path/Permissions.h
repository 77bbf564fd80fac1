// Opening a file or folder to every user of the machine.
#pragma once

#include "toolkit/diag/Text.h"

namespace Quillkit {

// Gives Authenticated Users full access to `path`, inherited by its children
// (on POSIX: read and write for everyone). Links are never followed: a link, or
// a file with more than one hard link, is refused. False on failure, with the
// reason in the debug log; never raises.
bool SetPermissions(WString path);

} // namespace Quillkit
