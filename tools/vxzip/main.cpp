// vxzip: the engine's command-line tool.
#include "tools/vxzip/CommandLine.h"
#include "tools/vxzip/Help.h"

#include <cstdio>

using namespace vexmar;

int main(int argc, char** argv) {
    const vxzip::CommandLine line = vxzip::parseCommandLine(argc, argv);
    int status = vxzip::kOk;
    switch (line.action) {
    case vxzip::CommandLine::kError:
        return vxzip::usageError(line.error);
    case vxzip::CommandLine::kHelp:
        vxzip::printHelp(stdout, line.command);
        break;
    case vxzip::CommandLine::kVersion:
        vxzip::printVersion(stdout);
        break;
    case vxzip::CommandLine::kRun:
        status = line.command->run(line.options);
        break;
    }
    // A listing cut short by a full disk or a closed pipe is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("vxzip: cannot write to the standard output\n", stderr);
        return vxzip::kFailed;
    }
    return status;
}
