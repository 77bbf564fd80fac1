// The UI language: scoring candidates, choosing one, and the launcher's texts.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "os/DynamicLibrary.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/ui/LanguageChooser.h"
#include "toolkit/ui/LauncherStrings.h"
#include "toolkit/ui/UILanguage.h"

#include <cstdlib>

namespace qktest {
namespace {

using namespace Quillkit;

using LanguageTest = ToolkitTest;

#if !defined(_WIN32)
// The user's language comes from the locale variables off Windows.
class UserLocale {
public:
    explicit UserLocale(const char* value) {
        if (const char* old = std::getenv("LC_ALL"))
            saved_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~UserLocale() {
        if (saved_.empty())
            unsetenv("LC_ALL");
        else
            setenv("LC_ALL", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};
#endif

LanguageChooser ChooserWithDefault(uint16_t defaultLanguage) {
    LanguageChooser chooser;
    std::vector<uint16_t> none;
    chooser.Choose(9, nullptr, defaultLanguage, GetAnsiCodePage(defaultLanguage), &none);
    return chooser;
}

TEST_F(LanguageTest, ScoreLanguage) {
    const struct {
        uint16_t candidate;
        uint16_t target;
        int score;
    } cases[] = {
        {1033, 1033, 5},               // the same language
        {7, 1031, 4},                  // German without sublanguage, same code page 1252
        {2055, 1031, 3},               // German (Switzerland): a sublanguage
        {9, 1031, 2},                  // the default
        {7, 1036, 1},                  // another language
        {9, 1036, 2},    {4, 1028, 1}, // Chinese: Traditional 950 against Simplified 936
        {2052, 4100, 3},               // Chinese PRC against Singapore, both 936
        {0, 1031, 1},                  // an empty piece of the list
        {1041, 1042, 1},
    };
    LanguageChooser chooser = ChooserWithDefault(9);
    for (const auto& c : cases)
        EXPECT_EQ(chooser.ScoreLanguage(c.candidate, c.target), c.score)
            << c.candidate << " for " << c.target;
}

TEST_F(LanguageTest, CodePagesOfLanguages) {
    const uint16_t cases[][2] = {{1031, 1252}, {7, 1252},   {1033, 1252}, {1041, 932},
                                 {1042, 949},  {2052, 936}, {1028, 950},  {1049, 1251}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetAnsiCodePage(c[0]), c[1]) << c[0];
        EXPECT_EQ(GetAnsiCodePageOrSystem(c[0]), c[1]) << c[0];
    }
}

TEST_F(LanguageTest, ParseLanguageList) {
    EXPECT_EQ(ParseLanguageList(QK_TEXT("0009")), std::vector<uint16_t>({9}));
    EXPECT_EQ(ParseLanguageList(QK_TEXT("7,9")), std::vector<uint16_t>({7, 9}));
    EXPECT_EQ(ParseLanguageList(QK_TEXT("9,,7")), std::vector<uint16_t>({9, 0, 7}));
    EXPECT_EQ(ParseLanguageList(QK_TEXT(" 1033,x,2052")), std::vector<uint16_t>({1033, 0, 2052}));
}

TEST_F(LanguageTest, ChooseWithoutCandidatesKeepsTheDefault) {
    LanguageChooser chooser;
    std::vector<uint16_t> none;
    EXPECT_FALSE(chooser.Choose(9, GetThisModuleHandle(), 1036, 1252, &none));
    EXPECT_EQ(chooser.Chosen(), 1036);
    EXPECT_EQ(chooser.ChosenCodePage(), 1252u);
}

TEST_F(LanguageTest, ChooseListsTheLanguagesOfTheStringBlock) {
    LanguageChooser chooser;
    EXPECT_TRUE(chooser.Choose(9, GetThisModuleHandle(), 9, 1252, nullptr));
    std::vector<uint16_t> languages = chooser.Candidates();
    std::sort(languages.begin(), languages.end());
    EXPECT_EQ(languages, std::vector<uint16_t>({1031, 1033, 1036, 1041, 1042, 2052}));
    EXPECT_FALSE(chooser.Choose(2, GetThisModuleHandle(), 9, 1252, nullptr));
}

#if !defined(_WIN32)
TEST_F(LanguageTest, ChooseTakesTheBestScoringCandidate) {
    const struct {
        const char* locale;
        std::vector<uint16_t> candidates;
        uint16_t chosen;
        uint32_t codePage;
    } cases[] = {
        {"de_DE.UTF-8", {7, 9}, 7, 1252},
        {"fr_FR.UTF-8", {7, 9}, 9, 1252},
        {"en_US.UTF-8", {1033, 9}, 1033, 1252},
        {"fr_FR.UTF-8", {9, 0, 7}, 9, 1252},
        {"ja_JP.UTF-8", {9, 17, 1041}, 1041, 932},
        {"zh_TW.UTF-8", {2052, 1033}, 1033, 1252}, // Taiwan is taken as English
        {"de_DE.UTF-8", {9}, 9, 1252},
    };
    for (const auto& c : cases) {
        UserLocale locale(c.locale);
        LanguageChooser chooser;
        EXPECT_TRUE(chooser.Choose(9, nullptr, 9, 1252, &c.candidates));
        EXPECT_EQ(chooser.Chosen(), c.chosen) << c.locale;
        EXPECT_EQ(chooser.ChosenCodePage(), c.codePage) << c.locale;
    }
}

TEST_F(LanguageTest, UserUiLanguage) {
    const struct {
        const char* locale;
        uint16_t language;
    } cases[] = {
        {"de_DE.UTF-8", 1031},   {"zh_CN.UTF-8", 2052}, {"zh_TW.UTF-8", 0x0409},
        {"zh_HK.UTF-8", 0x0409}, {"C", 1033},           {"xx_YY.UTF-8", 0x0C00},
    };
    for (const auto& c : cases) {
        UserLocale locale(c.locale);
        EXPECT_EQ(GetUserUILanguage(), c.language) << c.locale;
    }
}
#endif

TEST_F(LanguageTest, StartUpChoiceFromTheLauncherStrings) {
    out->SetLanguage(1041);
    ChooseUILanguage();
    EXPECT_EQ(out->GetLanguage(), 9); // "0009": English on every system
    EXPECT_EQ(U8(LoadLauncherString(137)), "&Start");
}

TEST_F(LanguageTest, LauncherStringsFollowTheUiLanguage) {
    out->SetLanguage(7);
    EXPECT_EQ(U8(LoadLauncherString(158)), "&Durchsuchen");
    EXPECT_EQ(U8(LoadLauncherString(153)), ""); // not defined, but its block is there
}

TEST_F(LanguageTest, AMissingLauncherStringIsFatal) {
    ::testing::internal::CaptureStderr();
    std::string text;
    try {
        LoadLauncherString(16);
        ADD_FAILURE() << "no fatal stop";
    } catch (const FatalResourceError& e) {
        text = U8(e.Text());
    }
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, "Attempted to load a nonexistent resource id: 16\nThis program is corrupt and "
                    "will now terminate.");
    // The toolkit error behind it has been reported, not left pending.
    EXPECT_EQ(out->GetCurrentError()->code, 0);
    EXPECT_NE(LogText().find("*** Error (-12)"), std::string::npos);
}

} // namespace
} // namespace qktest
