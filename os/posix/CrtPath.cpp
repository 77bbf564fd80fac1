#include "os/CrtPath.h"

#include "os/posix/PathByName.h"

#include <cerrno>
#include <climits>
#include <string>
#include <unistd.h>
#include <vector>

namespace os {

static bool copyOut(const wstring& text, wchar* buffer, size_t size) {
    if (text.size() + 1 > size) {
        errno = ERANGE;
        return false;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return true;
}

bool crtGetCwd(wchar* buffer, size_t size) {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return false;
    return copyOut(fromUtf8(std::string(cwd)), buffer, size);
}

bool crtChdir(const wchar* path) {
    return chdir(toUtf8(path, wideLength(path)).c_str()) == 0;
}

bool crtFullPath(wchar* out, const wchar* path, size_t size) {
    const std::string full = absoluteByName(toUtf8(path, wideLength(path)), true);
    return !full.empty() && copyOut(fromUtf8(full), out, size);
}

} // namespace os
