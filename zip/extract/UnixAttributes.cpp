#include "zip/extract/UnixAttributes.h"

#include "os/Beneath.h"
#include "os/FileTime.h"
#include "os/SystemError.h"
#include "os/UnixMode.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"
#include "zip/extract/EntryTarget.h"
#include "zip/extract/NamePattern.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/VexmarHandle.h"

namespace vexmar {

namespace {

// The hosts of "version made by" whose attributes hold a Unix mode: Unix and OS X.
constexpr uint8_t kHostUnix = 3;
constexpr uint8_t kHostOsX = 19;
constexpr uint32_t kTypeMask = 0170000;
constexpr uint32_t kTypeRegular = 0100000;

} // namespace

void keepExecuteBits(VexmarHandle& file, const CentralHeader& header, LogBase& log) {
    const uint8_t host = uint8_t(header.versionMadeBy >> 8);
    if (host != kHostUnix && host != kHostOsX)
        return;
    const uint32_t mode = header.externalAttributes >> 16;
    // Some writers leave the type out; a link or a device is no business of this.
    const uint32_t type = mode & kTypeMask;
    if ((type != 0 && type != kTypeRegular) || (mode & 0111) == 0)
        return;
    uint32_t error = 0;
    if (!os::grantExecute(file.osHandle(), mode, error)) {
        char reason[512];
        os::errorText(error, reason, sizeof reason);
        log.logInfo("The execute permissions could not be set.");
        log.logData("reason", reason);
    }
}

void restoreFolderTimes(ZipSystem& system, const XString& directory, bool ignoreFolders,
                        const char* pattern) {
    if (ignoreFolders)
        return;
    for (uint32_t i = 0; i < system.numEntries(); ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(system.entryAt(i));
        if (!entry || entry->isExcluded() || !entry->isDirectory())
            continue;
        StringBuffer name;
        entry->getFileName(name);
        name.removeNameUnsafeChars();
        if (pattern && !matchesNamePattern(name.getString(), pattern))
            continue;
        LogNull quiet;
        EntryTarget target;
        if (!entry->ensureCentralLoaded(quiet) || !entry->entryTarget(directory, false, target, quiet) ||
            target.names.empty())
            continue;
        // Reached the way the run made it, never through a link; a folder that cannot be
        // reached keeps the times it has.
        os::BeneathFailure failure;
        os::OpenFolder folder =
            os::openFolderBeneath(target.base, target.names, target.names.size(), failure);
        if (!folder.isOpen())
            continue;
        const CentralHeader& header = entry->info()->central;
        uint32_t error = 0;
        // A folder keeps the time it has when the stored one cannot be set.
        static_cast<void>(os::setFileTimes(
            folder.handle(), FileSys::fileTimeFromDos(header.dosDate, header.dosTime), error));
    }
}

} // namespace vexmar
