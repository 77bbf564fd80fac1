// Run-time binding, path resolution and the version-dependent services.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "os/CrtPath.h"
#include "os/DynamicLibrary.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/platform/AppendPath.h"
#include "toolkit/platform/StaticBindings.h"
#include "toolkit/platform/WaitWithMessages.h"
#include "toolkit/platform/WindowsVersion.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace qktest {
namespace {

using namespace Quillkit;

using PlatformTest = ToolkitTest;

WString CurrentDirectory() {
    WChar buffer[260];
    EXPECT_TRUE(os::crtGetCwd(buffer, 260));
    return buffer;
}

TEST_F(PlatformTest, SdkBindingsNameTheWideForm) {
    if (os::bindsSystemFunctions()) {
        EXPECT_TRUE(PathAddBackslashFunc.IsAvailable());
        EXPECT_NE(PathAddBackslashFunc.Get(), nullptr);
        return;
    }
    // Elsewhere nothing is looked up: no log line, and Get raises.
    EXPECT_FALSE(PathAddBackslashFunc.IsAvailable());
    EXPECT_FALSE(PathAddBackslashFunc.IsAvailable());
    EXPECT_EQ(LogBytes(), "");
    int32_t code = 0;
    try {
        PathAddBackslashFunc.Get();
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -12);
    EXPECT_NE(LogText().find("> Quillkit: Dynamic library shlwapi.dll was not loaded.\r\n"),
              std::string::npos);
}

TEST_F(PlatformTest, AMissingFunctionIsLoggedOnceAndRaisedByGet) {
    if (!os::bindsSystemFunctions())
        GTEST_SKIP() << "no system libraries to bind from here";
    DynamicFunc<int> missing(&kernelLibrary, "QuillkitNoSuchFunction");
    EXPECT_FALSE(missing.IsAvailable());
    EXPECT_FALSE(missing.IsAvailable());
    const std::string line = "Quillkit: Dynamic library function QuillkitNoSuchFunction was not "
                             "loaded from library kernel32.dll.";
    EXPECT_EQ(LogText(), line + "\r\n");
    int32_t code = 0;
    try {
        missing.Get();
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -12);
    EXPECT_NE(LogText().find("> " + line + "\r\n"), std::string::npos);
}

TEST_F(PlatformTest, ALibraryThatCannotBeLoadedRaisesWithItsPath) {
    std::string directory = std::filesystem::temp_directory_path().string();
    WString wideDirectory = W(directory);
    const struct {
        const WChar* directory;
        std::string shown;
    } cases[] = {
        {nullptr, "quillkit-no-such-library.dll"},
        {wideDirectory.c_str(), directory},
    };
    for (const auto& c : cases) {
        DynamicLib library(QK_TEXT("quillkit-no-such-library.dll"));
        int32_t code = 0;
        try {
            library.Load(c.directory);
        } catch (...) {
            code = HandleException(nullptr);
        }
        EXPECT_EQ(code, -12);
        EXPECT_EQ(library.GetHandle(), nullptr);
        std::string log = LogText();
        size_t line = log.find("> Quillkit: Dynamic library " + c.shown);
        ASSERT_NE(line, std::string::npos) << log;
        EXPECT_NE(log.find("quillkit-no-such-library.dll was not loaded.\r\n", line),
                  std::string::npos);
    }
}

TEST_F(PlatformTest, AppendPathResolvesAgainstTheDirectoryAndRestoresTheCurrentOne) {
    WString before = CurrentDirectory();
    WString base = W(std::filesystem::temp_directory_path().string());
    WChar path[260] = {};
    base.copy(path, 259);
    AppendPath(path, QK_TEXT("sub/../file.txt"));
    std::filesystem::path expected = std::filesystem::temp_directory_path() / "file.txt";
    EXPECT_EQ(std::filesystem::path(U8(path)).lexically_normal(), expected.lexically_normal());
    EXPECT_EQ(CurrentDirectory(), before);

    WChar unchanged[260] = {};
    base.copy(unchanged, 259);
    AppendPath(unchanged, QK_TEXT(""));
    EXPECT_EQ(WString(unchanged), base);
}

TEST_F(PlatformTest, AppendPathRejectsNullArguments) {
    WChar path[260] = {'x'};
    const struct {
        WChar* full;
        const WChar* append;
        const char* line;
    } cases[] = {
        {nullptr, QK_TEXT("a"), "             Parameter fullPath is NULL"},
        {path, nullptr, "             Parameter pathToAppend is NULL"},
    };
    for (const auto& c : cases) {
        int32_t code = 0;
        try {
            AppendPath(c.full, c.append);
        } catch (...) {
            code = HandleException(nullptr);
        }
        EXPECT_EQ(code, -40);
        EXPECT_NE(LogText().find(std::string("> ") + c.line + "\r\n"), std::string::npos);
    }
}

TEST_F(PlatformTest, AppendPathToAMissingDirectoryRaisesTheRuntimeError) {
    WString before = CurrentDirectory();
    WChar path[260] = {};
    W(TempPath("missing-directory")).copy(path, 259);
    int32_t code = 0;
    try {
        AppendPath(path, QK_TEXT("file"));
    } catch (...) {
        code = HandleException(nullptr);
    }
    EXPECT_EQ(code, -13);
    EXPECT_NE(LogText().find("C Runtime function _tchdir returned an error."), std::string::npos);
    EXPECT_NE(LogText().find("> Quillkit: Error in Quillkit::AppendPath function"),
              std::string::npos);
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(PlatformTest, CompatibilityMarkerByModeAndVersion) {
    const struct {
        int mode;
        int version;
        std::optional<uint32_t> value;
    } cases[] = {
        {0, 0, std::nullopt}, {0, 600, std::nullopt},  {0, 601, 1u},
        {0, 1000, 1u},        {1, 599, std::nullopt},  {1, 600, 0x20u},
        {1, 601, 0x20u},      {2, 1000, std::nullopt}, {-1, 1000, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompatibilityMarkerValue(c.mode, c.version), c.value)
            << c.mode << " " << c.version;
}

TEST_F(PlatformTest, WindowsVersionIsZeroElsewhere) {
    if (os::bindsSystemFunctions())
        EXPECT_GE(GetWindowsVersion(), 501);
    else
        EXPECT_EQ(GetWindowsVersion(), 0);
}

#if !defined(_WIN32)
TEST_F(PlatformTest, WaitWithMessagesReturnsOnceTheHandleIsSignalled) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "x", 1), 1);
    EXPECT_EQ(WaitWithMessages(ends[0]), 0u);
    close(ends[0]);
    close(ends[1]);
}
#endif

} // namespace
} // namespace qktest
