#include "os/UserLanguage.h"

#include <cwchar>
#include <windows.h>

namespace os {

uint16_t userDefaultLanguage() {
    return GetUserDefaultLangID();
}

uint32_t localeAnsiCodePage(uint16_t language) {
    wchar_t text[10];
    if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, text, 10) ==
        0)
        return 0;
    return uint32_t(wcstoul(text, nullptr, 10));
}

} // namespace os
