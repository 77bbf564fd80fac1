#include "tools/vxzip/Command.h"
#include "tools/vxzip/Report.h"

#include "os/Stdio.h"

#include <cstdio>

using namespace vexmar;

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
    zip.SetWorkerCount(options.workers);
    if (options.hasPassword)
        zip.SetPassword(options.password.data(), uint32_t(options.password.size()));
    const std::string& path = options.operands[0];
    const os::wstring widePath = os::fromUtf8(path);
    if (isExecutable(path))
        return zip.OpenEmbedded(widePath.c_str(), os::fromUtf8(options.resourceName).c_str());
    return zip.OpenFromFile(widePath.c_str());
}

// Why the open failed; a payload that is found but unreadable is named as such.
std::string openFailure(const VxZipW& zip, const Options& options) {
    const LogNode log = readLogTree(zip.LastErrorXml());
    const CauseFacts facts = causeFacts(options);
    for (const LogNode& child : log.children)
        if (child.isContext && child.tag == "OpenFromMemory")
            return "its " + options.resourceName + " payload: " + causeOf(child, facts).text;
    return causeOf(log, facts).text;
}

} // namespace

CauseFacts causeFacts(const Options& options) {
    return {options.resourceName, options.hasPassword};
}

bool openArchive(VxZipW& zip, const Options& options) {
    const bool ok = open(zip, options);
    if (!ok)
        reportFailure(options.operands[0], openFailure(zip, options));
    printLogIfAsked(zip, options);
    return ok;
}

void printLogIfAsked(const VxZipW& zip, const Options& options) {
    if (options.printLog)
        std::fputs(zip.LastErrorXml().c_str(), stdout);
}

int logCommand(const Options& options) {
    VxZipW zip;
    const bool ok = open(zip, options);
    std::fputs(zip.LastErrorXml().c_str(), stdout);
    if (!ok)
        reportFailure(options.operands[0], openFailure(zip, options));
    return ok ? kOk : kFailed;
}

} // namespace vxzip
