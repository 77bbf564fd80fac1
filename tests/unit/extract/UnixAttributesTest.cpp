// What entries made on Unix keep when extracted: execute permissions, and the
// stored times of folders that files were written into.
#include <gtest/gtest.h>

#include "tests/unit/extract/ExtractFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace vexmar;

using testzip::Entry;

namespace {

// Windows has no execute permission: a file runs by its name.
#ifndef _WIN32

constexpr uint16_t kMadeOnUnix = 3 << 8 | 30;
constexpr uint16_t kMadeOnDos = 0 << 8 | 20;

Entry madeWith(uint16_t versionMadeBy, uint32_t mode) {
    return Entry{.name = "tool",
                 .data = "#!/bin/sh\n",
                 .versionMadeBy = versionMadeBy,
                 .externalAttributes = mode << 16};
}

struct ModeCase {
    const char* what;
    uint16_t versionMadeBy;
    uint32_t storedMode;
    unsigned umask;
    unsigned expected; // the permissions of the written file
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.what;
}

class ExecuteBitsTest : public ExtractTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ExecuteBitsTest, WrittenFileHasThePermissions) {
    const ModeCase& c = GetParam();
    const mode_t previous = ::umask(c.umask);
    ASSERT_TRUE(open({madeWith(c.versionMadeBy, c.storedMode)}));
    const bool ok = extract();
    ::umask(previous);
    ASSERT_TRUE(ok) << zip.LastErrorXml();
    struct stat st {};
    ASSERT_EQ(::stat((out / "tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ExecuteBitsTest,
    ::testing::Values(
        ModeCase{"executable from Unix", kMadeOnUnix, 0100755, 022, 0755},
        ModeCase{"owner-only execution", kMadeOnUnix, 0100744, 022, 0744},
        ModeCase{"plain file from Unix", kMadeOnUnix, 0100644, 022, 0644},
        ModeCase{"no file type stored", kMadeOnUnix, 0755, 022, 0755},
        ModeCase{"set-ID and sticky bits dropped", kMadeOnUnix, 0107755, 022, 0755},
        ModeCase{"umask limits who may run it", kMadeOnUnix, 0100755, 077, 0700},
        ModeCase{"DOS host: the high half means nothing", kMadeOnDos, 0100755, 022, 0644},
        ModeCase{"a device node's mode is not taken", kMadeOnUnix, 0060755, 022, 0644}));

#endif // _WIN32

TEST_F(ExtractTest, FolderKeepsItsStoredTimeAfterItsFilesAreWritten) {
    // The folder entry comes first; the files written into it afterwards would
    // otherwise leave the folder with the time of the run.
    ASSERT_TRUE(open({Entry{.name = "d/"}, Entry{.name = "d/a.txt", .data = "a"},
                      Entry{.name = "d/e/"}, Entry{.name = "d/e/b.txt", .data = "b"}}));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    // Every entry carries the same stored time, which the file shows as written.
    const auto stored = fs::last_write_time(out / "d" / "a.txt");
    EXPECT_EQ(fs::last_write_time(out / "d"), stored);
    EXPECT_EQ(fs::last_write_time(out / "d" / "e"), stored);
}

} // namespace
