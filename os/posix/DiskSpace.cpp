#include "os/DiskSpace.h"

#include "os/Directory.h"
#include "os/posix/DriveTable.h"

#include <cerrno>
#include <sys/statvfs.h>

namespace os {

bool freeDiskSpace(const wchar* folder, uint64_t& freeBytes, uint32_t& error) {
    const std::string path = nativePath(toUtf8(folder, wideLength(folder)).c_str());
    struct statvfs volume {};
    if (statvfs(path.c_str(), &volume) != 0) {
        error = errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : kErrorAccessDenied;
        return false;
    }
    // What an unprivileged writer may use, as the Windows call reports for the caller.
    freeBytes = uint64_t(volume.f_bavail) * uint64_t(volume.f_frsize);
    return true;
}

} // namespace os
