#include "os/posix/PathByName.h"

#include "os/File.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {

std::string absoluteByName(const std::string& path, bool keepTrailingSlash) {
    std::string text = path;
    if (text.empty() || text[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return std::string();
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
    if (full.empty() || (keepTrailingSlash && text.back() == '/'))
        full += "/";
    return full;
}

mode_t modeWithAttributes(mode_t mode, uint32_t attributes) {
    if (attributes & kAttrReadOnly)
        return mode & mode_t(~(S_IWUSR | S_IWGRP | S_IWOTH));
    return mode | S_IWUSR;
}

} // namespace os
