#include "os/CrtPath.h"

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
    std::string text = toUtf8(path, wideLength(path));
    if (text.empty() || text[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return false;
        text = std::string(cwd) + "/" + text;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const std::string& part : parts)
        full += "/" + part;
    if (full.empty() || text.back() == '/')
        full += "/";
    return copyOut(fromUtf8(full), out, size);
}

} // namespace os
