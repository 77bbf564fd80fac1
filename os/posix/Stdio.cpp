#include "os/Stdio.h"

#include "os/posix/DriveTable.h"

namespace os {

std::FILE* fopenUtf8(const char* path, const char* mode) {
    return std::fopen(nativePath(path).c_str(), mode);
}

} // namespace os
