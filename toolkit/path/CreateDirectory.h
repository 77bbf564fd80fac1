// Creating directories robustly.
#pragma once

#include "toolkit/diag/Text.h"
#include "toolkit/path/StrictPath.h"

#include <vector>

namespace Quillkit {

// Creates one directory (CreateDirectoryW with `securityAttributes`, a
// SECURITY_ATTRIBUTES or null). While the system answers "access denied" or
// "already exists", for instance while an earlier directory of that name is
// still being deleted, it tries again every 50 ms, at most 1001 times and for at
// most 30 seconds; each failed attempt goes to the debug log. True only when this
// call created the directory: an existing one fails after the 30 seconds, so test
// for it first. Never raises.
bool MetaCreateDirectory(const WChar* path, void* securityAttributes);

// Creates every missing directory of `path` from its volume root down. When
// `created` is given, each directory this call created is appended to it (with
// its trailing backslash, outermost first). A directory that another process
// creates while this runs counts as there. Raises -41 for an invalid path and
// -12 when a directory cannot be created, reported as "Directory access error."
// with the cause in the details; directories made before a failure stay.
void CreateDirectoryRecurse(const WChar* path, void* securityAttributes,
                            std::vector<StrictPath>* created);

} // namespace Quillkit
