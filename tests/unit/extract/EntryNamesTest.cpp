#include "zip/extract/EntryNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

struct NameCase {
    std::string name;
    EntryNameProblem problem;
    Names names;
};

void check(const NameCase& c, bool windowsRules) {
    Names names{"left over"};
    EXPECT_EQ(entryPathNames(c.name, windowsRules, names), c.problem) << c.name;
    if (c.problem == EntryNameProblem::None) {
        EXPECT_EQ(names, c.names) << c.name;
    }
}

TEST(EntryPathNames, ControlCharactersAndClimbingAreRefused) {
    const NameCase cases[] = {
        // Sanitising used to delete CR and LF after the ".." check, making ".." from ".\r.".
        {"x/.\r./.\r./.\r./f", EntryNameProblem::ControlCharacter, {}},
        {"x/.\n./f", EntryNameProblem::ControlCharacter, {}},
        {std::string("a\0b", 3), EntryNameProblem::ControlCharacter, {}},
        {"tab\there", EntryNameProblem::ControlCharacter, {}},
        {"esc\x1F", EntryNameProblem::ControlCharacter, {}},
        {"../x", EntryNameProblem::LeavesFolder, {}},
        {"..", EntryNameProblem::LeavesFolder, {}},
        {"a/../../x", EntryNameProblem::LeavesFolder, {}},
        {"a\\..\\..\\x", EntryNameProblem::LeavesFolder, {}},
        {"C:\\..\\x", EntryNameProblem::LeavesFolder, {}},
        {"a/../b", EntryNameProblem::None, {"b"}},
        {"./a/./b/", EntryNameProblem::None, {"a", "b"}},
        {"a//b", EntryNameProblem::None, {"a", "b"}},
        {"", EntryNameProblem::None, {}},
        {"/", EntryNameProblem::None, {}},
        {"a/..", EntryNameProblem::None, {}},
        {"\x7F\xC3\xA9", EntryNameProblem::None, {"\x7F\xC3\xA9"}},
    };
    for (const NameCase& c : cases) {
        check(c, false);
        check(c, true);
    }
}

TEST(EntryPathNames, PrefixesThatNameOtherPlacesAreDropped) {
    const NameCase cases[] = {
        {"C:\\abs.txt", EntryNameProblem::None, {"abs.txt"}},
        {"c:rel.txt", EntryNameProblem::None, {"c_rel.txt"}},
        {"C:", EntryNameProblem::None, {}},
        {"C:/", EntryNameProblem::None, {}},
        {"/etc/passwd", EntryNameProblem::None, {"etc", "passwd"}},
        {"\\\\server\\share\\x\\y.txt", EntryNameProblem::None, {"x", "y.txt"}},
        {"//server/share/z", EntryNameProblem::None, {"z"}},
        {"\\\\server", EntryNameProblem::None, {}},
        {"\\\\?\\C:\\x", EntryNameProblem::None, {"x"}},
        {"\\\\?\\UNC\\srv\\sh\\y", EntryNameProblem::None, {"y"}},
        {"//?/unc/srv/sh/w", EntryNameProblem::None, {"w"}},
        {"\\\\.\\PhysicalDrive0", EntryNameProblem::None, {"PhysicalDrive0"}},
        {"\\\\.\\C:\\v", EntryNameProblem::None, {"v"}},
        // Only the start of the name is a prefix; later on these are names like any other.
        {"a/C:/b", EntryNameProblem::None, {"a", "C_", "b"}},
        {"a/\\\\?\\b", EntryNameProblem::None, {"a", "_", "b"}},
    };
    for (const NameCase& c : cases) {
        check(c, false);
        check(c, true);
    }
}

TEST(RepairedName, DevicesColonsAndDotsEverywhere) {
    const struct {
        const char* name;
        const char* repaired;
    } cases[] = {
        {"nul", "_nul"},
        {"NUL", "_NUL"},
        {"Con.txt", "_Con.txt"},
        {"aux.tar.gz", "_aux.tar.gz"},
        {"prn", "_prn"},
        {"com1", "_com1"},
        {"COM9.log", "_COM9.log"},
        {"lpt1", "_lpt1"},
        {"LPT9", "_LPT9"},
        {"com\xC2\xB9", "_com\xC2\xB9"},
        {"conin$", "_conin$"},
        {"CONOUT$.x", "_CONOUT$.x"},
        {"clock$", "_clock$"},
        {"nul ", "_nul "},
        {"nul .txt", "_nul .txt"},
        {"con..", "_con.."},
        // Not devices.
        {"com0", "com0"},
        {"com10", "com10"},
        {"console", "console"},
        {"null", "null"},
        {"lpt", "lpt"},
        {"xnul", "xnul"},
        // Colons would open an alternate data stream; the others Windows refuses.
        {"a:b", "a_b"},
        {"nul:", "nul_"},
        {"q\"w", "q_w"},
        {"s*t<u>v?w|x", "s_t_u_v_w_x"},
        // Names of nothing but dots and spaces would mean "here" or "up" to Windows.
        {"...", "_..."},
        {". .", "_. ."},
        {" ", "_ "},
        {"a.", "a."},
        {"a ", "a "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repairedName(c.name, false), c.repaired) << c.name;
}

TEST(RepairedName, WindowsRulesKeepTrailingDotsAndSpaces) {
    const struct {
        const char* name;
        const char* repaired;
    } cases[] = {
        {"a.", "a_"},
        {"b ", "b_"},
        {"c. .", "c___"},
        {".. ", "____"},
        {"...", "____"},
        {"nul.", "_nul_"},
        {"a.b", "a.b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repairedName(c.name, true), c.repaired) << c.name;
}

} // namespace
