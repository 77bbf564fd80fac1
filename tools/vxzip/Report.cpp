#include "tools/vxzip/Report.h"

#include "os/PathStyle.h"

#include <cstdio>

namespace vxzip {

void reportFailure(const std::string& file, const std::string& cause) {
    std::fprintf(stderr, "vxzip: %s: %s\n", file.c_str(), cause.c_str());
}

std::string withThousands(uint64_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

std::string counted(uint64_t n, const char* one, const char* many) {
    return withThousands(n) + " " + (n == 1 ? one : many);
}

std::string pathBelow(const std::string& folder, const std::string& entryName) {
    const char separator = os::pathSeparator();
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != separator)
        path += separator;
    for (char c : entryName)
        path += c == '/' ? separator : c;
    while (path.size() > 1 && path.back() == separator)
        path.pop_back();
    return path;
}

} // namespace vxzip
