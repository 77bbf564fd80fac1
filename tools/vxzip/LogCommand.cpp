// vxzip log: the engine's own account of opening the archive.
#include "tools/vxzip/OpenedArchive.h"

#include <cstdio>

namespace vxzip {

int logCommand(const Options& options) {
    OpenedArchive opened;
    std::string error;
    const bool ok = opened.open(options.operands[0], options, error);
    if (!error.empty()) {
        std::fprintf(stderr, "vxzip: %s\n", error.c_str());
        return kFailed;
    }
    std::fputs(opened.lastErrorXml().c_str(), stdout);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
