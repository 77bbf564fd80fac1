#include "os/SystemMessage.h"

#include <windows.h>

namespace os {

bool systemMessage(uint32_t code, uint16_t language, wstring& text) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n == 0 || !buffer)
        return false;
    text.assign(buffer, n);
    LocalFree(buffer);
    return true;
}

} // namespace os
