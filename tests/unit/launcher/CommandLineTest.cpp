// The launcher's command line: splitting by the Windows rules and the grammar that
// picks the run mode.
#include "app/PellquinCmdLineInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

os::wstring W(const std::string& utf8) {
    return os::fromUtf8(utf8);
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> out;
    for (const os::wstring& arg : SplitCommandLine(W(line).c_str()))
        out.push_back(os::toUtf8(arg));
    return out;
}

struct SplitCase {
    const char* line;
    std::vector<std::string> args;
};

TEST(CommandLineSplit, WindowsRules) {
    const SplitCase cases[] = {
        {"Pellquin.exe", {"Pellquin.exe"}},
        {"\"C:\\Program Files\\Pellquin.exe\" /q", {"C:\\Program Files\\Pellquin.exe", "/q"}},
        // Backslashes in the program name are plain, even before a quote.
        {"\"C:\\dir\\\"x.exe a", {"C:\\dir\\x.exe", "a"}},
        {"p  a\t\tb   ", {"p", "a", "b"}},
        {"p \"a b\" c", {"p", "a b", "c"}},
        {"p a\"b c\"d", {"p", "ab cd"}},
        {"p \"\"", {"p", ""}},
        {"p \"C:\\Some Dir\\\\\" x", {"p", "C:\\Some Dir\\", "x"}},
        {"p C:\\dir\\ x", {"p", "C:\\dir\\", "x"}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},
        {"p a\\\\\\\\\"b c\"", {"p", "a\\\\b c"}},
        {"p \"a\"\"b\" c", {"p", "a\"b", "c"}},
        {"p \"unterminated arg", {"p", "unterminated arg"}},
        {"", {""}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(split(c.line), c.args) << c.line;
}

struct Record {
    bool help;
    std::string extractDir;
    bool quiet;
    std::string loadZip;
    std::string targetExe;
    bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << "{help " << r.help << ", extract '" << r.extractDir << "', quiet " << r.quiet
               << ", zip '" << r.loadZip << "', exe '" << r.targetExe << "'}";
}

Record parse(const std::string& arguments) {
    CPellquinCmdLineInfo::lastSwitch.clear();
    CPellquinCmdLineInfo info;
    ParseCommandLine(W("Pellquin.exe " + arguments).c_str(), info);
    return {info.m_bShowHelp, os::toUtf8(info.m_strExtractDir), info.m_bQuiet,
            os::toUtf8(info.m_strLoadZip), os::toUtf8(info.m_strTargetExe)};
}

struct GrammarCase {
    const char* arguments;
    Record record;
};

TEST(LauncherCommandLine, Grammar) {
    const GrammarCase cases[] = {
        {"", {false, "", false, "", ""}},
        {"/?", {true, "", false, "", ""}},
        {"/h", {true, "", false, "", ""}},
        {"/x", {true, "", false, "", ""}},
        {"/q", {false, "", true, "", ""}},
        {"/extractOnly D", {false, "D", false, "", ""}},
        {"/extractOnly D /q", {false, "D", true, "", ""}},
        {"/q /extractOnly D", {false, "D", true, "", ""}},
        {"/EXTRACTONLY D", {false, "D", false, "", ""}},
        {"-extractonly D", {false, "D", false, "", ""}},
        {"/extractOnly \"C:\\My Kits\"", {false, "C:\\My Kits", false, "", ""}},
        // As everywhere on Windows, \" before the closing quote is a literal quote.
        {"/extractOnly \"C:\\My Kits\\\"", {false, "C:\\My Kits\"", false, "", ""}},
        // "?" is only the pending switch until /extractOnly replaces it.
        {"/? /extractOnly D", {false, "D", false, "", ""}},
        {"/h /q", {false, "", true, "", ""}},
        {"/extractOnly", {true, "", false, "", ""}},
        {"D", {true, "", false, "", ""}},
        {"/q D", {true, "", true, "", ""}},
        // A second value is a usage error, not a silent replacement of the first.
        {"/extractOnly D1 D2", {true, "D1", false, "", ""}},
        {"/q /extractOnly C:\\My Downloads", {true, "C:\\My", true, "", ""}},
        {"/extractOnly D1 /extractOnly D2", {true, "D1", false, "", ""}},
        {"/loadZip Z1 Z2 /targetExe E", {true, "", false, "Z1", ""}},
        {"/extractOnly \"\" /extractOnly D", {true, "", false, "", ""}},
        // Quiet counts wherever it stands, also after a usage error.
        {"/x D /q", {true, "", true, "", ""}},
        {"/loadZip Z", {false, "", false, "Z", ""}},
        {"/loadZip Z /targetExe E", {false, "", false, "Z", "E"}},
        {"/extractOnly D /loadZip Z /targetExe E", {false, "D", false, "Z", "E"}},
        // Once the usage box is asked for, nothing later counts.
        {"D /extractOnly E", {true, "", false, "", ""}},
        {"/unknown D", {true, "", false, "", ""}},
        // Only A to Z fold: a dotless capital I is not an i.
        {"/extractOnl\xc4\xb0 D", {true, "", false, "", ""}},
    };
    for (const GrammarCase& c : cases)
        EXPECT_EQ(parse(c.arguments), c.record) << c.arguments;
}

struct TailCase {
    const char* arguments;
    Record record;
    std::vector<std::string> log;
    std::vector<std::string> setup;
};

TEST(LauncherCommandLine, LogAndArgumentsAfterDoubleDash) {
    const TailCase cases[] = {
        {"/log L /extractOnly D", {false, "D", false, "", ""}, {"L"}, {}},
        {"/LOG \"C:\\a b.log\" -q /extractOnly D", {false, "D", true, "", ""}, {"C:\\a b.log"}, {}},
        {"/log L1 /log L2", {true, "", false, "", ""}, {"L1"}, {}},
        {"/log", {true, "", false, "", ""}, {}, {}},
        {"-- /S \"two words\"", {false, "", false, "", ""}, {}, {"/S", "two words"}},
        // Switches before "--" work as ever; after it nothing is the launcher's.
        {"/q /extractOnly D -- /q /extractOnly X --", {false, "D", true, "", ""}, {},
         {"/q", "/extractOnly", "X", "--"}},
        {"--", {false, "", false, "", ""}, {}, {}},
        {"-- \"\" a\\\\\"b\"", {false, "", false, "", ""}, {}, {"", "a\\b"}},
        // The last argument before "--" is the last one the grammar sees.
        {"/extractOnly -- D", {true, "", false, "", ""}, {}, {"D"}},
        // "---" and "-" are switches of their own, not the separator.
        {"--- x", {true, "", false, "", ""}, {}, {}},
    };
    for (const TailCase& c : cases) {
        CPellquinCmdLineInfo::lastSwitch.clear();
        CPellquinCmdLineInfo info;
        ParseCommandLine(W(std::string("Pellquin.exe ") + c.arguments).c_str(), info);
        Record record = {info.m_bShowHelp, os::toUtf8(info.m_strExtractDir), info.m_bQuiet,
                         os::toUtf8(info.m_strLoadZip), os::toUtf8(info.m_strTargetExe)};
        EXPECT_EQ(record, c.record) << c.arguments;
        std::vector<std::string> log;
        if (!info.m_strLogFile.empty())
            log.push_back(os::toUtf8(info.m_strLogFile));
        EXPECT_EQ(log, c.log) << c.arguments;
        std::vector<std::string> setup;
        for (const os::wstring& arg : info.m_setupArguments)
            setup.push_back(os::toUtf8(arg));
        EXPECT_EQ(setup, c.setup) << c.arguments;
    }
}

TEST(LauncherCommandLine, RunMode) {
    const struct {
        const char* arguments;
        RunMode mode;
    } cases[] = {
        {"", RunMode::Interactive},
        {"/loadZip Z", RunMode::Interactive},
        {"/log L -- /S", RunMode::Interactive},
        {"/extractOnly D", RunMode::ExtractOnly},
        {"/q /extractOnly D /log L", RunMode::ExtractOnly},
        {"/extractOnly D /loadZip Z /targetExe E", RunMode::Builder},
        {"/q", RunMode::Usage},
        {"/?", RunMode::Usage},
        {"/extractOnly D1 D2", RunMode::Usage},
        {"/q /loadZip Z /targetExe E", RunMode::Usage},
    };
    for (const auto& c : cases) {
        CPellquinCmdLineInfo::lastSwitch.clear();
        CPellquinCmdLineInfo info;
        ParseCommandLine(W(std::string("Pellquin.exe ") + c.arguments).c_str(), info);
        EXPECT_EQ(ChooseRunMode(info), c.mode) << c.arguments;
    }
}

TEST(LauncherCommandLine, PendingSwitchOutlivesOneRecord) {
    // The pending switch belongs to the parser, not to a record.
    CPellquinCmdLineInfo::lastSwitch.clear();
    CPellquinCmdLineInfo first;
    first.ParseParam(W("extractOnly").c_str(), true, false);
    CPellquinCmdLineInfo second;
    second.ParseParam(W("D").c_str(), false, true);
    EXPECT_EQ(os::toUtf8(second.m_strExtractDir), "D");
    EXPECT_FALSE(second.m_bShowHelp);
}

} // namespace
