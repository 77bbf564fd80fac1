// A debug log a host opens by name: UTF-8 text with the usual line rules, a file
// that cannot be created reported as such, and UTF-16LE again for the next handle.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/DebugLogFile.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorReport.h"

#include <filesystem>

namespace qktest {
namespace {

using namespace Quillkit;

class DebugLogFileTest : public ToolkitTest {
protected:
    void TearDown() override {
        CloseDebugLog();
        std::error_code ignored;
        std::filesystem::remove(named, ignored);
        ToolkitTest::TearDown();
    }
    // Named after the test: each test runs in a process of its own, side by side.
    std::string named =
        TempPath(std::string("named-") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(DebugLogFileTest, LinesAreUtf8WithoutByteOrderMark) {
    std::ofstream(named, std::ios::binary) << "left from an earlier run\n";
    uint32_t error = 0;
    ASSERT_TRUE(OpenDebugLogFile(W(named).c_str(), error)) << error;
    EXPECT_EQ(U8(out->GetDebugLogPath()), named);
    LogDebugMessage(QK_TEXT("folder '%s'"), QK_TEXT("C:\\K\u00fcche\\\u65e5\u672c"));
    LogDebugMessage(QK_TEXT("status %d\n"), 3010);
    // The file can be read while the run goes on.
    EXPECT_EQ(ReadBytes(named),
              "folder 'C:\\K\xc3\xbc" "che\\\xe6\x97\xa5\xe6\x9c\xac'\r\nstatus 3010\r\n");
}

TEST_F(DebugLogFileTest, AnErrorReportReachesTheFile) {
    uint32_t error = 0;
    ASSERT_TRUE(OpenDebugLogFile(W(named).c_str(), error));
    try {
        RaiseErrorMessage(ErrorCode::kBadInput, QK_TEXT("%s: refused '%s'"), QK_TEXT("Check"),
                          QK_TEXT("D"));
    } catch (...) {
        HandleException(nullptr);
    }
    CloseDebugLog();
    EXPECT_NE(ReadBytes(named).find("Check: refused 'D'"), std::string::npos) << ReadBytes(named);
}

TEST_F(DebugLogFileTest, AFileThatCannotBeCreatedIsReported) {
    std::string missing = named + ".absent/folder/run.log";
    uint32_t error = 0;
    EXPECT_FALSE(OpenDebugLogFile(W(missing).c_str(), error));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(out->GetDebugLogHandle(), os::kNoFile);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DebugLogFileTest, ClosingReturnsTheNextHandleToUtf16) {
    uint32_t error = 0;
    ASSERT_TRUE(OpenDebugLogFile(W(named).c_str(), error));
    CloseDebugLog();
    EXPECT_EQ(out->GetOption1() & kDebugLogUtf8, 0);
    HandOver(OpenForWriting(logPath));
    LogDebugMessage(QK_TEXT("ab"));
    EXPECT_EQ(LogBytes(), Utf16Bytes("ab\r\n"));
}

} // namespace
} // namespace qktest
