// vxzip: the engine's command-line tool.
#include "tools/vxzip/CommandLine.h"
#include "tools/vxzip/Help.h"

#include <cstdio>

int main(int argc, char** argv) {
    const vxzip::CommandLine line = vxzip::parseCommandLine(argc, argv);
    switch (line.action) {
    case vxzip::CommandLine::kError:
        return vxzip::usageError(line.error);
    case vxzip::CommandLine::kHelp:
        vxzip::printHelp(stdout, line.command);
        return std::fflush(stdout) == 0 ? vxzip::kOk : vxzip::kFailed;
    case vxzip::CommandLine::kVersion:
        vxzip::printVersion(stdout);
        return std::fflush(stdout) == 0 ? vxzip::kOk : vxzip::kFailed;
    case vxzip::CommandLine::kRun:
        break;
    }
    return line.command->run(line.options);
}
