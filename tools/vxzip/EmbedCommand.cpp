#include "app/preferences/PayloadCheck.h"
#include "tools/vxzip/Command.h"
#include "tools/vxzip/Report.h"

using namespace vexmar;

namespace vxzip {

int embedCommand(const Options& options) {
    const std::string& exe = options.operands[0];
    const std::string& payload = options.operands[1];
    // A payload the launcher could not use is refused before the executable is
    // touched. Another resource is not the launcher's payload: only the engine reads it.
    Pellquin::PayloadRefusal refusal;
    if (options.resourceName == kLauncherPayloadResource)
        refusal = Pellquin::CheckPayloadForLauncher(os::fromUtf8(exe), os::fromUtf8(payload));
    if (!refusal.reason.empty()) {
        reportFailure(refusal.launcherAtFault ? exe : payload, refusal.reason);
        return kFailed;
    }
    VxZipW zip;
    const bool ok =
        zip.AddEmbedded(os::fromUtf8(exe).c_str(), os::fromUtf8(options.resourceName).c_str(),
                        os::fromUtf8(payload).c_str());
    if (!ok) {
        const LogNode log = readLogTree(zip.LastErrorXml());
        // The engine names the ZIP file when the ZIP file is what it refused.
        const bool zipAtFault = log.findFirst("zipFilename") != nullptr;
        reportFailure(zipAtFault ? payload : exe, causeOf(log, causeFacts(options)).text);
    }
    printLogIfAsked(zip, options);
    return ok ? kOk : kFailed;
}

} // namespace vxzip
