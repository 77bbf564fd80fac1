#include "toolkit/ui/UILanguage.h"

#include "os/UserLanguage.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/platform/StaticBindings.h"
#include "toolkit/ui/LanguageChooser.h"
#include "toolkit/ui/LauncherStrings.h"

#include "resources/StringIds.h"

#include <vector>

namespace Quillkit {

namespace {

constexpr uint16_t kCustomLocale = 0x0C00;
constexpr uint16_t kEnglishUnitedStates = 0x0409;
constexpr uint16_t kEnglishNeutral = 9;
constexpr uint32_t kFirstLauncherBlock = 9;             // ids 128 to 143
constexpr uint32_t kLocaleDefaultAnsiCodePage = 0x1004; // LOCALE_IDEFAULTANSICODEPAGE

DynamicFunc<int> getUserDefaultLocaleName(&kernelLibrary, "GetUserDefaultLocaleName");
DynamicFunc<int> getLocaleInfoEx(&kernelLibrary, "GetLocaleInfoEx");

// A custom locale is known by the language part of its name.
uint16_t customLocaleLanguage() {
    if (!getUserDefaultLocaleName.IsAvailable())
        return kCustomLocale;
    WChar name[85] = {};
    auto query = getUserDefaultLocaleName.As<int(OS_SYSAPI*)(WChar*, int)>();
    if (query(name, 85) == 0)
        return kCustomLocale;
    WString language(name);
    language = language.substr(0, language.find(WChar('-')));
    const struct {
        const WChar* name;
        uint16_t language;
    } known[] = {{QK_TEXT("fr"), 1036},
                 {QK_TEXT("ja"), 1041},
                 {QK_TEXT("ko"), 1042},
                 {QK_TEXT("de"), 1031},
                 {QK_TEXT("zh"), 4100}};
    for (const auto& row : known)
        if (language == row.name)
            return row.language;
    return 1033;
}

// The C runtime's decimal conversion: blanks, a sign, digits; no number gives 0.
long decimalValue(const WString& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

} // namespace

std::vector<uint16_t> ParseLanguageList(const WString& list) {
    std::vector<uint16_t> candidates;
    size_t start = 0;
    for (;;) {
        size_t comma = list.find(WChar(','), start);
        candidates.push_back(uint16_t(decimalValue(list.substr(start, comma - start))));
        if (comma == WString::npos)
            return candidates;
        start = comma + 1;
    }
}

uint16_t GetUserUILanguage() {
    uint16_t language = os::userDefaultLanguage();
    if (language == kCustomLocale)
        language = customLocaleLanguage();
    if (language == 0x0C04 || language == 0x1404 || language == 0x1004 || language == 0x0404)
        language = kEnglishUnitedStates;
    return language;
}

uint32_t GetAnsiCodePage(uint16_t language) {
    return os::localeAnsiCodePage(language);
}

uint32_t GetAnsiCodePageOrSystem(uint16_t language) {
    if (uint32_t codePage = GetAnsiCodePage(language))
        return codePage;
    if (!getLocaleInfoEx.IsAvailable())
        return 0;
    WChar text[10] = {};
    auto query = getLocaleInfoEx.As<int(OS_SYSAPI*)(const WChar*, uint32_t, WChar*, int)>();
    if (query(QK_TEXT("!x-sys-default-locale"), kLocaleDefaultAnsiCodePage, text, 10) == 0)
        return 0;
    return uint32_t(decimalValue(text));
}

void ChooseUILanguage() {
    MetaOutput* out = GetSharedOutputData();
    out->SetLanguage(kEnglishNeutral);
    std::vector<uint16_t> candidates =
        ParseLanguageList(LoadLauncherString(StringId::kUiLanguages));
    LanguageChooser chooser = LanguageChooser::Instance();
    chooser.Choose(kFirstLauncherBlock, os::mainModule(), kEnglishNeutral,
                   GetAnsiCodePage(kEnglishNeutral), &candidates);
    out->SetLanguage(chooser.Chosen());
}

} // namespace Quillkit
