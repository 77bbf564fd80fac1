// The debug log's bytes: UTF-16LE, one CR LF per line, "> " on user-visible lines
// set off by an empty line, "[seconds] " stamps.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/UserLog.h"

#include <regex>

namespace qktest {
namespace {

using namespace Quillkit;

class DebugLogTest : public ToolkitTest {
protected:
    void Write(const std::string& text, bool marked) {
        OutputHold hold(out);
        WriteDebugLog(W(text).c_str(), nullptr, marked);
        hold.Release();
    }
};

TEST_F(DebugLogTest, LinesAreUtf16LittleEndianWithoutByteOrderMark) {
    LogDebugMessage(QK_TEXT("abc"));
    LogDebugMessage(QK_TEXT("%s=%d, \u00e4"), QK_TEXT("n"), 42);
    std::string bytes = LogBytes();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("a\0", 2));
    EXPECT_EQ(bytes, Utf16Bytes("abc\r\nn=42, \u00e4\r\n"));
}

TEST_F(DebugLogTest, EveryLineEndsInExactlyOneCrLf) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"abc", "abc\r\n"}, {"abc\n", "abc\r\n"}, {"abc\r", "abc\r\n"}, {"abc\r\n", "abc\r\n"},
        {"", "\r\n"},       {"\n", "\r\n"},       {"a\nb", "a\nb\r\n"},
    };
    std::string expected;
    for (const auto& c : cases) {
        Write(c.text, false);
        expected += c.written;
    }
    EXPECT_EQ(LogText(), expected);
}

TEST_F(DebugLogTest, MarkedLinesAreSetOffByOneEmptyLine) {
    Write("a", false);
    Write("b", true);
    Write("c", true);
    Write("d", true);
    Write("e", false);
    Write("f", true);
    EXPECT_EQ(LogText(), "a\r\n\r\n> b\r\n> c\r\n> d\r\ne\r\n\r\n> f\r\n");
}

TEST_F(DebugLogTest, WithoutHandleNothingIsWrittenButMarkingIsTracked) {
    ReleaseLog();
    Write("a", true);
    EXPECT_TRUE(out->GetLastLineMarked());
    Write("b", false);
    EXPECT_FALSE(out->GetLastLineMarked());
    EXPECT_EQ(LogBytes(), "");
}

TEST_F(DebugLogTest, StampNextLineStampsOnlyTheNextLine) {
    out->SetStampNextLine(true);
    Write("one", false);
    Write("two", false);
    EXPECT_FALSE(out->GetStampNextLine());
    EXPECT_TRUE(std::regex_match(LogText(), std::regex(R"(\[\d+\.\d{6}\] one\r\ntwo\r\n)")))
        << LogText();
}

TEST_F(DebugLogTest, StampEveryLineStampsTheGroupingLineToo) {
    out->SetStampEveryLine(true);
    Write("one", false);
    Write("two", true);
    const std::string stamp = R"(\[\d+\.\d{6}\] )";
    EXPECT_TRUE(std::regex_match(
        LogText(), std::regex(stamp + "one\r\n" + stamp + "\r\n" + stamp + "> two\r\n")))
        << LogText();
}

TEST_F(DebugLogTest, ElapsedSecondsGrow) {
    double first = GetElapsedSeconds();
    EXPECT_GE(first, 0.0);
    EXPECT_GE(GetElapsedSeconds(), first);
}

TEST_F(DebugLogTest, ConsoleModePrintsInsteadOfWriting) {
    out->SetLoggingMode(kDebugLogToConsole);
    ::testing::internal::CaptureStdout();
    Write("plain", false);
    Write("shown", true);
    std::string printed = WithoutCr(::testing::internal::GetCapturedStdout());
    // The empty grouping line prints nothing, not even a line feed.
    EXPECT_EQ(printed, "plain\n> shown\n");
    EXPECT_EQ(LogBytes(), "");
}

TEST_F(DebugLogTest, CloseDebugLogClosesTheHandedOverHandle) {
    LogDebugMessage(QK_TEXT("last"));
    CloseDebugLog();
    EXPECT_EQ(out->GetDebugLogHandle(), os::kNoFile);
    LogDebugMessage(QK_TEXT("not written"));
    EXPECT_EQ(LogText(), "last\r\n");
}

TEST_F(DebugLogTest, LogStringFormatsAToolkitString) {
    LogString(9301, QK_TEXT("disk full"));
    EXPECT_EQ(LogText(), "There was an error creating the debug log: disk full\r\n");
}

TEST_F(DebugLogTest, AFormatThatCannotBeExpandedRaisesFatalRuntimeError) {
    ::testing::internal::CaptureStdout();
    int32_t code = 0;
    try {
        LogDebugMessage(QK_TEXT("bad %y"), 1);
        ADD_FAILURE() << "no raise";
    } catch (...) {
        code = HandleException(nullptr);
    }
    std::string printed = WithoutCr(::testing::internal::GetCapturedStdout());
    EXPECT_EQ(code, -10);
    EXPECT_NE(printed.find("PrintfV failed while trying to write message to debug log:\nbad %y\n"),
              std::string::npos)
        << printed;
    std::vector<std::string> user = UserLog();
    ASSERT_GE(user.size(), 2u);
    EXPECT_EQ(user[1], "*** Error (-10): Internal error.");
}

TEST_F(DebugLogTest, GetNextUserLogMessageReturnsOldestFirstThenNull) {
    UserMessage(0, QK_TEXT("first"));
    UserMessage(0, QK_TEXT("second"));
    EXPECT_EQ(U8(GetNextUserLogMessage()), "first");
    EXPECT_EQ(U8(GetNextUserLogMessage()), "second");
    EXPECT_EQ(GetNextUserLogMessage(), nullptr);
    UserMessage(0, QK_TEXT("third"));
    EXPECT_EQ(U8(GetNextUserLogMessage()), "third");
}

TEST_F(DebugLogTest, GetNextUserLogMessageIsNotAllowedWhenMessagesGoToTheConsole) {
    out->SetLoggingMode(kOutputUserLogMessages);
    ::testing::internal::CaptureStdout();
    UserMessage(0, QK_TEXT("printed"));
    int32_t code = 0;
    try {
        GetNextUserLogMessage();
        ADD_FAILURE() << "no raise";
    } catch (...) {
        code = HandleException(nullptr);
    }
    std::string printed = WithoutCr(::testing::internal::GetCapturedStdout());
    EXPECT_EQ(code, -30);
    EXPECT_EQ(printed.rfind("printed\n", 0), 0u) << printed;
    out->SetLoggingMode(kLogDefault);
    // Not queued while no error was pending; the report's lines were.
    std::vector<std::string> user = UserLog();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(user[0], " ");
    EXPECT_NE(LogText().find("Call to GetNextUserLogMessage not allowed when LoggingMode is set to "
                             "OutputUserLogMessages."),
              std::string::npos);
}

} // namespace
} // namespace qktest
