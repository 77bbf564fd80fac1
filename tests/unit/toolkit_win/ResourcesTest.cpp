// The string tables as real RT_STRING resources of the executable.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/ui/LauncherStrings.h"

#include <windows.h>

namespace qktest {
namespace {

using namespace Quillkit;

using ResourcesTest = ToolkitTest;

TEST_F(ResourcesTest, EverySixLanguageTableIsAStringResource) {
    const struct {
        uint16_t language;
        const char* errorBanner;
        const char* browse;
        const char* errorLine;
    } tables[] = {
        {1031, "***** Fehler *****", "&Durchsuchen", "*** Fehler (-41): x"},
        {1033, "***** Error *****", "&Browse", "*** Error (-41): x"},
        {1036, "***** Erreur *****", "&Parcourir", "*** Erreur (-41) : x"},
        {1041, "***** \u30a8\u30e9\u30fc *****", "\u53c2\u7167(&B)",
         "*** \u30a8\u30e9\u30fc (-41): x"},
        {1042, "***** \uc624\ub958 *****", "\ucc3e\uc544\ubcf4\uae30(&B)",
         "*** \uc624\ub958 (-41): x"},
        {2052, "***** \u9519\u8bef *****", "\u6d4f\u89c8(&B)", "*** \u9519\u8bef (-41): x"},
    };
    HMODULE self = GetModuleHandleW(nullptr);
    for (const auto& table : tables) {
        for (unsigned block : {9u, 10u, 11u, 9000u / 16 + 1}) {
            EXPECT_NE(
                FindResourceExW(self, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), table.language),
                nullptr)
                << "block " << block << " in " << table.language;
        }
        out->SetLanguage(table.language);
        EXPECT_EQ(U8(LoadToolkitString(9000)), table.errorBanner);
        EXPECT_EQ(U8(LoadLauncherString(158)), table.browse);
        EXPECT_EQ(U8(LoadToolkitString(9010, -41, L"x")), table.errorLine);
    }
}

TEST_F(ResourcesTest, TheSystemsOwnLoaderReadsTheSameTables) {
    wchar_t text[64];
    int n = LoadStringW(GetModuleHandleW(nullptr), 9143, text, 64);
    ASSERT_GT(n, 0);
    WString loaded(text, size_t(n));
    // Whichever language the system picks, it is one of ours.
    bool known = false;
    for (uint16_t language : {1031, 1033, 1036, 1041, 1042, 2052}) {
        out->SetLanguage(language);
        known = known || LoadToolkitString(9143) == loaded;
    }
    EXPECT_TRUE(known) << U8(loaded);
}

} // namespace
} // namespace qktest
