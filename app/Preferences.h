// The suite identity check on an existing download directory.
#pragma once

#include "app/PathInterim.h"

// Whether the suite description at `path` names this suite (string 136).
bool SameSuiteInDirectory(const Quillkit::StrictPath& path);
