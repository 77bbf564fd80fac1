#include "toolkit/path/Permissions.h"

#include "os/Directory.h"
#include "os/Security.h"
#include "toolkit/diag/DebugLog.h"

namespace Quillkit {

bool SetPermissions(WString path) {
    uint32_t result = 0;
    if (!os::applyOpenPermissions(path.c_str(), result))
        return false;
    if (result == 0)
        return true;
    if (result == os::kErrorFileNotFound)
        LogDebugMessage(QK_TEXT("SetPermissions: File not found for setting permissions: %s"),
                        path.c_str());
    else if (result == os::kErrorLinkRefused || result == os::kErrorHardLinksRefused)
        LogDebugMessage(QK_TEXT("SetPermissions: Refused to set permissions on a link: %s"),
                        path.c_str());
    else
        LogDebugMessage(
            QK_TEXT("SetPermissions: Unknown error setting file permissions: %s, ERROR CODE %d"),
            path.c_str(), int(result));
    return false;
}

} // namespace Quillkit
