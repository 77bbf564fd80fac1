// setup.exe's command line: every argument comes back unchanged through the
// Windows splitting rules, whatever blanks, quotes and backslashes it holds.
#include "app/SetupArguments.h"
#include "framework/CommandLineInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

os::wstring W(const std::string& utf8) {
    return os::fromUtf8(utf8);
}

TEST(SetupArguments, QuotedOnlyWhereNeeded) {
    const struct {
        const char* argument;
        const char* quoted;
    } cases[] = {
        {"/S", "/S"},
        {"C:\\dir\\", "C:\\dir\\"},
        {"", "\"\""},
        {"two words", "\"two words\""},
        {"tab\there", "\"tab\there\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        // Backslashes count double only before a quote and before the closing quote.
        {"C:\\Some Dir\\", "\"C:\\Some Dir\\\\\""},
        {"a\\\\\"b", "\"a\\\\\\\\\\\"b\""},
        {"a\\b c", "\"a\\b c\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os::toUtf8(QuoteArgument(W(c.argument))), c.quoted) << c.argument;
}

TEST(SetupArguments, RoundTripThroughTheSplittingRules) {
    const std::vector<std::string> arguments = {
        "/S", "two words", "", "\"", "\\", "\\\\", "end\\", "end\\\\", "a\"b\"c", "\\\"",
        "x\\\\\"y z", "  ", "\t", "line\nbreak", "v\vtab", "--", "/q", "\xc3\xa4\xe6\x97\xa5 \xc3\xb6",
        "\"\"", "a\"\"b", "trailing \\\\\\",
    };
    std::vector<os::wstring> wide;
    for (const std::string& argument : arguments)
        wide.push_back(W(argument));
    os::wstring line = OS_WTEXT("setup.exe ") + JoinArguments(wide);
    std::vector<os::wstring> split = SplitCommandLine(line.c_str());
    ASSERT_EQ(split.size(), wide.size() + 1) << os::toUtf8(line);
    for (size_t i = 0; i < wide.size(); ++i)
        EXPECT_EQ(os::toUtf8(split[i + 1]), arguments[i]) << os::toUtf8(line);
}

TEST(SetupArguments, NoArgumentsGiveAnEmptyLine) {
    EXPECT_TRUE(JoinArguments({}).empty());
    EXPECT_EQ(os::toUtf8(JoinArguments({W("/S"), W("two words")})), "/S \"two words\"");
}

} // namespace
