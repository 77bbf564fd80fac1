#include "os/Stdio.h"

#include <cstdlib>
#include <windows.h>

namespace os {

namespace {

// UTF-8 to UTF-16 in a block from std::malloc; null on failure.
wchar_t* widen(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0)
        return nullptr;
    auto* wide = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * size_t(n)));
    if (wide && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, n) != n) {
        std::free(wide);
        wide = nullptr;
    }
    return wide;
}

} // namespace

std::FILE* fopenUtf8(const char* path, const char* mode) {
    wchar_t* widePath = widen(path);
    wchar_t* wideMode = widen(mode);
    std::FILE* file = widePath && wideMode ? _wfopen(widePath, wideMode) : nullptr;
    std::free(widePath);
    std::free(wideMode);
    return file;
}

} // namespace os
