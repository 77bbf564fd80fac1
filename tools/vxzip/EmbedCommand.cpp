#include "tools/vxzip/Command.h"

#include <cstdio>

namespace vxzip {

int embedCommand(const Options& options) {
    VxZipW zip;
    const bool ok = zip.AddEmbedded(os::fromUtf8(options.operands[0]).c_str(),
                                    os::fromUtf8(options.resourceName).c_str(),
                                    os::fromUtf8(options.operands[1]).c_str());
    if (!ok)
        std::fprintf(stderr, "vxzip: cannot embed %s in %s\n", options.operands[1].c_str(),
                     options.operands[0].c_str());
    reportLog(zip, options, ok);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
