#include "os/SystemMessage.h"

#include <cstring>

namespace os {

bool systemMessage(uint32_t code, uint16_t, wstring& text) {
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in `buffer`.
    const char* message = strerror_r(int(code), buffer, sizeof buffer);
    if (!message || !*message)
        return false;
    text = fromUtf8(message, std::strlen(message));
    return true;
}

} // namespace os
