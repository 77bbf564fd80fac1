// A host's way to open the debug log: a file of its own choosing, written in UTF-8.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

// Creates `path` (emptying an existing file) and makes it the debug log, its lines
// written as UTF-8 without a byte-order mark, readable by any text tool while the
// run goes on. A debug log already open is closed first. False, with the system's
// error code, when the file cannot be created; the debug log is closed then.
bool OpenDebugLogFile(const WChar* path, uint32_t& error);

} // namespace Quillkit
