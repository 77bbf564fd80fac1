// Why the engine failed, said in the user's terms: the engine's log names its
// internals ("rva is NULL"); a person wants "the executable has no resource section".
#pragma once

#include "tools/vxzip/LogTree.h"

#include <string>

namespace vxzip {

struct Cause {
    std::string text;
    bool fromSystem = false; // the system refused a file operation (the text is its reason)
};

struct CauseFacts {
    std::string resourceName; // the payload resource looked for
    bool passwordGiven = false;
};

// The cause of the failure logged below `scope`.
Cause causeOf(const LogNode& scope, const CauseFacts& facts);

} // namespace vxzip
