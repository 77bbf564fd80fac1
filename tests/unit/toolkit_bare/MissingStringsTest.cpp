// A program built with the toolkit but without its string tables: the toolkit says
// so once, and its reports still get written, with "#" and the id for each text.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/ToolkitStrings.h"

namespace qktest {
namespace {

using namespace Quillkit;

TEST(MissingStringsTest, TheFirstUseSaysWhichModuleLacksThemAndLaterTextsReadAsIds) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    MetaOutput* out = GetSharedOutputData();
    std::string printed = ::testing::internal::GetCapturedStdout();
    std::string boxed = ::testing::internal::GetCapturedStderr();

    WChar name[261] = {};
    os::moduleFileName(GetThisModuleHandle(), name, 261);
    const std::string message = "Error: '" + U8(name) +
                                "' missing Quillkit resources! Project for DLL needs Quillkit.rc "
                                "in its resource includes.\n";
    EXPECT_NE(printed.find(message), std::string::npos) << printed;
    EXPECT_NE(boxed.find("Quillkit: " + message), std::string::npos) << boxed;
    EXPECT_EQ(out->GetCurrentError()->code, 0) << "the check's own error was reported";
    std::vector<std::string> report;
    while (const WChar* line = out->GetNextUserLogMessage())
        report.push_back(U8(line));
    std::vector<std::string> expected = {" ", "#9010", "#9615", " "};
    EXPECT_EQ(report, expected);

    // A later load raises, and its report is written all the same.
    int32_t code = 0;
    try {
        LoadToolkitString(9143);
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -40);
    report.clear();
    while (const WChar* line = out->GetNextUserLogMessage())
        report.push_back(U8(line));
    EXPECT_EQ(report, (std::vector<std::string>{" ", "#9010", " "}));
    EXPECT_EQ(U8(LoadToolkitString(0, QK_TEXT("kept"))), "kept");
}

} // namespace
} // namespace qktest
