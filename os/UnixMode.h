// The permission bits an entry made on a Unix system carries (the high half of
// its external attributes), as far as this system has a use for them.
#pragma once

#include "os/File.h"

#include <cstdint>

namespace os {

// Lets each class of user (owner, group, others) that may read the open file
// also run it, where `unixMode` grants that class execution. Nothing else of
// the mode is taken: set-user-ID, set-group-ID and sticky bits never come from
// an archive. Windows has no execute permission (a file runs by its name), so
// there it leaves the file as it is.
[[nodiscard]] bool grantExecute(FileHandle file, uint32_t unixMode, uint32_t& error);

} // namespace os
