#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/fs/FileSys.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

struct SanitizeCase {
    const char* input;
    bool reservedNames;
    const char* expected;
    const char* logged; // a message the log must hold, or null for an empty log
};

TEST(SanitizeFilename, RepairsWhatWindowsRefuses) {
    const SanitizeCase cases[] = {
        {"C:\\a:b:c", false, "C:\\a_b_c", "The : character is not allowed in Windows filenames.."},
        {"dir\\name:x", false, "dir\\name_x",
         "The : character is not allowed in Windows filenames."},
        {"a:b", false, "a:b", nullptr},
        {":abc:d", false, ":abc:d", nullptr},
        {"\\\\?\\C:\\x:y", false, "\\\\?\\C:\\x_y",
         "The : character is not allowed in Windows filenames.."},
        {"a|b", false, "a_b", "The | character is not allowed in Windows filenames."},
        {"\\\\?\\C:\\what?.txt", false, "\\\\?\\C:\\what_.txt",
         "The ? character is not allowed in Windows filenames."},
        {"a*b", false, "a_b", "The asterisk character is not allowed in Windows filenames."},
        {"<a>", false, "_a_", "The close-angle-bracket character is not allowed"},
        {"\"q\"", false, "_q_", "The double-quote character is not allowed in Windows filenames."},
        {"line\r\nbreak", false, "linebreak", nullptr},
        {"C:\\dl\\nul.txt", true, "C:\\dl\\_nul.txt", nullptr},
        {"C:\\dl\\nul.txt", false, "C:\\dl\\nul.txt", nullptr},
        {"dir/CON.log", true, "dir/_CON.log", nullptr},
        {"com1.txt", true, "_com1.txt", nullptr},
        {"x\\LPT9.a", true, "x\\_LPT9.a", nullptr},
        {"x\\clock$.a", true, "x\\_clock$.a", nullptr},
        {"x\\com10.txt", true, "x\\com10.txt", nullptr},
        {"x\\con", true, "x\\con", nullptr},
        {"x\\console.txt", true, "x\\console.txt", nullptr},
        {"con.d\\con.txt", true, "con.d\\_con.txt", nullptr},
    };
    for (const SanitizeCase& c : cases) {
        scratch::X path(c.input);
        Logger log;
        FileSys::sanitizeFilename(path.value, c.reservedNames, &log);
        EXPECT_STREQ(path.value.getUtf8(), c.expected) << c.input;
        const std::string logged = scratch::logText(log);
        if (c.logged)
            EXPECT_NE(logged.find(c.logged), std::string::npos) << c.input << "\n" << logged;
        else
            EXPECT_EQ(logged.find("not allowed"), std::string::npos) << c.input << "\n" << logged;
    }
}

TEST(SanitizeFilename, DriveColonRepairLogsBothNames) {
    scratch::X path("C:\\a:b");
    Logger log;
    FileSys::sanitizeFilename(path.value, false, &log);
    const std::string logged = scratch::logText(log);
    EXPECT_NE(logged.find("C:\\a:b"), std::string::npos) << logged;
    EXPECT_NE(logged.find("C:\\a_b"), std::string::npos) << logged;
    EXPECT_NE(logged.find("modifiedFilename"), std::string::npos) << logged;
}

TEST(SanitizeFilename, NonAsciiColonPositionsCountInUtf16Units) {
    // Eight characters before the colon, but more than eight UTF-8 bytes: the
    // colon is past any drive position.
    scratch::X path("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9:x");
    FileSys::sanitizeFilename(path.value, false, nullptr);
    EXPECT_STREQ(path.value.getUtf8(),
                 "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9_x");
    // Two characters (four bytes) before it: a drive colon, kept.
    scratch::X drive("\xC3\xA9:x");
    FileSys::sanitizeFilename(drive.value, false, nullptr);
    EXPECT_STREQ(drive.value.getUtf8(), "\xC3\xA9:x");
}

} // namespace
