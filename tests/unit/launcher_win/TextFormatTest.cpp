// The launcher's message-style formatting through the system formatter, whose
// buffer grows until the text fits.
#include "app/TextFormat.h"
#include "resources/StringIds.h"
#include "toolkit/ui/LauncherStrings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FormatCase {
    std::wstring templ;
    std::wstring expected;
};

TEST(LauncherTextFormat, MessageInserts) {
    const std::wstring name = L"Orvandis Demo Suite";
    const FormatCase cases[] = {
        {L"%1 (web-based installer)", name + L" (web-based installer)"},
        {L"Shorter by at least %1!d! characters.", L"Shorter by at least 7 characters."},
        {L"\"%1%2\"", L"\"C:\\Kits\\Installer\""},
        {L"no inserts", L"no inserts"},
    };
    EXPECT_EQ(FormatMessageString(cases[0].templ, {MessageArg(name)}), cases[0].expected);
    EXPECT_EQ(FormatMessageString(cases[1].templ, {MessageArg(7)}), cases[1].expected);
    EXPECT_EQ(
        FormatMessageString(cases[2].templ, {MessageArg(L"C:\\Kits\\"), MessageArg(L"Installer")}),
        cases[2].expected);
    EXPECT_EQ(FormatMessageString(cases[3].templ, {}), cases[3].expected);
}

TEST(LauncherTextFormat, NegativeNumbers) {
    EXPECT_EQ(FormatMessageString(L"%1!d!", {MessageArg(-5)}), L"-5");
}

TEST(LauncherTextFormat, LongTextsGrowTheBuffer) {
    // Around the 128-unit steps the buffer grows by, and far beyond.
    for (size_t length : {127u, 128u, 129u, 255u, 256u, 1000u, 5000u}) {
        std::wstring insert(length, L'x');
        EXPECT_EQ(FormatMessageString(L"[%1]", {MessageArg(insert)}), L"[" + insert + L"]")
            << length;
    }
    std::wstring longTemplate(300, L'y');
    EXPECT_EQ(FormatMessageString(longTemplate + L"%1", {MessageArg(L"z")}), longTemplate + L"z");
}

TEST(LauncherTextFormat, InsertsAreNotFormattedAgain) {
    // A directory typed by the user may hold "%": it stays as typed.
    EXPECT_EQ(FormatMessageString(L"The path %1 is invalid.", {MessageArg(L"C:\\100%1%2\\")}),
              L"The path C:\\100%1%2\\ is invalid.");
}

TEST(LauncherTextFormat, PrintfStyle) {
    EXPECT_EQ(FormatPrintfString(L"IDB_TOPSTRIP%d", 3), L"IDB_TOPSTRIP3");
    EXPECT_EQ(FormatPrintfString(L"%s: '%s'", L"A", L"b c"), L"A: 'b c'");
}

TEST(LauncherTextFormat, InstallerTitleNamesTheSuite) {
    std::wstring suite = Quillkit::LoadLauncherString(StringId::kSuiteName);
    std::wstring title = GetInstallerTitle();
    ASSERT_FALSE(suite.empty());
    EXPECT_NE(title.find(suite), std::wstring::npos);
    EXPECT_GT(title.size(), suite.size());
    EXPECT_EQ(title.find(L"%1"), std::wstring::npos);
}

} // namespace
