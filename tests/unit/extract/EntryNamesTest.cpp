#include "zip/extract/EntryNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexmar;

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

TEST(RepairedName, DevicesColonsAndDots) {
    const struct {
        const char* name;
        const char* repaired;
        bool windowsRules;
    } cases[] = {
        {"nul", "_nul", false},
        {"NUL", "_NUL", false},
        {"Con.txt", "_Con.txt", false},
        {"aux.tar.gz", "_aux.tar.gz", false},
        {"prn", "_prn", false},
        {"com1", "_com1", false},
        {"COM9.log", "_COM9.log", false},
        {"lpt1", "_lpt1", false},
        {"LPT9", "_LPT9", false},
        {"com\xC2\xB9", "_com\xC2\xB9", false},
        {"conin$", "_conin$", false},
        {"CONOUT$.x", "_CONOUT$.x", false},
        {"clock$", "_clock$", false},
        {"nul ", "_nul ", false},
        {"nul .txt", "_nul .txt", false},
        {"con..", "_con..", false},
        // Not devices.
        {"com0", "com0", false},
        {"com10", "com10", false},
        {"console", "console", false},
        {"null", "null", false},
        {"lpt", "lpt", false},
        {"xnul", "xnul", false},
        // Colons would open an alternate data stream; the others Windows refuses.
        {"a:b", "a_b", false},
        {"nul:", "nul_", false},
        {"q\"w", "q_w", false},
        {"s*t<u>v?w|x", "s_t_u_v_w_x", false},
        // Names of nothing but dots and spaces would mean "here" or "up" to Windows.
        {"...", "_...", false},
        {". .", "_. .", false},
        {" ", "_ ", false},
        {"a.", "a.", false},
        {"a ", "a ", false},
        // Windows drops trailing dots and spaces; they are kept as "_".
        {"a.", "a_", true},
        {"b ", "b_", true},
        {"c. .", "c___", true},
        {".. ", "____", true},
        {"...", "____", true},
        {"nul.", "_nul_", true},
        {"a.b", "a.b", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repairedName(c.name, c.windowsRules), c.repaired) << c.name;
}

} // namespace
