#include "tools/vxzip/Command.h"

#include "os/Stdio.h"

#include <cstdio>

namespace vxzip {

namespace {

// An executable starts with "MZ"; its archive is the payload resource.
bool isExecutable(const std::string& path) {
    char magic[2] = {};
    FILE* file = os::fopenUtf8(path.c_str(), "rb");
    if (!file)
        return false;
    const bool mz = std::fread(magic, 1, 2, file) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    std::fclose(file);
    return mz;
}

bool open(VxZipW& zip, const Options& options) {
    if (options.oemCodePage != 0)
        zip.SetOemCodePage(options.oemCodePage);
    if (options.hasPassword)
        zip.SetPassword(options.password.data(), uint32_t(options.password.size()));
    const std::string& path = options.operands[0];
    const os::wstring widePath = os::fromUtf8(path);
    if (isExecutable(path))
        return zip.OpenEmbedded(widePath.c_str(), os::fromUtf8(options.resourceName).c_str());
    return zip.OpenFromFile(widePath.c_str());
}

} // namespace

bool openArchive(VxZipW& zip, const Options& options) {
    const std::string& path = options.operands[0];
    if (open(zip, options))
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
    const bool ok = open(zip, options);
    std::fputs(zip.LastErrorXml().c_str(), stdout);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
