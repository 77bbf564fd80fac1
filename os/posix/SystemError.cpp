#include "os/SystemError.h"

#include <cerrno>
#include <cstring>
#include <type_traits>

namespace os {

uint32_t lastErrorCode() {
    return uint32_t(errno);
}

void errorText(uint32_t code, char* out, size_t size) {
    if (size == 0)
        return;
    out[0] = 0;
    // The XSI strerror_r, whatever glibc's feature macros select.
    char buffer[256];
    const char* text = buffer;
    auto result = strerror_r(int(code), buffer, sizeof buffer);
    if constexpr (std::is_same_v<decltype(result), char*>)
        text = result;
    else if (result != 0)
        return;
    std::strncpy(out, text, size - 1);
    out[size - 1] = 0;
}

} // namespace os
