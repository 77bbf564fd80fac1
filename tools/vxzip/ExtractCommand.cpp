// vxzip extract and vxzip test.
#include "tools/vxzip/Command.h"
#include "tools/vxzip/ProgressLine.h"

namespace vxzip {

int extractCommand(const Options& options) {
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    bool ok;
    {
        ProgressLine progress;
        zip.SetEventCallback(&progress);
        ok = zip.Extract(os::fromUtf8(options.operands[1]).c_str());
        zip.SetEventCallback(nullptr);
    }
    reportLog(zip, options, ok);
    return ok ? kOk : kFailed;
}

int testCommand(const Options& options) {
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    bool ok;
    {
        ProgressLine progress;
        zip.SetEventCallback(&progress);
        ok = zip.Test();
        zip.SetEventCallback(nullptr);
    }
    reportLog(zip, options, ok);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
