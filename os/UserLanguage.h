// The user's language and the code pages that go with languages.
#pragma once

#include <cstdint>

namespace os {

// GetUserDefaultLangID. Elsewhere the language of LC_ALL, LC_MESSAGES or LANG
// ("de_DE.UTF-8" gives 1031, "C" and "POSIX" give 1033), and 0x0C00 (a custom
// locale) for a language without a Windows language identifier.
uint16_t userDefaultLanguage();

// The locale's default ANSI code page (LOCALE_IDEFAULTANSICODEPAGE) of a
// language identifier, 0 when the system does not know the language.
uint32_t localeAnsiCodePage(uint16_t language);

} // namespace os
