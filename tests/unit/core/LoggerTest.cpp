#include "tests/support/RecordingLog.h"
#include "zip/base/Logger.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace vexmar;

namespace {

std::string xml(Logger& log) {
    StringBuffer out("stale");
    log.errorXml(out);
    return out.getString();
}

std::string text(Logger& log) {
    StringBuffer out("stale");
    log.errorText(out);
    return out.getString();
}

std::string html(Logger& log) {
    StringBuffer out("stale");
    log.errorHtml(out);
    return out.getString();
}

// A small tree with every kind of entry.
void record(Logger& log) {
    log.clearLog();
    log.enterContext("OpenFromMemory", true);
    log.logData("oemCodePage", "437");
    log.enterContext("openFromMemData", true);
    log.logError("Failed to read end chunk.");
    log.leaveContext();
    log.logInfo("a < b");
    log.logRaw("raw line");
    log.leaveContext();
}

TEST(Logger, XmlRendering) {
    Logger log;
    record(log);
    EXPECT_EQ(xml(log), "<VexmarLog>\r\n"
                        "  <OpenFromMemory>\r\n"
                        "    <oemCodePage>437</oemCodePage>\r\n"
                        "    <openFromMemData>\r\n"
                        "      <error>Failed to read end chunk.</error>\r\n"
                        "    </openFromMemData>\r\n"
                        "    <info><![CDATA[a < b]]></info>\r\n"
                        "    raw line\r\n"
                        "  </OpenFromMemory>\r\n"
                        "</VexmarLog>\r\n");
}

TEST(Logger, TextRendering) {
    Logger log;
    record(log);
    EXPECT_EQ(text(log), "VexmarLog:\r\n"
                         "  OpenFromMemory:\r\n"
                         "    oemCodePage: 437\r\n"
                         "    openFromMemData:\r\n"
                         "      Failed to read end chunk.\r\n"
                         "    --openFromMemData\r\n"
                         "    a < b\r\n"
                         "    raw line\r\n"
                         "  --OpenFromMemory\r\n"
                         "--VexmarLog\r\n");
}

TEST(Logger, HtmlRendering) {
    Logger log;
    record(log);
    EXPECT_EQ(html(log), "VexmarLog:<blockquote>\r\n"
                         "OpenFromMemory:<blockquote>\r\n"
                         "oemCodePage: 437"
                         "openFromMemData:<blockquote>\r\n"
                         "Failed to read end chunk."
                         "</blockquote>\r\n"
                         "a < b"
                         "raw line"
                         "</blockquote>\r\n"
                         "</blockquote>\r\n");
}

TEST(Logger, CdataOnlyWhereTheTextNeedsIt) {
    struct Case {
        const char* value;
        const char* rendered;
    };
    const Case cases[] = {
        {"plain", "<v>plain</v>"},
        {"a&b", "<v><![CDATA[a&b]]></v>"},
        {"a>b", "<v><![CDATA[a>b]]></v>"},
        {"tab\there", "<v><![CDATA[tab\there]]></v>"},
        {"two\nlines", "<v><![CDATA[two\nlines]]></v>"},
        {"cr\ronly", "<v>cr\ronly</v>"},
        {"<![CDATA[x<y]]>", "<v><![CDATA[x<y]]></v>"},     // already wrapped
        {"a]]>b", "<v><![CDATA[a]]]]><![CDATA[>b]]></v>"}, // kept well-formed
    };
    for (const Case& c : cases) {
        Logger log;
        log.logData("v", c.value);
        std::string expected =
            std::string("<VexmarLog>\r\n  ") + c.rendered + "\r\n</VexmarLog>\r\n";
        EXPECT_EQ(xml(log), expected) << c.value;
    }
}

TEST(Logger, DataNamesAreTrimmedAndUnderscored) {
    Logger log;
    EXPECT_TRUE(log.logData(" my name ", "v"));
    EXPECT_TRUE(log.logData("nothing", nullptr));
    EXPECT_FALSE(log.logData("  ", "v"));
    EXPECT_TRUE(log.logData(nullptr, "v"));
    EXPECT_EQ(text(log), "VexmarLog:\r\n"
                         "  my_name: v\r\n"
                         "  nothing: (NULL)\r\n"
                         "--VexmarLog\r\n");
}

TEST(Logger, NullMessagesAreIgnored) {
    Logger log;
    EXPECT_TRUE(log.logError(nullptr));
    EXPECT_TRUE(log.logInfo(nullptr));
    EXPECT_TRUE(log.logRaw(nullptr));
    EXPECT_TRUE(log.enterContext(nullptr, true));
    EXPECT_EQ(text(log), "VexmarLog:\r\n--VexmarLog\r\n");
}

TEST(Logger, LeaveContextNeverPopsTheRoot) {
    Logger log;
    EXPECT_TRUE(log.leaveContext());
    EXPECT_EQ(log.depth(), 0);
    log.enterContext("a", true);
    EXPECT_EQ(log.depth(), 1);
    log.leaveContext();
    log.leaveContext();
    EXPECT_EQ(log.depth(), 0);
    log.logInfo("still below the root");
    EXPECT_EQ(text(log), "VexmarLog:\r\n"
                         "  a:\r\n"
                         "  --a\r\n"
                         "  still below the root\r\n"
                         "--VexmarLog\r\n");
}

TEST(Logger, ClearLogStartsAfresh) {
    Logger log;
    log.enterContext("a", true);
    log.logError("x");
    log.clearLog();
    EXPECT_EQ(log.depth(), 0);
    EXPECT_EQ(text(log), "VexmarLog:\r\n--VexmarLog\r\n");
}

std::string tempPath(const char* name) {
    return testing::TempDir() + name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Logger, DebugLogFileGetsIndentedLines) {
    std::string path = tempPath("vexmar_debug.log");
    std::remove(path.c_str());
    Logger log;
    ASSERT_TRUE(log.setDebugLogFilePath(path.c_str()));
    log.enterContext("ctx", true);
    log.logError("bad");
    log.logData("name", "value");
    log.logRaw("not written");
    log.leaveContext();
    log.logInfo("done");
    ASSERT_TRUE(log.setDebugLogFilePath(""));
    EXPECT_EQ(log.getDebugLogFilePath(), nullptr);
    log.logInfo("after closing");
    EXPECT_EQ(readFile(path), "ctx:\n"
                              "    bad\n"
                              "    name: value\n"
                              "    (leaveContext)\n"
                              "done\n");
    std::remove(path.c_str());
}

TEST(Logger, UnopenableDebugLogStillRecordsInMemory) {
    Logger log;
    ASSERT_TRUE(log.setDebugLogFilePath((tempPath("no-such-dir") + "/x/y.log").c_str()));
    EXPECT_TRUE(log.logError("kept"));
    EXPECT_EQ(text(log), "VexmarLog:\r\n  kept\r\n--VexmarLog\r\n");
}

TEST(Logger, SaveErrorXmlReplacesTheFile) {
    std::string path = tempPath("vexmar_log.xml");
    {
        std::ofstream old(path);
        old << "old contents that are longer than the log";
    }
    Logger log;
    log.logError("e");
    ASSERT_TRUE(log.saveErrorXml(path.c_str()));
    EXPECT_EQ(readFile(path), xml(log));
    std::remove(path.c_str());
}

TEST(LogBase, Conveniences) {
    RecordingLog log;
    XString x;
    x.setFromWide(u"\u00E9");
    log.logDataInt("i", -5);
    log.logDataInt64("i64", 5000000000);
    log.logDataHex("h", 0x1F);
    log.logDataHex("h0", 0);
    log.logDataHex("hmax", 0xFFFFFFFF);
    log.logDataStr("x", x);
    log.logDataSb("sb", StringBuffer("sb"));
    log.logDataQP("filenameQP", "a=b \x81 ", 6);
    log.logDataBytes("bytes", "  text \r\n", 9);
    log.logDataBytes("none", "", 0);
    log.logOutOfMemory("inflate", 1024);
    log.logWindowsError(0);
    EXPECT_EQ(log.lines, "i=-5\n"
                         "i64=5000000000\n"
                         "h=0x1f\n"
                         "h0=0x0\n"
                         "hmax=0xffffffff\n"
                         "x=\xC3\xA9\n"
                         "sb=sb\n"
                         "filenameQP=a=3Db =81=20\n"
                         "bytes=text\n"
                         "none=(empty)\n"
                         "E:Memory allocation failed.\n"
                         "failurePoint=inflate\n"
                         "numBytes=1024\n");
}

TEST(LogBase, WindowsErrorsHaveText) {
    RecordingLog log;
    log.logWindowsError(2); // "file not found" on both kinds of system
    EXPECT_EQ(log.lines.rfind("WindowsError=", 0), 0u);
    EXPECT_GT(log.lines.size(), std::string("WindowsError=\n").size());
}

TEST(LogContextExitor, EntersAndLeaves) {
    RecordingLog log;
    {
        LogContextExitor a(log, "a");
        LogContextExitor skipped(log, "b", false);
        LogContextExitor none(nullptr, "c");
    }
    EXPECT_EQ(log.lines, "enter a\nleave\n");
}

TEST(LogNull, DiscardsEverything) {
    LogNull log;
    StringBuffer out("x");
    EXPECT_TRUE(log.logError("e"));
    EXPECT_TRUE(log.logData("d", "v"));
    log.errorXml(out);
    EXPECT_STREQ(out.getString(), "x");
    EXPECT_FALSE(log.isVerbose());
}

} // namespace
