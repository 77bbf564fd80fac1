#include "os/UnixMode.h"

#include <cerrno>
#include <sys/stat.h>

namespace os {

bool grantExecute(FileHandle file, uint32_t unixMode, uint32_t& error) {
    struct stat st {};
    if (fstat(int(file), &st) != 0) {
        error = uint32_t(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode))
        return true;
    const mode_t current = st.st_mode & 07777;
    // A class gets its execute bit only where it already has its read bit, so the
    // permissions the process's umask gave the new file stay the limit.
    const mode_t readable = (current & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2;
    const mode_t wanted = current | (mode_t(unixMode) & readable & (S_IXUSR | S_IXGRP | S_IXOTH));
    if (wanted == current)
        return true;
    if (fchmod(int(file), wanted) != 0) {
        error = uint32_t(errno);
        return false;
    }
    return true;
}

} // namespace os
