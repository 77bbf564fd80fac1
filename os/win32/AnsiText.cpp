#include "os/AnsiText.h"

#include <windows.h>

namespace os {

bool ansiToWide(const char* text, size_t length, wstring& out) {
    if (length == 0)
        return true;
    const int n = MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0);
    if (n <= 0)
        return false;
    const size_t start = out.size();
    out.resize(start + size_t(n));
    return MultiByteToWideChar(CP_ACP, 0, text, int(length), out.data() + start, n) == n;
}

std::string wideToSystemAnsi(const wchar* text) {
    wchar_t codePage[8] = {};
    UINT page = CP_ACP;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, codePage, 8) > 0)
        page = UINT(_wtoi(codePage));
    const int n = WideCharToMultiByte(page, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(page, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

} // namespace os
