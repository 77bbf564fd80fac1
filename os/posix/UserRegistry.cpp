#include "os/UserRegistry.h"

#include <cerrno>

namespace os {

bool setCurrentUserDword(const wchar*, const wchar*, uint32_t) {
    errno = ENOSYS;
    return false;
}

} // namespace os
