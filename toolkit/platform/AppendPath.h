// Resolving a path against a directory.
#pragma once

#include "toolkit/diag/Text.h"

namespace Quillkit {

// Resolves `pathToAppend` against the directory `fullPath` and writes the full
// path (at most 260 units with the terminator) back into `fullPath`. An empty
// `pathToAppend` changes nothing. It works by changing the process's current
// directory for a moment, so it must not run beside anything that uses relative
// paths.
void AppendPath(WChar* fullPath, const WChar* pathToAppend);

} // namespace Quillkit
