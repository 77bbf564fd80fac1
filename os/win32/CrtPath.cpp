#include "os/CrtPath.h"

#include <direct.h>
#include <stdlib.h>

namespace os {

bool crtGetCwd(wchar* buffer, size_t size) {
    return _wgetcwd(buffer, int(size)) != nullptr;
}

bool crtChdir(const wchar* path) {
    return _wchdir(path) == 0;
}

bool crtFullPath(wchar* out, const wchar* path, size_t size) {
    return _wfullpath(out, path, size) != nullptr;
}

} // namespace os
