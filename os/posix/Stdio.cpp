#include "os/Stdio.h"

namespace os {

std::FILE* fopenUtf8(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

} // namespace os
