// Reading vxzip's command line: options may stand before or after the command.
#pragma once

#include "tools/vxzip/Command.h"

#include <string>

namespace vxzip {

struct CommandLine {
    enum Action { kRun, kHelp, kVersion, kError };
    Action action = kRun;
    Options options;
    const CommandInfo* command = nullptr; // kRun; for kHelp, the command asked about or null
    std::string error;                    // kError: the problem, in one line
};

CommandLine parseCommandLine(int argc, const char* const* argv);

} // namespace vxzip
