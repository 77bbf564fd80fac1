// The system calls behind MetaCreateDirectory, replaceable so that tests can play
// a slow clock or a directory that appears at the wrong moment.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

struct DirectoryCreationCalls {
    bool (*create)(const WChar* path, void* securityAttributes, uint32_t& error);
    void (*sleep)(uint32_t milliseconds);
    int64_t (*now)(); // whole seconds
};

// The calls in use (the system's unless a test set others).
DirectoryCreationCalls& CurrentDirectoryCreationCalls();
// The system's own calls.
DirectoryCreationCalls SystemDirectoryCreationCalls();

} // namespace Quillkit
