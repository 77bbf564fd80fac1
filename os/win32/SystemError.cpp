#include "os/SystemError.h"

#include <windows.h>

namespace os {

uint32_t lastErrorCode() {
    return uint32_t(GetLastError());
}

void errorText(uint32_t code, char* out, size_t size) {
    if (size == 0)
        return;
    out[0] = 0;
    wchar_t text[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text / sizeof text[0], nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' '))
        --n;
    if (n == 0)
        return;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, int(n), out, int(size - 1), nullptr, nullptr);
    out[bytes > 0 ? bytes : 0] = 0;
}

} // namespace os
