// Existence tests on plain wide paths.
#pragma once

#include "toolkit/diag/Text.h"

namespace Quillkit {

// True when the path exists and is a directory.
bool DirectoryExists(const WChar* path);
// True when the path exists and is not a directory.
bool FileExists(const WChar* path);
// True when anything of that name exists.
bool PathExists(const WChar* path);

} // namespace Quillkit
