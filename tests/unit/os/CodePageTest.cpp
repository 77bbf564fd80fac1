#include "os/CodePage.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// Windows reports what the system is set to; any installed code page will do.
TEST(CodePage, SystemCodePagesAreInstalled) {
    EXPECT_TRUE(IsValidCodePage(static_cast<UINT>(os::oemCodePage())));
    EXPECT_TRUE(IsValidCodePage(static_cast<UINT>(os::ansiCodePage())));
}
#else
TEST(CodePage, PosixUsesZipDefaultAndUtf8) {
    EXPECT_EQ(os::oemCodePage(), 437);
    EXPECT_EQ(os::ansiCodePage(), 65001);
}
#endif

} // namespace
