#include "os/Security.h"

#include "os/Directory.h"
#include "os/posix/DriveTable.h"

#include <cerrno>
#include <sys/stat.h>

namespace os {

// Read and write for everyone; a directory also needs search permission to be
// usable. The other bits (execute on a file, sticky and set-id bits) stay.
bool applyOpenPermissions(const wchar* path, uint32_t& result) {
    const std::string name = nativePath(toUtf8(path, wideLength(path)).c_str());
    struct stat st {};
    result = 0;
    if (stat(name.c_str(), &st) != 0) {
        result = errno == ENOENT || errno == ENOTDIR ? kErrorFileNotFound : kErrorAccessDenied;
        return true;
    }
    mode_t mode = (st.st_mode & 07777) | S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    if (S_ISDIR(st.st_mode))
        mode |= S_IXUSR | S_IXGRP | S_IXOTH;
    if (chmod(name.c_str(), mode) != 0)
        result = errno == ENOENT ? kErrorFileNotFound : kErrorAccessDenied;
    return true;
}

} // namespace os
