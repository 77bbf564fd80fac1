// Toolkit errors: raising, the report they leave in both logs, contexts, trace
// guards, translators, and the error lock between threads.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "os/SystemMessage.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorContext.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/TraceGuard.h"
#include "toolkit/diag/UserLog.h"

#include <cerrno>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

namespace qktest {
namespace {

using namespace Quillkit;

template <typename Body> int32_t Reported(Body body) {
    try {
        body();
    } catch (...) {
        return HandleException(nullptr);
    }
    ADD_FAILURE() << "nothing was raised";
    return 0;
}

// What a path constructor does with a file path that ends in a backslash.
void ConstructFilePath(const WString& path) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::StrictPath"));
    RaiseDetailedError(
        ErrorCode::kInvalidPath, LoadToolkitString(9143), LoadToolkitString(9148, path),
        PrintfText(QK_TEXT("Path has a trailing backslash but is not a directory: %s"),
                   path.c_str()));
}

using ErrorReportTest = ToolkitTest;

TEST_F(ErrorReportTest, ReportOfAFailedPathConstructionLineForLine) {
    const std::string path = "C:\\Temp\\file\\";
    EXPECT_EQ(Reported([&] { ConstructFilePath(W(path)); }), -41);
    std::vector<std::string> expected = {
        "",
        ">  ",
        "***** Error *****",
        "",
        "> *** Error (-41): Invalid path.",
        "> The path " + path + " has a trailing backslash.",
        "Path has a trailing backslash but is not a directory: " + path,
        "**************",
        "Error Details:",
        "",
        "> Quillkit: Error in Quillkit::StrictPath::StrictPath function",
        "*** End Error Report",
        "*****************",
        "",
        ">  ",
    };
    EXPECT_EQ(LogLines(), expected);
    std::vector<std::string> user = {" ", "*** Error (-41): Invalid path.",
                                     "The path " + path + " has a trailing backslash.", " "};
    EXPECT_EQ(UserLog(), user);
    EXPECT_EQ(out->GetCurrentError()->code, 0);
}

TEST_F(ErrorReportTest, DefaultMessageOfTheCode) {
    EXPECT_EQ(Reported([] { RaiseError(ErrorCode::kWindows); }), -12);
    std::vector<std::string> user = {
        " ", "*** Error (-12): An internal Windows function returned an error.", " "};
    EXPECT_EQ(UserLog(), user);
}

TEST_F(ErrorReportTest, CodeMapGivesEachCodeItsDefaultMessage) {
    const struct {
        int32_t code;
        uint32_t id;
    } map[] = {{0, 9100},   {-1, 9140},  {-10, 9140}, {-11, 9111},  {-12, 9112}, {-13, 9140},
               {-20, 9140}, {-21, 9121}, {-30, 9140}, {-31, 9131},  {-32, 9132}, {-33, 9133},
               {-40, 9140}, {-41, 9140}, {-99, 9199}, {-100, 9200}, {-55, 9140}, {7, 9140}};
    for (const auto& row : map)
        EXPECT_EQ(ErrorCodeToMessageId(row.code), row.id) << row.code;
}

TEST_F(ErrorReportTest, AnUnknownCodeIsReportedWithTheInternalErrorText) {
    EXPECT_EQ(Reported([] { RaiseError(-55); }), -55);
    EXPECT_EQ(UserLog().at(1), "*** Error (-55): Internal error.");
}

TEST_F(ErrorReportTest, ASecondRaiseWhileOneIsPendingReturnsAndIsNoted) {
    bool returned = false;
    int32_t code = 0;
    try {
        RaiseError(ErrorCode::kWindows);
    } catch (const MetaOutput::PrivateException&) {
        RaiseError(ErrorCode::kBadInput);
        returned = true;
        code = HandleException(nullptr);
    }
    EXPECT_TRUE(returned);
    EXPECT_EQ(code, -12);
    std::vector<std::string> user = {
        " ", "*** Error (-12): An internal Windows function returned an error.",
        "    Additional error occurred while reporting an error!", " "};
    EXPECT_EQ(UserLog(), user);
}

TEST_F(ErrorReportTest, RaisingCodeZeroOnlyFlushes) {
    RaiseError(0);
    EXPECT_EQ(LogBytes(), "");
    EXPECT_EQ(out->GetCurrentError()->code, 0);
}

TEST_F(ErrorReportTest, RaiseErrorMessagePutsItsLineUnderErrorDetails) {
    EXPECT_EQ(Reported([] {
                  RaiseErrorMessage(ErrorCode::kBadInput, QK_TEXT("%s: bad value %d"),
                                    QK_TEXT("Reader::Parse"), 7);
              }),
              -33);
    std::vector<std::string> lines = LogLines();
    auto heading = std::find(lines.begin(), lines.end(), "Error Details:");
    ASSERT_NE(heading, lines.end());
    ASSERT_LT(heading + 2, lines.end());
    EXPECT_EQ(*(heading + 2), "> Reader::Parse: bad value 7");
}

TEST_F(ErrorReportTest, NestedTraceLinesReadOutermostFirst) {
    auto inner = [] {
        TraceGuard trace(QK_TEXT("Quillkit::Inner"));
        RaiseError(ErrorCode::kParameter);
    };
    EXPECT_EQ(Reported([&] {
                  TraceGuard trace(QK_TEXT("Quillkit::Outer"));
                  inner();
              }),
              -40);
    std::string log = LogText();
    size_t outer = log.find("Quillkit: Error in Quillkit::Outer function");
    size_t innerLine = log.find("Quillkit: Error in Quillkit::Inner function");
    ASSERT_NE(outer, std::string::npos);
    ASSERT_NE(innerLine, std::string::npos);
    EXPECT_LT(outer, innerLine);
}

TEST_F(ErrorReportTest, AContextReplacesTheErrorAndKeepsItAsAdditionalDetails) {
    WString system;
    ASSERT_TRUE(os::systemMessage(2, 1033, system));
    system = system.substr(0, system.find(WChar('\r')));
    EXPECT_EQ(Reported([] {
                  ErrorContext context(kKindError, ErrorCode::kWindows, LoadToolkitString(9017),
                                       LoadToolkitString(9308, QK_TEXT("D:\\new")),
                                       PrintfText(QK_TEXT("Quillkit: %s failed."),
                                                  QK_TEXT("Quillkit::CreateDirectoryRecurse")));
                  RaiseWindowsErrorCode(2, QK_TEXT("MetaCreateDirectory"));
              }),
              -12);
    std::vector<std::string> user = {" ",
                                     "*** Error (-12): Directory access error.",
                                     "Error creating directory \"D:\\new\".",
                                     "Additional details:",
                                     "Internal system error.",
                                     "An internal system operation returned the error \"" +
                                         U8(system) + "\".",
                                     " "};
    EXPECT_EQ(UserLog(), user);
    EXPECT_NE(LogText().find("> Quillkit: Quillkit::CreateDirectoryRecurse failed."),
              std::string::npos);

    // The history keeps the reported error, with the messages written after it.
    const ErrorRecord* record = out->NextHistoryRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->code, -12);
    EXPECT_EQ(U8(record->summary), "Directory access error.");
    EXPECT_NE(U8(record->detail).find("Internal system error."), std::string::npos);
    const WChar* transcript = GetNextErrorTranscript();
    ASSERT_NE(transcript, nullptr);
    EXPECT_NE(U8(transcript).find("***** Error *****\r\n"), std::string::npos);
    EXPECT_NE(U8(transcript).find("*** End Error Report"), std::string::npos);
}

TEST_F(ErrorReportTest, AContextOfKindZeroOnlyAddsItsDetailAndADisarmedOneNothing) {
    EXPECT_EQ(Reported([] {
                  ErrorContext context(0, 0, WString(), W("while reading settings.ini"));
                  ErrorContext disarmed(kKindError, ErrorCode::kMissing, W("Not used."));
                  disarmed.Disarm();
                  RaiseError(ErrorCode::kBadInput);
              }),
              -33);
    std::vector<std::string> user = {" ", "*** Error (-33): Input data has errors.",
                                     "while reading settings.ini", " "};
    EXPECT_EQ(UserLog(), user);
}

TEST_F(ErrorReportTest, CRuntimeErrorCarriesTheRuntimesText) {
    EXPECT_EQ(Reported([] {
                  errno = ENOENT;
                  RaiseCRuntimeError(QK_TEXT("_tchdir"));
              }),
              -13);
    std::vector<std::string> user = UserLog();
    ASSERT_GE(user.size(), 3u);
    EXPECT_EQ(user[1], "*** Error (-13): Internal system error.");
    EXPECT_EQ(user[2],
              "An internal system operation returned the error \"No such file or directory\".");
    EXPECT_NE(LogText().find("\r\nC Runtime function _tchdir returned an error. Error code: " +
                             std::to_string(ENOENT) + "\r\n"),
              std::string::npos);
}

TEST_F(ErrorReportTest, AbortReportGoesWithoutEndLineAndKeepsDetailsInTheDebugLog) {
    out->SetAbortRequested(true);
    EXPECT_EQ(Reported([] {
                  AddAdditionalDetail(QK_TEXT("stopped at entry 3"));
                  RaiseError(ErrorCode::kAbort);
              }),
              -100);
    std::vector<std::string> user = {" ", "*** Error (-100): *** Abort requested.", " "};
    EXPECT_EQ(UserLog(), user);
    std::string log = LogText();
    EXPECT_NE(log.find("> stopped at entry 3\r\n*****************\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("*** End Error Report"), std::string::npos);
    EXPECT_FALSE(out->GetAbortRequested());
}

TEST_F(ErrorReportTest, OtherKindsAreReportedAsWarnings) {
    ErrorRecord record{5, ErrorCode::kTool, W("Tool complained."), W(""), W("")};
    EXPECT_EQ(Reported([&] { RaiseErrorRecord(record.code, &record); }), -20);
    EXPECT_EQ(UserLog().at(1), "*** Warning (-20): Tool complained.");
}

TEST_F(ErrorReportTest, AnyOtherExceptionBecomesAnUnknownInternalError) {
    int32_t code = 0;
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -1);
    std::vector<std::string> user = UserLog();
    ASSERT_EQ(user.size(), 4u);
    EXPECT_EQ(user[1], "*** Error (-1): Unknown internal error.");
    EXPECT_EQ(user[2].rfind("An unknown internal error occurred.", 0), 0u) << user[2];
}

TEST_F(ErrorReportTest, TheFallbackRecordIsReportedForAForeignException) {
    ErrorRecord fallback{kKindError, ErrorCode::kBadInput, W("Bad archive."), W("Entry 2."), W("")};
    int32_t code = 0;
    try {
        throw 42;
    } catch (...) {
        code = HandleException(&fallback);
    }
    EXPECT_EQ(code, -33);
    std::vector<std::string> user = {" ", "*** Error (-33): Bad archive.", "Entry 2.", " "};
    EXPECT_EQ(UserLog(), user);
}

void TranslateOutOfRange() {
    try {
        throw;
    } catch (const std::out_of_range&) {
        RaiseError(ErrorCode::kMissing);
    } catch (...) {
    }
}

TEST_F(ErrorReportTest, ARegisteredTranslatorRecognisesItsType) {
    out->AddTranslator(TranslateOutOfRange);
    int32_t translated = 0;
    int32_t untouched = 0;
    try {
        throw std::out_of_range("index");
    } catch (...) {
        translated = HandleException(nullptr);
    }
    try {
        throw std::logic_error("other");
    } catch (...) {
        untouched = HandleException(nullptr);
    }
    EXPECT_EQ(translated, -32);
    EXPECT_EQ(untouched, -1);
    ASSERT_EQ(out->TranslatorCount(), 1u);
    EXPECT_EQ(out->TranslatorUseCount(0), 1u);
    out->RemoveTranslator(0);
}

TEST_F(ErrorReportTest, ARaiseInAnotherThreadWaitsUntilThePendingErrorIsReported) {
    std::atomic<bool> handled{false};
    std::atomic<bool> raisedAfterReport{false};
    std::promise<int32_t> otherCode;
    std::thread other;
    try {
        RaiseError(ErrorCode::kWindows);
    } catch (...) {
        other = std::thread([&] {
            try {
                RaiseError(ErrorCode::kBadInput);
            } catch (...) {
                raisedAfterReport = handled.load();
                otherCode.set_value(HandleException(nullptr));
                return;
            }
            otherCode.set_value(0);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        handled = true;
        EXPECT_EQ(HandleException(nullptr), -12);
    }
    auto code = otherCode.get_future();
    ASSERT_EQ(code.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    other.join();
    EXPECT_EQ(code.get(), -33);
    EXPECT_TRUE(raisedAfterReport)
        << "the other thread raised while this thread's error was pending";
    std::string log = LogText();
    EXPECT_LT(log.find("*** Error (-12)"), log.find("*** Error (-33)"));
    EXPECT_LT(log.find("*** End Error Report"), log.find("*** Error (-33)"));
}

// A failed debug-log write in one thread while another thread reports its error:
// the writer holds the output lock and must raise, which needs the error lock that
// the reporter holds while it waits for the output lock. Both run apart from the
// test's own thread, which gives up on them if they hang.
TEST_F(ErrorReportTest, AFailedLogWriteDuringAnotherThreadsReportDoesNotDeadlock) {
    std::promise<int32_t> writerCode;
    std::promise<int32_t> reporterCode;
    std::thread writer;
    ::testing::internal::CaptureStdout();
    std::thread reporter([&] {
        try {
            RaiseError(ErrorCode::kBadInput);
        } catch (...) {
            HandOver(OpenReadOnly(logPath));
            std::promise<void> writing;
            writer = std::thread([&] {
                writing.set_value();
                try {
                    LogDebugMessage(QK_TEXT("from the writer"));
                } catch (...) {
                    writerCode.set_value(HandleException(nullptr));
                    return;
                }
                writerCode.set_value(0);
            });
            writing.get_future().wait();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            reporterCode.set_value(HandleException(nullptr));
        }
    });
    auto reported = reporterCode.get_future();
    auto written = writerCode.get_future();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    if (reported.wait_until(deadline) != std::future_status::ready ||
        written.wait_until(deadline) != std::future_status::ready) {
        std::fprintf(stderr, "deadlock between the debug-log writer and the reporter\n");
        std::_Exit(1);
    }
    reporter.join();
    writer.join();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(reported.get(), -33);
    EXPECT_EQ(written.get(), -12);
    std::vector<std::string> user = UserLog();
    EXPECT_NE(std::find(user.begin(), user.end(), "*** Error (-12): File access error."),
              user.end());
    EXPECT_NE(std::find(user.begin(), user.end(), "Unable to write to file \"" + logPath + "\"."),
              user.end());
    // A good write ends the run of failures.
    HandOver(OpenForWriting(logPath));
    LogDebugMessage(QK_TEXT("written"));
}

TEST_F(ErrorReportTest, AFailedLogWriteIsReportedOncePerRunOfFailures) {
    ::testing::internal::CaptureStdout();
    HandOver(OpenReadOnly(logPath));
    EXPECT_EQ(Reported([] { LogDebugMessage(QK_TEXT("lost")); }), -12);
    bool raised = false;
    try {
        LogDebugMessage(QK_TEXT("lost again"));
    } catch (...) {
        raised = true;
        HandleException(nullptr);
    }
    EXPECT_FALSE(raised);
    HandOver(OpenForWriting(logPath));
    LogDebugMessage(QK_TEXT("written"));
    HandOver(OpenReadOnly(logPath));
    EXPECT_EQ(Reported([] { LogDebugMessage(QK_TEXT("lost after a good one")); }), -12);
    std::string printed = WithoutCr(::testing::internal::GetCapturedStdout());
    EXPECT_NE(printed.find("WriteFile failed while trying to write message to debug log:\nlost\n"),
              std::string::npos)
        << printed;
    HandOver(OpenForWriting(logPath));
    LogDebugMessage(QK_TEXT("written"));
}

} // namespace
} // namespace qktest
