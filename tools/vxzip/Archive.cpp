#include "tools/vxzip/Command.h"

#include <cstdio>

namespace vxzip {

bool openArchive(VxZipW& zip, const Options& options) {
    if (options.oemCodePage != 0)
        zip.SetOemCodePage(options.oemCodePage);
    const std::string& path = options.operands[0];
    if (zip.OpenFromFile(os::fromUtf8(path).c_str()))
        return true;
    std::fprintf(stderr, "vxzip: cannot open %s\n", path.c_str());
    std::fputs(zip.LastErrorXml().c_str(), stderr);
    return false;
}

void reportLog(const VxZipW& zip, const Options& options, bool ok) {
    if (options.printLog)
        std::fputs(zip.LastErrorXml().c_str(), stdout);
    else if (!ok)
        std::fputs(zip.LastErrorXml().c_str(), stderr);
}

int logCommand(const Options& options) {
    VxZipW zip;
    if (options.oemCodePage != 0)
        zip.SetOemCodePage(options.oemCodePage);
    const bool ok = zip.OpenFromFile(os::fromUtf8(options.operands[0]).c_str());
    std::fputs(zip.LastErrorXml().c_str(), stdout);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
