#include "os/UserLanguage.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace os {

namespace {

struct LocaleName {
    const char* name; // language, or language_TERRITORY
    uint16_t language;
};

// The Windows language identifiers of the locales this table knows; a language
// without its territory takes the row of its default territory (listed first).
constexpr LocaleName kLocales[] = {
    {"ar", 0x0401},    {"bg", 0x0402},    {"cs", 0x0405},    {"da", 0x0406},    {"de", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"el", 0x0408},    {"en", 0x0409},    {"en_US", 0x0409},
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"es", 0x0C0A},    {"es_MX", 0x080A},
    {"fi", 0x040B},    {"fr", 0x040C},    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"he", 0x040D},    {"hu", 0x040E},    {"it", 0x0410},    {"ja", 0x0411},    {"ko", 0x0412},
    {"nl", 0x0413},    {"nl_BE", 0x0813}, {"nb", 0x0414},    {"no", 0x0414},    {"pl", 0x0415},
    {"pt", 0x0416},    {"pt_PT", 0x0816}, {"ro", 0x0418},    {"ru", 0x0419},    {"hr", 0x041A},
    {"sk", 0x041B},    {"sv", 0x041D},    {"th", 0x041E},    {"tr", 0x041F},    {"uk", 0x0422},
    {"sl", 0x0424},    {"et", 0x0425},    {"lv", 0x0426},    {"lt", 0x0427},    {"vi", 0x042A},
    {"zh", 0x0804},    {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
};

constexpr uint16_t kCustomLocale = 0x0C00;
constexpr uint16_t kEnglishUnitedStates = 0x0409;

uint16_t lookUp(const std::string& name) {
    for (const LocaleName& row : kLocales)
        if (name == row.name)
            return row.language;
    return 0;
}

} // namespace

uint16_t userDefaultLanguage() {
    const char* value = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = std::getenv(variable);
        if (value && *value)
            break;
    }
    if (!value || !*value || std::strcmp(value, "C") == 0 || std::strcmp(value, "POSIX") == 0)
        return kEnglishUnitedStates;
    std::string name(value, std::strcspn(value, ".@"));
    if (uint16_t language = lookUp(name))
        return language;
    if (uint16_t language = lookUp(name.substr(0, name.find('_'))))
        return language;
    return kCustomLocale;
}

uint32_t localeAnsiCodePage(uint16_t language) {
    uint16_t primary = language & 0x3FF;
    switch (primary) {
    case 0x04: // Chinese: Simplified for the PRC, Singapore and the neutral form
        return (language == 0x0404 || language == 0x0C04 || language == 0x1404 ||
                language == 0x7C04)
                   ? 950
                   : 936;
    case 0x11:
        return 932;
    case 0x12:
        return 949;
    case 0x1E:
        return 874;
    case 0x05:
    case 0x0E:
    case 0x15:
    case 0x18:
    case 0x1A:
    case 0x1B:
    case 0x24:
        return 1250;
    case 0x02:
    case 0x19:
    case 0x22:
        return 1251;
    case 0x08:
        return 1253;
    case 0x1F:
        return 1254;
    case 0x0D:
        return 1255;
    case 0x01:
        return 1256;
    case 0x25:
    case 0x26:
    case 0x27:
        return 1257;
    case 0x2A:
        return 1258;
    case 0x06:
    case 0x07:
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x10:
    case 0x13:
    case 0x14:
    case 0x16:
    case 0x1D:
        return 1252;
    default:
        return 0;
    }
}

} // namespace os
