#include "tools/vxzip/Report.h"

#include "os/PathStyle.h"

#include <cstdio>

namespace vxzip {

void reportFailure(const std::string& file, const std::string& cause) {
    std::fprintf(stderr, "vxzip: %s: %s\n", file.c_str(), cause.c_str());
}

// Built forwards: GCC 12 at -O3 takes inserting into the middle for an overlapping copy.
std::string withThousands(uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
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
