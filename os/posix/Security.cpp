#include "os/Security.h"

#include "os/Directory.h"
#include "os/posix/DriveTable.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

// Read and write for everyone; a directory also needs search permission to be
// usable. The other bits (execute on a file, sticky and set-id bits) stay. The
// target is opened without following a symbolic link and changed through that
// descriptor.
bool applyOpenPermissions(const wchar* path, uint32_t& result) {
    const std::string name = nativePath(toUtf8(path, wideLength(path)).c_str());
    result = 0;
    struct stat st {};
    if (lstat(name.c_str(), &st) != 0) {
        result = errno == ENOENT || errno == ENOTDIR ? kErrorFileNotFound : kErrorAccessDenied;
        return true;
    }
    if (S_ISLNK(st.st_mode)) {
        result = kErrorLinkRefused;
        return true;
    }
    const int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result = errno == ELOOP    ? kErrorLinkRefused
                 : errno == ENOENT ? kErrorFileNotFound
                                   : kErrorAccessDenied;
        return true;
    }
    if (fstat(fd, &st) != 0) {
        result = kErrorAccessDenied;
    } else if (!S_ISDIR(st.st_mode) && st.st_nlink > 1) {
        result = kErrorHardLinksRefused;
    } else {
        mode_t mode =
            (st.st_mode & 07777) | S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
        if (S_ISDIR(st.st_mode))
            mode |= S_IXUSR | S_IXGRP | S_IXOTH;
        if (fchmod(fd, mode) != 0)
            result = kErrorAccessDenied;
    }
    close(fd);
    return true;
}

} // namespace os
