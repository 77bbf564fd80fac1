// The string loaders against the generated string tables.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "os/Resources.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/StringBlock.h"
#include "toolkit/diag/StringLoad.h"
#include "toolkit/diag/ToolkitStrings.h"

namespace qktest {
namespace {

using namespace Quillkit;

using StringLoadTest = ToolkitTest;

std::string Load(uint32_t id, uint16_t language) {
    WString text;
    EXPECT_TRUE(LoadStringFromResource(GetThisModuleHandle(), id, text, language, false));
    return U8(text);
}

TEST_F(StringLoadTest, MapNeutralLanguage) {
    const uint16_t map[][2] = {{9, 1033},    {12, 1036},   {17, 1041}, {18, 1042}, {7, 1031},
                               {19, 1043},   {22, 1046},   {1, 1025},  {6, 1030},  {29, 1053},
                               {20, 1044},   {10, 3082},   {25, 1049}, {16, 1040}, {4, 4},
                               {1033, 1033}, {2052, 2052}, {0, 0}};
    for (const auto& row : map)
        EXPECT_EQ(MapNeutralLanguage(row[0]), row[1]) << row[0];
}

TEST_F(StringLoadTest, EachLanguageHasItsOwnTable) {
    const struct {
        uint16_t language;
        const char* errorBanner;
        const char* startButton;
    } tables[] = {
        {1031, "***** Fehler *****", "&Starten"},
        {1033, "***** Error *****", "&Start"},
        {1036, "***** Erreur *****", "&D\u00e9marrer"},
        {1041, "***** \u30a8\u30e9\u30fc *****", "\u958b\u59cb(&S)"},
        {1042, "***** \uc624\ub958 *****", "\uc2dc\uc791(&S)"},
        {2052, "***** \u9519\u8bef *****", "\u5f00\u59cb(&S)"},
    };
    for (const auto& table : tables) {
        EXPECT_EQ(Load(9000, table.language), table.errorBanner) << table.language;
        EXPECT_EQ(Load(137, table.language), table.startButton) << table.language;
    }
}

TEST_F(StringLoadTest, SuiteAndProgramStringsAreTheSameInEveryTable) {
    for (uint16_t language : {1031, 1033, 1036, 1041, 1042, 2052}) {
        EXPECT_EQ(Load(135, language), "125");
        EXPECT_EQ(Load(154, language), "setup.exe");
        EXPECT_EQ(Load(155, language), "orvsuite.xml");
        EXPECT_EQ(Load(156, language), "YES");
        EXPECT_EQ(Load(163, language), "0009");
        EXPECT_EQ(Load(133, language), Load(133, 1033));
        EXPECT_EQ(Load(136, language).front(), '{');
    }
}

TEST_F(StringLoadTest, TemplatesKeepTheirInsertsInEveryLanguage) {
    for (uint16_t language : {1031, 1033, 1036, 1041, 1042, 2052}) {
        EXPECT_NE(Load(138, language).find("%1!d!"), std::string::npos) << language;
        std::string line = Load(9010, language);
        EXPECT_NE(line.find("%1!d!"), std::string::npos) << language;
        EXPECT_NE(line.find("%2"), std::string::npos) << language;
    }
}

TEST_F(StringLoadTest, SizeQueryThenCopy) {
    uint32_t size = 0;
    ASSERT_TRUE(LoadStringFromResource(GetThisModuleHandle(), 9143, nullptr, &size, 1033, false));
    EXPECT_EQ(size, 14u); // "Invalid path." and its terminator
    WChar small[4];
    uint32_t smallSize = 4;
    ASSERT_TRUE(
        LoadStringFromResource(GetThisModuleHandle(), 9143, small, &smallSize, 1033, false));
    EXPECT_EQ(smallSize, 14u);
    WChar buffer[14];
    ASSERT_TRUE(LoadStringFromResource(GetThisModuleHandle(), 9143, buffer, &size, 1033, false));
    EXPECT_EQ(U8(buffer), "Invalid path.");
}

TEST_F(StringLoadTest, AnUndefinedIdInAPresentBlockIsEmpty) {
    EXPECT_EQ(Load(153, 1033), "");
    EXPECT_EQ(Load(159, 1041), "");
    uint32_t size = 0;
    ASSERT_TRUE(LoadStringFromResource(GetThisModuleHandle(), 153, nullptr, &size, 1033, false));
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(LogBytes(), "");
}

TEST_F(StringLoadTest, AMissingBlockIsQuietlyNotFound) {
    WString text;
    bool found = true;
    EXPECT_FALSE(LoadStringFromResource(GetThisModuleHandle(), 16, text, 1033, true, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(LogBytes(), "");
    found = false;
    EXPECT_TRUE(LoadStringFromResource(GetThisModuleHandle(), 132, text, 1033, true, &found));
    EXPECT_TRUE(found);
}

TEST_F(StringLoadTest, AMissingBlockRaisesAndNamesTheLoad) {
    int32_t code = 0;
    try {
        WString text;
        LoadStringFromResource(GetThisModuleHandle(), 16, text, 9, false);
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -12);
    std::string log = LogText();
    size_t where = log.find("> Error in Quillkit::LoadStringFromResource. Module Handle: ");
    ASSERT_NE(where, std::string::npos) << log;
    EXPECT_NE(log.find("\r\nWindows function FindResourceEx returned an error. Error code: "),
              std::string::npos);
    EXPECT_NE(log.find("\r\n>          strId: 16; LangId: 9\r\n", where), std::string::npos) << log;
}

TEST_F(StringLoadTest, ALanguageWithoutTablesFallsBackThroughTheNeutralLanguage) {
    StringBlock* block = LoadStringBlock(GetThisModuleHandle(), 9000 / 16 + 1, 1049, false);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->language, 0u);
    EXPECT_EQ(block->blockNumber, 9000u / 16 + 1);
    DeleteStringBlock(block);
}

TEST_F(StringLoadTest, BlockHoldsSixteenEntries) {
    StringBlock* block = LoadStringBlock(GetThisModuleHandle(), 9, 7, false);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->language, 1031u);
    for (uint32_t i = 0; i < kStringsPerBlock; ++i)
        ASSERT_NE(block->entries[i], nullptr);
    EXPECT_EQ(U8(block->entries[0]), ""); // id 128 is not defined
    EXPECT_EQ(U8(block->entries[9]), "&Starten");
    WChar buffer[2];
    uint32_t size = 2;
    EXPECT_EQ(GetString(block, 9, buffer, &size), 9u);
    EXPECT_EQ(size, 9u);
    DeleteStringBlock(block);
}

TEST_F(StringLoadTest, GetStringChecksItsArguments) {
    StringBlock* block = LoadStringBlock(GetThisModuleHandle(), 9, 9, false);
    ASSERT_NE(block, nullptr);
    uint32_t size = 0;
    const struct {
        const StringBlock* block;
        uint32_t index;
        uint32_t* size;
        int32_t code;
        const char* line;
    } cases[] = {
        {nullptr, 0, &size, -40, "     Error in Quillkit::GetString: pStrBlock should not be NULL"},
        {block, 16, &size, -30, "     String index invalid. Index: 16; Strings per block: 16"},
        {block, 0, nullptr, -30, "     pszStrSize cannot be NULL"},
    };
    for (const auto& c : cases) {
        int32_t code = 0;
        try {
            GetString(c.block, c.index, nullptr, c.size);
        } catch (...) {
            code = HandleException(nullptr);
        }
        EXPECT_EQ(code, c.code) << c.line;
        EXPECT_NE(LogText().find(std::string("> ") + c.line + "\r\n"), std::string::npos) << c.line;
    }
    DeleteStringBlock(block);
}

TEST_F(StringLoadTest, ToolkitStringsFollowTheUiLanguage) {
    EXPECT_EQ(U8(LoadToolkitString(9143)), "Invalid path.");
    out->SetLanguage(12);
    EXPECT_EQ(U8(LoadToolkitString(9143)), "Chemin non valide.");
    out->SetLanguage(2052);
    EXPECT_EQ(U8(LoadToolkitString(9010, -41, QK_TEXT("x"))), "*** \u9519\u8bef (-41): x");
}

TEST_F(StringLoadTest, IdZeroIsThePassThroughTemplate) {
    EXPECT_EQ(U8(LoadToolkitString(0)), "%1");
    EXPECT_EQ(U8(LoadToolkitString(0, QK_TEXT("as is"))), "as is");
}

TEST_F(StringLoadTest, AToolkitIdInAMissingBlockIsLoggedAndRaised) {
    int32_t code = 0;
    try {
        LoadToolkitString(16);
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -12);
    EXPECT_NE(
        LogText().find(
            "Resource string ID, 16, not valid. The language resource DLL may be missing.\r\n"),
        std::string::npos);
}

} // namespace
} // namespace qktest
