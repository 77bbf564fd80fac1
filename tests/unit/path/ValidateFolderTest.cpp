// ValidateFolderPath: its codes and messages, on real folders.
#include "tests/unit/path/PathTestSupport.h"

#include "toolkit/path/PathValidation.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace pathtest {
namespace {

using namespace Quillkit;

using ValidateFolderTest = PathTest;

// A drive letter that names no drive here.
std::string MissingDrive() {
#ifdef _WIN32
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter)
        if (!(drives & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":";
    return "";
#else
    return "Q:";
#endif
}

TEST_F(ValidateFolderTest, CodesAndMessages) {
    WriteFile("file.txt", "x");
    std::filesystem::create_directories(Native("exists\\below"));
    const std::string root = Scratch();
    const std::string over = root + "\\" + std::string(260 - root.size() - 1, 'n');
    const std::string tooLong = over + "n";
    ASSERT_EQ(over.size(), 260u);
    const struct {
        std::string path;
        uint32_t code;
        std::string message;
    } cases[] = {
        {root + "\\exists\\below", 0, ""},
        {root + "\\exists\\below\\", 0, ""},
        {root + "\\new\\folder", 3,
         "The path " + root + "\\new\\folder is not valid.  Please specify a valid path."},
        {over, 3, "The path " + over + " is not valid.  Please specify a valid path."},
        {tooLong, 267, "The specified path is too long: '" + tooLong + "' "},
        {"relative\\dir", 123,
         "The path relative\\dir is not valid.  Please specify a valid path."},
        {root + "\\CON", 267,
         "The folder path '\\CON' contains words that are not valid in folder paths. "},
        {root + "\\new\\con.txt\\x", 267,
         "The folder path '\\con.txt' contains words that are not valid in folder paths. "},
        {root + "\\Lpt9", 267,
         "The folder path '\\Lpt9' contains words that are not valid in folder paths. "},
        {root + "\\file.txt\\sub", 267,
         "The path " + root + "\\file.txt is not valid.  Please specify a valid path."},
        {root + "\\a|b\\c", 267, "The folder path '\\a|b' contains an invalid character. "},
        {root + "\\a\tb", 267, "The folder path '\\a\tb' contains an invalid character. "},
        {MissingDrive() + "\\Kits", 15,
         "The path " + MissingDrive() + "\\ is not valid.  Please specify a valid path."},
    };
    for (const auto& c : cases) {
        WString message = QK_TEXT("untouched");
        EXPECT_EQ(ValidateFolderPath(W(c.path).c_str(), message), c.code) << c.path;
        if (c.code != 0) {
            EXPECT_EQ(U8(message), c.message) << c.path;
        }
    }
}

TEST_F(ValidateFolderTest, NullOrEmptyLeavesTheMessageAlone) {
    WString message = QK_TEXT("untouched");
    EXPECT_EQ(ValidateFolderPath(nullptr, message), 13u);
    EXPECT_EQ(ValidateFolderPath(QK_TEXT(""), message), 13u);
    EXPECT_EQ(U8(message), "untouched");
}

TEST_F(ValidateFolderTest, MessagesFollowTheUiLanguage) {
    out->SetLanguage(7);
    WString message;
    EXPECT_EQ(ValidateFolderPath(QK_TEXT("relative"), message), 123u);
    EXPECT_EQ(U8(message), "Der Pfad relative ist ungültig.  Geben Sie einen gültigen Pfad an.");
}

TEST_F(ValidateFolderTest, LanguageNamesForTheCodePageMessage) {
    const struct {
        uint32_t language;
        const char* name;
    } cases[] = {{7, "German"},
                 {1031, "German"},
                 {9, "English"},
                 {1033, "English"},
                 {2052, "Chinese Simplified"},
                 {3082, "Spanish"},
                 {1053, "Swedish"},
                 {1025, "Arabic"},
                 {2057, ""},
                 {0, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(U8(LanguageDisplayName(c.language)), c.name) << c.language;
}

} // namespace
} // namespace pathtest
