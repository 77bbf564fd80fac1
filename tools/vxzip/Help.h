// What vxzip says about its own use.
#pragma once

#include "tools/vxzip/Command.h"

#include <cstdio>
#include <string>

namespace vxzip {

// The whole usage, or one command's (when `command` is not null).
void printHelp(std::FILE* out, const CommandInfo* command);
void printVersion(std::FILE* out);
// A usage mistake: the problem in one line, then where to read more. Returns kUsage.
int usageError(const std::string& problem);

} // namespace vxzip
